// Rules the desktop program and the command-line tool share: the WPS session's ticks, the camera
// pick and the start-up facts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app/camera_pick.h"
#include "core/app/startup_facts.h"
#include "core/app/wps_session.h"
#include "core/camera_http/requests.h"
#include "core/util/ipv4.h"
#include "support/fake_host_network.h"

namespace orv {
namespace {

using test::FakeHostNetwork;

// ---- WPS session

// A scripted camera: each poll answers with the state the test sets, or fails.
struct ScriptedWps {
  int startResult = Ok;
  int pollResult = Ok;
  std::uint8_t status = 0;
  std::uint8_t ack = 0;
  int ackFromPoll = 0;  // from this poll on (1-based), answer status 0 and ack 1
  std::vector<int> startCounters;
  int polls = 0;
  WpsSession* session = nullptr;

  WpsSession Make() {
    return WpsSession(
        [this](SessionRecord&) -> int {
          startCounters.push_back(session ? session->counter() : -1);
          return startResult;
        },
        [this](SessionRecord& s) -> int {
          ++polls;
          if (pollResult != Ok) return pollResult;  // a failed poll leaves the record alone
          const bool acked = ackFromPoll > 0 && polls >= ackFromPoll;
          s.wpsStatus = acked ? 0 : status;
          s.wpsAck = acked ? 1 : ack;
          return Ok;
        });
  }
};

// Ticks until the session ends; returns the final event and the number of ticks.
std::pair<WpsEvent, int> RunToEnd(WpsSession& w, SessionRecord& s) {
  int ticks = 0;
  WpsEvent e = WpsEvent::Running;
  while (e == WpsEvent::Running && ticks < 100) {
    e = w.Tick(s);
    ++ticks;
  }
  return {e, ticks};
}

TEST(WpsSession, AnAcknowledgementOnTheFirstPollEndsAtOnce) {
  ScriptedWps cam;
  cam.ackFromPoll = 1;
  WpsSession w = cam.Make();
  cam.session = &w;
  SessionRecord s;
  ASSERT_EQ(w.Start(s), WpsEvent::Running);
  for (int tick = 1; tick <= 11; ++tick) {
    ASSERT_EQ(w.Tick(s), WpsEvent::Running) << tick;
    EXPECT_EQ(w.counter(), tick * WpsSession::kStep);
  }
  EXPECT_EQ(cam.polls, 0) << "the first 55 s leave the camera alone";
  EXPECT_EQ(w.Tick(s), WpsEvent::Succeeded);  // the 12th tick, about 60 s
  EXPECT_EQ(w.counter(), WpsSession::kAcknowledged);
  EXPECT_EQ(cam.polls, 1);
  EXPECT_FALSE(w.running());
  EXPECT_EQ(w.Tick(s), WpsEvent::Idle);
  EXPECT_EQ(cam.polls, 1);
}

TEST(WpsSession, NoSessionOnTheCameraRestartsThriceThenFails) {
  ScriptedWps cam;
  WpsSession w = cam.Make();
  cam.session = &w;
  SessionRecord s;
  w.Start(s);
  const auto [event, ticks] = RunToEnd(w, s);
  EXPECT_EQ(event, WpsEvent::Failed);
  EXPECT_EQ(ticks, 30);  // 150 s
  EXPECT_THAT(cam.startCounters, ::testing::ElementsAre(0, 520, 560, 600));
  EXPECT_EQ(w.startsSent(), 4);
  // Polled on ticks 12 to 29; the 30th tick (counter 1200) ends without a poll.
  EXPECT_EQ(cam.polls, 18);
}

TEST(WpsSession, ASessionStillRunningAtTheEndIsUnfinished) {
  ScriptedWps cam;
  cam.status = 1;
  WpsSession w = cam.Make();
  SessionRecord s;
  w.Start(s);
  EXPECT_EQ(RunToEnd(w, s).first, WpsEvent::Unfinished);
  EXPECT_EQ(w.startsSent(), 1) << "a running session is never restarted";

  // Both set is no success either.
  ScriptedWps both;
  both.status = 1;
  both.ack = 1;
  WpsSession v = both.Make();
  SessionRecord t;
  v.Start(t);
  EXPECT_EQ(RunToEnd(v, t).first, WpsEvent::Unfinished);
}

TEST(WpsSession, FailedPollsKeepTheLastStateAndFailedStartsEndAtOnce) {
  ScriptedWps cam;
  cam.pollResult = ErrNoResponse;
  WpsSession w = cam.Make();
  SessionRecord s;
  s.wpsStatus = 1;  // left from an earlier poll
  w.Start(s);
  EXPECT_EQ(RunToEnd(w, s), std::make_pair(WpsEvent::Unfinished, 30));

  ScriptedWps refused;
  refused.startResult = ErrConnect;
  WpsSession v = refused.Make();
  SessionRecord t;
  EXPECT_EQ(v.Start(t), WpsEvent::StartFailed);
  EXPECT_EQ(v.lastStartResult(), ErrConnect);
  EXPECT_FALSE(v.running());
  EXPECT_EQ(v.Tick(t), WpsEvent::Idle);
  EXPECT_EQ(refused.polls, 0);
  EXPECT_EQ(to_string(WpsEvent::StartFailed), "start-failed");
}

TEST(WpsSession, EnteringThePageDependsOnTheScanAndAnEarlierSuccess) {
  SessionRecord s;
  EXPECT_EQ(DecideWpsEntry(s), WpsEntry::AskRescan);
  s.apCount = 3;
  EXPECT_EQ(DecideWpsEntry(s), WpsEntry::Start);
  s.wpsAck = 1;
  EXPECT_EQ(DecideWpsEntry(s), WpsEntry::KeepResult);
  s.apCount = 0;
  EXPECT_EQ(DecideWpsEntry(s), WpsEntry::AskRescan);
}

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
}  // namespace orv
