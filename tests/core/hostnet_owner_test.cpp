// The owner of the temporary addresses: its list, refresher and signal hook live and die together.
// A process of its own, because the signal hook is process-wide.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "core/hostnet/signal_cleanup.h"
#include "core/hostnet/temporary_address_owner.h"
#include "support/eventually.h"
#include "support/fake_host_network.h"

namespace orv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::shared_ptr<FakeHostNetwork> Network() {
  auto net = std::make_shared<FakeHostNetwork>();
  net->hostAddresses = {Ip("10.0.0.5")};
  return net;
}

long Deletes(const FakeHostNetwork& net, const std::string& what) {
  const auto log = net.Log();
  return std::count(log.begin(), log.end(), "delete " + what);
}

TEST(TemporaryAddressOwner, AddsRefreshesAndRemovesEverythingWhenDestroyed) {
  auto net = Network();
  TemporaryAddressOwner::Options options;
  options.installSignalHook = false;
  options.refreshPeriod = std::chrono::milliseconds(5);
  {
    TemporaryAddressOwner owner(net, options);
    EXPECT_EQ(owner.Ensure(CameraAt("192.168.0.98"), NoPause()).outcome, EnsureOutcome::Added);
    EXPECT_EQ(owner.count(), 1u);
    EXPECT_TRUE(Eventually([&] { return net->refreshCount(102) >= 2; }))
        << "the address that stays (the second add) is kept alive";

    owner.RemoveAll();
    EXPECT_EQ(owner.count(), 0u);
    EXPECT_THAT(net->HeldTemporary(), IsEmpty());

    // Removing does not close the owner: the next camera may need an address again.
    EXPECT_EQ(owner.Ensure(CameraAt("172.16.5.9"), NoPause()).outcome, EnsureOutcome::Added);
    EXPECT_EQ(owner.Ensure(CameraAt("192.168.0.98"), NoPause()).outcome, EnsureOutcome::Added);
    EXPECT_EQ(owner.count(), 2u);
  }
  EXPECT_THAT(net->HeldTemporary(), IsEmpty());
  EXPECT_EQ(Deletes(*net, "unknown"), 0);
}

TEST(TemporaryAddressOwner, ClosingRemovesAndRefusesEveryLaterAdd) {
  auto net = Network();
  TemporaryAddressOwner::Options options;
  options.installSignalHook = false;
  TemporaryAddressOwner owner(net, options);
  ASSERT_EQ(owner.Ensure(CameraAt("192.168.0.98"), NoPause()).outcome, EnsureOutcome::Added);

  // An Ensure that was already past its flag checks when the window closed (its record still
  // says connect): the closed list refuses its add, so nothing is left behind.
  std::atomic<bool> closed{false};
  net->onArp = [&](std::uint32_t) {
    if (!closed.exchange(true)) owner.Close();
  };
  EXPECT_EQ(owner.Ensure(CameraAt("172.16.5.9"), NoPause()).outcome, EnsureOutcome::Cancelled);
  EXPECT_EQ(owner.count(), 0u);
  EXPECT_THAT(net->HeldTemporary(), IsEmpty());
  net->onArp = nullptr;
  EXPECT_EQ(owner.Ensure(CameraAt("10.1.1.1"), NoPause()).outcome, EnsureOutcome::Cancelled);
  EXPECT_THAT(net->HeldTemporary(), IsEmpty());
}

TEST(TemporaryAddressOwner, WithoutANetworkNothingIsAdded) {
  TemporaryAddressOwner::Options options;
  options.installSignalHook = false;
  TemporaryAddressOwner owner(nullptr, options);
  // Read as "the address table could not be read": nothing added, no message of its own.
  const EnsureResult r = owner.Ensure(CameraAt("192.168.0.98"), NoPause());
  EXPECT_EQ(r.outcome, EnsureOutcome::TableUnavailable);
  EXPECT_EQ(r.added, 0u);
  EXPECT_EQ(r.first, 0u);
  EXPECT_EQ(r.message, "");
  owner.RemoveAll();
  EXPECT_EQ(owner.count(), 0u);
}

TEST(TemporaryAddressOwner, ASignalRemovesTheAddressesAndLetsTheCallerClose) {
  auto net = Network();
  std::mutex m;
  std::condition_variable cv;
  int seen = 0;
  TemporaryAddressOwner::Options options;
  options.endProcessAfterSignal = false;
  options.onSignal = [&](int signo) {
    std::lock_guard lock(m);
    seen = signo;
    cv.notify_all();
  };
  {
    TemporaryAddressOwner owner(net, options);
    ASSERT_EQ(owner.Ensure(CameraAt("192.168.0.98"), NoPause()).outcome, EnsureOutcome::Added);
    ::raise(SIGTERM);
    {
      std::unique_lock lock(m);
      ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return seen != 0; }));
    }
    EXPECT_EQ(seen, SIGTERM);
    EXPECT_THAT(net->HeldTemporary(), IsEmpty()) << "removed before the caller is told";
    EXPECT_EQ(owner.count(), 0u);
    // The program is closing: nothing may be added any more.
    EXPECT_EQ(owner.Ensure(CameraAt("172.16.5.9"), NoPause()).outcome, EnsureOutcome::Cancelled);
  }
  EXPECT_THAT(net->HeldTemporary(), IsEmpty());
  EXPECT_EQ(Deletes(*net, "192.168.0.252"), 1);
  EXPECT_EQ(Deletes(*net, "unknown"), 0);
}

TEST(SignalCleanup, DisarmWaitsForAnActionAlreadyRunning) {
  std::mutex m;
  std::condition_variable cv;
  bool started = false;
  bool release = false;
  // Counts the ends of the installed action's copies: Disarm empties the installed one first, so
  // one more end while the action still runs proves the closer is inside Disarm.
  struct CountsItsEnd {
    std::atomic<int>* ends;
    ~CountsItsEnd() { ++*ends; }
  };
  std::atomic<int> ends{0};
  const CountsItsEnd probe{&ends};
  ASSERT_TRUE(SignalCleanup::Install(
      [&, probe](int) {
        std::unique_lock lock(m);
        started = true;
        cv.notify_all();
        cv.wait(lock, [&] { return release; });
      },
      /*terminateAfter=*/false));
  ::raise(SIGHUP);
  {
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return started; }));
  }
  std::atomic<bool> disarmed{false}, actionDoneFirst{false};
  std::atomic<bool> actionDone{false};
  const int endsBefore = ends.load();
  std::thread closer([&] {
    SignalCleanup::Disarm();
    // Whatever the timing, Disarm may only return once the action has returned.
    actionDoneFirst = actionDone.load();
    disarmed = true;
  });
  ASSERT_TRUE(Eventually([&] { return ends.load() > endsBefore; })) << "Disarm never began";
  EXPECT_FALSE(disarmed.load());
  {
    std::lock_guard lock(m);
    release = true;
    actionDone = true;  // the action returns once the lock is given back
  }
  cv.notify_all();
  closer.join();
  EXPECT_TRUE(disarmed.load());
  EXPECT_TRUE(actionDoneFirst.load()) << "Disarm returned while the action still ran";
  SignalCleanup::Install([](int) {}, false);  // keep later stray signals harmless in this process
}

}  // namespace
}  // namespace orv::test
