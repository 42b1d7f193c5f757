// The address pages' rules that the page tests do not reach well: loading fields from the record,
// typed fields as stored, the mask rule's ranges, the read's suggestions and the ARP test's
// report. What Next stores and the wizard's proposal are tested through the pages.

#include "core/app/address_rules.h"

#include <gtest/gtest.h>

#include "core/util/ipv4.h"
#include "support/fake_host_network.h"

namespace orv::test {
namespace {

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

TEST(AddressRules, ReadJobSuggestsOnlyAddressesProbedFree) {
  // Every request errors (no privilege, no adapter): nothing is proposed.
  auto net = std::make_shared<FakeHostNetwork>();
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

TEST(AddressRules, ArpTestErrorsAreNotTestedNeverFree) {
  FakeHostNetwork net;
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
}  // namespace orv::test
