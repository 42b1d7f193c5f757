#pragma once
// What the main window decides around a camera's read, save and rescan, without widgets: what of
// the previous camera is forgotten, where a finished job leads and what it says, and which record
// fields each off-thread call may write back.

#include "core/model/session_record.h"

namespace orv {

// Before a new login and read, and on the way home: nothing of one camera may be taken for the
// next one. Its settings (what a read would overwrite and what it keeps when a key is missing),
// the PPPoE account typed for it, its model class, WPS state and the access-point scan's outcome
// go back to their start values; the user's choices, the PC's facts and the pick stay.
void ForgetCameraFacts(SessionRecord& s);

// The step after a successful read: the setup-type page for a new camera, else the system page.
int StepAfterRead(const SessionRecord& s);

// The WizardDlg message number (MessageN) for a failed read: 8 (stop icon) when the camera refused
// the credentials, else 2 (warning icon).
struct ReadFailureMessage {
  int message = 2;
  bool stopIcon = false;
};
ReadFailureMessage ReadFailure(int error);

// After a successful save: the message (3 for a camera put on a wireless link it can use, else 4)
// and whether the camera is to be found again (wizard setup of a new camera) or the home page
// follows.
struct SaveOutcome {
  int message = 4;
  bool refind = false;
};
SaveOutcome AfterSave(const SessionRecord& s);

// After an access-point rescan: the step to post (the WPS page or the list), or kNoStep when the
// scan failed and WizardDlg/Message2 is shown instead.
int RescanTarget(const SessionRecord& s);

// The record fields an off-thread call owns. The call runs on a copy; when it ends only these are
// copied back, so a late result never undoes what the user or another call wrote meanwhile.
enum class CallFields {
  CameraAnswer,     // the system read and the login read: the camera's settings
  ReadJob,          // the read after login: settings, model class, access-point scan outcome
  SaveJob,          // the save: what it read back (the WPS save reads the time page)
  AccessPointScan,  // the rescan: apScanOk, apCount
  NatRead,          // after the re-find: NATStat, ExtIPAddr, ExtHttpPort
};
void CopyCallFields(CallFields set, const SessionRecord& from, SessionRecord& to);

}  // namespace orv
