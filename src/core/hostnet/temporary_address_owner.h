#pragma once
// The one owner of a program's temporary addresses: the list, the refresher that keeps their
// finite lifetime renewed, and the signal hook that removes them when the program is ended. A
// program cannot hold one without the others, and destroying the owner removes every address.

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>

#include "core/hostnet/temporary_address.h"
#include "core/model/session_record.h"
#include "core/platform/host_network.h"

namespace orv {

class TemporaryAddressOwner {
 public:
  struct Options {
    // Lifetime the host network gives an added address; refreshed every quarter of it.
    std::chrono::seconds lifetime{120};
    // Set to override the refresh period derived from the lifetime (tests).
    std::chrono::milliseconds refreshPeriod{0};
    // SIGINT, SIGTERM and SIGHUP remove every address. Only one owner per process should hook.
    bool installSignalHook = true;
    // After the removal: end the process with the same signal, or call onSignal and let the
    // caller close in its own time (the addresses are gone already either way).
    bool endProcessAfterSignal = true;
    std::function<void(int signo)> onSignal;  // runs on the signal watcher thread
  };

  TemporaryAddressOwner(std::shared_ptr<HostNetwork> net, Options options);
  ~TemporaryAddressOwner();
  TemporaryAddressOwner(const TemporaryAddressOwner&) = delete;
  TemporaryAddressOwner& operator=(const TemporaryAddressOwner&) = delete;

  // The subnet step for session's camera. May run on a worker thread; the owner must outlive the
  // call (an async caller holds it by shared_ptr). Clearing session.connectAllowed cancels it.
  EnsureResult Ensure(const SessionRecord& session, const EnsureOptions& options = {});

  // Deletes every listed address, in the order they were added. Later Ensure calls may add again.
  void RemoveAll();
  // Deletes every listed address and refuses every later add (an Ensure still running on another
  // thread adds nothing, or takes back what it added): the clean-up at shut-down.
  void Close();

  std::size_t count() const;

 private:
  struct Shared;  // what the signal hook reaches: it may run while the owner is being destroyed
  std::shared_ptr<Shared> m_shared;
  std::unique_ptr<AddressLifetimeRefresher> m_refresher;
  bool m_hooked = false;
};

}  // namespace orv
