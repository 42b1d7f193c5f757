// Linux host networking: rtnetlink (through libnl) for adapters, addresses and routes, AF_PACKET
// for ARP, and the resolver and lease files for DNS and DHCP facts.

// glibc's net/if.h must come before the kernel's linux/if.h that libnl pulls in.
// clang-format off
#include <net/if.h>
// clang-format on
#include <arpa/inet.h>
#include <linux/if_arp.h>
#include <netlink/netlink.h>
#include <netlink/route/addr.h>
#include <netlink/route/link.h>
#include <netlink/route/route.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

#include "core/platform/env.h"
#include "core/platform/host_network.h"
#include "core/platform/host_network_state.h"
#include "core/platform/linux/host_network_arp.h"
#include "core/platform/linux/host_network_direct.h"
#include "core/platform/linux/host_network_files.h"
#include "core/util/ipv4.h"

namespace orv {

namespace {

// One route socket per operation: libnl sockets are not to be shared between threads.
class RouteSocket {
 public:
  RouteSocket() : m_sock(nl_socket_alloc()) {
    if (!m_sock) {
      m_error = -NLE_NOMEM;
      return;
    }
    m_error = nl_connect(m_sock, NETLINK_ROUTE);
  }
  ~RouteSocket() {
    if (m_sock) nl_socket_free(m_sock);
  }
  RouteSocket(const RouteSocket&) = delete;
  RouteSocket& operator=(const RouteSocket&) = delete;

  bool ok() const { return m_sock && m_error == 0; }
  int error() const { return m_error; }
  nl_sock* get() const { return m_sock; }

 private:
  nl_sock* m_sock;
  int m_error = 0;
};

struct CacheDeleter {
  void operator()(nl_cache* c) const { nl_cache_free(c); }
};
using CachePtr = std::unique_ptr<nl_cache, CacheDeleter>;

struct NlAddrDeleter {
  void operator()(nl_addr* a) const { nl_addr_put(a); }
};
struct RtnlAddrDeleter {
  void operator()(rtnl_addr* a) const { rtnl_addr_put(a); }
};

std::uint32_t NlAddrIpv4(nl_addr* a) {
  if (!a || nl_addr_get_family(a) != AF_INET || nl_addr_get_len(a) != 4) return 0;
  std::uint32_t v;
  std::memcpy(&v, nl_addr_get_binary_addr(a), 4);
  return v;
}

std::uint32_t MaskFromPrefix(int len) {
  if (len <= 0) return 0;
  if (len > 32) len = 32;
  const std::uint32_t host = len == 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> len);
  return htonl(host);
}

std::string NlErrorText(int err) {
  return nl_geterror(err < 0 ? -err : err);
}

using linuxnet::LinkFacts;

struct HeldAddress {
  std::uint32_t ifIndex = 0;
  std::uint32_t addr = 0;
  int prefix = 0;
};

class LinuxHostNetwork final : public HostNetwork {
 public:
  explicit LinuxHostNetwork(HostNetworkOptions o) : m_opt(std::move(o)) {}

  int ListAdapters(std::vector<AdapterInfo>& out, std::string& errorText) override {
    std::vector<LinkFacts> links;
    const int rc = ReadLinks(links, errorText);
    if (rc != 0) return rc;
    if (links.empty()) return kHostNetNoData;
    out.clear();
    for (const LinkFacts& l : links) out.push_back(l.info);
    return 0;
  }

  bool ReadAdapterDetails(std::uint32_t ifIndex, AdapterDetails& out) override {
    if (ifIndex == 0) return false;
    RouteSocket sock;
    AdapterDetails d;
    bool firstPermanent = true;
    const bool read = ForEachIpv4Address(sock, [&](rtnl_addr* a) {
      if (static_cast<std::uint32_t>(rtnl_addr_get_ifindex(a)) != ifIndex) return;
      const std::uint32_t v = NlAddrIpv4(rtnl_addr_get_local(a));
      if (d.addressTexts.empty()) firstPermanent = rtnl_addr_get_flags(a) & IFA_F_PERMANENT;
      d.addressTexts.push_back(FormatIpv4(v));
      d.maskTexts.push_back(FormatIpv4(MaskFromPrefix(rtnl_addr_get_prefixlen(a))));
    });
    if (!read) return false;
    ReadGateways(sock, ifIndex, d.gatewayTexts);

    const std::string name = IfName(ifIndex);
    const bool dynamic = (!d.addressTexts.empty() && !firstPermanent) ||
                         (!name.empty() && linuxnet::NetworkManagerUsesDhcp(m_opt.fileRoot, name));
    if (dynamic) {
      d.dhcpEnabled = 1;
      d.dhcpServerText = linuxnet::DhcpServerFromLease(m_opt.fileRoot, ifIndex);
    }
    out = std::move(d);
    return true;
  }

  bool ReadDnsServer(std::uint32_t ifIndex, std::string& out) override {
    if (ifIndex == 0) return false;
    auto dns = linuxnet::FirstDnsServer(m_opt.fileRoot, ifIndex);
    if (!dns) return false;
    out = *dns;
    return true;
  }

  bool ReadAddressTable(std::vector<std::uint32_t>& out) override {
    RouteSocket sock;
    std::vector<std::uint32_t> table;
    if (!ForEachIpv4Address(
            sock, [&](rtnl_addr* a) { table.push_back(NlAddrIpv4(rtnl_addr_get_local(a))); }))
      return false;
    out = std::move(table);
    return true;
  }

  int AddAddress(std::uint32_t addr, std::uint32_t mask, std::uint32_t ifIndex,
                 std::uint32_t /*camera*/, std::uint32_t& context) override {
    const int prefix = Ipv4PrefixLength(mask);
    if (prefix < 0 || addr == 0) return SetError(EINVAL, "adding an address: invalid address");
    if (ifIndex == 0) return SetError(ENODEV, "adding an address: no adapter chosen");
    std::lock_guard lock(m_addrMutex);
    const HeldAddress a{ifIndex, addr, prefix};
    const int rc = SendAddress(a, NLM_F_EXCL, false);
    if (rc != 0) return rc;
    context = m_added.Add(a);
    return 0;
  }

  int DeleteAddress(std::uint32_t context) override {
    std::lock_guard lock(m_addrMutex);
    const std::optional<HeldAddress> a = m_added.Take(context);
    if (!a) return SetError(ENOENT, "deleting an address: unknown context");
    return SendAddress(*a, 0, true);
  }

  int RefreshAddress(std::uint32_t context) override {
    // Under the same lock as deletion, so a refresh never brings back a deleted address.
    std::lock_guard lock(m_addrMutex);
    const HeldAddress* a = m_added.Find(context);
    if (a == nullptr) return ENOENT;
    return SendAddress(*a, NLM_F_REPLACE, false);
  }

  ArpAnswer SendArpOn(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source) override;
  bool AdapterOverridden() const override { return !m_opt.adapterOverride.empty(); }
  bool AddedAddress(std::uint32_t context, std::uint32_t& addr, std::uint32_t& ifIndex) override {
    std::lock_guard lock(m_addrMutex);
    return m_added.Lookup(context, addr, ifIndex);
  }

  std::string LastError() const override { return m_error.Get(); }

 private:
  int ReadLinks(std::vector<LinkFacts>& links, std::string& errorText);
  void ReadGateways(RouteSocket& sock, std::uint32_t ifIndex, std::vector<std::string>& out);
  int SendAddress(const HeldAddress& a, int flags, bool remove);
  std::uint32_t PreferredAdapter();

  std::string IfName(std::uint32_t ifIndex) const {
    char name[IF_NAMESIZE] = {};
    return if_indextoname(ifIndex, name) ? std::string(name) : std::string();
  }

  // Calls visit for every IPv4 address of the system; false (with the error set) when the
  // address table could not be read.
  template <typename Visit>
  bool ForEachIpv4Address(RouteSocket& sock, Visit&& visit) {
    if (!sock.ok()) return Fail(sock.error(), "netlink");
    nl_cache* raw = nullptr;
    const int rc = rtnl_addr_alloc_cache(sock.get(), &raw);
    if (rc < 0) return Fail(rc, "reading addresses");
    CachePtr addrs(raw);
    for (nl_object* o = nl_cache_get_first(addrs.get()); o; o = nl_cache_get_next(o)) {
      auto* a = reinterpret_cast<rtnl_addr*>(o);
      if (rtnl_addr_get_family(a) == AF_INET) visit(a);
    }
    return true;
  }

  bool Fail(int nlErr, const char* what) {
    SetError(nlErr < 0 ? -nlErr : nlErr, std::string(what) + ": " + NlErrorText(nlErr));
    return false;
  }
  int SetError(int code, std::string text) { return m_error.Set(code, std::move(text)); }

  HostNetworkOptions m_opt;
  os::LastErrorText m_error;
  std::mutex m_addrMutex;
  os::AddedAddresses<HeldAddress> m_added;
};

int LinuxHostNetwork::ReadLinks(std::vector<LinkFacts>& links, std::string& errorText) {
  RouteSocket sock;
  if (!sock.ok()) {
    errorText = NlErrorText(sock.error());
    SetError(1, "netlink: " + errorText);
    return -sock.error() > 0 ? -sock.error() : 1;
  }
  nl_cache* raw = nullptr;
  const int rc = rtnl_link_alloc_cache(sock.get(), AF_UNSPEC, &raw);
  if (rc < 0) {
    errorText = NlErrorText(rc);
    SetError(-rc, "reading adapters: " + errorText);
    return -rc;
  }
  CachePtr cache(raw);
  for (nl_object* o = nl_cache_get_first(cache.get()); o; o = nl_cache_get_next(o)) {
    auto* link = reinterpret_cast<rtnl_link*>(o);
    LinkFacts f;
    f.info.index = static_cast<std::uint32_t>(rtnl_link_get_ifindex(link));
    if (const char* n = rtnl_link_get_name(link)) f.info.name = n;
    const unsigned flags = rtnl_link_get_flags(link);
    const std::uint8_t oper = rtnl_link_get_operstate(link);
    // Point-to-point links often never leave "unknown"; carrier (RUNNING) decides for them.
    f.info.up = oper == IF_OPER_UP ||
                (oper == IF_OPER_UNKNOWN && (flags & IFF_UP) && (flags & IFF_RUNNING));
    const linuxnet::SysfsFacts sys = linuxnet::ReadSysfsFacts(m_opt.fileRoot, f.info.name);
    const char* kind = rtnl_link_get_type(link);
    f.deviceBacked = sys.known ? sys.deviceBacked : kind == nullptr;
    switch (rtnl_link_get_arptype(link)) {
      case ARPHRD_ETHER:
        f.info.type = sys.wireless ? AdapterType::Wireless : AdapterType::Ethernet;
        f.lan = true;
        break;
      case ARPHRD_PPP:
        f.info.type = AdapterType::Ppp;
        break;
      default:
        f.info.type = AdapterType::Other;
        break;
    }
    links.push_back(std::move(f));
  }
  linuxnet::ApplyAdapterPreference(links, m_opt.adapterOverride);
  return 0;
}

void LinuxHostNetwork::ReadGateways(RouteSocket& sock, std::uint32_t ifIndex,
                                    std::vector<std::string>& out) {
  nl_cache* raw = nullptr;
  if (rtnl_route_alloc_cache(sock.get(), AF_INET, 0, &raw) < 0) return;
  CachePtr routes(raw);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> found;  // metric, gateway
  for (nl_object* o = nl_cache_get_first(routes.get()); o; o = nl_cache_get_next(o)) {
    auto* r = reinterpret_cast<rtnl_route*>(o);
    if (rtnl_route_get_table(r) != RT_TABLE_MAIN || rtnl_route_get_type(r) != RTN_UNICAST) continue;
    nl_addr* dst = rtnl_route_get_dst(r);
    if (dst && nl_addr_get_prefixlen(dst) != 0) continue;
    const int hops = rtnl_route_get_nnexthops(r);
    for (int i = 0; i < hops && i < 64; ++i) {
      rtnl_nexthop* nh = rtnl_route_nexthop_n(r, i);
      if (!nh || static_cast<std::uint32_t>(rtnl_route_nh_get_ifindex(nh)) != ifIndex) continue;
      const std::uint32_t gw = NlAddrIpv4(rtnl_route_nh_get_gateway(nh));
      if (gw) found.emplace_back(rtnl_route_get_priority(r), gw);
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [metric, gw] : found) out.push_back(FormatIpv4(gw));
}

int LinuxHostNetwork::SendAddress(const HeldAddress& a, int flags, bool remove) {
  RouteSocket sock;
  if (!sock.ok()) {
    Fail(sock.error(), "netlink");
    return -sock.error();
  }
  std::unique_ptr<rtnl_addr, RtnlAddrDeleter> ra(rtnl_addr_alloc());
  if (!ra) return SetError(ENOMEM, "out of memory");
  std::unique_ptr<nl_addr, NlAddrDeleter> local(nl_addr_build(AF_INET, &a.addr, 4));
  if (!local) return SetError(ENOMEM, "out of memory");
  nl_addr_set_prefixlen(local.get(), a.prefix);
  rtnl_addr_set_ifindex(ra.get(), static_cast<int>(a.ifIndex));
  rtnl_addr_set_family(ra.get(), AF_INET);
  rtnl_addr_set_local(ra.get(), local.get());
  rtnl_addr_set_prefixlen(ra.get(), a.prefix);
  int rc;
  const std::string text = FormatIpv4(a.addr) + "/" + std::to_string(a.prefix);
  if (remove) {
    rc = rtnl_addr_delete(sock.get(), ra.get(), 0);
    // Gone already (its lifetime ran out, or someone removed it): nothing left to do.
    if (rc == -NLE_NOADDR || rc == -NLE_OBJ_NOTFOUND || rc == -NLE_NODEV) return 0;
  } else {
    if (a.prefix < 31) {
      const std::uint32_t bcast = a.addr | ~MaskFromPrefix(a.prefix);
      std::unique_ptr<nl_addr, NlAddrDeleter> b(nl_addr_build(AF_INET, &bcast, 4));
      if (b) rtnl_addr_set_broadcast(ra.get(), b.get());
    }
    const auto life = static_cast<std::uint32_t>(
        std::clamp<long long>(m_opt.addressLifetime.count(), 1, 0xFFFFFFFEll));
    rtnl_addr_set_valid_lifetime(ra.get(), life);
    rtnl_addr_set_preferred_lifetime(ra.get(), life);
    rc = rtnl_addr_add(sock.get(), ra.get(), flags);
  }
  if (rc < 0) {
    std::string why = NlErrorText(rc);
    if (rc == -NLE_PERM) why += " (needs CAP_NET_ADMIN: run as root, or install orvantis-netd)";
    return SetError(-rc, std::string(remove ? "deleting " : "adding ") + text + ": " + why);
  }
  return 0;
}

std::uint32_t LinuxHostNetwork::PreferredAdapter() {
  std::vector<LinkFacts> links;
  std::string err;
  if (ReadLinks(links, err) != 0) return 0;
  std::uint32_t chosen = 0;
  for (const LinkFacts& l : links)
    if (l.info.up && (l.info.type == AdapterType::Ethernet || l.info.type == AdapterType::Wireless))
      chosen = l.info.index;
  return chosen;
}

ArpAnswer LinuxHostNetwork::SendArpOn(std::uint32_t ifIndex, std::uint32_t target,
                                      std::uint32_t source) {
  std::vector<std::uint32_t> own;
  if (ReadAddressTable(own) && std::find(own.begin(), own.end(), target) != own.end())
    return ArpAnswer::Answered;

  // Out of the given adapter, else the one that holds the source address, else the one the
  // program would choose.
  if (ifIndex == 0) {
    RouteSocket sock;
    nl_cache* raw = nullptr;
    if (source != 0 && sock.ok() && rtnl_addr_alloc_cache(sock.get(), &raw) >= 0) {
      CachePtr addrs(raw);
      for (nl_object* o = nl_cache_get_first(addrs.get()); o; o = nl_cache_get_next(o)) {
        auto* a = reinterpret_cast<rtnl_addr*>(o);
        if (rtnl_addr_get_family(a) == AF_INET && NlAddrIpv4(rtnl_addr_get_local(a)) == source) {
          ifIndex = static_cast<std::uint32_t>(rtnl_addr_get_ifindex(a));
          break;
        }
      }
    }
  }
  if (ifIndex == 0) ifIndex = PreferredAdapter();
  if (ifIndex == 0) {
    SetError(ENODEV, "ARP: no adapter to send from");
    return ArpAnswer::Error;
  }
  std::string error;
  const ArpAnswer a = linuxnet::SendArpRequest(ifIndex, IfName(ifIndex), target, source,
                                               m_opt.arpTimeout, {}, error);
  if (a == ArpAnswer::Error) SetError(EIO, error);
  return a;
}

}  // namespace

std::unique_ptr<HostNetwork> CreateDirectHostNetwork(const HostNetworkOptions& options) {
  return std::make_unique<LinuxHostNetwork>(options);
}

std::unique_ptr<HostNetwork> CreateHostNetwork(const HostNetworkOptions& options) {
  HostNetworkOptions o = options;
  if (o.adapterOverride.empty())
    if (auto a = EnvOverride("ORVANTIS_ADAPTER")) o.adapterOverride = *a;
  // The programs hold no network privileges; the helper does, when it is installed. Root, and a
  // build without the helper, work directly.
  if (::geteuid() != 0) {
    std::string helper = FindNetworkHelper();
    if (!helper.empty()) return CreateHelperHostNetwork(o, std::move(helper));
  }
  return CreateDirectHostNetwork(o);
}

}  // namespace orv
