#include "core/app/navigation.h"

#include "core/app/session_rules.h"

namespace orv::nav {

int PageForStep(int code) {
  switch (code) {
    case kStepHome:
      return kPageHome;
    case kStepSystem:
      return kPageSystem;
    case kStepSetupType:
      return kPageSetupType;
    case kStepDiagram:
      return kPageDiagram;
    case kStepIspLink:
      return kPageIspLink;
    case kStepAccessPoint:
      return kPageAccessPoint;
    case kStepWiredAddress:
      return kPageWiredAddress;
    case kStepWirelessAddress:
      return kPageWirelessAddress;
    case kStepSearch:
      return kPageSearch;
    case kStepLinkServerLogin:
      return kPageLinkServerLogin;
    case kStepLinkServerList:
      return kPageLinkServerList;
    case kStepUpnp:
      return kPageUpnp;
    case kStepSummary:
      return kPageSummary;
    case kStepApList:
      return kPageApList;
    case kStepWps:
      return kPageWps;
    case kStepWpsDiagram:
      return kPageWpsDiagram;
    case kStepLinkChoice:
      return kPageLinkChoice;
    case kStepPppoe:
      return kPagePppoe;
    case kStepWizardAddress:
      return kPageWizardAddress;
    case kStepFinish:
      return kPageFinish;
    default:
      return -1;
  }
}

bool IsKnownStep(int code) {
  switch (code) {
    case kStepSubnet:
    case kStepRead:
    case kStepSave:
    case kStepApScan:
    case kStepAbout:
    case kStepLanguage:
      return true;
    default:
      return PageForStep(code) >= 0;
  }
}

bool ShowsWithoutPrepare(int code) {
  return code == kStepHome || code == kStepLinkServerLogin || code == kStepWpsDiagram;
}

void ResetForHome(SessionRecord& s) {
  ForgetCameraFacts(s);
  s.wizardMode = 1;
  s.linkPppoe = 0;
  s.useWps = 0;
  s.linkWireless = 0;
}

int HomePathButton(SessionRecord& s, HomePath path) {
  s.pathSearch = path == HomePath::Search ? 1 : 0;
  s.pathSetup = path == HomePath::Setup ? 1 : 0;
  s.pathFirmware = path == HomePath::Firmware ? 1 : 0;
  return path == HomePath::Setup ? kStepLinkChoice : kStepSearch;
}

int LinkChoiceNext(SessionRecord& s, LinkChoice choice) {
  s.linkPppoe = choice == LinkChoice::Pppoe ? 1 : 0;
  s.linkWireless = choice == LinkChoice::Wireless ? 1 : 0;
  s.useWps = 0;
  if (choice == LinkChoice::No) {
    s.newCamera = 0;
    s.wizardMode = 0;
    return kStepSearch;
  }
  s.newCamera = 1;
  return kStepDiagram;
}

int SearchNext(const SessionRecord& s) {
  if (s.pathSetup == 1) return kStepRead;
  if (s.pathFirmware == 1) return kStepLinkServerList;
  return kNoStep;
}

int SearchExit(const SessionRecord& s) {
  if (s.pathSearch == 1) return kStepHome;
  if (s.pathSetup == 1) return s.newCamera == 1 ? kStepDiagram : kStepLinkChoice;
  return kNoStep;
}

int SetupTypeNext(SessionRecord& s, SetupType type) {
  if (type == SetupType::Manual) {
    s.wizardMode = 0;
    return kStepSystem;
  }
  s.wizardMode = 1;
  return s.linkPppoe == 1 ? kStepPppoe : kStepWizardAddress;
}

int SystemBack(const SessionRecord& s) {
  return s.newCamera == 1 ? kStepSetupType : kStepSearch;
}

int IspLinkNext(IspLink link) {
  return link == IspLink::Lan ? kStepWiredAddress : kStepUpnp;
}

// A capability byte other than 1 counts as 0 on the address pages, so their Next always moves on.
Decision WiredAddressNext(const SessionRecord& s) {
  if (s.extendedCgi != 1) return {s.cameraWireless == 1 ? kStepAccessPoint : kStepUpnp, false};
  if (s.sys.wirelessCapable == 1) return {kNoStep, true};
  return {kStepUpnp, false};
}

int WiredAddressAnswer(SessionRecord& s, bool yes) {
  s.linkWireless = yes ? 1 : 0;
  return yes ? kStepAccessPoint : kStepUpnp;
}

// Back always leads somewhere: a capability byte other than 1 counts as 0, as on the way here,
// and an address type outside 0-2 goes back to the ISP page, which every manual path passes.
int UpnpBack(const SessionRecord& s) {
  if (s.wizardMode == 1) {
    if (s.sys.wirelessCapable == 1 && s.linkWireless == 1)
      return s.useWps == 1 ? kStepWps : kStepApList;
    return s.linkPppoe == 1 ? kStepPppoe : kStepWizardAddress;
  }
  if (s.cameraWireless == 1) return kStepWirelessAddress;
  if (s.net.IPType == 0 || s.net.IPType == 1) return kStepWiredAddress;
  return kStepIspLink;
}

// WPS is not offered with a fixed wireless address: its save's short network write carries no
// wireless set (the full one would overwrite what WPS brought with the record's old keys), so the
// address would never reach the camera.
Decision WizardAddressNext(SessionRecord& s) {
  if (s.sys.wirelessCapable == 1 && s.linkWireless == 1 && s.sys.wpsCapable == 1 &&
      s.net.WIPType != 1)
    return {kNoStep, true};
  s.useWps = 0;
  if (s.sys.wirelessCapable != 1 || s.linkWireless != 1) return {kStepUpnp, false};
  return {kStepApList, false};
}

int WizardAddressAnswer(SessionRecord& s, bool yes) {
  s.useWps = yes ? 1 : 0;
  return yes ? kStepWpsDiagram : kStepApList;
}

}  // namespace orv::nav
