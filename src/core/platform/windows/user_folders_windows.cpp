// Settings under %APPDATA%\Orvantis, which the system already keeps private to the user.
#include <filesystem>
#include <string>
#include <system_error>

#include "core/platform/user_folders.h"
#include "core/platform/windows/win_common.h"

namespace orv {

bool OtherUsersMayRead(const std::string&) {
  return false;
}

bool FolderIsWritable(const std::string& folder) {
  if (folder.empty()) return false;
  // Access rights on Windows are too many to check one by one: try a file that goes on close.
  const std::wstring probe =
      win::Wide(folder) + L"\\.orvantis-probe-" + std::to_wstring(::GetCurrentProcessId());
  const HANDLE h = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

std::string UserConfigFolder() {
  wchar_t value[32768] = {};
  const DWORD n = ::GetEnvironmentVariableW(L"APPDATA", value, 32768);
  if (n == 0 || n >= 32768) return {};
  return win::Utf8Path(std::wstring_view(value, n)) + "/Orvantis/";
}

void MakePrivateFolders(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(win::Wide(folder)), ec);
}

bool EnsureReadableFile(const std::string& path) {
  const std::wstring wide = win::Wide(path);
  // OPEN_ALWAYS never truncates: an existing file keeps its contents.
  HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    h = ::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (h == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(h);
  return true;
}

}  // namespace orv
