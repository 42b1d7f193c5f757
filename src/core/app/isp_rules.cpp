#include "core/app/isp_rules.h"

#include <string>

#include "core/app/credential_text.h"

namespace orv {

IspShown IspLinkOnPrepare(const SessionRecord& s) {
  switch (s.net.IPType) {
    case 0:
    case 1:
      return IspShown::Lan;
    case 2:
      return IspShown::Pppoe;
    default:
      return IspShown::Unchanged;
  }
}

namespace {

// Both texts fit, or the first that does not is named.
PppoeProblem StoreAccount(SessionRecord& s, std::string_view user, std::string_view password,
                          std::string_view confirm) {
  const std::optional<std::string> localUser = FitLocalText(user, kPppoeTextBytes);
  if (!localUser) return PppoeProblem::UserRefused;
  const std::optional<std::string> localPassword = FitLocalText(password, kPppoeTextBytes);
  const std::optional<std::string> localConfirm = FitLocalText(confirm, kPppoeTextBytes);
  if (!localPassword || !localConfirm) return PppoeProblem::PasswordRefused;
  s.net.IPType = 2;
  s.net.PAccount = *localUser;
  s.net.PPwd = *localPassword;
  s.net.PVP = *localConfirm;
  return PppoeProblem::None;
}

}  // namespace

PppoeAnswer IspLinkNextChecked(SessionRecord& s, const IspTyped& typed) {
  if (!typed.link) return {PppoeProblem::NoLinkChosen, nav::kNoStep};
  if (*typed.link == nav::IspLink::Lan) return {PppoeProblem::None, nav::IspLinkNext(*typed.link)};
  // Compared as typed: a password that differs only in letter case is a different password.
  if (typed.password != typed.confirm) return {PppoeProblem::PasswordMismatch, nav::kNoStep};
  if (typed.user.empty() || typed.password.empty())
    return {PppoeProblem::LoginMissing, nav::kNoStep};
  const PppoeProblem problem = StoreAccount(s, typed.user, typed.password, typed.confirm);
  if (problem != PppoeProblem::None) return {problem, nav::kNoStep};
  return {PppoeProblem::None, nav::IspLinkNext(*typed.link)};
}

PppoeAnswer PppoeNextChecked(SessionRecord& s, std::string_view user, std::string_view password) {
  const PppoeProblem problem = StoreAccount(s, user, password, password);
  if (problem != PppoeProblem::None) return {problem, nav::kNoStep};
  return {PppoeProblem::None, nav::kPppoeNext};
}

}  // namespace orv
