// The wired, wireless and wizard address pages and their IPv4 field, offscreen with the scripted
// UI services and the fake host network.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "gui/pages/address_fields.h"
#include "gui/pages/address_page.h"
#include "gui/pages/sub_wizard_ip.h"
#include "gui/support/page_test.h"
#include "gui/support/window_fixture.h"
#include "gui/widgets/ipv4_edit.h"
#include "gui/widgets/xbutton_xp.h"
#include "gui/window/sub_form_collection.h"
#include "support/fake_host_network.h"

namespace orv::test {

using namespace gui;

namespace {

template <typename Page>
class AddressPageTest : public PageTest<Page> {
 protected:
  // The texts of the fields in order, as shown.
  std::vector<QString> Shown() const {
    std::vector<QString> out;
    for (int i = 0; i < Fields()->count(); ++i) out.push_back(Fields()->field(i)->text());
    return out;
  }
  bool AnyFieldEnabled() const {
    for (int i = 0; i < Fields()->count(); ++i)
      if (Fields()->field(i)->isEnabled()) return true;
    return false;
  }
  bool AllFieldsEnabled() const {
    for (int i = 0; i < Fields()->count(); ++i)
      if (!Fields()->field(i)->isEnabled()) return false;
    return true;
  }
  auto* Fields() const { return this->page.fields(); }
  // Types into a field as a user does (select all, then the keys).
  static void Type(CIpv4Edit* edit, const char* keys) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromLatin1(keys));
  }
};

// The IPv4 field on its own.

TEST(Ipv4Edit, TypingKeepsFourOctetsOfAtMost255) {
  CIpv4Edit edit;
  QSignalSpy edited(&edit, &CIpv4Edit::addressEdited);
  QTest::keyClicks(&edit, QStringLiteral("192.168.300.25x.7.9"));
  EXPECT_EQ(edit.text(), "192.168.30.25") << "256+, letters and a fifth octet cannot be typed";
  EXPECT_GT(edited.count(), 0);
  EXPECT_EQ(edit.AddressText(), "192.168.30.25");

  edit.clear();
  EXPECT_EQ(edit.AddressText(), "0.0.0.0") << "blank reads as four zero octets";
  QTest::keyClicks(&edit, QStringLiteral("10.1"));
  EXPECT_EQ(edit.AddressText(), "10.1.0.0");
  EXPECT_EQ(edit.Address(), orv::test::Ip("10.1.0.0")) << "network order";
}

TEST(Ipv4Edit, LoadingShowsOnlyAnAddressAndIsNoUserEdit) {
  CIpv4Edit edit;
  QSignalSpy edited(&edit, &CIpv4Edit::addressEdited);
  edit.SetAddressText("172.16.5.9");
  EXPECT_EQ(edit.text(), "172.16.5.9");
  edit.SetAddressText("192.168.001.010");
  EXPECT_EQ(edit.text(), "192.168.1.10");
  edit.SetAddressText("255.255.255.255");
  EXPECT_EQ(edit.text(), "255.255.255.255") << "the typing limit never cuts a loaded address";
  for (const char* bad : {"", "not an address", "172.16.5", "172.16.5.999"}) {
    edit.SetAddressText(bad);
    EXPECT_EQ(edit.text(), "") << bad;
  }
  EXPECT_EQ(edited.count(), 0);

  QLabel label(QStringLiteral("Subnet mask:"));
  edit.SetLabel(&label);
  EXPECT_EQ(edit.accessibleName(), "Subnet mask:");
  EXPECT_EQ(label.buddy(), &edit);
}

// Wired address page.

using WiredPage = AddressPageTest<CSubLANIP>;

TEST_F(WiredPage, FixedRecordAfterADhcpVisitLoadsIntoFieldsThatStayDisabled) {
  session.net.IPType = 0;
  page.Prepare();
  EXPECT_TRUE(page.dhcpButton()->isChecked());
  EXPECT_FALSE(page.fixedButton()->isChecked());
  EXPECT_FALSE(AnyFieldEnabled());

  session.net.IPType = 1;
  session.net.IPAddr = "192.168.0.20";
  session.net.Netmask = "255.255.255.0";
  session.net.Gateway = "192.168.0.1";
  session.net.DNS1 = "192.168.0.1";
  session.net.DNS2 = "8.8.4.4";
  page.Prepare();
  EXPECT_TRUE(page.fixedButton()->isChecked());
  EXPECT_FALSE(page.dhcpButton()->isChecked());
  EXPECT_EQ(Shown(), (std::vector<QString>{"192.168.0.20", "255.255.255.0", "192.168.0.1",
                                           "192.168.0.1", "8.8.4.4"}));
  EXPECT_FALSE(AnyFieldEnabled()) << "enabled state unchanged by the prepare";
  page.fixedButton()->click();
  EXPECT_TRUE(AllFieldsEnabled());
  page.dhcpButton()->click();
  EXPECT_FALSE(AnyFieldEnabled());
  EXPECT_EQ(session.net.IPType, 1) << "the buttons store nothing before Next";
  EXPECT_TRUE(sink.posted.empty());
}

TEST_F(WiredPage, APppoeTypeChecksNeitherAndNextAsksToChooseOne) {
  // A PPPoE camera whose ISP page chose LAN keeps IPType 2 until this page stores one.
  session.net.IPType = 2;
  session.net.IPAddr = "10.0.0.9";
  page.Prepare();
  EXPECT_FALSE(page.dhcpButton()->isChecked() || page.fixedButton()->isChecked());
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  const MessageRequest& m = fakes.prompter.shown[0].request;
  EXPECT_EQ(m.text, "Please choose one !");
  EXPECT_EQ(m.caption, "Orvantis");
  EXPECT_EQ(m.icon, MessageIcon::None);
  EXPECT_EQ(session.net.IPType, 2);
  EXPECT_EQ(session.net.IPAddr, "10.0.0.9");
  EXPECT_TRUE(sink.posted.empty());

  page.dhcpButton()->click();
  page.nextButton()->click();
  EXPECT_EQ(session.net.IPType, 0);
  EXPECT_EQ(session.net.IPAddr, "10.0.0.9") << "DHCP stores the type only";
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{14, 6}));
}

TEST_F(WiredPage, EmptyOrInvalidRecordTextsLoadBlankAndBlankStoresZeros) {
  session.net.IPType = 1;
  session.net.IPAddr = "192.168.0.20";
  session.net.Netmask = "255.255.255.0";
  session.net.Gateway = "";
  session.net.DNS1 = "dns.example";
  session.net.DNS2 = "";
  page.Prepare();
  page.fixedButton()->click();
  EXPECT_EQ(Shown(), (std::vector<QString>{"192.168.0.20", "255.255.255.0", "", "", ""}));
  page.nextButton()->click();
  EXPECT_EQ(session.net.IPType, 1);
  EXPECT_EQ(session.net.IPAddr, "192.168.0.20");
  // Never a broadcast gateway or DNS server that nobody typed.
  EXPECT_EQ(session.net.Gateway, "0.0.0.0");
  EXPECT_EQ(session.net.DNS1, "0.0.0.0");
  EXPECT_EQ(session.net.DNS2, "0.0.0.0");
}

TEST_F(WiredPage, TypedFieldsAreStoredAndNextFollowsTheCamerasCapability) {
  session.net.IPType = 0;
  session.extendedCgi = 1;
  session.sys.wirelessCapable = 0;
  page.Prepare();
  page.fixedButton()->click();
  Type(page.fields()->field(0), "10.1.2.3");
  Type(page.fields()->field(1), "255.0.0.0");
  page.nextButton()->click();
  EXPECT_EQ(session.net.IPAddr, "10.1.2.3");
  EXPECT_EQ(session.net.Netmask, "255.0.0.0");
  EXPECT_TRUE(fakes.prompter.shown.empty()) << "no wireless question without the capability";

  session.sys.wirelessCapable = 1;
  fakes.prompter.Answer(MessageAnswer::Yes);
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.shown[0].request.icon, MessageIcon::Question);
  EXPECT_EQ(fakes.prompter.shown[0].request.caption, "Orvantis");
  EXPECT_EQ(fakes.prompter.shown[0].request.buttons, MessageButtons::YesNo);
  EXPECT_EQ(session.linkWireless, 1);
  fakes.prompter.Answer(MessageAnswer::No);
  page.nextButton()->click();
  EXPECT_EQ(session.linkWireless, 0);

  // A capability byte that is neither 0 nor 1 counts as 0: Next still goes on.
  session.sys.wirelessCapable = 2;
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{14, 7, 14, 14}));
  EXPECT_EQ(fakes.prompter.shown.size(), 2u);
}

// Wireless address page.

using WirelessPage = AddressPageTest<CSubWLANIP>;

TEST_F(WirelessPage, FixedPrepareEnablesAndLoadsAndNextStoresTheWirelessSet) {
  session.net.WIPType = 0;
  page.Prepare();
  EXPECT_TRUE(page.dhcpButton()->isChecked());
  EXPECT_FALSE(AnyFieldEnabled());

  session.net.WIPType = 1;
  session.net.WIPAddr = "192.168.1.50";
  session.net.WNetmask = "255.255.255.0";
  session.net.WGateway = "192.168.1.1";
  session.net.WDNS1 = "";
  session.net.WDNS2 = "garbage";
  page.Prepare();
  EXPECT_TRUE(page.fixedButton()->isChecked());
  EXPECT_TRUE(AllFieldsEnabled());
  EXPECT_EQ(Shown(),
            (std::vector<QString>{"192.168.1.50", "255.255.255.0", "192.168.1.1", "", ""}));
  Type(page.fields()->field(3), "192.168.1.1");
  page.nextButton()->click();
  EXPECT_EQ(session.net.WIPType, 1);
  EXPECT_EQ(session.net.WIPAddr, "192.168.1.50");
  EXPECT_EQ(session.net.WDNS1, "192.168.1.1");
  EXPECT_EQ(session.net.WDNS2, "0.0.0.0");
  EXPECT_EQ(session.net.IPAddr, "") << "the wired set is not touched";

  page.dhcpButton()->click();
  EXPECT_FALSE(AnyFieldEnabled());
  page.nextButton()->click();
  EXPECT_EQ(session.net.WIPType, 0);
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{14, 14, 7}));
}

TEST_F(WirelessPage, UnknownTypeChecksNeitherAndNextAsksToChooseOne) {
  session.net.WIPType = 3;
  page.Prepare();
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), "Please choose one !");
  EXPECT_EQ(session.net.WIPType, 3);
  EXPECT_TRUE(sink.posted.empty());
}

// Wizard address page.

class WizardPage : public AddressPageTest<CSubWizardIP> {
 protected:
  WizardPage() {
    net = std::make_shared<FakeHostNetwork>();
    page.SetHostNetwork(net);
    session.pcAddrText = "192.168.0.10";
    session.pcMaskText = "255.255.255.0";
    session.pcGatewayText = "192.168.0.1";
    session.pcDnsText = "192.168.0.2";
    session.pcDhcp = 0;
  }
  CIpv4Edit* Address() { return page.fields()->field(0); }
  CIpv4Edit* Mask() { return page.fields()->field(1); }
  std::shared_ptr<FakeHostNetwork> net;
};

TEST_F(WizardPage, APcOnAFixedAddressGetsTheSuggestionAndItsOwnNetwork) {
  page.SetSuggestedAddresses({orv::test::Ip("192.168.0.253"), orv::test::Ip("192.168.0.252")});
  session.net.IPType = 0;
  page.Prepare();
  EXPECT_TRUE(page.fixedButton()->isChecked());
  EXPECT_TRUE(page.fixedButton()->isEnabled());
  EXPECT_FALSE(page.dhcpButton()->isChecked());
  EXPECT_TRUE(AllFieldsEnabled());
  EXPECT_TRUE(page.testButton()->isEnabled());
  EXPECT_EQ(session.net.IPType, 1);
  EXPECT_EQ(Shown(),
            (std::vector<QString>{"192.168.0.253", "255.255.255.0", "192.168.0.1", "192.168.0.2"}));

  page.nextButton()->click();
  EXPECT_EQ(session.net.IPAddr, "192.168.0.253");
  EXPECT_EQ(session.net.Netmask, "255.255.255.0");
  EXPECT_EQ(session.net.Gateway, "192.168.0.1");
  EXPECT_EQ(session.net.DNS1, "192.168.0.2");
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{14, 4}));
}

TEST_F(WizardPage, NoSuggestionAndNoDnsServerLeaveBlankFieldsThatStoreZeros) {
  session.pcDnsText = "";
  page.Prepare();
  EXPECT_EQ(Shown(), (std::vector<QString>{"", "255.255.255.0", "192.168.0.1", ""}));
  page.nextButton()->click();
  EXPECT_EQ(session.net.IPAddr, "0.0.0.0");
  EXPECT_EQ(session.net.DNS1, "0.0.0.0");
}

TEST_F(WizardPage, APcOnDhcpProposesDhcpWithFixedStillSelectable) {
  session.pcDhcp = 1;
  session.net.IPType = 1;
  page.SetSuggestedAddresses({orv::test::Ip("192.168.0.253")});
  page.Prepare();
  EXPECT_TRUE(page.dhcpButton()->isChecked());
  EXPECT_FALSE(page.fixedButton()->isChecked());
  EXPECT_TRUE(page.fixedButton()->isEnabled());
  EXPECT_FALSE(AnyFieldEnabled());
  EXPECT_FALSE(page.testButton()->isEnabled());
  EXPECT_EQ(session.net.IPType, 0);

  page.fixedButton()->click();
  EXPECT_TRUE(AllFieldsEnabled());
  EXPECT_TRUE(page.testButton()->isEnabled());
  EXPECT_EQ(session.net.IPType, 0) << "Fixed stores nothing before Next";
  page.nextButton()->click();
  EXPECT_EQ(session.net.IPType, 1);
}

TEST_F(WizardPage, TypedFirstOctetSetsTheMaskOfItsNetworkOthersLeaveIt) {
  page.Prepare();
  Type(Mask(), "255.255.255.128");
  Type(Address(), "172");
  EXPECT_EQ(Mask()->text(), "255.255.0.0");
  QTest::keyClicks(Address(), QStringLiteral(".16.0.20"));
  EXPECT_EQ(Mask()->text(), "255.255.0.0");
  Type(Address(), "192");
  EXPECT_EQ(Mask()->text(), "255.255.255.0");
  Type(Mask(), "255.255.255.252");
  Type(Address(), "10.0.0.20");
  EXPECT_EQ(Mask()->text(), "255.255.255.252");
  Type(Address(), "224.0.0.1");
  EXPECT_EQ(Mask()->text(), "255.255.255.252");

  // Loading is no edit: a suggestion of 172.16.x keeps the PC's own mask.
  page.SetSuggestedAddresses({orv::test::Ip("172.16.0.253")});
  page.Prepare();
  EXPECT_EQ(Address()->text(), "172.16.0.253");
  EXPECT_EQ(Mask()->text(), "255.255.255.0");
}

TEST_F(WizardPage, DhcpOnAWirelessLinkSetsBothTypesAndGoesToTheAccessPoints) {
  session.linkWireless = 1;
  session.sys.wirelessCapable = 1;
  session.sys.wpsCapable = 0;
  session.net.WIPType = 1;
  page.Prepare();
  EXPECT_EQ(session.net.IPType, 1);
  page.dhcpButton()->click();
  EXPECT_EQ(session.net.IPType, 0) << "the DHCP click stores the wired type at once";
  EXPECT_FALSE(AnyFieldEnabled());
  EXPECT_FALSE(page.testButton()->isEnabled());
  EXPECT_TRUE(page.fixedButton()->isEnabled());
  page.nextButton()->click();
  EXPECT_EQ(session.net.WIPType, 0);
  EXPECT_EQ(session.net.IPType, 0);
  EXPECT_EQ(sink.posted, std::vector<int>{20});
}

TEST_F(WizardPage, FixedOnAWirelessLinkWritesTheWirelessSetWithoutWpsDhcpAsksAboutWps) {
  session.linkWireless = 1;
  session.sys.wirelessCapable = 1;
  session.sys.wpsCapable = 1;
  session.useWps = 1;  // a Yes from an earlier visit
  session.net.WDNS2 = "9.9.9.9";
  page.SetSuggestedAddresses({orv::test::Ip("192.168.0.253")});
  page.Prepare();
  page.nextButton()->click();
  EXPECT_EQ(session.net.WIPType, 1);
  EXPECT_EQ(session.net.WIPAddr, "192.168.0.253");
  EXPECT_EQ(session.net.WDNS1, "192.168.0.2");
  EXPECT_EQ(session.net.WDNS2, "9.9.9.9") << "the wizard page has no second DNS field";
  EXPECT_EQ(session.net.IPAddr, "");
  EXPECT_TRUE(fakes.prompter.shown.empty()) << "the WPS save could not write the fixed address";
  EXPECT_EQ(session.useWps, 0);

  page.dhcpButton()->click();
  fakes.prompter.Answer(MessageAnswer::Yes);
  page.nextButton()->click();
  EXPECT_EQ(session.net.WIPType, 0);
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.shown[0].request.caption, "");
  EXPECT_EQ(fakes.prompter.shown[0].request.icon, MessageIcon::Question);
  EXPECT_EQ(session.useWps, 1);

  // Capability bytes other than 0 or 1 count as 0: the wired set, and on to the UPnP page.
  session.sys.wirelessCapable = 7;
  page.fixedButton()->click();
  page.nextButton()->click();
  EXPECT_EQ(session.net.IPAddr, "192.168.0.253");
  EXPECT_EQ(sink.posted, (std::vector<int>{20, 27, 14}));
}

TEST_F(WizardPage, ArpTestRunsOffThePageAndTellsInUseFreeOrNotTested) {
  net->occupied = {orv::test::Ip("192.168.0.30")};
  page.Prepare();
  Type(Address(), "192.168.0.30");
  page.testButton()->click();
  Type(Address(), "192.168.0.31");
  page.testButton()->click();
  net->arpFails = true;  // no privilege, no adapter: nothing is known
  page.testButton()->click();
  EXPECT_EQ(fakes.calls.calls, 3) << "each request through the call runner";
  EXPECT_EQ(net->ArpLog(),
            (std::vector<std::string>{"192.168.0.30<-192.168.0.10", "192.168.0.31<-192.168.0.10",
                                      "192.168.0.31<-192.168.0.10"}));
  ASSERT_EQ(fakes.prompter.shown.size(), 3u);
  const auto& m = fakes.prompter.shown;
  EXPECT_EQ(m[0].request.icon, MessageIcon::Stop);
  EXPECT_EQ(m[0].request.text, QString::fromStdString(pack.Utf8("WizardIPPage", "Message1")));
  EXPECT_EQ(m[1].request.icon, MessageIcon::Information);
  EXPECT_EQ(m[1].request.text, QString::fromStdString(pack.Utf8("WizardIPPage", "Message2")));
  EXPECT_EQ(m[2].request.icon, MessageIcon::Warning);
  EXPECT_EQ(m[2].request.text, QString::fromStdString(pack.Utf8("WizardIPPage", "Message4")));
  EXPECT_FALSE(m[2].request.text.isEmpty());
  for (const auto& r : m) EXPECT_EQ(r.request.caption, "");
  EXPECT_TRUE(sink.posted.empty()) << "nothing is stored or posted";
  EXPECT_EQ(session.net.IPAddr, "");

  // A blank field is not asked about.
  net->arpFails = false;
  Address()->clear();
  page.testButton()->click();
  EXPECT_EQ(net->arpCount(), 3);
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Warning);
}

TEST_F(WizardPage, ArpAnswerArrivingAfterThePageWasLeftIsDropped) {
  fakes.calls.deferred = true;
  page.Prepare();
  Type(Address(), "192.168.0.31");
  page.testButton()->click();
  EXPECT_TRUE(sink.busy) << "the page area is disabled while the request runs";
  page.testButton()->click();
  EXPECT_EQ(sink.pageWorks, 1) << "a second test waits for the first";
  page.NotifyLeft();
  fakes.calls.RunPending();
  EXPECT_FALSE(sink.busy);
  EXPECT_TRUE(fakes.prompter.shown.empty());
}

TEST_F(WizardPage, EveryFieldIsNamedByItsLabelInEachPack) {
  EXPECT_EQ(Address()->accessibleName(), "IP Address");
  EXPECT_EQ(page.fields()->field(3)->accessibleName(), "DNS Server");
  EXPECT_EQ(page.testButton()->accessibleName(), "Test Address");
  const i18n::LanguagePack chinese = Pack("CHT.ini");
  page.LoadTexts(chinese);
  EXPECT_EQ(Mask()->accessibleName().toStdString(), chinese.Utf8("WizardIPPage", "Submask"));
  EXPECT_EQ(page.dhcpButton()->accessibleName().toStdString(),
            chinese.Utf8("WizardIPPage", "RadioDHCP"));
}

TEST_F(WizardPage, TabGoesThroughTheButtonsTheAddressItsTestTheOtherFieldsThenBackAndNext) {
  std::vector<QWidget*> expected = {page.dhcpButton(), page.fixedButton(), page.fields()->field(0),
                                    page.testButton()};
  for (int i = 1; i < page.fields()->count(); ++i) expected.push_back(page.fields()->field(i));
  for (QWidget* w :
       {static_cast<QWidget*>(page.backButton()), static_cast<QWidget*>(page.nextButton())})
    expected.push_back(w);
  std::vector<QWidget*> seen;
  QWidget* w = page.dhcpButton();
  do {
    if (std::find(expected.begin(), expected.end(), w) != expected.end()) seen.push_back(w);
    w = w->nextInFocusChain();
  } while (w != page.dhcpButton() && seen.size() < expected.size());
  EXPECT_EQ(seen, expected);
}

// The window hands the page the read's free addresses (step 30) and its own host network.
TEST(WizardPageInTheWindow, ProposesTheReadsFreeAddressAndTestsThroughTheWindowsNetwork) {
  auto net = std::make_shared<FakeHostNetwork>();
  net->occupied = {orv::test::Ip("192.168.0.253")};
  test::WindowOnFakes f;
  f.net = net;
  f.work.readJob = [](WorkerJob& job) {
    job.suggestedAddresses = {orv::test::Ip("192.168.0.252"), orv::test::Ip("192.168.0.251")};
    job.ok = 1;
    job.done = 1;
  };
  ASSERT_TRUE(f.Start());
  CWizardDlg& w = *f.window;
  w.session().newCamera = 1;
  w.session().pcAddrText = "192.168.0.10";
  w.session().pcDhcp = 0;
  w.OnStep(nav::kStepRead);
  for (int i = 0; i < 500 && !w.jobs().JobEnded(); ++i) QTest::qWait(10);
  ASSERT_TRUE(w.jobs().JobEnded());
  for (int i = 0; i < 97; ++i) w.OnTimer(WindowTimer::WorkerPoll);
  test::WindowOnFakes::Settle();
  w.OnStep(nav::kStepWizardAddress);
  auto* page = static_cast<CSubWizardIP*>(w.page(nav::kPageWizardAddress));
  EXPECT_EQ(w.pageArea()->current(), static_cast<int>(nav::kPageWizardAddress));
  EXPECT_EQ(page->fields()->field(0)->text(), "192.168.0.252");

  page->fields()->field(0)->setText(QStringLiteral("192.168.0.253"));
  page->testButton()->click();
  ASSERT_FALSE(f.fakes.prompter.shown.empty());
  EXPECT_EQ(f.fakes.prompter.shown.back().request.icon, MessageIcon::Stop);
  EXPECT_EQ(net->ArpLog().back(), "192.168.0.253<-192.168.0.10");
  EXPECT_FALSE(w.busy());
}

}  // namespace
}  // namespace orv::test
