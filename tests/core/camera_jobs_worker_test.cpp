// The worker's end/adopt/discard rule, the re-find after a save, and the camera fields by name.
// Jobs here run injected procedures, so nothing touches the network.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include "core/app/camera_fields.h"
#include "core/app/camera_jobs.h"
#include "support/eventually.h"

namespace orv::test {
namespace {

// A gate a procedure waits at until the test opens it. The wait is bounded: should the code under
// test wait for the procedure before the test opens the gate (a deadlock), the procedure gives up
// after a while and the test fails on its checks instead of hanging until the ctest limit.
class Gate {
 public:
  void Open() {
    std::lock_guard lock(m_mutex);
    m_open = true;
    m_cv.notify_all();
  }
  void Wait() {
    std::unique_lock lock(m_mutex);
    if (!m_cv.wait_for(lock, std::chrono::seconds(10), [this] { return m_open; }))
      ADD_FAILURE() << "the gate was never opened: something waited for the procedure";
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cv;
  bool m_open = false;
};

WorkerJob JobWithMode(int mode) {
  WorkerJob job;
  job.mode = mode;
  job.session.sys.TitleBar = "before";
  return job;
}

// Procedure that fills results the way a successful read does.
void SucceedingRead(WorkerJob& j) {
  j.session.sys.TitleBar = "read by worker";
  AccessPointEntry ap;
  ap.SSID = "lab net";
  j.accessPoints.push_back(ap);
  j.suggestedAddresses = {0x0A0000FDu, 0x0A0000FCu};
  j.done = 1;
  j.ok = 1;
}

TEST(WorkerRun, EndsOnlyAfterTheProcedureAndHandsOverResultsOnce) {
  auto gate = std::make_shared<Gate>();
  WorkerRun run(JobWithMode(kModeRead), [gate](WorkerJob& j) {
    gate->Wait();
    SucceedingRead(j);
  });
  EXPECT_EQ(run.mode(), kModeRead);
  EXPECT_FALSE(run.Ended());
  EXPECT_FALSE(run.TakeResults().has_value()) << "results must not be taken from a running job";
  gate->Open();
  ASSERT_TRUE(Eventually([&] { return run.Ended(); }));
  std::optional<WorkerJob> job = run.TakeResults();
  ASSERT_TRUE(job.has_value());
  EXPECT_EQ(job->session.sys.TitleBar, "read by worker");
  EXPECT_EQ(job->ok, 1);
  EXPECT_FALSE(run.TakeResults().has_value());
}

TEST(WorkerRun, DestroyingARunningJobDoesNotWaitForIt) {
  auto gate = std::make_shared<Gate>();
  auto finished = std::make_shared<std::atomic<bool>>(false);
  const auto before = std::chrono::steady_clock::now();
  {
    WorkerRun run(JobWithMode(kModeSave), [gate, finished](WorkerJob& j) {
      gate->Wait();
      j.session.sys.TitleBar = "late write";  // lands in the discarded copy only
      finished->store(true);
    });
  }
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
  gate->Open();
  EXPECT_TRUE(Eventually([&] { return finished->load(); }));
}

TEST(WorkerRun, TheEndCallbackSeesTheResultsReady) {
  std::unique_ptr<WorkerRun> run;
  std::mutex m;
  std::condition_variable cv;
  bool ended = false;
  {
    std::lock_guard lock(m);  // the callback must not run before run is assigned
    run = std::make_unique<WorkerRun>(JobWithMode(kModeRead), SucceedingRead, [&] {
      std::lock_guard inner(m);
      ended = true;
      cv.notify_all();
    });
  }
  std::unique_lock lock(m);
  ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(10), [&] { return ended; }));
  lock.unlock();
  EXPECT_TRUE(run->Ended());
  std::optional<WorkerJob> job = run->TakeResults();
  ASSERT_TRUE(job.has_value());
  EXPECT_EQ(job->session.sys.TitleBar, "read by worker");
}

TEST(WorkerPoll, OutcomesHaveStableNames) {
  EXPECT_EQ(to_string(WorkerPoll::TimedOut), "timed-out");
  EXPECT_EQ(to_string(WorkerPoll::ReadFailed), "read-failed");
}

// ---- The poll rule of the owner

class CameraJobsPoll : public ::testing::Test {
 protected:
  // Lets the job end, then polls from position until the result is not Waiting.
  WorkerPoll PollUntilDecided(int& position) {
    EXPECT_TRUE(Eventually([&] { return jobs.JobEnded(); }));
    WorkerPoll r = WorkerPoll::Waiting;
    for (int i = 0; i < 200 && r == WorkerPoll::Waiting; ++i) r = jobs.Poll(position, owner);
    return r;
  }

  CameraJobs jobs;
  SessionRecord owner;
};

TEST_F(CameraJobsPoll, BelowTheThresholdTheWorkerIsNotLookedAt) {
  jobs.Start(JobWithMode(kModeRead), SucceedingRead);
  ASSERT_TRUE(Eventually([&] { return jobs.JobEnded(); }));
  // A read shows the bar to 950 whatever the worker does: 96 ticks.
  int position = 0;
  int ticks = 0;
  while (position <= CameraJobs::kReadThreshold) {
    ASSERT_EQ(jobs.Poll(position, owner), WorkerPoll::Waiting);
    ++ticks;
    EXPECT_TRUE(owner.sys.TitleBar.empty()) << "record changed before the threshold";
  }
  EXPECT_EQ(ticks, 96);
  EXPECT_EQ(position, 960);
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::ReadOk);
  EXPECT_EQ(owner.sys.TitleBar, "read by worker");
  ASSERT_EQ(jobs.accessPoints().size(), 1u);
  EXPECT_EQ(jobs.accessPoints()[0].SSID, "lab net");
  EXPECT_EQ(jobs.suggestedAddresses().size(), 2u);
  EXPECT_FALSE(jobs.Running());
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::Idle);
}

TEST_F(CameraJobsPoll, SavesUseTheLowerThreshold) {
  jobs.Start(JobWithMode(kModeSaveWps), [](WorkerJob& j) {
    j.session.sys.Time = "12:00:00";  // the WPS-mode save reads the clock back
    j.done = j.ok = 1;
  });
  ASSERT_TRUE(Eventually([&] { return jobs.JobEnded(); }));
  int position = 900;
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::Waiting);
  EXPECT_EQ(position, 910);
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::SaveOk);
  EXPECT_EQ(owner.sys.Time, "12:00:00");
}

TEST_F(CameraJobsPoll, AFailedReadKeepsItsCodeAndAdoptsNoLists) {
  jobs.Start(JobWithMode(kModeRead), SucceedingRead);
  int position = 960;
  ASSERT_EQ(PollUntilDecided(position), WorkerPoll::ReadOk);
  ASSERT_FALSE(jobs.accessPoints().empty());

  // The next read forgets the adopted lists at once, even before it ends.
  SessionRecord unreachable;
  unreachable.cameraAddrText = "127.0.0.1";
  unreachable.cameraPortText = "0";  // port 0 never connects
  jobs.StartRead(unreachable, nullptr);
  EXPECT_TRUE(jobs.accessPoints().empty());
  EXPECT_TRUE(jobs.suggestedAddresses().empty());
  ASSERT_TRUE(Eventually([&] { return jobs.JobEnded(); }));
  position = 960;
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::ReadFailed);
  EXPECT_EQ(jobs.lastError(), ErrConnect);
  EXPECT_TRUE(jobs.accessPoints().empty());

  // A failing read still leaves the pages it read in the record.
  jobs.Start(JobWithMode(kModeRead), [](WorkerJob& j) {
    j.session.sys.Version = "1.2.3";
    j.done = 1;
    j.ok = 0;
    j.error = ErrUnauthorized;
  });
  position = 960;
  ASSERT_EQ(PollUntilDecided(position), WorkerPoll::ReadFailed);
  EXPECT_EQ(jobs.lastError(), ErrUnauthorized);
  EXPECT_EQ(owner.sys.Version, "1.2.3");
}

TEST_F(CameraJobsPoll, AJobStillRunningAtTheEndIsDiscardedAndItsLateResultsIgnored) {
  auto gate = std::make_shared<Gate>();
  auto finished = std::make_shared<std::atomic<bool>>(false);
  jobs.Start(JobWithMode(kModeSave), [gate, finished](WorkerJob& j) {
    gate->Wait();
    j.session.sys.TitleBar = "late";
    j.done = j.ok = 1;
    finished->store(true);
  });
  int position = 990;
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::Waiting);
  EXPECT_EQ(position, 1000);
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::TimedOut);
  EXPECT_EQ(position, 1010);
  EXPECT_FALSE(jobs.Running());

  // The user goes on: a new job runs while the old one is still blocked.
  jobs.Start(JobWithMode(kModeRead), SucceedingRead);
  position = 960;
  ASSERT_EQ(PollUntilDecided(position), WorkerPoll::ReadOk);
  gate->Open();
  ASSERT_TRUE(Eventually([&] { return finished->load(); }));
  EXPECT_EQ(owner.sys.TitleBar, "read by worker");
  EXPECT_EQ(jobs.Poll(position, owner), WorkerPoll::Idle);
}

// ---- Re-find after a save

CameraEntry Row(const char* id, const char* ip, const char* port) {
  CameraEntry e;
  e.cam_id = id;
  e.ip = ip;
  e.port = port;
  return e;
}

TEST(RefindCamera, TakesAddressAndPortFromTheRowWithTheSameSerial) {
  SessionRecord s;
  s.cameraSerial = "SN0002";
  s.cameraAddrText = "192.168.0.98";
  s.cameraPortText = "80";
  const std::vector<CameraEntry> rows = {
      Row("SN0001", "10.0.0.20", "81"), Row("SN00021", "10.0.0.21", "82"),
      Row("SN0002", "10.0.0.22", "8080"), Row("SN0002", "10.0.0.23", "83")};
  const auto match = RefindCamera(s, rows);
  ASSERT_TRUE(match.has_value());
  EXPECT_EQ(*match, 2u);
  EXPECT_EQ(s.cameraAddrText, "10.0.0.22");
  EXPECT_EQ(s.cameraPortText, "8080");
  const unsigned char expected[4] = {10, 0, 0, 22};
  EXPECT_EQ(std::memcmp(&s.cameraAddr, expected, 4), 0) << "cameraAddr in network byte order";
}

TEST(RefindCamera, NoMatchOrNoSerialChangesNothing) {
  SessionRecord s;
  s.cameraAddrText = "192.168.0.98";
  s.cameraPortText = "80";
  s.cameraAddr = 0x6200A8C0u;
  const std::vector<CameraEntry> rows = {Row("", "10.0.0.20", "81"), Row("SN9", "10.0.0.9", "82")};
  EXPECT_FALSE(RefindCamera(s, rows).has_value()) << "an empty serial identifies no camera";
  s.cameraSerial = "SN0001";
  EXPECT_FALSE(RefindCamera(s, rows).has_value());
  EXPECT_FALSE(RefindCamera(s, {}).has_value());
  EXPECT_EQ(s.cameraAddrText, "192.168.0.98");
  EXPECT_EQ(s.cameraPortText, "80");
  EXPECT_EQ(s.cameraAddr, 0x6200A8C0u);
}

// ---- Fields by name

TEST(FieldAssignment, NumbersMustFitTheirField) {
  SessionRecord s;
  std::string error;
  EXPECT_TRUE(ApplyFieldAssignment(s, "WireCh=11", &error)) << error;
  EXPECT_EQ(s.net.WireCh, 11);
  EXPECT_TRUE(ApplyFieldAssignment(s, "HttpPort=8080", &error));
  EXPECT_EQ(s.sys.HttpPort, 8080u);
  EXPECT_TRUE(ApplyFieldAssignment(s, "Timezone=-5", &error));
  EXPECT_EQ(s.sys.Timezone, -5);
  EXPECT_TRUE(ApplyFieldAssignment(s, "linkWireless=1", &error));
  EXPECT_EQ(s.linkWireless, 1);

  for (const char* bad : {"WireCh=256", "WireCh=-1", "WireCh=abc", "WireCh=", "WireCh=1x",
                          "HttpPort=-1", "HttpPort=4294967296", "Timezone=2147483648"}) {
    EXPECT_FALSE(ApplyFieldAssignment(s, bad, &error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(s.net.WireCh, 11) << "a refused value leaves the field alone";
  EXPECT_EQ(s.sys.HttpPort, 8080u);
  EXPECT_EQ(s.sys.Timezone, -5);
}

TEST(FieldAssignment, TextsKeepEveryByteAndMustFit) {
  SessionRecord s;
  std::string error;
  EXPECT_TRUE(ApplyFieldAssignment(s, "WPAKey=a=b&c d", &error));
  EXPECT_EQ(s.net.WPAKey, "a=b&c d") << "only the first '=' separates name and value";
  EXPECT_TRUE(ApplyFieldAssignment(s, "SSID=", &error));
  EXPECT_TRUE(s.net.SSID.empty());
  EXPECT_TRUE(ApplyFieldAssignment(s, "SSID=" + std::string(63, 's'), &error));
  EXPECT_EQ(s.net.SSID.size(), 63u);
  EXPECT_FALSE(ApplyFieldAssignment(s, "SSID=" + std::string(64, 't'), &error));
  EXPECT_EQ(s.net.SSID, std::string(63, 's'));
}

TEST(FieldAssignment, UnknownNamesAndCredentialsAreRefused) {
  SessionRecord s;
  std::string error;
  for (const char* bad :
       {"NoSuchField=1", "password=secret", "userName=root", "ssid=x", "=value", "TitleBar", ""}) {
    EXPECT_FALSE(ApplyFieldAssignment(s, bad, &error)) << bad;
  }
  EXPECT_TRUE(s.password.empty());
  EXPECT_TRUE(s.userName.empty());
}

TEST(SettingsJson, ShowsCameraFieldsButNeverTheCredentials) {
  SessionRecord s;
  s.userName = "root";
  s.password = "hunter2";
  s.net.WPAKey = "camera-key";
  s.sys.TitleBar = "Front\xff door";  // not UTF-8: must still print
  s.sys.Timezone = -3;
  const nlohmann::ordered_json j = CameraSettingsJson(s);
  EXPECT_EQ(j.at("userName"), "");
  EXPECT_EQ(j.at("password"), "");
  EXPECT_EQ(j.at("WPAKey"), "camera-key");
  EXPECT_EQ(j.at("Timezone"), -3);
  EXPECT_EQ(j.size(), 61u);
  std::string text;
  ASSERT_NO_THROW(text = j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
  EXPECT_EQ(text.find("hunter2"), std::string::npos);
  EXPECT_EQ(text.find("\"root\""), std::string::npos);
  // Every settable camera field appears, so what read prints can be fed back to --set.
  for (const auto& [key, value] : j.items()) {
    if (key == "userName" || key == "password") continue;
    std::string error;
    const std::string v = value.is_string() ? value.get<std::string>() : value.dump();
    EXPECT_TRUE(ApplyFieldAssignment(s, key + "=" + v, &error)) << key << ": " << error;
  }
}

}  // namespace
}  // namespace orv::test
