#include "core/platform/linux/rtnetlink.h"

#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orv::rtnl {

namespace {

constexpr std::size_t Align(std::size_t n) {
  return (n + 3) & ~std::size_t{3};
}

// A dump larger than this is not a PC's routing state: stop rather than read forever.
constexpr int kMaxDatagrams = 4096;
constexpr std::size_t kReceiveBuffer = 64 * 1024;

template <typename T>
bool ReadFixed(const std::uint8_t* data, std::size_t len, T& out) {
  if (len < sizeof(T)) return false;
  std::memcpy(&out, data, sizeof(T));
  return true;
}

// Calls visit(type, payload, payloadLen) for each attribute in [data, data + len).
template <typename Visit>
void ForEachAttr(const std::uint8_t* data, std::size_t len, Visit&& visit) {
  std::size_t at = 0;
  while (len - at >= sizeof(rtattr)) {
    rtattr a;
    std::memcpy(&a, data + at, sizeof a);
    if (a.rta_len < sizeof(rtattr) || a.rta_len > len - at) return;
    visit(static_cast<std::uint16_t>(a.rta_type & NLA_TYPE_MASK), data + at + sizeof(rtattr),
          static_cast<std::size_t>(a.rta_len - sizeof(rtattr)));
    const std::size_t step = Align(a.rta_len);
    if (step >= len - at) return;
    at += step;
  }
}

// Reads the fixed header of a message body, then calls visit for each attribute after it.
template <typename Header, typename Visit>
bool ReadMessage(const std::uint8_t* body, std::size_t len, Header& h, Visit&& visit) {
  if (!ReadFixed(body, len, h)) return false;
  const std::size_t head = Align(sizeof h);
  if (len > head) ForEachAttr(body + head, len - head, visit);
  return true;
}

std::uint32_t Ipv4Of(const std::uint8_t* p, std::size_t n) {
  std::uint32_t v = 0;
  if (n == 4) std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

bool DecodeLink(const std::uint8_t* body, std::size_t len, Link& out) {
  ifinfomsg m;
  Link l;
  const bool read =
      ReadMessage(body, len, m, [&](std::uint16_t t, const std::uint8_t* p, std::size_t n) {
        if (t == IFLA_IFNAME) {
          std::size_t used = 0;
          while (used < n && used < 15 && p[used] != 0) ++used;
          l.name.assign(reinterpret_cast<const char*>(p), used);
        } else if (t == IFLA_OPERSTATE && n >= 1) {
          l.operState = p[0];
        }
      });
  if (!read || m.ifi_index <= 0) return false;
  l.index = static_cast<std::uint32_t>(m.ifi_index);
  l.arpType = m.ifi_type;
  l.flags = m.ifi_flags;
  out = std::move(l);
  return true;
}

bool DecodeAddress(const std::uint8_t* body, std::size_t len, Address& out) {
  ifaddrmsg m;
  Address a;
  std::uint32_t address = 0;
  bool flags32 = false;
  const bool read =
      ReadMessage(body, len, m, [&](std::uint16_t t, const std::uint8_t* p, std::size_t n) {
        if (t == IFA_LOCAL) a.local = Ipv4Of(p, n);
        if (t == IFA_ADDRESS) address = Ipv4Of(p, n);
        if (t == IFA_PROTO && n >= 1) a.proto = p[0];
        if (t == IFA_FLAGS && n == 4) {
          std::memcpy(&a.flags, p, 4);
          flags32 = true;
        }
      });
  if (!read || m.ifa_family != AF_INET || m.ifa_prefixlen > 32) return false;
  a.index = m.ifa_index;
  a.prefix = m.ifa_prefixlen;
  if (!flags32) a.flags = m.ifa_flags;
  if (a.local == 0) a.local = address;
  if (a.local == 0) return false;
  out = a;
  return true;
}

bool DecodeRoute(const std::uint8_t* body, std::size_t len, Route& out) {
  rtmsg m;
  Route r;
  std::uint32_t table = 0;
  const bool read =
      ReadMessage(body, len, m, [&](std::uint16_t t, const std::uint8_t* p, std::size_t n) {
        if (t == RTA_DST) r.dst = Ipv4Of(p, n);
        if (t == RTA_TABLE && n == 4) std::memcpy(&table, p, 4);
        if (t == RTA_OIF && n == 4) std::memcpy(&r.oif, p, 4);
        if (t == RTA_GATEWAY && n == 4) r.gateways.push_back(Ipv4Of(p, n));
        if (t != RTA_MULTIPATH) return;
        std::size_t at = 0;
        for (int hops = 0; hops < 256 && n - at >= sizeof(rtnexthop); ++hops) {
          rtnexthop nh;
          std::memcpy(&nh, p + at, sizeof nh);
          if (nh.rtnh_len < sizeof nh || nh.rtnh_len > n - at) break;
          ForEachAttr(p + at + sizeof nh, nh.rtnh_len - sizeof nh,
                      [&](std::uint16_t nt, const std::uint8_t* np, std::size_t nn) {
                        if (nt == RTA_GATEWAY && nn == 4) r.gateways.push_back(Ipv4Of(np, nn));
                      });
          at += Align(nh.rtnh_len);
          if (at >= n) break;
        }
      });
  if (!read || m.rtm_family != AF_INET || m.rtm_dst_len > 32) return false;
  r.prefix = m.rtm_dst_len;
  r.table = table != 0 ? table : m.rtm_table;
  r.type = m.rtm_type;
  r.protocol = m.rtm_protocol;
  out = std::move(r);
  return true;
}

int WalkMessages(
    const std::uint8_t* data, std::size_t len, std::uint32_t seq,
    const std::function<void(std::uint16_t, const std::uint8_t*, std::size_t)>& visit) {
  std::size_t at = 0;
  while (len - at >= sizeof(nlmsghdr)) {
    nlmsghdr h;
    std::memcpy(&h, data + at, sizeof h);
    if (h.nlmsg_len < sizeof h || h.nlmsg_len > len - at) return -EBADMSG;
    const std::uint8_t* body = data + at + sizeof h;
    const std::size_t bodyLen = h.nlmsg_len - sizeof h;
    if (h.nlmsg_seq == seq) {
      if (h.nlmsg_type == NLMSG_DONE) return 1;
      if (h.nlmsg_type == NLMSG_ERROR) {
        nlmsgerr e;
        if (!ReadFixed(body, bodyLen, e)) return -EBADMSG;
        // error 0 is the acknowledgement of a change.
        return e.error == 0 ? 1 : (e.error < 0 && e.error > -4096 ? e.error : -EBADMSG);
      }
      if (h.nlmsg_type >= NLMSG_MIN_TYPE) visit(h.nlmsg_type, body, bodyLen);
    }
    const std::size_t step = Align(h.nlmsg_len);
    if (step >= len - at) break;
    at += step;
  }
  return 0;
}

Request::Request(std::uint16_t type, std::uint16_t flags) : m_bytes(sizeof(nlmsghdr), 0) {
  nlmsghdr h{};
  h.nlmsg_type = type;
  h.nlmsg_flags = static_cast<std::uint16_t>(NLM_F_REQUEST | NLM_F_ACK | flags);
  std::memcpy(m_bytes.data(), &h, sizeof h);
}

void Request::Body(const void* data, std::size_t len) {
  const auto* p = static_cast<const std::uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), p, p + len);
  m_bytes.resize(Align(m_bytes.size()), 0);
}

void Request::Attr(std::uint16_t type, const void* data, std::size_t len) {
  rtattr a{};
  a.rta_type = type;
  a.rta_len = static_cast<unsigned short>(sizeof a + len);
  const auto* head = reinterpret_cast<const std::uint8_t*>(&a);
  m_bytes.insert(m_bytes.end(), head, head + sizeof a);
  const auto* p = static_cast<const std::uint8_t*>(data);
  m_bytes.insert(m_bytes.end(), p, p + len);
  m_bytes.resize(Align(m_bytes.size()), 0);
}

Socket::Socket() {
  m_fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (m_fd < 0) {
    m_error = errno;
    return;
  }
  // The kernel answers at once; the bound is for a kernel that does not.
  timeval tv{2, 0};
  ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  sockaddr_nl local{};
  local.nl_family = AF_NETLINK;
  if (::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) m_error = errno;
}

Socket::~Socket() {
  if (m_fd >= 0) ::close(m_fd);
}

int Socket::Receive(
    std::uint32_t seq,
    const std::function<void(std::uint16_t, const std::uint8_t*, std::size_t)>& visit) {
  std::vector<std::uint8_t> buffer(kReceiveBuffer);
  for (int i = 0; i < kMaxDatagrams; ++i) {
    sockaddr_nl from{};
    socklen_t fromLen = sizeof from;
    const ssize_t n = ::recvfrom(m_fd, buffer.data(), buffer.size(), 0,
                                 reinterpret_cast<sockaddr*>(&from), &fromLen);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno == EAGAIN ? ETIMEDOUT : errno;
    if (from.nl_pid != 0) continue;  // only the kernel speaks here
    const int rc = WalkMessages(buffer.data(), static_cast<std::size_t>(n), seq, visit);
    if (rc < 0) return -rc;
    if (rc == 1) return 0;
  }
  return EMSGSIZE;
}

int Socket::Dump(
    std::uint16_t type, std::uint8_t family,
    const std::function<void(std::uint16_t, const std::uint8_t*, std::size_t)>& visit) {
  if (m_error != 0) return m_error;
  struct {
    nlmsghdr h;
    rtgenmsg g;
  } req{};
  req.h.nlmsg_len = sizeof req;
  req.h.nlmsg_type = type;
  req.h.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
  req.h.nlmsg_seq = ++m_seq;
  req.g.rtgen_family = family;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (::sendto(m_fd, &req, sizeof req, 0, reinterpret_cast<sockaddr*>(&kernel), sizeof kernel) < 0)
    return errno;
  return Receive(m_seq, visit);
}

int Socket::Links(std::vector<Link>& out) {
  out.clear();
  return Dump(RTM_GETLINK, AF_UNSPEC, [&](std::uint16_t t, const std::uint8_t* b, std::size_t n) {
    Link l;
    if (t == RTM_NEWLINK && DecodeLink(b, n, l)) out.push_back(std::move(l));
  });
}

int Socket::Addresses(std::vector<Address>& out) {
  out.clear();
  return Dump(RTM_GETADDR, AF_INET, [&](std::uint16_t t, const std::uint8_t* b, std::size_t n) {
    Address a;
    if (t == RTM_NEWADDR && DecodeAddress(b, n, a)) out.push_back(a);
  });
}

int Socket::Routes(std::vector<Route>& out) {
  out.clear();
  return Dump(RTM_GETROUTE, AF_INET, [&](std::uint16_t t, const std::uint8_t* b, std::size_t n) {
    Route r;
    if (t == RTM_NEWROUTE && DecodeRoute(b, n, r)) out.push_back(std::move(r));
  });
}

int Socket::Change(Request& r) {
  if (m_error != 0) return m_error;
  std::vector<std::uint8_t>& bytes = r.bytes();
  nlmsghdr h;
  std::memcpy(&h, bytes.data(), sizeof h);
  h.nlmsg_len = static_cast<std::uint32_t>(bytes.size());
  h.nlmsg_seq = ++m_seq;
  std::memcpy(bytes.data(), &h, sizeof h);
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&kernel),
               sizeof kernel) < 0)
    return errno;
  return Receive(m_seq, [](std::uint16_t, const std::uint8_t*, std::size_t) {});
}

}  // namespace orv::rtnl
