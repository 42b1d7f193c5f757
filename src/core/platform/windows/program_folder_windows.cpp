#include <string>

#include "core/platform/program_folder.h"
#include "core/platform/windows/win_common.h"

namespace orv {

std::string ExecutableFolder() {
  // Long paths can exceed MAX_PATH: grow the buffer until the name fits, up to the system limit.
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::wstring buffer(size, L'\0');
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), size);
    if (n == 0) return {};
    if (n < size) {
      buffer.resize(n);
      const std::string path = win::Utf8Path(buffer);
      const auto slash = path.rfind('/');
      return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    }
  }
  return {};
}

}  // namespace orv
