// The search page under a flood of replies from spoofed MACs on real loopback sockets. The
// benchmark sets ORVANTIS_FLOOD_MS (and ORVANTIS_FLOOD_RATE, datagrams a second) and runs this
// program inside a network namespace of its own. The list stays within its cap and keeps up; the
// longest stall of the window's event loop is printed as a figure.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "core/discovery/plipf.h"
#include "core/model/session_record.h"
#include "gui/pages/sub_search_net.h"
#include "gui/support/page_test.h"
#include "support/fake_discovery.h"

namespace orv::test {

using namespace gui;

namespace {

class FixedHosts final : public DiscoveryHostSource {
 public:
  explicit FixedHosts(std::vector<std::uint32_t> a) : m_addresses(std::move(a)) {}
  std::optional<std::vector<std::uint32_t>> HostAddresses() override { return m_addresses; }
  std::string AdapterName(std::uint32_t) override { return "lo"; }

 private:
  std::vector<std::uint32_t> m_addresses;
};

int EnvNumber(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::atoi(v) : fallback;
}

// A port nobody uses right now on the loopback adapter.
std::uint16_t FreePort() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in sin{};
  sin.sin_family = AF_INET;
  sin.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(fd, reinterpret_cast<sockaddr*>(&sin), sizeof sin);
  socklen_t len = sizeof sin;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&sin), &len);
  ::close(fd);
  return ntohs(sin.sin_port);
}

using SearchFlood = PageTest<CSubSearchNet>;

TEST_F(SearchFlood, TheListFillsWhileTheFloodLastsAndStaysCapped) {
  // A short flood on the loopback adapter by default; the benchmark runs a long one in a
  // namespace of its own.
  const int floodMs = std::max(EnvNumber("ORVANTIS_FLOOD_MS", 300), 100);
  const int rate = EnvNumber("ORVANTIS_FLOOD_RATE", 5000);
  const std::uint16_t port = FreePort();

  DiscoveryEnvironment env = DiscoveryEnvironment::System();
  env.hosts = std::make_shared<FixedHosts>(std::vector<std::uint32_t>{htonl(0x7F000002)});
  env.port = port;
  env.broadcastText = "127.0.0.1";
  std::atomic<long> lines{0};
  env.diagnostics = [&lines](std::string_view) { ++lines; };

  page.SetDiscoveryEnvironment(env, true);
  page.resize(640, 420);
  page.show();
  page.searchButton()->click();
  ASSERT_TRUE(page.searching());

  std::atomic<bool> done{false};
  std::atomic<long> sent{0};
  std::thread sender([&] {
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(port);
    const auto start = std::chrono::steady_clock::now();
    const long total = static_cast<long>(rate) * floodMs / 1000;
    for (long n = 0; n < total; ++n) {
      // Spread evenly over the flood's length.
      std::this_thread::sleep_until(start + std::chrono::microseconds(n * 1000000 / rate));
      const auto bytes = MakeReply(NumberedCamera(static_cast<int>(n % 60000)));
      if (::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) >
          0)
        ++sent;
    }
    ::close(fd);
    done = true;
  });

  // The window's pulse: a 5 ms timer; the longest gap between two of its ticks is the stall.
  QElapsedTimer clock;
  clock.start();
  qint64 last = 0;
  qint64 longest = 0;
  long pulses = 0;
  QTimer pulse;
  pulse.setTimerType(Qt::PreciseTimer);
  pulse.setInterval(5);
  QObject::connect(&pulse, &QTimer::timeout, [&] {
    const qint64 now = clock.elapsed();
    longest = std::max(longest, now - last);
    last = now;
    ++pulses;
  });
  pulse.start();
  while (!done) QApplication::processEvents(QEventLoop::AllEvents, 5);
  // While the flood lasted, the window's own timers ran and the list was filled as replies came.
  const long pulsesDuringFlood = pulses;
  const int rowsDuringFlood = page.cameraList()->topLevelItemCount();
  // Let the last deferred read run.
  const qint64 end = clock.elapsed() + 300;
  while (clock.elapsed() < end) QApplication::processEvents(QEventLoop::AllEvents, 5);
  sender.join();

  const int rows = page.cameraList()->topLevelItemCount();
  EXPECT_GT(pulsesDuringFlood, 0);
  EXPECT_GT(rowsDuringFlood, 0);
  EXPECT_LE(rows, static_cast<int>(CPLipf::kMaxCameras));
  EXPECT_GE(rows, rowsDuringFlood);
  std::printf(
      "flood: %ld datagrams in %d ms, %ld read, list %d rows, longest update %lld ms, longest "
      "stall of the event loop %lld ms\n",
      sent.load(), floodMs, lines.load(), rows, static_cast<long long>(page.longestUpdateMs()),
      static_cast<long long>(longest - 5));
  page.Leave();
}

}  // namespace
}  // namespace orv::test
