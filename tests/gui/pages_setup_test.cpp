// The home, link-choice, diagram and setup-type pages offscreen with the scripted UI services.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "gui/pages/sub_choose.h"
#include "gui/pages/sub_first.h"
#include "gui/pages/sub_option.h"
#include "gui/pages/sub_show_pic.h"
#include "gui/support/page_test.h"
#include "gui/widgets/link_art.h"

namespace orv::test {

using namespace gui;

namespace {

QPushButton* ButtonNamed(QWidget* page, const QString& name) {
  for (QPushButton* b : page->findChildren<QPushButton*>())
    if (b->accessibleName() == name) return b;
  return nullptr;
}

using HomePage = PageTest<CSubFirst>;

TEST_F(HomePage, LinkTextAndPictureFollowTheClassificationAndTheLanguage) {
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::HomePppoe)) << "start picture";
  session.internetReachable = 1;
  session.pcHasLan = 1;
  session.pcDhcp = 1;
  page.UpdateLinkInfo();
  EXPECT_EQ(page.linkText(), "Internet over Ethernet\nDynamic IP address (DHCP)");
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::HomeEthernet));

  session.internetReachable = 0;
  session.pcHasPpp = 1;
  page.UpdateLinkInfo();
  EXPECT_EQ(page.linkText(), "Not connected to the Internet");
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::HomeEthernet)) << "unchanged";

  session.pcHasPpp = 0;
  const i18n::LanguagePack chinese = Pack("CHT.ini");
  page.LoadTexts(chinese);
  page.UpdateLinkInfo();
  EXPECT_EQ(page.linkText().toStdString(),
            chinese.Utf8("FirstPage", "LinkNotConnect", i18n::kHomeTextChars));
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::HomeNoInternet));
}

TEST_F(HomePage, PathButtonsSetOneFlagAndPostTheirSteps) {
  session.pathFirmware = 1;
  ButtonNamed(&page, "Search Camera")->click();
  EXPECT_EQ(session.pathSearch, 1);
  EXPECT_EQ(session.pathFirmware, 0);
  ButtonNamed(&page, "Setup Camera")->click();
  EXPECT_EQ(session.pathSearch, 0);
  EXPECT_EQ(session.pathSetup, 1);
  ButtonNamed(&page, "About Us")->click();
  ButtonNamed(&page, "Language")->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{10, 28, 24, 32}));
}

TEST_F(HomePage, HiddenButtonsAndTheLinkServerSwitch) {
  page.show();
  QPushButton* intranet = ButtonNamed(&page, "Search Intranet");
  ASSERT_NE(intranet, nullptr);
  EXPECT_FALSE(intranet->isVisible());
  page.SetLinkServerVisible(true);
  EXPECT_TRUE(intranet->isVisible());
  intranet->click();
  EXPECT_EQ(sink.posted, std::vector<int>{11});
  QPushButton* firmware = ButtonNamed(&page, "Firmware Upgrade");
  ASSERT_NE(firmware, nullptr);
  EXPECT_FALSE(firmware->isVisible());
  EXPECT_FALSE(firmware->isEnabled());
  EXPECT_TRUE(ButtonNamed(&page, "Language")->isVisible());
}

using LinkChoicePage = PageTest<CSubChoose>;

TEST_F(LinkChoicePage, APppOnlyPcStartsOnPppoeAndYesReenablesWithLan) {
  session.pcHasPpp = 1;
  page.Prepare();
  EXPECT_TRUE(page.pppoeButton()->isChecked());
  EXPECT_FALSE(page.lanButton()->isEnabled());
  EXPECT_FALSE(page.wirelessButton()->isEnabled());
  page.yesButton()->click();
  EXPECT_TRUE(page.lanButton()->isEnabled() && page.wirelessButton()->isEnabled() &&
              page.pppoeButton()->isEnabled());
  EXPECT_TRUE(page.lanButton()->isChecked());
  EXPECT_TRUE(sink.posted.empty());
}

TEST_F(LinkChoicePage, EachChoiceClearsTheOtherLinksFlags) {
  session.pcHasLan = 1;
  page.Prepare();
  page.yesButton()->click();
  page.wirelessButton()->click();
  session.useWps = 1;
  page.nextButton()->click();
  EXPECT_EQ(session.newCamera, 1);
  EXPECT_EQ(session.linkWireless, 1);
  EXPECT_EQ(session.useWps, 0);

  // PPPoE after Wireless: the wireless flag goes, so a save cannot mix the two.
  session.pcHasPpp = 1;
  page.Prepare();
  ASSERT_TRUE(page.pppoeButton()->isChecked());
  session.useWps = 1;
  page.nextButton()->click();
  EXPECT_EQ(session.linkPppoe, 1);
  EXPECT_EQ(session.linkWireless, 0);
  EXPECT_EQ(session.useWps, 0);

  page.noButton()->click();
  EXPECT_FALSE(page.lanButton()->isEnabled() || page.pppoeButton()->isEnabled());
  session.wizardMode = 1;
  page.nextButton()->click();
  EXPECT_EQ(session.newCamera, 0);
  EXPECT_EQ(session.wizardMode, 0);
  EXPECT_EQ(session.linkPppoe + session.linkWireless + session.useWps, 0);
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{5, 5, 10, 2}));
}

using DiagramPage = PageTest<CSubShowPic>;

TEST_F(DiagramPage, PppoeKeepsTheLastPicture) {
  session.linkPppoe = 1;
  page.Prepare();
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::DiagramStart));
  session.linkPppoe = 0;
  session.linkWireless = 1;
  page.Prepare();
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::DiagramWireless));
  session.linkPppoe = 1;
  page.Prepare();
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::DiagramWireless));
  session.linkPppoe = 0;
  session.linkWireless = 0;
  page.Prepare();
  EXPECT_EQ(page.pictureRole(), static_cast<int>(art::Picture::DiagramLan));
  page.nextButton()->click();
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{10, 28}));
}

using SetupTypePage = PageTest<CSubOption>;

TEST_F(SetupTypePage, WithoutTheExtendedSetOnlyManualSetupIsOffered) {
  session.wizardMode = 1;
  page.Prepare();
  EXPECT_EQ(session.wizardMode, 0);
  EXPECT_TRUE(page.manualButton()->isChecked());
  EXPECT_FALSE(page.wizardButton()->isEnabled());
  EXPECT_FALSE(page.wizardText()->isEnabled());
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, std::vector<int>{3});
  EXPECT_TRUE(session.sys.Date.empty()) << "manual setup leaves the camera clock alone";
}

TEST_F(SetupTypePage, WizardNextSetsTheCameraClockFromTheInjectedClock) {
  session.extendedCgi = 1;
  page.Prepare();
  EXPECT_EQ(session.wizardMode, 1);
  EXPECT_TRUE(page.wizardButton()->isEnabled() && page.wizardButton()->isChecked());
  fakes.clock.now = QDateTime(QDate(2031, 1, 2), QTime(7, 8, 9));
  page.nextButton()->click();
  EXPECT_EQ(session.sys.Date, "2031/01/02");
  EXPECT_EQ(session.sys.Time, "07:08:09");
  session.linkPppoe = 1;
  page.nextButton()->click();
  page.manualButton()->click();
  EXPECT_EQ(session.wizardMode, 0);
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{30, 29, 10}));
}

}  // namespace
}  // namespace orv::test
