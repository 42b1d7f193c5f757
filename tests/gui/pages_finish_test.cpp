// The summary, finish and link-server pages offscreen with the scripted UI services.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTreeWidget>
#include <nlohmann/json.hpp>

#include "core/app/camera_fields.h"
#include "core/app/navigation.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/util/ipv4.h"
#include "gui/pages/sub_link_ser.h"
#include "gui/pages/sub_set_auto_param.h"
#include "gui/pages/sub_setup_finish.h"
#include "gui/support/page_test.h"
#include "gui/support/window_fixture.h"
#include "gui/widgets/xbutton_xp.h"
#include "gui/window/sub_form_collection.h"
#include "support/fake_discovery.h"

namespace orv::test {

using namespace gui;

namespace {

// ---- Summary

class SummaryPage : public PageTest<CSubSetAutoParam> {
 protected:
  SummaryPage() {
    session.sys.TitleBar = "hall";
    session.sys.Desp = "front";
    session.pcGatewayText = "10.0.0.1";
    session.net.IPAddr = "192.168.0.98";
    session.net.Netmask = "255.255.255.0";
    session.net.Gateway = "192.168.0.1";
    session.net.DNS1 = "192.168.0.2";
    session.sys.HttpPort = 80;
    session.sys.secondPort = 1025;
    session.sys.RTSPPort = 554;
  }
};

TEST_F(SummaryPage, TextsUseThePacksLabelsAsTheyStand) {
  session.net.IPType = 0;
  session.sys.UPnPE = 1;
  page.Prepare();
  EXPECT_EQ(page.systemText(), "Host name:hall\nDescription:front");
  // DHCP: the PC's gateway, not one of the camera's addresses.
  EXPECT_EQ(page.networkText(), "DHCP IP Address\nGateway:10.0.0.1");
  EXPECT_EQ(page.wirelessText(), "This camera has no wireless link.");
  EXPECT_EQ(page.upnpText(), "UPnP on\nHTTP port:80\nStream port:1025\nRTSP port:554");

  // The group titles and buttons follow the language.
  const i18n::LanguagePack chinese = Pack("CHT.ini");
  page.LoadTexts(chinese);
  page.Prepare();
  EXPECT_EQ(page.nextButton()->text().toStdString(), chinese.Utf8("Common", "BtnSave"));
  EXPECT_EQ(page.systemText().toStdString(), chinese.Utf8("SystemPage", "Hostname") + "hall\n" +
                                                 chinese.Utf8("SystemPage", "Description") +
                                                 "front");
}

TEST_F(SummaryPage, WirelessTextsByCapabilityAndWps) {
  session.linkWireless = 1;
  session.useWps = 1;
  session.wpsAck = 1;
  page.Prepare();
  EXPECT_EQ(page.wirelessText(), "This camera has no wireless link.") << "only this line";
  session.sys.wirelessCapable = 1;
  page.Prepare();
  EXPECT_EQ(page.wirelessText(),
            "Wireless link set up by WPS\n"
            "WPS succeeded: the camera has the router's wireless settings.");
  session.wpsAck = 0;
  page.Prepare();
  EXPECT_EQ(page.wirelessText(),
            "Wireless link set up by WPS\n"
            "WPS failed: the camera has no wireless settings from the router.");
  session.useWps = 0;
  session.net.SSID = "lab";
  session.net.WireSec = 3;
  page.Prepare();
  EXPECT_EQ(page.wirelessText(), "SSID:lab\nSecurity:WPA2-PSK");
}

TEST_F(SummaryPage, UpnpOffStillListsThePorts) {
  session.sys.UPnPE = 0;
  page.Prepare();
  EXPECT_EQ(page.upnpText(), "UPnP off\nHTTP port:80\nStream port:1025\nRTSP port:554");
}

TEST_F(SummaryPage, AnAddressTypeOutsideTheThreeKeepsTheEarlierText) {
  session.net.IPType = 1;
  page.Prepare();
  const QString fixed = page.networkText();
  EXPECT_EQ(fixed,
            "Fixed IP:192.168.0.98\nSubnet Mask:255.255.255.0\nGateway:192.168.0.1\n"
            "DNS Server:192.168.0.2");
  session.net.IPType = 7;
  session.sys.TitleBar = "new";
  page.Prepare();
  EXPECT_EQ(page.networkText(), fixed);
  EXPECT_EQ(page.systemText(), "Host name:new\nDescription:front") << "the others are rebuilt";
}

TEST_F(SummaryPage, BothAddressSetsWhenBothAreWrittenTheWiredOneAloneByWps) {
  session.net.IPType = 1;
  session.net.WIPType = 1;
  session.net.WIPAddr = "192.168.0.150";
  session.net.WNetmask = "255.255.255.0";
  session.net.WGateway = "192.168.0.254";
  session.net.WDNS1 = "192.168.0.253";
  session.sys.wirelessCapable = 1;
  session.linkWireless = 1;
  page.Prepare();
  const QString wired =
      "Fixed IP:192.168.0.98\nSubnet Mask:255.255.255.0\nGateway:192.168.0.1\n"
      "DNS Server:192.168.0.2";
  EXPECT_EQ(page.networkText(), wired +
                                    "\nFixed Wireless IP:192.168.0.150\nSubnet Mask:255.255.255.0\n"
                                    "Gateway:192.168.0.254\nDNS Server:192.168.0.253");
  session.useWps = 1;
  page.Prepare();
  EXPECT_EQ(page.networkText(), wired) << "the WPS save writes no wireless address";
}

TEST_F(SummaryPage, CameraTextsAreShownAsPlainText) {
  session.sys.TitleBar = "<a href=\"http://x\">click</a>";
  page.Prepare();
  const auto* label = page.findChild<QLabel*>(QStringLiteral("systemText"));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->textFormat(), Qt::PlainText);
  EXPECT_TRUE(page.systemText().startsWith("Host name:<a href="));
}

TEST_F(SummaryPage, SaveAsksOnceCancelTouchesNothingOkStartsTheSave) {
  page.Prepare();
  const std::string before = CameraSettingsJson(session).dump();
  fakes.prompter.Answer(MessageAnswer::Cancel);
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  const MessageRequest& ask = fakes.prompter.shown.back().request;
  EXPECT_EQ(ask.buttons, MessageButtons::OkCancel);
  EXPECT_EQ(ask.icon, MessageIcon::Information);
  EXPECT_TRUE(ask.caption.isEmpty());
  EXPECT_EQ(ask.text.toStdString(), pack.Utf8("SetAutoParamPage", "Message1", i18n::kSummaryChars));
  EXPECT_TRUE(sink.posted.empty());
  EXPECT_EQ(CameraSettingsJson(session).dump(), before);

  fakes.prompter.Answer(MessageAnswer::Ok);
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{nav::kStepSave});
  page.backButton()->click();
  EXPECT_EQ(sink.posted.back(), nav::kStepUpnp);
}

// ---- Finish page

CameraEntry Row(const char* ip, const char* port, const char* desc) {
  CameraEntry e;
  e.mac = "00:1C:A0:00:00:77";
  e.ip = ip;
  e.port = port;
  e.desc = desc;
  e.cam_id = "SN0077";
  e.sport = "1025";
  return e;
}

using FinishPage = PageTest<CSubSetupFinish>;

TEST_F(FinishPage, ShowsTheRefoundRowAndItsLink) {
  session.sys.NATStat = 1;
  page.SetCamera(Row("10.0.0.77", "8080", "Vexor-41HA/wireless"));
  page.Prepare();
  EXPECT_EQ(page.addressText(), "http://10.0.0.77:8080");
  EXPECT_EQ(page.macText(), "00:1C:A0:00:00:77");
  EXPECT_EQ(page.interfaceText(), "wireless");
  EXPECT_EQ(page.portText(), "8080");
  EXPECT_EQ(page.secondPortText(), "1025");
  EXPECT_EQ(page.cameraIdText(), "SN0077");
  EXPECT_EQ(page.linkStatusText(), "Camera is linked  with Server");
  EXPECT_EQ(page.linkButton()->text(), "Web Page");

  page.linkButton()->click();
  ASSERT_EQ(fakes.browser.opened.size(), 1u);
  EXPECT_EQ(fakes.browser.opened[0].toString(), "http://10.0.0.77:8080");
  EXPECT_TRUE(sink.posted.empty());
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{nav::kStepHome});
}

TEST_F(FinishPage, EveryFieldIsRefilledNothingOfTheEarlierCameraStays) {
  session.sys.NATStat = 1;
  page.SetCamera(Row("10.0.0.77", "8080", "Vexor-41HA/wireless"));
  page.Prepare();
  for (int stat : {0, 2}) {
    session.sys.NATStat = static_cast<std::uint8_t>(stat);
    CameraEntry next = Row("10.0.0.78", "80", "Vexor-41HA");
    next.sport = "";
    next.mac = "";
    page.SetCamera(next);
    page.Prepare();
    EXPECT_EQ(page.linkStatusText(), "Camera isn't linked  with Server");
    EXPECT_EQ(page.interfaceText(), "") << "the earlier camera's interface is gone";
    EXPECT_EQ(page.macText(), "");
    EXPECT_EQ(page.secondPortText(), "");
    EXPECT_EQ(page.addressText(), "http://10.0.0.78:80");
  }
  page.SetCamera(Row("10.0.0.78", "80", "Vexor-41HA/ethernet"));
  page.Prepare();
  EXPECT_EQ(page.interfaceText(), "ethernet");
}

TEST_F(FinishPage, AnUnsoundAddressOrPortShowsAsTextAndOpensNothing) {
  const std::pair<const char*, const char*> rows[] = {
      {"evil.example", "80"}, {"10.0.0.77", "0"}, {"10.0.0.77", "80/../x"}, {"<b>1</b>", "80"}};
  for (const auto& [ip, port] : rows) {
    page.SetCamera(Row(ip, port, "Vexor-41HA/wireless"));
    page.Prepare();
    EXPECT_EQ(page.addressText().toStdString(), std::string("http://") + ip + ":" + port);
    EXPECT_FALSE(page.linkButton()->isEnabled()) << ip << " " << port;
    page.linkButton()->click();
    const auto* label = page.findChild<QLabel*>(QStringLiteral("addressText"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
  }
  EXPECT_TRUE(fakes.browser.opened.empty());
  page.SetCamera(Row("10.0.0.77", "80", ""));
  page.Prepare();
  EXPECT_TRUE(page.linkButton()->isEnabled());
}

TEST(FinishAfterSave, AFailedNatReadShowsNotLinkedNeverTheEarlierStatus) {
  WindowOnFakes f;
  FakeDiscoveryRig rig;
  rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5")};
  f.makeFinder = [&rig] { return std::make_unique<CPLipf>(rig.Environment()); };
  f.work.readNat = [](SessionRecord& s) {
    s.sys.NATStat = 1;  // a partial answer before the failure
    return -3;
  };
  ASSERT_TRUE(f.Start());
  CWizardDlg& w = *f.window;
  SessionRecord& s = w.session();
  s.wizardMode = 1;
  s.newCamera = 1;
  s.cameraSerial = "SN0042";
  s.sys.NATStat = 1;  // what an earlier camera reported
  w.OnStep(nav::kStepSave);
  for (int i = 0; i < 500 && !w.jobs().JobEnded(); ++i) QTest::qWait(10);
  for (int i = 0; i < 92; ++i) w.OnTimer(WindowTimer::WorkerPoll);
  for (int i = 0; i < 61; ++i) w.OnTimer(WindowTimer::Refind);
  ReplySpec moved = NumberedCamera(42);
  moved.cameraId = "SN0042";
  moved.ip = "10.0.0.77";
  rig.net->DeliverAll(MakeReply(moved));
  for (int i = 0; i < 5 && w.timerActive(WindowTimer::Refind); ++i) w.OnTimer(WindowTimer::Refind);
  WindowOnFakes::Settle();
  ASSERT_EQ(w.pageArea()->current(), static_cast<int>(nav::kPageFinish));
  auto* finish = static_cast<CSubSetupFinish*>(w.page(nav::kPageFinish));
  EXPECT_EQ(s.sys.NATStat, 0);
  EXPECT_EQ(finish->linkStatusText(), "Camera isn't linked  with Server");
  EXPECT_EQ(finish->addressText().left(17), "http://10.0.0.77:");
}

// ---- Link-server list

LinkServerCameraEntry Entry(const char* id, const char* ip, const char* port, const char* model) {
  LinkServerCameraEntry e;
  e.ID = id;
  e.IP = ip;
  e.Port = port;
  e.Modelname = model;
  e.Mac_address = "00:1C:A0:00:00:01";
  return e;
}

class LinkServerPage : public PageTest<CSubLinkSer> {
 protected:
  void Fill(std::vector<LinkServerCameraEntry> list) {
    page.SetCameras(std::move(list));
    page.Prepare();
  }
  void Select(int row) {
    QTreeWidget* list = page.cameraList();
    list->clearSelection();
    list->topLevelItem(row)->setSelected(true);
  }
};

TEST_F(LinkServerPage, TwoCamerasFillTwoRowsInTheOrderOfTheAnswer) {
  QTreeWidget* list = page.cameraList();
  ASSERT_EQ(list->columnCount(), 5);
  const QStringList headers = {"IP", "ID", "Port", "Model", "Mac Address"};
  for (int c = 0; c < 5; ++c) EXPECT_EQ(list->headerItem()->text(c), headers[c]);
  const auto* title = page.findChild<QLabel*>(QStringLiteral("titleLine"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), "The camera on the Server");

  Fill({Entry("SN2", "10.0.0.20", "80", "<i>Vexor</i>"), Entry("SN1", "10.0.0.10", "8080", "M")});
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "10.0.0.20");
  EXPECT_EQ(list->topLevelItem(0)->text(1), "SN2");
  EXPECT_EQ(list->topLevelItem(0)->text(2), "80");
  EXPECT_EQ(list->topLevelItem(0)->text(3), "<i>Vexor</i>");
  EXPECT_EQ(list->topLevelItem(0)->text(4), "00:1C:A0:00:00:01");
  EXPECT_EQ(list->topLevelItem(1)->text(0), "10.0.0.10");
  EXPECT_TRUE(list->selectedItems().isEmpty());

  // Shown again: the list is rebuilt, not appended to; an empty answer leaves it empty.
  page.Prepare();
  EXPECT_EQ(list->topLevelItemCount(), 2);
  Fill({});
  EXPECT_EQ(list->topLevelItemCount(), 0);
}

TEST_F(LinkServerPage, DoubleClickOpensTheSelectedRowsPageAndNothingWithoutOne) {
  Fill({Entry("SN2", "10.0.0.20", "80", "M"), Entry("SN1", "10.0.0.10", "8080", "M")});
  session.cameraAddr = 0x01020304;
  page.OpenSelected();
  EXPECT_TRUE(fakes.browser.opened.empty());
  EXPECT_EQ(session.cameraAddr, 0x01020304u);

  Select(1);
  emit page.cameraList()->itemDoubleClicked(page.cameraList()->topLevelItem(1), 0);
  ASSERT_EQ(fakes.browser.opened.size(), 1u);
  EXPECT_EQ(fakes.browser.opened[0].toString(), "http://10.0.0.10:8080");
  EXPECT_EQ(session.cameraAddr, ParseIpv4OrZero("10.0.0.10"));
}

TEST_F(LinkServerPage, CellsThatAreNoAddressOrPortOpenNothing) {
  Fill({Entry("A", "camera.example", "80", "M"), Entry("B", "10.0.0.10", "99999", "M"),
        Entry("C", "10.0.0.10", "80 ", "M")});
  session.cameraAddr = 7;
  for (int row = 0; row < 3; ++row) {
    Select(row);
    page.OpenSelected();
  }
  EXPECT_TRUE(fakes.browser.opened.empty());
  EXPECT_EQ(session.cameraAddr, 7u);
}

TEST_F(LinkServerPage, FinishAndBack) {
  page.nextButton()->click();
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{nav::kStepHome, nav::kStepLinkServerLogin}));
}

}  // namespace
}  // namespace orv::test
