#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "core/platform/env.h"
#include "core/platform/file_save.h"

namespace orv {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Makes a rename or a creation in the folder survive a power cut, not only the file's bytes.
bool SyncFolder(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::fsync(fd) == 0;
  ::close(fd);
  return ok;
}

// A privileged program must not be steered through a link into writing a file of its choice.
bool Privileged() {
  return ::geteuid() == 0 || RunningWithRaisedPrivileges();
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes) {
  std::error_code ec;
  std::filesystem::path target = path;
  if (std::filesystem::is_symlink(path, ec)) {
    if (Privileged()) return false;
    target = std::filesystem::weakly_canonical(path, ec);
    if (ec) return false;
  }
  struct stat st {};
  if (::lstat(target.c_str(), &st) != 0) {
    if (errno != ENOENT) return false;
    // Nothing to lose yet: create it directly, with the usual permissions. O_EXCL also refuses a
    // link that appeared meanwhile.
    const int fd =
        ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, bytes);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    return ok && SyncFolder(target);
  }
  if (!S_ISREG(st.st_mode)) return false;
  std::string tmp = target.string() + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, st.st_mode & 07777) == 0;
  // The replacement keeps the owner of the file it replaces (root saving a user's file must not
  // take it over). A user who cannot set the group of their own file keeps the folder's.
  if (ok && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
      ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    ok = st.st_uid == ::geteuid();
  }
  ok = ok && WriteAll(fd, bytes);
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  if (ok && ::rename(tmp.c_str(), target.c_str()) == 0) return SyncFolder(target);
  ::unlink(tmp.c_str());
  return false;
}

}  // namespace orv
