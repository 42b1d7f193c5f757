#pragma once
// An in-memory stand-in for the discovery platform layer: host addresses, UDP sockets with
// per-socket queues, fault switches, and a record of every send. Nothing touches the network.

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/discovery/plipf.h"
#include "core/platform/discovery_net.h"
#include "support/ip.h"

namespace orv::test {

using Bytes = std::vector<std::uint8_t>;

class FakeDiscoveryNet : public DiscoveryHostSource, public DiscoverySockets {
 public:
  struct Socket {
    bool open = true;
    bool reuse = false;
    bool broadcast = false;
    std::optional<std::uint32_t> boundAddress;
    std::uint16_t boundPort = 0;
    std::deque<Bytes> queue;
    std::deque<std::uint32_t> arrivals;  // arrival adapter of each queued datagram
    bool arrivalAdapter = false;         // asked for the arrival adapter
  };
  struct Sent {
    std::uint32_t from = 0;  // address the socket was bound to
    std::uint32_t to = 0;
    std::uint16_t port = 0;
    Bytes bytes;
  };

  // Host addresses the engine sees; nullopt makes the lookup fail.
  std::optional<std::vector<std::uint32_t>> hosts;
  // Fault switches.
  int failCreates = 0;                   // the next N socket creations fail
  std::set<std::uint32_t> failBindFrom;  // binding a send socket to these addresses fails
  std::set<std::uint32_t> failSendFrom;  // sends from sockets bound to these addresses fail
  bool failReceiveBind = false;          // binding the receive port fails

  std::vector<Sent> sent;
  std::map<int, Socket> sockets;

  // Adapter names by index; an index missing here has vanished.
  std::map<std::uint32_t, std::string> adapterNames;

  std::optional<std::vector<std::uint32_t>> HostAddresses() override { return hosts; }
  std::string AdapterName(std::uint32_t ifIndex) override;

  int CreateUdp() override;
  bool SetReuseAddress(int fd) override;
  bool SetBroadcast(int fd) override;
  bool Bind(int fd, std::uint32_t address, std::uint16_t port) override;
  long SendTo(int fd, const void* data, std::size_t size, std::uint32_t address,
              std::uint16_t port) override;
  int WaitReadable(int fd, int timeoutMs) override;
  long Receive(int fd, void* buffer, std::size_t capacity) override;
  bool EnableArrivalAdapter(int fd) override;
  long ReceiveWithAdapter(int fd, void* buffer, std::size_t capacity,
                          std::uint32_t& ifIndex) override;
  void Close(int fd) override;

  // Open sockets bound to the any-address, in creation order: the engine's receive sockets.
  std::vector<int> ReceiveSockets() const;
  // Queues a datagram on the i-th receive socket, or on every one (as a broadcast arrives).
  void Deliver(std::size_t i, const Bytes& datagram);
  void DeliverAll(const Bytes& datagram);
  // Queues a datagram on the i-th receive socket as having arrived on adapter ifIndex.
  void DeliverOn(std::size_t i, const Bytes& datagram, std::uint32_t ifIndex);
  std::size_t Queued(std::size_t i) const;
  std::size_t OpenCount() const;

 private:
  int m_next = 100;
};

struct ReplySpec {
  std::uint32_t magic = 0x00F6D9A4;
  std::uint32_t type = 2;
  std::array<std::uint8_t, 6> mac{0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
  std::string ip = "10.0.0.20";
  std::uint32_t httpPort = 80;
  std::string description = "Vexor-41HA";
  std::string cameraId = "SN0001";
  std::string interfaceWord = "ethernet";
  std::uint32_t secondPort = 5000;
  std::size_t length = 284;
};

Bytes MakeReply(const ReplySpec& want);
// A camera numbered n: distinct MAC, address 10.0.<n/250>.<n%250+1>, camera ID "SN<n>".
ReplySpec NumberedCamera(int n);

// The engine's environment over a fake: a settable clock and captured diagnostic lines.
struct FakeDiscoveryRig {
  std::shared_ptr<FakeDiscoveryNet> net = std::make_shared<FakeDiscoveryNet>();
  std::shared_ptr<std::uint32_t> now = std::make_shared<std::uint32_t>(1000);
  std::shared_ptr<std::vector<std::string>> lines = std::make_shared<std::vector<std::string>>();

  DiscoveryEnvironment Environment() const;
  std::string Output() const;  // every diagnostic so far, concatenated
};

}  // namespace orv::test
