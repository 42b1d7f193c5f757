#include <filesystem>
#include <system_error>

#include "core/platform/program_folder.h"

namespace orv {

std::string ExecutableFolder() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  return WithTrailingSeparator(exe.parent_path().string());
}

}  // namespace orv
