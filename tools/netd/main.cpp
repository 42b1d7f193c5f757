// orvantis-netd: the only part of Orvantis that holds network privileges (CAP_NET_ADMIN to add
// and remove temporary addresses, CAP_NET_RAW for ARP requests). The programs start it and talk
// to it over its standard input and output, one request line and one answer line at a time:
//
//   add IFNAME ADDR/PREFIX LIFETIME CAMERA -> ok | err REASON
//   refresh IFNAME ADDR               -> ok | err REASON
//   del IFNAME ADDR                   -> ok | err REASON
//   arp IFNAME|- TARGET SOURCE        -> ok answered | ok no-answer | err REASON
//
// (the full rules are in core/hostnet/netd_service.h). It does nothing else: it reads no files
// of the user's and no environment, links no library that would read either before main (it
// talks to the kernel over rtnetlink itself), holds its capabilities as permitted only (file
// capabilities +p) and raises the one a step needs just for that step, and when its input closes
// (the program ended, however) it removes every address it added and ends. Addresses carry a
// lifetime of at most 600 s, so even a killed helper leaves nothing behind for long. Every helper
// on the system shares one lock, the root-owned orvantis-netd.lock beside it.

#include <linux/capability.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/signalfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/hostnet/netd_service.h"
#include "core/platform/host_network_kernel.h"

namespace {

using orv::NetdPrivilege;

// Raw capget/capset: the two capabilities are all this program ever touches.
struct Caps {
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2]{};
};

constexpr std::uint32_t Bit(int cap) {
  return 1u << cap;
}
constexpr std::uint32_t kWanted = Bit(CAP_NET_ADMIN) | Bit(CAP_NET_RAW);

bool ReadCaps(Caps& c) {
  return ::syscall(SYS_capget, &c.header, c.data) == 0;
}
bool WriteCaps(Caps& c) {
  return ::syscall(SYS_capset, &c.header, c.data) == 0;
}

// Keeps only the two network capabilities, and none of them effective or inheritable.
bool LimitCapabilities() {
  Caps c;
  if (!ReadCaps(c)) return false;
  c.data[0].permitted &= kWanted;
  c.data[1].permitted = 0;
  c.data[0].effective = c.data[1].effective = 0;
  c.data[0].inheritable = c.data[1].inheritable = 0;
  if (!WriteCaps(c)) return false;
  ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
  return true;
}

bool UsePrivilege(NetdPrivilege p) {
  Caps c;
  if (!ReadCaps(c)) return false;
  std::uint32_t effective = 0;
  if (p == NetdPrivilege::Admin) effective = Bit(CAP_NET_ADMIN);
  if (p == NetdPrivilege::Raw) effective = Bit(CAP_NET_RAW);
  c.data[0].effective = effective & c.data[0].permitted;
  c.data[1].effective = 0;
  // Running as root without the file capabilities still works: root keeps the two permitted.
  return WriteCaps(c) && (effective & ~c.data[0].permitted) == 0;
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The lock file beside the helper's own file (not its name as started).
std::string LockPath() {
  char self[4096];
  const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "/nonexistent";
  std::string path(self, static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "/nonexistent";
  return path.substr(0, slash + 1) + "orvantis-netd.lock";
}

}  // namespace

int main() {
  // Nothing from the caller's environment reaches this program's work.
  ::clearenv();
  ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
  ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0);
  ::close_range(3, ~0u, 0);
  ::signal(SIGPIPE, SIG_IGN);
  if (!LimitCapabilities()) {
    WriteAll(1, "err cannot set up capabilities\n");
    return 1;
  }

  // Termination requests end the loop like a closed input does, so the addresses go first.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  sigaddset(&stop, SIGHUP);
  ::sigprocmask(SIG_BLOCK, &stop, nullptr);
  const int sigFd = ::signalfd(-1, &stop, SFD_CLOEXEC);

  orv::NetdService service(orv::CreateHostNetworkKernel(LockPath()), UsePrivilege);

  std::string buffer;
  bool discarding = false;  // inside an over-long line, up to its newline
  for (;;) {
    pollfd p[2] = {{0, POLLIN, 0}, {sigFd, POLLIN, 0}};
    const int ready = ::poll(p, sigFd >= 0 ? 2 : 1, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (sigFd >= 0 && (p[1].revents & POLLIN))) break;
    char chunk[512];
    const ssize_t n = ::read(0, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    buffer.append(chunk, static_cast<std::size_t>(n));
    for (;;) {
      const std::size_t nl = buffer.find('\n');
      if (nl == std::string::npos) {
        if (buffer.size() > orv::kNetdMaxLineLength) {
          if (!discarding && !WriteAll(1, "err line too long\n")) return 0;
          discarding = true;
          buffer.clear();
        }
        break;
      }
      std::string line = buffer.substr(0, nl);
      buffer.erase(0, nl + 1);
      if (discarding) {
        discarding = false;
        continue;
      }
      if (!WriteAll(1, service.Handle(line) + "\n")) {
        service.RemoveAll();
        return 0;
      }
    }
  }
  return service.RemoveAll() == 0 ? 0 : 1;
}
