#pragma once
// The ISP link-type page and the wizard's PPPoE page: what they show from the record and what Next
// checks and stores. Texts come in as typed (UTF-8) and go into the record in the system code page;
// one that would be cut or changed on the way is refused, never stored changed.

#include <optional>
#include <string_view>

#include "core/app/navigation.h"
#include "core/model/session_record.h"

namespace orv {

// Bytes a PPPoE account or password field holds (its terminator aside).
inline constexpr std::size_t kPppoeTextBytes = 63;
// Characters the ISP page lets the user type into each of its three fields.
inline constexpr int kIspTypingLimit = 32;

// The ISP page shown for the record's IPType: PPPoE (the fields enabled), LAN (the fields
// disabled), or the buttons stay as they are (an unknown type). The three fields always show the
// record's account, so a previous camera's never stays on screen.
enum class IspShown { Lan, Pppoe, Unchanged };
IspShown IspLinkOnPrepare(const SessionRecord& session);

enum class PppoeProblem {
  None,
  NoLinkChosen,      // neither LAN nor PPPoE is checked
  PasswordMismatch,  // password and confirmation differ (letter case counts)
  LoginMissing,      // PPPoE without a user name or password: cameras never report theirs
  UserRefused,       // the user name does not fit its field in the system code page
  PasswordRefused,   // nor does the password
};

struct PppoeAnswer {
  PppoeProblem problem = PppoeProblem::None;
  int step = nav::kNoStep;  // posted when there is no problem
};

struct IspTyped {
  std::optional<nav::IspLink> link;  // none when neither radio is checked
  std::string_view user;
  std::string_view password;
  std::string_view confirm;
};

// ISP page, Next. LAN leaves IPType to the address page; PPPoE stores IPType 2 and the three texts
// only when every check passes. An empty account would wipe the one the camera holds, which it
// does not report, so PPPoE needs a user name and a password typed here.
PppoeAnswer IspLinkNextChecked(SessionRecord& session, const IspTyped& typed);

// PPPoE page, Next: IPType 2, the account and the password, and PVP the same as PPwd.
PppoeAnswer PppoeNextChecked(SessionRecord& session, std::string_view user,
                             std::string_view password);

}  // namespace orv
