#include "core/platform/linux/host_network_arp.h"

// glibc's net/if.h must come before the kernel's headers that pull in linux/if.h.
// clang-format off
#include <net/if.h>
// clang-format on
#include <arpa/inet.h>
#include <linux/if_arp.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orv::linuxnet {

namespace {

// The 28-byte ARP body for Ethernet and IPv4.
struct ArpBody {
  std::uint8_t htype[2];
  std::uint8_t ptype[2];
  std::uint8_t hlen;
  std::uint8_t plen;
  std::uint8_t op[2];
  std::uint8_t sha[6];
  std::uint8_t spa[4];
  std::uint8_t tha[6];
  std::uint8_t tpa[4];
};
static_assert(sizeof(ArpBody) == 28);

class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  ~Fd() {
    if (m_fd >= 0) ::close(m_fd);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return m_fd; }

 private:
  int m_fd;
};

ArpAnswer Failed(std::string& error, std::string text) {
  error = std::move(text);
  return ArpAnswer::Error;
}

}  // namespace

ArpAnswer SendArpRequest(std::uint32_t ifIndex, const std::string& ifName, std::uint32_t target,
                         std::uint32_t source, std::chrono::milliseconds timeout,
                         const ArpHooks& hooks, std::string& error) {
  if (hooks.beforeOpen && !hooks.beforeOpen())
    return Failed(error, "ARP: no CAP_NET_RAW to open a packet socket");
  const int raw = ::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_ARP));
  const int openErrno = errno;
  if (hooks.afterOpen) hooks.afterOpen();
  Fd fd(raw);
  if (fd.get() < 0)
    return Failed(error, std::string("ARP: ") + std::strerror(openErrno) +
                             (openErrno == EPERM
                                  ? " (needs CAP_NET_RAW: run as root, or install orvantis-netd)"
                                  : ""));
  sockaddr_ll sll{};
  sll.sll_family = AF_PACKET;
  sll.sll_protocol = htons(ETH_P_ARP);
  sll.sll_ifindex = static_cast<int>(ifIndex);
  if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&sll), sizeof sll) != 0)
    return Failed(error, std::string("ARP: bind: ") + std::strerror(errno));
  ifreq ifr{};
  if (ifName.empty() || ifName.size() >= sizeof ifr.ifr_name)
    return Failed(error, "ARP: adapter vanished");
  std::memcpy(ifr.ifr_name, ifName.data(), ifName.size());
  if (::ioctl(fd.get(), SIOCGIFHWADDR, &ifr) != 0 || ifr.ifr_hwaddr.sa_family != ARPHRD_ETHER)
    return Failed(error, "ARP: " + ifName + " is not an Ethernet adapter");

  ArpBody req{};
  req.htype[1] = 1;
  req.ptype[0] = 0x08;
  req.hlen = 6;
  req.plen = 4;
  req.op[1] = 1;
  std::memcpy(req.sha, ifr.ifr_hwaddr.sa_data, 6);
  std::memcpy(req.spa, &source, 4);
  std::memcpy(req.tpa, &target, 4);
  sockaddr_ll to = sll;
  to.sll_halen = 6;
  std::memset(to.sll_addr, 0xFF, 6);
  const bool sent = ::sendto(fd.get(), &req, sizeof req, 0, reinterpret_cast<sockaddr*>(&to),
                             sizeof to) == static_cast<ssize_t>(sizeof req);
  const int sendErrno = errno;
  if (hooks.afterSend) hooks.afterSend();
  if (!sent) return Failed(error, std::string("ARP: send: ") + std::strerror(sendErrno));

  const auto deadline = std::chrono::steady_clock::now() + timeout;
  // Bounded by the deadline and by a packet count, whatever arrives on the wire.
  for (int packets = 0; packets < 4096; ++packets) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd p{fd.get(), POLLIN, 0};
    const int n = ::poll(&p, 1, static_cast<int>(left.count()));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    ArpBody rep{};
    const ssize_t got = ::recv(fd.get(), &rep, sizeof rep, MSG_DONTWAIT);
    if (got < static_cast<ssize_t>(sizeof rep)) continue;
    if (rep.htype[0] != 0 || rep.htype[1] != 1 || rep.ptype[0] != 0x08 || rep.ptype[1] != 0 ||
        rep.hlen != 6 || rep.plen != 4 || rep.op[0] != 0 || rep.op[1] != 2)
      continue;
    std::uint32_t spa;
    std::memcpy(&spa, rep.spa, 4);
    if (spa == target) return ArpAnswer::Answered;
  }
  return ArpAnswer::NoAnswer;
}

}  // namespace orv::linuxnet
