#pragma once
// The link-choice and setup-type pages' own rules: which link buttons are checked and enabled, and
// which setup types are offered. What their buttons post is in navigation.h.

#include <string_view>

#include "core/model/session_record.h"

namespace orv {

enum class LinkKind { Lan, Wireless, Pppoe };

// The link radio buttons. A "disable" flag turns that button off; false leaves it as it was.
struct LinkButtons {
  LinkKind checked = LinkKind::Lan;
  bool disableLan = false;
  bool disableWireless = false;
  bool disablePppoe = false;
};

// Each time the page is shown: from the PC's adapters. Enables nothing.
LinkButtons LinkButtonsOnPrepare(const SessionRecord& session);
// "Yes": every link button is enabled first, then these apply.
LinkButtons LinkButtonsOnYes(const SessionRecord& session);

// Setup-type page. Prepare: wizard setup only for a camera with the extended request set.
bool WizardSetupOffered(const SessionRecord& session);
// Wizard Next sets the camera clock from the PC's: "YYYY/MM/DD" and "HH:MM:SS", taken now (the
// save moves them on by the time until it writes them).
void SetCameraClock(SessionRecord& session, std::string_view date, std::string_view time);

}  // namespace orv
