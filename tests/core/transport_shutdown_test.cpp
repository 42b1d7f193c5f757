// Calls that used to run to their own time-outs give up when the window closes.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "core/camera_http/requests.h"
#include "core/camera_http/transport.h"

namespace orv::test {
namespace {

// A server that takes connections (the kernel completes them) and never says a word.
class SilentServer {
 public:
  SilentServer() {
    m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (::bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(m_fd, 8) != 0)
      return;
    socklen_t len = sizeof addr;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
  }
  ~SilentServer() {
    if (m_peer >= 0) ::close(m_peer);
    ::close(m_fd);
  }
  std::string port() const { return std::to_string(m_port); }
  bool ok() const { return m_port != 0; }

  // Takes one connection and waits until its request has arrived (then says nothing, and keeps the
  // connection open): proof that the caller is waiting for an answer.
  bool WaitForRequest(int timeoutMs) {
    pollfd listening{m_fd, POLLIN, 0};
    if (::poll(&listening, 1, timeoutMs) != 1) return false;
    m_peer = ::accept(m_fd, nullptr, nullptr);
    pollfd peer{m_peer, POLLIN, 0};
    return m_peer >= 0 && ::poll(&peer, 1, timeoutMs) == 1;
  }

 private:
  int m_fd = -1;
  int m_peer = -1;
  int m_port = 0;
};

using Clock = std::chrono::steady_clock;

TEST(TransportShutdown, ALinkServerQueryToASilentServerEndsWhenTheFlagIsCleared) {
  SilentServer server;
  ASSERT_TRUE(server.ok());
  ConnectFlag flag;
  flag.store(1);
  bool waiting = false;
  Clock::time_point clearedAt;
  std::thread closer([flag, &server, &waiting, &clearedAt]() mutable {
    waiting = server.WaitForRequest(5000);
    clearedAt = Clock::now();
    flag.store(0);
  });
  const auto list = QueryLinkServer(flag, "127.0.0.1", server.port(), "id", "secret", 3);
  const Clock::time_point returnedAt = Clock::now();
  closer.join();
  ASSERT_TRUE(waiting) << "the query never sent its request";
  EXPECT_FALSE(list.has_value());
  // The first-byte wait alone is 5 s; the flag ends it within a few cancel polls.
  EXPECT_LT(returnedAt - clearedAt, std::chrono::milliseconds(1000));
}

TEST(TransportShutdown, ACallWithAClearedFlagDoesNotStart) {
  SilentServer server;
  ASSERT_TRUE(server.ok());
  ConnectFlag cleared;
  const Clock::time_point start = Clock::now();
  EXPECT_FALSE(QueryLinkServer(cleared, "127.0.0.1", server.port(), "id", "secret", 2));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(1000));

  // The flag does not get in the way of a probe while it is set.
  EXPECT_EQ(ProbeTcpConnect("127.0.0.1", std::stoi(server.port())), 0);
  ConnectFlag allowed;
  allowed.store(1);
  EXPECT_EQ(ProbeTcpConnect(allowed, "127.0.0.1", std::stoi(server.port())), 0);
}

}  // namespace
}  // namespace orv::test
