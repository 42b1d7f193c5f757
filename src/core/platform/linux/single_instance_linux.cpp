// A flock on a lock file in the user's runtime folder. The kernel drops the lock when the process
// ends however it ends, so a crashed copy never blocks the next start.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "core/platform/single_instance.h"

namespace orv {
namespace {

// Creates the folder private to the user, and accepts an existing one only when it is a real
// folder owned by the user (not a link planted in /tmp by someone else).
bool EnsurePrivateFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return false;
  return S_ISDIR(st.st_mode) && st.st_uid == ::getuid();
}

std::string RuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/orvantis";
  return "/tmp/orvantis-" + std::to_string(::getuid());
}

class FlockInstance final : public SingleInstance {
 public:
  explicit FlockInstance(std::string name) : m_name(std::move(name)) {}
  ~FlockInstance() override {
    if (m_fd >= 0) ::close(m_fd);  // closing releases the lock
  }
  FlockInstance(const FlockInstance&) = delete;
  FlockInstance& operator=(const FlockInstance&) = delete;

  InstanceLock Acquire() override {
    if (m_fd >= 0) return InstanceLock::Acquired;
    if (m_name.empty() || m_name.find('/') != std::string::npos) return InstanceLock::Unavailable;
    if (!EnsurePrivateFolder(RuntimeFolder())) return InstanceLock::Unavailable;
    const std::string path = SingleInstanceLockPath(m_name);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return InstanceLock::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      ::close(fd);
      return err == EWOULDBLOCK ? InstanceLock::AlreadyRunning : InstanceLock::Unavailable;
    }
    m_fd = fd;
    return InstanceLock::Acquired;
  }

 private:
  std::string m_name;
  int m_fd = -1;
};

}  // namespace

std::string SingleInstanceLockPath(std::string_view name) {
  return RuntimeFolder() + "/" + std::string(name) + ".lock";
}

std::unique_ptr<SingleInstance> MakeSingleInstance(std::string_view name) {
  return std::make_unique<FlockInstance>(std::string(name));
}

}  // namespace orv
