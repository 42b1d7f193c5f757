#include "core/platform/locale.h"

namespace orv {

std::string UserMessagesLocale() {
  return LocaleFromEnvironment({"LC_ALL", "LC_MESSAGES", "LANG"});
}

}  // namespace orv
