#pragma once
// The work of orvantis-netd behind its line protocol (see netd_request.h): checks each request
// against the system and its own limits, does it through a HostNetwork, and remembers what it
// added so that it removes only those, and all of them when it ends.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/hostnet/netd_request.h"
#include "core/platform/host_network.h"

namespace orv {

// The privilege a step needs; the helper keeps only that one in its effective set.
enum class NetdPrivilege { None, Admin, Raw };

class NetdService {
 public:
  using Clock = std::chrono::steady_clock;
  // A host network whose added addresses live for the given time (the backends take the
  // lifetime when they are made).
  using NetFactory = std::function<std::shared_ptr<HostNetwork>(std::chrono::seconds lifetime)>;

  // use keeps only the given privilege effective; false when the helper was never given it.
  explicit NetdService(NetFactory make, std::function<bool(NetdPrivilege)> use = {},
                       std::function<Clock::time_point()> now = {});
  ~NetdService();
  NetdService(const NetdService&) = delete;
  NetdService& operator=(const NetdService&) = delete;

  // One request line (without newline) in, one answer line (without newline) out.
  std::string Handle(std::string_view line);

  // Removes every address this service added; returns how many removals failed.
  int RemoveAll();

  std::size_t HeldCount() const { return m_held.size(); }

 private:
  struct Held {
    std::string adapter;
    std::uint32_t address = 0;
    std::shared_ptr<HostNetwork> net;
    std::uint32_t context = 0;
  };

  std::string Add(const NetdRequest& r);
  std::string Refresh(const NetdRequest& r);
  std::string Delete(const NetdRequest& r);
  std::string Arp(const NetdRequest& r);
  // The adapter's index when it exists and is up; otherwise 0 with why set.
  std::uint32_t AdapterUp(const std::string& name, std::string& why);
  std::vector<Held>::iterator Find(const NetdRequest& r);
  HostNetwork& Reader();
  bool Use(NetdPrivilege p) { return !m_use || m_use(p); }

  NetFactory m_make;
  std::function<bool(NetdPrivilege)> m_use;
  std::function<Clock::time_point()> m_now;
  std::map<int, std::shared_ptr<HostNetwork>> m_nets;  // by lifetime in seconds
  std::vector<Held> m_held;
  std::deque<Clock::time_point> m_arpTimes;  // ARP requests within the last second
};

}  // namespace orv
