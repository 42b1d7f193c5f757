#include "core/app/session_rules.h"

#include "core/app/navigation.h"
#include "core/camera_http/requests.h"

namespace orv {

void ForgetCameraFacts(SessionRecord& s) {
  // Every camera setting, the PPPoE account (never read back) and the fields a read leaves alone
  // when its key is missing included: the next camera starts from the record the first one did.
  s.net = NetworkSettings{};
  s.sys = SystemSettings{};
  s.extendedCgi = 0;
  s.wpsStatus = 0;
  s.wpsAck = 0;
  s.apScanOk = 0;
  s.apCount = 0;
}

int StepAfterRead(const SessionRecord& s) {
  return s.newCamera == 1 ? nav::kStepSetupType : nav::kStepSystem;
}

ReadFailureMessage ReadFailure(int error) {
  if (error == ErrUnauthorized) return {8, true};
  return {2, false};
}

SaveOutcome AfterSave(const SessionRecord& s) {
  SaveOutcome outcome;
  outcome.message = s.linkWireless == 1 && s.sys.wirelessCapable == 1 ? 3 : 4;
  outcome.refind = s.wizardMode == 1 && s.newCamera == 1;
  return outcome;
}

int RescanTarget(const SessionRecord& s) {
  if (s.apScanOk != 1) return nav::kNoStep;
  return s.useWps == 1 ? nav::kStepWps : nav::kStepApList;
}

void CopyCallFields(CallFields set, const SessionRecord& from, SessionRecord& to) {
  switch (set) {
    case CallFields::CameraAnswer:
    case CallFields::SaveJob:
      to.sys = from.sys;
      to.net = from.net;
      return;
    case CallFields::ReadJob:
      to.sys = from.sys;
      to.net = from.net;
      to.extendedCgi = from.extendedCgi;
      to.apScanOk = from.apScanOk;
      to.apCount = from.apCount;
      return;
    case CallFields::AccessPointScan:
      to.apScanOk = from.apScanOk;
      to.apCount = from.apCount;
      return;
    case CallFields::NatRead:
      to.sys.NATStat = from.sys.NATStat;
      to.sys.ExtIPAddr = from.sys.ExtIPAddr;
      to.sys.ExtHttpPort = from.sys.ExtHttpPort;
      return;
  }
}

}  // namespace orv
