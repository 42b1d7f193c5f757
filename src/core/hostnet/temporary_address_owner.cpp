#include "core/hostnet/temporary_address_owner.h"

#include <utility>

#include "core/hostnet/signal_cleanup.h"

namespace orv {

struct TemporaryAddressOwner::Shared {
  std::shared_ptr<HostNetwork> net;
  TemporaryAddressList list;
};

TemporaryAddressOwner::TemporaryAddressOwner(std::shared_ptr<HostNetwork> net, Options options)
    : m_shared(std::make_shared<Shared>()) {
  m_shared->net = std::move(net);
  if (!m_shared->net) return;  // nothing can be added without a host network
  const std::chrono::milliseconds period =
      options.refreshPeriod.count() > 0 ? options.refreshPeriod
                                        : AddressLifetimeRefresher::PeriodFor(options.lifetime);
  m_refresher = std::make_unique<AddressLifetimeRefresher>(*m_shared->net, m_shared->list, period);
  m_refresher->Start();
  if (options.installSignalHook) {
    // The hook holds the shared part, never the owner: a signal during destruction still finds
    // the list and the host network alive.
    std::weak_ptr<Shared> weak = m_shared;
    m_hooked = SignalCleanup::Install(
        [weak, onSignal = std::move(options.onSignal)](int signo) {
          if (std::shared_ptr<Shared> shared = weak.lock())
            RemoveTemporaryAddressesForExit(*shared->net, shared->list);
          if (onSignal) onSignal(signo);
        },
        options.endProcessAfterSignal);
  }
}

TemporaryAddressOwner::~TemporaryAddressOwner() {
  if (m_hooked) SignalCleanup::Disarm();  // waits for a clean-up already under way
  if (m_refresher) m_refresher->Stop();
  if (m_shared->net) RemoveTemporaryAddressesForExit(*m_shared->net, m_shared->list);
  m_refresher.reset();
}

EnsureResult TemporaryAddressOwner::Ensure(const SessionRecord& session,
                                           const EnsureOptions& options) {
  // Held for the whole call, so a RemoveAll or destruction elsewhere cannot free them under it.
  const std::shared_ptr<Shared> shared = m_shared;
  if (!shared->net) return EnsureResult{};
  return EnsureCameraSubnetAddress(*shared->net, session, shared->list, options);
}

void TemporaryAddressOwner::RemoveAll() {
  if (m_shared->net) RemoveTemporaryAddresses(*m_shared->net, m_shared->list);
}

void TemporaryAddressOwner::Close() {
  if (m_shared->net) RemoveTemporaryAddressesForExit(*m_shared->net, m_shared->list);
}

std::size_t TemporaryAddressOwner::count() const {
  return m_shared->list.count();
}

}  // namespace orv
