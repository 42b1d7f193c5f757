#pragma once
// Free-address probes and the temporary second address that lets the PC reach a camera in another
// subnet. Every search is one bounded sweep and stops early when connectAllowed is cleared, so a
// closing program never waits for it.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/model/connect_flag.h"
#include "core/model/session_record.h"
#include "core/platform/host_network.h"

namespace orv {

// The add-contexts of the temporary addresses in the order they were added. Shared by the owner,
// the lifetime refresher and the signal clean-up, hence locked.
class TemporaryAddressList {
 public:
  void Append(std::uint32_t context);
  // Runs add (which creates an address and fills in its context) under the list's lock and lists
  // the address, so a clean-up that closes the list concurrently either removes it or prevents it.
  // Returns add's code, or kListClosed without calling add once the list is closed.
  static constexpr int kListClosed = -1000;
  int AddAndAppend(const std::function<int(std::uint32_t&)>& add, std::uint32_t& context);
  // Empties the list and refuses every later AddAndAppend: the clean-up before the process ends.
  std::vector<std::uint32_t> Close();
  bool Remove(std::uint32_t context);  // false when it was not listed (already taken)
  std::vector<std::uint32_t> Contexts() const;
  std::vector<std::uint32_t> TakeAll();  // empties the list
  std::size_t count() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<std::uint32_t> m_contexts;
  bool m_closed = false;
};

// A free-address search: the addresses nobody answered for, and how many ARP requests failed on
// the way. A failed request says nothing about the address, so it is never taken as free; callers
// tell "nothing free" apart from "could not ask" by failedRequests.
struct FreeAddressResult {
  std::vector<std::uint32_t> addresses;
  int failedRequests = 0;
  // The first address found, or 0.
  std::uint32_t first() const { return addresses.empty() ? 0 : addresses.front(); }
};

// Sweeps down from start's last octet to .1 (skipping .0 and .255) and stops at the first
// candidate nobody answers for; no address when every candidate answers, every request fails or
// the search was cancelled.
// The requests go out of ifIndex, or (0) out of the adapter that holds source.
FreeAddressResult FindFreeAddress(HostNetwork& net, std::uint32_t start, std::uint32_t source,
                                  const ConnectFlag& connectAllowed, std::uint32_t ifIndex = 0);

// Sets base's last octet to 253 (the caller's value too) and sweeps down to .1 collecting up to n
// unanswered candidates, highest first. Fewer come back when the subnet is full or on cancel.
FreeAddressResult FindFreeAddresses(HostNetwork& net, std::uint32_t& base, std::uint32_t source,
                                    std::size_t n, const ConnectFlag& connectAllowed);

// The same search as an injectable function, for the settings-reading job. The finder shares the
// host network, so a job that outlives its window still has it.
using FreeAddressFinder = std::function<FreeAddressResult(
    std::uint32_t& base, std::uint32_t source, std::size_t n, const ConnectFlag& connectAllowed)>;
FreeAddressFinder MakeFreeAddressFinder(std::shared_ptr<HostNetwork> net);

// Two (or n) free addresses below the PC's own address, base and source = pcAddrText.
FreeAddressResult FindFreeAddressesFromPc(const FreeAddressFinder& finder,
                                          const SessionRecord& session, std::size_t n = 2);

// Mask of a temporary address for a camera; 0 when the camera's first octet gets none
// (0, 127, 224 and above).
std::uint32_t TemporaryAddressMask(std::uint32_t cameraAddr);

enum class EnsureOutcome {
  AlreadyReachable,  // a PC address shares the camera's first three octets
  Added,             // a temporary address was added and listed
  TableUnavailable,  // the address table could not be read; nothing added
  NotApplicable,     // the camera's first octet gets no temporary address
  FirstAddFailed,    // "error" is to be shown; nothing added
  NoFreeAddress,     // every candidate answered; "error" is to be shown; nothing added
  SecondAddFailed,   // silent; nothing remains
  Cancelled,         // connectAllowed was cleared; nothing remains
};
std::string_view to_string(EnsureOutcome outcome);

// Where the subnet step works: the adapter the camera answered on (session.cameraIfIndex) while it
// is still there and up, with its first address as the probe source; otherwise, or when the user
// named an adapter, the chosen adapter (pcIfIndex, pcAddrText).
struct SubnetAdapter {
  std::uint32_t ifIndex = 0;
  std::uint32_t source = 0;    // 0: the adapter holds no address yet; probes go out unsourced
  bool cameraAdapter = false;  // the camera's own adapter was taken
};
SubnetAdapter ChooseSubnetAdapter(HostNetwork& net, const SessionRecord& session);

struct EnsureResult {
  EnsureOutcome outcome = EnsureOutcome::TableUnavailable;
  std::uint32_t ifIndex = 0;  // adapter the step worked on
  std::uint32_t added = 0;    // the address that stays, when outcome is Added
  std::uint32_t first = 0;    // the address probed from outside and held during the pause
  std::uint32_t mask = 0;
  std::string message;  // text of the message box to show (no caption, OK), or empty
  std::string refusal;  // why orvantis-netd refused the first add; the window says this instead
  int errorCode = 0;    // code of the failed platform call
  int failedArpRequests = 0;
};

struct EnsureOptions {
  // The pause between the first add and the probe from inside the camera's subnet.
  std::chrono::milliseconds settleDelay{5000};
  // Waits d, returning false when cancelled; the default blocks on connectAllowed in small steps.
  std::function<bool(std::chrono::milliseconds d, const ConnectFlag& connectAllowed)> wait;
};

// Makes sure the PC has an address in session.cameraAddr's subnet, adding a temporary one on the
// adapter ChooseSubnetAdapter names when it has none.
EnsureResult EnsureCameraSubnetAddress(HostNetwork& net, const SessionRecord& session,
                                       TemporaryAddressList& list,
                                       const EnsureOptions& options = {});

// The window's message for a refusal of the helper: 9 when no camera answers where it was to be
// reached, otherwise 10 (which the helper's own reason follows).
int RefusalMessage(std::string_view refusal);

// Deletes every listed address, in list order, and empties the list.
void RemoveTemporaryAddresses(HostNetwork& net, TemporaryAddressList& list);
// The same for a process that is about to end (a signal): no address can be added afterwards.
void RemoveTemporaryAddressesForExit(HostNetwork& net, TemporaryAddressList& list);

// The answer of one ARP test. Failed: the request could not be made, so nothing is known.
enum class AddressUse { InUse, Free, Failed };
std::string_view to_string(AddressUse use);

// One ARP request for address from the PC's own address (the address page's test button).
AddressUse TestAddressInUse(HostNetwork& net, const SessionRecord& session, std::uint32_t address);

// Renews the lifetime of every listed address at a fixed period from a background thread, so a
// killed program leaves nothing behind once the lifetime runs out.
class AddressLifetimeRefresher {
 public:
  AddressLifetimeRefresher(HostNetwork& net, TemporaryAddressList& list,
                           std::chrono::milliseconds period = std::chrono::seconds(30));
  ~AddressLifetimeRefresher();
  AddressLifetimeRefresher(const AddressLifetimeRefresher&) = delete;
  AddressLifetimeRefresher& operator=(const AddressLifetimeRefresher&) = delete;

  void Start();
  void Stop();
  void RefreshNow();  // one round, on the caller's thread

  // A quarter of the lifetime, at least one second: three refreshes may be missed in a row.
  static std::chrono::milliseconds PeriodFor(std::chrono::seconds lifetime);

 private:
  void Run();

  HostNetwork& m_net;
  TemporaryAddressList& m_list;
  std::chrono::milliseconds m_period;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_stop = false;
  std::thread m_thread;
};

}  // namespace orv
