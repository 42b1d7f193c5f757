#include "core/discovery/camera_lookup.h"

#include <algorithm>
#include <set>
#include <string>

#include "core/util/ipv4.h"

namespace orv {
namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point Now(const LookupClock& clock) {
  return clock ? clock() : Clock::now();
}

int MsUntil(Clock::time_point end, Clock::time_point now) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 1000));
}

}  // namespace

std::optional<CameraEntry> LookUpCamera(CPLipf& engine, std::uint32_t address,
                                        std::chrono::milliseconds wait, LookupClock clock) {
  engine.SetDrain(true);
  const std::string wanted = FormatIpv4(address);
  const auto end = Now(clock) + wait;
  for (;;) {
    const CameraEntry* out = nullptr;
    int count = 0;
    int capacity = 0;
    if (engine.Collect(&out, &count, &capacity, 0) >= 0 && out != nullptr) {
      for (int i = 0; i < count; ++i)
        if (out[i].ip == wanted) return out[i];
    }
    const auto now = Now(clock);
    if (now >= end) return std::nullopt;
    if (engine.ReceiveSockets().empty()) return std::nullopt;
    // Nothing waiting: sleep until something arrives rather than spin.
    engine.WaitForReply(MsUntil(end, now));
  }
}

std::vector<CameraEntry> DiscoverUntilQuiet(CPLipf& engine, std::chrono::milliseconds quiet,
                                            std::chrono::milliseconds limit, LookupClock clock) {
  engine.SetDrain(true);
  const auto start = Now(clock);
  const auto end = start + limit;
  auto lastNews = start;
  std::set<std::string> seen;
  std::vector<CameraEntry> rows;
  for (;;) {
    const CameraEntry* out = nullptr;
    int count = 0;
    int capacity = 0;
    const int r = engine.Collect(&out, &count, &capacity, 0);
    const auto now = Now(clock);
    if (r >= 0 && out != nullptr) {
      rows.assign(out, out + count);
      for (const CameraEntry& e : rows)
        if (seen.insert(e.mac.str()).second) lastNews = now;
    }
    const auto quietEnd = lastNews + quiet;
    if (now >= end || now >= quietEnd) break;
    // No socket to wait on (no usable adapter): nothing more can come.
    if (engine.ReceiveSockets().empty()) break;
    engine.WaitForReply(MsUntil(std::min(end, quietEnd), now));
  }
  return rows;
}

}  // namespace orv
