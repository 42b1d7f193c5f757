#pragma once
// Raw loopback clients for the emulator tests: a TCP exchange that reads until the peer closes (or
// a deadline), and a UDP probe that collects discovery replies.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace orv::test {

struct Received {
  std::string bytes;
  bool closed = false;  // the peer closed before the deadline
  bool connected = false;
};

inline sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  sa.sin_port = htons(port);
  return sa;
}

inline Received Exchange(std::uint16_t port, const std::string& request, int deadlineMs = 3000,
                         std::size_t stopAfter = 1 << 24) {
  Received r;
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in sa = Loopback(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
    ::close(fd);
    return r;
  }
  r.connected = true;
  ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(deadlineMs);
  while (r.bytes.size() < stopAfter) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          end - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char buf[8192];
    const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) {
      r.closed = true;
      break;
    }
    r.bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return r;
}

inline std::string Base64(const std::string& in) {
  static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < in.size(); i += 3) {
    const unsigned v =
        (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
    out += {k[v >> 18], k[(v >> 12) & 63], k[(v >> 6) & 63], k[v & 63]};
  }
  if (i + 1 == in.size()) {
    const unsigned v = (unsigned char)in[i] << 16;
    out += {k[v >> 18], k[(v >> 12) & 63], '=', '='};
  } else if (i + 2 == in.size()) {
    const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8;
    out += {k[v >> 18], k[(v >> 12) & 63], k[(v >> 6) & 63], '='};
  }
  return out;
}

// The product's request texts: bare line feeds, its agent, the Basic header when given.
inline std::string Get(const std::string& target, const std::string& auth = "") {
  return "GET " + target + " HTTP/1.0\nUser-Agent: korimo-1.0.1\n" + auth;
}
inline std::string Basic(const std::string& user, const std::string& password) {
  return "Authorization: Basic " + Base64(user + ":" + password) + "\n\n";
}

// The body of an answer (after the first empty line).
inline std::string Body(const std::string& answer) {
  const auto p = answer.find("\r\n\r\n");
  return p == std::string::npos ? std::string() : answer.substr(p + 4);
}

class UdpProbe {
 public:
  UdpProbe() {
    m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    // Room for hundreds of replies arriving at once.
    int size = 4 << 20;
    if (::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUFFORCE, &size, sizeof size) != 0)
      ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    sockaddr_in sa = Loopback(0);
    ::bind(m_fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    socklen_t len = sizeof sa;
    ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&sa), &len);
    m_port = ntohs(sa.sin_port);
  }
  ~UdpProbe() { ::close(m_fd); }
  std::uint16_t port() const { return m_port; }

  void Send(std::uint16_t port, const std::string& bytes) {
    sockaddr_in to = Loopback(port);
    ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  }
  void SendRequest(std::uint16_t port) {
    Send(port, std::string("\x00\xF6\xD9\xA4\x00\x00\x00\x01", 8));
  }

  // Every datagram until `count` arrived or `waitMs` passed without one.
  std::vector<std::string> Collect(std::size_t count, int waitMs = 1000) {
    std::vector<std::string> out;
    while (out.size() < count) {
      pollfd p{m_fd, POLLIN, 0};
      if (::poll(&p, 1, waitMs) <= 0) break;
      char buf[2048];
      const ssize_t n = ::recv(m_fd, buf, sizeof buf, 0);
      if (n < 0) break;
      out.emplace_back(buf, static_cast<std::size_t>(n));
    }
    return out;
  }

 private:
  int m_fd = -1;
  std::uint16_t m_port = 0;
};

}  // namespace orv::test
