#include "core/app/setup_choice.h"

#include "core/app/camera_clock.h"

namespace orv {
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

bool WizardSetupOffered(const SessionRecord& s) {
  return s.extendedCgi == 1;
}

void SetCameraClock(SessionRecord& s, std::string_view date, std::string_view time) {
  s.sys.Date = date;
  s.sys.Time = time;
  NoteClockTaken(s);
}

}  // namespace orv
