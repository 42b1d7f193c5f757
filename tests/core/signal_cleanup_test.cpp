// The command-line tool's default on a signal: the temporary addresses are removed, then the
// process ends with that same signal, so whoever started it sees what ended it. Each case runs in
// a child process of its own (the hook is process-wide, and the process must really end).

#include "core/hostnet/signal_cleanup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "core/hostnet/temporary_address_owner.h"
#include "support/fake_host_network.h"

namespace orv::test {
namespace {

// In the child: add an address, raise the signal, and report what the clean-up saw on stderr.
// Returning from here would mean the signal did not end the program.
[[noreturn]] void AddThenRaise(int signo) {
  auto net = std::make_shared<FakeHostNetwork>();
  net->hostAddresses = {Ip("10.0.0.5")};
  TemporaryAddressOwner::Options options;  // the defaults: hook installed, end after the signal
  options.onSignal = [net](int seen) {
    std::fprintf(stderr, "clean-up for signal %d, %zu address(es) left\n", seen,
                 net->HeldTemporary().size());
    std::fflush(stderr);
  };
  TemporaryAddressOwner owner(net, options);
  SessionRecord s;
  s.pcAddrText = "10.0.0.5";
  s.pcIfIndex = 2;
  s.connectAllowed.store(1);
  s.cameraAddr = Ip("192.168.0.98");
  EnsureOptions now;
  now.settleDelay = std::chrono::milliseconds(0);
  if (owner.Ensure(s, now).outcome != EnsureOutcome::Added || net->HeldTemporary().size() != 1) {
    std::fprintf(stderr, "no address added\n");
    ::_exit(3);
  }
  ::raise(signo);
  std::this_thread::sleep_for(std::chrono::seconds(30));
  std::fprintf(stderr, "still running after the signal\n");
  ::_exit(4);
}

class SignalEndsTheProgramDeathTest : public ::testing::TestWithParam<int> {};

TEST_P(SignalEndsTheProgramDeathTest, AfterRemovingItsAddresses) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const int signo = GetParam();
  EXPECT_EXIT(AddThenRaise(signo), ::testing::KilledBySignal(signo),
              "clean-up for signal " + std::to_string(signo) + ", 0 address\\(es\\) left");
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalEndsTheProgramDeathTest,
                         ::testing::Values(SIGINT, SIGTERM, SIGHUP));

// With the hook disarmed (the owner gone), a signal ends the program as by default, at once.
TEST(SignalCleanupDeathTest, DisarmedTheSignalEndsTheProgramDeathTestAsByDefault) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ASSERT_TRUE(SignalCleanup::Install([](int) { std::fprintf(stderr, "action ran\n"); }));
        SignalCleanup::Disarm();
        ::raise(SIGTERM);
        std::this_thread::sleep_for(std::chrono::seconds(30));
        ::_exit(4);
      },
      ::testing::KilledBySignal(SIGTERM), ::testing::Not(::testing::HasSubstr("action ran")));
}

}  // namespace
}  // namespace orv::test
