#pragma once
// The wizard's navigation graph without widgets: the step codes, which page each code shows, and
// which code a page's button posts given the session record. Pages read their controls, call one
// of these and post the answer; kNoStep means the button posts nothing.

#include "core/model/session_record.h"

namespace orv::nav {

inline constexpr int kNoStep = 0;

// Step codes.
inline constexpr int kStepHome = 2;
inline constexpr int kStepSystem = 3;
inline constexpr int kStepSetupType = 4;
inline constexpr int kStepDiagram = 5;
inline constexpr int kStepIspLink = 6;
inline constexpr int kStepAccessPoint = 7;
inline constexpr int kStepWiredAddress = 8;
inline constexpr int kStepWirelessAddress = 9;
inline constexpr int kStepSearch = 10;
inline constexpr int kStepLinkServerLogin = 11;
inline constexpr int kStepLinkServerList = 13;
inline constexpr int kStepUpnp = 14;
inline constexpr int kStepSummary = 15;
inline constexpr int kStepSubnet = 17;
inline constexpr int kStepRead = 18;
inline constexpr int kStepSave = 19;
inline constexpr int kStepApList = 20;
inline constexpr int kStepApScan = 22;
inline constexpr int kStepAbout = 24;
inline constexpr int kStepWps = 26;
inline constexpr int kStepWpsDiagram = 27;
inline constexpr int kStepLinkChoice = 28;
inline constexpr int kStepPppoe = 29;
inline constexpr int kStepWizardAddress = 30;
inline constexpr int kStepFinish = 31;
inline constexpr int kStepLanguage = 32;

// Page indexes, in creation order.
enum Page : int {
  kPageHome = 0,
  kPageSearch = 1,
  kPageSetupType = 2,
  kPageSystem = 3,
  kPageDiagram = 4,
  kPageIspLink = 5,
  kPageWiredAddress = 6,
  kPageAccessPoint = 7,
  kPageWirelessAddress = 8,
  kPageUpnp = 9,
  kPageApList = 10,
  kPageWps = 11,
  kPageSummary = 12,
  kPageWpsDiagram = 13,
  kPageLinkChoice = 14,
  kPagePppoe = 15,
  kPageWizardAddress = 16,
  kPageLinkServerLogin = 17,
  kPageFinish = 18,
  kPageLinkServerList = 19,
  kPageCount = 20,
};

// The page a code shows, or -1 for codes that show none (work, dialogs, unlisted codes).
int PageForStep(int code);
// Codes the engine acts on; every other code is ignored.
bool IsKnownStep(int code);
// Pages shown without running their prepare routine.
bool ShowsWithoutPrepare(int code);

// Step 2: back home. Forgets the camera (ForgetCameraFacts) and the link choices; leaves
// newCamera and the path flags alone.
void ResetForHome(SessionRecord& s);

// Home page buttons that choose a path: the path flags, then the code.
enum class HomePath { Search, Setup, Firmware };
int HomePathButton(SessionRecord& s, HomePath path);

// Link choice, Next. Each choice clears the link flags of the others, so a camera set up for one
// link never carries another's (a PPPoE camera saved with the wireless address type).
enum class LinkChoice { No, Lan, Wireless, Pppoe };
int LinkChoiceNext(SessionRecord& s, LinkChoice choice);

int SearchNext(const SessionRecord& s);
int SearchExit(const SessionRecord& s);

enum class SetupType { Wizard, Manual };
// Sets wizardMode; the page sets the camera's date and time itself.
int SetupTypeNext(SessionRecord& s, SetupType type);

int SystemBack(const SessionRecord& s);

enum class IspLink { Lan, Pppoe };
int IspLinkNext(IspLink link);

// A Next that may have to ask the user a yes/no question first.
struct Decision {
  int step = kNoStep;  // posted at once when ask is false
  bool ask = false;    // ask, then call the matching ...Answer
};

// Wired address, Next: maybe asks whether the camera is to use its wireless link. A capability
// byte other than 1 counts as 0 here and on the wizard address page.
Decision WiredAddressNext(const SessionRecord& s);
int WiredAddressAnswer(SessionRecord& s, bool yes);

int UpnpBack(const SessionRecord& s);

// Wizard address, Next (after the address was stored): asks whether to set the wireless link up by
// WPS, unless a fixed wireless address was chosen, which only the access-point path can write.
// Without the question useWps goes to 0.
Decision WizardAddressNext(SessionRecord& s);
int WizardAddressAnswer(SessionRecord& s, bool yes);

// The fixed buttons.
inline constexpr int kLinkChoiceBack = kStepHome;
inline constexpr int kDiagramNext = kStepSearch;
inline constexpr int kDiagramBack = kStepLinkChoice;
inline constexpr int kSetupTypeBack = kStepSearch;
inline constexpr int kSystemNext = kStepIspLink;
inline constexpr int kIspLinkBack = kStepSystem;
inline constexpr int kWiredAddressBack = kStepIspLink;
inline constexpr int kAccessPointNext = kStepWirelessAddress;
inline constexpr int kAccessPointBack = kStepWiredAddress;
inline constexpr int kWirelessAddressNext = kStepUpnp;
inline constexpr int kWirelessAddressBack = kStepAccessPoint;
inline constexpr int kUpnpNext = kStepSummary;
inline constexpr int kApListNext = kStepUpnp;
inline constexpr int kApListBack = kStepWizardAddress;
inline constexpr int kWpsNext = kStepUpnp;
inline constexpr int kWpsBack = kStepWpsDiagram;
inline constexpr int kSummarySave = kStepSave;
inline constexpr int kSummaryBack = kStepUpnp;
inline constexpr int kWpsDiagramNext = kStepWps;
inline constexpr int kWpsDiagramBack = kStepWizardAddress;
inline constexpr int kPppoeNext = kStepUpnp;
inline constexpr int kPppoeBack = kStepSetupType;
inline constexpr int kWizardAddressBack = kStepSetupType;
inline constexpr int kLinkServerLoginBack = kStepHome;
inline constexpr int kLinkServerLoginExit = kStepHome;
inline constexpr int kFinishFinish = kStepHome;
inline constexpr int kLinkServerListFinish = kStepHome;
inline constexpr int kLinkServerListBack = kStepLinkServerLogin;
// An access-point page prepared with no access points asks to scan; Yes posts this.
inline constexpr int kRescan = kStepApScan;

}  // namespace orv::nav
