// The login step and the three jobs against an emulated camera on 127.0.0.1 (kernel-chosen port),
// checked by the order of the requests the camera logged; the save's tolerated final write against
// a scripted peer that answers each connection as told.

#include "core/app/camera_jobs.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "camsim.h"
#include "core/app/camera_clock.h"
#include "core/app/camera_pick.h"
#include "core/app/isp_rules.h"
#include "core/app/session_rules.h"
#include "core/camera_http/transport.h"
#include "core/util/ipv4.h"
#include "support/eventually.h"
#include "support/fake_host_network.h"
#include "support/loopback_camera.h"
#include "support/loopback_listener.h"

namespace orv::test {
namespace {

// "path?Act=..&Page=.." of a logged request: what identifies the request in a job's order.
std::string Summary(const std::string& request) {
  std::string line = request.substr(0, request.find('\n'));
  if (line.rfind("GET ", 0) == 0) line = line.substr(4);
  line = line.substr(0, line.find(" HTTP/"));
  const std::size_t q = line.find('?');
  if (q == std::string::npos) return line;
  std::string out = line.substr(0, line.find_first_not_of('?', q));
  std::string query = line.substr(line.find_first_not_of('?', q));
  bool first = true;
  for (std::size_t start = 0; start <= query.size();) {
    std::size_t end = query.find('&', start);
    if (end == std::string::npos) end = query.size();
    const std::string param = query.substr(start, end - start);
    if (param.rfind("Act=", 0) == 0 || param.rfind("Page=", 0) == 0) {
      out += (first ? "" : "&") + param;
      first = false;
    }
    start = end + 1;
  }
  return out;
}

TransportTiming Short() {
  TransportTiming t;
  t.connectPeriodMs = 200;
  t.sendWaitMs = 500;
  t.firstByteWaitMs = 1000;
  t.readPollMs = 50;
  t.silenceLimitMs = 300;
  t.receiveLimitMs = 2000;
  return t;
}

class CameraJobsEmulated : public ::testing::Test {
 protected:
  // A config-family camera that is extended and wireless-capable unless told otherwise.
  static camsim::CameraConfig Camera(const std::string& model = "Vexor-41HA") {
    camsim::CameraConfig cam;
    cam.family = camsim::Family::Config;
    cam.description = model;
    cam.settings["ModelName"] = model;
    cam.settings["TitleBar"] = "Front door";
    // A network write must not move the camera to a fixed port.
    cam.settings["IPType"] = "1";
    cam.settings["IPAddr"] = "127.0.0.1";
    cam.settings["HttpPort"] = "0";
    cam.accessPoints = {camsim::AccessPoint{}, camsim::AccessPoint{}};
    cam.accessPoints[1].ssid = "second";
    return cam;
  }

  bool Start(camsim::CameraConfig cam) { return m_emu.Start({std::move(cam)}); }
  bool Start(std::vector<camsim::CameraConfig> cams) { return m_emu.Start(std::move(cams)); }

  SessionRecord Record(bool legacy = false) const {
    SessionRecord s;
    m_emu.Point(s);
    s.legacyCamera = legacy ? 1 : 0;
    s.pcAddrText = "10.0.0.5";
    return s;
  }

  std::vector<std::string> Log() const {
    std::vector<std::string> out;
    for (const std::string& r : m_emu->Requests(0)) out.push_back(Summary(r));
    return out;
  }

  ScopedTransportTiming m_timing{Short()};
  LoopbackCamera m_emu;
};

// An emulator that cannot start is a broken test, never a skipped one.
#define START_OR_SKIP(cam) ASSERT_TRUE(Start(cam)) << "camera emulator did not start"

const std::vector<std::string> kSystemReadThrice = {"/cgi-bin/config_sysinfo.cgi?Act=1&Page=1",
                                                    "/cgi-bin/config_sysinfo.cgi?Act=1&Page=1",
                                                    "/cgi-bin/config_sysinfo.cgi?Act=1&Page=1"};

TEST_F(CameraJobsEmulated, LoginWithoutPasswordNeverAsks) {
  START_OR_SKIP(Camera());
  SessionRecord s = Record();
  s.userName = "stale";
  s.password = "stale";
  int asked = 0;
  const LoginOutcome out = RunLoginStep(s, [&] {
    ++asked;
    return Credentials{};
  });
  EXPECT_TRUE(out.ok);
  EXPECT_FALSE(out.askedCredentials);
  EXPECT_EQ(asked, 0);
  EXPECT_TRUE(s.userName.empty()) << "the login starts from empty credentials";
  EXPECT_EQ(Log(), kSystemReadThrice);
}

TEST_F(CameraJobsEmulated, RefusedLoginAsksOnceAndChecksTheCredentials) {
  auto cam = Camera();
  cam.password = "secret";
  START_OR_SKIP(cam);

  int asked = 0;
  SessionRecord s = Record();
  LoginOutcome out = RunLoginStep(s, [&] {
    ++asked;
    return Credentials{"root", "wrong"};
  });
  EXPECT_FALSE(out.ok);
  EXPECT_TRUE(out.askedCredentials);
  EXPECT_EQ(out.result, ErrUnauthorized);
  EXPECT_EQ(asked, 1);
  std::vector<std::string> expected = kSystemReadThrice;
  expected.push_back("/cgi-bin/config_sysinfo.cgi?Act=1&Page=1");
  EXPECT_EQ(Log(), expected);
  EXPECT_NE(m_emu->Requests(0).back().find("Authorization: Basic "), std::string::npos);

  m_emu->ClearRequests();
  s = Record();
  out = RunLoginStep(s, [] { return Credentials{"root", "secret"}; });
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.result, Ok);
  EXPECT_EQ(s.sys.TitleBar, "Front door") << "the login read is parsed";
  EXPECT_EQ(s.password, "secret");

  // Credentials that do not fit are refused before anything more is sent.
  m_emu->ClearRequests();
  s = Record();
  out = RunLoginStep(s, [] { return Credentials{"root", std::string(64, 'p')}; });
  EXPECT_FALSE(out.ok);
  EXPECT_TRUE(out.credentialsTooLong);
  EXPECT_EQ(Log(), kSystemReadThrice);
}

TEST_F(CameraJobsEmulated, ReadAllOfAnExtendedWirelessCamera) {
  START_OR_SKIP(Camera());
  WorkerJob job;
  job.session = Record();
  std::vector<std::string> finderCalls;
  FreeAddressFinder finder = [&](std::uint32_t& base, std::uint32_t source, std::size_t n,
                                 const ConnectFlag&) {
    finderCalls.push_back(FormatIpv4(base) + " from " + FormatIpv4(source) +
                          " n=" + std::to_string(n));
    return FreeAddressResult{{MakeIpv4(10, 0, 0, 253), MakeIpv4(10, 0, 0, 252)}, 1};
  };
  RunReadAllJob(job, finder);
  EXPECT_EQ(job.done, 1);
  ASSERT_EQ(job.ok, 1) << job.error;
  EXPECT_EQ(job.session.extendedCgi, 1);
  EXPECT_EQ(Log(),
            (std::vector<std::string>{
                "/goform/Parameters?Act=1&Page=23", "/cgi-bin/config_sysinfo.cgi?Act=1&Page=1",
                "/cgi-bin/config_network.cgi?Act=1&Page=3",
                "/cgi-bin/config_ddns.cgi?Act=1&Page=13", "/cgi-bin/config_time.cgi?Act=1",
                "/goform/Parameters?Act=1&Page=32", "/cgi-bin/ap_scan.cgi"}));
  ASSERT_EQ(job.accessPoints.size(), 2u);
  EXPECT_EQ(job.accessPoints[1].SSID, "second");
  EXPECT_EQ(job.session.apScanOk, 1);
  EXPECT_EQ(finderCalls, std::vector<std::string>{"10.0.0.5 from 10.0.0.5 n=2"});
  EXPECT_EQ(job.suggestedAddresses.size(), 2u);

  // A PPPoE link gets no suggestion; a camera outside the extended table no capability page.
  m_emu->ClearRequests();
  finderCalls.clear();
  job = WorkerJob{};
  job.session = Record();
  job.session.linkPppoe = 1;
  RunReadAllJob(job, finder);
  EXPECT_EQ(job.ok, 1);
  EXPECT_TRUE(finderCalls.empty());
  EXPECT_TRUE(job.suggestedAddresses.empty());
}

// A host network that tells when it is freed.
class WatchedNetwork : public FakeHostNetwork {
 public:
  explicit WatchedNetwork(std::shared_ptr<std::atomic<bool>> gone) : m_gone(std::move(gone)) {}
  ~WatchedNetwork() override { m_gone->store(true); }

 private:
  std::shared_ptr<std::atomic<bool>> m_gone;
};

TEST_F(CameraJobsEmulated, AReadThatTimedOutFinishesAfterItsOwnerIsGone) {
  START_OR_SKIP(Camera());
  auto gone = std::make_shared<std::atomic<bool>>(false);
  auto probes = std::make_shared<std::atomic<int>>(0);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  {
    // The window: its host network, its jobs and its record.
    auto net = std::make_shared<WatchedNetwork>(gone);
    net->onArp = [released, probes](std::uint32_t) {
      ++*probes;
      released.wait();  // the job hangs in its free-address search
    };
    auto jobs = std::make_unique<CameraJobs>();
    SessionRecord record = Record();
    jobs->StartRead(record, MakeFreeAddressFinder(net));
    net.reset();
    ASSERT_TRUE(Eventually([&] { return probes->load() > 0; }));
    int position = CameraJobs::kEndOfBar;
    EXPECT_EQ(jobs->Poll(position, record), WorkerPoll::TimedOut);
    jobs.reset();  // the window closes
    EXPECT_FALSE(gone->load()) << "the running job still holds the host network";
  }
  release.set_value();
  // The job goes on probing the freed window's network, ends, and only then lets it go.
  EXPECT_TRUE(Eventually([&] { return gone->load(); }));
  EXPECT_GT(probes->load(), 1);
}

TEST_F(CameraJobsEmulated, ReadAllOfAPlainCameraStopsAfterTheTime) {
  START_OR_SKIP(Camera("Raltox-63"));
  WorkerJob job;
  job.session = Record();
  bool probed = false;
  RunReadAllJob(job, [&](std::uint32_t&, std::uint32_t, std::size_t, const ConnectFlag&) {
    probed = true;
    return FreeAddressResult{};
  });
  EXPECT_EQ(job.ok, 1);
  EXPECT_EQ(job.session.extendedCgi, 0);
  EXPECT_EQ(Log().size(), 5u);
  EXPECT_FALSE(probed);
  EXPECT_TRUE(job.accessPoints.empty());
}

TEST_F(CameraJobsEmulated, ReadAllFailures) {
  {
    auto cam = Camera();
    cam.rawPages["scan"] = "no table here\n";
    START_OR_SKIP(cam);
    WorkerJob job;
    job.session = Record();
    RunReadAllJob(job, nullptr);
    EXPECT_EQ(job.done, 1);
    EXPECT_EQ(job.ok, 0);
    EXPECT_EQ(job.error, 0) << "a failed scan reports 0";
    EXPECT_EQ(Log().size(), 7u);
    m_emu.Stop();
  }
  {
    auto cam = Camera();
    cam.fault = camsim::Fault::NotFound404;
    ASSERT_TRUE(Start(cam));
    WorkerJob job;
    job.session = Record();
    RunReadAllJob(job, nullptr);
    EXPECT_EQ(job.ok, 0);
    EXPECT_EQ(job.error, ErrNotFound);
    EXPECT_EQ(Log().size(), 1u) << "the first failure ends the job";
  }
}

// The time of day as the emulated camera gives it when its clock was never set.
std::string UtcClock() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[16];
  return std::string(text, std::strftime(text, sizeof text, "%H:%M:%S", &tm));
}

TEST_F(CameraJobsEmulated, SaveWritesInOrderAndTheWpsSaveReadsTheClock) {
  START_OR_SKIP(Camera());
  WorkerJob job;
  job.mode = kModeSave;
  job.session = Record();
  job.session.sys.TitleBar = "Back yard";
  RunWorkerJob(job, nullptr);
  EXPECT_EQ(job.ok, 1) << job.error;
  std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0], "/cgi-bin/config_sysinfo.cgi?Act=2&Page=1");
  EXPECT_EQ(log[1], "/cgi-bin/config_ddns.cgi?Act=2&Page=13");
  EXPECT_EQ(log[2], "/cgi-bin/config_time.cgi?Act=2");
  EXPECT_EQ(log[3], "/cgi-bin/config_network.cgi?Act=2&Page=3");
  EXPECT_EQ(m_emu->Setting(0, "TitleBar"), "Back yard");

  // The camera may have moved to a fresh port after the network write.
  m_emu->ClearRequests();
  job = WorkerJob{};
  job.mode = kModeSaveWps;
  job.session = Record();
  job.session.sys.Time.clear();
  const std::string before = UtcClock();
  RunWorkerJob(job, nullptr);
  const std::string after = UtcClock();
  EXPECT_EQ(job.ok, 1) << job.error;
  log = Log();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[2], "/cgi-bin/config_time.cgi?Act=1") << "read, not written";
  EXPECT_EQ(log[3], "/cgi-bin/config_network.cgi?Act=2&Page=3");
  const std::string shortWrite = m_emu->Requests(0)[3];
  EXPECT_EQ(shortWrite.find("WPAKey="), std::string::npos) << "the WPS save leaves the keys alone";
  EXPECT_EQ(shortWrite.find("SSID="), std::string::npos);
  EXPECT_NE(shortWrite.find("HttpPort="), std::string::npos);
  // The clock read is parsed: the emulated camera answers its clock, UTC now, to the second.
  const std::string read(job.session.sys.Time.c_str());
  EXPECT_TRUE(read == before || read == after)
      << read << " read between " << before << " and " << after;
}

TEST_F(CameraJobsEmulated, TheSaveSendsTheClockMovedOnSinceItWasRead) {
  START_OR_SKIP(Camera());
  WorkerJob job;
  job.session = Record();
  RunReadAllJob(job, nullptr);
  ASSERT_EQ(job.ok, 1) << job.error;
  EXPECT_TRUE(job.session.sys.clockTakenAt) << "the read notes when it read the clock";

  // As if the user spent a minute and a half on the pages since the read.
  job.mode = kModeSave;
  job.session.sys.Date = "2026/12/08";
  job.session.sys.Time = "23:59:00";
  NoteClockTaken(job.session, MonotonicClock::now() - std::chrono::seconds(90));
  RunWorkerJob(job, nullptr);
  ASSERT_EQ(job.ok, 1) << job.error;
  EXPECT_EQ(m_emu->Setting(0, "Date"), "2026/12/09");
  const std::string sent = m_emu->Setting(0, "Time");
  EXPECT_TRUE(sent >= "00:00:30" && sent <= "00:00:40") << sent;

  // A time typed by hand goes as typed.
  job.session.sys.Time = "12:00:00";
  job.session.cameraPortText = Record().cameraPortText;
  ForgetClockInstant(job.session);
  RunWorkerJob(job, nullptr);
  EXPECT_EQ(m_emu->Setting(0, "Time"), "12:00:00");
}

// Camera A set up for PPPoE, then camera B in the same session: B's save carries nothing of A's,
// neither the account typed for A nor a value of A's that B's answers do not name.
TEST_F(CameraJobsEmulated, TheNextCameraSaveCarriesNothingOfThePreviousOne) {
  camsim::CameraConfig a = Camera();
  a.cameraId = "SN-A";
  a.accessPoints.clear();
  a.settings["WireCh"] = "11";
  a.settings["WEPKeyE0"] = "2";
  a.settings["UPnPE"] = "1";
  a.settings["RTSPPort"] = "8554";
  a.settings["DDNS"] = "1";
  a.settings["DDNSUser"] = "a-ddns";
  camsim::CameraConfig b = Camera();
  b.cameraId = "SN-B";
  b.accessPoints.clear();
  // A camera that names only a few keys: the rest keep what the record held before its read.
  b.rawPages["3"] =
      "IPType=1\nIPAddr=127.0.0.1\nNetmask=255.255.255.0\nGateway=127.0.0.1\nDNS1=127.0.0.1\n"
      "WPAPSKeyM=0\nHttpPort=0\n";
  b.rawPages["13"] = "DDNSSrv=none\n";
  START_OR_SKIP((std::vector<camsim::CameraConfig>{a, b}));

  SessionRecord s = Record();
  // The pick, then what the window's read step does before every camera's login.
  auto pickAndRead = [&](std::size_t camera, const char* serial) {
    ASSERT_EQ(PrepareSession(s, "127.0.0.1", std::to_string(m_emu->HttpPort(camera)),
                             "Vexor-41HA/ethernet", serial),
              PickProblem::None);
    ForgetCameraFacts(s);
    WorkerJob job;
    job.session = s;
    RunReadAllJob(job, nullptr);
    ASSERT_EQ(job.ok, 1) << job.error;
    s = job.session;
  };
  auto save = [&] {
    WorkerJob job;
    job.mode = kModeSave;
    job.session = s;
    RunWorkerJob(job, nullptr);
    ASSERT_EQ(job.ok, 1) << job.error;
  };

  pickAndRead(0, "SN-A");
  ASSERT_EQ(IspLinkNextChecked(s, {nav::IspLink::Pppoe, "a-user", "a-secret", "a-secret"}).problem,
            PppoeProblem::None);
  save();
  ASSERT_EQ(m_emu->Setting(0, "PAccount"), "a-user");

  pickAndRead(1, "SN-B");
  save();
  const std::vector<std::string> sent = m_emu->Requests(1);
  ASSERT_GE(sent.size(), 4u);
  for (const std::string& request : sent)
    for (const char* trace : {"a-user", "a-secret", "a-ddns"})
      EXPECT_EQ(request.find(trace), std::string::npos) << trace << " in " << request;
  const std::string tail = " HTTP/1.0\nUser-Agent: korimo-1.0.1\nAuthorization: Basic Og==\n\n\n";
  EXPECT_EQ(sent[sent.size() - 3],
            "GET /cgi-bin/config_ddns.cgi?Act=2&Page=13&DDNSSrv=none&DDNS=0&DDNSUser=&DDNSPwd="
            "&DDNSHost=" +
                tail);
  EXPECT_EQ(sent.back(),
            "GET /cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1&IPAddr=127.0.0.1"
            "&Netmask=255.255.255.0&Gateway=127.0.0.1&DNS1=127.0.0.1&DNS2=&WIPType=0&WIPAddr="
            "&WNetmask=&WGateway=&WDNS1=&WDNS2=&WireType=0&WireSec=0&SSID=&WireCh=0&WEPAuthM=0"
            "&WEPMode=0&WEPKey0=&WEPKey1=&WEPKey2=&WEPKey3=&WEPKeyE0=0&WPAKey=&WPAEnc=0"
            "&WPAPSKeyM=0&TxRate=&WepKeyL=0&UPnPE=0&PAccount=&PPwd=&PVP=&HttpPort=0&RTPPort=0"
            "&RTSPPort=0" +
                tail);
}

// ---- A peer that answers the n-th connection with the n-th scripted answer, and refuses every
// connection after the first `connections`

class ScriptedPeer {
 public:
  explicit ScriptedPeer(std::vector<std::string> answers, std::size_t connections = SIZE_MAX)
      : m_answers(std::move(answers)), m_connections(connections) {
    m_listener = ListenOnLoopback(m_port);
    EXPECT_GE(m_listener, 0);
    m_thread = std::thread([this] { Serve(); });
  }
  ~ScriptedPeer() {
    m_stop = true;
    m_thread.join();
    if (m_listener >= 0) ::close(m_listener);
  }
  std::string PortText() const { return std::to_string(m_port); }
  std::vector<std::string> Requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
  }

 private:
  void Serve() {
    std::size_t n = 0;
    while (!m_stop) {
      pollfd p{m_listener, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      const int c = ::accept(m_listener, nullptr, nullptr);
      if (c < 0) continue;
      std::string head;
      char buf[2048];
      for (int i = 0; i < 50 && head.find("\n\n") == std::string::npos; ++i) {
        pollfd q{c, POLLIN, 0};
        if (::poll(&q, 1, 20) <= 0) continue;
        const ssize_t r = ::recv(c, buf, sizeof buf, 0);
        if (r <= 0) break;
        head.append(buf, static_cast<std::size_t>(r));
      }
      {
        std::lock_guard lock(m_mutex);
        m_requests.push_back(head);
      }
      const std::string& a = n < m_answers.size() ? m_answers[n] : m_answers.back();
      // Closed before the last answer goes out, so the client's next connect is refused.
      const bool last = ++n == m_connections;
      if (last) {
        ::close(m_listener);
        m_listener = -1;
      }
      if (!a.empty()) (void)::send(c, a.data(), a.size(), MSG_NOSIGNAL);
      ::close(c);
      if (last) return;
    }
  }

  std::vector<std::string> m_answers;
  std::size_t m_connections;
  int m_listener = -1;
  std::uint16_t m_port = 0;
  std::atomic<bool> m_stop{false};
  mutable std::mutex m_mutex;
  std::vector<std::string> m_requests;
  std::thread m_thread;
};

const std::string kOk = "HTTP/1.0 200 OK\n\nOK\n";

// A save job of the mode against the peer.
WorkerJob SaveAt(const ScriptedPeer& peer, int mode) {
  WorkerJob job;
  job.mode = mode;
  job.session.connectAllowed.store(1);
  job.session.cameraAddrText = "127.0.0.1";
  job.session.cameraPortText = peer.PortText();
  RunWorkerJob(job, nullptr);
  return job;
}

TEST(SaveJob, TheFinalNetworkWriteIsToleratedOnlyWhenUnanswered) {
  const ScopedTransportTiming timing(Short());
  struct Case {
    std::string last;
    int mode;
    std::uint8_t ok;
    int error;
  };
  for (const Case& c : {Case{"", kModeSave, 1, 0},  // never answered: the camera moved
                        Case{"HTTP/1.0 402 Failure\n\n", kModeSave, 0, ErrFailure},
                        Case{"HTTP/1.0 404 Not Found\n\n", kModeSave, 0, ErrNotFound},
                        Case{"HTTP/1.0 401 Unauthorized\n\n", kModeSave, 0, ErrUnauthorized},
                        Case{"", kModeSaveWps, 0, ErrNoResponse},
                        Case{"HTTP/1.0 402 Failure\n\n", kModeSaveWps, 0, ErrFailure}}) {
    ScriptedPeer peer({kOk, kOk, "HTTP/1.0 200 OK\n\nNTPEN=1\nTime=10:00:00\n", c.last});
    const WorkerJob job = SaveAt(peer, c.mode);
    EXPECT_EQ(job.done, 1);
    EXPECT_EQ(job.ok, c.ok) << c.mode << " " << c.last;
    EXPECT_EQ(job.error, c.error) << c.mode << " " << c.last;
    EXPECT_EQ(peer.Requests().size(), 4u);
  }
  // An early write failing ends the save at once.
  ScriptedPeer peer({kOk, "HTTP/1.0 404 Not Found\n\n"});
  WorkerJob job = SaveAt(peer, kModeSave);
  EXPECT_EQ(job.ok, 0);
  EXPECT_EQ(job.error, ErrNotFound);
  EXPECT_EQ(peer.Requests().size(), 2u);

  // A write that never reached the camera is no save: a refused connect (-1) ends the job so,
  // and a failed send (-2) counts the same.
  ScriptedPeer refusing({kOk, kOk, "HTTP/1.0 200 OK\n\nOK\n"}, 3);
  job = SaveAt(refusing, kModeSave);
  EXPECT_EQ(job.ok, 0);
  EXPECT_EQ(job.error, ErrConnect);
  EXPECT_EQ(refusing.Requests().size(), 3u);
  EXPECT_FALSE(NetworkWriteCountsAsSaved(ErrSend));
  EXPECT_TRUE(NetworkWriteCountsAsSaved(ErrNoResponse));
}

}  // namespace
}  // namespace orv::test
