#include "core/app/navigation.h"

#include <gtest/gtest.h>

namespace orv::test {

using namespace nav;

namespace {

TEST(Navigation, StepTableShowsTheDocumentedPagesAndIgnoresTheRest) {
  const std::pair<int, int> shows[] = {{2, 0},   {3, 3},   {4, 2},   {5, 4},   {6, 5},
                                       {7, 7},   {8, 6},   {9, 8},   {10, 1},  {11, 17},
                                       {13, 19}, {14, 9},  {15, 12}, {20, 10}, {26, 11},
                                       {27, 13}, {28, 14}, {29, 15}, {30, 16}, {31, 18}};
  for (auto [code, page] : shows) {
    EXPECT_EQ(PageForStep(code), page) << code;
    EXPECT_TRUE(IsKnownStep(code)) << code;
  }
  for (int code : {17, 18, 19, 22, 24, 32}) {
    EXPECT_EQ(PageForStep(code), -1) << code;
    EXPECT_TRUE(IsKnownStep(code)) << code;
  }
  for (int code : {-1, 0, 1, 12, 16, 21, 23, 25, 33, 0x40A}) {
    EXPECT_FALSE(IsKnownStep(code)) << code;
    EXPECT_EQ(PageForStep(code), -1) << code;
  }
  EXPECT_TRUE(ShowsWithoutPrepare(11));
  EXPECT_TRUE(ShowsWithoutPrepare(27));
  EXPECT_FALSE(ShowsWithoutPrepare(10));
}

TEST(Navigation, HomeForgetsTheCameraAndResetsOnlyTheLinkChoices) {
  SessionRecord s;
  s.wizardMode = 0;
  s.linkPppoe = s.useWps = s.linkWireless = 1;
  s.newCamera = 1;
  s.pathSetup = 1;
  s.pathFirmware = 1;
  s.net.PAccount = "previous camera";
  ResetForHome(s);
  EXPECT_EQ(s.net.PAccount.view(), "") << "home forgets the camera";
  EXPECT_EQ(s.wizardMode, 1);
  EXPECT_EQ(s.linkPppoe + s.useWps + s.linkWireless, 0);
  EXPECT_EQ(s.newCamera, 1);
  EXPECT_EQ(s.pathSetup, 1);
  EXPECT_EQ(s.pathFirmware, 1);
}

TEST(Navigation, HomeButtonsSetExactlyOnePathFlag) {
  SessionRecord s;
  s.pathSearch = s.pathSetup = s.pathFirmware = 1;
  EXPECT_EQ(HomePathButton(s, HomePath::Search), 10);
  EXPECT_EQ(s.pathSearch * 100 + s.pathSetup * 10 + s.pathFirmware, 100);
  EXPECT_EQ(HomePathButton(s, HomePath::Setup), 28);
  EXPECT_EQ(s.pathSearch * 100 + s.pathSetup * 10 + s.pathFirmware, 10);
  EXPECT_EQ(HomePathButton(s, HomePath::Firmware), 10);
  EXPECT_EQ(s.pathSearch * 100 + s.pathSetup * 10 + s.pathFirmware, 1);
}

TEST(Navigation, LinkChoiceClearsTheOtherLinksFlags) {
  SessionRecord s;
  auto dirty = [&] {
    s.linkPppoe = s.linkWireless = s.useWps = 1;
    s.wizardMode = 1;
  };
  dirty();
  EXPECT_EQ(LinkChoiceNext(s, LinkChoice::No), 10);
  EXPECT_EQ(s.newCamera, 0);
  EXPECT_EQ(s.wizardMode, 0);
  EXPECT_EQ(s.linkPppoe + s.linkWireless + s.useWps, 0);

  dirty();
  EXPECT_EQ(LinkChoiceNext(s, LinkChoice::Lan), 5);
  EXPECT_EQ(s.newCamera, 1);
  EXPECT_EQ(s.linkPppoe + s.linkWireless + s.useWps, 0);

  dirty();  // PPPoE after Wireless: no wireless flag left behind
  EXPECT_EQ(LinkChoiceNext(s, LinkChoice::Pppoe), 5);
  EXPECT_EQ(s.linkPppoe, 1);
  EXPECT_EQ(s.linkWireless + s.useWps, 0);

  dirty();
  EXPECT_EQ(LinkChoiceNext(s, LinkChoice::Wireless), 5);
  EXPECT_EQ(s.linkWireless, 1);
  EXPECT_EQ(s.linkPppoe + s.useWps, 0);
}

TEST(Navigation, SearchPageNextAndExitFollowThePath) {
  SessionRecord s;
  EXPECT_EQ(SearchNext(s), kNoStep);
  EXPECT_EQ(SearchExit(s), kNoStep);
  s.pathFirmware = 1;
  EXPECT_EQ(SearchNext(s), 13);
  EXPECT_EQ(SearchExit(s), kNoStep);
  s.pathSetup = 1;  // setup wins over firmware
  EXPECT_EQ(SearchNext(s), 18);
  EXPECT_EQ(SearchExit(s), 28);
  s.newCamera = 1;
  EXPECT_EQ(SearchExit(s), 5);
  s.pathSearch = 1;  // search wins on Exit
  EXPECT_EQ(SearchExit(s), 2);
}

TEST(Navigation, SetupTypeAndSystemPage) {
  SessionRecord s;
  EXPECT_EQ(SetupTypeNext(s, SetupType::Wizard), 30);
  EXPECT_EQ(s.wizardMode, 1);
  s.linkPppoe = 1;
  EXPECT_EQ(SetupTypeNext(s, SetupType::Wizard), 29);
  EXPECT_EQ(SetupTypeNext(s, SetupType::Manual), 3);
  EXPECT_EQ(s.wizardMode, 0);
  EXPECT_EQ(SystemBack(s), 10);
  s.newCamera = 1;
  EXPECT_EQ(SystemBack(s), 4);
  EXPECT_EQ(IspLinkNext(IspLink::Lan), 8);
  EXPECT_EQ(IspLinkNext(IspLink::Pppoe), 14);
}

TEST(Navigation, WiredAddressNext) {
  SessionRecord s;
  s.extendedCgi = 0;
  EXPECT_EQ(WiredAddressNext(s).step, 14);
  s.cameraWireless = 1;
  EXPECT_EQ(WiredAddressNext(s).step, 7);
  s.extendedCgi = 1;
  s.sys.wirelessCapable = 0;
  EXPECT_EQ(WiredAddressNext(s).step, 14);
  EXPECT_FALSE(WiredAddressNext(s).ask);
  s.sys.wirelessCapable = 1;
  EXPECT_TRUE(WiredAddressNext(s).ask);
  EXPECT_EQ(WiredAddressNext(s).step, kNoStep);
  s.sys.wirelessCapable = 2;  // not 0 or 1: counts as 0, Next still moves on
  EXPECT_FALSE(WiredAddressNext(s).ask);
  EXPECT_EQ(WiredAddressNext(s).step, 14);

  EXPECT_EQ(WiredAddressAnswer(s, true), 7);
  EXPECT_EQ(s.linkWireless, 1);
  EXPECT_EQ(WiredAddressAnswer(s, false), 14);
  EXPECT_EQ(s.linkWireless, 0);
}

TEST(Navigation, UpnpBackInWizardMode) {
  SessionRecord s;
  s.wizardMode = 1;
  EXPECT_EQ(UpnpBack(s), 30);
  s.linkPppoe = 1;
  EXPECT_EQ(UpnpBack(s), 29);
  s.linkWireless = 1;  // not wireless-capable: the PPPoE/address rule still decides
  EXPECT_EQ(UpnpBack(s), 29);
  s.sys.wirelessCapable = 1;
  EXPECT_EQ(UpnpBack(s), 20);
  s.useWps = 1;
  EXPECT_EQ(UpnpBack(s), 26);
  // A capability byte the camera should never send: Back still leads to the page before, as
  // the wizard address page's Next treated it (not wireless-capable).
  s.sys.wirelessCapable = 7;
  EXPECT_EQ(UpnpBack(s), 29);
  s.linkPppoe = 0;
  EXPECT_EQ(UpnpBack(s), 30);
}

TEST(Navigation, UpnpBackInManualMode) {
  SessionRecord s;
  s.wizardMode = 0;
  s.net.IPType = 0;
  EXPECT_EQ(UpnpBack(s), 8);
  s.net.IPType = 1;
  EXPECT_EQ(UpnpBack(s), 8);
  s.net.IPType = 2;
  EXPECT_EQ(UpnpBack(s), 6);
  s.net.IPType = 3;  // no address page stored it: the ISP page, which every manual path passes
  EXPECT_EQ(UpnpBack(s), 6);
  s.cameraWireless = 1;
  EXPECT_EQ(UpnpBack(s), 9);
}

TEST(Navigation, WizardAddressNext) {
  SessionRecord s;
  EXPECT_EQ(WizardAddressNext(s).step, 14);
  s.sys.wirelessCapable = 1;
  EXPECT_EQ(WizardAddressNext(s).step, 14);  // wired link
  s.linkWireless = 1;
  EXPECT_EQ(WizardAddressNext(s).step, 20);  // no WPS
  s.sys.wpsCapable = 1;
  EXPECT_TRUE(WizardAddressNext(s).ask);
  // Bytes other than 0 or 1 count as 0, so Next always goes somewhere.
  s.sys.wpsCapable = 9;
  EXPECT_FALSE(WizardAddressNext(s).ask);
  EXPECT_EQ(WizardAddressNext(s).step, 20);
  s.sys.wpsCapable = 1;
  s.sys.wirelessCapable = 3;
  EXPECT_FALSE(WizardAddressNext(s).ask);
  EXPECT_EQ(WizardAddressNext(s).step, 14);

  EXPECT_EQ(WizardAddressAnswer(s, true), 27);
  EXPECT_EQ(s.useWps, 1);
  EXPECT_EQ(WizardAddressAnswer(s, false), 20);
  EXPECT_EQ(s.useWps, 0);

  // A fixed wireless address: the WPS save could not write it, so WPS is not offered, and an
  // earlier Yes no longer holds.
  s.sys.wirelessCapable = 1;
  s.useWps = 1;
  s.net.WIPType = 1;
  const Decision fixed = WizardAddressNext(s);
  EXPECT_FALSE(fixed.ask);
  EXPECT_EQ(fixed.step, 20);
  EXPECT_EQ(s.useWps, 0);
}

}  // namespace
}  // namespace orv::test
