// A new file beside the old one, flushed, then put in its place by ReplaceFileW, which keeps the
// old file's security and attributes.
#include <filesystem>
#include <string>
#include <system_error>

#include "core/platform/file_save.h"
#include "core/platform/windows/win_common.h"

namespace orv {
namespace {

bool WriteAllAndFlush(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return ::FlushFileBuffers(h) != 0;
}

bool WriteNew(const std::wstring& path, std::string_view bytes, DWORD disposition) {
  const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = WriteAllAndFlush(h, bytes);
  return ::CloseHandle(h) != 0 && ok;
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, ec)) {
    target = std::filesystem::weakly_canonical(path, ec);
    if (ec) return false;
  }
  const std::wstring wide = target.wstring();
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    // Nothing to lose yet; CREATE_NEW also refuses a file that appeared meanwhile.
    return WriteNew(wide, bytes, CREATE_NEW);
  }
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) return false;
  const std::wstring tmp = wide + L".new" + std::to_wstring(::GetCurrentProcessId());
  if (WriteNew(tmp, bytes, CREATE_ALWAYS) &&
      ::ReplaceFileW(wide.c_str(), tmp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
    return true;
  }
  ::DeleteFileW(tmp.c_str());
  return false;
}

}  // namespace orv
