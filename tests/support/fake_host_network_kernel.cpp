#include "support/fake_host_network_kernel.h"

#include <algorithm>

#include "core/util/ipv4.h"
#include "support/fake_host_network.h"

namespace orv::test {

FakeHostNetworkKernel FakeHostNetworkKernel::Pc() {
  FakeHostNetworkKernel k;
  k.state.adapters = {{1, "lo", AdapterType::Other, true},
                      {2, "eth0", AdapterType::Ethernet, true},
                      {3, "wlan0", AdapterType::Wireless, true},
                      {4, "ppp0", AdapterType::Ppp, true}};
  k.state.addresses = {{1, Ip("127.0.0.1"), 8, false}, {2, Ip("10.9.0.10"), 24, false}};
  k.state.routes = {{0, 0, 2, {Ip("10.9.0.1")}, false}, {Ip("10.9.0.0"), 24, 2, {}, false}};
  k.state.dnsServers = {Ip("10.9.0.53"), Ip("8.8.8.8")};
  return k;
}

bool FakeHostNetworkKernel::Read(KernelState& out) {
  out = state;
  return true;
}

int FakeHostNetworkKernel::AddTagged(std::uint32_t ifIndex, std::uint32_t addr, int prefix,
                                     std::chrono::seconds lifetime) {
  log.push_back("add " + std::to_string(ifIndex) + " " + FormatIpv4(addr) + "/" +
                std::to_string(prefix) + " " + std::to_string(lifetime.count()));
  if (addFails) return 1;
  state.addresses.push_back({ifIndex, addr, 32, true});
  return 0;
}

int FakeHostNetworkKernel::RenewTagged(std::uint32_t ifIndex, std::uint32_t addr,
                                       std::chrono::seconds lifetime) {
  log.push_back("renew " + std::to_string(ifIndex) + " " + FormatIpv4(addr) + " " +
                std::to_string(lifetime.count()));
  return 0;
}

int FakeHostNetworkKernel::DeleteTagged(std::uint32_t ifIndex, std::uint32_t addr) {
  log.push_back("del " + std::to_string(ifIndex) + " " + FormatIpv4(addr));
  auto& a = state.addresses;
  a.erase(std::remove_if(a.begin(), a.end(),
                         [&](const KernelAddress& k) {
                           return k.tagged && k.ifIndex == ifIndex && k.addr == addr &&
                                  k.prefix == 32;
                         }),
          a.end());
  return 0;
}

ArpAnswer FakeHostNetworkKernel::Arp(std::uint32_t ifIndex, std::uint32_t target,
                                     std::uint32_t source, const ArpHooks& hooks) {
  if (hooks.beforeOpen && !hooks.beforeOpen()) return ArpAnswer::Error;
  if (hooks.afterOpen) hooks.afterOpen();
  log.push_back("arp " + std::to_string(ifIndex) + " " + FormatIpv4(target) + "<-" +
                FormatIpv4(source));
  lockedDuringSend = m_locked;
  if (hooks.afterSend) hooks.afterSend();
  return answering.count(target) ? ArpAnswer::Answered : ArpAnswer::NoAnswer;
}

bool FakeHostNetworkKernel::Lock() {
  if (!lockFree) return false;
  ++locks;
  m_locked = true;
  return true;
}

}  // namespace orv::test
