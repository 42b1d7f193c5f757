// The address pages' rules: loading fields from the record, storing typed fields, the wizard
// page's proposal and mask rule, and what its ARP test reports.

#include "core/app/address_rules.h"

#include <gtest/gtest.h>

#include "core/util/ipv4.h"
#include "support/fake_host_network.h"

namespace orv {
namespace {

using test::Ip;

TEST(AddressRules, OnlyFourOctetsLoadAndEverythingElseLoadsBlank) {
  EXPECT_EQ(AddressFieldText("192.168.0.20"), "192.168.0.20");
  EXPECT_EQ(AddressFieldText("0.0.0.0"), "0.0.0.0");
  EXPECT_EQ(AddressFieldText("255.255.255.255"), "255.255.255.255");
  EXPECT_EQ(AddressFieldText("192.168.001.010"), "192.168.1.10") << "zeros read as decimal";
  // Never the broadcast address that Next would then store as a gateway, DNS server or mask.
  for (const char* bad : {"", " ", "192.168.0", "192.168.0.256", "192.168.0.1.5", "a.b.c.d",
                          "192.168.0.1 ", "-1.0.0.0", "1..2.3", "0x7f.0.0.1", "1234.0.0.1"})
    EXPECT_EQ(AddressFieldText(bad), "") << '"' << bad << '"';
  EXPECT_EQ(ParseAddressField("10.1.2.3"), Ip("10.1.2.3")) << "network order";
}

TEST(AddressRules, TypedTextBecomesADottedQuadWithBlanksAsZero) {
  EXPECT_EQ(AddressFromTyped(""), "0.0.0.0");
  EXPECT_EQ(AddressFromTyped("..."), "0.0.0.0");
  EXPECT_EQ(AddressFromTyped("192.168"), "192.168.0.0");
  EXPECT_EQ(AddressFromTyped("10..5."), "10.0.5.0");
  EXPECT_EQ(AddressFromTyped("172.16.5.9"), "172.16.5.9");
  EXPECT_EQ(TypedFirstOctet("172"), 172);
  EXPECT_EQ(TypedFirstOctet("19.0"), 19);
  EXPECT_EQ(TypedFirstOctet(".1.2.3"), std::nullopt);
}

TEST(AddressRules, MaskRuleByFirstOctet) {
  EXPECT_EQ(MaskForFirstOctet(172), "255.255.0.0");
  EXPECT_EQ(MaskForFirstOctet(128), "255.255.0.0");
  EXPECT_EQ(MaskForFirstOctet(191), "255.255.0.0");
  EXPECT_EQ(MaskForFirstOctet(192), "255.255.255.0");
  EXPECT_EQ(MaskForFirstOctet(223), "255.255.255.0");
  for (int first : {0, 10, 127, 224, 255}) EXPECT_EQ(MaskForFirstOctet(first), std::nullopt);
}

TEST(AddressRules, WiredAndWirelessNextStoreTheirOwnSetOnly) {
  SessionRecord s;
  s.net.IPType = 2;
  s.net.IPAddr = "10.0.0.9";
  const AddressFields f{"192.168.0.20", "255.255.255.0", "192.168.0.1", "8.8.8.8", "0.0.0.0"};
  EXPECT_FALSE(StoreWiredAddress(s, AddressMode::None, f));
  EXPECT_EQ(s.net.IPType, 2);
  EXPECT_EQ(s.net.IPAddr, "10.0.0.9");

  EXPECT_TRUE(StoreWiredAddress(s, AddressMode::Dhcp, f));
  EXPECT_EQ(s.net.IPType, 0);
  EXPECT_EQ(s.net.IPAddr, "10.0.0.9") << "DHCP keeps the fixed set";

  EXPECT_TRUE(StoreWiredAddress(s, AddressMode::Fixed, f));
  EXPECT_EQ(s.net.IPType, 1);
  EXPECT_EQ(s.net.IPAddr, "192.168.0.20");
  EXPECT_EQ(s.net.Netmask, "255.255.255.0");
  EXPECT_EQ(s.net.Gateway, "192.168.0.1");
  EXPECT_EQ(s.net.DNS1, "8.8.8.8");
  EXPECT_EQ(s.net.DNS2, "0.0.0.0");
  EXPECT_EQ(s.net.WIPAddr, "");

  EXPECT_TRUE(StoreWirelessAddress(s, AddressMode::Fixed, f));
  EXPECT_EQ(s.net.WIPType, 1);
  EXPECT_EQ(s.net.WIPAddr, "192.168.0.20");
  EXPECT_EQ(s.net.WDNS2, "0.0.0.0");
  EXPECT_TRUE(StoreWirelessAddress(s, AddressMode::Dhcp, f));
  EXPECT_EQ(s.net.WIPType, 0);
  EXPECT_EQ(s.net.IPType, 1);

  s.net.WGateway = "";
  EXPECT_EQ(WirelessAddressFields(s).gateway, "") << "an empty record text loads blank";
  EXPECT_EQ(WiredAddressFields(s).addr, "192.168.0.20");
  EXPECT_EQ(AddressModeOf(0), AddressMode::Dhcp);
  EXPECT_EQ(AddressModeOf(1), AddressMode::Fixed);
  EXPECT_EQ(AddressModeOf(2), AddressMode::None);
}

TEST(AddressRules, WizardProposalFollowsThePcAndTheProbedSuggestions) {
  SessionRecord s;
  s.pcAddrText = "192.168.0.10";
  s.pcMaskText = "255.255.255.0";
  s.pcGatewayText = "192.168.0.1";
  s.pcDnsText = "";
  s.pcDhcp = 0;
  s.net.IPType = 0;
  WizardAddressProposal p = ProposeWizardAddress(s, {Ip("192.168.0.253"), Ip("192.168.0.251")});
  EXPECT_FALSE(p.dhcp);
  EXPECT_EQ(s.net.IPType, 1);
  EXPECT_EQ(p.fields.addr, "192.168.0.253");
  EXPECT_EQ(p.fields.mask, "255.255.255.0");
  EXPECT_EQ(p.fields.gateway, "192.168.0.1");
  EXPECT_EQ(p.fields.dns1, "") << "no DNS server known: blank, never 255.255.255.255";

  // No suggestion (the read found no free address): a blank field, not 0.0.0.0 typed in.
  EXPECT_EQ(ProposeWizardAddress(s, {}).fields.addr, "");

  s.pcDhcp = 1;
  p = ProposeWizardAddress(s, {Ip("192.168.0.253")});
  EXPECT_TRUE(p.dhcp);
  EXPECT_EQ(s.net.IPType, 0);
}

TEST(AddressRules, ReadJobSuggestsOnlyAddressesProbedFree) {
  // Every request errors (no privilege, no adapter): nothing is proposed.
  auto net = std::make_shared<test::FakeHostNetwork>();
  net->arpFails = true;
  SessionRecord s;
  s.pcAddrText = "192.168.0.10";
  s.connectAllowed.store(1);
  FreeAddressResult found = FindFreeAddressesFromPc(MakeFreeAddressFinder(net), s, 2);
  EXPECT_TRUE(found.addresses.empty());
  EXPECT_EQ(ProposeWizardAddress(s, found.addresses).fields.addr, "");

  // .253 errors, .252 answers: .251 and .250 are the ones nobody answered for.
  net->arpFails = false;
  net->arpFailsFor = {Ip("192.168.0.253")};
  net->occupied = {Ip("192.168.0.252")};
  found = FindFreeAddressesFromPc(MakeFreeAddressFinder(net), s, 2);
  EXPECT_EQ(found.addresses,
            (std::vector<std::uint32_t>{Ip("192.168.0.251"), Ip("192.168.0.250")}));
  EXPECT_EQ(ProposeWizardAddress(s, found.addresses).fields.addr, "192.168.0.251");
}

TEST(AddressRules, WizardNextWritesTheSetOfTheChosenLink) {
  const AddressFields f{"172.16.0.20", "255.255.0.0", "172.16.0.1", "172.16.0.2", "9.9.9.9"};
  SessionRecord s;
  s.net.DNS2 = "1.1.1.1";
  StoreWizardAddress(s, AddressMode::Fixed, f);
  EXPECT_EQ(s.net.IPType, 1);
  EXPECT_EQ(s.net.IPAddr, "172.16.0.20");
  EXPECT_EQ(s.net.DNS1, "172.16.0.2");
  EXPECT_EQ(s.net.DNS2, "1.1.1.1") << "the wizard has no second DNS field";

  // A wireless link on a wireless camera: the wireless set.
  SessionRecord w;
  w.linkWireless = 1;
  w.sys.wirelessCapable = 1;
  StoreWizardAddress(w, AddressMode::Fixed, f);
  EXPECT_EQ(w.net.WIPType, 1);
  EXPECT_EQ(w.net.WIPAddr, "172.16.0.20");
  EXPECT_EQ(w.net.WDNS1, "172.16.0.2");
  EXPECT_EQ(w.net.IPAddr, "");

  // A capability byte other than 0 or 1 counts as 0: the wired set.
  w.sys.wirelessCapable = 5;
  StoreWizardAddress(w, AddressMode::Fixed, f);
  EXPECT_EQ(w.net.IPType, 1);
  EXPECT_EQ(w.net.IPAddr, "172.16.0.20");

  // DHCP on a wireless link: the button sets IPType, Next sets WIPType.
  SessionRecord d;
  d.linkWireless = 1;
  d.sys.wirelessCapable = 1;
  d.net.IPType = 1;
  d.net.WIPType = 1;
  ChooseWizardDhcp(d);
  StoreWizardAddress(d, AddressMode::Dhcp, f);
  EXPECT_EQ(d.net.IPType, 0);
  EXPECT_EQ(d.net.WIPType, 0);
  EXPECT_EQ(d.net.WIPAddr, "");
  d.linkWireless = 0;
  d.net.IPType = 1;
  StoreWizardAddress(d, AddressMode::Dhcp, f);
  EXPECT_EQ(d.net.IPType, 0);
}

TEST(AddressRules, ArpTestErrorsAreNotTestedNeverFree) {
  test::FakeHostNetwork net;
  SessionRecord s;
  s.pcAddrText = "192.168.0.10";
  net.occupied = {Ip("192.168.0.30")};
  EXPECT_EQ(ReportAddressTest(TestWizardAddress(&net, s, Ip("192.168.0.30"))),
            AddressTestReport::InUse);
  EXPECT_EQ(ReportAddressTest(TestWizardAddress(&net, s, Ip("192.168.0.31"))),
            AddressTestReport::Free);
  EXPECT_EQ(net.ArpLog(),
            (std::vector<std::string>{"192.168.0.30<-192.168.0.10", "192.168.0.31<-192.168.0.10"}));
  net.arpFails = true;
  EXPECT_EQ(ReportAddressTest(TestWizardAddress(&net, s, Ip("192.168.0.31"))),
            AddressTestReport::NotTested);
  net.arpFails = false;
  const int before = net.arpCount();
  EXPECT_EQ(TestWizardAddress(&net, s, 0), AddressUse::Failed) << "a blank field is not asked";
  EXPECT_EQ(TestWizardAddress(nullptr, s, Ip("192.168.0.31")), AddressUse::Failed);
  EXPECT_EQ(net.arpCount(), before);
}

}  // namespace
}  // namespace orv
