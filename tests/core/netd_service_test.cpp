// The helper's rules, checked against a scripted kernel: what it adds, where it sends ARP, and
// everything it refuses, with nothing changed or sent for a refusal.
#include "core/hostnet/netd_service.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/util/ipv4.h"
#include "support/fake_host_network.h"
#include "support/fake_host_network_kernel.h"

namespace orv::test {
namespace {

using Log = std::vector<std::string>;

struct ServiceFixture : ::testing::Test {
  std::shared_ptr<FakeHostNetworkKernel> kernel =
      std::make_shared<FakeHostNetworkKernel>(FakeHostNetworkKernel::Pc());
  std::vector<NetdPrivilege> privileges;
  std::vector<std::chrono::milliseconds> sleeps;
  bool rawGiven = true;
  bool adminGiven = true;
  std::unique_ptr<NetdService> service;

  void SetUp() override {
    kernel->answering = {Ip("192.168.5.98"), Ip("10.9.0.20")};
    service = std::make_unique<NetdService>(
        kernel,
        [this](NetdPrivilege p) {
          privileges.push_back(p);
          return (p != NetdPrivilege::Raw || rawGiven) && (p != NetdPrivilege::Admin || adminGiven);
        },
        [this](std::chrono::milliseconds d) { sleeps.push_back(d); });
  }
  std::string Add(const std::string& addr) {
    return service->Handle("add eth0 " + addr + "/24 120 192.168.5.98");
  }
  // Root changes the kernel behind the helper's back.
  void RootReplaces(const char* addr, int prefix, bool keepTagged = false) {
    auto& a = kernel->state.addresses;
    if (!keepTagged)
      std::erase_if(a, [&](const KernelAddress& k) { return k.tagged && k.addr == Ip(addr); });
    if (prefix > 0) a.push_back({2, Ip(addr), prefix, false});
  }
};

TEST_F(ServiceFixture, AddsATaggedAddressOnlyBesideACameraThatAnswers) {
  EXPECT_EQ(Add("192.168.5.253"), "ok");
  EXPECT_EQ(kernel->log, (Log{"arp 2 192.168.5.98<-0.0.0.0", "add 2 192.168.5.253/24 120"}));
  // Its own addresses are no overlap: a second one in the same subnet is fine.
  EXPECT_EQ(Add("192.168.5.252"), "ok");
  EXPECT_EQ(service->Handle("refresh eth0 192.168.5.253"), "ok");
  EXPECT_EQ(kernel->log.back(), "renew 2 192.168.5.253 120");
  EXPECT_EQ(service->Handle("del eth0 192.168.5.253"), "ok");
  EXPECT_EQ(kernel->log.back(), "del 2 192.168.5.253");
  EXPECT_EQ(service->Handle("del eth0 192.168.5.253"), "err not an address this helper added");
  EXPECT_EQ(Add("192.168.5.252"), "err 192.168.5.252 is held already");

  kernel->log.clear();
  EXPECT_EQ(service->Handle("add eth0 172.16.0.253/24 60 172.16.0.98"),
            "err nothing answers at 172.16.0.98");
  EXPECT_EQ(kernel->log, Log{"arp 2 172.16.0.98<-0.0.0.0"});
  EXPECT_EQ(service->RemoveAll(), 0);
  EXPECT_EQ(kernel->log.back(), "del 2 192.168.5.252");
}

TEST_F(ServiceFixture, RefusesSubnetsThatTouchThePcsOwnNetworks) {
  kernel->state.routes.push_back({Ip("203.0.113.0"), 24, 2, {Ip("192.0.2.1")}, false});
  kernel->answering.insert({Ip("10.9.0.1"), Ip("1.2.3.5"), Ip("8.8.8.9"), Ip("192.0.2.20")});
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"add eth0 10.9.0.1/24 600 10.9.0.20", "err 10.9.0.1/24 overlaps 10.9.0.10/24 on eth0"},
      {"add wlan0 10.9.200.1/16 600 10.9.0.20", "err 10.9.200.1/16 overlaps 10.9.0.10/24 on eth0"},
      {"add eth0 203.0.113.9/28 60 203.0.113.10",
       "err 203.0.113.9/28 overlaps the route to 203.0.113.0/24"},
      {"add eth0 192.0.2.10/24 60 192.0.2.20", "err 192.0.2.10/24 holds the gateway 192.0.2.1"},
      {"add eth0 8.8.8.8/8 600 8.8.8.9", "err 8.8.8.8/8 holds the DNS server 8.8.8.8"},
      {"add eth0 10.9.0.10/8 600 10.9.0.20", "err 10.9.0.10/8 overlaps 10.9.0.10/24 on eth0"},
      {"add eth9 192.168.5.9/24 60 192.168.5.98", "err no adapter eth9"},
      {"add lo 192.168.5.9/24 60 192.168.5.98",
       "err adapter lo is not an Ethernet or wireless adapter"},
      {"add ppp0 192.168.5.9/24 60 192.168.5.98",
       "err adapter ppp0 is not an Ethernet or wireless adapter"},
      {"add eth0 192.168.5.9/24 60", "err add takes 4 fields"}};
  for (const auto& [line, answer] : cases) EXPECT_EQ(service->Handle(line), answer) << line;
  // A full-tunnel VPN's two halves cover every subnet.
  kernel->state.routes.push_back({0, 1, 5, {}, false});
  kernel->state.routes.push_back({Ip("128.0.0.0"), 1, 5, {}, false});
  EXPECT_EQ(service->Handle("add eth0 1.2.3.4/8 600 1.2.3.5"),
            "err 1.2.3.4/8 overlaps the route to 0.0.0.0/1");
  EXPECT_TRUE(kernel->log.empty());
  EXPECT_EQ(service->HeldCount(), 0u);
}

TEST_F(ServiceFixture, SendsArpOnlyInItsOwnName) {
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"arp eth0 10.9.0.20 10.9.0.1", "err eth0 does not hold 10.9.0.1"},
      {"arp eth0 10.9.0.1 10.9.0.1", "err the target must differ from the source"},
      {"arp wlan0 10.9.0.20 10.9.0.10", "err wlan0 does not hold 10.9.0.10"},
      {"arp - 10.9.0.20 10.9.0.1", "err arp - needs a source address the PC holds"},
      {"arp lo 10.9.0.20 0.0.0.0", "err adapter lo is not an Ethernet or wireless adapter"}};
  for (const auto& [line, answer] : refused) EXPECT_EQ(service->Handle(line), answer) << line;
  EXPECT_TRUE(kernel->log.empty());

  EXPECT_EQ(service->Handle("arp eth0 10.9.0.20 10.9.0.10"), "ok answered");
  EXPECT_EQ(service->Handle("arp eth0 10.9.0.21 0.0.0.0"), "ok no-answer");
  EXPECT_EQ(service->Handle("arp - 10.9.0.21 10.9.0.10"), "ok no-answer");
  EXPECT_EQ(service->Handle("arp - 10.9.0.21 0.0.0.0"), "ok no-answer");  // out of wlan0
  ASSERT_EQ(Add("192.168.5.253"), "ok");
  EXPECT_EQ(service->Handle("arp eth0 192.168.5.97 192.168.5.253"), "ok no-answer");
  // The PC's own address is taken without asking the wire.
  EXPECT_EQ(service->Handle("arp eth0 10.9.0.10 0.0.0.0"), "ok answered");
  EXPECT_EQ(kernel->log, (Log{"arp 2 10.9.0.20<-10.9.0.10", "arp 2 10.9.0.21<-0.0.0.0",
                              "arp 2 10.9.0.21<-10.9.0.10", "arp 3 10.9.0.21<-0.0.0.0",
                              "arp 2 192.168.5.98<-0.0.0.0", "add 2 192.168.5.253/24 120",
                              "arp 2 192.168.5.97<-192.168.5.253"}));
  kernel->state.adapters[1].up = false;
  EXPECT_EQ(service->Handle("arp - 10.9.0.20 10.9.0.10"), "err adapter eth0 is not up");
  kernel->state.adapters[2].up = false;
  EXPECT_EQ(service->Handle("arp - 10.9.0.20 0.0.0.0"),
            "err no Ethernet or wireless adapter is up");
}

TEST_F(ServiceFixture, TouchesOnlyItsOwnAddressesWhileTheyAreStillItsOwn) {
  ASSERT_EQ(Add("192.168.5.253"), "ok");
  ASSERT_EQ(Add("192.168.5.252"), "ok");
  ASSERT_EQ(Add("192.168.5.251"), "ok");
  kernel->log.clear();
  RootReplaces("192.168.5.253", 0);  // ip addr del
  EXPECT_EQ(service->Handle("refresh eth0 192.168.5.253"), "err gone");
  EXPECT_EQ(service->Handle("refresh eth0 192.168.5.253"), "err not an address this helper added");
  RootReplaces("192.168.5.252", 24);  // deleted and added again as root's own
  EXPECT_EQ(service->Handle("refresh eth0 192.168.5.252"), "err gone");
  RootReplaces("192.168.5.7", 24, true);  // root's address beside a helper address
  EXPECT_EQ(service->Handle("del eth0 192.168.5.251"), "ok");
  EXPECT_EQ(kernel->log, Log{"del 2 192.168.5.251"});
  // Another helper's tagged address is not this one's.
  kernel->state.addresses.push_back({2, Ip("192.168.5.240"), 32, true});
  EXPECT_EQ(service->Handle("del eth0 192.168.5.240"), "err not an address this helper added");
  EXPECT_EQ(service->RemoveAll(), 0);
  EXPECT_EQ(kernel->log, Log{"del 2 192.168.5.251"});
  EXPECT_EQ(kernel->state.addresses.size(), 5u);  // lo, eth0, root's two, the other helper's
}

TEST_F(ServiceFixture, CountsEveryHelpersAddressesAndPacesArpUnderTheSharedLock) {
  for (int i = 1; i <= 15; ++i)
    kernel->state.addresses.push_back(
        {2, MakeIpv4(192, 168, 5, static_cast<std::uint8_t>(i)), 32, true});
  EXPECT_EQ(Add("192.168.5.253"), "ok");
  EXPECT_EQ(Add("192.168.5.252"), "err at most 16 helper addresses on the PC at once");
  EXPECT_EQ(kernel->locks, 2);  // the probe, and the count with the add; no probe when full
  EXPECT_TRUE(kernel->lockedDuringSend);
  EXPECT_EQ(sleeps, std::vector<std::chrono::milliseconds>{kNetdArpSpacing});
  EXPECT_EQ(kNetdArpSpacing, std::chrono::milliseconds(20));

  kernel->lockFree = false;
  kernel->log.clear();
  EXPECT_EQ(service->Handle("arp eth0 10.9.0.20 0.0.0.0"), "err scripted failure");
  EXPECT_TRUE(kernel->log.empty());
}

TEST_F(ServiceFixture, RaisesEachCapabilityOnlyForItsStep) {
  ASSERT_EQ(Add("192.168.5.253"), "ok");
  using P = NetdPrivilege;
  // Each is tried before the work, then Raw only opens the socket and Admin only adds.
  EXPECT_EQ(privileges, (std::vector<P>{P::None, P::Admin, P::None, P::Raw, P::None, P::Raw,
                                        P::None, P::None, P::Admin, P::None, P::None}));
  privileges.clear();
  EXPECT_EQ(service->Handle("add eth0 10.0.0.9/31 60 10.0.0.8"), "err prefix must be 8 to 30");
  EXPECT_EQ(privileges, std::vector<P>{P::None});
}

TEST_F(ServiceFixture, SaysWhichCapabilityItWasNeverGiven) {
  rawGiven = false;
  EXPECT_EQ(service->Handle("arp eth0 10.9.0.20 0.0.0.0")
                .rfind("err orvantis-netd does not hold CAP_NET_RAW", 0),
            0u);
  adminGiven = false;
  EXPECT_EQ(Add("192.168.5.253").rfind("err orvantis-netd does not hold CAP_NET_ADMIN", 0), 0u);
  EXPECT_TRUE(kernel->log.empty());
  adminGiven = rawGiven = true;
  kernel->addFails = true;
  EXPECT_EQ(Add("192.168.5.253"), "err scripted failure");
  EXPECT_EQ(service->HeldCount(), 0u);
}

}  // namespace
}  // namespace orv::test
