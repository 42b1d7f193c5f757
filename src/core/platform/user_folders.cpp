#include "core/platform/user_folders.h"

#include "core/platform/program_folder.h"

namespace orv {

std::string UserConfigFolder(const char* xdgConfigHome, const char* home) {
  if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
    return WithTrailingSeparator(xdgConfigHome) + "orvantis/";
  }
  if (home != nullptr && home[0] == '/') return WithTrailingSeparator(home) + ".config/orvantis/";
  return {};
}

}  // namespace orv
