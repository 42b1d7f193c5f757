// Linux back end of the discovery platform layer.
//
// Resolving the host name does not give the adapter addresses here, so the addresses come from
// getifaddrs: IPv4 on adapters that are up, not loopback and can broadcast, ordered by interface
// index. Binding a sending socket to one of them makes the kernel send the limited broadcast out of
// that adapter. Receive sockets ask for IP_PKTINFO, so every reply says which adapter it came in
// on.

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/platform/discovery_net.h"

namespace orv {
namespace {

class LinuxHostSource final : public DiscoveryHostSource {
 public:
  std::optional<std::vector<std::uint32_t>> HostAddresses() override {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return std::nullopt;
    struct Found {
      unsigned index;
      std::size_t order;
      std::uint32_t address;
    };
    std::vector<Found> found;
    std::size_t order = 0;
    for (ifaddrs* ifa = list; ifa != nullptr; ifa = ifa->ifa_next) {
      if (ifa->ifa_addr == nullptr || ifa->ifa_addr->sa_family != AF_INET) continue;
      const unsigned flags = ifa->ifa_flags;
      if (!(flags & IFF_UP) || (flags & IFF_LOOPBACK) || !(flags & IFF_BROADCAST)) continue;
      sockaddr_in sin{};
      std::memcpy(&sin, ifa->ifa_addr, sizeof sin);
      found.push_back({::if_nametoindex(ifa->ifa_name), order++, sin.sin_addr.s_addr});
    }
    ::freeifaddrs(list);
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
      return a.index != b.index ? a.index < b.index : a.order < b.order;
    });
    std::vector<std::uint32_t> out;
    for (const Found& f : found) out.push_back(f.address);
    // No usable adapter: the engine's loopback state.
    if (out.empty()) out.push_back(htonl(INADDR_LOOPBACK));
    return out;
  }

  std::string AdapterName(std::uint32_t ifIndex) override {
    char name[IF_NAMESIZE] = {};
    if (ifIndex == 0 || ::if_indextoname(ifIndex, name) == nullptr) return {};
    return name;
  }
};

class LinuxSockets final : public DiscoverySockets {
 public:
  int CreateUdp() override {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
      // Room for the replies of a few hundred cameras that all answer at once.
      const int size = 1 << 20;
      (void)::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    return fd;
  }
  bool SetReuseAddress(int fd) override { return SetFlag(fd, SO_REUSEADDR); }
  bool SetBroadcast(int fd) override { return SetFlag(fd, SO_BROADCAST); }
  bool Bind(int fd, std::uint32_t address, std::uint16_t port) override {
    const sockaddr_in sin = Make(address, port);
    return ::bind(fd, reinterpret_cast<const sockaddr*>(&sin), sizeof sin) == 0;
  }
  long SendTo(int fd, const void* data, std::size_t size, std::uint32_t address,
              std::uint16_t port) override {
    const sockaddr_in sin = Make(address, port);
    return ::sendto(fd, data, size, 0, reinterpret_cast<const sockaddr*>(&sin), sizeof sin);
  }
  int WaitReadable(int fd, int timeoutMs) override {
    pollfd p{fd, POLLIN, 0};
    int r;
    do {
      r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0) return -1;
    if (r == 0) return 0;
    return (p.revents & POLLIN) ? 1 : -1;
  }
  long Receive(int fd, void* buffer, std::size_t capacity) override {
    // MSG_TRUNC makes the kernel report the datagram's real length, so an over-long one is seen.
    ssize_t n;
    do {
      n = ::recv(fd, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0 || static_cast<std::size_t>(n) > capacity) return -1;
    return static_cast<long>(n);
  }
  bool EnableArrivalAdapter(int fd) override {
    const int one = 1;
    return ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one) == 0;
  }
  long ReceiveWithAdapter(int fd, void* buffer, std::size_t capacity,
                          std::uint32_t& ifIndex) override {
    ifIndex = 0;
    iovec iov{buffer, capacity};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t n;
    do {
      n = ::recvmsg(fd, &msg, MSG_TRUNC | MSG_DONTWAIT);
    } while (n < 0 && errno == EINTR);
    if (n < 0 || static_cast<std::size_t>(n) > capacity) return -1;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
      if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
        in_pktinfo info{};
        std::memcpy(&info, CMSG_DATA(c), sizeof info);
        ifIndex = static_cast<std::uint32_t>(info.ipi_ifindex);
      }
    }
    return static_cast<long>(n);
  }
  int WaitAnyReadable(const std::vector<int>& fds, int timeoutMs) override {
    std::vector<pollfd> p;
    for (int fd : fds) p.push_back(pollfd{fd, POLLIN, 0});
    if (p.empty()) return -1;
    int r;
    do {
      r = ::poll(p.data(), p.size(), timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r <= 0) return -1;
    for (std::size_t i = 0; i < p.size(); ++i)
      if (p[i].revents & POLLIN) return static_cast<int>(i);
    return -1;
  }
  void Close(int fd) override {
    if (fd >= 0) ::close(fd);
  }

 private:
  static bool SetFlag(int fd, int option) {
    const int one = 1;
    return ::setsockopt(fd, SOL_SOCKET, option, &one, sizeof one) == 0;
  }
  static sockaddr_in Make(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = address;
    sin.sin_port = htons(port);
    return sin;
  }
};

}  // namespace

std::shared_ptr<DiscoveryHostSource> SystemDiscoveryHostSource() {
  return std::make_shared<LinuxHostSource>();
}
std::shared_ptr<DiscoverySockets> SystemDiscoverySockets() {
  return std::make_shared<LinuxSockets>();
}

}  // namespace orv
