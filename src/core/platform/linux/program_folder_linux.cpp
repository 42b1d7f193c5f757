#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "core/platform/env.h"
#include "core/platform/program_folder.h"

namespace orv {

std::string WithTrailingSeparator(std::string s) {
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

std::string ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  return WithTrailingSeparator(exe.parent_path().string());
}

std::string ProgramFolder() {
  if (const std::optional<std::string> forced = EnvOverride("ORVANTIS_PROGRAM_FOLDER");
      forced && !forced->empty()) {
    return WithTrailingSeparator(*forced);
  }
  return ExecutableFolder();
}

}  // namespace orv
