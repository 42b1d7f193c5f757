// BSD sockets back end of the TCP interface.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/platform/tcp_socket.h"

namespace orv::tcp {

Handle OpenStream() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  return fd < 0 ? kInvalidHandle : fd;
}

void Close(Handle h) {
  if (h >= 0) ::close(h);
}

bool SetNonBlocking(Handle h, bool on) {
  const int flags = ::fcntl(h, F_GETFL, 0);
  if (flags < 0) return false;
  const int want = on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
  return ::fcntl(h, F_SETFL, want) == 0;
}

bool SetLinger(Handle h, int seconds) {
  ::linger lg{};
  lg.l_onoff = 1;
  lg.l_linger = seconds;
  return ::setsockopt(h, SOL_SOCKET, SO_LINGER, &lg, sizeof lg) == 0;
}

ConnectStart StartConnect(Handle h, std::uint32_t addrNet, std::uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = addrNet;
  int rc;
  do {
    rc = ::connect(h, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
  } while (rc != 0 && errno == EINTR);
  if (rc == 0) return ConnectStart::Connected;
  if (errno == EINPROGRESS || errno == EWOULDBLOCK) return ConnectStart::InProgress;
  return ConnectStart::Failed;
}

int PendingError(Handle h) {
  int err = 0;
  socklen_t len = sizeof err;
  if (::getsockopt(h, SOL_SOCKET, SO_ERROR, &err, &len) != 0) return errno ? errno : -1;
  return err;
}

static WaitResult WaitFor(Handle h, short events, int timeoutMs) {
  if (h < 0) return WaitResult::Error;
  pollfd p{};
  p.fd = h;
  p.events = events;
  const int rc = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
  if (rc < 0) return errno == EINTR ? WaitResult::Timeout : WaitResult::Error;
  if (rc == 0) return WaitResult::Timeout;
  if (p.revents & POLLNVAL) return WaitResult::Error;
  if (p.revents & events) return WaitResult::Ready;
  return WaitResult::OtherEvent;
}

WaitResult WaitWritable(Handle h, int timeoutMs) {
  return WaitFor(h, POLLOUT, timeoutMs);
}

WaitResult WaitReadable(Handle h, int timeoutMs) {
  // A hang-up or error also ends a read wait: the receive call then reports it.
  if (h < 0) return WaitResult::Error;
  pollfd p{};
  p.fd = h;
  p.events = POLLIN;
  const int rc = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
  if (rc < 0) return errno == EINTR ? WaitResult::Timeout : WaitResult::Error;
  if (rc == 0) return WaitResult::Timeout;
  if (p.revents & POLLNVAL) return WaitResult::Error;
  return WaitResult::Ready;
}

long SendSome(Handle h, const char* data, std::size_t len) {
  ssize_t n;
  do {
    n = ::send(h, data, len, MSG_NOSIGNAL | MSG_DONTWAIT);
  } while (n < 0 && errno == EINTR);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
  return static_cast<long>(n);
}

long ReceiveSome(Handle h, char* data, std::size_t len) {
  ssize_t n;
  do {
    n = ::recv(h, data, len, 0);
  } while (n < 0 && errno == EINTR);
  return static_cast<long>(n);
}

bool IsNumericHostText(const char* text) {
  in_addr a{};
  return text != nullptr && ::inet_aton(text, &a) != 0;
}

std::optional<std::uint32_t> LookupName(const char* name, bool lastAddress) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (name == nullptr || ::getaddrinfo(name, nullptr, &hints, &res) != 0 || res == nullptr) {
    return std::nullopt;
  }
  std::optional<std::uint32_t> found;
  for (addrinfo* ai = res; ai != nullptr; ai = ai->ai_next) {
    if (ai->ai_family != AF_INET || ai->ai_addr == nullptr) continue;
    std::uint32_t a = 0;
    std::memcpy(&a, &reinterpret_cast<const sockaddr_in*>(ai->ai_addr)->sin_addr, sizeof a);
    found = a;
    if (!lastAddress) break;
  }
  ::freeaddrinfo(res);
  return found;
}

}  // namespace orv::tcp
