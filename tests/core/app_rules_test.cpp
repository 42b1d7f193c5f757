// Rules the desktop program and the command-line tool share: the camera pick and the start-up
// facts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/camera_pick.h"
#include "core/app/startup_facts.h"
#include "core/camera_http/requests.h"
#include "core/util/ipv4.h"
#include "support/fake_host_network.h"

namespace orv::test {
namespace {

// ---- Camera pick

TEST(PrepareSession, TakesTheRowIntoTheRecord) {
  SessionRecord s;
  ASSERT_EQ(PrepareSession(s, "192.168.0.98", "8080", "Vexor wireless cam", "SN0042"),
            PickProblem::None);
  EXPECT_EQ(s.cameraAddrText, "192.168.0.98");
  EXPECT_EQ(s.cameraAddr, MakeIpv4(192, 168, 0, 98));
  EXPECT_EQ(s.cameraPortText, "8080");
  EXPECT_EQ(s.cameraWireless, 1);
  EXPECT_EQ(s.cameraSerial, "SN0042");
}

TEST(PrepareSession, AProblemLeavesTheRecordAlone) {
  struct Case {
    const char* ip;
    std::string port;
    std::string serial;
    PickProblem problem;
  };
  const Case cases[] = {
      {"", "80", "", PickProblem::BadAddress},
      {"1.2.3", "80", "", PickProblem::BadAddress},
      {"192.168.001.010", "80", "", PickProblem::BadAddress},
      {"camera.example", "80", "", PickProblem::BadAddress},
      {"10.0.0.1", "0", "", PickProblem::BadPort},
      {"10.0.0.1", "65536", "", PickProblem::BadPort},
      {"10.0.0.1", "", "", PickProblem::BadPort},
      {"10.0.0.1", "8o", "", PickProblem::BadPort},
      {"10.0.0.1", " 80", "", PickProblem::BadPort},
      {"10.0.0.1", "-80", "", PickProblem::BadPort},
      {"10.0.0.1", "00000080", "", PickProblem::TooLong},
      {"10.0.0.1", "80", std::string(260, 's'), PickProblem::TooLong},
  };
  for (const Case& c : cases) {
    SessionRecord s;
    s.cameraAddrText = "192.168.0.98";
    s.cameraAddr = MakeIpv4(192, 168, 0, 98);
    s.cameraPortText = "80";
    s.cameraSerial = "SN1";
    s.cameraWireless = 1;
    EXPECT_EQ(PrepareSession(s, c.ip, c.port, "plain", c.serial), c.problem)
        << c.ip << " " << c.port;
    EXPECT_EQ(s.cameraAddrText, "192.168.0.98");
    EXPECT_EQ(s.cameraAddr, MakeIpv4(192, 168, 0, 98));
    EXPECT_EQ(s.cameraPortText, "80");
    EXPECT_EQ(s.cameraSerial, "SN1");
    EXPECT_EQ(s.cameraWireless, 1);
  }
  EXPECT_EQ(to_string(PickProblem::BadPort), "bad-port");
}

// ---- Start-up facts

TEST(ReadStartupFacts, ClearsStaleFactsAndReadsThePhoneBookOnlyForPpp) {
  FakeHostNetwork net;
  net.adapters = {{2, "eth0", AdapterType::Ethernet, true}};
  AdapterDetails d;
  d.addressTexts = {"10.0.0.5"};
  net.details[2] = d;
  int lookups = 0;
  const PhoneBookReader phoneBook = [&] {
    ++lookups;
    return std::optional<PppoeEntry>(PppoeEntry{"alice", "secret"});
  };
  SessionRecord s;
  s.extendedCgi = 1;
  s.sys.wirelessCapable = 1;
  s.sys.wpsCapable = 1;
  s.sys.Transversal = 1;
  s.pcHasPpp = 1;
  EXPECT_EQ(ReadStartupFacts(net, s, phoneBook), 0);
  EXPECT_EQ(s.extendedCgi, 0);
  EXPECT_EQ(s.sys.wirelessCapable, 0);
  EXPECT_EQ(s.sys.wpsCapable, 0);
  EXPECT_EQ(s.sys.Transversal, 0);
  EXPECT_EQ(s.pcHasPpp, 0);
  EXPECT_EQ(s.pcIfIndex, 2u);
  EXPECT_EQ(s.pcAddrText, "10.0.0.5");
  EXPECT_EQ(lookups, 0);
  EXPECT_TRUE(s.pcPppoeUser.empty());

  net.adapters.push_back({3, "ppp0", AdapterType::Ppp, true});
  SessionRecord t;
  ReadStartupFacts(net, t, phoneBook);
  EXPECT_EQ(lookups, 1);
  EXPECT_EQ(t.pcPppoeUser, "alice");
  EXPECT_EQ(t.pcPppoePassword, "secret");
}

TEST(ReadStartupFacts, TheAdapterErrorLineGoesToTheGivenSink) {
  FakeHostNetwork net;
  net.listResult = 1;
  net.listErrorText = "Operation not permitted";
  std::vector<std::string> lines;
  SessionRecord s;
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(
      ReadStartupFacts(net, s, nullptr, [&](std::string_view line) { lines.emplace_back(line); }),
      1);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_THAT(lines, ::testing::ElementsAre("\tError: Operation not permitted\n"));
}

}  // namespace
}  // namespace orv::test
