// The WPS session's counter rules, with the requests outside the session: a tick says what is
// due, the caller sends it and hands the answer back.

#include "core/app/wps_session.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "core/camera_http/requests.h"

namespace orv::test {
namespace {

// A scripted camera: each poll answers with the state the test sets, or fails.
struct ScriptedWps {
  int startResult = Ok;
  int pollResult = Ok;
  std::uint8_t status = 0;
  std::uint8_t ack = 0;
  int ackFromPoll = 0;  // from this poll on (1-based), answer status 0 and ack 1
  std::vector<int> startCounters;
  int polls = 0;
  const WpsSession* session = nullptr;

  int Start(SessionRecord&) {
    startCounters.push_back(session != nullptr ? session->counter() : -1);
    return startResult;
  }
  int Poll(SessionRecord& s) {
    ++polls;
    if (pollResult != Ok) return pollResult;  // a failed poll leaves the record alone
    const bool acked = ackFromPoll > 0 && polls >= ackFromPoll;
    s.wpsStatus = acked ? 0 : status;
    s.wpsAck = acked ? 1 : ack;
    return Ok;
  }
  WpsEvent Run(WpsSession& w, SessionRecord& s, int* ticks = nullptr) {
    session = &w;
    int n = 0;
    const WpsEvent e = RunWpsBlocking(
        w, s, [this](SessionRecord& r) { return Start(r); },
        [this](SessionRecord& r) { return Poll(r); }, [&n] { ++n; });
    if (ticks != nullptr) *ticks = n;
    return e;
  }
};

TEST(WpsSession, TicksAskForNothingFirstThenAPollAndTheAcknowledgementEndsAtOnce) {
  WpsSession w;
  SessionRecord s;
  w.Begin();
  ASSERT_EQ(w.ApplyStart(Ok), WpsEvent::Running);
  for (int tick = 1; tick <= 11; ++tick) {
    ASSERT_EQ(w.Tick(), WpsAction::None) << tick;  // the first 55 s leave the camera alone
    EXPECT_EQ(w.counter(), tick * WpsSession::kStep);
  }
  EXPECT_EQ(w.Tick(), WpsAction::Poll);  // the 12th tick, about 60 s
  EXPECT_EQ(w.ApplyPoll(s, WpsAnswer{Ok, 0, 1}), WpsAction::Finish);
  EXPECT_EQ(s.wpsAck, 1) << "the poll's answer lands in the record";
  EXPECT_EQ(w.counter(), WpsSession::kAcknowledged);
  EXPECT_TRUE(w.running()) << "running until the caller finishes it";
  EXPECT_EQ(w.Finish(s), WpsEvent::Succeeded);
  EXPECT_FALSE(w.running());
  EXPECT_EQ(w.Tick(), WpsAction::None);
  EXPECT_EQ(w.Finish(s), WpsEvent::Idle);
  EXPECT_EQ(w.pollsSent(), 1);
}

TEST(WpsSession, NoSessionOnTheCameraRestartsOnTicks13To15ThenFailsAt150Seconds) {
  ScriptedWps cam;
  WpsSession w;
  SessionRecord s;
  int ticks = 0;
  EXPECT_EQ(cam.Run(w, s, &ticks), WpsEvent::Failed);
  EXPECT_EQ(ticks, 30);  // 150 s
  EXPECT_THAT(cam.startCounters, ::testing::ElementsAre(0, 520, 560, 600));
  EXPECT_EQ(w.startsSent(), 4);
  // Polled on ticks 12 to 29; the 30th tick (counter 1200) ends without a poll.
  EXPECT_EQ(cam.polls, 18);
  EXPECT_EQ(w.counter(), WpsSession::kEnd);
}

TEST(WpsSession, TheAnswerToARestartDoesNotEndTheSession) {
  WpsSession w;
  SessionRecord s;
  w.Begin();
  w.ApplyStart(Ok);
  for (int i = 0; i < 12; ++i) w.Tick();
  ASSERT_EQ(w.Tick(), WpsAction::Poll);  // 520
  ASSERT_EQ(w.ApplyPoll(s, WpsAnswer{}), WpsAction::Restart);
  w.ApplyRestart(ErrConnect);
  EXPECT_TRUE(w.running());
  EXPECT_EQ(w.lastStartResult(), ErrConnect);
}

TEST(WpsSession, ASessionStillRunningAtTheEndIsUnfinished) {
  ScriptedWps cam;
  cam.status = 1;
  WpsSession w;
  SessionRecord s;
  EXPECT_EQ(cam.Run(w, s), WpsEvent::Unfinished);
  EXPECT_EQ(w.startsSent(), 1) << "a running session is never restarted";

  // Both set is no success either.
  ScriptedWps both;
  both.status = 1;
  both.ack = 1;
  WpsSession v;
  SessionRecord t;
  EXPECT_EQ(both.Run(v, t), WpsEvent::Unfinished);
}

TEST(WpsSession, FailedPollsKeepTheLastStateAndFailedStartsEndAtOnce) {
  ScriptedWps cam;
  cam.pollResult = ErrNoResponse;
  WpsSession w;
  SessionRecord s;
  s.wpsStatus = 1;  // left from an earlier poll
  int ticks = 0;
  EXPECT_EQ(cam.Run(w, s, &ticks), WpsEvent::Unfinished);
  EXPECT_EQ(ticks, 30);
  EXPECT_EQ(s.wpsStatus, 1);

  ScriptedWps refused;
  refused.startResult = ErrConnect;
  WpsSession v;
  SessionRecord t;
  EXPECT_EQ(refused.Run(v, t), WpsEvent::StartFailed);
  EXPECT_EQ(v.lastStartResult(), ErrConnect);
  EXPECT_FALSE(v.running());
  EXPECT_EQ(v.Tick(), WpsAction::None);
  EXPECT_EQ(refused.polls, 0);
  EXPECT_EQ(to_string(WpsEvent::StartFailed), "start-failed");
  EXPECT_EQ(to_string(WpsAction::Restart), "restart");
}

TEST(WpsSession, ARequestRunsOnACopyAndOnlyItsAnswerComesBack) {
  SessionRecord s;
  s.net.SSID = "home";
  const WpsAnswer a = RunWpsRequest(
      [](SessionRecord& r) {
        r.net.SSID = "changed";
        r.wpsStatus = 1;
        return Ok;
      },
      s);
  EXPECT_EQ(a.wpsStatus, 1);
  EXPECT_EQ(s.net.SSID, "home");
  EXPECT_EQ(s.wpsStatus, 0);
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

}  // namespace
}  // namespace orv::test
