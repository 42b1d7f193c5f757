#include "core/app/setup_choice.h"

namespace orv {
namespace {

constexpr int kStepSearch = 10;
constexpr int kStepDiagram = 5;
constexpr int kStepPppoe = 29;
constexpr int kStepWizardAddress = 30;
constexpr int kStepSystem = 3;

}  // namespace

LinkButtons LinkButtonsOnPrepare(const SessionRecord& s) {
  const bool lan = s.pcHasLan == 1;
  const bool ppp = s.pcHasPpp == 1;
  LinkButtons b;
  if (lan && ppp) {
    b.checked = LinkKind::Pppoe;
    b.disableWireless = true;
  } else if (ppp) {
    b.checked = LinkKind::Pppoe;
    b.disableLan = true;
    b.disableWireless = true;
  } else if (lan) {
    b.checked = LinkKind::Lan;
    b.disablePppoe = true;
  } else {
    b.checked = LinkKind::Lan;
  }
  return b;
}

LinkButtons LinkButtonsOnYes(const SessionRecord& s) {
  const bool lan = s.pcHasLan == 1;
  const bool ppp = s.pcHasPpp == 1;
  LinkButtons b;
  if (lan && ppp) {
    b.checked = LinkKind::Pppoe;
    b.disableWireless = true;
  } else if (lan) {
    b.checked = s.linkWireless == 1 ? LinkKind::Wireless : LinkKind::Lan;
    b.disablePppoe = true;
  } else {
    b.checked = LinkKind::Lan;
  }
  return b;
}

int ApplyLinkChoice(SessionRecord& s, bool addNewCamera, LinkKind link) {
  if (!addNewCamera) {
    s.newCamera = 0;
    s.wizardMode = 0;
    s.linkPppoe = 0;
    s.linkWireless = 0;
    s.useWps = 0;
    return kStepSearch;
  }
  s.newCamera = 1;
  s.linkPppoe = link == LinkKind::Pppoe ? 1 : 0;
  s.linkWireless = link == LinkKind::Wireless ? 1 : 0;
  s.useWps = 0;
  return kStepDiagram;
}

bool WizardSetupOffered(const SessionRecord& s) {
  return s.extendedCgi == 1;
}

int ApplyWizardSetup(SessionRecord& s, std::string_view date, std::string_view time) {
  s.wizardMode = 1;
  s.sys.Date = date;
  s.sys.Time = time;
  return s.linkPppoe == 1 ? kStepPppoe : kStepWizardAddress;
}

int ApplyManualSetup(SessionRecord& s) {
  s.wizardMode = 0;
  return kStepSystem;
}

}  // namespace orv
