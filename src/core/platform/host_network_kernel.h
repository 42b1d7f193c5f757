#pragma once
// What orvantis-netd needs from the kernel, and nothing more: the system's adapters, addresses,
// routes and DNS servers as they are now, tagged addresses of its own, ARP requests and a lock
// that every helper on the system shares. The helper checks each request against this state
// itself; tests give it a fake.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/platform/host_network.h"

namespace orv {

// The IFA_PROTO value and route protocol that mark the helper's own addresses and routes.
inline constexpr std::uint8_t kNetdTag = 0xA7;

struct KernelAddress {
  std::uint32_t ifIndex = 0;
  std::uint32_t addr = 0;
  int prefix = 0;
  bool tagged = false;  // added by a helper
};

struct KernelRoute {
  std::uint32_t dst = 0;
  int prefix = 0;
  std::uint32_t ifIndex = 0;
  std::vector<std::uint32_t> gateways;
  bool tagged = false;  // the subnet route of a helper's address
};

struct KernelState {
  std::vector<AdapterInfo> adapters;
  std::vector<KernelAddress> addresses;
  std::vector<KernelRoute> routes;  // every table but the local one
  std::vector<std::uint32_t> dnsServers;
};

// Calls an ARP request makes around its raw socket, so the caller raises CAP_NET_RAW only to open
// it and paces requests while the request is on the wire.
struct ArpHooks {
  std::function<bool()> beforeOpen;  // false: the socket cannot be opened (no privilege)
  std::function<void()> afterOpen;
  std::function<void()> afterSend;
};

class HostNetworkKernel {
 public:
  virtual ~HostNetworkKernel() = default;

  // The state now; false with LastError() set when it cannot be read.
  virtual bool Read(KernelState& out) = 0;

  // Adds addr/32 on ifIndex with the tag and the lifetime, and a tagged route to its subnet
  // (addr/prefix) with addr as source. 0 or an errno with LastError() set.
  virtual int AddTagged(std::uint32_t ifIndex, std::uint32_t addr, int prefix,
                        std::chrono::seconds lifetime) = 0;
  // Renews the lifetime of a tagged addr/32 (the caller has checked that it is there).
  virtual int RenewTagged(std::uint32_t ifIndex, std::uint32_t addr,
                          std::chrono::seconds lifetime) = 0;
  // Removes the tagged addr/32 only; its route goes with it.
  virtual int DeleteTagged(std::uint32_t ifIndex, std::uint32_t addr) = 0;

  // One ARP request for target from source out of ifIndex, waiting up to a second for a reply.
  virtual ArpAnswer Arp(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source,
                        const ArpHooks& hooks) = 0;

  // The lock every helper on the system takes around its changes and requests.
  virtual bool Lock() = 0;
  virtual void Unlock() = 0;

  virtual std::string LastError() const = 0;
};

// The kernel of this system. lockPath is the root-owned file the helpers lock.
std::unique_ptr<HostNetworkKernel> CreateHostNetworkKernel(std::string lockPath);

}  // namespace orv
