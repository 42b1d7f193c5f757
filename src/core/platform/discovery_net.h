#pragma once
// What the discovery engine needs from the operating system: the host's IPv4 addresses and a few
// UDP socket primitives. Kept this small so tests can stand in for the network, and so the engine
// itself never opens a real socket in a test run.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace orv {

// IPv4 addresses in network byte order, in the order requests should go out.
class DiscoveryHostSource {
 public:
  virtual ~DiscoveryHostSource() = default;
  // nullopt when the addresses cannot be read at all (the engine then keeps what it had).
  virtual std::optional<std::vector<std::uint32_t>> HostAddresses() = 0;
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
  virtual void Close(int fd) = 0;
};

// The real thing for this operating system.
std::shared_ptr<DiscoveryHostSource> SystemDiscoveryHostSource();
std::shared_ptr<DiscoverySockets> SystemDiscoverySockets();

}  // namespace orv
