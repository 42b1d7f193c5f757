#include "core/hostnet/netd_service.h"

#include <algorithm>
#include <thread>

#include "core/util/ipv4.h"

namespace orv {

namespace {

const char* const kNoAdmin =
    "err orvantis-netd does not hold CAP_NET_ADMIN (its capabilities were not set: install the "
    "package or run make install-privileges)";
const char* const kNoRaw =
    "err orvantis-netd does not hold CAP_NET_RAW (its capabilities were not set: install the "
    "package or run make install-privileges)";

// A reason from the system as one printable line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c < ' ' || c > '~') c = ' ';
  if (text.empty()) text = "failed";
  if (text.size() > 300) text.resize(300);
  return text;
}

std::string Net(std::uint32_t addr, int prefix) {
  return FormatIpv4(addr) + "/" + std::to_string(prefix);
}

// The shared lock for one scope.
class SystemLock {
 public:
  explicit SystemLock(HostNetworkKernel& k) : m_kernel(k), m_held(k.Lock()) {}
  ~SystemLock() { Release(); }
  SystemLock(const SystemLock&) = delete;
  SystemLock& operator=(const SystemLock&) = delete;
  bool held() const { return m_held; }
  void Release() {
    if (m_held) m_kernel.Unlock();
    m_held = false;
  }

 private:
  HostNetworkKernel& m_kernel;
  bool m_held;
};

// The adapter's index when it exists, is Ethernet or wireless, and is up; otherwise 0 with why.
std::uint32_t AdapterUp(const KernelState& s, const std::string& name, std::string& why) {
  const auto it = std::find_if(s.adapters.begin(), s.adapters.end(),
                               [&](const AdapterInfo& a) { return a.name == name; });
  if (it == s.adapters.end()) {
    why = "no adapter " + name;
    return 0;
  }
  // Temporary addresses and ARP belong on a LAN adapter; never on loopback, tunnels or PPP.
  if (it->type != AdapterType::Ethernet && it->type != AdapterType::Wireless) {
    why = "adapter " + name + " is not an Ethernet or wireless adapter";
    return 0;
  }
  if (!it->up) {
    why = "adapter " + name + " is not up";
    return 0;
  }
  return it->index;
}

std::string AdapterName(const KernelState& s, std::uint32_t ifIndex) {
  for (const AdapterInfo& a : s.adapters)
    if (a.index == ifIndex) return a.name;
  return "adapter " + std::to_string(ifIndex);
}

// What ADDR/PREFIX would collide with among the PC's own networks; empty when nothing.
std::string Overlap(const KernelState& s, std::uint32_t addr, int prefix) {
  for (const KernelAddress& a : s.addresses)
    if (!a.tagged && NetdSameSubnet(a.addr, addr, std::min(a.prefix, prefix)))
      return "overlaps " + Net(a.addr, a.prefix) + " on " + AdapterName(s, a.ifIndex);
  for (const KernelRoute& r : s.routes)
    if (!r.tagged && r.prefix > 0 && NetdSameSubnet(r.dst, addr, std::min(r.prefix, prefix)))
      return "overlaps the route to " + Net(r.dst, r.prefix);
  for (const KernelRoute& r : s.routes)
    for (std::uint32_t gw : r.gateways)
      if (NetdSameSubnet(gw, addr, prefix)) return "holds the gateway " + FormatIpv4(gw);
  for (std::uint32_t dns : s.dnsServers)
    if (NetdSameSubnet(dns, addr, prefix)) return "holds the DNS server " + FormatIpv4(dns);
  return {};
}

// Why one more address cannot go on now: the system-wide limit, or the address is taken.
std::string Crowded(const KernelState& s, std::uint32_t addr) {
  const auto tagged = std::count_if(s.addresses.begin(), s.addresses.end(),
                                    [](const KernelAddress& a) { return a.tagged; });
  if (static_cast<std::size_t>(tagged) >= kNetdMaxAddresses)
    return "err at most 16 helper addresses on the PC at once";
  for (const KernelAddress& a : s.addresses)
    if (a.addr == addr) return "err " + FormatIpv4(addr) + " is in use on the PC";
  return {};
}

bool HoldsTagged(const KernelState& s, std::uint32_t ifIndex, std::uint32_t addr) {
  return std::any_of(s.addresses.begin(), s.addresses.end(), [&](const KernelAddress& a) {
    return a.tagged && a.ifIndex == ifIndex && a.addr == addr && a.prefix == 32;
  });
}

}  // namespace

NetdService::NetdService(std::shared_ptr<HostNetworkKernel> kernel,
                         std::function<bool(NetdPrivilege)> use, Sleep sleep)
    : m_kernel(std::move(kernel)), m_use(std::move(use)), m_sleep(std::move(sleep)) {
  if (!m_sleep) m_sleep = [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); };
}

NetdService::~NetdService() {
  RemoveAll();
}

std::string NetdService::Handle(std::string_view line) {
  Use(NetdPrivilege::None);
  const NetdParse p = ParseNetdRequest(line);
  if (!p.ok) return "err " + p.reason;
  std::string answer;
  switch (p.request.verb) {
    case NetdVerb::Add:
      answer = Add(p.request);
      break;
    case NetdVerb::Refresh:
      answer = Refresh(p.request);
      break;
    case NetdVerb::Delete:
      answer = Delete(p.request);
      break;
    case NetdVerb::Arp:
      answer = Arp(p.request);
      break;
  }
  Use(NetdPrivilege::None);
  return answer;
}

std::vector<NetdService::Held>::iterator NetdService::Find(const NetdRequest& r) {
  return std::find_if(m_held.begin(), m_held.end(), [&](const Held& h) {
    return h.adapter == r.adapter && h.address == r.address;
  });
}

std::string NetdService::Add(const NetdRequest& r) {
  if (Find(r) != m_held.end()) return "err " + FormatIpv4(r.address) + " is held already";
  KernelState s;
  if (!m_kernel->Read(s)) return "err " + OneLine(m_kernel->LastError());
  std::string why;
  const std::uint32_t ifIndex = AdapterUp(s, r.adapter, why);
  if (ifIndex == 0) return "err " + why;
  const std::string subnet = Net(r.address, r.prefix);
  if (const std::string o = Overlap(s, r.address, r.prefix); !o.empty())
    return "err " + subnet + " " + o;
  if (std::string why = Crowded(s, r.address); !why.empty()) return why;
  if (!Use(NetdPrivilege::Admin)) return kNoAdmin;
  Use(NetdPrivilege::None);

  const std::string probe = SendArp(ifIndex, r.camera, 0);
  if (probe == "ok no-answer") return "err nothing answers at " + FormatIpv4(r.camera);
  if (probe != "ok answered") return probe;

  SystemLock lock(*m_kernel);
  if (!lock.held()) return "err " + OneLine(m_kernel->LastError());
  if (!m_kernel->Read(s)) return "err " + OneLine(m_kernel->LastError());
  // Again under the lock: another helper may have added meanwhile.
  if (std::string why = Crowded(s, r.address); !why.empty()) return why;
  Use(NetdPrivilege::Admin);
  const int rc =
      m_kernel->AddTagged(ifIndex, r.address, r.prefix, std::chrono::seconds(r.lifetime));
  Use(NetdPrivilege::None);
  if (rc != 0) return "err " + OneLine(m_kernel->LastError());
  m_held.push_back(Held{r.adapter, ifIndex, r.address, r.lifetime});
  return "ok";
}

std::string NetdService::Refresh(const NetdRequest& r) {
  const auto it = Find(r);
  if (it == m_held.end()) return "err not an address this helper added";
  KernelState s;
  if (!m_kernel->Read(s)) return "err " + OneLine(m_kernel->LastError());
  // Removed, or replaced by someone else's: never brought back, never taken over.
  if (!HoldsTagged(s, it->ifIndex, it->address)) {
    m_held.erase(it);
    return "err gone";
  }
  if (!Use(NetdPrivilege::Admin)) return kNoAdmin;
  const int rc =
      m_kernel->RenewTagged(it->ifIndex, it->address, std::chrono::seconds(it->lifetime));
  Use(NetdPrivilege::None);
  return rc == 0 ? "ok" : "err " + OneLine(m_kernel->LastError());
}

std::string NetdService::Delete(const NetdRequest& r) {
  const auto it = Find(r);
  if (it == m_held.end()) return "err not an address this helper added";
  const Held h = *it;
  m_held.erase(it);
  KernelState s;
  if (!m_kernel->Read(s)) return "err " + OneLine(m_kernel->LastError());
  if (!HoldsTagged(s, h.ifIndex, h.address)) return "err gone";
  Use(NetdPrivilege::Admin);
  const int rc = m_kernel->DeleteTagged(h.ifIndex, h.address);
  Use(NetdPrivilege::None);
  return rc == 0 ? "ok" : "err " + OneLine(m_kernel->LastError());
}

std::string NetdService::Arp(const NetdRequest& r) {
  KernelState s;
  if (!m_kernel->Read(s)) return "err " + OneLine(m_kernel->LastError());
  std::string adapter = r.adapter;
  if (adapter.empty() && r.source == 0) {
    // "-" for a probe: the adapter the programs would choose, the last LAN adapter that is up.
    for (const AdapterInfo& a : s.adapters)
      if (a.up && (a.type == AdapterType::Ethernet || a.type == AdapterType::Wireless))
        adapter = a.name;
    if (adapter.empty()) return "err no Ethernet or wireless adapter is up";
  } else if (adapter.empty()) {
    // "-": the adapter that holds the source, checked like a named one.
    const auto a = std::find_if(s.addresses.begin(), s.addresses.end(),
                                [&](const KernelAddress& k) { return k.addr == r.source; });
    if (a == s.addresses.end()) return "err arp - needs a source address the PC holds";
    adapter = AdapterName(s, a->ifIndex);
  }
  std::string why;
  const std::uint32_t ifIndex = AdapterUp(s, adapter, why);
  if (ifIndex == 0) return "err " + why;
  if (r.address == r.source) return "err the target must differ from the source";
  const auto onPc = [&](std::uint32_t addr, std::uint32_t onlyIf) {
    return std::any_of(s.addresses.begin(), s.addresses.end(), [&](const KernelAddress& k) {
      return k.addr == addr && (onlyIf == 0 || k.ifIndex == onlyIf);
    });
  };
  // Only in its own name: a request from another host's address would rewrite others' caches.
  if (r.source != 0 && !onPc(r.source, ifIndex))
    return "err " + adapter + " does not hold " + FormatIpv4(r.source);
  if (onPc(r.address, 0)) return "ok answered";  // the PC's own address is taken
  return SendArp(ifIndex, r.address, r.source);
}

std::string NetdService::SendArp(std::uint32_t ifIndex, std::uint32_t target,
                                 std::uint32_t source) {
  // Said before the lock: a helper without capabilities has no business with it.
  if (!Use(NetdPrivilege::Raw)) return kNoRaw;
  Use(NetdPrivilege::None);
  SystemLock lock(*m_kernel);
  if (!lock.held()) return "err " + OneLine(m_kernel->LastError());
  bool privileged = true;
  ArpHooks hooks;
  hooks.beforeOpen = [&] { return privileged = Use(NetdPrivilege::Raw); };
  hooks.afterOpen = [&] { Use(NetdPrivilege::None); };
  hooks.afterSend = [&] {
    m_sleep(kNetdArpSpacing);
    lock.Release();
  };
  const ArpAnswer a = m_kernel->Arp(ifIndex, target, source, hooks);
  Use(NetdPrivilege::None);
  if (!privileged) return kNoRaw;
  switch (a) {
    case ArpAnswer::Answered:
      return "ok answered";
    case ArpAnswer::NoAnswer:
      return "ok no-answer";
    case ArpAnswer::Error:
      break;
  }
  return "err " + OneLine(m_kernel->LastError());
}

int NetdService::RemoveAll() {
  int failed = 0;
  KernelState s;
  const bool read = !m_held.empty() && m_kernel->Read(s);
  Use(NetdPrivilege::Admin);
  for (const Held& h : m_held)
    if (read && HoldsTagged(s, h.ifIndex, h.address) &&
        m_kernel->DeleteTagged(h.ifIndex, h.address) != 0)
      ++failed;
  Use(NetdPrivilege::None);
  if (!m_held.empty() && !read) failed = static_cast<int>(m_held.size());
  m_held.clear();
  return failed;
}

}  // namespace orv
