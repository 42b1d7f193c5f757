// The ISP link-type, PPPoE, system and UPnP pages offscreen with the scripted UI services: what
// they show from the record, what Next checks and stores, and the messages they give.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <nlohmann/json.hpp>
#include <string>

#include "core/app/camera_fields.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "gui/pages/sub_lan_isp.h"
#include "gui/pages/sub_pppoe.h"
#include "gui/pages/sub_system.h"
#include "gui/pages/sub_upnp.h"
#include "gui/support/page_test.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::test {

using namespace gui;

namespace {

const char* const kChinese = "\xe5\xaf\x86\xe7\xa2\xbc";  // not in code page 1252

template <typename Page>
class SettingsPageTest : public PageTest<Page> {
 protected:
  SettingsPageTest() : PageTest<Page>(kCodePageWestern) {}

  // Everything a camera's settings view shows, secrets included.
  std::string Snapshot() const { return CameraSettingsJson(this->session).dump(); }
  std::string Text(const char* section, const char* key) const {
    return this->pack.Utf8(section, key, i18n::kLongMessageChars);
  }
};

// ---- ISP link type

using IspPage = SettingsPageTest<CSubLANISP>;

TEST_F(IspPage, NeitherLinkCheckedAsksForOne) {
  session.net.IPType = 9;  // unknown: the page stays as created
  page.Prepare();
  EXPECT_FALSE(page.lanButton()->isChecked());
  EXPECT_FALSE(page.pppoeButton()->isChecked());
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(LastMessage().text, "Please Choose one link type");
  EXPECT_EQ(LastMessage().caption, "Orvantis");
  EXPECT_EQ(LastMessage().icon, MessageIcon::None);
  EXPECT_TRUE(sink.posted.empty());
}

TEST_F(IspPage, PppoeLoadsTheAccountWholeAndALongPasswordSurvivesTheVisit) {
  const std::string password40 = "Abcdefghij0123456789Abcdefghij0123456789";
  session.net.IPType = 2;
  session.net.PAccount = "dsl-user";
  session.net.PPwd = password40;
  session.net.PVP = password40;
  const std::string before = Snapshot();
  page.Prepare();
  EXPECT_EQ(Snapshot(), before) << "preparing changes nothing";
  EXPECT_TRUE(page.pppoeButton()->isChecked());
  EXPECT_TRUE(page.passwordEdit()->isEnabled());
  EXPECT_EQ(page.passwordEdit()->text().size(), 40) << "the 32-character limit is for typing only";
  EXPECT_EQ(page.passwordEdit()->echoMode(), QLineEdit::Password);
  page.nextButton()->click();
  EXPECT_TRUE(fakes.prompter.shown.empty()) << "the confirmation still matches";
  EXPECT_EQ(sink.posted, std::vector<int>{14});
  EXPECT_EQ(session.net.PPwd, password40);
  EXPECT_EQ(session.net.PVP, password40);

  // Typing cannot make a field longer than the limit; a loaded longer value cannot grow either.
  page.userEdit()->clear();
  QTest::keyClicks(page.userEdit(), QString(40, QLatin1Char('u')));
  EXPECT_EQ(page.userEdit()->text().size(), 32);
  QTest::keyClicks(page.passwordEdit(), QStringLiteral("x"));
  EXPECT_EQ(page.passwordEdit()->text().size(), 40);
}

TEST_F(IspPage, PasswordsMustMatchExactly) {
  page.pppoeButton()->click();
  page.userEdit()->setText(QStringLiteral("user"));
  page.passwordEdit()->setText(QStringLiteral("Secret"));
  page.confirmEdit()->setText(QStringLiteral("secret"));
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(LastMessage().text.toStdString(), Text("LANISPPage", "Message1"));
  EXPECT_EQ(LastMessage().caption, "Orvantis");
  EXPECT_EQ(LastMessage().icon, MessageIcon::Stop);
  EXPECT_TRUE(sink.posted.empty());
  EXPECT_EQ(session.net.IPType, 0) << "nothing stored";

  page.confirmEdit()->setText(QStringLiteral("Secret"));
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{14});
  EXPECT_EQ(session.net.IPType, 2);
  EXPECT_EQ(session.net.PAccount, "user");
  EXPECT_EQ(session.net.PVP, "Secret");

  // Coming back shows what was stored.
  CSubLANISP again;
  again.Wire(&sink, &session, &services);
  again.Prepare();
  EXPECT_TRUE(again.pppoeButton()->isChecked());
  EXPECT_EQ(again.userEdit()->text(), "user");
  EXPECT_EQ(again.confirmEdit()->text(), "Secret");
}

TEST_F(IspPage, LanDisablesTheAccountAndKeepsTheAddressType) {
  session.net.IPType = 2;
  session.net.PAccount = "kept";
  page.Prepare();
  session.net.IPType = 1;
  page.Prepare();
  EXPECT_TRUE(page.lanButton()->isChecked());
  EXPECT_FALSE(page.pppoeButton()->isChecked());
  EXPECT_FALSE(page.userEdit()->isEnabled());
  EXPECT_EQ(page.userEdit()->text(), "kept") << "contents stay";
  page.pppoeButton()->click();
  EXPECT_TRUE(page.userEdit()->isEnabled());
  page.lanButton()->click();
  EXPECT_FALSE(page.confirmEdit()->isEnabled());
  page.nextButton()->click();
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{8, 3}));
  EXPECT_EQ(session.net.IPType, 1);
}

TEST_F(IspPage, ACameraOnPppoeNeedsItsLoginTypedAgainAndNoOtherCamerasShows) {
  // The previous camera's account, typed and stored; then the record forgets that camera.
  session.net.IPType = 2;
  session.net.PAccount = "camera-a";
  session.net.PPwd = session.net.PVP = "a-secret";
  page.Prepare();
  session.net = NetworkSettings{};
  session.net.IPType = 1;
  page.Prepare();
  EXPECT_TRUE(page.userEdit()->text().isEmpty()) << "never shown for another camera";
  EXPECT_TRUE(page.confirmEdit()->text().isEmpty());

  // A camera read as PPPoE: its account is not reported, so the fields are empty.
  session.net.IPType = 2;
  page.Prepare();
  EXPECT_TRUE(page.pppoeButton()->isChecked());
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(LastMessage().text.toStdString(), Text("LANISPPage", "Message4"));
  EXPECT_FALSE(LastMessage().text.isEmpty());
  EXPECT_EQ(LastMessage().icon, MessageIcon::Warning);
  EXPECT_TRUE(sink.posted.empty());
  page.userEdit()->setText(QStringLiteral("dsl-user"));
  page.nextButton()->click();
  EXPECT_EQ(fakes.prompter.shown.size(), 2u) << "a user name alone is not enough";
  page.passwordEdit()->setText(QStringLiteral("pw"));
  page.confirmEdit()->setText(QStringLiteral("pw"));
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{14});
  EXPECT_EQ(session.net.PPwd, "pw");
}

TEST_F(IspPage, AnAccountTheCameraCannotStoreIsRefused) {
  page.pppoeButton()->click();
  page.userEdit()->setText(QString::fromUtf8(kChinese));
  page.passwordEdit()->setText(QStringLiteral("p"));
  page.confirmEdit()->setText(QStringLiteral("p"));
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(LastMessage().text.toStdString(), Text("LANISPPage", "Message2"));
  EXPECT_FALSE(LastMessage().text.isEmpty());
  EXPECT_EQ(LastMessage().icon, MessageIcon::Stop);
  EXPECT_TRUE(sink.posted.empty());
  EXPECT_TRUE(session.net.PAccount.empty()) << "never stored as ??";
}

// ---- PPPoE

using PppoePage = SettingsPageTest<CSubPPPoE>;

TEST_F(PppoePage, OffersThePcsUserAndRepeatsThePassword) {
  session.pcPppoeUser = "home-dsl";
  page.passwordEdit()->setText(QStringLiteral("left over"));
  page.Prepare();
  EXPECT_EQ(page.userEdit()->text(), "home-dsl");
  EXPECT_TRUE(page.passwordEdit()->text().isEmpty());
  page.passwordEdit()->setText(QStringLiteral("Pa55word"));
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{14});
  EXPECT_EQ(session.net.IPType, 2);
  EXPECT_EQ(session.net.PAccount, "home-dsl");
  EXPECT_EQ(session.net.PPwd, "Pa55word");
  EXPECT_EQ(session.net.PVP, session.net.PPwd);
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{14, 4}));
}

TEST_F(PppoePage, APasswordThatDoesNotFitIsRefused) {
  page.passwordEdit()->setText(QString(64, QLatin1Char('p')));
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(LastMessage().text.toStdString(), Text("PPPoEPage", "Message2"));
  EXPECT_TRUE(sink.posted.empty());
  EXPECT_EQ(session.net.IPType, 0);
  page.passwordEdit()->setText(QString(63, QLatin1Char('p')));
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{14});
}

// ---- System

using SystemPage = SettingsPageTest<CSubSystem>;

TEST_F(SystemPage, AutomaticWithTheListsAtTheirDefaults) {
  EXPECT_EQ(page.timeZoneList()->count(), 25);
  EXPECT_EQ(page.intervalList()->count(), 24);
  EXPECT_EQ(page.intervalList()->itemText(23), "23 hour");
  page.Prepare();
  EXPECT_TRUE(page.keepButton()->isChecked()) << "NTPEN 0";
  EXPECT_EQ(page.timeZoneList()->currentText(), "(GMT+8) Taipei,Hongkong,Beijing");
  page.automaticButton()->click();
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{6});
  EXPECT_EQ(session.sys.NTPEN, 1);
  EXPECT_EQ(session.sys.Timezone, 20);
  EXPECT_EQ(session.sys.NTPPoll, 12);

  page.timeZoneList()->setCurrentIndex(24);
  page.intervalList()->setCurrentIndex(23);
  page.nextButton()->click();
  EXPECT_EQ(session.sys.Timezone, 24);
  EXPECT_EQ(session.sys.NTPPoll, 23);
}

TEST_F(SystemPage, ACameraOnATimeServerShowsItsZoneAndInterval) {
  session.sys.NTPEN = 1;
  session.sys.Timezone = 5;
  session.sys.NTPPoll = 3;
  session.sys.NTPName = "pool.example";
  session.sys.TitleBar = "Front door cam";
  session.sys.Desp = std::string(40, 'd');  // longer than the description's typing limit
  const std::string before = Snapshot();
  page.Prepare();
  EXPECT_EQ(Snapshot(), before) << "preparing changes nothing";
  EXPECT_TRUE(page.automaticButton()->isChecked());
  EXPECT_EQ(page.timeZoneList()->currentText(), "(GMT-7) MST,Mountain US");
  EXPECT_EQ(page.intervalList()->currentText(), "3 hour");
  EXPECT_EQ(page.ntpServerEdit()->text(), "pool.example");
  EXPECT_EQ(page.hostNameEdit()->text(), "Front door cam");
  page.nextButton()->click();
  EXPECT_EQ(session.sys.Desp, std::string(40, 'd')) << "a loaded value is never cut";
  EXPECT_EQ(session.sys.Timezone, 5);
  EXPECT_EQ(session.sys.NTPPoll, 3);
}

TEST_F(SystemPage, ValuesOutsideTheListsAreKeptUnlessTheUserPicks) {
  session.sys.NTPEN = 1;
  session.sys.Timezone = 30;
  session.sys.NTPPoll = 24;
  page.Prepare();
  EXPECT_EQ(page.timeZoneList()->currentIndex(), -1);
  EXPECT_EQ(page.intervalList()->currentIndex(), -1);
  EXPECT_EQ(page.intervalList()->placeholderText(), "24 hour") << "the camera's value is shown";
  page.nextButton()->click();
  EXPECT_EQ(session.sys.Timezone, 30) << "never -1";
  EXPECT_EQ(session.sys.NTPPoll, 24) << "never a silent 12";
  page.intervalList()->setCurrentIndex(1);
  page.nextButton()->click();
  EXPECT_EQ(session.sys.NTPPoll, 1);
  EXPECT_EQ(session.sys.Timezone, 30);
}

TEST_F(SystemPage, TheNextCameraNeverSeesThePreviousCamerasTimeServerChoices) {
  session.sys.NTPEN = 1;
  session.sys.Timezone = 30;  // outside the list: no selection, the value as the hint
  session.sys.NTPPoll = 3;
  session.sys.NTPName = "a.pool.example";
  page.Prepare();
  ASSERT_EQ(page.timeZoneList()->currentIndex(), -1);

  // The next camera keeps its clock by itself.
  session.sys = SystemSettings{};
  session.sys.Timezone = 30;
  page.Prepare();
  EXPECT_TRUE(page.keepButton()->isChecked());
  EXPECT_EQ(page.timeZoneList()->currentText(), "(GMT+8) Taipei,Hongkong,Beijing");
  EXPECT_TRUE(page.timeZoneList()->placeholderText().isEmpty()) << "no stale hint";
  EXPECT_EQ(page.intervalList()->currentText(), "12 hour");
  EXPECT_TRUE(page.ntpServerEdit()->text().isEmpty());
  page.automaticButton()->click();
  page.nextButton()->click();
  EXPECT_EQ(session.sys.Timezone, 20) << "what is on screen is what is stored";
  EXPECT_EQ(session.sys.NTPPoll, 12);
  EXPECT_EQ(session.sys.NTPName, "");
}

TEST_F(SystemPage, SyncTakesThePcTimeAtTheClick) {
  session.sys.Date = "2000/01/01";
  session.sys.Time = "00:00:00";
  fakes.clock.now = QDateTime(QDate(2030, 5, 6), QTime(1, 2, 3));
  page.Prepare();
  page.syncButton()->click();
  fakes.clock.now = QDateTime(QDate(2031, 12, 31), QTime(23, 59, 58));
  page.nextButton()->click();
  EXPECT_EQ(session.sys.NTPEN, 0);
  EXPECT_EQ(session.sys.Date, "2031/12/31");
  EXPECT_EQ(session.sys.Time, "23:59:58");
  EXPECT_TRUE(session.sys.clockTakenAt) << "the save moves it on to the moment of the write";
}

TEST_F(SystemPage, KeepAndManualAndNoMode) {
  session.sys.NTPEN = 2;  // unknown: no mode checked
  session.sys.Date = "2026/12/08";
  session.sys.Time = "10:11:12";
  page.Prepare();
  EXPECT_EQ(page.dateEdit()->text(), "2026/12/08");
  for (QRadioButton* b :
       {page.keepButton(), page.syncButton(), page.manualButton(), page.automaticButton()})
    EXPECT_FALSE(b->isChecked()) << b->text().toStdString();
  page.hostNameEdit()->setText(QStringLiteral("cam"));
  page.nextButton()->click();
  EXPECT_EQ(session.sys.NTPEN, 2) << "no mode: no clock field changes";
  EXPECT_EQ(session.sys.TitleBar, "cam");

  page.keepButton()->click();
  page.nextButton()->click();
  EXPECT_EQ(session.sys.NTPEN, 0);
  EXPECT_EQ(session.sys.Date, "2026/12/08");

  page.manualButton()->click();
  page.dateEdit()->setText(QStringLiteral("2026/12/9"));
  page.timeEdit()->setText(QStringLiteral("7:5:0"));
  page.nextButton()->click();
  EXPECT_EQ(session.sys.Date, "2026/12/9") << "stored as typed";
  EXPECT_EQ(session.sys.Time, "7:5:0");
  EXPECT_FALSE(session.sys.clockTakenAt);
  EXPECT_EQ(sink.posted, (std::vector<int>{6, 6, 6}));

  // The hints' layout is checked: each message names it.
  page.dateEdit()->clear();
  page.nextButton()->click();
  EXPECT_EQ(LastMessage().text.toStdString(), Text("SystemPage", "Message1"));
  page.dateEdit()->setText(QStringLiteral("2026/12/08"));
  page.timeEdit()->setText(QStringLiteral("7:5"));
  page.nextButton()->click();
  EXPECT_EQ(LastMessage().text.toStdString(), Text("SystemPage", "Message2"));
  EXPECT_EQ(sink.posted.size(), 3u);
  EXPECT_EQ(session.sys.Time, "7:5:0") << "nothing stored";
}

TEST_F(SystemPage, TextsTheCameraCannotStoreAreRefused) {
  page.Prepare();
  struct Case {
    QLineEdit* edit;
    const char* message;
  };
  for (const Case& c :
       {Case{page.hostNameEdit(), "Message3"}, Case{page.descriptionEdit(), "Message4"},
        Case{page.ntpServerEdit(), "Message5"}}) {
    page.automaticButton()->click();
    const QString kept = c.edit->text();
    c.edit->setText(QString::fromUtf8(kChinese));
    page.nextButton()->click();
    EXPECT_EQ(LastMessage().text.toStdString(), Text("SystemPage", c.message));
    EXPECT_FALSE(LastMessage().text.isEmpty());
    EXPECT_EQ(LastMessage().icon, MessageIcon::Stop);
    c.edit->setText(kept);
  }
  EXPECT_TRUE(sink.posted.empty());
  EXPECT_EQ(session.sys.NTPEN, 0) << "nothing stored";
  // The time server's field holds 255 characters: the 256th typed one is refused, not cut.
  page.ntpServerEdit()->setText(QString(256, QLatin1Char('n')));
  page.nextButton()->click();
  EXPECT_EQ(LastMessage().text.toStdString(), Text("SystemPage", "Message5"));
}

TEST_F(SystemPage, BackDependsOnANewCamera) {
  session.newCamera = 1;
  page.backButton()->click();
  session.newCamera = 0;
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{4, 10}));
}

// ---- UPnP and ports

using UpnpPage = SettingsPageTest<CSubUPnP>;

class UpnpPorts : public UpnpPage {
 protected:
  // Fills the fields, presses Next; the message shown, or "" when the page moved on.
  std::string Next(const char* http, const char* stream, const char* rtsp) {
    page.httpPortEdit()->setText(QString::fromLatin1(http));
    page.streamPortEdit()->setText(QString::fromLatin1(stream));
    page.rtspPortEdit()->setText(QString::fromLatin1(rtsp));
    const std::size_t shown = fakes.prompter.shown.size();
    const std::size_t posted = sink.posted.size();
    page.nextButton()->click();
    if (fakes.prompter.shown.size() == shown) {
      EXPECT_EQ(sink.posted.size(), posted + 1);
      return "";
    }
    EXPECT_EQ(sink.posted.size(), posted) << "a refusal stays on the page";
    return LastMessage().text.toStdString();
  }
};

TEST_F(UpnpPorts, PrepareShowsTheRecord) {
  session.sys.UPnPE = 1;
  session.sys.HttpPort = 8080;
  session.sys.secondPort = 0xFFFFFFFFu;
  session.sys.RTSPPort = 554;
  page.Prepare();
  EXPECT_TRUE(page.upnpBox()->isChecked());
  EXPECT_EQ(page.httpPortEdit()->text(), "8080");
  EXPECT_EQ(page.streamPortEdit()->text(), "-1");
  EXPECT_EQ(page.rtspPortEdit()->text(), "554");
}

TEST_F(UpnpPorts, EachPortsRangeAndItsMessage) {
  const std::string m1 = Text("UPnPPage", "Message1");
  for (const char* http : {"1024", "65536", "0", "", "4294967376"})
    EXPECT_EQ(Next(http, "5000", "554"), m1) << http;
  EXPECT_TRUE(LastMessage().caption.isEmpty());
  EXPECT_EQ(LastMessage().icon, MessageIcon::Stop);
  for (const char* http : {"80", "1025", "65535"}) EXPECT_EQ(Next(http, "5000", "554"), "") << http;

  EXPECT_EQ(Next("80", "5000", "553"), Text("UPnPPage", "Message3"));
  EXPECT_EQ(LastMessage().caption, "Orvantis");
  EXPECT_EQ(Next("80", "1024", "554"), Text("UPnPPage", "Message2"));
  EXPECT_EQ(LastMessage().caption, "Orvantis");
  EXPECT_EQ(sink.posted, (std::vector<int>{15, 15, 15}));
}

TEST_F(UpnpPorts, TheLowStreamPortDependsOnTheModel) {
  session.sys.ModelName = "Vexor-41HA";
  EXPECT_EQ(Next("80", "54", "554"), "");
  EXPECT_EQ(Next("80", "53", "554"), Text("UPnPPage", "Message2"));
  session.sys.ModelName = "Unlisted-7";
  EXPECT_EQ(Next("80", "54", "554"), Text("UPnPPage", "Message2"));
  EXPECT_EQ(Next("80", "53", "554"), "");
}

TEST_F(UpnpPorts, DuplicatePortsInOrder) {
  EXPECT_EQ(Next("8080", "8080", "554"), Text("UPnPPage", "Message4"));
  EXPECT_TRUE(LastMessage().caption.isEmpty());
  EXPECT_EQ(session.sys.secondPort, 8080u) << "stored before the checks";
  EXPECT_EQ(Next("8080", "5000", "8080"), Text("UPnPPage", "Message5"));
  EXPECT_EQ(Next("80", "5000", "5000"), Text("UPnPPage", "Message6"));
}

TEST_F(UpnpPorts, AnEmptyHttpPortIsStoredAsZeroAndUpnpOffIsKept) {
  session.sys.UPnPE = 1;
  session.sys.HttpPort = 80;
  page.Prepare();
  EXPECT_EQ(Next("", "5000", "554"), Text("UPnPPage", "Message1"));
  EXPECT_EQ(session.sys.HttpPort, 0u);
  page.upnpBox()->click();
  EXPECT_EQ(Next("80", "5000", "554"), "");
  EXPECT_EQ(session.sys.UPnPE, 0);
}

TEST_F(UpnpPorts, BackFollowsThePath) {
  session.wizardMode = 0;
  session.net.IPType = 2;
  page.backButton()->click();
  session.net.IPType = 7;  // stored by no page: back to the ISP page all the same
  page.backButton()->click();
  session.wizardMode = 1;
  session.linkPppoe = 1;
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{6, 6, 29}));
}

}  // namespace
}  // namespace orv::test
