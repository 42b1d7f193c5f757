// What the two wireless pages check and store.

#include "core/app/wireless_rules.h"

#include <gtest/gtest.h>

#include "core/app/navigation.h"
#include "core/platform/codepage.h"

namespace orv::test {

using namespace wireless;

namespace {

AccessPointEntry Ap(const char* ssid, const char* security, const char* algorithm = "AES",
                    int channel = 6) {
  AccessPointEntry e;
  e.SSID = ssid;
  e.Security = security;
  e.Algorithm = algorithm;
  e.Mode = "Infrastructure";
  e.Channel = static_cast<std::uint8_t>(channel);
  e.Quality = 80;
  e.Mac_address = "00:11:22:33:44:66";
  return e;
}

TEST(WepKey, LengthAndContentFollowTheFormatAndLength) {
  EXPECT_EQ(WepKeyChars(kWepHex, false), 10);
  EXPECT_EQ(WepKeyChars(kWepHex, true), 26);
  EXPECT_EQ(WepKeyChars(kWepAscii, false), 5);
  EXPECT_EQ(WepKeyChars(kWepAscii, true), 13);
  EXPECT_EQ(CheckWepKey("12345ABCDE", kWepHex, false), Problem::None);
  EXPECT_EQ(CheckWepKey("12345abcde12345ABCDE123456", kWepHex, true), Problem::None);
  EXPECT_EQ(CheckWepKey("12345ABCDG", kWepHex, false), Problem::WepKeyNotHex);
  EXPECT_EQ(CheckWepKey("12345ABCD", kWepHex, false), Problem::WepKeyLength);
  EXPECT_EQ(CheckWepKey("12345ABCDE", kWepHex, true), Problem::WepKeyLength);
  EXPECT_EQ(CheckWepKey("", kWepAscii, false), Problem::WepKeyEmpty);
  EXPECT_EQ(CheckWepKey("ab cd", kWepAscii, false), Problem::None);
  EXPECT_EQ(CheckWepKey("abcdefghijklm", kWepAscii, true), Problem::None);
  EXPECT_EQ(CheckWepKey("abcdef", kWepAscii, false), Problem::WepKeyLength);
  EXPECT_EQ(CheckWepKey("ab\xc3\xa9", kWepAscii, false), Problem::WepKeyLength) << "ASCII only";
}

TEST(AccessPointList, NamesCountFromOne) {
  EXPECT_EQ(AccessPointName(0), "AP 1");
  EXPECT_EQ(AccessPointName(2), "AP 3");
}

TEST(AccessPointList, NamesFromTheAirAreShownAsTheyStandOrEscaped) {
  SetSystemCodePage(kCodePageUtf8);
  EXPECT_EQ(DisplayName("lab net"), "lab net");
  EXPECT_EQ(DisplayName("caf\xc3\xa9"), "caf\xc3\xa9");
  EXPECT_EQ(DisplayName("bad\xff"), "bad\\xFF");
  EXPECT_EQ(DisplayName("a\x1b[2Jb"), "a\\x1B[2Jb");
  EXPECT_EQ(DisplayName("back\\slash\x01"), "back\\\\slash\\x01");
  EXPECT_EQ(DisplayName("<b>x</b>"), "<b>x</b>") << "plain text; the widget never interprets it";
  SetSystemCodePage(kCodePageWestern);
  EXPECT_EQ(DisplayName("caf\xe9"), "caf\xc3\xa9");
  SetSystemCodePage(kCodePageUtf8);
}

TEST(AccessPointList, SecurityTextsChooseTheKeyControls) {
  EXPECT_EQ(KeyControlsFor("None"), KeyControls::None);
  EXPECT_EQ(KeyControlsFor("WEP"), KeyControls::Wep);
  EXPECT_EQ(KeyControlsFor("WPA-PSK"), KeyControls::Wpa);
  EXPECT_EQ(KeyControlsFor("WPA2-PSK"), KeyControls::Wpa);
  EXPECT_EQ(KeyControlsFor("WPA-PSK/WPA2-PSK"), KeyControls::Wpa);
  EXPECT_EQ(KeyControlsFor("WPA3-SAE"), KeyControls::Keep);
}

TEST(AccessPointList, AHexKeyClearsTheOtherKeysAndABadOneChangesNothing) {
  SessionRecord s;
  s.net.WEPKey0 = "old0";
  s.net.WEPKey2 = "old2";
  s.net.WEPKey3 = "old3";
  const std::vector<AccessPointEntry> list{Ap("one", "WPA2-PSK"), Ap("two", "WEP", "", 11)};
  ApListInput in;
  in.chosen = 1;
  in.keyFormat = kWepHex;
  in.keyNumber = 1;
  in.keyLength = 0;
  in.authMode = 1;
  in.wepKey = "12345ABCDG";
  const SessionRecord before = s;
  EXPECT_EQ(ApListNext(s, list, in).problem, Problem::WepKeyNotHex);
  EXPECT_EQ(s.net.WEPKey0, "old0");
  EXPECT_EQ(s.net.SSID, before.net.SSID) << "a refused Next stores nothing";
  EXPECT_EQ(s.net.WireSec, before.net.WireSec);

  in.wepKey = "12345ABCDE";
  const NextAnswer a = ApListNext(s, list, in);
  EXPECT_EQ(a.problem, Problem::None);
  EXPECT_EQ(a.step, nav::kStepUpnp);
  EXPECT_EQ(s.net.WEPKey1, "12345ABCDE");
  EXPECT_TRUE(s.net.WEPKey0.empty());
  EXPECT_TRUE(s.net.WEPKey2.empty());
  EXPECT_TRUE(s.net.WEPKey3.empty());
  EXPECT_EQ(s.net.SSID, "two");
  EXPECT_EQ(s.net.WireSec, 1);
  EXPECT_EQ(s.net.WireCh, 11);
  EXPECT_EQ(s.net.WireType, 1);
  EXPECT_EQ(s.net.WepKeyL, 0) << "the list page stores the length list's index";
  EXPECT_EQ(s.net.WEPKeyE0, 1);
  EXPECT_EQ(s.net.WEPMode, kWepHex);
  EXPECT_EQ(s.net.WEPAuthM, 1) << "the chosen authentication is kept for the network write";

  in.keyLength = 1;
  in.keyFormat = kWepAscii;
  in.keyNumber = 3;
  in.wepKey = "abcdefghijklm";
  s.net.WEPKey0 = "keep";
  ASSERT_EQ(ApListNext(s, list, in).problem, Problem::None);
  EXPECT_EQ(s.net.WepKeyL, 1);
  EXPECT_EQ(s.net.WEPKey3, "abcdefghijklm");
  EXPECT_EQ(s.net.WEPKey0, "keep") << "an ASCII key leaves the others";

  in.wepKey = "abc";
  EXPECT_EQ(ApListNext(s, list, in).problem, Problem::WepKeyLength);
  in.wepKey.clear();
  EXPECT_EQ(ApListNext(s, list, in).problem, Problem::WepKeyEmpty);
}

TEST(AccessPointList, WpaNeedsAKeyAndAlgorithmsAndSecuritiesMapToTheirCodes) {
  SessionRecord s;
  const std::vector<AccessPointEntry> list{Ap("a", "WPA-PSK", "TKIP"),
                                           Ap("b", "WPA-PSK/WPA2-PSK", "TKIP/AES"), Ap("c", "None"),
                                           Ap("d", "Odd")};
  ApListInput in;
  EXPECT_EQ(ApListNext(s, list, in).problem, Problem::WpaKeyEmpty);
  in.wpaKey = std::string(63, 'k');
  ASSERT_EQ(ApListNext(s, list, in).problem, Problem::None);
  EXPECT_EQ(s.net.WireSec, 2);
  EXPECT_EQ(s.net.WPAEnc, 1);
  EXPECT_EQ(s.net.WPAKey, std::string(63, 'k'));
  in.chosen = 1;
  ASSERT_EQ(ApListNext(s, list, in).problem, Problem::None);
  EXPECT_EQ(s.net.WireSec, 3);
  EXPECT_EQ(s.net.WPAEnc, 0);
  in.chosen = 2;
  ASSERT_EQ(ApListNext(s, list, in).problem, Problem::None);
  EXPECT_EQ(s.net.WireSec, 0);
  in.chosen = 3;
  s.net.WireSec = 3;
  ASSERT_EQ(ApListNext(s, list, in).problem, Problem::None);
  EXPECT_EQ(s.net.WireSec, 3) << "an unknown security text stores no security";
  EXPECT_EQ(s.net.SSID, "d");

  // A key the system code page cannot hold is refused, never stored changed.
  SetSystemCodePage(kCodePageWestern);
  in.chosen = 0;
  in.wpaKey = "\xe4\xb8\xad\xe6\x96\x87 key";
  EXPECT_EQ(ApListNext(s, list, in).problem, Problem::NotStorable);
  EXPECT_EQ(s.net.SSID, "d");
  SetSystemCodePage(kCodePageUtf8);
}

TEST(AccessPointList, NoAccessPointClearsTheNameAndAStaleCountIsNeverUsed) {
  SessionRecord s;
  s.net.SSID = "old";
  s.apCount = 5;  // stale: the adopted list is empty
  EXPECT_EQ(ApListNext(s, {}, ApListInput{}).step, nav::kStepUpnp);
  EXPECT_TRUE(s.net.SSID.empty());
  ApListInput in;
  in.chosen = 4;
  s.net.SSID = "old";
  EXPECT_EQ(ApListNext(s, {Ap("x", "None")}, in).step, nav::kStepUpnp);
  EXPECT_TRUE(s.net.SSID.empty());
}

TEST(AccessPointList, TheNameIsStoredWithTheBytesFromTheAir) {
  SessionRecord s;
  const std::string raw = "n\xff" + std::string(61, 'x');  // 63 bytes, not valid UTF-8
  AccessPointEntry ap = Ap("", "None");
  ap.SSID = raw;
  ApListInput in;
  ASSERT_EQ(ApListNext(s, {ap}, in).problem, Problem::None);
  EXPECT_EQ(s.net.SSID, raw);
}

TEST(ManualPage, ChannelListsFollowTheChannelType) {
  EXPECT_EQ(ChannelList(0).size(), 12u);
  EXPECT_EQ(ChannelList(1).back(), "13");
  EXPECT_EQ(ChannelList(2).back(), "14");
  EXPECT_EQ(ChannelList(3), (std::vector<std::string>{"Auto", "10", "11", "12", "13"}));
  EXPECT_EQ(ChannelList(4), (std::vector<std::string>{"Auto", "10", "11"}));
  EXPECT_EQ(ChannelList(5).at(1), "5");
  EXPECT_TRUE(ChannelList(6).empty());
  EXPECT_EQ(TxRateList().size(), 13u);
}

TEST(ManualPage, LoadingSelectsWhatTheRecordSaysAndRangeChecksCameraValues) {
  SessionRecord s;
  s.net.ChType = 2;
  s.net.WireCh = 14;
  s.net.WireType = 7;
  s.net.WireSec = 9;
  s.net.WEPKeyE0 = 4;
  s.net.WEPMode = 2;
  s.net.WEPAuthM = 3;
  s.net.WPAEnc = 2;
  s.net.TxRate = "7M";
  ManualView v = LoadManual(s);
  EXPECT_EQ(v.channels.back(), "14");
  EXPECT_EQ(v.channel, 14);
  EXPECT_EQ(v.mode, kNoChoice);
  EXPECT_EQ(v.security, kNoChoice);
  EXPECT_EQ(v.keyNumber, kNoChoice);
  EXPECT_EQ(v.keyFormat, kNoChoice);
  EXPECT_EQ(v.authMode, kNoChoice);
  EXPECT_EQ(v.algorithm, kNoChoice);
  EXPECT_EQ(v.rate, kNoChoice);

  // Nothing chosen: every one of these values stays as the camera had it.
  const SessionRecord before = s;
  ManualInput in;
  in.channel = v.channel;
  ASSERT_EQ(ManualNext(s, in).problem, Problem::None);
  EXPECT_EQ(s.net.WireType, before.net.WireType);
  EXPECT_EQ(s.net.WireSec, before.net.WireSec);
  EXPECT_EQ(s.net.WPAEnc, before.net.WPAEnc);
  EXPECT_EQ(s.net.TxRate, "7M");
  EXPECT_EQ(s.net.WireCh, 14);

  s.net.ChType = 0;
  s.net.WireCh = 0;
  s.net.TxRate = "5.5M";
  s.net.WireSec = 0;
  v = LoadManual(s);
  EXPECT_EQ(v.channel, kNoChoice) << "channel 0 matches no entry";
  EXPECT_EQ(v.rate, 3);
  EXPECT_FALSE(v.channelEnabled);
}

TEST(ManualPage, TheKeyLengthFollowsTheStoredLengthOrTheKey) {
  SessionRecord s;
  s.net.WEPKeyE0 = 2;
  s.net.WEPKey2 = "12345678901234567890123456";
  s.net.WepKeyL = 128;
  EXPECT_EQ(LoadManual(s).keyLength, 1);
  s.net.WepKeyL = 1;
  EXPECT_EQ(LoadManual(s).keyLength, 1);
  s.net.WepKeyL = 0;
  EXPECT_EQ(LoadManual(s).keyLength, 0);
  s.net.WepKeyL = 77;
  EXPECT_EQ(LoadManual(s).keyLength, 1) << "by the key's own length";
  EXPECT_EQ(LoadManual(s).wepKeys[2], "12345678901234567890123456");
}

TEST(ManualPage, NextStoresTheChoicesAndRefusesBadKeys) {
  SessionRecord s;
  s.net.ChType = 0;
  ManualInput in;
  in.ssid = {"home", true};
  in.mode = 0;
  in.channel = 6;
  in.rate = 3;
  in.security = 1;
  in.authMode = 1;
  in.keyLength = 1;
  in.keyFormat = kWepHex;
  in.keyNumber = 2;
  in.wepKey = {"", true};
  EXPECT_EQ(ManualNext(s, in).problem, Problem::WepKeyEmpty);
  EXPECT_TRUE(s.net.SSID.empty()) << "a refused Next stores nothing";
  in.wepKey = {"12345ABCDE", true};
  EXPECT_EQ(ManualNext(s, in).problem, Problem::WepKeyLength);
  in.wepKey = {"12345ABCDE12345ABCDE12345G", true};
  EXPECT_EQ(ManualNext(s, in).problem, Problem::WepKeyNotHex);
  in.wepKey = {"12345ABCDE12345ABCDE123456", true};
  const NextAnswer a = ManualNext(s, in);
  ASSERT_EQ(a.problem, Problem::None);
  EXPECT_EQ(a.step, nav::kStepWirelessAddress);
  EXPECT_EQ(s.net.SSID, "home");
  EXPECT_EQ(s.net.WireType, 0);
  EXPECT_EQ(s.net.WireCh, 6);
  EXPECT_EQ(s.net.TxRate, "5.5M");
  EXPECT_EQ(s.net.WireSec, 1);
  EXPECT_EQ(s.net.WepKeyL, 128) << "the manual page stores bits";
  EXPECT_EQ(s.net.WEPMode, kWepHex);
  EXPECT_EQ(s.net.WEPKeyE0, 2);
  EXPECT_EQ(s.net.WEPAuthM, 1);
  EXPECT_EQ(s.net.WEPKey2, "12345ABCDE12345ABCDE123456");

  in.keyLength = 0;
  EXPECT_EQ(ManualNext(s, in).problem, Problem::WepKeyLength);
  in.channel = 0;
  in.security = 3;
  in.wpaKey = {"", true};
  EXPECT_EQ(ManualNext(s, in).problem, Problem::WpaKeyEmpty);
  in.wpaKey = {"secret phrase", true};
  ASSERT_EQ(ManualNext(s, in).problem, Problem::None);
  EXPECT_EQ(s.net.WPAKey, "secret phrase");
  EXPECT_EQ(s.net.WireCh, 0) << "Auto";
}

TEST(ManualPage, UnchangedTextsKeepTheirBytesAndChangedOnesMustFit) {
  SetSystemCodePage(kCodePageUtf8);
  SessionRecord s;
  s.net.SSID = "odd\xff";
  s.net.WireSec = 2;
  s.net.WPAKey = std::string(63, 'w');
  const ManualView v = LoadManual(s);
  EXPECT_EQ(v.ssid, "odd\\xFF");
  ManualInput in;
  in.ssid = {v.ssid, false};
  in.security = 2;
  in.wpaKey = {v.wpaKey, false};
  ASSERT_EQ(ManualNext(s, in).problem, Problem::None);
  EXPECT_EQ(s.net.SSID, "odd\xff");
  EXPECT_EQ(s.net.WPAKey, std::string(63, 'w'));

  in.ssid = {std::string(64, 's'), true};  // longer than the field holds: refused, not cut
  EXPECT_EQ(ManualNext(s, in).problem, Problem::NotStorable);
  EXPECT_EQ(s.net.SSID, "odd\xff");
  SetSystemCodePage(kCodePageWestern);
  in.ssid = {"\xe4\xb8\xad", true};  // not in the Western code page
  EXPECT_EQ(ManualNext(s, in).problem, Problem::NotStorable);
  SetSystemCodePage(kCodePageUtf8);
}

}  // namespace
}  // namespace orv::test
