#pragma once
// The discovery engine: broadcasts the discovery request from every IPv4 address of the host,
// reads the replies, keeps one entry per camera (by MAC, in order of first reply), drops cameras
// that fall silent and renders the list as CameraEntry rows.
//
// Single-threaded: the owner polls it from one thread (a one-second timer in the GUI).

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/discovery/camera_entry.h"
#include "core/discovery/discovery_messages.h"
#include "core/platform/discovery_net.h"

namespace orv {

// Everything the engine takes from outside, so tests can run it without a network or a wall clock.
struct DiscoveryEnvironment {
  std::shared_ptr<DiscoveryHostSource> hosts;
  std::shared_ptr<DiscoverySockets> sockets;
  std::function<std::uint32_t()> clockMs;             // millisecond tick, may wrap
  std::function<void(std::string_view)> diagnostics;  // one documented line per call
  std::uint16_t port = kDiscoveryPort;                // request destination and receive port
  std::string broadcastText = "255.255.255.255";

  // The real host addresses, sockets, monotonic clock and the process's trace sink.
  static DiscoveryEnvironment System();
};

// Where the trace lines of engines built on System() go: nowhere until a program asks (the
// command-line tool's -v, the desktop program's logging category). Takes effect at once, also for
// engines that already exist; an empty sink silences them again.
void SetDiscoveryTrace(std::function<void(std::string_view)> sink);

struct AdapterHandle {
  int receiveSocket = -1;
  std::uint32_t localAddress = 0;  // network order; requests are sent from it
  std::uint32_t destination = 0;   // network order
  std::uint16_t port = kDiscoveryPort;
};

struct ReplyNode {
  std::int32_t sequence = 0;  // 1-based position, renumbered after every change
  std::int32_t adapter = 0;   // handle whose socket received the latest reply
  std::uint32_t lastSeen = 0;
  DiscoveryPayload payload{};
  std::uint32_t ifIndex = 0;  // PC adapter the latest reply arrived on; 0 when unknown
  FixedText<16> adapterName;  // its name then
};

class CPLipf {
 public:
  static constexpr std::uint32_t kResendMs = 30000;
  static constexpr std::uint32_t kExpiryMs = 60000;
  static constexpr int kRowStep = 25;
  // Upper bound of datagrams read from one handle in one poll when draining.
  static constexpr int kDrainLimit = 4096;
  // Upper bound of the list: a LAN can spoof any number of MACs. When full, a new camera takes the
  // place of the one silent longest.
  static constexpr std::size_t kMaxCameras = 1024;

  CPLipf();
  explicit CPLipf(DiscoveryEnvironment env);
  ~CPLipf();
  CPLipf(const CPLipf&) = delete;
  CPLipf& operator=(const CPLipf&) = delete;

  // Mode 0 polls; mode 1 forgets every camera, then polls. -1 when the poll found nothing (outputs
  // untouched); else the outputs get the rows, the camera count and the row capacity, and the
  // result is 1 when the rows were rebuilt, 0 when not. The rows stay valid until the next Collect.
  int Collect(const CameraEntry** rows, int* count, int* capacity, int mode);

  // Off (the default): a poll reads one datagram per handle and stops at the first handle with
  // nothing waiting. On: a poll visits every handle and reads all it has waiting; it finds
  // something when any handle had a datagram.
  // limitPerHandle bounds one poll's work under a flood; what is left waits for the next poll
  // (or is dropped by the system when its queue is full).
  void SetDrain(bool on, int limitPerHandle = kDrainLimit) {
    m_drain = on;
    m_drainLimit = std::max(1, limitPerHandle);
  }

  // The receive sockets, once the first poll made them (for a readiness notifier).
  std::vector<int> ReceiveSockets() const;
  // Waits up to timeoutMs for a datagram on any receive socket; false when none came.
  bool WaitForReply(int timeoutMs);

  // For status displays and tests.
  std::size_t CameraCount() const { return m_nodes.size(); }
  bool InLoopbackState() const { return m_loopback; }
  bool Initialised() const { return m_initialised; }
  const std::vector<std::uint32_t>& HostAddresses() const { return m_hostAddresses; }
  const std::vector<AdapterHandle>& Handles() const { return m_handles; }
  const std::vector<ReplyNode>& Nodes() const { return m_nodes; }

 private:
  int RefreshHostAddresses();
  bool Poll();
  int SendRequest(const AdapterHandle* handle);
  int OpenSendSocket(std::uint32_t localAddress);
  int OpenReceiveSocket(std::uint16_t port);
  int ReceiveReply(const AdapterHandle* handle, DiscoveryPayload* payload, bool inReadSet,
                   std::uint32_t* arrivalIfIndex = nullptr);
  void MergeReply(std::int32_t adapter, std::uint32_t tick, const DiscoveryPayload& payload,
                  std::uint32_t ifIndex = 0);
  void Prune();
  // After nodes were removed: renumbers them and rebuilds the MAC index.
  void Reindex();
  static std::uint64_t MacKey(const DiscoveryPayload& payload);
  int FormatRows();
  // Reads one waiting datagram of handle i and files it; false when nothing was waiting.
  bool ReadOne(std::size_t i, int waitMs);
  void Say(std::string_view line) const;

  DiscoveryEnvironment m_env;
  std::vector<std::uint32_t> m_hostAddresses;
  std::string m_lastAddressText;
  bool m_loopback = true;
  std::vector<AdapterHandle> m_handles;
  std::vector<bool> m_sendFailed;
  bool m_initialised = false;
  std::uint32_t m_lastRequest = 0;
  std::vector<ReplyNode> m_nodes;
  std::unordered_map<std::uint64_t, std::size_t> m_byMac;  // MAC -> index in m_nodes
  bool m_changed = false;
  std::vector<CameraEntry> m_rows;
  int m_capacity = 0;
  bool m_drain = false;
  int m_drainLimit = kDrainLimit;
  bool m_prunedAtTick = false;  // a prune ran at m_lastPrune since the last send
  std::uint32_t m_lastPrune = 0;
};

}  // namespace orv
