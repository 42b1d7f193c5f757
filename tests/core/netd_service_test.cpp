// The helper's checks against the system and its own limits, on the scripted host network.
#include "core/hostnet/netd_service.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "support/fake_host_network.h"

namespace orv {
namespace {

using test::FakeHostNetwork;
using test::Ip;

struct ServiceFixture : ::testing::Test {
  std::shared_ptr<FakeHostNetwork> net = std::make_shared<FakeHostNetwork>();
  std::vector<int> lifetimes;
  std::vector<NetdPrivilege> privileges;
  NetdService::Clock::time_point now{};
  bool rawGiven = true;
  std::unique_ptr<NetdService> service;

  void SetUp() override {
    net->adapters = {{1, "lo", AdapterType::Other, true},
                     {2, "eth0", AdapterType::Ethernet, true},
                     {3, "eth1", AdapterType::Ethernet, false}};
    service = std::make_unique<NetdService>(
        [this](std::chrono::seconds s) {
          lifetimes.push_back(static_cast<int>(s.count()));
          return net;
        },
        [this](NetdPrivilege p) {
          privileges.push_back(p);
          return p != NetdPrivilege::Raw || rawGiven;
        },
        [this] { return now; });
  }
};

TEST_F(ServiceFixture, AddsRefreshesAndRemovesItsOwnAddresses) {
  EXPECT_EQ(service->Handle("add eth0 192.168.5.253/24 120"), "ok");
  EXPECT_EQ(net->HeldTemporary(), std::vector<std::uint32_t>{Ip("192.168.5.253")});
  EXPECT_EQ(net->Log().back(), "add 192.168.5.253 255.255.255.0 if2");
  EXPECT_NE(std::find(lifetimes.begin(), lifetimes.end(), 120), lifetimes.end());
  EXPECT_EQ(service->Handle("refresh eth0 192.168.5.253"), "ok");
  EXPECT_EQ(service->Handle("del eth0 192.168.5.253"), "ok");
  EXPECT_TRUE(net->HeldTemporary().empty());
  // Gone now, so neither a second removal nor a refresh is its own any more.
  EXPECT_EQ(service->Handle("del eth0 192.168.5.253"), "err not an address this helper added");
  EXPECT_EQ(service->Handle("refresh eth0 192.168.5.253"), "err not an address this helper added");
}

TEST_F(ServiceFixture, RefusesAdaptersThatAreMissingOrDown) {
  EXPECT_EQ(service->Handle("add eth9 10.0.0.5/24 60"), "err no adapter eth9");
  EXPECT_EQ(service->Handle("add eth1 10.0.0.5/24 60"), "err adapter eth1 is not up");
  EXPECT_EQ(service->Handle("arp eth9 10.0.0.5 0.0.0.0"), "err no adapter eth9");
  EXPECT_EQ(service->Handle("add lo 10.0.0.5/24 60"),
            "err adapter lo is not an Ethernet or wireless adapter");
  EXPECT_TRUE(net->HeldTemporary().empty());
  EXPECT_EQ(net->arpCount(), 0);
}

TEST_F(ServiceFixture, HoldsAtMostSixteenAndRemovesAllAtTheEnd) {
  for (int i = 1; i <= 16; ++i)
    ASSERT_EQ(service->Handle("add eth0 10.0.0." + std::to_string(i) + "/24 60"), "ok") << i;
  EXPECT_EQ(service->Handle("add eth0 10.0.0.17/24 60"),
            "err at most 16 addresses are held at once");
  EXPECT_EQ(service->Handle("add eth0 10.0.0.3/24 60"), "err 10.0.0.3 is held already");
  EXPECT_EQ(net->HeldTemporary().size(), 16u);
  EXPECT_EQ(service->RemoveAll(), 0);
  EXPECT_TRUE(net->HeldTemporary().empty());
  EXPECT_EQ(service->HeldCount(), 0u);
}

TEST_F(ServiceFixture, EndingRemovesWhatIsStillHeld) {
  EXPECT_EQ(service->Handle("add eth0 10.0.0.9/24 60"), "ok");
  service.reset();
  EXPECT_TRUE(net->HeldTemporary().empty());
}

TEST_F(ServiceFixture, LimitsArpRequestsToFiftyASecond) {
  net->occupied = {Ip("10.0.0.7")};
  EXPECT_EQ(service->Handle("arp eth0 10.0.0.7 0.0.0.0"), "ok answered");
  EXPECT_EQ(service->Handle("arp - 10.0.0.8 10.0.0.1"), "ok no-answer");
  for (int i = 2; i < 50; ++i)
    ASSERT_EQ(service->Handle("arp eth0 10.0.0.8 0.0.0.0"), "ok no-answer");
  EXPECT_EQ(service->Handle("arp eth0 10.0.0.8 0.0.0.0"), "err at most 50 ARP requests a second");
  EXPECT_EQ(net->arpCount(), 50);
  now += std::chrono::milliseconds(1000);
  EXPECT_EQ(service->Handle("arp eth0 10.0.0.8 0.0.0.0"), "ok no-answer");
  net->arpFails = true;
  EXPECT_EQ(service->Handle("arp eth0 10.0.0.8 0.0.0.0"), "err scripted failure");
}

TEST_F(ServiceFixture, HoldsAPrivilegeOnlyForTheStepThatNeedsIt) {
  service->Handle("add eth0 10.0.0.9/24 60");
  EXPECT_EQ(privileges, (std::vector<NetdPrivilege>{NetdPrivilege::None, NetdPrivilege::Admin,
                                                    NetdPrivilege::None, NetdPrivilege::None}));
  privileges.clear();
  service->Handle("arp eth0 10.0.0.8 0.0.0.0");
  EXPECT_EQ(privileges, (std::vector<NetdPrivilege>{NetdPrivilege::None, NetdPrivilege::Raw,
                                                    NetdPrivilege::None, NetdPrivilege::None}));
  privileges.clear();
  EXPECT_EQ(service->Handle("add eth0 10.0.0.9/31 60"), "err prefix must be 8 to 30");
  EXPECT_EQ(privileges, std::vector<NetdPrivilege>{NetdPrivilege::None});
}

TEST_F(ServiceFixture, SaysWhichCapabilityItWasNeverGiven) {
  rawGiven = false;
  EXPECT_EQ(service->Handle("arp eth0 10.0.0.8 0.0.0.0")
                .rfind("err orvantis-netd does not hold CAP_NET_RAW", 0),
            0u);
  EXPECT_EQ(net->arpCount(), 0);
}

TEST_F(ServiceFixture, ReportsASystemFailureOnOneLine) {
  net->addResult = [](int, std::uint32_t) { return 1; };
  EXPECT_EQ(service->Handle("add eth0 10.0.0.9/24 60"), "err scripted failure");
  EXPECT_EQ(service->HeldCount(), 0u);
}

}  // namespace
}  // namespace orv
