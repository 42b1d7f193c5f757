// The access-point list, the manual wireless page and the two WPS pages offscreen, with the
// scripted UI services; scans and WPS sessions against the emulated camera where a real answer
// matters, and timer 2 driven through its handler.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <future>
#include <memory>
#include <utility>

#include "camsim.h"
#include "core/app/navigation.h"
#include "core/camera_http/requests.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "gui/pages/sub_ap_scan.h"
#include "gui/pages/sub_wlan_ap.h"
#include "gui/pages/sub_wps.h"
#include "gui/pages/sub_wps_pic.h"
#include "gui/support/page_test.h"
#include "gui/widgets/xbutton_xp.h"
#include "gui/window/real_services.h"
#include "support/loopback_camera.h"

namespace orv::test {

using namespace gui;

namespace {

template <typename Page>
class WirelessPageTest : public PageTest<Page> {
 protected:
  // The user picks entry index of list (activated fires only for the user).
  static void Pick(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  QString Text(const char* section, const char* key) {
    return QString::fromStdString(this->pack.Utf8(section, key, i18n::kMessageChars));
  }
  bool NetUnchanged(const SessionRecord& before) const {
    return std::memcmp(&before.net, &this->session.net, sizeof(NetworkSettings)) == 0;
  }
};

// The listed controls in the order the focus chain meets them, starting at the first.
std::vector<QWidget*> TabWalk(const std::vector<QWidget*>& controls) {
  std::vector<QWidget*> met{controls.front()};
  for (QWidget* w = controls.front()->nextInFocusChain();
       w != controls.front() && met.size() < controls.size(); w = w->nextInFocusChain()) {
    if (std::find(controls.begin(), controls.end(), w) != controls.end()) met.push_back(w);
  }
  return met;
}

camsim::AccessPoint Air(const std::string& ssid, const std::string& security, int channel,
                        int quality) {
  camsim::AccessPoint ap;
  ap.ssid = ssid;
  ap.security = security;
  ap.channel = channel;
  ap.quality = quality;
  ap.algorithm = security == "WEP" ? "" : "AES";
  return ap;
}

// ---- The access-point list

using ApListPage = WirelessPageTest<CSubAPScan>;

TEST_F(ApListPage, ARealScanOfThreeAccessPointsListsAP1ToAP3AndShowsTheChosenOne) {
  camsim::CameraConfig cam;
  cam.accessPoints = {Air("lab net", "WPA2-PSK", 6, 80), Air("Caf\xc3\xa9 & co", "WEP", 11, 42),
                      Air("open", "None", 1, 7)};
  LoopbackCamera camera(cam);
  ASSERT_TRUE(camera.started());
  camera.Point(session);
  const auto list = ScanAccessPoints(session);
  ASSERT_TRUE(list.has_value());
  page.SetAccessPoints(*list);
  const SessionRecord before = session;
  page.Prepare();
  EXPECT_TRUE(NetUnchanged(before)) << "preparing never changes the record";
  ASSERT_EQ(page.apList()->count(), 3);
  EXPECT_EQ(page.apList()->itemText(0), "AP 1");
  EXPECT_EQ(page.apList()->itemText(2), "AP 3");
  EXPECT_EQ(page.ssidEdit()->text(), "lab net");
  EXPECT_FALSE(page.wepKeyEdit()->isEnabled());
  EXPECT_TRUE(page.wpaKeyEdit()->isEnabled());

  Pick(page.apList(), 1);
  EXPECT_EQ(page.channelEdit()->text(), "11");
  EXPECT_EQ(page.qualityEdit()->text(), "42");
  EXPECT_EQ(page.ssidEdit()->text(), QString::fromUtf8("Caf\xc3\xa9 & co"));
  EXPECT_TRUE(page.wepKeyEdit()->isEnabled());
  EXPECT_FALSE(page.wpaKeyEdit()->isEnabled());
  Pick(page.apList(), 2);
  EXPECT_FALSE(page.wepKeyEdit()->isEnabled());
  EXPECT_FALSE(page.wpaKeyEdit()->isEnabled());
  EXPECT_TRUE(fakes.prompter.shown.empty());
}

TEST_F(ApListPage, AHexKeyClearsTheOtherKeysAndABadOneIsRefusedWithMessage3) {
  AccessPointEntry wep;
  wep.SSID = "wep net";
  wep.Security = "WEP";
  wep.Mode = "Infrastructure";
  wep.Channel = 3;
  page.SetAccessPoints({wep});
  session.net.WEPKey0 = "aaaaa";
  session.net.WEPKey3 = "bbbbb";
  page.Prepare();
  Pick(page.keyFormatList(), 0);  // HEX
  Pick(page.keyNumberList(), 1);
  Pick(page.keyModeList(), 1);  // Shared
  page.wepKeyEdit()->setText(QStringLiteral("12345ABCDG"));
  const SessionRecord before = session;
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("ApscanPage", "Message3"));
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Warning);
  EXPECT_TRUE(fakes.prompter.shown.back().request.caption.isEmpty());
  EXPECT_TRUE(NetUnchanged(before));
  EXPECT_TRUE(sink.posted.empty());

  page.wepKeyEdit()->setText(QStringLiteral("12345ABCDE"));
  page.nextButton()->click();
  ASSERT_EQ(sink.posted, std::vector<int>{nav::kStepUpnp});
  EXPECT_EQ(session.net.WEPKey1, "12345ABCDE");
  EXPECT_TRUE(session.net.WEPKey0.empty());
  EXPECT_TRUE(session.net.WEPKey3.empty());
  EXPECT_EQ(session.net.WepKeyL, 0);
  EXPECT_EQ(session.net.WEPAuthM, 1) << "Shared is kept for the network write";

  // 128 bits: the list page stores the list's index, 1.
  Pick(page.keyLengthList(), 1);
  EXPECT_EQ(page.wepKeyEdit()->maxLength(), 26);
  page.wepKeyEdit()->setText(QStringLiteral("12345ABCDE"));
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("ApscanPage", "Message5")) << "wrong length";
  page.wepKeyEdit()->setText(QStringLiteral("12345ABCDE12345ABCDE123456"));
  page.nextButton()->click();
  EXPECT_EQ(session.net.WepKeyL, 1);
  page.wepKeyEdit()->clear();
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("ApscanPage", "Message2"));
}

TEST_F(ApListPage, ALengthChangeNeverCutsTheTypedKey) {
  AccessPointEntry wep;
  wep.Security = "WEP";
  page.SetAccessPoints({wep});
  page.Prepare();
  Pick(page.keyFormatList(), 0);
  Pick(page.keyLengthList(), 1);
  page.wepKeyEdit()->setText(QString(26, QLatin1Char('A')));
  Pick(page.keyLengthList(), 0);
  EXPECT_EQ(page.wepKeyEdit()->text().size(), 26);
}

TEST_F(ApListPage, AWpaNetworkNeedsItsKey) {
  AccessPointEntry wpa;
  wpa.SSID = "w";
  wpa.Security = "WPA-PSK";
  wpa.Algorithm = "TKIP";
  page.SetAccessPoints({wpa});
  page.Prepare();
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("ApscanPage", "Message4"));
  SetSystemCodePage(kCodePageWestern);
  page.wpaKeyEdit()->setText(QString::fromUtf8("\xe4\xb8\xad"));
  page.nextButton()->click();
  SetSystemCodePage(kCodePageUtf8);
  EXPECT_EQ(fakes.prompter.LastText(), Text("ApscanPage", "Message6")) << "not storable";
  page.wpaKeyEdit()->setText(QStringLiteral("passphrase"));
  page.nextButton()->click();
  EXPECT_EQ(session.net.WPAKey, "passphrase");
  EXPECT_EQ(session.net.WireSec, 2);
  EXPECT_EQ(session.net.WPAEnc, 1);
}

TEST_F(ApListPage, NoAccessPointAsksToScanAgainAndARescanThatFindsSomeEnablesTheListAgain) {
  session.apCount = 4;  // stale: the adopted list is what counts
  page.SetAccessPoints({});
  fakes.prompter.Answer(MessageAnswer::No);
  page.Prepare();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.LastText(), Text("ApscanPage", "Message1"));
  EXPECT_EQ(fakes.prompter.shown.back().request.buttons, MessageButtons::YesNo);
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Warning);
  EXPECT_TRUE(sink.posted.empty());
  EXPECT_FALSE(page.apList()->isEnabled());
  EXPECT_FALSE(page.wpaKeyEdit()->isEnabled());
  EXPECT_FALSE(page.keyFormatList()->isEnabled());
  EXPECT_EQ(page.apList()->count(), 0);
  session.net.SSID = "old";
  page.nextButton()->click();
  EXPECT_TRUE(session.net.SSID.empty());
  EXPECT_EQ(sink.posted, std::vector<int>{nav::kStepUpnp});

  fakes.prompter.Answer(MessageAnswer::Yes);
  page.Prepare();
  EXPECT_EQ(sink.posted.back(), nav::kRescan);

  AccessPointEntry ap;
  ap.Security = "WPA2-PSK";
  page.SetAccessPoints({ap, ap});
  page.Prepare();
  EXPECT_EQ(page.apList()->count(), 2);
  EXPECT_TRUE(page.apList()->isEnabled());
  EXPECT_TRUE(page.ssidEdit()->isEnabled());
  EXPECT_TRUE(page.wpaKeyEdit()->isEnabled());
}

TEST_F(ApListPage, NamesFromTheAirThatAreNotTextAreEscapedAndStoredAsTheyCame) {
  AccessPointEntry ap;
  ap.SSID = "caf\xff\x1b";
  ap.Security = "None";
  page.SetAccessPoints({ap});
  page.Prepare();
  EXPECT_EQ(page.ssidEdit()->text(), "caf\\xFF\\x1B");
  page.nextButton()->click();
  EXPECT_EQ(session.net.SSID, "caf\xff\x1b");

  ap.SSID = "<b>x</b><a href=\"http://e.invalid\">y</a>";
  page.SetAccessPoints({ap});
  page.Prepare();
  EXPECT_EQ(page.ssidEdit()->text(), "<b>x</b><a href=\"http://e.invalid\">y</a>");
}

TEST_F(ApListPage, EveryControlIsNamedAndTheTabOrderFollowsTheColumns) {
  AccessPointEntry ap;
  ap.Security = "WEP";
  page.SetAccessPoints({ap});
  page.Prepare();
  for (QWidget* w : page.findChildren<QWidget*>()) {
    if (w->focusPolicy() & Qt::TabFocus && !qobject_cast<QLabel*>(w) && w->parent() == &page) {
      EXPECT_FALSE(w->accessibleName().isEmpty()) << w->metaObject()->className();
    }
  }
  EXPECT_EQ(page.wepKeyEdit()->accessibleName(), Text("ApscanPage", "WEPKey"));
  const std::vector<QWidget*> visual{
      page.apList(),      page.macEdit(),       page.ssidEdit(),      page.modeEdit(),
      page.channelEdit(), page.qualityEdit(),   page.securityEdit(),  page.algorithmEdit(),
      page.keyModeList(), page.keyFormatList(), page.keyLengthList(), page.keyNumberList(),
      page.wepKeyEdit(),  page.wpaKeyEdit(),    page.backButton(),    page.nextButton()};
  EXPECT_EQ(TabWalk(visual), visual);
}

// ---- The manual page

using ManualPage = WirelessPageTest<CSubWLANAP>;

TEST_F(ManualPage, LoadingShowsTheRecordWithoutChangingItAndPassingKeepsIt) {
  session.net.SSID = "home";
  session.net.WireType = 0;
  session.net.ChType = 2;
  session.net.WireCh = 14;
  session.net.TxRate = "5.5M";
  session.net.WireSec = 1;
  session.net.WEPAuthM = 1;
  session.net.WEPMode = 0;
  session.net.WEPKeyE0 = 2;
  session.net.WepKeyL = 128;
  session.net.WEPKey2 = "12345ABCDE12345ABCDE123456";
  session.net.WPAKey = std::string(63, 'p');
  const SessionRecord before = session;
  page.Prepare();
  EXPECT_TRUE(NetUnchanged(before));
  EXPECT_EQ(page.channelList()->count(), 15);
  EXPECT_EQ(page.channelList()->currentText(), "14");
  EXPECT_EQ(page.rateList()->currentText(), "5.5M");
  EXPECT_EQ(page.keyLengthList()->currentText(), "128 bits");
  EXPECT_EQ(page.wepKeyEdit()->text(), "12345ABCDE12345ABCDE123456") << "never cut";
  EXPECT_EQ(page.wpaKeyEdit()->text().size(), 63);
  EXPECT_FALSE(page.wepGroup()->isHidden());
  EXPECT_TRUE(page.wpaGroup()->isHidden());
  const std::vector<QWidget*> visual{
      page.ssidEdit(),      page.modeList(),   page.channelList(),   page.rateList(),
      page.securityList(),  page.authList(),   page.keyLengthList(), page.keyFormatList(),
      page.keyNumberList(), page.wepKeyEdit(), page.algorithmList(), page.wpaKeyEdit(),
      page.backButton(),    page.nextButton()};
  EXPECT_EQ(TabWalk(visual), visual);
  page.nextButton()->click();
  ASSERT_EQ(sink.posted, std::vector<int>{nav::kStepWirelessAddress});
  EXPECT_EQ(session.net.TxRate, "5.5M") << "the camera's rate, not Auto";
  EXPECT_EQ(session.net.WEPKey2, "12345ABCDE12345ABCDE123456");
  EXPECT_EQ(session.net.WPAKey, std::string(63, 'p'));
  EXPECT_EQ(session.net.WEPAuthM, 1);
  EXPECT_EQ(session.net.WepKeyL, 128) << "the manual page stores bits";
  EXPECT_EQ(session.net.WireCh, 14);

  // Coming back with WepKeyL 64 and the 64-bit key: the list shows 64 bits.
  session.net.WepKeyL = 64;
  session.net.WEPKey2 = "12345ABCDE";
  page.Prepare();
  EXPECT_EQ(page.keyLengthList()->currentText(), "64 bits");
  page.nextButton()->click();
  EXPECT_EQ(session.net.WepKeyL, 64);
}

TEST_F(ManualPage, ChannelTypesInfrastructureAndRates) {
  session.net.ChType = 4;
  session.net.WireType = 0;
  session.net.WireCh = 11;
  session.net.WireSec = 2;
  session.net.WPAKey = "k";
  page.Prepare();
  QStringList channels;
  for (int i = 0; i < page.channelList()->count(); ++i) channels << page.channelList()->itemText(i);
  EXPECT_EQ(channels, (QStringList{"Auto", "10", "11"}));
  EXPECT_EQ(page.channelList()->currentText(), "11");
  EXPECT_TRUE(page.channelList()->isEnabled());
  Pick(page.modeList(), 1);  // Infrastructure
  EXPECT_EQ(page.channelList()->currentText(), "Auto");
  EXPECT_FALSE(page.channelList()->isEnabled());
  Pick(page.rateList(), 3);
  page.nextButton()->click();
  EXPECT_EQ(session.net.WireType, 1);
  EXPECT_EQ(session.net.WireCh, 0);
  EXPECT_EQ(session.net.TxRate, "5.5M");

  session.net.TxRate = "7M";  // not in the list: kept unless the user picks one
  page.Prepare();
  EXPECT_EQ(page.rateList()->currentIndex(), -1);
  page.nextButton()->click();
  EXPECT_EQ(session.net.TxRate, "7M");
}

TEST_F(ManualPage, EmptyWrongAndNonHexKeysAreRefused) {
  session.net.ChType = 0;
  session.net.WireSec = 0;
  page.Prepare();
  EXPECT_TRUE(page.wepGroup()->isHidden());
  EXPECT_TRUE(page.wpaGroup()->isHidden());
  Pick(page.securityList(), 1);
  EXPECT_FALSE(page.wepGroup()->isHidden());
  const SessionRecord before = session;
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("WLANAPPage", "Message2")) << "an empty WEP key";
  EXPECT_EQ(fakes.prompter.shown.back().request.caption, "Orvantis");
  Pick(page.keyFormatList(), 0);
  page.wepKeyEdit()->setText(QStringLiteral("12345ABCDG"));
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("WLANAPPage", "Message1"));
  page.wepKeyEdit()->setText(QStringLiteral("12345"));
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("WLANAPPage", "Message4"));
  EXPECT_TRUE(NetUnchanged(before));
  EXPECT_TRUE(sink.posted.empty());

  Pick(page.securityList(), 3);
  EXPECT_TRUE(page.wepGroup()->isHidden());
  EXPECT_FALSE(page.wpaGroup()->isHidden());
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.LastText(), Text("WLANAPPage", "Message3")) << "an empty WPA key";
  page.wpaKeyEdit()->setText(QStringLiteral("secret"));
  page.nextButton()->click();
  EXPECT_EQ(session.net.WireSec, 3);
  EXPECT_EQ(session.net.WPAKey, "secret");
}

TEST_F(ManualPage, CameraValuesOutOfRangeSelectNothingAndStayUnlessTheUserPicks) {
  session.net.ChType = 9;
  session.net.WireCh = 6;
  session.net.WireType = 5;
  session.net.WireSec = 6;
  session.net.WEPAuthM = 2;
  session.net.WEPMode = 3;
  session.net.WEPKeyE0 = 8;
  session.net.WPAEnc = 4;
  page.Prepare();
  EXPECT_EQ(page.channelList()->count(), 0);
  EXPECT_EQ(page.modeList()->currentIndex(), -1);
  EXPECT_EQ(page.securityList()->currentIndex(), -1);
  EXPECT_EQ(page.keyNumberList()->currentIndex(), -1);
  EXPECT_EQ(page.algorithmList()->currentIndex(), -1);
  page.nextButton()->click();
  EXPECT_EQ(session.net.WireCh, 6);
  EXPECT_EQ(session.net.WireType, 5);
  EXPECT_EQ(session.net.WireSec, 6);
  EXPECT_EQ(session.net.WPAEnc, 4);
  EXPECT_EQ(session.net.WEPKeyE0, 8);
  Pick(page.modeList(), 1);
  page.nextButton()->click();
  EXPECT_EQ(session.net.WireType, 1);
}

TEST_F(ManualPage, AnUnchangedKeyWithABackslashPassesAndATypedKeyIsNeverDropped) {
  session.net.ChType = 0;
  session.net.WireSec = 1;
  session.net.WEPMode = 1;  // ASCII, 64 bits: five characters
  session.net.WepKeyL = 64;
  session.net.WEPKey1 = "ab\\cd";
  session.net.WEPKeyE0 = 1;
  page.Prepare();
  EXPECT_EQ(page.wepKeyEdit()->text(), "ab\\\\cd") << "shown escaped";
  page.nextButton()->click();
  EXPECT_TRUE(fakes.prompter.shown.empty()) << fakes.prompter.LastText().toStdString();
  EXPECT_EQ(session.net.WEPKey1, "ab\\cd");

  // The camera's default key is none of the four and the user picks none: the typed key is key 1.
  session.net.WEPKeyE0 = 8;
  page.Prepare();
  EXPECT_EQ(page.keyNumberList()->currentIndex(), -1);
  page.wepKeyEdit()->setText(QStringLiteral("abcde"));
  page.nextButton()->click();
  EXPECT_TRUE(fakes.prompter.shown.empty());
  EXPECT_EQ(session.net.WEPKey0, "abcde");
  EXPECT_EQ(session.net.WEPKeyE0, 0);
  EXPECT_EQ(sink.posted, (std::vector<int>{9, 9}));
}

TEST_F(ManualPage, AnSsidThatIsNotTextSurvivesAVisitAndATooLongOneIsRefused) {
  session.net.SSID = "n\xff";
  session.net.ChType = 0;
  page.Prepare();
  EXPECT_EQ(page.ssidEdit()->text(), "n\\xFF");
  page.nextButton()->click();
  EXPECT_EQ(session.net.SSID, "n\xff");
  page.ssidEdit()->setText(QString(64, QLatin1Char('s')));
  EXPECT_EQ(page.ssidEdit()->text().size(), 32) << "typing stops at 32 characters";

  // A name the system code page cannot hold is refused, never stored changed.
  SetSystemCodePage(kCodePageWestern);
  page.ssidEdit()->setText(QString::fromUtf8("\xe4\xb8\xad"));
  page.nextButton()->click();
  SetSystemCodePage(kCodePageUtf8);
  EXPECT_EQ(fakes.prompter.LastText(), Text("WLANAPPage", "Message5"));
  EXPECT_EQ(session.net.SSID, "n\xff");
}

// ---- The WPS pages

using WpsDiagramPage = WirelessPageTest<CSubWPSPic>;

TEST_F(WpsDiagramPage, TextsAndSteps) {
  EXPECT_EQ(page.firstNote()->text(), Text("WPSPicPage", "Note1"));
  EXPECT_EQ(page.secondNote()->text(), Text("WPSPicPage", "Note2"));
  page.nextButton()->click();
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{nav::kStepWps, nav::kStepWizardAddress}));
}

class WpsPage : public WirelessPageTest<CSubWPS> {
 protected:
  WpsPage() { session.apCount = 3; }
  // n ticks of timer 2 through its handler.
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) page.OnTimer2();
  }
  // A scripted camera: polls answer status/ack; counts starts and polls.
  void Script(int startResult, std::uint8_t status, std::uint8_t ack) {
    page.SetRequests(
        [this, startResult](SessionRecord&) {
          starts.push_back(page.wps().counter());
          return startResult;
        },
        [this, status, ack](SessionRecord& s) {
          ++polls;
          s.wpsStatus = status;
          s.wpsAck = ack;
          return 0;
        });
  }
  std::vector<int> starts;
  int polls = 0;
};

TEST_F(WpsPage, AnAcknowledgementOnTheTwelfthTickEndsAtOnceWithMessage3) {
  camsim::CameraConfig cam;
  cam.wpsOutcome = camsim::WpsOutcome::Succeed;
  cam.wpsDurationMs = 0;
  LoopbackCamera camera(cam);
  ASSERT_TRUE(camera.started());
  camera.Point(session);
  bool timerActiveDuringBox = true;
  fakes.prompter.onShow = [&](const MessageRequest&) {
    timerActiveDuringBox = page.timer().isActive();
    page.OnTimer2();  // a tick already on its way while the box is open: nothing happens
  };
  page.Prepare();
  EXPECT_TRUE(page.timer().isActive());
  EXPECT_EQ(page.timer().interval(), 5000);
  EXPECT_FALSE(page.backButton()->isEnabled());
  EXPECT_FALSE(page.nextButton()->isEnabled());
  EXPECT_FALSE(page.progressBar()->isHidden());
  EXPECT_EQ(page.progressBar()->maximum(), 1500);
  Ticks(11);
  EXPECT_EQ(page.progressBar()->value(), 440);
  EXPECT_EQ(camera.Count("GET /cgi-bin/wps.cgi HTTP"), 1) << "only the start in the first 55 s";
  EXPECT_TRUE(fakes.prompter.shown.empty());
  Ticks(1);
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.LastText(), Text("WPSPage", "Message3"));
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Information);
  EXPECT_FALSE(timerActiveDuringBox) << "the timer stops before the box";
  EXPECT_TRUE(page.nextButton()->isEnabled());
  EXPECT_TRUE(page.backButton()->isEnabled());
  EXPECT_TRUE(page.progressBar()->isHidden());
  EXPECT_EQ(session.wpsAck, 1);
  EXPECT_EQ(page.wps().counter(), 1500);
  Ticks(3);
  EXPECT_EQ(fakes.prompter.shown.size(), 1u);

  // Back to the page after the success: nothing starts again.
  page.NotifyLeft();
  const int requests = camera.Count("GET /cgi-bin/wps.cgi HTTP");
  page.Prepare();
  EXPECT_FALSE(page.timer().isActive());
  EXPECT_EQ(camera.Count("GET /cgi-bin/wps.cgi HTTP"), requests);
  EXPECT_TRUE(page.nextButton()->isEnabled());
  page.nextButton()->click();
  EXPECT_EQ(sink.posted.back(), nav::kStepUpnp);
}

TEST_F(WpsPage, NoSessionOnTheCameraRestartsOnTicks13To15AndFailsWithMessage2At150Seconds) {
  camsim::CameraConfig cam;
  cam.wpsOutcome = camsim::WpsOutcome::NeverStart;
  LoopbackCamera camera(cam);
  ASSERT_TRUE(camera.started());
  camera.Point(session);
  page.Prepare();
  Ticks(12);
  EXPECT_EQ(camera.Count("GET /cgi-bin/wps.cgi HTTP"), 1);
  Ticks(1);  // 13th tick, counter 520
  EXPECT_EQ(camera.Count("GET /cgi-bin/wps.cgi HTTP"), 2);
  Ticks(2);  // 14th and 15th
  EXPECT_EQ(camera.Count("GET /cgi-bin/wps.cgi HTTP"), 4);
  Ticks(14);  // up to the 29th
  EXPECT_TRUE(fakes.prompter.shown.empty());
  Ticks(1);  // the 30th: 150 s
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.LastText(), Text("WPSPage", "Message2"));
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Warning);
  EXPECT_FALSE(page.timer().isActive());
  EXPECT_FALSE(page.nextButton()->isEnabled());
  EXPECT_TRUE(page.backButton()->isEnabled());
  EXPECT_EQ(camera.Count("GET /cgi-bin/wps.cgi HTTP"), 4);
}

TEST_F(WpsPage, ASessionStillRunningAtTheEndReportsFailure) {
  Script(0, 1, 0);
  page.Prepare();
  Ticks(30);
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.LastText(), Text("WPSPage", "Message2"));
  EXPECT_FALSE(page.nextButton()->isEnabled());
  EXPECT_EQ(starts, std::vector<int>{0});
  EXPECT_EQ(polls, 18);
}

TEST_F(WpsPage, AFailedStartShowsMessage4AndAMissingScanAsksToRescan) {
  Script(ErrConnect, 0, 0);
  page.Prepare();
  EXPECT_FALSE(page.timer().isActive());
  EXPECT_EQ(fakes.prompter.LastText(), Text("WPSPage", "Message4"));
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Stop);
  EXPECT_TRUE(page.backButton()->isEnabled());
  EXPECT_FALSE(page.nextButton()->isEnabled());

  session.apCount = 0;
  fakes.prompter.Answer(MessageAnswer::Yes);
  page.Prepare();
  EXPECT_EQ(fakes.prompter.LastText(), Text("WPSPage", "Message1"));
  EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Information);
  EXPECT_EQ(sink.posted, std::vector<int>{nav::kRescan});
  EXPECT_EQ(starts.size(), 1u);
}

TEST_F(WpsPage, LeavingStopsTheTimerAndDropsTheSession) {
  Script(0, 0, 0);
  page.Prepare();
  Ticks(5);
  page.NotifyLeft();
  EXPECT_FALSE(page.timer().isActive());
  EXPECT_FALSE(page.wps().running());
  EXPECT_TRUE(page.backButton()->isEnabled());
  Ticks(30);
  EXPECT_TRUE(fakes.prompter.shown.empty());
  EXPECT_EQ(polls, 0);
}

TEST_F(WpsPage, ASlowPollNeverBlocksTheWindowAndTicksMeanwhileAreSkipped) {
  AsyncCallRunner runner;
  services.calls = &runner;
  std::atomic<int> polls{0};
  // The poll waits until the test lets it go: as long as the camera takes, however long.
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  // Let go on every way out of this test, a failed assertion included.
  struct LetGo {
    std::promise<void>& p;
    bool done = false;
    void Now() {
      if (!std::exchange(done, true)) p.set_value();
    }
    ~LetGo() { Now(); }
  } letGo{release};
  page.SetRequests([](SessionRecord&) { return 0; },
                   [&polls, released](SessionRecord& s) {
                     ++polls;
                     released.wait();
                     s.wpsStatus = 0;
                     s.wpsAck = 1;
                     return 0;
                   });
  page.Prepare();
  auto waitIdle = [&](int limitMs) {
    QElapsedTimer t;
    t.start();
    while (page.requestInFlight() && t.elapsed() < limitMs) QApplication::processEvents();
  };
  waitIdle(5000);
  ASSERT_FALSE(page.requestInFlight());
  Ticks(12);  // the 12th sends the slow poll
  ASSERT_TRUE(page.requestInFlight());
  QElapsedTimer started;
  started.start();
  while (polls.load() == 0 && started.elapsed() < 10000) QApplication::processEvents();
  ASSERT_EQ(polls.load(), 1) << "the slow poll reached the camera";

  // Meanwhile the event loop answers queued calls, and the page's ticks are skipped.
  for (int ping = 0; ping < 20; ++ping) {
    bool answered = false;
    QTimer::singleShot(0, [&answered] { answered = true; });
    QElapsedTimer limit;
    limit.start();
    while (!answered && limit.elapsed() < 10000) QApplication::processEvents();
    ASSERT_TRUE(answered);
    ASSERT_TRUE(page.requestInFlight()) << "the poll is still out";
    page.OnTimer2();
  }
  letGo.Now();
  waitIdle(10000);
  ASSERT_FALSE(page.requestInFlight());
  EXPECT_EQ(polls.load(), 1);
  EXPECT_EQ(page.wps().pollsSent(), 1);
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.LastText(), Text("WPSPage", "Message3"));
  EXPECT_EQ(page.wps().counter(), 1500);
  EXPECT_EQ(session.wpsAck, 1);
}

}  // namespace
}  // namespace orv::test
