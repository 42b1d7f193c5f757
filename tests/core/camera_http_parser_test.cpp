// The settings extractors, the page parser, value escaping and the two list parsers.
#include <gtest/gtest.h>

#include "core/camera_http/list_parsers.h"
#include "core/camera_http/settings_parser.h"

namespace orv::test {
namespace {

TEST(SettingsExtract, KeysMatchOnlyAsWholeKeys) {
  SessionRecord s;
  ParseSettings(s,
                "WIPAddr=192.168.0.9\nIPAddr=192.168.0.5\nWIPType=1\nIPType=0\n"
                "ExtHttpPort=9000\nHttpPort=8080\nWPAPSKeyM=1\n",
                3, 0);
  EXPECT_EQ(s.net.IPAddr, "192.168.0.5");
  EXPECT_EQ(s.net.WIPAddr, "192.168.0.9");
  EXPECT_EQ(s.net.IPType, 0);
  EXPECT_EQ(s.net.WIPType, 1);
  EXPECT_EQ(s.sys.HttpPort, 8080u);

  // The longer key alone does not feed the shorter one.
  SessionRecord t;
  t.net.IPType = 7;
  ParseSettings(t, "WIPAddr=192.168.0.9\nWIPType=1\n", 3, 0);
  EXPECT_EQ(t.net.IPAddr, "");
  EXPECT_EQ(t.net.IPType, 7);

  // At the very start and after punctuation a key still matches.
  FixedText<64> v;
  EXPECT_TRUE(ExtractValue(v, "IPAddr=", "IPAddr=1.1.1.1"));
  EXPECT_EQ(v, "1.1.1.1");
  EXPECT_TRUE(ExtractValue(v, "IPAddr=", "x&IPAddr=2.2.2.2&y"));
  EXPECT_EQ(v, "2.2.2.2&y");  // "&" belongs to a settings value
  EXPECT_FALSE(ExtractValue(v, "IPAddr=", "_IPAddr=3.3.3.3"));
  EXPECT_EQ(v, "2.2.2.2&y");
}

TEST(SettingsExtract, EmptyAndMissingValues) {
  SessionRecord s;
  s.net.SSID = "old";
  s.net.WireCh = 9;
  s.net.IPType = 2;
  ParseSettings(s, "SSID=\nWireCh=\nIPType=abc\nWPAPSKeyM=1\n", 3, 0);
  EXPECT_EQ(s.net.SSID, "");   // cleared first
  EXPECT_EQ(s.net.WireCh, 9);  // kept
  EXPECT_EQ(s.net.IPType, 2);  // not a number: kept
  std::uint8_t b = 5;
  EXPECT_FALSE(ExtractValue(b, "WireCh=", "WireCh="));
  EXPECT_FALSE(ExtractValue(b, "WireCh=", "WireCh=\r\n3"));
  EXPECT_EQ(b, 5);
}

TEST(SettingsExtract, NumbersAndTexts) {
  SessionRecord s;
  ParseSettings(s, "HttpPort=8080\nWireCh=300\nWEPKeyE0=-1\nRTPPort= 554\nSSID=a b=\"c\"\r\n", 3,
                0);
  EXPECT_EQ(s.sys.HttpPort, 8080u);
  EXPECT_EQ(s.net.WireCh, 44);  // 300 modulo 256
  EXPECT_EQ(s.net.WEPKeyE0, 255);
  EXPECT_EQ(s.sys.secondPort, 554u);
  EXPECT_EQ(s.net.SSID, "a b=\"c\"");
  std::int32_t big = 0;
  EXPECT_TRUE(ExtractValue(big, "N=", "N=99999999999999999999"));
  EXPECT_EQ(big, 2147483647);
  EXPECT_TRUE(ExtractValue(big, "N=", "N=-99999999999999999999"));
  EXPECT_EQ(big, -2147483647 - 1);
  // Texts longer than their field are cut to it.
  FixedText<16> version;
  ExtractValue(version, "Version=", "Version=" + std::string(100, '9'));
  EXPECT_EQ(version.size(), 15u);
}

TEST(SettingsExtract, CellValues) {
  const std::string cell = "<td>AP Channel=6 SSID=\"lab net\" Mode=Infra<br> Security= x</td>";
  FixedText<64> ssid, mode, security("kept");
  std::uint8_t ch = 0;
  EXPECT_TRUE(ExtractCellValue(ssid, "SSID=", cell));
  EXPECT_EQ(ssid, "lab net");
  EXPECT_TRUE(ExtractCellValue(mode, "Mode=", cell));
  EXPECT_EQ(mode, "Infra");
  EXPECT_FALSE(ExtractCellValue(security, "Security=", cell));  // starts with a blank
  EXPECT_EQ(security, "kept");
  EXPECT_TRUE(ExtractCellValue(ch, "Channel=", cell));
  EXPECT_EQ(ch, 6);
  // An unterminated quote runs to the end of the text, never past it.
  EXPECT_TRUE(ExtractCellValue(ssid, "SSID=", "SSID=\"abc"));
  EXPECT_EQ(ssid, "abc");
  EXPECT_TRUE(ExtractCellValue(ssid, "SSID=", "SSID=\""));
  EXPECT_EQ(ssid, "");
  // A firmware that leaves the name unquoted keeps its first letter.
  EXPECT_TRUE(ExtractCellValue(ssid, "SSID=", "SSID=abc<"));
  EXPECT_EQ(ssid, "abc");
}

TEST(SettingsParse, EveryPage) {
  SessionRecord s;
  s.legacyCamera = 1;
  ParseSettings(s,
                "NTPEN=1\nNTPName=time.example\nNTPPoll=24\nTimezone=-5\nDate=2026/12/08\n"
                "Time=14:41:09\n",
                0, 15);
  EXPECT_EQ(s.sys.NTPEN, 1);
  EXPECT_EQ(s.sys.NTPName, "time.example");
  EXPECT_EQ(s.sys.NTPPoll, 24);
  EXPECT_EQ(s.sys.Timezone, -5);
  EXPECT_EQ(s.sys.Date, "2026/12/08");
  EXPECT_EQ(s.sys.Time, "14:41:09");

  ParseSettings(s, "TitleBar=Front door cam\nDesp=porch\nSECUEN=1\nModelName=Vexor-41HA\n", 1, 0);
  EXPECT_EQ(s.sys.TitleBar, "Front door cam");
  EXPECT_EQ(s.sys.Desp, "porch");
  EXPECT_EQ(s.sys.SECUEN, 1);
  EXPECT_EQ(s.sys.ModelName, "Vexor-41HA");

  // The legacy family reads its second port as SPort.
  ParseSettings(s, "RTPPort=1\nSPort=5000\nRTSPPort=554\nUPnPE=1\nWPAPSKeyM=3\n", 3, 0);
  EXPECT_EQ(s.sys.secondPort, 5000u);
  EXPECT_EQ(s.sys.RTSPPort, 554u);
  EXPECT_EQ(s.net.WPAPSKeyM, 3);
  s.legacyCamera = 0;
  ParseSettings(s, "RTPPort=6000\nSPort=5000\n", 3, 0);
  EXPECT_EQ(s.sys.secondPort, 6000u);

  ParseSettings(s, "DDNSSrv=dyn\nDDNS=1\nDDNSUser=u\nDDNSPwd=p\nDDNSHost=h.example\n", 13, 0);
  EXPECT_EQ(s.sys.DDNSSrv, "dyn");
  EXPECT_EQ(s.sys.DDNS, 1);
  EXPECT_EQ(s.sys.DDNSHost, "h.example");

  ParseSettings(s, "Version=0.9.6.8\n", 23, 0);
  EXPECT_EQ(s.sys.Version, "0.9.6.8");

  ParseSettings(s, "Wireless=1\nWPS=1\nTransversal=1\n", 32, 0);
  EXPECT_EQ(s.sys.wirelessCapable, 1);
  EXPECT_EQ(s.sys.wpsCapable, 1);
  EXPECT_EQ(s.sys.Transversal, 1);
  EXPECT_EQ(s.net.Wireless, 0);  // the network page's field is another one

  ParseSettings(s, "NATStat=2\nExtIPAddr=203.0.113.7\nExtHttpPort=8081\n", 34, 0);
  EXPECT_EQ(s.sys.NATStat, 2);
  EXPECT_EQ(s.sys.ExtIPAddr, "203.0.113.7");
  EXPECT_EQ(s.sys.ExtHttpPort, 8081);
  // The external port does not feed the camera's own port.
  EXPECT_EQ(s.sys.HttpPort, 0u);

  const SessionRecord before = s;
  ParseSettings(s, "TitleBar=zzz\nVersion=9\n", 7, 0);
  EXPECT_EQ(s.sys.TitleBar, before.sys.TitleBar);
  EXPECT_EQ(s.sys.Version, before.sys.Version);
}

TEST(SettingsParse, PppoeFieldsAreNeverRead) {
  SessionRecord s;
  s.net.PAccount = "acct";
  ParseSettings(s, "PAccount=other\nWPAPSKeyM=1\n", 3, 0);
  EXPECT_EQ(s.net.PAccount, "acct");
}

TEST(QueryValues, EscapingKeepsEachValueInItsParameter) {
  EXPECT_EQ(EscapeQueryValue("Front door cam"), "Front%20door%20cam");
  EXPECT_EQ(EscapeQueryValue("a b&IPType=2"), "a%20b%26IPType%3D2");
  EXPECT_EQ(EscapeQueryValue("%+#?\n\r\x7f"), "%25%2B%23%3F%0A%0D%7F");
  // Every other byte goes as it is, high bytes of the code page included.
  EXPECT_EQ(EscapeQueryValue("a/b:c.d-e_f~\"'<>\xe4\xb8\xad"), "a/b:c.d-e_f~\"'<>\xe4\xb8\xad");
  EXPECT_EQ(EscapeQueryValue(""), "");
}

// ---- access-point scan
// ---------------------------------------------------------------------------

TEST(ScanParse, CountsAndCells) {
  std::uint32_t count = 99;
  EXPECT_FALSE(ParseAccessPointScan("sum = 3 </td><td>AP</td>", &count).has_value());
  auto none = ParseAccessPointScan("<p>scan AP sum = 0</p>", &count);
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
  EXPECT_EQ(count, 0u);

  const std::string answer =
      "<table>scan AP sum = 3</td>"
      "<td>AP Channel=1 Mac_address=aa SSID=\"one\" Quality=50 Mode=Infra Security=WEP "
      "Algorithm=-</td>"
      "<td>header, no entry</td>"
      "<td>AP SSID=\"three\"</td>";
  auto list = ParseAccessPointScan(answer, &count);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->size(), 3u);
  EXPECT_EQ(count, 3u);
  const AccessPointEntry& a = (*list)[0];
  EXPECT_EQ(a.Channel, 1);
  EXPECT_EQ(a.Mac_address, "aa");
  EXPECT_EQ(a.SSID, "one");
  EXPECT_EQ(a.Quality, 50);
  EXPECT_EQ(a.Mode, "Infra");
  EXPECT_EQ(a.Security, "WEP");
  EXPECT_EQ(a.Algorithm, "-");
  EXPECT_EQ((*list)[1].SSID, "");  // its cell is not an access point: zero-filled
  EXPECT_EQ((*list)[2].SSID, "three");
  EXPECT_EQ((*list)[2].Channel, 0);
}

TEST(ScanParse, HostileCountsNeverReachPastTheAnswer) {
  std::uint32_t count = 0;
  for (const char* sum : {"-5", "4294967295", "2147483647", "99999999999"}) {
    const std::string answer =
        std::string("scan AP sum = ") + sum + "</td><td>AP SSID=\"x\"</td><td>AP</td>";
    auto list = ParseAccessPointScan(answer, &count);
    ASSERT_TRUE(list.has_value()) << sum;
    EXPECT_LE(list->size(), 2u) << sum;
    EXPECT_EQ(count, list->size());
  }
  // A first cell that itself looks like an access point carries no entry.
  auto list = ParseAccessPointScan("<td>AP SSID=\"lead\" scan AP sum = 1</td>", &count);
  ASSERT_TRUE(list.has_value());
  EXPECT_TRUE(list->empty());
}

TEST(ScanParse, LongCellIsCutToTheCellBuffer) {
  // The SSID key lies beyond the 2,047 bytes one cell holds.
  const std::string answer =
      "scan AP sum = 1</td><td>AP " + std::string(2100, 'x') + " SSID=\"far\" Channel=3</td>";
  std::uint32_t count = 0;
  auto list = ParseAccessPointScan(answer, &count);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->size(), 1u);
  EXPECT_EQ((*list)[0].SSID, "");
  EXPECT_EQ((*list)[0].Channel, 0);
}

// ---- link-server list
// ----------------------------------------------------------------------------

TEST(LinkServerParse, EntriesFollowTheCount) {
  const std::string answer =
      "HTTP/1.0 200 OK\n\nTotal Camera=2 ID=c1 IP=198.51.100.1 Port=80 Mac_address=aa "
      "Modelname=Vexor-41HA<br>Camera=2 ID=c2 IP=198.51.100.2 Port=81 Mac_address=bb "
      "Modelname=Ralto-52<br>";
  const auto list = ParseLinkServerList(answer);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].ID, "c1");
  EXPECT_EQ(list[0].IP, "198.51.100.1");
  EXPECT_EQ(list[0].Port, "80");
  EXPECT_EQ(list[0].Mac_address, "aa");
  EXPECT_EQ(list[0].Modelname, "Vexor-41HA");
  EXPECT_EQ(list[1].ID, "c2");
  EXPECT_EQ(list[1].Port, "81");
  EXPECT_EQ(list[1].Modelname, "Ralto-52");
}

TEST(LinkServerParse, HostileCountsAreClamped) {
  EXPECT_TRUE(ParseLinkServerList("").empty());
  EXPECT_TRUE(ParseLinkServerList("Total Camera=-3 ID=a").empty());
  EXPECT_TRUE(ParseLinkServerList("Total Camera=0 ID=a").empty());
  const auto list = ParseLinkServerList("Total Camera=2000000000 ID=a IP=b");
  ASSERT_EQ(list.size(), 1u);  // one "Camera=" in the whole text
  EXPECT_EQ(list[0].ID, "a");
  // Only the text up to a terminator counts.
  const auto cut = ParseLinkServerList(std::string_view("Total Camera=1\0ID=x", 19));
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].ID, "");
}

}  // namespace
}  // namespace orv::test
