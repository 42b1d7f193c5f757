#pragma once
// The work of orvantis-netd behind its line protocol (see netd_request.h). It checks every request
// against the system as it is now, never the caller's word:
//   add      the adapter is Ethernet or wireless and up; ADDR's subnet is disjoint from every
//            other address's subnet and every route but the default one, and holds no gateway or
//            DNS server of the PC; CAMERA answers an ARP probe (sender 0.0.0.0) within a second;
//            fewer than 16 helper addresses exist on the whole system. The address goes on as a
//            tagged /32 with a route to its subnet, so it is never primary over anyone's.
//   refresh  renews only its own address while it still carries the tag ("err gone" otherwise)
//   del      removes only its own tagged address
//   arp      from 0.0.0.0 or an address the adapter holds, to another target; at most 50 requests
//            a second across all helpers (each holds the shared lock for 20 ms after sending)
// It remembers what it added and removes those, and only those, when it ends.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/host_network_kernel.h"
#include "core/platform/netd_request.h"

namespace orv {

// The privilege a step needs; the helper keeps only that one in its effective set.
enum class NetdPrivilege { None, Admin, Raw };

// How long each ARP request keeps the other helpers waiting: 50 requests a second in all.
inline constexpr std::chrono::milliseconds kNetdArpSpacing{1000 / kNetdMaxArpPerSecond};

class NetdService {
 public:
  using Sleep = std::function<void(std::chrono::milliseconds)>;

  // use keeps only the given privilege effective; false when the helper was never given it.
  explicit NetdService(std::shared_ptr<HostNetworkKernel> kernel,
                       std::function<bool(NetdPrivilege)> use = {}, Sleep sleep = {});
  ~NetdService();
  NetdService(const NetdService&) = delete;
  NetdService& operator=(const NetdService&) = delete;

  // One request line (without newline) in, one answer line (without newline) out.
  std::string Handle(std::string_view line);

  // Removes every address this service added that is still its own; returns how many failed.
  int RemoveAll();

  std::size_t HeldCount() const { return m_held.size(); }

 private:
  struct Held {
    std::string adapter;
    std::uint32_t ifIndex = 0;
    std::uint32_t address = 0;
    int lifetime = 0;
  };

  std::string Add(const NetdRequest& r);
  std::string Refresh(const NetdRequest& r);
  std::string Delete(const NetdRequest& r);
  std::string Arp(const NetdRequest& r);
  // One ARP request under the shared lock, paced; "ok answered", "ok no-answer" or "err ...".
  std::string SendArp(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source);
  std::vector<Held>::iterator Find(const NetdRequest& r);
  bool Use(NetdPrivilege p) { return !m_use || m_use(p); }

  std::shared_ptr<HostNetworkKernel> m_kernel;
  std::function<bool(NetdPrivilege)> m_use;
  Sleep m_sleep;
  std::vector<Held> m_held;
};

}  // namespace orv
