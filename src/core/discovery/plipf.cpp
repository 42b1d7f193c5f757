#include "core/discovery/plipf.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>

#include "core/util/ipv4.h"

namespace orv {
namespace {

std::int32_t NativeInt32(const std::uint8_t* p) {
  std::int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

bool SameRow(const CameraEntry& a, const CameraEntry& b) {
  return a.ip == b.ip && a.port == b.port && a.desc == b.desc && a.cam_id == b.cam_id &&
         a.sport == b.sport;
}

struct TraceSink {
  std::mutex mutex;
  std::function<void(std::string_view)> sink;
};

// Never destroyed: an engine may still trace while the process runs its static destructors.
TraceSink& Trace() {
  static TraceSink* trace = new TraceSink;
  return *trace;
}

void SayToTrace(std::string_view line) {
  std::function<void(std::string_view)> sink;
  {
    std::lock_guard lock(Trace().mutex);
    sink = Trace().sink;
  }
  if (sink) sink(line);
}

}  // namespace

void SetDiscoveryTrace(std::function<void(std::string_view)> sink) {
  std::lock_guard lock(Trace().mutex);
  Trace().sink = std::move(sink);
}

DiscoveryEnvironment DiscoveryEnvironment::System() {
  DiscoveryEnvironment env;
  env.hosts = SystemDiscoveryHostSource();
  env.sockets = SystemDiscoverySockets();
  env.clockMs = [] {
    const auto t = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(t).count());
  };
  env.diagnostics = SayToTrace;
  return env;
}

CPLipf::CPLipf() : CPLipf(DiscoveryEnvironment::System()) {}

CPLipf::CPLipf(DiscoveryEnvironment env) : m_env(std::move(env)) {
  RefreshHostAddresses();
  m_lastRequest = m_env.clockMs();
  m_capacity = kRowStep;
  m_rows.resize(static_cast<std::size_t>(m_capacity));
}

CPLipf::~CPLipf() {
  for (const AdapterHandle& h : m_handles) m_env.sockets->Close(h.receiveSocket);
}

void CPLipf::Say(std::string_view line) const {
  if (m_env.diagnostics) m_env.diagnostics(line);
}

int CPLipf::Collect(const CameraEntry** rows, int* count, int* capacity, int mode) {
  if (mode != 0 && mode != 1) return -1;
  if (mode == 1) {
    m_nodes.clear();
    m_byMac.clear();
  }
  if (!Poll()) return -1;
  const int rebuilt = FormatRows();
  if (rows) *rows = m_rows.data();
  if (count) *count = static_cast<int>(m_nodes.size());
  if (capacity) *capacity = m_capacity;
  return rebuilt;
}

std::vector<int> CPLipf::ReceiveSockets() const {
  std::vector<int> out;
  for (const AdapterHandle& h : m_handles)
    if (h.receiveSocket >= 0) out.push_back(h.receiveSocket);
  return out;
}

bool CPLipf::WaitForReply(int timeoutMs) {
  const std::vector<int> fds = ReceiveSockets();
  if (fds.empty()) return false;
  return m_env.sockets->WaitAnyReadable(fds, timeoutMs) >= 0;
}

int CPLipf::RefreshHostAddresses() {
  std::optional<std::vector<std::uint32_t>> found = m_env.hosts->HostAddresses();
  // Nothing usable: keep what we had; a later poll tries again.
  if (!found || found->empty()) return 0;
  m_hostAddresses = std::move(*found);
  m_lastAddressText = FormatIpv4(m_hostAddresses.back());
  m_loopback = m_lastAddressText.compare(0, 9, "127.0.0.1") == 0;
  if (!m_loopback) m_sendFailed.assign(m_hostAddresses.size(), false);
  return 1;
}

bool CPLipf::Poll() {
  const std::optional<std::vector<std::uint32_t>> fresh = m_env.hosts->HostAddresses();
  const std::uint32_t now = m_env.clockMs();
  if (now - m_lastRequest > kResendMs || !m_initialised) {
    if (m_loopback) {
      RefreshHostAddresses();
      return false;
    }
    if (!m_initialised) {
      // Indexes must be valid in both the stored and the fresh address lists.
      const std::size_t n = fresh ? std::min(m_hostAddresses.size(), fresh->size()) : 0;
      if (n == 0) return false;
      const std::uint32_t destination = ParseIpv4(m_env.broadcastText).value_or(0xFFFFFFFFu);
      m_handles.clear();
      for (std::size_t i = 0; i < n; ++i) {
        AdapterHandle h;
        h.localAddress = (*fresh)[i];
        h.destination = destination;
        h.port = m_env.port;
        h.receiveSocket = OpenReceiveSocket(m_env.port);
        m_handles.push_back(h);
      }
      m_sendFailed.assign(n, false);
      m_initialised = true;
    }
    for (std::size_t i = 0; i < m_handles.size(); ++i) {
      m_sendFailed[i] = SendRequest(&m_handles[i]) < 0;
    }
    m_prunedAtTick = false;
    m_lastRequest = m_env.clockMs();
  }
  if (m_loopback) return false;

  if (m_drain) {
    bool any = false;
    for (std::size_t i = 0; i < m_handles.size(); ++i) {
      if (m_handles[i].receiveSocket < 0) continue;
      for (int k = 0; k < m_drainLimit; ++k) {
        // Only the first read of a handle may wait; the rest take what is already queued.
        if (!ReadOne(i, k == 0 ? 1 : 0)) break;
        any = true;
      }
    }
    return any;
  }
  for (std::size_t i = 0; i < m_handles.size(); ++i) {
    if (m_handles[i].receiveSocket < 0) return false;
    if (!ReadOne(i, 1)) return false;
  }
  return true;
}

bool CPLipf::ReadOne(std::size_t i, int waitMs) {
  const AdapterHandle& h = m_handles[i];
  if (m_env.sockets->WaitReadable(h.receiveSocket, waitMs) <= 0) return false;
  DiscoveryPayload payload;
  std::uint32_t ifIndex = 0;
  const int r = ReceiveReply(&h, &payload, true, &ifIndex);
  if (r == 0) {
    MergeReply(static_cast<std::int32_t>(i), m_env.clockMs(), payload, ifIndex);
    Prune();
  } else if (r == 1 || r == -4) {
    if (!m_nodes.empty()) Prune();
  }
  return true;
}

int CPLipf::SendRequest(const AdapterHandle* handle) {
  if (handle == nullptr) {
    Say("Invalid handler !\n");
    return -1;
  }
  const int fd = OpenSendSocket(handle->localAddress);
  if (fd < 0) {
    Say("Failed in open sending socket !\n");
    return -3;
  }
  const auto request = EncodeDiscoveryRequest();
  const long sent =
      m_env.sockets->SendTo(fd, request.data(), request.size(), handle->destination, handle->port);
  if (sent != static_cast<long>(request.size())) {
    Say("Failed in send request message !\n");
    m_env.sockets->Close(fd);
    return -3;
  }
  m_env.sockets->Close(fd);
  return 0;
}

int CPLipf::OpenSendSocket(std::uint32_t localAddress) {
  DiscoverySockets& s = *m_env.sockets;
  const int fd = s.CreateUdp();
  if (fd < 0) {
    Say("Failed in open sending socket !\n");
    return -1;
  }
  if (!s.Bind(fd, localAddress, 0)) {
    Say("Failed in bind sending socket !\n");
    s.Close(fd);
    return -1;
  }
  if (!s.SetBroadcast(fd)) {
    s.Close(fd);
    return -1;
  }
  return fd;
}

int CPLipf::OpenReceiveSocket(std::uint16_t port) {
  DiscoverySockets& s = *m_env.sockets;
  const int fd = s.CreateUdp();
  if (fd < 0) return -1;
  if (!s.SetReuseAddress(fd) || !s.Bind(fd, 0 /* any address */, port) || !s.SetBroadcast(fd)) {
    s.Close(fd);
    return -1;
  }
  // Without it replies carry no adapter and the usual adapter choice applies.
  (void)s.EnableArrivalAdapter(fd);
  return fd;
}

int CPLipf::ReceiveReply(const AdapterHandle* handle, DiscoveryPayload* payload, bool inReadSet,
                         std::uint32_t* arrivalIfIndex) {
  if (handle == nullptr) {
    Say("Invalid handler !\n");
    return -1;
  }
  if (payload == nullptr) {
    Say("Invalid reply data buffer !\n");
    return -2;
  }
  payload->fill(0);
  if (!inReadSet) {
    Say("Is not in the set!\n");
    return -4;
  }
  std::uint8_t buffer[kDiscoveryReplyMax];
  std::uint32_t ifIndex = 0;
  long n = m_env.sockets->ReceiveWithAdapter(handle->receiveSocket, buffer, sizeof buffer, ifIndex);
  if (arrivalIfIndex) *arrivalIfIndex = ifIndex;
  if (n > static_cast<long>(sizeof buffer)) n = -1;  // a layer that ignored the capacity
  Say("recvfrom function return length = " + std::to_string(n) + "\n");
  if (n < 0) {
    Say("Failed in receive reply message !\n");
    return -3;
  }
  if (n < static_cast<long>(kDiscoveryHeaderSize)) return 1;
  const std::uint32_t magic = ReadBigEndian32(buffer);
  if (magic != kDiscoveryMagic && magic != kDiscoveryMagicAlt) {
    Say("Unknown magic number ! (" + std::to_string(NativeInt32(buffer)) + ")\n");
    return 1;
  }
  if (ReadBigEndian32(buffer + 4) != kDiscoveryTypeReply) {
    Say("Is not reply message ! (" + std::to_string(NativeInt32(buffer + 4)) + ")\n");
    return 1;
  }
  const std::size_t body =
      std::min(static_cast<std::size_t>(n) - kDiscoveryHeaderSize, kDiscoveryPayloadSize);
  std::memcpy(payload->data(), buffer + kDiscoveryHeaderSize, body);
  return 0;
}

std::uint64_t CPLipf::MacKey(const DiscoveryPayload& payload) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 6; ++i) key = (key << 8) | payload[kPayloadMac + i];
  return key;
}

void CPLipf::Reindex() {
  m_byMac.clear();
  std::int32_t seq = 1;
  for (std::size_t i = 0; i < m_nodes.size(); ++i) {
    m_nodes[i].sequence = seq++;
    m_byMac[MacKey(m_nodes[i].payload)] = i;
  }
}

void CPLipf::MergeReply(std::int32_t adapter, std::uint32_t tick, const DiscoveryPayload& payload,
                        std::uint32_t ifIndex) {
  const std::uint64_t key = MacKey(payload);
  const auto found = m_byMac.find(key);
  if (found == m_byMac.end()) {
    if (m_nodes.size() >= kMaxCameras) {
      // Ages are taken against this reply's tick, so a wrapped clock still finds the oldest.
      const auto oldest = std::max_element(m_nodes.begin(), m_nodes.end(),
                                           [&](const ReplyNode& a, const ReplyNode& b) {
                                             return tick - a.lastSeen < tick - b.lastSeen;
                                           });
      // Only the nodes after the removed one move: renumber and re-point just those.
      const auto at = static_cast<std::size_t>(oldest - m_nodes.begin());
      m_byMac.erase(MacKey(oldest->payload));
      m_nodes.erase(oldest);
      for (std::size_t i = at; i < m_nodes.size(); ++i) {
        m_nodes[i].sequence = static_cast<std::int32_t>(i) + 1;
        m_byMac[MacKey(m_nodes[i].payload)] = i;
      }
    }
    ReplyNode node;
    node.sequence = static_cast<std::int32_t>(m_nodes.size()) + 1;
    node.adapter = adapter;
    node.lastSeen = tick;
    node.payload = payload;
    node.ifIndex = ifIndex;
    node.adapterName = m_env.hosts->AdapterName(ifIndex);
    m_nodes.push_back(node);
    m_byMac[key] = m_nodes.size() - 1;
    m_changed = true;
    return;
  }
  ReplyNode& node = m_nodes[found->second];
  // Anything the row shows counts as a change, not only the address; an identical reply does
  // not, so a list view is not rebuilt (and its selection lost) every second.
  if (!m_changed && node.payload != payload) {
    CameraEntry before, after;
    FormatCameraEntry(node.payload, before);
    FormatCameraEntry(payload, after);
    if (!SameRow(before, after)) m_changed = true;
  }
  // A camera that now answers on another adapter is reached through that one.
  if (node.ifIndex != ifIndex) {
    node.ifIndex = ifIndex;
    node.adapterName = m_env.hosts->AdapterName(ifIndex);
    m_changed = true;
  }
  node.adapter = adapter;
  node.lastSeen = tick;
  node.payload = payload;
}

void CPLipf::Prune() {
  const std::uint32_t now = m_env.clockMs();
  // Nothing can have aged past the expiry since a prune at this same tick, and the send-failed
  // flags change only when requests go out: a flood reads many datagrams a tick, scan once.
  if (m_prunedAtTick && now == m_lastPrune) return;
  m_prunedAtTick = true;
  m_lastPrune = now;
  const std::size_t before = m_nodes.size();
  std::erase_if(m_nodes, [&](const ReplyNode& n) {
    const auto a = static_cast<std::size_t>(n.adapter);
    const bool sendFailed = n.adapter >= 0 && a < m_sendFailed.size() && m_sendFailed[a];
    return now - n.lastSeen > kExpiryMs || sendFailed;
  });
  if (m_nodes.size() != before) {
    m_changed = true;
    Reindex();
  }
}

int CPLipf::FormatRows() {
  // Grow until there is room beyond the count; one step may not be enough after many merges.
  while (static_cast<std::size_t>(m_capacity) <= m_nodes.size()) m_capacity += kRowStep;
  m_rows.resize(static_cast<std::size_t>(m_capacity));
  if (!m_changed) return 0;
  for (std::size_t k = 0; k < m_nodes.size(); ++k) {
    FormatCameraEntry(m_nodes[k].payload, m_rows[k]);
    m_rows[k].ifIndex = m_nodes[k].ifIndex;
    m_rows[k].adapter = m_nodes[k].adapterName.view();
  }
  m_changed = false;
  return 1;
}

}  // namespace orv
