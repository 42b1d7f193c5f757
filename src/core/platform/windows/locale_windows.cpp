#include "core/platform/locale.h"
#include "core/platform/windows/win_common.h"

namespace orv {

// A locale named in the environment wins, as on Linux (a user or a test may choose one); else the
// user's display language ("zh-TW", which ParseLocaleName reads as it reads "zh_TW").
std::string UserMessagesLocale() {
  const std::string fromEnvironment = LocaleFromEnvironment({"LC_ALL", "LC_MESSAGES", "LANG"});
  if (fromEnvironment != "C") return fromEnvironment;
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  const LCID lcid = MAKELCID(::GetUserDefaultUILanguage(), SORT_DEFAULT);
  if (::LCIDToLocaleName(lcid, name, LOCALE_NAME_MAX_LENGTH, 0) <= 0) return "C";
  return win::Utf8(name);
}

}  // namespace orv
