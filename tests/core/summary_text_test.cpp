// The summary texts shown before a save, and what the finish and link-server pages show of a
// camera row and which web page they may open.

#include "core/app/summary_text.h"

#include <gtest/gtest.h>

#include "core/app/finish_info.h"
#include "core/platform/codepage.h"

namespace orv::test {
namespace {

SummaryLabels Labels() {
  SummaryLabels l;
  l.hostname = "Host name:";
  l.description = "Description:";
  l.userId = "User name";
  l.password = "Password";
  l.radioDhcp = "DHCP IP Address";
  l.radioFixIp = "Fixed IP";
  l.fixedWirelessIp = "Fixed Wireless IP";
  l.submask = "Subnet Mask";
  l.gateway = "Gateway";
  l.dns = "DNS Server";
  l.useWps = "USEWPS";
  l.wpsSucceeded = "WPS ok";
  l.wpsFailed = "WPS failed";
  l.notUseWireless = "not used";
  l.notSupposeWireless = "no wireless";
  l.ssid = "SSID";
  l.security = "Security";
  l.upnpOn = "UPnP on";
  l.upnpOff = "UPnP off";
  l.httpPort = "HTTP port";
  l.streamPort = "Stream port";
  l.rtspPort = "RTSP port";
  return l;
}

SessionRecord Record() {
  SessionRecord s;
  s.sys.TitleBar = "hall";
  s.sys.Desp = "front door";
  s.net.IPAddr = "192.168.0.98";
  s.net.Netmask = "255.255.255.0";
  s.net.Gateway = "192.168.0.1";
  s.net.DNS1 = "192.168.0.2";
  s.net.WIPAddr = "192.168.0.150";
  s.net.WNetmask = "255.255.0.0";
  s.net.WGateway = "192.168.0.254";
  s.net.WDNS1 = "8.8.4.4";
  s.pcGatewayText = "10.0.0.1";
  s.sys.HttpPort = 80;
  s.sys.secondPort = 1025;
  s.sys.RTSPPort = 554;
  return s;
}

TEST(SummaryText, SystemLabelsAndValuesAreNotSeparated) {
  EXPECT_EQ(BuildSummaryTexts(Record(), Labels()).system, "Host name:hall\nDescription:front door");
}

TEST(SummaryText, NetworkTextFollowsTheAddressType) {
  SessionRecord s = Record();
  s.net.IPType = 1;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network,
            "Fixed IP:192.168.0.98\nSubnet Mask:255.255.255.0\nGateway:192.168.0.1\n"
            "DNS Server:192.168.0.2");
  // DHCP: the PC's gateway, never one of the camera's addresses.
  s.net.IPType = 0;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network, "DHCP IP Address\nGateway:10.0.0.1");
  s.net.IPType = 2;
  s.net.PAccount = "user@isp";
  s.net.PPwd = "secret";
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network,
            "PPPoE:\nUser name:\nuser@isp\nPassword:\nsecret");
  for (int type : {3, 255}) {
    s.net.IPType = static_cast<std::uint8_t>(type);
    EXPECT_FALSE(BuildSummaryTexts(s, Labels()).network) << type;
  }
}

TEST(SummaryText, TheNetworkTextShowsEveryAddressSetTheSaveWrites) {
  SessionRecord s = Record();
  s.net.IPType = 1;
  s.net.WIPType = 1;
  s.sys.wirelessCapable = 1;
  s.linkWireless = 1;
  const std::string wired =
      "Fixed IP:192.168.0.98\nSubnet Mask:255.255.255.0\nGateway:192.168.0.1\n"
      "DNS Server:192.168.0.2";
  const std::string wireless =
      "Fixed Wireless IP:192.168.0.150\nSubnet Mask:255.255.0.0\nGateway:192.168.0.254\n"
      "DNS Server:8.8.4.4";
  // The full write carries both sets.
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network, wired + "\n" + wireless);
  s.linkWireless = 0;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network, wired + "\n" + wireless);
  // The wizard's DHCP click left the wired type at DHCP before Fixed was chosen again.
  s.net.IPType = 0;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network,
            "DHCP IP Address\nGateway:10.0.0.1\n" + wireless);
  s.net.IPType = 2;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network,
            "PPPoE:\nUser name:\n\nPassword:\n\n" + wireless);
  // The WPS save's short write has no wireless set: only the wired one is promised.
  s.net.IPType = 1;
  s.linkWireless = 1;
  s.useWps = 1;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network, wired);
  // A wireless set by DHCP adds nothing.
  s.useWps = 0;
  s.net.WIPType = 0;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).network, wired);
}

TEST(SummaryText, WirelessTextByCapabilityChoiceWpsAndSecurity) {
  SessionRecord s = Record();
  s.linkWireless = 1;
  s.useWps = 1;
  s.wpsAck = 1;
  s.net.SSID = "lab";
  // Without the capability nothing else counts.
  for (int capability : {0, 2}) {
    s.sys.wirelessCapable = static_cast<std::uint8_t>(capability);
    EXPECT_EQ(BuildSummaryTexts(s, Labels()).wireless, "no wireless");
  }
  s.sys.wirelessCapable = 1;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).wireless, "USEWPS\nWPS ok");
  s.wpsAck = 0;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).wireless, "USEWPS\nWPS failed");
  s.useWps = 0;
  const char* expected[] = {"SSID:lab\nSecurity:none", "SSID:lab\nSecurity:WEP",
                            "SSID:lab\nSecurity:WPA-PSK", "SSID:lab\nSecurity:WPA2-PSK"};
  for (int sec = 0; sec < 4; ++sec) {
    s.net.WireSec = static_cast<std::uint8_t>(sec);
    EXPECT_EQ(BuildSummaryTexts(s, Labels()).wireless, expected[sec]);
  }
  s.linkWireless = 0;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).wireless, "not used");
}

TEST(SummaryText, PortsAreListedWhetherUpnpIsOnOrOff) {
  SessionRecord s = Record();
  s.sys.UPnPE = 1;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).upnp,
            "UPnP on\nHTTP port:80\nStream port:1025\nRTSP port:554");
  s.sys.UPnPE = 0;
  s.sys.HttpPort = 65535;
  EXPECT_EQ(BuildSummaryTexts(s, Labels()).upnp,
            "UPnP off\nHTTP port:65535\nStream port:1025\nRTSP port:554");
}

TEST(SummaryText, RecordTextsComeFromTheSystemCodePage) {
  const int saved = SystemCodePage();
  SetSystemCodePage(kCodePageTraditionalChinese);
  SessionRecord s = Record();
  s.sys.TitleBar = "\xa4\xa4";  // one character in CP950
  EXPECT_EQ(BuildSummaryTexts(s, SummaryLabels{}).system, "\xe4\xb8\xad\nfront door");
  SetSystemCodePage(saved);
}

TEST(FinishInfo, InterfaceWordAfterTheFirstCharacterEthernetWins) {
  EXPECT_EQ(InterfaceOf("Vexor-41HA/wireless"), CameraInterface::Wireless);
  EXPECT_EQ(InterfaceOf("Vexor-41HA/ethernet"), CameraInterface::Ethernet);
  EXPECT_EQ(InterfaceOf("wireless/ethernet"), CameraInterface::Ethernet);
  // The very first character never counts.
  EXPECT_EQ(InterfaceOf("ethernet wireless"), CameraInterface::Wireless);
  EXPECT_EQ(InterfaceOf("wireless"), CameraInterface::Unknown);
  EXPECT_EQ(InterfaceOf("Vexor-41HA"), CameraInterface::Unknown);
  EXPECT_EQ(InterfaceOf(""), CameraInterface::Unknown);
  EXPECT_EQ(to_string(CameraInterface::Wireless), "wireless");
}

TEST(FinishInfo, LinkedOnlyWhenNatStatIsOne) {
  SessionRecord s;
  for (int stat : {0, 2, 255}) {
    s.sys.NATStat = static_cast<std::uint8_t>(stat);
    EXPECT_EQ(NatStatusText(s), "Camera isn't linked  with Server") << stat;
  }
  s.sys.NATStat = 1;
  EXPECT_EQ(NatStatusText(s), "Camera is linked  with Server");
}

TEST(FinishInfo, LinksOnlyToDottedQuadsAndPortsOneToMax) {
  EXPECT_EQ(WebLinkText("10.0.0.7", "8080"), "http://10.0.0.7:8080");
  const std::optional<CameraTarget> ok = CheckWebTarget("10.0.0.7", "8080");
  ASSERT_TRUE(ok);
  EXPECT_EQ(ok->port, 8080);
  for (const char* ip : {"evil.example", "10.0.0.7/x", "10.0.0", "", "10.0.0.7@h"})
    EXPECT_FALSE(CheckWebTarget(ip, "80")) << ip;
  for (const char* port : {"0", "65536", "", "80/x", "-1"})
    EXPECT_FALSE(CheckWebTarget("10.0.0.7", port)) << port;
}

}  // namespace
}  // namespace orv::test
