// The transport and the request operations against a small recording peer on 127.0.0.1 (a
// kernel-chosen port), with the transport's waits shortened so every case takes well under a
// second.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "camsim.h"
#include "core/camera_http/request_texts.h"
#include "core/camera_http/requests.h"
#include "core/camera_http/transport.h"
#include "support/loopback_camera.h"
#include "support/loopback_listener.h"

namespace orv::test {
namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Accepts connections one after another, records each request, then behaves as told.
class FakePeer {
 public:
  enum class Mode { Answer, Silent, NeverClose, Trickle, CloseAtOnce };

  explicit FakePeer(std::string answer = "OK\n", Mode mode = Mode::Answer)
      : m_answer(std::move(answer)), m_mode(mode) {
    m_listener = ListenOnLoopback(m_port);
    EXPECT_GE(m_listener, 0);
    m_thread = std::thread([this] { Serve(); });
  }
  ~FakePeer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listener);
  }

  std::string PortText() const { return std::to_string(m_port); }
  std::vector<std::string> Requests() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
  }
  std::string LastRequest() const {
    auto r = Requests();
    return r.empty() ? std::string() : r.back();
  }
  void SetAnswer(std::string answer) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answer = std::move(answer);
  }

 private:
  bool Readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
  }

  void Serve() {
    while (!m_stop) {
      if (!Readable(m_listener, 20)) continue;
      const int c = ::accept(m_listener, nullptr, nullptr);
      if (c < 0) continue;
      Handle(c);
      ::close(c);
    }
  }

  // Holds the connection until the client goes away (or the test ends).
  void HoldUntilClientCloses(int c) {
    char sink[256];
    while (!m_stop) {
      if (Readable(c, 20) && ::recv(c, sink, sizeof sink, 0) <= 0) return;
    }
  }

  void Handle(int c) {
    std::string request;
    char buf[8192];
    const auto start = Clock::now();
    // The request head ends with an empty line; a little more may follow in the same send.
    while (request.find("\n\n") == std::string::npos && MsSince(start) < 500 && !m_stop) {
      if (!Readable(c, 20)) continue;
      const ssize_t n = ::recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<std::size_t>(n));
    }
    while (Readable(c, 2)) {
      const ssize_t n = ::recv(c, buf, sizeof buf, 0);
      if (n <= 0) break;
      request.append(buf, static_cast<std::size_t>(n));
    }
    std::string answer;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_requests.push_back(request);
      answer = m_answer;
    }
    switch (m_mode) {
      case Mode::Answer:
        ::send(c, answer.data(), answer.size(), MSG_NOSIGNAL);
        break;
      case Mode::CloseAtOnce:
        break;
      case Mode::Silent:
        HoldUntilClientCloses(c);
        break;
      case Mode::NeverClose:
        ::send(c, answer.data(), answer.size(), MSG_NOSIGNAL);
        HoldUntilClientCloses(c);
        break;
      case Mode::Trickle:
        for (std::size_t i = 0; !m_stop; ++i) {
          if (::send(c, &answer[i % answer.size()], 1, MSG_NOSIGNAL) <= 0) break;
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        break;
    }
  }

  std::string m_answer;
  Mode m_mode;
  int m_listener = -1;
  std::uint16_t m_port = 0;
  std::atomic<bool> m_stop{false};
  mutable std::mutex m_mutex;
  std::vector<std::string> m_requests;
  std::thread m_thread;
};

// A loopback port with nothing listening: connects to it are refused.
std::string RefusingPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
  socklen_t len = sizeof sa;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len);
  ::close(fd);
  return std::to_string(ntohs(sa.sin_port));
}

TransportTiming ShortTiming() {
  TransportTiming t;
  t.connectPeriodMs = 100;
  t.connectPeriods = 2;
  t.sendWaitMs = 300;
  t.firstByteWaitMs = 150;
  t.readPollMs = 50;
  t.silenceLimitMs = 150;
  t.receiveLimitMs = 600;
  t.probeConnectMs = 300;
  return t;
}

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { m_flag.store(1); }
  void TearDown() override {}

  ScopedTransportTiming m_timing{ShortTiming()};

  SessionRecord Camera(const FakePeer& peer, bool legacy) {
    SessionRecord s;
    s.connectAllowed.store(1);
    s.cameraAddrText = "127.0.0.1";
    s.cameraPortText = peer.PortText();
    s.legacyCamera = legacy ? 1 : 0;
    return s;
  }

  ConnectFlag m_flag;
};

// ---- connect ------------------------------------------------------------------------------------

TEST_F(ExchangeTest, ConnectsByAddressDefaultHostAndName) {
  FakePeer peer;
  for (const char* host : {"127.0.0.1", "", "localhost"}) {
    const int s = HttpConnect(m_flag, host, peer.PortText().c_str());
    ASSERT_GE(s, 0) << host;
    HttpClose(s);
  }
  const int s = HttpConnect(m_flag, nullptr, peer.PortText().c_str());
  ASSERT_GE(s, 0);
  HttpClose(s);
}

// Timing checks compare against alternatives that are far apart, so a loaded machine cannot mix
// them up: a wrong path would take many times the bound.
TEST_F(ExchangeTest, RefusedConnectAndBadPortFailAtOnce) {
  TransportTiming t = ShortTiming();
  t.connectPeriodMs = 10000;
  const ScopedTransportTiming timing(t);
  const auto start = Clock::now();
  EXPECT_EQ(HttpConnect(m_flag, "127.0.0.1", RefusingPort().c_str()), -1);
  EXPECT_EQ(HttpConnectLinkServer("127.0.0.1", RefusingPort().c_str()), -1);
  EXPECT_EQ(HttpConnect(m_flag, "127.0.0.1", ""), -1);
  EXPECT_EQ(HttpConnect(m_flag, "127.0.0.1", "abc"), -1);
  EXPECT_LT(MsSince(start), 5000);  // a refusal is not mistaken for a pending connect
}

TEST_F(ExchangeTest, PortTextTakesLeadingDigits) {
  FakePeer peer;
  const std::string text = peer.PortText() + "xyz";
  const int s = HttpConnect(m_flag, "127.0.0.1", text.c_str());
  ASSERT_GE(s, 0);
  HttpClose(s);
}

// A listener whose accept queue is full leaves further connects pending: the wait periods apply.
class StuckListener {
 public:
  StuckListener() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    ::listen(m_fd, 0);
    socklen_t len = sizeof sa;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &len);
    m_port = std::to_string(ntohs(sa.sin_port));
    // Fill the queue.
    for (int i = 0; i < 4; ++i) {
      const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      ::connect(c, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
      m_fillers.push_back(c);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ~StuckListener() {
    for (int c : m_fillers) ::close(c);
    ::close(m_fd);
  }
  const std::string& port() const { return m_port; }

 private:
  int m_fd;
  std::string m_port;
  std::vector<int> m_fillers;
};

TEST_F(ExchangeTest, UnansweredConnectGivesUpAfterTwoPeriodsOrWhenAborted) {
  StuckListener stuck;
  auto start = Clock::now();
  EXPECT_EQ(HttpConnect(m_flag, "127.0.0.1", stuck.port().c_str()), -1);
  const long long took = MsSince(start);
  EXPECT_GE(took, 180);
  EXPECT_LT(took, 5000);

  // Cleared while waiting: ends within one look at the flag, long before the periods are over.
  TransportTiming t = ShortTiming();
  t.connectPeriodMs = 10000;
  const ScopedTransportTiming timing(t);
  std::atomic<long long> clearedAt{0};
  start = Clock::now();
  std::thread clearer([this, &clearedAt, start] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    clearedAt = MsSince(start);
    m_flag.store(0);
  });
  EXPECT_EQ(HttpConnect(m_flag, "127.0.0.1", stuck.port().c_str()), -1);
  const long long returnedAt = MsSince(start);
  clearer.join();
  // Still waiting when the flag went (a connect that failed at once would return before it), and
  // gone soon after, long before the two 10 s periods.
  EXPECT_GE(returnedAt, clearedAt.load());
  EXPECT_LT(returnedAt - clearedAt.load(), 5000);

  // Already cleared: no wait at all.
  start = Clock::now();
  EXPECT_EQ(HttpConnect(m_flag, "127.0.0.1", stuck.port().c_str()), -1);
  EXPECT_LT(MsSince(start), 5000);
}

// ---- receive ------------------------------------------------------------------------------------

struct Received {
  std::string text;
  int count = 0;
  long long ms = 0;
  bool terminated = false;
};

Received ReceiveFrom(FakePeer& peer, std::size_t capacity,
                     const TransportTiming& timing = ShortTiming()) {
  ConnectFlag flag;
  flag.store(1);
  Received r;
  const int s = HttpConnect(flag, "127.0.0.1", peer.PortText().c_str());
  if (s < 0) {
    ADD_FAILURE() << "no connection to the fake peer";
    r.count = s;
    return r;
  }
  const std::string req = "GET / HTTP/1.0\n\n";
  EXPECT_EQ(HttpSend(s, req.data(), req.size()), static_cast<int>(req.size()));
  std::vector<char> buf(capacity, '\0');
  const auto start = Clock::now();
  r.count = HttpReceive(s, buf.data(), buf.size(), timing);
  r.ms = MsSince(start);
  r.terminated = buf.back() == '\0';
  r.text.assign(buf.data(), static_cast<std::size_t>(std::max(r.count, 0)));
  HttpClose(s);
  return r;
}

TEST_F(ExchangeTest, ReceiveEndsOnCloseSilenceOrTotalLimit) {
  // Each case makes the limit it is not about long, so the one it is about shows clearly.
  TransportTiming longSilence = ShortTiming();
  longSilence.silenceLimitMs = 30000;
  longSilence.receiveLimitMs = 30000;
  TransportTiming longTotal = ShortTiming();
  longTotal.receiveLimitMs = 30000;
  longTotal.firstByteWaitMs = 150;
  {
    FakePeer peer("HTTP/1.0 200 OK\n\nIPAddr=1.2.3.4\n");
    const Received r = ReceiveFrom(peer, 6145, longSilence);
    EXPECT_EQ(r.text, "HTTP/1.0 200 OK\n\nIPAddr=1.2.3.4\n");
    EXPECT_LT(r.ms, 10000);  // the close, not the silence
  }
  {
    FakePeer peer("Version=1.0\n", FakePeer::Mode::NeverClose);
    const Received r = ReceiveFrom(peer, 6145, longTotal);
    EXPECT_EQ(r.text, "Version=1.0\n");
    EXPECT_GE(r.ms, 140);  // the silence limit, not the total limit
    EXPECT_LT(r.ms, 10000);
  }
  {
    TransportTiming t = longSilence;
    t.receiveLimitMs = 600;
    FakePeer peer("abc", FakePeer::Mode::Trickle);
    const Received r = ReceiveFrom(peer, 6145, t);
    EXPECT_GT(r.count, 3);
    EXPECT_GE(r.ms, 580);
    EXPECT_LT(r.ms, 10000);  // the total limit, though the peer never goes quiet
  }
  {
    FakePeer peer("", FakePeer::Mode::Silent);
    const Received r = ReceiveFrom(peer, 6145, longTotal);
    EXPECT_EQ(r.count, 0);
    EXPECT_LT(r.ms, 10000);  // the first-byte wait
  }
  {
    FakePeer peer("", FakePeer::Mode::CloseAtOnce);
    EXPECT_EQ(ReceiveFrom(peer, 6145).count, 0);
  }
}

TEST_F(ExchangeTest, ReceiveNeverFillsTheTerminator) {
  FakePeer peer(std::string(20000, 'x'));
  const Received r = ReceiveFrom(peer, 4097);
  EXPECT_EQ(r.count, 4096);
  EXPECT_TRUE(r.terminated);
  FakePeer tiny("hello");
  const Received t = ReceiveFrom(tiny, 1);
  EXPECT_EQ(t.count, 0);
  EXPECT_TRUE(t.terminated);
}

TEST_F(ExchangeTest, SendFailuresReturnZeroWithADiagnostic) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(HttpSend(-1, "x", 1), 0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "select: error\n");

  // A socket whose peer has gone: the send itself fails.
  int pair[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  ::close(pair[1]);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(HttpSend(pair[0], "x", 1), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "error send()ing request\n");
  ::close(pair[0]);
}

// Collects the transport's diagnostic lines for one test, then puts the default back.
class DiagnosticsSink {
 public:
  DiagnosticsSink() {
    SetTransportDiagnostics([this](std::string_view line) {
      std::lock_guard lock(m_mutex);
      m_lines.emplace_back(line);
    });
  }
  ~DiagnosticsSink() { SetTransportDiagnostics(nullptr); }
  std::vector<std::string> Lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<std::string> m_lines;
};

TEST_F(ExchangeTest, DiagnosticsGoToTheInjectedSinkOnly) {
  DiagnosticsSink sink;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(HttpSend(-1, "x", 1), 0);
  EXPECT_EQ(ResolveHostAddress("1.2.3"), 0u);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(sink.Lines(),
            (std::vector<std::string>{"select: error\n",
                                      "The IPv4 address entered must be a legal address\n"}));
}

// A socket pair with small buffers: a large send takes many partial sends.
struct SmallPipe {
  SmallPipe() {
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    const int small = 4096;
    ::setsockopt(fds[0], SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    ::setsockopt(fds[1], SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
  }
  ~SmallPipe() {
    ::close(fds[0]);
    ::close(fds[1]);
  }
  int fds[2] = {-1, -1};
};

TEST_F(ExchangeTest, ASendContinuesUntilEveryByteIsOut) {
  TransportTiming t = ShortTiming();
  t.sendWaitMs = 30000;  // the deadline is not what this case is about
  const ScopedTransportTiming timing(t);
  SmallPipe pipe;
  const std::string request(256 * 1024, 'r');
  std::string received;
  std::thread reader([&] {
    char buf[1024];
    while (received.size() < request.size()) {
      const ssize_t n = ::recv(pipe.fds[1], buf, sizeof buf, 0);
      if (n <= 0) break;
      received.append(buf, static_cast<std::size_t>(n));
    }
  });
  EXPECT_EQ(HttpSend(pipe.fds[0], request.data(), request.size()),
            static_cast<int>(request.size()));
  reader.join();
  EXPECT_EQ(received, request);
}

TEST_F(ExchangeTest, APartialSendPastTheDeadlineIsAFailure) {
  SmallPipe pipe;  // nobody reads: the buffers fill and stay full
  const std::string request(4 * 1024 * 1024, 'r');
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(HttpSend(pipe.fds[0], request.data(), request.size()), 0);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "timeout\n");
}

TEST_F(ExchangeTest, NumericLookingHostsAreNeverLookedUp) {
  FakePeer peer;
  // A name lookup would read these as 127.0.0.1 (octal, hex, one number); they are refused.
  for (const char* host : {"127.000.000.001", "0177.0.0.1", "0x7f.0.0.1", "2130706433", "127.1"}) {
    const int s = HttpConnect(m_flag, host, peer.PortText().c_str());
    EXPECT_EQ(s, -1) << host;
    if (s >= 0) HttpClose(s);
  }
  EXPECT_TRUE(peer.Requests().empty());
  const int s = HttpConnect(m_flag, "127.0.0.1", peer.PortText().c_str());
  EXPECT_GE(s, 0);
  HttpClose(s);
}

// Clearing connectAllowed ends an exchange that would otherwise run for the full 20 s.
TEST_F(ExchangeTest, ClearingConnectAllowedEndsAReceiveAtOnce) {
  const ScopedTransportTiming product{TransportTiming{}};
  for (const FakePeer::Mode mode : {FakePeer::Mode::Trickle, FakePeer::Mode::Silent}) {
    FakePeer peer("TitleBar=cam\n", mode);
    SessionRecord s = Camera(peer, true);
    s.sys.TitleBar = "before";
    std::atomic<long long> clearedAt{0};
    const auto start = Clock::now();
    std::thread closer([&] {
      const auto end = Clock::now() + std::chrono::seconds(10);
      while (peer.Requests().empty() && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));  // well inside the receive
      clearedAt = MsSince(start);
      s.connectAllowed.store(0);
    });
    const int rc = CameraRequest(s, kActRead, kPageSystem, 0);
    const long long endedAt = MsSince(start);
    closer.join();
    // What came before the flag was cleared is kept and read as the answer (the title, or as much
    // of it as had arrived: the peer sends a byte every 10 ms); a silent camera gave nothing.
    if (mode == FakePeer::Mode::Silent) {
      EXPECT_EQ(rc, ErrNoResponse);
      EXPECT_EQ(s.sys.TitleBar.view(), "before");
    } else {
      EXPECT_EQ(rc, Ok);
      EXPECT_NE(s.sys.TitleBar.view(), "before") << "the answer so far was not read";
      EXPECT_TRUE(std::string_view("cam").starts_with(s.sys.TitleBar.view()))
          << s.sys.TitleBar.view();
    }
    // The waits look at the flag every 50 ms; a generous bound keeps a loaded machine honest.
    EXPECT_LT(endedAt - clearedAt.load(), 1000) << "mode " << static_cast<int>(mode);
    ::testing::Test::RecordProperty(
        mode == FakePeer::Mode::Trickle ? "trickleStopMs" : "silentStopMs",
        static_cast<int>(endedAt - clearedAt.load()));
  }

  // The same through the explicit flag.
  FakePeer peer("abc", FakePeer::Mode::Trickle);
  ConnectFlag flag;
  flag.store(1);
  const int sock = HttpConnectLinkServer("127.0.0.1", peer.PortText().c_str());
  ASSERT_GE(sock, 0);
  const std::string req = "GET / HTTP/1.0\n\n";
  ASSERT_EQ(HttpSend(sock, req.data(), req.size()), static_cast<int>(req.size()));
  flag.store(0);
  std::vector<char> buf(6145, '\0');
  const auto start = Clock::now();
  HttpReceive(sock, buf.data(), buf.size(), flag);
  EXPECT_LT(MsSince(start), 1000);
  HttpClose(sock);
}

// ---- resolve and probe --------------------------------------------------------------------------

TEST_F(ExchangeTest, ResolveUsesDottedQuadAsItIsAndLooksUpNames) {
  EXPECT_EQ(ResolveHostAddress("127.0.0.1"), htonl(INADDR_LOOPBACK));
  EXPECT_EQ(ResolveHostAddress("10.200.3.4"), inet_addr("10.200.3.4"));  // no reverse lookup
  EXPECT_EQ(ResolveHostAddress("localhost"), htonl(INADDR_LOOPBACK));
  EXPECT_EQ(ResolveHostAddress(""), 0u);
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(ResolveHostAddress("1.2.3"), 0u);
  EXPECT_EQ(ResolveHostAddress("300.1.1.1"), 0u);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(),
            "The IPv4 address entered must be a legal address\n"
            "The IPv4 address entered must be a legal address\n");
}

TEST_F(ExchangeTest, ProbeSucceedsOnlyOnARealConnection) {
  FakePeer peer;
  EXPECT_EQ(ProbeTcpConnect("127.0.0.1", std::atoi(peer.PortText().c_str())), 0);
  EXPECT_EQ(ProbeTcpConnect("127.0.0.1", std::atoi(RefusingPort().c_str())), -1);
  // 0.0.0.0 would reach this machine: never counts as reachable.
  EXPECT_EQ(ProbeTcpConnect("0.0.0.0", std::atoi(peer.PortText().c_str())), -1);
  StuckListener stuck;
  const auto start = Clock::now();
  EXPECT_EQ(ProbeTcpConnect("127.0.0.1", std::atoi(stuck.port().c_str())), -1);
  EXPECT_LT(MsSince(start), 10000);  // bounded by the probe wait, not the system's minutes
}

TEST_F(ExchangeTest, ProbeHostComesFromTheEnvironment) {
  ::setenv("ORVANTIS_PROBE_HOST", "127.0.0.1", 1);
  EXPECT_EQ(ProbeHostName(), "127.0.0.1");
  ::setenv("ORVANTIS_PROBE_HOST", "", 1);
  EXPECT_EQ(ProbeHostName(), kDefaultProbeHost);
  ::unsetenv("ORVANTIS_PROBE_HOST");
  EXPECT_EQ(ProbeHostName(), kDefaultProbeHost);
}

// ---- request texts, byte for byte ---------------------------------------------------------------

constexpr const char* kAgent = "User-Agent: korimo-1.0.1\n";
constexpr const char* kRootHeader = "Authorization: Basic cm9vdDpwYXNz\n\n";  // root:pass
constexpr const char* kEmptyHeader = "Authorization: Basic Og==\n\n";         // ":"

void FillSettings(SessionRecord& s) {
  NetworkSettings& n = s.net;
  n.IPType = 1;
  n.IPAddr = "192.168.0.5";
  n.Netmask = "255.255.255.0";
  n.Gateway = "192.168.0.1";
  n.DNS1 = "192.168.0.53";
  n.DNS2 = "192.168.0.54";
  n.WIPType = 0;
  n.WIPAddr = "192.168.0.6";
  n.WNetmask = "255.255.0.0";
  n.WGateway = "192.168.0.2";
  n.WDNS1 = "192.168.0.55";
  n.WDNS2 = "192.168.0.56";
  n.WireType = 1;
  n.WireSec = 3;
  n.SSID = "lab net";
  n.WireCh = 6;
  n.WEPAuthM = 1;
  n.WEPMode = 2;
  n.WEPKey0 = "k0";
  n.WEPKey1 = "k1";
  n.WEPKey2 = "k2";
  n.WEPKey3 = "k3";
  n.WEPKeyE0 = 2;
  n.WPAKey = "secret";
  n.WPAEnc = 1;
  n.WPAPSKeyM = 4;
  n.TxRate = "auto";
  n.WepKeyL = 1;
  n.PAccount = "acct";
  n.PPwd = "ppw";
  n.PVP = "pvp";
  SystemSettings& y = s.sys;
  y.UPnPE = 1;
  y.HttpPort = 8080;
  y.secondPort = 5000;
  y.RTSPPort = 554;
  y.TitleBar = "Front door cam";
  y.Desp = "porch";
  y.DDNSSrv = "dyn.example";
  y.DDNS = 1;
  y.DDNSUser = "du";
  y.DDNSPwd = "dp";
  y.DDNSHost = "cam.dyn.example";
  y.NTPEN = 1;
  y.NTPName = "time.example";
  y.NTPPoll = 24;
  y.Timezone = -5;
  y.Date = "2026/12/08";
  y.Time = "14:41:09";
}

const std::string kNetHead =
    "&IPAddr=192.168.0.5&Netmask=255.255.255.0&Gateway=192.168.0.1&DNS1=192.168.0.53"
    "&DNS2=192.168.0.54";
const std::string kNetWireless =
    "&WIPType=0&WIPAddr=192.168.0.6&WNetmask=255.255.0.0&WGateway=192.168.0.2"
    "&WDNS1=192.168.0.55&WDNS2=192.168.0.56&WireType=1&WireSec=3&SSID=lab%20net&WireCh=6"
    "&WEPAuthM=1&WEPMode=2&WEPKey0=k0&WEPKey1=k1&WEPKey2=k2&WEPKey3=k3&WEPKeyE0=2"
    "&WPAKey=secret&WPAEnc=1&WPAPSKeyM=4&TxRate=auto&WepKeyL=1";
const std::string kNetTail = "&UPnPE=1&PAccount=acct&PPwd=ppw&PVP=pvp&HttpPort=8080";
const std::string kTimeParams =
    "&NTPEN=1&NTPName=time.example&NTPPoll=24&Timezone=-5&Date=2026/12/08&Time=14:41:09";
const std::string kSystemParams = "&TitleBar=Front%20door%20cam&Desp=porch";
const std::string kDdnsParams =
    "&DDNSSrv=dyn.example&DDNS=1&DDNSUser=du&DDNSPwd=dp&DDNSHost=cam.dyn.example";

struct Row {
  const char* what;
  int act, page, sub;
  std::string legacyLine;  // request line for the legacy family
  std::string configLine;  // and for the config family
};

std::vector<Row> Rows() {
  const std::string net = "&IPType=1" + kNetHead;
  return {
      {"read version", 1, 23, 0, "GET /goform/Parameters?Act=1&Page=23 HTTP/1.0\n",
       "GET /goform/Parameters?Act=1&Page=23 HTTP/1.0\n"},
      {"read system", 1, 1, 0, "GET /goform/Parameters?Act=1&Page=1 HTTP/1.0\n",
       "GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1 HTTP/1.0\n"},
      {"read network", 1, 3, 0, "GET /goform/Parameters?Act=1&Page=3 HTTP/1.0\n",
       "GET /cgi-bin/config_network.cgi?Act=1&Page=3 HTTP/1.0\n"},
      {"read ddns", 1, 13, 0, "GET /goform/Parameters?Act=1&Page=13 HTTP/1.0\n",
       "GET /cgi-bin/config_ddns.cgi?Act=1&Page=13 HTTP/1.0\n"},
      {"read time", 1, 0, 15, "GET /cgi-bin/set_time.cgi?Act=1 HTTP/1.0\n",
       "GET /cgi-bin/config_time.cgi?Act=1 HTTP/1.0\n"},
      {"read capabilities", 1, 32, 0, "GET /goform/Parameters?Act=1&Page=32 HTTP/1.0\n",
       "GET /goform/Parameters?Act=1&Page=32 HTTP/1.0\n"},
      {"read nat", 1, 34, 0, "GET /goform/Parameters?Act=1&Page=34 HTTP/1.0\n",
       "GET /goform/Parameters?Act=1&Page=34 HTTP/1.0\n"},
      {"write time", 2, 0, 15, "GET /cgi-bin/set_time.cgi?Act=2" + kTimeParams + " HTTP/1.0\n",
       "GET /cgi-bin/config_time.cgi?Act=2" + kTimeParams + " HTTP/1.0\n"},
      {"write system", 2, 1, 0,
       "GET /goform/Parameters?Act=2&Page=1" + kSystemParams + " HTTP/1.0\n",
       "GET /cgi-bin/config_sysinfo.cgi?Act=2&Page=1" + kSystemParams + " HTTP/1.0\n"},
      {"write network full", 2, 3, 0,
       "GET /goform/Parameters?Act=2&Page=3" + net + kNetWireless + kNetTail +
           "&SPort=5000&RTSPPort=554 HTTP/1.0\n",
       "GET /cgi-bin/config_network.cgi?Act=2&Page=3" + net + kNetWireless + kNetTail +
           "&RTPPort=5000&RTSPPort=554 HTTP/1.0\n"},
      {"write network short", 2, 3, 18,
       "GET /cgi-bin/config_network.cgi??Act=2&Page=3" + net + kNetTail +
           "&SPort=5000&RTSPPort=554 HTTP/1.0\n",
       "GET /cgi-bin/config_network.cgi?Act=2&Page=3" + net + kNetTail +
           "&RTPPort=5000&RTSPPort=554 HTTP/1.0\n"},
      {"write ddns", 2, 13, 0, "GET /goform/Parameters?Act=2&Page=13" + kDdnsParams + " HTTP/1.0\n",
       "GET /cgi-bin/config_ddns.cgi?Act=2&Page=13" + kDdnsParams + " HTTP/1.0\n"},
  };
}

constexpr const char* kReadAnswer =
    "HTTP/1.0 200 OK\nContent-Type: text/plain\n\nVersion=0.9.7.0\nModelName=Vexor-41HA\n"
    "IPType=1\nWPAPSKeyM=1\n";

TEST_F(ExchangeTest, EveryCameraRequestIsSentByteForByte) {
  FakePeer peer(kReadAnswer);
  for (const Row& row : Rows()) {
    for (const bool legacy : {true, false}) {
      for (const bool header : {true, false}) {
        SessionRecord s = Camera(peer, legacy);
        FillSettings(s);
        s.sys.SECUEN = header ? 1 : 0;
        s.userName = "root";
        s.password = "pass";
        std::string expected = (legacy ? row.legacyLine : row.configLine) + kAgent;
        // Config-family cameras always get the header; legacy ones only with SECUEN.
        expected += (header || !legacy) ? kRootHeader : "\n";
        if (row.act == kActWrite) expected += "\n";
        EXPECT_EQ(CameraRequest(s, row.act, row.page, row.sub), Ok) << row.what;
        EXPECT_EQ(peer.LastRequest(), expected)
            << row.what << (legacy ? " legacy" : " config") << (header ? " header" : "");
        EXPECT_EQ(CameraRequestText(s, row.act, row.page, row.sub), expected);
      }
    }
  }
}

TEST_F(ExchangeTest, ConfigFamilyWirelessNetworkWriteSendsTypeThree) {
  FakePeer peer;
  SessionRecord s = Camera(peer, false);
  FillSettings(s);
  s.linkWireless = 1;
  ASSERT_EQ(CameraRequest(s, kActWrite, kPageNetwork, 0), Ok);
  EXPECT_EQ(peer.LastRequest(),
            "GET /cgi-bin/config_network.cgi?Act=2&Page=3&IPType=3" + kNetHead + kNetWireless +
                kNetTail + "&RTPPort=5000&RTSPPort=554 HTTP/1.0\n" + kAgent + kEmptyHeader + "\n");
  // The short write and the legacy family keep the record's type.
  ASSERT_EQ(CameraRequest(s, kActWrite, kPageNetwork, kSubPageShortNetwork), Ok);
  EXPECT_NE(peer.LastRequest().find("&IPType=1&"), std::string::npos);
  s.legacyCamera = 1;
  ASSERT_EQ(CameraRequest(s, kActWrite, kPageNetwork, 0), Ok);
  EXPECT_NE(peer.LastRequest().find("&IPType=1&"), std::string::npos);
}

TEST_F(ExchangeTest, LoginScanWpsAndLinkServerTexts) {
  FakePeer peer("scan AP sum = 0\nWPS=1\nWPS_ACK=2\n");
  for (const bool legacy : {true, false}) {
    SessionRecord s = Camera(peer, legacy);
    s.userName = "root";
    s.password = "pass";
    ASSERT_EQ(LoginRead(s), Ok);
    EXPECT_EQ(peer.LastRequest(),
              std::string(legacy ? "GET /goform/Parameters?Act=1&Page=1 HTTP/1.0\n"
                                 : "GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1 HTTP/1.0\n") +
                  kAgent + kRootHeader);

    for (const bool header : {true, false}) {
      s.sys.SECUEN = header ? 1 : 0;
      // The scan and WPS requests put nothing where the others put a lone line feed.
      const std::string auth = (header || !legacy) ? kRootHeader : "";
      ASSERT_TRUE(ScanAccessPoints(s).has_value());
      EXPECT_EQ(peer.LastRequest(),
                std::string("GET /cgi-bin/ap_scan.cgi HTTP/1.0\n") + kAgent + auth + "\n ");
      ASSERT_EQ(WpsRequest(s, kActRead, 0), Ok);
      EXPECT_EQ(peer.LastRequest(),
                std::string("GET /cgi-bin/wps.cgi HTTP/1.0\n") + kAgent + auth + "\n ");
      ASSERT_EQ(WpsRequest(s, kActQuery, kPageNetwork), Ok);
      EXPECT_EQ(peer.LastRequest(),
                std::string(legacy ? "GET /goform/Parameters" : "GET /cgi-bin/config_network.cgi") +
                    "?Act=3&Page=3&WPS&WPS_ACK HTTP/1.0\n" + kAgent + auth + "\n");
      EXPECT_EQ(s.wpsStatus, 1);
      EXPECT_EQ(s.wpsAck, 2);
    }
  }
  ASSERT_TRUE(QueryLinkServer("127.0.0.1", peer.PortText(), "me", "pw", 2).has_value());
  EXPECT_EQ(peer.LastRequest(),
            "GET /cgi-bin/Parameters?Act=1&Page=2&ID=me&Password=pw HTTP/1.0\n"
            " User-Agent: korimo-1.0.1\n\n");
}

TEST_F(ExchangeTest, ConfigFamilyBeforeAnyRefusalSendsEmptyCredentials) {
  FakePeer peer(kReadAnswer);
  SessionRecord s = Camera(peer, false);
  ASSERT_EQ(CameraRequest(s, kActRead, kPageSystem, 0), Ok);
  EXPECT_EQ(peer.LastRequest(), std::string("GET /cgi-bin/config_sysinfo.cgi?Act=1&Page=1 "
                                            "HTTP/1.0\n") +
                                    kAgent + kEmptyHeader);
}

// ---- values that would break the request --------------------------------------------------------

TEST_F(ExchangeTest, TextValuesCannotInjectParameters) {
  FakePeer peer;
  SessionRecord s = Camera(peer, false);
  FillSettings(s);
  s.net.WPAKey = "a b&IPType=2";
  s.net.PPwd = "50%+#?\t";
  ASSERT_EQ(CameraRequest(s, kActWrite, kPageNetwork, 0), Ok);
  const std::string req = peer.LastRequest();
  EXPECT_NE(req.find("&WPAKey=a%20b%26IPType%3D2&"), std::string::npos);
  EXPECT_NE(req.find("&PPwd=50%25%2B%23%3F%09&"), std::string::npos);
  std::size_t types = 0;
  for (std::size_t p = req.find("IPType="); p != std::string::npos;
       p = req.find("IPType=", p + 1)) {
    ++types;
  }
  EXPECT_EQ(types, 2u);  // IPType and WIPType, nothing injected
  // The request line stays one line.
  EXPECT_LT(req.find('\n'), req.find(kAgent));

  ASSERT_TRUE(QueryLinkServer("127.0.0.1", peer.PortText(), "a&Page=3", "p w", 2).has_value());
  EXPECT_NE(peer.LastRequest().find("&ID=a%26Page%3D3&Password=p%20w HTTP"), std::string::npos);
}

TEST_F(ExchangeTest, LongestNetworkWriteIsSentWhole) {
  FakePeer peer;
  SessionRecord s = Camera(peer, true);
  FillSettings(s);
  const std::string key(255, '%');  // every byte escaped: 765 bytes each
  s.net.WEPKey0 = key;
  s.net.WEPKey1 = key;
  s.net.WEPKey2 = key;
  s.net.WEPKey3 = key;
  s.net.WPAKey = key;
  ASSERT_EQ(CameraRequest(s, kActWrite, kPageNetwork, 0), Ok);
  const std::string req = peer.LastRequest();
  EXPECT_GT(req.size(), 4000u);
  std::string escaped;
  for (int i = 0; i < 255; ++i) escaped += "%25";
  EXPECT_NE(req.find("&WEPKey3=" + escaped + "&WEPKeyE0="), std::string::npos);
  EXPECT_NE(req.find("&SPort=5000&RTSPPort=554 HTTP/1.0\n"), std::string::npos);
}

// ---- result codes -------------------------------------------------------------------------------

TEST_F(ExchangeTest, StatusTextsGiveTheirCodes) {
  EXPECT_EQ(ResponseStatus("HTTP/1.0 404 Not Found\n\n404 Not Found", true), ErrNotFound);
  EXPECT_EQ(ResponseStatus("HTTP/1.1 404 Not Found\n\n", true), ErrNotFoundOther);
  EXPECT_EQ(ResponseStatus("HTTP/1.0 200 OK\n\nsee 402 Failure here", true), ErrFailure);
  EXPECT_EQ(ResponseStatus("HTTP/1.0 401 Unauthorized\n", true), ErrUnauthorized);
  EXPECT_EQ(ResponseStatus("HTTP/1.0 401 Unauthorized\n", false), Ok);
  EXPECT_EQ(ResponseStatus("402 Failure Unauthorized", true), ErrFailure);  // first match wins
  EXPECT_EQ(ResponseStatus("", true), Ok);
}

TEST_F(ExchangeTest, RequestsReportEachFailure) {
  struct Case {
    std::string answer;
    int read, write;
  };
  const std::vector<Case> cases = {
      {"HTTP/1.0 404 Not Found\n\n", ErrNotFound, ErrNotFound},
      {"HTTP/1.1 404 Not Found\n\n", ErrNotFoundOther, ErrNotFoundOther},
      {"HTTP/1.0 200 OK\n\n402 Failure\n", ErrFailure, ErrFailure},
      {"HTTP/1.0 401 Unauthorized\n\n", ErrUnauthorized, ErrUnauthorized},
      {"HTTP/1.0 200 OK\n\nTitleBar=x\n", Ok, Ok},
  };
  for (const Case& c : cases) {
    FakePeer peer(c.answer);
    SessionRecord s = Camera(peer, false);
    EXPECT_EQ(CameraRequest(s, kActRead, kPageSystem, 0), c.read) << c.answer;
    EXPECT_EQ(CameraRequest(s, kActWrite, kPageSystem, 0), c.write) << c.answer;
    EXPECT_EQ(LoginRead(s), c.read) << c.answer;
  }
  SessionRecord s;
  s.connectAllowed.store(1);
  s.cameraAddrText = "127.0.0.1";
  s.cameraPortText = RefusingPort();
  EXPECT_EQ(CameraRequest(s, kActRead, kPageSystem, 0), ErrConnect);
  EXPECT_EQ(LoginRead(s), ErrConnect);
  EXPECT_EQ(WpsRequest(s, kActRead, 0), ErrConnect);
  EXPECT_FALSE(ScanAccessPoints(s).has_value());
  EXPECT_FALSE(QueryLinkServer("127.0.0.1", RefusingPort(), "a", "b", 3).has_value());
}

TEST_F(ExchangeTest, SilentOrClosingCameraGivesNoResponse) {
  for (const auto mode : {FakePeer::Mode::Silent, FakePeer::Mode::CloseAtOnce}) {
    FakePeer peer("", mode);
    SessionRecord s = Camera(peer, true);
    s.sys.TitleBar = "kept";
    EXPECT_EQ(CameraRequest(s, kActRead, kPageSystem, 0), ErrNoResponse);
    EXPECT_EQ(CameraRequest(s, kActWrite, kPageNetwork, 0), ErrNoResponse);
    EXPECT_EQ(LoginRead(s), ErrNoResponse);  // not taken as a successful login
    EXPECT_EQ(s.sys.TitleBar, "kept");
    EXPECT_EQ(WpsRequest(s, kActQuery, kPageNetwork), ErrNoResponse);
    EXPECT_FALSE(ScanAccessPoints(s).has_value());
    EXPECT_FALSE(QueryLinkServer("127.0.0.1", peer.PortText(), "a", "b", 2).has_value());
  }
}

TEST_F(ExchangeTest, NeverClosingAndOversizeAnswersAreStillParsed) {
  {
    FakePeer peer("HTTP/1.0 200 OK\n\nTitleBar=slow cam\nSECUEN=1\n", FakePeer::Mode::NeverClose);
    SessionRecord s = Camera(peer, false);
    EXPECT_EQ(CameraRequest(s, kActRead, kPageSystem, 0), Ok);
    EXPECT_EQ(s.sys.TitleBar, "slow cam");
    EXPECT_EQ(s.sys.SECUEN, 1);
  }
  {
    // Only the first 6144 bytes count: a key beyond them is not seen.
    std::string big = "HTTP/1.0 200 OK\n\nTitleBar=big\n" + std::string(7000, '.') + "\nDesp=far\n";
    FakePeer peer(big);
    SessionRecord s = Camera(peer, false);
    s.sys.Desp = "old";
    EXPECT_EQ(CameraRequest(s, kActRead, kPageSystem, 0), Ok);
    EXPECT_EQ(s.sys.TitleBar, "big");
    EXPECT_EQ(s.sys.Desp, "");
  }
}

TEST_F(ExchangeTest, NetworkAnswerWithoutKeyModeIsNoSettingsAnswer) {
  FakePeer peer("HTTP/1.0 200 OK\n\nIPAddr=10.0.0.9\nSSID=x\n");
  SessionRecord s = Camera(peer, false);
  s.net.IPAddr = "192.168.0.5";
  EXPECT_EQ(CameraRequest(s, kActRead, kPageNetwork, 0), ErrNoNetworkData);
  EXPECT_EQ(s.net.IPAddr, "192.168.0.5");
  peer.SetAnswer("HTTP/1.0 200 OK\n\nIPAddr=10.0.0.9\nWPAPSKeyM=2\n");
  EXPECT_EQ(CameraRequest(s, kActRead, kPageNetwork, 0), Ok);
  EXPECT_EQ(s.net.IPAddr, "10.0.0.9");
  EXPECT_EQ(s.net.WPAPSKeyM, 2);
}

TEST_F(ExchangeTest, ScanAndLinkServerResults) {
  FakePeer peer(
      "HTTP/1.0 200 OK\n\n<table>scan AP sum = 2</td>"
      "<td>AP Channel=6 Mac_address=00:11:22:33:44:66 SSID=\"lab net\" Quality=80 "
      "Mode=Infrastructure Security=WPA2-PSK Algorithm=AES</td>"
      "<td>AP Channel=11 SSID=\"other\"</td></table>");
  SessionRecord s = Camera(peer, false);
  auto list = ScanAccessPoints(s);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ(s.apScanOk, 1);
  EXPECT_EQ(s.apCount, 2u);
  EXPECT_EQ((*list)[0].SSID, "lab net");
  EXPECT_EQ((*list)[1].Channel, 11);

  peer.SetAnswer("HTTP/1.0 200 OK\n\nno table\n");
  EXPECT_FALSE(ScanAccessPoints(s).has_value());
  EXPECT_EQ(s.apScanOk, 0);
  EXPECT_EQ(s.apCount, 0u);

  // The account type 3 query treats "Unauthorized" as failure, type 2 does not.
  peer.SetAnswer("HTTP/1.0 401 Unauthorized\n\nTotal Camera=1 ID=c1\n");
  EXPECT_FALSE(QueryLinkServer("127.0.0.1", peer.PortText(), "a", "b", 3).has_value());
  auto cams = QueryLinkServer("127.0.0.1", peer.PortText(), "a", "b", 2);
  ASSERT_TRUE(cams.has_value());
  ASSERT_EQ(cams->size(), 1u);
  EXPECT_EQ((*cams)[0].ID, "c1");
}

// ---- the same against the camera emulator -------------------------------------------------------

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size())) {
    s.replace(p, from.size(), to);
  }
  return s;
}

class EmulatorTest : public ExchangeTest {
 protected:
  // Starts one camera (and a link server) on loopback; skips while the emulator cannot start.
  bool StartLab(camsim::CameraConfig cam, std::optional<camsim::LinkServerConfig> link = {}) {
    return m_emu.Start({std::move(cam)}, std::move(link));
  }
  SessionRecord Record(bool legacy) {
    SessionRecord s;
    m_emu.Point(s);
    s.legacyCamera = legacy ? 1 : 0;
    return s;
  }
  // After a network write the camera rebinds: wait (bounded) until it takes connections again.
  void WaitForCamera(const SessionRecord& s) {
    for (int i = 0; i < 100; ++i) {
      const int sock = HttpConnect(s.connectAllowed, "127.0.0.1", s.cameraPortText.c_str());
      if (sock >= 0) {
        HttpClose(sock);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  void TearDown() override {
    m_emu.Stop();
    ExchangeTest::TearDown();
  }
  LoopbackCamera m_emu;
};

TEST_F(EmulatorTest, EmulatorLogsEveryRequestByteForByte) {
  for (const bool legacy : {true, false}) {
    for (const bool secured : {true, false}) {
      camsim::CameraConfig cam;
      cam.family = legacy ? camsim::Family::Legacy : camsim::Family::Config;
      cam.password = secured ? "pass" : "";
      if (!StartLab(cam)) FAIL() << "camera emulator did not start";
      const std::string port = std::to_string(m_emu->HttpPort(0));
      SessionRecord r = Record(legacy);  // reads land here
      r.userName = "root";
      r.password = "pass";
      r.sys.SECUEN = secured ? 1 : 0;
      SessionRecord w = r;  // writes come from here
      FillSettings(w);
      w.net.IPType = 0;  // the camera keeps its address and port after the network write
      w.sys.HttpPort = m_emu->HttpPort(0);
      w.sys.SECUEN = r.sys.SECUEN;

      std::vector<std::string> expected;
      const std::string header = (secured || !legacy) ? kRootHeader : "\n";
      std::vector<Row> networkWrites;
      for (const Row& row : Rows()) {
        if (row.act == kActWrite && row.page == kPageNetwork) {
          networkWrites.push_back(row);
          continue;
        }
        SessionRecord& s = row.act == kActWrite ? w : r;
        EXPECT_EQ(CameraRequest(s, row.act, row.page, row.sub), Ok) << row.what;
        expected.push_back((legacy ? row.legacyLine : row.configLine) + kAgent + header +
                           (row.act == kActWrite ? "\n" : ""));
      }
      EXPECT_EQ(LoginRead(r), Ok);
      expected.push_back(
          std::string(legacy ? "GET /goform/Parameters" : "GET /cgi-bin/config_sysinfo.cgi") +
          "?Act=1&Page=1 HTTP/1.0\n" + kAgent + kRootHeader);
      const std::string scanAuth = (secured || !legacy) ? kRootHeader : "";
      const auto aps = ScanAccessPoints(r);
      EXPECT_TRUE(aps.has_value());
      expected.push_back(std::string("GET /cgi-bin/ap_scan.cgi HTTP/1.0\n") + kAgent + scanAuth +
                         "\n ");
      EXPECT_EQ(WpsRequest(r, kActRead, 0), Ok);
      expected.push_back(std::string("GET /cgi-bin/wps.cgi HTTP/1.0\n") + kAgent + scanAuth +
                         "\n ");
      EXPECT_EQ(WpsRequest(r, kActQuery, kPageNetwork), Ok);
      expected.push_back(
          std::string(legacy ? "GET /goform/Parameters" : "GET /cgi-bin/config_network.cgi") +
          "?Act=3&Page=3&WPS&WPS_ACK HTTP/1.0\n" + kAgent + scanAuth + "\n");
      for (const Row& row : networkWrites) {
        WaitForCamera(w);
        EXPECT_EQ(CameraRequest(w, row.act, row.page, row.sub), Ok) << row.what;
        std::string line = legacy ? row.legacyLine : row.configLine;
        line = ReplaceAll(line, "&IPType=1&", "&IPType=0&");
        line = ReplaceAll(line, "&HttpPort=8080&", "&HttpPort=" + port + "&");
        expected.push_back(line + kAgent + header + "\n");
      }
      const std::vector<std::string> logged = m_emu->Requests(0);
      ASSERT_EQ(logged.size(), expected.size());
      for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(logged[i], expected[i])
            << (legacy ? "legacy " : "config ") << (secured ? "secured " : "open ") << i;
      }
      // What was read is what the camera holds.
      EXPECT_EQ(r.sys.SECUEN, secured ? 1 : 0);
      EXPECT_EQ(r.sys.ModelName.str(), m_emu->Setting(0, "ModelName"));
      EXPECT_EQ(m_emu->Setting(0, "IPAddr"), "192.168.0.5");
      EXPECT_EQ(m_emu->Setting(0, "TitleBar"), "Front door cam");
      m_emu.Stop();
    }
  }
}

TEST_F(EmulatorTest, FaultModesGiveTheirCodes) {
  struct Case {
    camsim::Fault fault;
    int read;
  };
  for (const Case c :
       {Case{camsim::Fault::Silent, ErrNoResponse}, Case{camsim::Fault::NeverClose, Ok},
        Case{camsim::Fault::Oversize, Ok}, Case{camsim::Fault::Failure402, ErrFailure},
        Case{camsim::Fault::NotFound404, ErrNotFound},
        Case{camsim::Fault::RefuseCredentials, ErrUnauthorized}}) {
    camsim::CameraConfig cam;
    cam.password = "pass";
    cam.fault = c.fault;
    if (!StartLab(cam)) FAIL() << "camera emulator did not start";
    SessionRecord s = Record(false);
    s.userName = "root";
    s.password = "pass";
    EXPECT_EQ(CameraRequest(s, kActRead, kPageSystem, 0), c.read) << static_cast<int>(c.fault);
    EXPECT_EQ(CameraRequest(s, kActWrite, kPageSystem, 0), c.read) << static_cast<int>(c.fault);
    EXPECT_EQ(LoginRead(s), c.read) << static_cast<int>(c.fault);
    m_emu.Stop();
  }
}

TEST_F(EmulatorTest, LinkServerListsTheAccountsCameras) {
  camsim::LinkServerConfig link;
  camsim::LinkServerAccount account;
  account.id = "me";
  account.password = "pw";
  account.cameras = {{"SN1", "198.51.100.1", "80", "00:11:22:33:44:01", "Vexor-41HA"},
                     {"SN2", "198.51.100.2", "8080", "00:11:22:33:44:02", "Ralto-52"}};
  link.accounts.push_back(account);
  if (!StartLab(camsim::CameraConfig{}, link)) FAIL() << "camera emulator did not start";
  const std::string port = std::to_string(m_emu->LinkServerPort());
  const auto list = QueryLinkServer("127.0.0.1", port, "me", "pw", 3);
  ASSERT_TRUE(list.has_value());
  ASSERT_EQ(list->size(), 2u);
  EXPECT_EQ((*list)[0].ID, "SN1");
  EXPECT_EQ((*list)[0].Modelname, "Vexor-41HA");
  EXPECT_EQ((*list)[1].IP, "198.51.100.2");
  EXPECT_EQ((*list)[1].Port, "8080");
  EXPECT_EQ(m_emu->LinkServerRequests().back(),
            "GET /cgi-bin/Parameters?Act=1&Page=3&ID=me&Password=pw HTTP/1.0\n"
            " User-Agent: korimo-1.0.1\n\n");
  EXPECT_FALSE(QueryLinkServer("127.0.0.1", port, "me", "wrong", 3).has_value());
}

}  // namespace
}  // namespace orv::test
