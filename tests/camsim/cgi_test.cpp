// The CGI programs of both camera families as a client on loopback sees them.
#include "cgi.h"

#include <gtest/gtest.h>

#include <chrono>

#include "camsim.h"
#include "client.h"

using namespace camsim;

namespace orv::test {

namespace {

class CgiTest : public ::testing::Test {
 protected:
  void StartWith(std::vector<CameraConfig> cams) {
    LabConfig lab;
    lab.discoveryPort = 0;
    lab.cameras = std::move(cams);
    m_emu = std::make_unique<Emulator>(lab);
    std::string error;
    ASSERT_TRUE(m_emu->Start(&error)) << error;
  }
  std::string Ask(std::size_t cam, const std::string& request) {
    return Exchange(m_emu->HttpPort(cam), request).bytes;
  }
  std::unique_ptr<Emulator> m_emu;
};

CameraConfig Config() {
  CameraConfig c;
  c.settings["TitleBar"] = "Front door";
  return c;
}

CameraConfig Legacy() {
  CameraConfig c;
  c.family = Family::Legacy;
  c.description = "Vexor-41H";
  return c;
}

TEST_F(CgiTest, ConfigFamilyAnswersEachPageWithItsKeysInOrder) {
  StartWith({Config()});
  const std::string auth = Basic("", "");  // the config family always sends a header
  EXPECT_EQ(Ask(0, Get("/cgi-bin/config_sysinfo.cgi?Act=1&Page=1", auth)),
            "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 70\r\n"
            "Connection: close\r\n\r\n"
            "TitleBar=Front door\nDesp=Network Camera\nSECUEN=0\nModelName=Vexor-41HA\n");

  const std::string net = Body(Ask(0, Get("/cgi-bin/config_network.cgi?Act=1&Page=3", auth)));
  const std::string port = std::to_string(m_emu->HttpPort(0));
  EXPECT_EQ(net.rfind("IPType=1\nIPAddr=127.0.0.1\nNetmask=255.255.255.0\n", 0), 0u) << net;
  EXPECT_NE(net.find("\nWPAPSKeyM=1\n"), std::string::npos);
  EXPECT_NE(net.find("\nHttpPort=" + port + "\nRTPPort=5000\nRTSPPort=554\n"), std::string::npos);
  EXPECT_EQ(net.find("SPort="), std::string::npos);
  // A client takes the first "IPAddr=": the plain key must come before its wireless twin.
  EXPECT_LT(net.find("IPAddr="), net.find("WIPAddr="));

  EXPECT_EQ(Body(Ask(0, Get("/cgi-bin/config_ddns.cgi?Act=1&Page=13", auth))),
            "DDNSSrv=\nDDNS=0\nDDNSUser=\nDDNSPwd=\nDDNSHost=\n");
  EXPECT_EQ(Body(Ask(0, Get("/goform/Parameters?Act=1&Page=23", auth))), "Version=1.0.2.3\n");
  EXPECT_EQ(Body(Ask(0, Get("/goform/Parameters?Act=1&Page=32", auth))),
            "Wireless=1\nWPS=1\nTransversal=1\n");
  EXPECT_EQ(Body(Ask(0, Get("/goform/Parameters?Act=1&Page=34", auth))),
            "NATStat=1\nExtIPAddr=203.0.113.7\nExtHttpPort=" + port + "\n");
  const std::string time = Body(Ask(0, Get("/cgi-bin/config_time.cgi?Act=1", auth)));
  EXPECT_EQ(time.rfind("NTPEN=1\nNTPName=ntp.lab.example\nNTPPoll=24\nTimezone=0\nDate=", 0), 0u);
  EXPECT_NE(time.find("\nTime="), std::string::npos);
}

TEST_F(CgiTest, LegacyFamilyUsesParametersAndSetTimeAndNamesTheSecondPortSPort) {
  StartWith({Legacy()});
  EXPECT_EQ(Body(Ask(0, Get("/goform/Parameters?Act=1&Page=1", "\n"))),
            "TitleBar=IPCAM\nDesp=Network Camera\nSECUEN=0\nModelName=Vexor-41H\n");
  const std::string net = Body(Ask(0, Get("/goform/Parameters?Act=1&Page=3", "\n")));
  EXPECT_NE(net.find("\nSPort=5000\n"), std::string::npos);
  EXPECT_EQ(net.find("RTPPort="), std::string::npos);
  EXPECT_NE(Body(Ask(0, Get("/cgi-bin/set_time.cgi?Act=1", "\n"))).find("NTPEN=1\n"),
            std::string::npos);
  EXPECT_EQ(Body(Ask(0, Get("/goform/Parameters?Act=1&Page=23", "\n"))), "Version=0.9.6.9\n");
}

TEST_F(CgiTest, EachFamilyRefusesTheOtherFamilysProgramsAndUnknownPages) {
  StartWith({Config(), Legacy()});
  const std::string notFound = "HTTP/1.0 404 Not Found\r\n";
  for (const char* target :
       {"/goform/Parameters?Act=1&Page=1", "/cgi-bin/set_time.cgi?Act=1",
        "/cgi-bin/config_network.cgi??Act=2&Page=3", "/cgi-bin/config_sysinfo.cgi?Act=1&Page=3",
        "/goform/Parameters?Act=1&Page=99", "/index.html"}) {
    EXPECT_EQ(Ask(0, Get(target, "\n")).rfind(notFound, 0), 0u) << target;
  }
  for (const char* target :
       {"/cgi-bin/config_sysinfo.cgi?Act=1&Page=1", "/cgi-bin/config_time.cgi?Act=1",
        "/cgi-bin/config_network.cgi?Act=2&Page=3", "/goform/Parameters?Act=7&Page=1",
        "/goform/Parameters?Page=1"}) {
    EXPECT_EQ(Ask(1, Get(target, "\n")).rfind(notFound, 0), 0u) << target;
  }
  EXPECT_EQ(Ask(1, "POST /goform/Parameters?Act=1&Page=1 HTTP/1.0\n\n").rfind(notFound, 0), 0u);
}

TEST_F(CgiTest, PasswordCameraRefusesMissingAndWrongCredentials) {
  CameraConfig c = Config();
  c.password = "s3cret";
  StartWith({c});
  const std::string target = "/cgi-bin/config_sysinfo.cgi?Act=1&Page=1";
  for (const std::string& auth :
       {std::string("\n"), Basic("", ""), Basic("root", "wrong"), Basic("admin", "s3cret"),
        std::string("Authorization: Basic %%%\n\n")}) {
    const std::string a = Ask(0, Get(target, auth));
    EXPECT_EQ(a.rfind("HTTP/1.0 401 Unauthorized\r\n", 0), 0u) << auth;
    EXPECT_NE(a.find("Unauthorized"), std::string::npos);
  }
  const std::string ok = Ask(0, Get(target, Basic("root", "s3cret")));
  EXPECT_EQ(ok.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
  EXPECT_NE(Body(ok).find("SECUEN=1\n"), std::string::npos);
  // Writes, scans and WPS need credentials as well.
  EXPECT_NE(Ask(0, Get("/cgi-bin/ap_scan.cgi", "\n ")).find("401"), std::string::npos);
  EXPECT_NE(Ask(0, Get("/cgi-bin/config_sysinfo.cgi?Act=2&Page=1&TitleBar=x", "\n\n")).find("401"),
            std::string::npos);
  EXPECT_EQ(m_emu->Setting(0, "TitleBar"), "Front door");
}

TEST_F(CgiTest, WriteIsDecodedAndChangesTheNextRead) {
  StartWith({Config()});
  const std::string auth = Basic("", "");
  Ask(0,
      Get("/cgi-bin/config_sysinfo.cgi?Act=2&Page=1&TitleBar=Back%20door%26gate&Desp=a%3Db%25c%23",
          auth + "\n"));
  EXPECT_EQ(m_emu->Setting(0, "TitleBar"), "Back door&gate");
  EXPECT_EQ(m_emu->Setting(0, "Desp"), "a=b%c#");
  const std::string body = Body(Ask(0, Get("/cgi-bin/config_sysinfo.cgi?Act=1&Page=1", auth)));
  EXPECT_EQ(body.rfind("TitleBar=Back door&gate\nDesp=a=b%c#\n", 0), 0u) << body;

  // A bare "&" splits the value, as it would on the camera; "+" and a lone "%" stay as they are.
  Ask(0, Get("/cgi-bin/config_ddns.cgi?Act=2&Page=13&DDNSSrv=a+b&DDNSUser=me&x&DDNSPwd=100%",
             auth + "\n"));
  EXPECT_EQ(m_emu->Setting(0, "DDNSSrv"), "a+b");
  EXPECT_EQ(m_emu->Setting(0, "DDNSUser"), "me");
  EXPECT_EQ(m_emu->Setting(0, "DDNSPwd"), "100%");

  Ask(0, Get("/cgi-bin/config_time.cgi?Act=2&NTPEN=0&NTPName=t.lab&NTPPoll=6&Timezone=-5&Date=2026/"
             "12/08&Time=10:11:12",
             auth + "\n"));
  EXPECT_EQ(Body(Ask(0, Get("/cgi-bin/config_time.cgi?Act=1", auth))),
            "NTPEN=0\nNTPName=t.lab\nNTPPoll=6\nTimezone=-5\nDate=2026/12/08\nTime=10:11:12\n");
}

TEST_F(CgiTest, LegacyShortNetworkWriteWithDoubledQuestionMarkIsANetworkWrite) {
  StartWith({Legacy()});
  const std::string a =
      Ask(0, Get("/cgi-bin/config_network.cgi??Act=2&Page=3&IPType=0&UPnPE=0&SPort=6000", "\n\n"));
  EXPECT_EQ(a.rfind("HTTP/1.0 200 OK", 0), 0u);
  EXPECT_EQ(m_emu->Setting(0, "SPort"), "6000");
  EXPECT_NE(Body(Ask(0, Get("/goform/Parameters?Act=1&Page=3", "\n"))).find("\nUPnPE=0\n"),
            std::string::npos);
}

TEST_F(CgiTest, RequestsAreLoggedByteForByteWithTheTrailingBlank) {
  StartWith({Config()});
  const std::string scan = Get("/cgi-bin/ap_scan.cgi", Basic("", "") + "\n ");
  const std::string crlf = "GET /cgi-bin/config_time.cgi?Act=1 HTTP/1.0\r\nUser-Agent: x\r\n\r\n";
  const std::string blankAgent =
      "GET /goform/Parameters?Act=1&Page=23 HTTP/1.0\n User-Agent: korimo-1.0.1\n\n";
  Ask(0, scan);
  EXPECT_EQ(Body(Ask(0, crlf)).rfind("NTPEN=", 0), 0u);
  EXPECT_EQ(Body(Ask(0, blankAgent)), "Version=1.0.2.3\n");
  EXPECT_EQ(m_emu->Requests(0), (std::vector<std::string>{scan, crlf, blankAgent}));
  m_emu->ClearRequests();
  EXPECT_TRUE(m_emu->Requests(0).empty());
}

TEST_F(CgiTest, ScanTableCarriesTheSumAndOneCellPerAccessPoint) {
  CameraConfig c = Legacy();
  AccessPoint second;
  second.channel = 11;
  second.ssid = "guest net";
  second.security = "NONE";
  c.accessPoints = {AccessPoint{}, second};
  c.scanSum = -1;
  StartWith({c});
  const std::string body = Body(Ask(0, Get("/cgi-bin/ap_scan.cgi", "\n ")));
  EXPECT_NE(body.find("scan AP sum = 2\n"), std::string::npos);
  // Cut as a client does: cells end in "</td>"; the first is the table's leading part.
  std::vector<std::string> cells;
  std::size_t from = 0, end;
  while ((end = body.find("</td>", from)) != std::string::npos) {
    cells.push_back(body.substr(from, end + 5 - from));
    from = end + 5;
  }
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[0].find("<td>AP"), std::string::npos);
  EXPECT_NE(cells[1].find("<td>AP1 Channel=6 Mac_address=00:11:22:33:44:66 SSID=\"lab-net\" "
                          "Quality=80 Mode=Infrastructure Security=WPA2-PSK Algorithm=AES</td>"),
            std::string::npos);
  EXPECT_NE(cells[2].find("Channel=11 "), std::string::npos);
  EXPECT_NE(cells[2].find("SSID=\"guest net\" "), std::string::npos);
}

TEST_F(CgiTest, EmptyScanAndOverriddenSumAndRawPages) {
  CameraConfig empty = Config();
  CameraConfig lying = Config();
  lying.accessPoints = {AccessPoint{}};
  lying.scanSum = 3;
  lying.rawPages["3"] = "IPType=0\n";  // a network answer without WPAPSKeyM
  lying.crlfLines = true;
  StartWith({empty, lying});
  const std::string auth = Basic("", "") + "\n ";
  EXPECT_NE(Ask(0, Get("/cgi-bin/ap_scan.cgi", auth)).find("scan AP sum = 0\n"), std::string::npos);
  const std::string body = Body(Ask(1, Get("/cgi-bin/ap_scan.cgi", auth)));
  EXPECT_NE(body.find("scan AP sum = 3\n"), std::string::npos);
  EXPECT_EQ(body.find("<td>AP2"), std::string::npos);
  EXPECT_EQ(Body(Ask(1, Get("/cgi-bin/config_network.cgi?Act=1&Page=3", Basic("", "")))),
            "IPType=0\n");
  EXPECT_EQ(Body(Ask(1, Get("/goform/Parameters?Act=1&Page=23", Basic("", "")))),
            "Version=1.0.2.3\r\n");
}

TEST_F(CgiTest, WpsSessionRunsOverTheWire) {
  CameraConfig ok = Config(), fail = Legacy(), never = Config();
  // A session far longer than the exchanges below, however loaded the machine; how one ends is
  // tested on the clock of our own below.
  ok.wpsDurationMs = fail.wpsDurationMs = never.wpsDurationMs = 60000;
  fail.wpsOutcome = WpsOutcome::Fail;
  never.wpsOutcome = WpsOutcome::NeverStart;
  StartWith({ok, fail, never});
  const std::string cfgPoll = "/cgi-bin/config_network.cgi?Act=3&Page=3&WPS&WPS_ACK";
  const std::string legacyPoll = "/goform/Parameters?Act=3&Page=3&WPS&WPS_ACK";
  const std::string auth = Basic("", "") + "\n";
  auto poll = [&](std::size_t cam) {
    return Body(Ask(cam, Get(cam == 1 ? legacyPoll : cfgPoll, cam == 1 ? "\n\n" : auth)));
  };
  for (std::size_t cam = 0; cam < 3; ++cam) EXPECT_EQ(poll(cam), "WPS=0\nWPS_ACK=0\n") << cam;
  for (std::size_t cam = 0; cam < 3; ++cam)
    EXPECT_EQ(
        Ask(cam, Get("/cgi-bin/wps.cgi", cam == 1 ? "\n " : auth + " ")).rfind("HTTP/1.0 200", 0),
        0u);
  EXPECT_EQ(poll(0), "WPS=1\nWPS_ACK=0\n");
  EXPECT_EQ(poll(1), "WPS=1\nWPS_ACK=0\n");
  EXPECT_EQ(poll(2), "WPS=0\nWPS_ACK=0\n");
}

// The session's course on a clock the test sets: running until its duration is over to the
// millisecond, then acknowledged or not as configured.
TEST(CgiWps, SessionEndsWhenItsDurationIsOver) {
  using detail::Clock;
  CameraConfig ok = Config(), fail = Legacy(), never = Config();
  fail.wpsOutcome = WpsOutcome::Fail;
  never.wpsOutcome = WpsOutcome::NeverStart;
  const Clock::time_point t0 = Clock::time_point{} + std::chrono::hours(1);
  const std::string auth = Basic("", "") + "\n";
  struct Case {
    CameraConfig config;
    const char* running;
    const char* over;
  };
  for (const Case& k : {Case{ok, "WPS=1\nWPS_ACK=0\n", "WPS=0\nWPS_ACK=1\n"},
                        Case{fail, "WPS=1\nWPS_ACK=0\n", "WPS=0\nWPS_ACK=0\n"},
                        Case{never, "WPS=0\nWPS_ACK=0\n", "WPS=0\nWPS_ACK=0\n"}}) {
    detail::CameraState c;
    c.config = k.config;
    c.config.wpsDurationMs = 1000;
    c.settings = DefaultSettings(c.config);
    const bool legacy = c.config.family == Family::Legacy;
    const std::string pollHead =
        legacy ? Get("/goform/Parameters?Act=3&Page=3&WPS&WPS_ACK", "\n\n")
               : Get("/cgi-bin/config_network.cgi?Act=3&Page=3&WPS&WPS_ACK", auth);
    auto poll = [&](Clock::time_point at) {
      return Body(detail::AnswerCamera(c, detail::ParseRequestHead(pollHead), at).bytes);
    };
    EXPECT_EQ(poll(t0), "WPS=0\nWPS_ACK=0\n");
    const std::string start = Get("/cgi-bin/wps.cgi", legacy ? "\n " : auth + " ");
    EXPECT_EQ(
        detail::AnswerCamera(c, detail::ParseRequestHead(start), t0).bytes.rfind("HTTP/1.0 200", 0),
        0u);
    EXPECT_EQ(poll(t0), k.running);
    EXPECT_EQ(poll(t0 + std::chrono::milliseconds(999)), k.running);
    EXPECT_EQ(poll(t0 + std::chrono::milliseconds(1000)), k.over);
    EXPECT_EQ(poll(t0 + std::chrono::hours(2)), k.over);
  }
}

class LinkServerTest : public ::testing::Test {
 protected:
  void Start(bool markFirst) {
    LabConfig lab;
    LinkServerConfig server;
    server.markFirstCamera = markFirst;
    server.accounts.push_back({"alice",
                               "pw",
                               {{"SN1", "10.0.0.20", "80", "00:11:22:33:44:55", "Vexor-41HA"},
                                {"SN2", "10.1.0.30", "8080", "00:11:22:33:44:56", "Vexor-41H"}}});
    server.accounts.push_back({"bob", "pw2", {}, 3});
    lab.linkServer = server;
    m_emu = std::make_unique<Emulator>(lab);
    std::string error;
    ASSERT_TRUE(m_emu->Start(&error)) << error;
  }
  std::string Query(const std::string& target) {
    return Exchange(m_emu->LinkServerPort(),
                    "GET " + target + " HTTP/1.0\n User-Agent: korimo-1.0.1\n\n")
        .bytes;
  }
  std::unique_ptr<Emulator> m_emu;
};

TEST_F(LinkServerTest, CountedListForAKnownAccount) {
  Start(false);
  EXPECT_EQ(
      Body(Query("/cgi-bin/Parameters?Act=1&Page=2&ID=alice&Password=pw")),
      "Total Camera=2\n"
      "ID=SN1 IP=10.0.0.20 Port=80 Mac_address=00:11:22:33:44:55 Modelname=Vexor-41HA\n"
      "Camera=2 ID=SN2 IP=10.1.0.30 Port=8080 Mac_address=00:11:22:33:44:56 Modelname=Vexor-41H\n");
  EXPECT_EQ(Body(Query("/cgi-bin/Parameters?Act=1&Page=3&ID=bob&Password=pw2")),
            "Total Camera=0\n");
  EXPECT_EQ(m_emu->LinkServerRequests().size(), 2u);
  EXPECT_EQ(m_emu->LinkServerRequests()[1],
            "GET /cgi-bin/Parameters?Act=1&Page=3&ID=bob&Password=pw2 HTTP/1.0\n User-Agent: "
            "korimo-1.0.1\n\n");
}

TEST_F(LinkServerTest, UnknownAccountsWrongPagesAndPathsAreRefused) {
  Start(true);
  EXPECT_NE(Query("/cgi-bin/Parameters?Act=1&Page=3&ID=alice&Password=nope").find("Unauthorized"),
            std::string::npos);
  EXPECT_NE(Query("/cgi-bin/Parameters?Act=1&Page=2&ID=bob&Password=pw2").find("Unauthorized"),
            std::string::npos);  // bob's account type answers page 3 only
  EXPECT_NE(Query("/cgi-bin/Parameters?Act=1&Page=3").find("Unauthorized"), std::string::npos);
  EXPECT_EQ(
      Query("/cgi-bin/Other?Act=1&Page=3&ID=alice&Password=pw").rfind("HTTP/1.0 404 Not Found", 0),
      0u);
  EXPECT_EQ(Query("/cgi-bin/Parameters?Act=1&Page=4&ID=alice&Password=pw").rfind("HTTP/1.0 404", 0),
            0u);
  EXPECT_NE(Body(Query("/cgi-bin/Parameters?Act=1&Page=2&ID=alice&Password=pw"))
                .find("Total Camera=2\nCamera=1 ID=SN1 "),
            std::string::npos);
}

}  // namespace

}  // namespace orv::test
