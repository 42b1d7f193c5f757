// Feeds arbitrary datagrams to the discovery engine (receive, merge, render) through an in-memory
// socket layer. Input: a control byte (bit 0 drain, bits 1-7 clock step in seconds), then
// datagrams, each as a 2-byte big-endian length and that many bytes (lengths past 284 test the
// over-long path).

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

#include "core/discovery/plipf.h"

namespace {

class FuzzNet final : public orv::DiscoveryHostSource, public orv::DiscoverySockets {
 public:
  std::deque<std::vector<std::uint8_t>> queue;

  std::optional<std::vector<std::uint32_t>> HostAddresses() override {
    return std::vector<std::uint32_t>{0x0500000Au};  // 10.0.0.5
  }
  int CreateUdp() override { return m_next++; }
  bool SetReuseAddress(int) override { return true; }
  bool SetBroadcast(int) override { return true; }
  bool Bind(int, std::uint32_t, std::uint16_t) override { return true; }
  long SendTo(int, const void*, std::size_t size, std::uint32_t, std::uint16_t) override {
    return static_cast<long>(size);
  }
  int WaitReadable(int, int) override { return queue.empty() ? 0 : 1; }
  long Receive(int, void* buffer, std::size_t capacity) override {
    if (queue.empty()) return -1;
    std::vector<std::uint8_t> d = std::move(queue.front());
    queue.pop_front();
    if (d.size() > capacity) return -1;
    // An empty datagram has no data pointer to copy from.
    if (!d.empty()) std::memcpy(buffer, d.data(), d.size());
    return static_cast<long>(d.size());
  }
  void Close(int) override {}

 private:
  int m_next = 3;
};

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto net = std::make_shared<FuzzNet>();
  auto now = std::make_shared<std::uint32_t>(0);
  orv::DiscoveryEnvironment env;
  env.hosts = net;
  env.sockets = net;
  env.clockMs = [now] { return *now; };
  env.diagnostics = [](std::string_view) {};
  orv::CPLipf engine(std::move(env));

  const std::uint8_t control = size > 0 ? data[0] : 0;
  engine.SetDrain(control & 1);
  const std::uint32_t step = (control >> 1) * 1000u;
  std::size_t pos = size > 0 ? 1 : 0;

  const orv::CameraEntry* rows = nullptr;
  int count = 0, capacity = 0;
  engine.Collect(&rows, &count, &capacity, 0);
  int rounds = 0;
  while (pos + 2 <= size && rounds < 4096) {
    const std::size_t len = (std::size_t{data[pos]} << 8) | data[pos + 1];
    pos += 2;
    const std::size_t take = len < size - pos ? len : size - pos;
    net->queue.emplace_back(data + pos, data + pos + take);
    pos += take;
    *now += step;
    ++rounds;
    if (!(control & 1) || pos + 2 > size) {
      const int r = engine.Collect(&rows, &count, &capacity, rounds % 7 == 0 ? 1 : 0);
      if (r < 0) continue;
      Check(rows != nullptr && count >= 0 && count < capacity);
      Check(static_cast<std::size_t>(count) <= orv::CPLipf::kMaxCameras);
      // The full row check is O(n log n): on rebuilt rows, now and then and at the end only.
      if (r != 1 || (rounds % 64 != 0 && pos + 2 <= size)) continue;
      std::set<std::string_view> macs;
      for (int k = 0; k < count; ++k) {
        const orv::CameraEntry& e = rows[k];
        Check(e.desc.view().find('/') != std::string_view::npos);
        Check(e.mac.size() == 17);
        Check(e.ip.size() >= 7 && e.ip.size() <= 15);
        Check(macs.insert(e.mac.view()).second);
      }
    }
  }
  return 0;
}
