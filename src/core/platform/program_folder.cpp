#include "core/platform/program_folder.h"

#include "core/platform/env.h"

namespace orv {

std::string WithTrailingSeparator(std::string s) {
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

std::string ProgramFolder() {
  if (const std::optional<std::string> forced = EnvOverride("ORVANTIS_PROGRAM_FOLDER");
      forced && !forced->empty()) {
    return WithTrailingSeparator(*forced);
  }
  return ExecutableFolder();
}

}  // namespace orv
