#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <csignal>
#include <mutex>

#include "core/hostnet/host_facts.h"
#include "core/hostnet/signal_cleanup.h"
#include "core/hostnet/temporary_address.h"
#include "core/util/ipv4.h"
#include "support/fake_host_network.h"

namespace orv::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(Ipv4Text, ParsesOnlyStrictDottedQuads) {
  EXPECT_EQ(FormatIpv4(*ParseIpv4("192.168.0.98")), "192.168.0.98");
  EXPECT_EQ(Ipv4Octet(Ip("10.1.2.3"), 0), 10);
  EXPECT_EQ(Ipv4Octet(Ip("10.1.2.3"), 3), 3);
  for (const char* bad : {"", "1.2.3", "1.2.3.4.", "1.2.3.256", "1..2.3", " 1.2.3.4", "1.2.3.4x",
                          "0001.2.3.4", "-1.2.3.4"})
    EXPECT_FALSE(ParseIpv4(bad)) << bad;
  EXPECT_EQ(Ipv4PrefixLength(Ip("255.255.255.0")), 24);
  EXPECT_EQ(Ipv4PrefixLength(Ip("255.255.0.0")), 16);
  EXPECT_EQ(Ipv4PrefixLength(Ip("255.255.255.255")), 32);
  EXPECT_EQ(Ipv4PrefixLength(Ip("255.0.255.0")), -1);
}

// --- adapter facts ---------------------------------------------------------------------------

TEST(ChooseAdapter, LastUpLanAdapterWinsAndFlagsFollowTypes) {
  FakeHostNetwork net;
  net.adapters = {{1, "lo", AdapterType::Other, true},
                  {2, "eth0", AdapterType::Ethernet, true},
                  {3, "wlan0", AdapterType::Wireless, true},
                  {4, "eth1", AdapterType::Ethernet, false},
                  {5, "ppp0", AdapterType::Ppp, true}};
  SessionRecord s;
  EXPECT_EQ(ChooseAdapter(net, s), 0);
  EXPECT_EQ(s.pcIfIndex, 3u);  // the down eth1 after it does not count; PPP never is chosen
  EXPECT_EQ(s.pcHasLan, 1);
  EXPECT_EQ(s.pcHasWifi, 1);
  EXPECT_EQ(s.pcHasPpp, 1);

  // Wireless first, then Ethernet: the Ethernet adapter is chosen, Wi-Fi still reported.
  net.adapters = {{3, "wlan0", AdapterType::Wireless, true},
                  {2, "eth0", AdapterType::Ethernet, true}};
  SessionRecord t;
  ChooseAdapter(net, t);
  EXPECT_EQ(t.pcIfIndex, 2u);
  EXPECT_EQ(t.pcHasWifi, 1);
  EXPECT_EQ(t.pcHasPpp, 0);
}

TEST(ChooseAdapter, FailurePrintsReasonExceptForNoData) {
  FakeHostNetwork net;
  net.listResult = 1;
  net.listErrorText = "Operation not permitted";
  SessionRecord s;
  s.pcIfIndex = 7;
  testing::internal::CaptureStdout();
  EXPECT_EQ(ChooseAdapter(net, s), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "\tError: Operation not permitted\n");
  EXPECT_EQ(s.pcIfIndex, 7u);
  EXPECT_EQ(s.pcHasLan, 0);

  net.listResult = kHostNetNoData;
  testing::internal::CaptureStdout();
  EXPECT_EQ(ChooseAdapter(net, s), kHostNetNoData);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(ReadAdapterDetails, CopiesFirstEntriesAndCutsToFieldWidth) {
  FakeHostNetwork net;
  AdapterDetails d;
  d.addressTexts = {"10.0.0.5", "10.0.0.6"};
  d.maskTexts = {"255.255.255.0", "255.255.0.0"};
  d.gatewayTexts = {"10.0.0.1", "10.0.0.2"};
  net.details[2] = d;
  net.dns[2] = std::string(100, '9');
  SessionRecord s;
  s.pcIfIndex = 2;
  ReadAdapterDetails(net, s);
  EXPECT_EQ(s.pcAddrText, "10.0.0.5");
  EXPECT_EQ(s.pcMaskText, "255.255.255.0");
  EXPECT_EQ(s.pcGatewayText, "10.0.0.1");
  EXPECT_EQ(s.pcDnsText.size(), 63u);
  EXPECT_EQ(s.pcDhcp, 0);

  // Another index: nothing to copy, everything stays empty.
  SessionRecord none;
  none.pcIfIndex = 9;
  ReadAdapterDetails(net, none);
  EXPECT_TRUE(none.pcAddrText.empty());
  EXPECT_TRUE(none.pcDnsText.empty());
}

TEST(ReadAdapterDetails, DhcpFlagChecksTheServerOnlyForValueOne) {
  struct Case {
    std::uint32_t enabled;
    std::optional<std::string> server;
    int expected;
  };
  const Case cases[] = {
      {0, "10.0.0.1", 0},   {1, "10.0.0.1", 1}, {1, "0.0.0.0", 0},         {1, "", 0},
      {1, std::nullopt, 1}, {2, "0.0.0.0", 1},  {1, "255.255.255.255", 1},
  };
  for (const Case& c : cases) {
    FakeHostNetwork net;
    AdapterDetails d;
    d.addressTexts = {"10.0.0.5"};
    d.dhcpEnabled = c.enabled;
    d.dhcpServerText = c.server;
    net.details[2] = d;
    SessionRecord s;
    s.pcIfIndex = 2;
    ReadAdapterDetails(net, s);
    EXPECT_EQ(s.pcDhcp, c.expected) << c.enabled << " " << c.server.value_or("(none)");
  }
}

TEST(ReadPppoeCredentials, TakesUserAndOnlyAStoredPassword) {
  SessionRecord s;
  ReadPppoeCredentials(s, [] { return PppoeEntry{std::string(80, 'u'), std::nullopt}; });
  EXPECT_EQ(s.pcPppoeUser.size(), 63u);
  EXPECT_TRUE(s.pcPppoePassword.empty());

  SessionRecord t;
  ReadPppoeCredentials(t, [] { return PppoeEntry{"alice", "secret"}; });
  EXPECT_EQ(t.pcPppoeUser, "alice");
  EXPECT_EQ(t.pcPppoePassword, "secret");

  SessionRecord u;
  ReadPppoeCredentials(u, [] { return std::optional<PppoeEntry>(); });
  EXPECT_TRUE(u.pcPppoeUser.empty());
  EXPECT_TRUE(u.pcPppoePassword.empty());
}

// --- temporary addresses ---------------------------------------------------------------------

class EnsureTest : public ::testing::Test {
 protected:
  EnsureTest() {
    net.hostAddresses = {Ip("127.0.0.1"), Ip("10.0.0.5")};
    session.pcAddrText = "10.0.0.5";
    session.pcIfIndex = 2;
    session.connectAllowed.store(1);
    options.wait = [this](std::chrono::milliseconds d, const ConnectFlag&) {
      waits.push_back(d);
      return waitResult();
    };
  }

  EnsureResult Ensure(const char* camera) {
    session.cameraAddr = Ip(camera);
    return EnsureCameraSubnetAddress(net, session, list, options);
  }

  FakeHostNetwork net;
  SessionRecord session;
  TemporaryAddressList list;
  EnsureOptions options;
  std::vector<std::chrono::milliseconds> waits;
  std::function<bool()> waitResult = [] { return true; };
};

TEST_F(EnsureTest, SameFirstThreeOctetsNeedsNothing) {
  net.hostAddresses.push_back(Ip("192.168.0.10"));
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::AlreadyReachable);
  EXPECT_EQ(net.arpCount(), 0);
  EXPECT_THAT(net.Log(), ElementsAre("table"));
}

TEST_F(EnsureTest, OtherSubnetAddsProbesFromInsideThenSwaps) {
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::Added);
  EXPECT_EQ(FormatIpv4(r.added), "192.168.0.252");
  EXPECT_EQ(FormatIpv4(r.mask), "255.255.255.0");
  EXPECT_TRUE(r.message.empty());
  EXPECT_THAT(net.ArpLog(), ElementsAre("192.168.0.253<-10.0.0.5", "192.168.0.253<-192.168.0.253",
                                        "192.168.0.252<-192.168.0.253"));
  EXPECT_THAT(net.Log(),
              ElementsAre("table", "add 192.168.0.253 255.255.255.0 if2", "delete 192.168.0.253",
                          "add 192.168.0.252 255.255.255.0 if2"));
  EXPECT_THAT(waits, ElementsAre(std::chrono::milliseconds(5000)));
  EXPECT_EQ(list.count(), 1u);
  EXPECT_THAT(net.HeldTemporary(), ElementsAre(Ip("192.168.0.252")));
  // Both adds name the camera they are for: the helper adds nothing beside a silent one.
  EXPECT_THAT(net.AddCameras(), ElementsAre(Ip("192.168.0.98"), Ip("192.168.0.98")));
}

TEST_F(EnsureTest, OccupiedAddressesAreSkipped) {
  net.occupied = {Ip("192.168.0.253"), Ip("192.168.0.252")};
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::Added);
  EXPECT_EQ(net.Log()[1], "add 192.168.0.251 255.255.255.0 if2");
  EXPECT_EQ(FormatIpv4(r.added), "192.168.0.250");  // .251 is the PC's own by then
}

TEST_F(EnsureTest, MaskFollowsFirstOctet) {
  struct Case {
    const char* camera;
    const char* mask;
    const char* first;
  };
  for (const Case& c : {Case{"172.16.5.9", "255.255.0.0", "172.16.5.253"},
                        Case{"10.1.2.3", "255.255.255.0", "10.1.2.253"},
                        Case{"126.9.9.9", "255.255.255.0", "126.9.9.253"},
                        Case{"223.1.1.1", "255.255.255.0", "223.1.1.253"},
                        Case{"191.1.1.1", "255.255.0.0", "191.1.1.253"}}) {
    FakeHostNetwork fresh;
    fresh.hostAddresses = {Ip("10.0.0.5")};
    TemporaryAddressList l;
    session.cameraAddr = Ip(c.camera);
    const EnsureResult r = EnsureCameraSubnetAddress(fresh, session, l, options);
    EXPECT_EQ(FormatIpv4(r.mask), c.mask) << c.camera;
    ASSERT_GE(fresh.ArpLog().size(), 1u);
    EXPECT_EQ(fresh.ArpLog()[0], std::string(c.first) + "<-10.0.0.5");
  }
}

TEST_F(EnsureTest, NoAddressForUnroutableFirstOctets) {
  for (const char* camera : {"0.1.2.3", "127.1.2.3", "224.0.0.1", "239.1.1.1", "255.255.255.255"}) {
    EXPECT_EQ(Ensure(camera).outcome, EnsureOutcome::NotApplicable) << camera;
  }
  EXPECT_EQ(net.arpCount(), 0);
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(EnsureTest, ComparesThreeOctetsNotTheMask) {
  net.hostAddresses = {Ip("192.168.0.10")};  // a /16 would cover the camera, but that is not asked
  session.pcAddrText = "192.168.0.10";
  const EnsureResult r = Ensure("192.168.1.20");
  EXPECT_EQ(r.outcome, EnsureOutcome::Added);
  EXPECT_EQ(FormatIpv4(r.added), "192.168.1.252");
}

TEST_F(EnsureTest, UnreadableTableAddsNothing) {
  net.tableReadable = false;
  EXPECT_EQ(Ensure("192.168.0.98").outcome, EnsureOutcome::TableUnavailable);
  EXPECT_EQ(net.arpCount(), 0);
}

TEST_F(EnsureTest, FailedFirstAddAsksForTheErrorBox) {
  net.addResult = [](int n, std::uint32_t) { return n == 1 ? 1 : 0; };
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::FirstAddFailed);
  EXPECT_EQ(r.message, "error");
  EXPECT_EQ(r.errorCode, 1);
  EXPECT_THAT(waits, IsEmpty());
  EXPECT_EQ(net.arpCount(), 1);
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(EnsureTest, TheHelpersRefusalIsPassedOnForTheWindow) {
  net.addResult = [](int, std::uint32_t) { return kHostNetRefused; };
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::FirstAddFailed);
  EXPECT_EQ(r.refusal, "scripted failure");
  EXPECT_EQ(RefusalMessage("adding 192.168.0.253: nothing answers at 192.168.0.98"), 9);
  EXPECT_EQ(RefusalMessage(r.refusal), 10);
  net.addResult = [](int, std::uint32_t) { return 1; };
  EXPECT_TRUE(Ensure("192.168.0.98").refusal.empty());
}

TEST_F(EnsureTest, FailedSecondAddIsSilentAndLeavesNothing) {
  net.addResult = [](int n, std::uint32_t) { return n == 2 ? 1 : 0; };
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::SecondAddFailed);
  EXPECT_TRUE(r.message.empty());
  EXPECT_EQ(list.count(), 0u);
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
}

TEST_F(EnsureTest, FullSubnetEndsAfterOneSweepWithError) {
  for (int h = 0; h <= 255; ++h) net.occupied.insert(MakeIpv4(192, 168, 0, std::uint8_t(h)));
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::NoFreeAddress);
  EXPECT_EQ(r.message, "error");
  EXPECT_EQ(net.arpCount(), 253);  // .253 down to .1
  for (const std::string& line : net.ArpLog()) {
    EXPECT_NE(line.rfind("192.168.0.0<", 0), 0u);
    EXPECT_NE(line.rfind("192.168.0.255<", 0), 0u);
  }
  EXPECT_EQ(list.count(), 0u);
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
}

TEST_F(EnsureTest, NoSecondAddressReleasesTheFirst) {
  // Only .253 is free, and it is the PC's own once added.
  for (int h = 1; h <= 252; ++h) net.occupied.insert(MakeIpv4(192, 168, 0, std::uint8_t(h)));
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::NoFreeAddress);
  EXPECT_EQ(r.message, "error");
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
  EXPECT_EQ(list.count(), 0u);
}

TEST_F(EnsureTest, CancelledWaitRemovesTheFirstAddress) {
  waitResult = [] { return false; };
  EXPECT_EQ(Ensure("192.168.0.98").outcome, EnsureOutcome::Cancelled);
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
  EXPECT_EQ(net.arpCount(), 1);
}

TEST_F(EnsureTest, CancelDuringSweepStopsAtOnce) {
  for (int h = 0; h <= 255; ++h) net.occupied.insert(MakeIpv4(192, 168, 0, std::uint8_t(h)));
  net.onArp = [this](std::uint32_t) {
    if (net.arpCount() == 4) session.connectAllowed.store(0);
  };
  EXPECT_EQ(Ensure("192.168.0.98").outcome, EnsureOutcome::Cancelled);
  EXPECT_EQ(net.arpCount(), 5);
  EXPECT_THAT(net.Log(), ElementsAre("table"));
}

TEST_F(EnsureTest, DefaultWaitGivesUpWhenConnectAllowedIsCleared) {
  options.wait = nullptr;
  options.settleDelay = std::chrono::hours(1);
  std::thread closer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    session.connectAllowed.store(0);
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Ensure("192.168.0.98").outcome, EnsureOutcome::Cancelled);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  closer.join();
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
  EXPECT_EQ(net.arpCount(), 1);
}

TEST_F(EnsureTest, CleanupDuringThePauseDeletesTheHeldAddressOnce) {
  waitResult = [this] {
    RemoveTemporaryAddresses(net, list);  // as a signal would, while the pause runs
    return false;
  };
  Ensure("192.168.0.98");
  const auto log = net.Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "delete 192.168.0.253"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "delete unknown"), 0);
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
}

TEST_F(EnsureTest, ExitCleanupDuringThePauseAlsoPreventsTheSecondAdd) {
  // The pause ends normally after the clean-up (the process is about to be ended), so the step
  // would go on to add the final address: the closed list must refuse it.
  waitResult = [this] {
    RemoveTemporaryAddressesForExit(net, list);
    return true;
  };
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::Cancelled);
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
  EXPECT_EQ(Ensure("172.16.5.9").outcome, EnsureOutcome::Cancelled);
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
}

TEST_F(EnsureTest, RemoveDeletesInOrderOnce) {
  Ensure("192.168.0.98");
  Ensure("172.16.5.9");
  EXPECT_EQ(list.count(), 2u);
  RemoveTemporaryAddresses(net, list);
  RemoveTemporaryAddresses(net, list);
  auto log = net.Log();
  std::vector<std::string> deletes;
  for (const auto& l : log)
    if (l.rfind("delete", 0) == 0) deletes.push_back(l);
  EXPECT_THAT(deletes, ElementsAre("delete 192.168.0.253", "delete 172.16.5.253",
                                   "delete 192.168.0.252", "delete 172.16.5.252"));
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
}

// --- free-address searches -------------------------------------------------------------------

TEST(FindFreeAddress, SweepSkipsNetworkAndBroadcastHostNumbers) {
  FakeHostNetwork net;
  ConnectFlag go;
  go.store(1);
  for (int h = 0; h <= 255; ++h) net.occupied.insert(MakeIpv4(10, 0, 0, std::uint8_t(h)));
  const FreeAddressResult none = FindFreeAddress(net, Ip("10.0.0.0"), Ip("10.0.0.5"), go);
  EXPECT_EQ(none.first(), 0u);
  EXPECT_EQ(none.failedRequests, 0);
  EXPECT_EQ(net.arpCount(), 254);
  EXPECT_EQ(net.ArpLog().front(), "10.0.0.254<-10.0.0.5");
  EXPECT_EQ(net.ArpLog().back(), "10.0.0.1<-10.0.0.5");

  net.occupied.erase(Ip("10.0.0.1"));
  EXPECT_THAT(FindFreeAddress(net, Ip("10.0.0.255"), 0, go).addresses, ElementsAre(Ip("10.0.0.1")));
}

TEST(FindFreeAddress, AFailedRequestIsNeverFreeButCounted) {
  FakeHostNetwork net;
  ConnectFlag go;
  go.store(1);
  net.arpFailsFor = {Ip("10.0.0.253"), Ip("10.0.0.252")};
  const FreeAddressResult r = FindFreeAddress(net, Ip("10.0.0.253"), Ip("10.0.0.5"), go);
  EXPECT_THAT(r.addresses, ElementsAre(Ip("10.0.0.251")));
  EXPECT_EQ(r.failedRequests, 2);

  FakeHostNetwork broken;
  broken.arpFails = true;
  const FreeAddressResult nothing = FindFreeAddress(broken, Ip("10.0.0.253"), Ip("10.0.0.5"), go);
  EXPECT_THAT(nothing.addresses, IsEmpty());
  EXPECT_EQ(nothing.failedRequests, 253);

  std::uint32_t base = Ip("10.0.0.40");
  const FreeAddressResult many = FindFreeAddresses(net, base, base, 2, go);
  EXPECT_THAT(many.addresses, ElementsAre(Ip("10.0.0.251"), Ip("10.0.0.250")));
  EXPECT_EQ(many.failedRequests, 2);
}

TEST(FindFreeAddresses, CollectsHighestFirstAndRewritesBase) {
  FakeHostNetwork net;
  net.occupied = {Ip("192.168.1.253"), Ip("192.168.1.251")};
  ConnectFlag go;
  go.store(1);
  std::uint32_t base = Ip("192.168.1.40");
  const auto found = FindFreeAddresses(net, base, Ip("192.168.1.40"), 2, go);
  EXPECT_EQ(base, Ip("192.168.1.253"));
  EXPECT_THAT(found.addresses, ElementsAre(Ip("192.168.1.252"), Ip("192.168.1.250")));
  EXPECT_EQ(found.failedRequests, 0);
  EXPECT_THAT(net.ArpLog(),
              ElementsAre("192.168.1.253<-192.168.1.40", "192.168.1.252<-192.168.1.40",
                          "192.168.1.251<-192.168.1.40", "192.168.1.250<-192.168.1.40"));
}

TEST(FindFreeAddresses, FullSubnetOrCancelReturnsWhatWasFound) {
  FakeHostNetwork net;
  for (int h = 2; h <= 255; ++h) net.occupied.insert(MakeIpv4(10, 0, 0, std::uint8_t(h)));
  ConnectFlag go;
  go.store(1);
  std::uint32_t base = Ip("10.0.0.5");
  EXPECT_THAT(FindFreeAddresses(net, base, base, 2, go).addresses, ElementsAre(Ip("10.0.0.1")));
  EXPECT_EQ(net.arpCount(), 253);

  FakeHostNetwork busy;
  for (int h = 0; h <= 255; ++h) busy.occupied.insert(MakeIpv4(10, 0, 0, std::uint8_t(h)));
  busy.onArp = [&](std::uint32_t) {
    if (busy.arpCount() == 9) go.store(0);
  };
  EXPECT_THAT(FindFreeAddresses(busy, base, base, 2, go).addresses, IsEmpty());
  EXPECT_EQ(busy.arpCount(), 10);

  FakeHostNetwork idle;
  go.store(1);
  EXPECT_THAT(FindFreeAddresses(idle, base, base, 0, go).addresses, IsEmpty());
  EXPECT_EQ(idle.arpCount(), 0);
}

TEST(FindFreeAddresses, InjectedFinderSharesTheNetworkAndStartsFromThePcAddress) {
  auto net = std::make_shared<FakeHostNetwork>();
  net->hostAddresses = {Ip("192.168.1.40")};
  SessionRecord s;
  s.connectAllowed.store(1);
  s.pcAddrText = "192.168.1.40";
  const FreeAddressFinder finder = MakeFreeAddressFinder(net);
  const std::weak_ptr<FakeHostNetwork> watch = net;
  FakeHostNetwork& seen = *net;
  net.reset();  // the finder alone keeps it
  ASSERT_FALSE(watch.expired());
  EXPECT_THAT(FindFreeAddressesFromPc(finder, s).addresses,
              ElementsAre(Ip("192.168.1.253"), Ip("192.168.1.252")));
  EXPECT_EQ(seen.ArpLog().front(), "192.168.1.253<-192.168.1.40");

  SessionRecord noAddress;
  noAddress.connectAllowed.store(1);
  EXPECT_THAT(FindFreeAddressesFromPc(finder, noAddress).addresses, IsEmpty());
  EXPECT_EQ(seen.arpCount(), 2);
  EXPECT_THAT(FindFreeAddressesFromPc(MakeFreeAddressFinder(nullptr), s).addresses, IsEmpty());
}

TEST(TestAddressInUse, OneRequestFromThePcAddressTellsFailuresApart) {
  FakeHostNetwork net;
  net.occupied = {Ip("10.0.0.20")};
  SessionRecord s;
  s.pcAddrText = "10.0.0.5";
  EXPECT_EQ(TestAddressInUse(net, s, Ip("10.0.0.20")), AddressUse::InUse);
  EXPECT_EQ(TestAddressInUse(net, s, Ip("10.0.0.21")), AddressUse::Free);
  EXPECT_THAT(net.ArpLog(), ElementsAre("10.0.0.20<-10.0.0.5", "10.0.0.21<-10.0.0.5"));
  net.arpFails = true;
  EXPECT_EQ(TestAddressInUse(net, s, Ip("10.0.0.21")), AddressUse::Failed);
  EXPECT_EQ(to_string(AddressUse::Failed), "failed");
}

TEST_F(EnsureTest, FailedArpRequestsAreReportedNotTakenAsFree) {
  net.arpFails = true;
  const EnsureResult r = Ensure("192.168.0.98");
  EXPECT_EQ(r.outcome, EnsureOutcome::NoFreeAddress);
  EXPECT_EQ(r.failedArpRequests, 253);
  EXPECT_THAT(net.HeldTemporary(), IsEmpty());
  EXPECT_EQ(to_string(r.outcome), "no-free-address");
}

// --- lifetime refresh and signals ------------------------------------------------------------

TEST(AddressLifetimeRefresher, RefreshesListedAddressesUntilStopped) {
  FakeHostNetwork net;
  TemporaryAddressList list;
  std::uint32_t a = 0, b = 0;
  ASSERT_EQ(net.AddAddress(Ip("10.9.0.1"), Ip("255.255.255.0"), 2, Ip("10.9.0.98"), a), 0);
  ASSERT_EQ(net.AddAddress(Ip("10.9.0.2"), Ip("255.255.255.0"), 2, Ip("10.9.0.98"), b), 0);
  list.Append(a);
  list.Append(b);
  AddressLifetimeRefresher refresher(net, list, std::chrono::milliseconds(5));
  refresher.RefreshNow();
  EXPECT_EQ(net.refreshCount(a), 1);
  EXPECT_EQ(net.refreshCount(b), 1);

  refresher.Start();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (net.refreshCount(b) < 3 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  refresher.Stop();
  EXPECT_GE(net.refreshCount(b), 3);
  const int after = net.refreshCount(b);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(net.refreshCount(b), after);

  EXPECT_EQ(AddressLifetimeRefresher::PeriodFor(std::chrono::seconds(120)),
            std::chrono::seconds(30));
  EXPECT_EQ(AddressLifetimeRefresher::PeriodFor(std::chrono::seconds(2)), std::chrono::seconds(1));
}

#ifndef _WIN32  // a POSIX signal; the console events of Windows are in platform_windows_test
TEST(SignalCleanup, RunsTheActionForHangUp) {
  std::mutex m;
  std::condition_variable cv;
  int seen = 0;
  ASSERT_TRUE(SignalCleanup::Install(
      [&](int signo) {
        std::lock_guard lock(m);
        seen = signo;
        cv.notify_all();
      },
      /*terminateAfter=*/false));
  ::raise(SIGHUP);
  std::unique_lock lock(m);
  EXPECT_TRUE(cv.wait_for(lock, std::chrono::seconds(5), [&] { return seen != 0; }));
  EXPECT_EQ(seen, SIGHUP);
  lock.unlock();
  SignalCleanup::Install([](int) {}, false);  // keep later stray signals harmless in this process
}
#endif

}  // namespace
}  // namespace orv::test
