// The rules behind the search, link-choice and login pages: which camera rows can be picked and
// what the pick stores, the link buttons, and typed credentials in the system code page.

#include <gtest/gtest.h>

#include "core/app/camera_pick.h"
#include "core/app/credential_text.h"
#include "core/app/setup_choice.h"
#include "core/platform/codepage.h"
#include "core/util/ipv4.h"

namespace orv::test {
namespace {

CameraEntry Row(const char* ip, const char* port, const char* desc = "Vexor-41HA/wireless",
                const char* serial = "SN1") {
  CameraEntry e;
  e.ip = ip;
  e.port = port;
  e.desc = desc;
  e.cam_id = serial;
  return e;
}

TEST(CameraPick, OnlyDottedQuadsAndPortsOneToMaxCanBePicked) {
  EXPECT_TRUE(CheckCameraTarget(Row("10.0.0.20", "80")));
  EXPECT_TRUE(CheckCameraTarget(Row("10.0.0.20", "65535")));
  EXPECT_TRUE(CheckCameraTarget(Row("10.0.0.20", "00080")));
  for (const char* port : {"0", "65536", "4294967295", "", "-1", "+80", "80 ", "8o", "123456"})
    EXPECT_FALSE(CheckCameraTarget(Row("10.0.0.20", port))) << '"' << port << '"';
  for (const char* ip : {"10.0.0", "10.0.0.256", "host.example", "", "10.0.0.20:80"})
    EXPECT_FALSE(CheckCameraTarget(Row(ip, "80"))) << ip;
}

TEST(CameraPick, StoresAddressPortFamilyAndTheSerialBytesAsListed) {
  SessionRecord s;
  s.cameraPortText = "9999999";
  // A serial that is not text in any code page is stored byte for byte.
  const CameraEntry row = Row("192.168.1.30", "00081", "Vexor-41HA/wireless", "SN\xff\x80\x01");
  StoreCameraPick(s, row, *CheckCameraTarget(row));
  EXPECT_EQ(s.cameraAddr, MakeIpv4(192, 168, 1, 30));
  EXPECT_EQ(s.cameraAddrText, "192.168.1.30");
  EXPECT_EQ(s.cameraPortText, "81");
  EXPECT_EQ(s.cameraSerial, "SN\xff\x80\x01");
  EXPECT_EQ(s.cameraWireless, 1);
  EXPECT_EQ(s.legacyCamera, 0);

  const CameraEntry plain = Row("10.0.0.2", "80", "Unknown/ethernet", "X");
  StoreCameraPick(s, plain, *CheckCameraTarget(plain));
  EXPECT_EQ(s.cameraWireless, 0);
  EXPECT_EQ(s.legacyCamera, 1);
}

SessionRecord Pc(int lan, int ppp, int linkWireless = 0) {
  SessionRecord s;
  s.pcHasLan = static_cast<std::uint8_t>(lan);
  s.pcHasPpp = static_cast<std::uint8_t>(ppp);
  s.linkWireless = static_cast<std::uint8_t>(linkWireless);
  return s;
}

TEST(LinkButtons, PrepareFollowsTheAdaptersAndEnablesNothing) {
  LinkButtons both = LinkButtonsOnPrepare(Pc(1, 1));
  EXPECT_EQ(both.checked, LinkKind::Pppoe);
  EXPECT_TRUE(both.disableWireless);
  EXPECT_FALSE(both.disableLan || both.disablePppoe);

  LinkButtons pppOnly = LinkButtonsOnPrepare(Pc(0, 1));
  EXPECT_EQ(pppOnly.checked, LinkKind::Pppoe);
  EXPECT_TRUE(pppOnly.disableLan && pppOnly.disableWireless);

  LinkButtons lan = LinkButtonsOnPrepare(Pc(1, 0, 1));
  EXPECT_EQ(lan.checked, LinkKind::Lan);  // the earlier wireless choice is not restored here
  EXPECT_TRUE(lan.disablePppoe);

  LinkButtons none = LinkButtonsOnPrepare(Pc(0, 0));
  EXPECT_EQ(none.checked, LinkKind::Lan);
  EXPECT_FALSE(none.disableLan || none.disableWireless || none.disablePppoe);
}

TEST(LinkButtons, YesRestoresAWirelessChoiceOnlyOnAPlainLan) {
  EXPECT_EQ(LinkButtonsOnYes(Pc(1, 0, 1)).checked, LinkKind::Wireless);
  EXPECT_EQ(LinkButtonsOnYes(Pc(1, 0, 0)).checked, LinkKind::Lan);
  EXPECT_TRUE(LinkButtonsOnYes(Pc(1, 0)).disablePppoe);
  EXPECT_EQ(LinkButtonsOnYes(Pc(1, 1, 1)).checked, LinkKind::Pppoe);
  EXPECT_TRUE(LinkButtonsOnYes(Pc(1, 1)).disableWireless);
  LinkButtons pppOnly = LinkButtonsOnYes(Pc(0, 1, 1));
  EXPECT_EQ(pppOnly.checked, LinkKind::Lan);
  EXPECT_FALSE(pppOnly.disableLan || pppOnly.disableWireless || pppOnly.disablePppoe);
}

TEST(SetupType, WizardOnlyForTheExtendedRequestSet) {
  SessionRecord s;
  EXPECT_FALSE(WizardSetupOffered(s));
  s.extendedCgi = 1;
  EXPECT_TRUE(WizardSetupOffered(s));
  s.extendedCgi = 2;
  EXPECT_FALSE(WizardSetupOffered(s));
}

TEST(CredentialText, RefusesWhatWouldBeCutOrChanged) {
  const std::string chinese = "\xe5\xaf\x86\xe7\xa2\xbc";  // two characters, two bytes each in 950
  EXPECT_EQ(FitCodePageText("secret", 32, kCodePageWestern), "secret");
  EXPECT_EQ(FitCodePageText(std::string(32, 'a'), 32, kCodePageWestern), std::string(32, 'a'));
  EXPECT_FALSE(FitCodePageText(std::string(33, 'a'), 32, kCodePageWestern));
  EXPECT_FALSE(FitCodePageText(chinese, 32, kCodePageWestern)) << "would become ??";
  EXPECT_EQ(FitCodePageText("caf\xc3\xa9", 32, kCodePageWestern), "caf\xe9");
  EXPECT_EQ(FitCodePageText(chinese, 4, kCodePageTraditionalChinese)->size(), 4u);
  EXPECT_FALSE(FitCodePageText(chinese, 3, kCodePageTraditionalChinese));
  EXPECT_FALSE(FitCodePageText(std::string("a\0b", 3), 32, kCodePageWestern));
  EXPECT_EQ(FitCodePageText("", 32, kCodePageWestern), "");
}

}  // namespace
}  // namespace orv::test
