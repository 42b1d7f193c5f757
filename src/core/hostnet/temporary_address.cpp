#include "core/hostnet/temporary_address.h"

#include <algorithm>

#include "core/util/ipv4.h"

namespace orv {

void TemporaryAddressList::Append(std::uint32_t context) {
  std::lock_guard lock(m_mutex);
  m_contexts.push_back(context);
}

int TemporaryAddressList::AddAndAppend(const std::function<int(std::uint32_t&)>& add,
                                       std::uint32_t& context) {
  std::lock_guard lock(m_mutex);
  if (m_closed) return kListClosed;
  const int rc = add(context);
  if (rc == 0) m_contexts.push_back(context);
  return rc;
}

std::vector<std::uint32_t> TemporaryAddressList::Close() {
  std::lock_guard lock(m_mutex);
  m_closed = true;
  std::vector<std::uint32_t> out;
  out.swap(m_contexts);
  return out;
}

bool TemporaryAddressList::Remove(std::uint32_t context) {
  std::lock_guard lock(m_mutex);
  auto it = std::find(m_contexts.begin(), m_contexts.end(), context);
  if (it == m_contexts.end()) return false;
  m_contexts.erase(it);
  return true;
}

std::vector<std::uint32_t> TemporaryAddressList::Contexts() const {
  std::lock_guard lock(m_mutex);
  return m_contexts;
}

std::vector<std::uint32_t> TemporaryAddressList::TakeAll() {
  std::lock_guard lock(m_mutex);
  std::vector<std::uint32_t> out;
  out.swap(m_contexts);
  return out;
}

std::size_t TemporaryAddressList::count() const {
  std::lock_guard lock(m_mutex);
  return m_contexts.size();
}

namespace {

// First host number of a downward sweep: .0 and .255 are never candidates.
int SweepStart(std::uint32_t start) {
  const int last = Ipv4Octet(start, 3);
  return (last == 0 || last == 255) ? 254 : last;
}

}  // namespace

FreeAddressResult FindFreeAddress(HostNetwork& net, std::uint32_t start, std::uint32_t source,
                                  const ConnectFlag& connectAllowed, std::uint32_t ifIndex) {
  FreeAddressResult r;
  for (int host = SweepStart(start); host >= 1; --host) {
    if (!connectAllowed) break;
    const std::uint32_t candidate = WithLastOctet(start, static_cast<std::uint8_t>(host));
    if (candidate == 0) continue;
    const ArpAnswer answer = net.SendArpOn(ifIndex, candidate, source);
    if (answer == ArpAnswer::Error) {
      ++r.failedRequests;
    } else if (answer == ArpAnswer::NoAnswer) {
      r.addresses.push_back(candidate);
      break;
    }
  }
  return r;
}

FreeAddressResult FindFreeAddresses(HostNetwork& net, std::uint32_t& base, std::uint32_t source,
                                    std::size_t n, const ConnectFlag& connectAllowed) {
  base = WithLastOctet(base, 253);
  FreeAddressResult r;
  for (int host = 253; host >= 1 && r.addresses.size() < n; --host) {
    if (!connectAllowed) break;
    const std::uint32_t candidate = WithLastOctet(base, static_cast<std::uint8_t>(host));
    const ArpAnswer answer = net.SendArp(candidate, source);
    if (answer == ArpAnswer::Error) {
      ++r.failedRequests;
    } else if (answer == ArpAnswer::NoAnswer) {
      r.addresses.push_back(candidate);
    }
  }
  return r;
}

FreeAddressFinder MakeFreeAddressFinder(std::shared_ptr<HostNetwork> net) {
  return [net = std::move(net)](std::uint32_t& base, std::uint32_t source, std::size_t n,
                                const ConnectFlag& connectAllowed) {
    if (!net) return FreeAddressResult{};
    return FindFreeAddresses(*net, base, source, n, connectAllowed);
  };
}

FreeAddressResult FindFreeAddressesFromPc(const FreeAddressFinder& finder,
                                          const SessionRecord& session, std::size_t n) {
  std::uint32_t base = ParseIpv4OrZero(session.pcAddrText.view());
  // Without an address of its own the PC has no subnet to propose from.
  if (base == 0 || !finder) return {};
  const std::uint32_t source = base;
  return finder(base, source, n, session.connectAllowed);
}

std::uint32_t TemporaryAddressMask(std::uint32_t cameraAddr) {
  const int first = Ipv4Octet(cameraAddr, 0);
  if (first == 0 || first == 127 || first >= 224) return 0;
  if (first >= 128 && first <= 191) return MakeIpv4(255, 255, 0, 0);
  // Class A cameras get a /24 too: a /32 would give the PC no route to the camera.
  return MakeIpv4(255, 255, 255, 0);
}

namespace {

// The settle pause, cut short (false) as soon as connectAllowed is cleared.
bool WaitCancellable(std::chrono::milliseconds d, const ConnectFlag& connectAllowed) {
  const auto end = std::chrono::steady_clock::now() + d;
  while (connectAllowed) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= end) return true;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(50)));
  }
  return false;
}

// Deletes an address the ensure step itself holds, unless a clean-up already took it.
void DropHeld(HostNetwork& net, TemporaryAddressList& list, std::uint32_t context) {
  if (list.Remove(context)) net.DeleteAddress(context);
}

// The search adds an address in the factory subnet by the usual choice, before any camera has
// answered; on a PC with two adapters that may be the wrong link. Once the camera is known to
// answer elsewhere, our own addresses in its subnet on other adapters would only take its route.
bool DropOwnAddressesElsewhere(HostNetwork& net, TemporaryAddressList& list, std::uint32_t camera,
                               std::uint32_t ifIndex) {
  bool dropped = false;
  for (std::uint32_t context : list.Contexts()) {
    std::uint32_t addr = 0;
    std::uint32_t on = 0;
    if (!net.AddedAddress(context, addr, on) || on == ifIndex) continue;
    if (!SameFirstThreeOctets(addr, camera)) continue;
    DropHeld(net, list, context);
    dropped = true;
  }
  return dropped;
}

}  // namespace

SubnetAdapter ChooseSubnetAdapter(HostNetwork& net, const SessionRecord& session) {
  SubnetAdapter chosen;
  chosen.ifIndex = session.pcIfIndex;
  chosen.source = ParseIpv4OrZero(session.pcAddrText.view());
  if (session.cameraIfIndex == 0 || net.AdapterOverridden()) return chosen;
  std::vector<AdapterInfo> adapters;
  std::string why;
  if (net.ListAdapters(adapters, why) != 0) return chosen;
  const auto it = std::find_if(adapters.begin(), adapters.end(), [&](const AdapterInfo& a) {
    return a.index == session.cameraIfIndex && a.up && a.type != AdapterType::Ppp;
  });
  // Gone or down since the camera answered: the usual choice.
  if (it == adapters.end()) return chosen;
  chosen.ifIndex = it->index;
  chosen.cameraAdapter = true;
  chosen.source = 0;
  AdapterDetails details;
  if (net.ReadAdapterDetails(it->index, details)) {
    for (const std::string& text : details.addressTexts) {
      if (const std::uint32_t a = ParseIpv4OrZero(text); a != 0) {
        chosen.source = a;
        break;
      }
    }
  }
  return chosen;
}

EnsureResult EnsureCameraSubnetAddress(HostNetwork& net, const SessionRecord& session,
                                       TemporaryAddressList& list, const EnsureOptions& options) {
  EnsureResult r;
  const std::uint32_t camera = session.cameraAddr;
  std::vector<std::uint32_t> table;
  if (!net.ReadAddressTable(table)) {
    r.outcome = EnsureOutcome::TableUnavailable;
    return r;
  }
  const SubnetAdapter where = ChooseSubnetAdapter(net, session);
  if (where.cameraAdapter && DropOwnAddressesElsewhere(net, list, camera, where.ifIndex) &&
      !net.ReadAddressTable(table)) {
    r.outcome = EnsureOutcome::TableUnavailable;
    return r;
  }
  for (std::uint32_t a : table) {
    if (SameFirstThreeOctets(a, camera)) {
      r.outcome = EnsureOutcome::AlreadyReachable;
      return r;
    }
  }
  r.mask = TemporaryAddressMask(camera);
  if (r.mask == 0) {
    r.outcome = EnsureOutcome::NotApplicable;
    return r;
  }
  const ConnectFlag& go = session.connectAllowed;
  const std::uint32_t start = WithLastOctet(camera, 253);
  const std::uint32_t source = where.source;
  const std::uint32_t ifIndex = where.ifIndex;
  r.ifIndex = ifIndex;
  // On the usual adapter the source address picks the way out, as it always did.
  const std::uint32_t arpIfIndex = where.cameraAdapter ? ifIndex : 0;

  const FreeAddressResult firstSearch = FindFreeAddress(net, start, source, go, arpIfIndex);
  r.failedArpRequests = firstSearch.failedRequests;
  const std::uint32_t first = firstSearch.first();
  r.first = first;
  if (!go) {
    r.outcome = EnsureOutcome::Cancelled;
    return r;
  }
  if (first == 0) {
    r.outcome = EnsureOutcome::NoFreeAddress;
    r.message = "error";
    return r;
  }
  std::uint32_t firstContext = 0;
  // Listed while held, so a signal clean-up during the pause removes it too.
  const int firstRc = list.AddAndAppend(
      [&](std::uint32_t& c) { return net.AddAddress(first, r.mask, ifIndex, camera, c); },
      firstContext);
  if (firstRc == TemporaryAddressList::kListClosed) {
    r.outcome = EnsureOutcome::Cancelled;
    return r;
  }
  if (int rc = firstRc; rc != 0) {
    r.outcome = EnsureOutcome::FirstAddFailed;
    r.message = "error";
    r.errorCode = rc;
    if (rc == kHostNetRefused) r.refusal = net.LastError();
    return r;
  }

  const bool waited = options.wait ? options.wait(options.settleDelay, go)
                                   : WaitCancellable(options.settleDelay, go);
  if (!waited || !go) {
    DropHeld(net, list, firstContext);
    r.outcome = EnsureOutcome::Cancelled;
    return r;
  }
  // Probing from inside the camera's subnet now; the first address answers for itself.
  const FreeAddressResult secondSearch = FindFreeAddress(net, first, first, go, arpIfIndex);
  r.failedArpRequests += secondSearch.failedRequests;
  const std::uint32_t second = secondSearch.first();
  DropHeld(net, list, firstContext);
  if (!go) {
    r.outcome = EnsureOutcome::Cancelled;
    return r;
  }
  if (second == 0) {
    r.outcome = EnsureOutcome::NoFreeAddress;
    r.message = "error";
    return r;
  }
  std::uint32_t secondContext = 0;
  const int secondRc = list.AddAndAppend(
      [&](std::uint32_t& c) { return net.AddAddress(second, r.mask, ifIndex, camera, c); },
      secondContext);
  if (secondRc == TemporaryAddressList::kListClosed) {
    r.outcome = EnsureOutcome::Cancelled;
    return r;
  }
  if (int rc = secondRc; rc != 0) {
    r.outcome = EnsureOutcome::SecondAddFailed;
    r.errorCode = rc;
    return r;
  }
  r.outcome = EnsureOutcome::Added;
  r.added = second;
  return r;
}

int RefusalMessage(std::string_view refusal) {
  return refusal.find("nothing answers at") != std::string_view::npos ? 9 : 10;
}

void RemoveTemporaryAddresses(HostNetwork& net, TemporaryAddressList& list) {
  for (std::uint32_t context : list.TakeAll()) net.DeleteAddress(context);
}

void RemoveTemporaryAddressesForExit(HostNetwork& net, TemporaryAddressList& list) {
  for (std::uint32_t context : list.Close()) net.DeleteAddress(context);
}

AddressUse TestAddressInUse(HostNetwork& net, const SessionRecord& session, std::uint32_t address) {
  const std::uint32_t source = ParseIpv4OrZero(session.pcAddrText.view());
  switch (net.SendArp(address, source)) {
    case ArpAnswer::Answered:
      return AddressUse::InUse;
    case ArpAnswer::NoAnswer:
      return AddressUse::Free;
    case ArpAnswer::Error:
      break;
  }
  return AddressUse::Failed;
}

std::string_view to_string(AddressUse use) {
  switch (use) {
    case AddressUse::InUse:
      return "in-use";
    case AddressUse::Free:
      return "free";
    case AddressUse::Failed:
      return "failed";
  }
  return "unknown";
}

std::string_view to_string(EnsureOutcome outcome) {
  switch (outcome) {
    case EnsureOutcome::AlreadyReachable:
      return "already-reachable";
    case EnsureOutcome::Added:
      return "added";
    case EnsureOutcome::TableUnavailable:
      return "table-unavailable";
    case EnsureOutcome::NotApplicable:
      return "not-applicable";
    case EnsureOutcome::FirstAddFailed:
      return "first-add-failed";
    case EnsureOutcome::NoFreeAddress:
      return "no-free-address";
    case EnsureOutcome::SecondAddFailed:
      return "second-add-failed";
    case EnsureOutcome::Cancelled:
      return "cancelled";
  }
  return "unknown";
}

AddressLifetimeRefresher::AddressLifetimeRefresher(HostNetwork& net, TemporaryAddressList& list,
                                                   std::chrono::milliseconds period)
    : m_net(net), m_list(list), m_period(period) {}

AddressLifetimeRefresher::~AddressLifetimeRefresher() {
  Stop();
}

void AddressLifetimeRefresher::Start() {
  std::lock_guard lock(m_mutex);
  if (m_thread.joinable()) return;
  m_stop = false;
  m_thread = std::thread([this] { Run(); });
}

void AddressLifetimeRefresher::Stop() {
  {
    std::lock_guard lock(m_mutex);
    m_stop = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void AddressLifetimeRefresher::RefreshNow() {
  for (std::uint32_t context : m_list.Contexts()) m_net.RefreshAddress(context);
}

std::chrono::milliseconds AddressLifetimeRefresher::PeriodFor(std::chrono::seconds lifetime) {
  return std::max<std::chrono::milliseconds>(std::chrono::seconds(1), lifetime / 4);
}

void AddressLifetimeRefresher::Run() {
  std::unique_lock lock(m_mutex);
  while (!m_stop) {
    if (m_wake.wait_for(lock, m_period, [this] { return m_stop; })) break;
    lock.unlock();
    RefreshNow();
    lock.lock();
  }
}

}  // namespace orv
