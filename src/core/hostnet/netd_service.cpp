#include "core/hostnet/netd_service.h"

#include <algorithm>

#include "core/util/ipv4.h"

namespace orv {

namespace {

const char* const kNoAdmin =
    "err orvantis-netd does not hold CAP_NET_ADMIN (its capabilities were not set: install the "
    "package or run make install-privileges)";

// A reason from the system as one printable line.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c < ' ' || c > '~') c = ' ';
  if (text.empty()) text = "failed";
  if (text.size() > 300) text.resize(300);
  return text;
}

std::uint32_t MaskOfPrefix(int prefix) {
  const std::uint32_t host = ~(0xFFFFFFFFu >> prefix);
  return MakeIpv4(static_cast<std::uint8_t>(host >> 24), static_cast<std::uint8_t>(host >> 16),
                  static_cast<std::uint8_t>(host >> 8), static_cast<std::uint8_t>(host));
}

}  // namespace

NetdService::NetdService(NetFactory make, std::function<bool(NetdPrivilege)> use,
                         std::function<Clock::time_point()> now)
    : m_make(std::move(make)), m_use(std::move(use)), m_now(std::move(now)) {
  if (!m_now) m_now = [] { return Clock::now(); };
}

NetdService::~NetdService() {
  RemoveAll();
}

HostNetwork& NetdService::Reader() {
  if (m_nets.empty()) m_nets[kNetdMaxLifetime] = m_make(std::chrono::seconds(kNetdMaxLifetime));
  return *m_nets.begin()->second;
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

std::uint32_t NetdService::AdapterUp(const std::string& name, std::string& why) {
  std::vector<AdapterInfo> adapters;
  std::string error;
  const int rc = Reader().ListAdapters(adapters, error);
  if (rc != 0 && rc != kHostNetNoData) {
    why = "cannot list adapters: " + OneLine(error);
    return 0;
  }
  const auto it = std::find_if(adapters.begin(), adapters.end(),
                               [&](const AdapterInfo& a) { return a.name == name; });
  if (it == adapters.end()) {
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

std::vector<NetdService::Held>::iterator NetdService::Find(const NetdRequest& r) {
  return std::find_if(m_held.begin(), m_held.end(), [&](const Held& h) {
    return h.adapter == r.adapter && h.address == r.address;
  });
}

std::string NetdService::Add(const NetdRequest& r) {
  if (Find(r) != m_held.end()) return "err " + FormatIpv4(r.address) + " is held already";
  if (m_held.size() >= kNetdMaxAddresses) return "err at most 16 addresses are held at once";
  std::string why;
  const std::uint32_t ifIndex = AdapterUp(r.adapter, why);
  if (ifIndex == 0) return "err " + why;
  std::shared_ptr<HostNetwork>& net = m_nets[r.lifetime];
  if (!net) net = m_make(std::chrono::seconds(r.lifetime));
  std::uint32_t context = 0;
  if (!Use(NetdPrivilege::Admin)) return kNoAdmin;
  const int rc = net->AddAddress(r.address, MaskOfPrefix(r.prefix), ifIndex, context);
  Use(NetdPrivilege::None);
  if (rc != 0) return "err " + OneLine(net->LastError());
  m_held.push_back(Held{r.adapter, r.address, net, context});
  return "ok";
}

std::string NetdService::Refresh(const NetdRequest& r) {
  const auto it = Find(r);
  if (it == m_held.end()) return "err not an address this helper added";
  if (!Use(NetdPrivilege::Admin)) return kNoAdmin;
  const int rc = it->net->RefreshAddress(it->context);
  Use(NetdPrivilege::None);
  return rc == 0 ? "ok" : "err " + OneLine(it->net->LastError());
}

std::string NetdService::Delete(const NetdRequest& r) {
  const auto it = Find(r);
  if (it == m_held.end()) return "err not an address this helper added";
  const Held h = *it;
  m_held.erase(it);
  Use(NetdPrivilege::Admin);
  const int rc = h.net->DeleteAddress(h.context);
  Use(NetdPrivilege::None);
  return rc == 0 ? "ok" : "err " + OneLine(h.net->LastError());
}

std::string NetdService::Arp(const NetdRequest& r) {
  const Clock::time_point now = m_now();
  while (!m_arpTimes.empty() && now - m_arpTimes.front() >= std::chrono::seconds(1))
    m_arpTimes.pop_front();
  if (m_arpTimes.size() >= static_cast<std::size_t>(kNetdMaxArpPerSecond))
    return "err at most 50 ARP requests a second";
  std::uint32_t ifIndex = 0;
  if (!r.adapter.empty()) {
    std::string why;
    ifIndex = AdapterUp(r.adapter, why);
    if (ifIndex == 0) return "err " + why;
  }
  m_arpTimes.push_back(now);
  HostNetwork& net = Reader();
  if (!Use(NetdPrivilege::Raw))
    return "err orvantis-netd does not hold CAP_NET_RAW (its capabilities were not set: "
           "install the package or run make install-privileges)";
  const ArpAnswer a = net.SendArpOn(ifIndex, r.address, r.source);
  Use(NetdPrivilege::None);
  switch (a) {
    case ArpAnswer::Answered:
      return "ok answered";
    case ArpAnswer::NoAnswer:
      return "ok no-answer";
    case ArpAnswer::Error:
      break;
  }
  return "err " + OneLine(net.LastError());
}

int NetdService::RemoveAll() {
  int failed = 0;
  Use(NetdPrivilege::Admin);
  for (const Held& h : m_held)
    if (h.net->DeleteAddress(h.context) != 0) ++failed;
  Use(NetdPrivilege::None);
  m_held.clear();
  return failed;
}

}  // namespace orv
