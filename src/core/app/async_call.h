#pragma once
// One blocking call (a login read, the subnet step, an access-point rescan, a WPS request, the
// link-server query, the reachability probe) on a thread of its own, so that a window keeps
// painting while it waits. The owner polls Ended() or is woken by onEnded, then takes the result.
//
// The call may outlive its owner: destroying an AsyncCall that has not ended leaves the thread to
// finish on its own, and the result is freed by whichever side lets go last. So the callable must
// own (by value or shared_ptr) everything it touches; it must never reach into its owner.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace orv {

template <typename R>
class AsyncCall {
 public:
  // Starts fn at once. onEnded, when given, runs on the call's thread right after the result is
  // stored (the GUI posts a wake-up to its own thread from it); it must not touch the owner either.
  explicit AsyncCall(std::function<R()> fn, std::function<void()> onEnded = {})
      : m_state(std::make_shared<State>()) {
    std::shared_ptr<State> state = m_state;
    m_thread = std::thread([state, fn = std::move(fn), onEnded = std::move(onEnded)]() mutable {
      R result = fn();
      {
        std::lock_guard lock(state->mutex);
        state->result = std::move(result);
      }
      state->ended.store(true, std::memory_order_release);
      if (onEnded) onEnded();
    });
  }
  ~AsyncCall() {
    if (m_thread.joinable()) {
      if (Ended())
        m_thread.join();
      else
        m_thread.detach();
    }
  }
  AsyncCall(const AsyncCall&) = delete;
  AsyncCall& operator=(const AsyncCall&) = delete;

  // Has the call returned? Never waits.
  bool Ended() const { return m_state->ended.load(std::memory_order_acquire); }

  // The result once the call has ended; std::nullopt before that, or when already taken.
  std::optional<R> Take() {
    if (!Ended()) return std::nullopt;
    std::lock_guard lock(m_state->mutex);
    return std::exchange(m_state->result, std::nullopt);
  }

 private:
  struct State {
    std::mutex mutex;
    std::optional<R> result;
    std::atomic<bool> ended{false};
  };
  std::shared_ptr<State> m_state;
  std::thread m_thread;
};

}  // namespace orv
