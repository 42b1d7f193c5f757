#pragma once
// A scripted kernel for orvantis-netd's rules: the state is set by the test, changes apply to it,
// ARP requests are answered from a set of addresses, and every change and request is logged.

#include <set>
#include <string>
#include <vector>

#include "core/platform/host_network_kernel.h"

namespace orv::test {

class FakeHostNetworkKernel : public HostNetworkKernel {
 public:
  KernelState state;
  std::set<std::uint32_t> answering;  // hosts on the wire that answer ARP
  bool lockFree = true;               // false: another helper holds the lock
  bool addFails = false;

  std::vector<std::string> log;   // "add if addr/prefix life", "renew ...", "del ...", "arp ..."
  int locks = 0;                  // times the lock was taken
  bool lockedDuringSend = false;  // the last ARP request went out under the lock

  // The PC of the tests: eth0 (2) 10.9.0.10/24 with gateway 10.9.0.1, wlan0 (3) up and empty,
  // lo (1) and ppp0 (4); DNS 10.9.0.53 and 8.8.8.8.
  static FakeHostNetworkKernel Pc();

  bool Read(KernelState& out) override;
  int AddTagged(std::uint32_t ifIndex, std::uint32_t addr, int prefix,
                std::chrono::seconds lifetime) override;
  int RenewTagged(std::uint32_t ifIndex, std::uint32_t addr,
                  std::chrono::seconds lifetime) override;
  int DeleteTagged(std::uint32_t ifIndex, std::uint32_t addr) override;
  ArpAnswer Arp(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source,
                const ArpHooks& hooks) override;
  bool Lock() override;
  void Unlock() override { m_locked = false; }
  std::string LastError() const override { return "scripted failure"; }

 private:
  bool m_locked = false;
};

}  // namespace orv::test
