// The kernel as orvantis-netd sees it: rtnetlink directly (no routing library), sysfs for wireless
// adapters, the resolver files for DNS servers, a packet socket for ARP and flock on a root-owned
// file for the lock all helpers share.

// glibc's net/if.h must come before the kernel's headers that pull in linux/if.h.
// clang-format off
#include <net/if.h>
// clang-format on
#include <fcntl.h>
#include <linux/if_addr.h>
#include <linux/if_arp.h>
#include <linux/rtnetlink.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "core/platform/host_network_kernel.h"
#include "core/platform/linux/host_network_arp.h"
#include "core/platform/linux/host_network_files.h"
#include "core/platform/linux/rtnetlink.h"
#include "core/util/ipv4.h"

namespace orv {

namespace {

// Another helper holds the lock only for a few milliseconds at a time.
constexpr auto kLockWait = std::chrono::seconds(3);

ifaddrmsg AddressHeader(std::uint32_t ifIndex) {
  ifaddrmsg m{};
  m.ifa_family = AF_INET;
  m.ifa_prefixlen = 32;
  m.ifa_scope = RT_SCOPE_UNIVERSE;
  m.ifa_index = ifIndex;
  return m;
}

class LinuxKernel final : public HostNetworkKernel {
 public:
  explicit LinuxKernel(std::string lockPath) : m_lockPath(std::move(lockPath)) {}
  ~LinuxKernel() override {
    if (m_lockFd >= 0) ::close(m_lockFd);
  }

  bool Read(KernelState& out) override {
    rtnl::Socket sock;
    std::vector<rtnl::Link> links;
    std::vector<rtnl::Address> addrs;
    std::vector<rtnl::Route> routes;
    int rc = sock.Links(links);
    if (rc == 0) rc = sock.Addresses(addrs);
    if (rc == 0) rc = sock.Routes(routes);
    if (rc != 0) {
      Fail(rc, "reading the network state");
      return false;
    }
    KernelState s;
    for (const rtnl::Link& l : links) {
      AdapterInfo a;
      a.index = l.index;
      a.name = l.name;
      a.up = l.operState == IF_OPER_UP ||
             (l.operState == IF_OPER_UNKNOWN && (l.flags & IFF_UP) && (l.flags & IFF_RUNNING));
      if (l.arpType == ARPHRD_ETHER)
        a.type = linuxnet::ReadSysfsFacts("", l.name).wireless ? AdapterType::Wireless
                                                               : AdapterType::Ethernet;
      else if (l.arpType == ARPHRD_PPP)
        a.type = AdapterType::Ppp;
      s.adapters.push_back(std::move(a));
    }
    for (const rtnl::Address& a : addrs)
      s.addresses.push_back({a.index, a.local, a.prefix, a.proto == kNetdTag});
    for (const rtnl::Route& r : routes)
      if (r.table != RT_TABLE_LOCAL)
        s.routes.push_back({r.dst, r.prefix, r.oif, r.gateways, r.protocol == kNetdTag});
    s.dnsServers = linuxnet::AllDnsServers("");
    out = std::move(s);
    return true;
  }

  int AddTagged(std::uint32_t ifIndex, std::uint32_t addr, int prefix,
                std::chrono::seconds lifetime) override {
    rtnl::Socket sock;
    int rc = SendAddress(sock, RTM_NEWADDR, NLM_F_CREATE | NLM_F_EXCL, ifIndex, addr, lifetime);
    if (rc != 0) return Fail(rc, "adding " + FormatIpv4(addr));
    // A kernel that drops the tag (before Linux 6.1) would make the address look like anyone's.
    std::vector<rtnl::Address> addrs;
    sock.Addresses(addrs);
    const bool tagged = std::any_of(addrs.begin(), addrs.end(), [&](const rtnl::Address& a) {
      return a.index == ifIndex && a.local == addr && a.prefix == 32 && a.proto == kNetdTag;
    });
    if (!tagged) {
      SendAddress(sock, RTM_DELADDR, 0, ifIndex, addr, {});
      return Fail(EOPNOTSUPP, "adding " + FormatIpv4(addr) + ": the kernel keeps no address tag");
    }
    rtmsg m{};
    m.rtm_family = AF_INET;
    m.rtm_dst_len = static_cast<unsigned char>(prefix);
    m.rtm_table = RT_TABLE_MAIN;
    m.rtm_protocol = kNetdTag;
    m.rtm_scope = RT_SCOPE_LINK;
    m.rtm_type = RTN_UNICAST;
    rtnl::Request r(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_APPEND);
    r.Body(&m, sizeof m);
    const std::uint32_t subnet = addr & PrefixMask(prefix);
    r.U32(RTA_DST, subnet);
    r.U32(RTA_PREFSRC, addr);
    r.U32(RTA_OIF, ifIndex);
    rc = sock.Change(r);
    if (rc != 0) {
      SendAddress(sock, RTM_DELADDR, 0, ifIndex, addr, {});
      return Fail(rc, "adding the route to " + FormatIpv4(subnet) + "/" + std::to_string(prefix));
    }
    return 0;
  }

  int RenewTagged(std::uint32_t ifIndex, std::uint32_t addr,
                  std::chrono::seconds lifetime) override {
    rtnl::Socket sock;
    const int rc = SendAddress(sock, RTM_NEWADDR, NLM_F_REPLACE, ifIndex, addr, lifetime);
    return rc == 0 ? 0 : Fail(rc, "refreshing " + FormatIpv4(addr));
  }

  int DeleteTagged(std::uint32_t ifIndex, std::uint32_t addr) override {
    rtnl::Socket sock;
    const int rc = SendAddress(sock, RTM_DELADDR, 0, ifIndex, addr, {});
    // Gone already (its lifetime ran out, or root removed it): nothing of ours is left.
    if (rc == EADDRNOTAVAIL || rc == ENODEV) return 0;
    return rc == 0 ? 0 : Fail(rc, "deleting " + FormatIpv4(addr));
  }

  ArpAnswer Arp(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source,
                const ArpHooks& hooks) override {
    char name[IF_NAMESIZE] = {};
    std::string error;
    const ArpAnswer a =
        linuxnet::SendArpRequest(ifIndex, if_indextoname(ifIndex, name) ? name : "", target, source,
                                 std::chrono::seconds(1), hooks, error);
    if (a == ArpAnswer::Error) m_lastError = error;
    return a;
  }

  bool Lock() override {
    if (m_lockFd < 0) {
      // Only a root-owned file shuts every helper out: one of the user's own would lock nobody.
      m_lockFd = ::open(m_lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
      struct stat st {};
      if (m_lockFd < 0 || ::fstat(m_lockFd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != 0) {
        if (m_lockFd >= 0) ::close(m_lockFd);
        m_lockFd = -1;
        m_lastError = "no root-owned lock file " + m_lockPath;
        return false;
      }
    }
    const auto until = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) {
        m_lastError = std::string("locking ") + m_lockPath + ": " + std::strerror(errno);
        return false;
      }
      if (std::chrono::steady_clock::now() > until) {
        m_lastError = "another helper holds " + m_lockPath;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  void Unlock() override {
    if (m_lockFd >= 0) ::flock(m_lockFd, LOCK_UN);
  }

  std::string LastError() const override { return m_lastError; }

 private:
  static std::uint32_t PrefixMask(int prefix) {
    const std::uint32_t host = prefix <= 0 ? 0 : ~(0xFFFFFFFFu >> prefix);
    return MakeIpv4(static_cast<std::uint8_t>(host >> 24), static_cast<std::uint8_t>(host >> 16),
                    static_cast<std::uint8_t>(host >> 8), static_cast<std::uint8_t>(host));
  }

  // An add, replace or delete of the tagged addr/32; the tag and the /32 make a delete match
  // nothing else.
  int SendAddress(rtnl::Socket& sock, std::uint16_t type, std::uint16_t flags,
                  std::uint32_t ifIndex, std::uint32_t addr, std::chrono::seconds lifetime) {
    rtnl::Request r(type, flags);
    const ifaddrmsg m = AddressHeader(ifIndex);
    r.Body(&m, sizeof m);
    r.U32(IFA_LOCAL, addr);
    r.U32(IFA_ADDRESS, addr);
    r.U8(IFA_PROTO, kNetdTag);
    if (type == RTM_NEWADDR) {
      ifa_cacheinfo ci{};
      ci.ifa_valid = ci.ifa_prefered = static_cast<std::uint32_t>(lifetime.count());
      r.Attr(IFA_CACHEINFO, &ci, sizeof ci);
    }
    return sock.Change(r);
  }

  int Fail(int code, const std::string& what) {
    m_lastError = what + ": " + std::strerror(code);
    if (code == EPERM) m_lastError += " (needs CAP_NET_ADMIN)";
    return code;
  }

  const std::string m_lockPath;
  int m_lockFd = -1;
  std::string m_lastError;
};

}  // namespace

std::unique_ptr<HostNetworkKernel> CreateHostNetworkKernel(std::string lockPath) {
  return std::make_unique<LinuxKernel>(std::move(lockPath));
}

}  // namespace orv
