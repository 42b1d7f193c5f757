#pragma once
// Waits for something another thread does, bounded so that a fault fails the test instead of
// hanging it.

#include <chrono>
#include <thread>

namespace orv::test {

// Whether pred came to hold within limit, looking every millisecond.
template <class Pred>
bool Eventually(Pred pred, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace orv::test
