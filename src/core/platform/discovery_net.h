#pragma once
// What the discovery engine needs from the operating system: the host's IPv4 addresses and a few
// UDP socket primitives. Kept this small so tests can stand in for the network, and so the engine
// itself never opens a real socket in a test run.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orv {

// IPv4 addresses in network byte order, in the order requests should go out.
class DiscoveryHostSource {
 public:
  virtual ~DiscoveryHostSource() = default;
  // nullopt when the addresses cannot be read at all (the engine then keeps what it had).
  virtual std::optional<std::vector<std::uint32_t>> HostAddresses() = 0;
  // The adapter's name for an index, or empty when there is none (any more).
  virtual std::string AdapterName(std::uint32_t ifIndex) {
    (void)ifIndex;
    return {};
  }
};

// Thin UDP socket layer. Descriptors are plain ints; -1 means "no socket". Addresses are in network
// byte order, ports in host order.
class DiscoverySockets {
 public:
  virtual ~DiscoverySockets() = default;
  virtual int CreateUdp() = 0;                                               // fd or -1
  virtual bool SetReuseAddress(int fd) = 0;                                  // SO_REUSEADDR = 1
  virtual bool SetBroadcast(int fd) = 0;                                     // SO_BROADCAST = 1
  virtual bool Bind(int fd, std::uint32_t address, std::uint16_t port) = 0;  // port 0: any
  // Bytes sent, or -1.
  virtual long SendTo(int fd, const void* data, std::size_t size, std::uint32_t address,
                      std::uint16_t port) = 0;
  // 1 readable, 0 nothing within the wait, -1 error. The wait is bounded by timeoutMs.
  virtual int WaitReadable(int fd, int timeoutMs) = 0;
  // Reads one datagram. Its length, or -1 on failure or when it was longer than capacity (the
  // datagram is consumed either way).
  virtual long Receive(int fd, void* buffer, std::size_t capacity) = 0;
  // Asks that every datagram says which adapter it arrived on; false where that is not known.
  virtual bool EnableArrivalAdapter(int fd) {
    (void)fd;
    return false;
  }
  // Receive, also giving the arrival adapter's index (0 when unknown).
  virtual long ReceiveWithAdapter(int fd, void* buffer, std::size_t capacity,
                                  std::uint32_t& ifIndex) {
    ifIndex = 0;
    return Receive(fd, buffer, capacity);
  }
  // Waits until any of fds is readable: the index of one that is, -1 on timeout or error.
  virtual int WaitAnyReadable(const std::vector<int>& fds, int timeoutMs) {
    for (std::size_t i = 0; i < fds.size(); ++i)
      if (WaitReadable(fds[i], i == 0 ? timeoutMs : 0) > 0) return static_cast<int>(i);
    return -1;
  }
  virtual void Close(int fd) = 0;
};

// The real thing for this operating system.
std::shared_ptr<DiscoveryHostSource> SystemDiscoveryHostSource();
std::shared_ptr<DiscoverySockets> SystemDiscoverySockets();

}  // namespace orv
