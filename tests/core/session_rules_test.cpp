#include "core/app/session_rules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/app/navigation.h"
#include "core/app/worker_poll.h"
#include "core/camera_http/requests.h"

namespace orv::test {
namespace {

TEST(SessionRules, ANewLoginForgetsWhatThePreviousCameraSaid) {
  SessionRecord s;
  s.sys.wirelessCapable = s.sys.wpsCapable = s.sys.Transversal = 1;
  s.wpsStatus = 2;
  s.wpsAck = 1;
  s.sys.NATStat = 1;
  s.sys.ExtIPAddr = "203.0.113.7";
  s.sys.ExtHttpPort = 8080;
  s.apScanOk = 1;
  s.apCount = 12;
  // Typed for the previous camera and never read back, or kept by a read that lacks the key.
  s.net.PAccount = "a-user";
  s.net.PPwd = s.net.PVP = "a-secret";
  s.net.WireCh = 11;
  s.sys.SECUEN = 1;
  s.sys.Timezone = 5;
  s.sys.clockTakenAt = std::chrono::steady_clock::now();
  s.extendedCgi = 1;
  // What the user chose and what the PC is stay.
  s.newCamera = 1;
  s.linkWireless = 1;
  s.pcAddrText = "192.168.0.10";
  s.cameraAddrText = "192.168.0.98";
  ForgetCameraFacts(s);
  EXPECT_EQ(s.sys.wirelessCapable + s.sys.wpsCapable + s.sys.Transversal, 0);
  EXPECT_EQ(s.wpsStatus + s.wpsAck + s.sys.NATStat, 0);
  EXPECT_EQ(s.sys.ExtIPAddr.view(), "");
  EXPECT_EQ(s.sys.ExtHttpPort, 0);
  EXPECT_EQ(s.apScanOk, 0) << "a stale scan outcome would skip the next camera's scan failure";
  EXPECT_EQ(s.apCount, 0u) << "a stale count would index past the next camera's list";
  EXPECT_EQ(s.net.PAccount.view(), "");
  EXPECT_EQ(s.net.PPwd.view(), "");
  EXPECT_EQ(s.net.PVP.view(), "");
  EXPECT_EQ(s.net.WireCh + s.sys.SECUEN + s.sys.Timezone + s.extendedCgi, 0);
  EXPECT_FALSE(s.sys.clockTakenAt);
  EXPECT_EQ(s.newCamera, 1);
  EXPECT_EQ(s.linkWireless, 1);
  EXPECT_EQ(s.pcAddrText.view(), "192.168.0.10");
  EXPECT_EQ(s.cameraAddrText.view(), "192.168.0.98");
}

TEST(SessionRules, WhereAReadAndASaveLead) {
  SessionRecord s;
  s.newCamera = 1;
  EXPECT_EQ(StepAfterRead(s), nav::kStepSetupType);
  s.newCamera = 0;
  EXPECT_EQ(StepAfterRead(s), nav::kStepSystem);

  EXPECT_EQ(ReadFailure(ErrUnauthorized).message, 8);
  EXPECT_TRUE(ReadFailure(ErrUnauthorized).stopIcon);
  for (int error : {0, int{ErrConnect}, int{ErrNoResponse}, int{ErrFailure}}) {
    EXPECT_EQ(ReadFailure(error).message, 2) << error;
    EXPECT_FALSE(ReadFailure(error).stopIcon) << error;
  }

  // Message 3 only for a wireless link on a camera that can use one.
  struct Row {
    int linkWireless, wirelessCapable, wizardMode, newCamera;
    int message;
    bool refind;
  };
  const Row rows[] = {
      {1, 1, 1, 1, 3, true},  {1, 0, 1, 1, 4, true},  {0, 1, 1, 1, 4, true},
      {1, 1, 0, 1, 3, false}, {1, 1, 1, 0, 3, false}, {0, 0, 0, 0, 4, false},
  };
  for (const Row& r : rows) {
    s.linkWireless = static_cast<std::uint8_t>(r.linkWireless);
    s.sys.wirelessCapable = static_cast<std::uint8_t>(r.wirelessCapable);
    s.wizardMode = static_cast<std::uint8_t>(r.wizardMode);
    s.newCamera = static_cast<std::uint8_t>(r.newCamera);
    const SaveOutcome outcome = AfterSave(s);
    EXPECT_EQ(outcome.message, r.message) << r.linkWireless << r.wirelessCapable;
    EXPECT_EQ(outcome.refind, r.refind) << r.wizardMode << r.newCamera;
  }
}

TEST(SessionRules, TheRescanLeadsToTheWpsPageOrTheListAndNowhereWhenItFailed) {
  SessionRecord s;
  s.apScanOk = 1;
  EXPECT_EQ(RescanTarget(s), nav::kStepApList);
  s.useWps = 1;
  EXPECT_EQ(RescanTarget(s), nav::kStepWps);
  s.apScanOk = 0;
  EXPECT_EQ(RescanTarget(s), nav::kNoStep);
}

SessionRecord Written() {
  SessionRecord s;
  s.sys.TitleBar = "camera";
  s.sys.NATStat = 1;
  s.sys.ExtIPAddr = "203.0.113.7";
  s.sys.ExtHttpPort = 81;
  s.net.SSID = "camera-ssid";
  s.extendedCgi = 1;
  s.apScanOk = 1;
  s.apCount = 4;
  s.wizardMode = 0;
  s.linkWireless = 1;
  s.userName = "late";
  s.pcAddrText = "10.9.9.9";
  s.internetReachable = 1;
  return s;
}

TEST(SessionRules, ACallCopiesBackOnlyTheFieldsItOwns) {
  const SessionRecord from = Written();
  auto fresh = [] {
    SessionRecord s;
    s.wizardMode = 1;
    s.userName = "root";
    s.pcAddrText = "192.168.0.10";
    return s;
  };
  // None of the user's choices, credentials or PC facts ever come back from a call.
  auto untouched = [](const SessionRecord& s, const char* set) {
    EXPECT_EQ(s.wizardMode, 1) << set;
    EXPECT_EQ(s.linkWireless, 0) << set;
    EXPECT_EQ(s.userName.view(), "root") << set;
    EXPECT_EQ(s.pcAddrText.view(), "192.168.0.10") << set;
    EXPECT_EQ(s.internetReachable, 0) << set;
  };

  SessionRecord s = fresh();
  CopyCallFields(CallFields::CameraAnswer, from, s);
  untouched(s, "answer");
  EXPECT_EQ(s.sys.TitleBar.view(), "camera");
  EXPECT_EQ(s.apScanOk, 0);
  EXPECT_EQ(s.extendedCgi, 0);

  s = fresh();
  CopyCallFields(CallFields::ReadJob, from, s);
  untouched(s, "read");
  EXPECT_EQ(s.net.SSID.view(), "camera-ssid");
  EXPECT_EQ(s.extendedCgi, 1);
  EXPECT_EQ(s.apCount, 4u);

  s = fresh();
  CopyCallFields(CallFields::AccessPointScan, from, s);
  untouched(s, "scan");
  EXPECT_EQ(s.apScanOk, 1);
  EXPECT_EQ(s.apCount, 4u);
  EXPECT_EQ(s.sys.TitleBar.view(), "") << "a scan never brings back settings";

  s = fresh();
  s.sys.TitleBar = "typed by the user";
  CopyCallFields(CallFields::NatRead, from, s);
  untouched(s, "nat");
  EXPECT_EQ(s.sys.NATStat, 1);
  EXPECT_EQ(s.sys.ExtIPAddr.view(), "203.0.113.7");
  EXPECT_EQ(s.sys.ExtHttpPort, 81);
  EXPECT_EQ(s.sys.TitleBar.view(), "typed by the user");

  s = fresh();
  CopyCallFields(CallFields::SaveJob, from, s);
  untouched(s, "save");
}

TEST(SessionRules, AFinishedJobHandsBackOnlyItsFields) {
  CameraJobs jobs;
  SessionRecord s;
  s.wizardMode = 1;
  s.pcAddrText = "192.168.0.10";
  WorkerJob job;
  job.mode = kModeRead;
  job.session = s;
  jobs.Start(std::move(job), [](WorkerJob& j) {
    j.session.sys.ModelName = "read";
    j.session.wizardMode = 0;  // a job must not be able to change the user's choice
    j.session.pcAddrText = "1.2.3.4";
    j.done = j.ok = 1;
  });
  s.linkPppoe = 1;  // written meanwhile by someone else
  WorkerPoll poll = WorkerPoll::Waiting;
  for (int i = 0; i < 10000 && poll == WorkerPoll::Waiting; ++i) {
    int position = CameraJobs::kEndOfBar - 40;  // past the threshold: the thread is looked at
    poll = jobs.Poll(position, s);
    if (poll == WorkerPoll::Waiting) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(poll, WorkerPoll::ReadOk);
  EXPECT_EQ(s.sys.ModelName.view(), "read");
  EXPECT_EQ(s.wizardMode, 1);
  EXPECT_EQ(s.pcAddrText.view(), "192.168.0.10");
  EXPECT_EQ(s.linkPppoe, 1);
}

}  // namespace
}  // namespace orv::test
