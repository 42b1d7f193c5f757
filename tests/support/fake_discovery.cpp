#include "support/fake_discovery.h"

#include <algorithm>
#include <cstring>

#include "core/util/ipv4.h"

namespace orv::test {

int FakeDiscoveryNet::CreateUdp() {
  if (failCreates > 0) {
    --failCreates;
    return -1;
  }
  const int fd = m_next++;
  sockets[fd] = Socket{};
  return fd;
}

bool FakeDiscoveryNet::SetReuseAddress(int fd) {
  auto it = sockets.find(fd);
  if (it == sockets.end() || !it->second.open) return false;
  it->second.reuse = true;
  return true;
}

bool FakeDiscoveryNet::SetBroadcast(int fd) {
  auto it = sockets.find(fd);
  if (it == sockets.end() || !it->second.open) return false;
  it->second.broadcast = true;
  return true;
}

bool FakeDiscoveryNet::Bind(int fd, std::uint32_t address, std::uint16_t port) {
  auto it = sockets.find(fd);
  if (it == sockets.end() || !it->second.open || it->second.boundAddress) return false;
  if (port != 0 && failReceiveBind) return false;
  if (port == 0 && failBindFrom.count(address)) return false;
  // Sharing a fixed port needs address reuse on every socket that holds it.
  if (port != 0) {
    for (const auto& [other, s] : sockets) {
      if (other != fd && s.open && s.boundPort == port && (!s.reuse || !it->second.reuse)) {
        return false;
      }
    }
  }
  it->second.boundAddress = address;
  it->second.boundPort = port;
  return true;
}

long FakeDiscoveryNet::SendTo(int fd, const void* data, std::size_t size, std::uint32_t address,
                              std::uint16_t port) {
  auto it = sockets.find(fd);
  if (it == sockets.end() || !it->second.open) return -1;
  const std::uint32_t from = it->second.boundAddress.value_or(0);
  if (failSendFrom.count(from)) return -1;
  // The kernel refuses a broadcast without SO_BROADCAST.
  if (address == 0xFFFFFFFFu && !it->second.broadcast) return -1;
  const auto* p = static_cast<const std::uint8_t*>(data);
  sent.push_back({from, address, port, Bytes(p, p + size)});
  return static_cast<long>(size);
}

int FakeDiscoveryNet::WaitReadable(int fd, int /*timeoutMs*/) {
  auto it = sockets.find(fd);
  if (it == sockets.end() || !it->second.open) return -1;
  return it->second.queue.empty() ? 0 : 1;
}

std::string FakeDiscoveryNet::AdapterName(std::uint32_t ifIndex) {
  const auto it = adapterNames.find(ifIndex);
  return it == adapterNames.end() ? std::string() : it->second;
}

bool FakeDiscoveryNet::EnableArrivalAdapter(int fd) {
  auto it = sockets.find(fd);
  if (it == sockets.end() || !it->second.open) return false;
  it->second.arrivalAdapter = true;
  return true;
}

long FakeDiscoveryNet::ReceiveWithAdapter(int fd, void* buffer, std::size_t capacity,
                                          std::uint32_t& ifIndex) {
  ifIndex = 0;
  auto it = sockets.find(fd);
  if (it != sockets.end() && it->second.arrivalAdapter && !it->second.arrivals.empty())
    ifIndex = it->second.arrivals.front();
  return Receive(fd, buffer, capacity);
}

long FakeDiscoveryNet::Receive(int fd, void* buffer, std::size_t capacity) {
  auto it = sockets.find(fd);
  if (it == sockets.end() || !it->second.open || it->second.queue.empty()) return -1;
  Bytes d = std::move(it->second.queue.front());
  it->second.queue.pop_front();
  if (!it->second.arrivals.empty()) it->second.arrivals.pop_front();
  if (d.size() > capacity) return -1;
  std::memcpy(buffer, d.data(), d.size());
  return static_cast<long>(d.size());
}

void FakeDiscoveryNet::Close(int fd) {
  auto it = sockets.find(fd);
  if (it != sockets.end()) it->second.open = false;
}

std::vector<int> FakeDiscoveryNet::ReceiveSockets() const {
  std::vector<int> out;
  for (const auto& [fd, s] : sockets) {
    if (s.open && s.boundAddress == 0u && s.boundPort != 0) out.push_back(fd);
  }
  return out;
}

void FakeDiscoveryNet::Deliver(std::size_t i, const Bytes& datagram) {
  DeliverOn(i, datagram, 0);
}

void FakeDiscoveryNet::DeliverOn(std::size_t i, const Bytes& datagram, std::uint32_t ifIndex) {
  Socket& s = sockets.at(ReceiveSockets().at(i));
  s.queue.push_back(datagram);
  s.arrivals.push_back(ifIndex);
}

void FakeDiscoveryNet::DeliverAll(const Bytes& datagram) {
  for (std::size_t i = 0; i < ReceiveSockets().size(); ++i) DeliverOn(i, datagram, 0);
}

std::size_t FakeDiscoveryNet::Queued(std::size_t i) const {
  return sockets.at(ReceiveSockets().at(i)).queue.size();
}

std::size_t FakeDiscoveryNet::OpenCount() const {
  return static_cast<std::size_t>(
      std::count_if(sockets.begin(), sockets.end(), [](const auto& e) { return e.second.open; }));
}

namespace {
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 24);
  b[at + 1] = static_cast<std::uint8_t>(v >> 16);
  b[at + 2] = static_cast<std::uint8_t>(v >> 8);
  b[at + 3] = static_cast<std::uint8_t>(v);
}
}  // namespace

Bytes MakeReply(const ReplySpec& want) {
  Bytes b(std::max<std::size_t>(want.length, 284), 0);
  Put32(b, 0, want.magic);
  Put32(b, 4, want.type);
  std::copy(want.mac.begin(), want.mac.end(), b.begin() + 8);
  const std::uint32_t ip = Ip(want.ip.c_str());
  std::memcpy(b.data() + 16, &ip, 4);
  Put32(b, 20, want.httpPort);
  std::string text = want.description;
  text += '\0';
  text += want.cameraId;
  text += '\0';
  text += want.interfaceWord;
  text += '\0';
  std::memcpy(b.data() + 24, text.data(), std::min<std::size_t>(text.size(), 256));
  Put32(b, 280, want.secondPort);
  b.resize(want.length);
  return b;
}

ReplySpec NumberedCamera(int n) {
  ReplySpec s;
  s.mac = {0x00,
           0x50,
           0xC2,
           static_cast<std::uint8_t>(n >> 16),
           static_cast<std::uint8_t>(n >> 8),
           static_cast<std::uint8_t>(n)};
  s.ip = "10.0." + std::to_string(n / 250) + "." + std::to_string(n % 250 + 1);
  s.cameraId = "SN" + std::to_string(n);
  return s;
}

DiscoveryEnvironment FakeDiscoveryRig::Environment() const {
  DiscoveryEnvironment env;
  env.hosts = net;
  env.sockets = net;
  auto clock = now;
  env.clockMs = [clock] { return *clock; };
  auto out = lines;
  env.diagnostics = [out](std::string_view line) { out->emplace_back(line); };
  return env;
}

std::string FakeDiscoveryRig::Output() const {
  std::string all;
  for (const auto& l : *lines) all += l;
  return all;
}

}  // namespace orv::test
