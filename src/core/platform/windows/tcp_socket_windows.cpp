// Winsock 2 back end of the TCP interface.

#include <cstring>

#include "core/platform/tcp_socket.h"
#include "core/platform/windows/win_common.h"

namespace orv::tcp {
namespace {

// select, not WSAPoll: WSAPoll on Windows before 10 (2004) never reports a refused connect, and
// the wait would run to its end. A failed connect shows in the exception set.
WaitResult WaitFor(Handle h, bool write, int timeoutMs) {
  if (h < 0) return WaitResult::Error;
  const SOCKET s = win::AsSocket(h);
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(s, &ready);
  FD_SET(s, &failed);
  timeval tv{};
  if (timeoutMs > 0) {
    tv.tv_sec = timeoutMs / 1000;
    tv.tv_usec = (timeoutMs % 1000) * 1000;
  }
  const int rc = ::select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &tv);
  if (rc == SOCKET_ERROR) return WaitResult::Error;
  if (rc == 0) return WaitResult::Timeout;
  if (FD_ISSET(s, &ready)) return WaitResult::Ready;
  return WaitResult::OtherEvent;
}

}  // namespace

Handle OpenStream() {
  if (!win::StartWinsock()) return kInvalidHandle;
  // Not inherited by child processes, like SOCK_CLOEXEC.
  const SOCKET s = ::WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  return win::AsFd(s);
}

void Close(Handle h) {
  if (h >= 0) ::closesocket(win::AsSocket(h));
}

bool SetNonBlocking(Handle h, bool on) {
  u_long mode = on ? 1 : 0;
  return ::ioctlsocket(win::AsSocket(h), FIONBIO, &mode) == 0;
}

bool SetLinger(Handle h, int seconds) {
  ::linger lg{};
  lg.l_onoff = 1;
  lg.l_linger = static_cast<u_short>(seconds);
  return ::setsockopt(win::AsSocket(h), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&lg),
                      sizeof lg) == 0;
}

ConnectStart StartConnect(Handle h, std::uint32_t addrNet, std::uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(port);
  sa.sin_addr.s_addr = addrNet;
  if (::connect(win::AsSocket(h), reinterpret_cast<const sockaddr*>(&sa), sizeof sa) == 0) {
    return ConnectStart::Connected;
  }
  return ::WSAGetLastError() == WSAEWOULDBLOCK ? ConnectStart::InProgress : ConnectStart::Failed;
}

int PendingError(Handle h) {
  int err = 0;
  int len = sizeof err;
  if (::getsockopt(win::AsSocket(h), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) !=
      0) {
    const int e = ::WSAGetLastError();
    return e != 0 ? e : -1;
  }
  return err;
}

// A refused connect ends the wait as OtherEvent; the caller reads the reason with PendingError.
WaitResult WaitWritable(Handle h, int timeoutMs) {
  return WaitFor(h, true, timeoutMs);
}

WaitResult WaitReadable(Handle h, int timeoutMs) {
  // A hang-up or error also ends a read wait: the receive call then reports it.
  const WaitResult r = WaitFor(h, false, timeoutMs);
  return r == WaitResult::OtherEvent ? WaitResult::Ready : r;
}

long SendSome(Handle h, const char* data, std::size_t len) {
  // Sockets here are non-blocking while they send; Windows raises no signal on a broken pipe.
  const int size = len > (1u << 30) ? (1 << 30) : static_cast<int>(len);
  const int n = ::send(win::AsSocket(h), data, size, 0);
  if (n == SOCKET_ERROR) return ::WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
  return n;
}

long ReceiveSome(Handle h, char* data, std::size_t len) {
  const int size = len > (1u << 30) ? (1 << 30) : static_cast<int>(len);
  const int n = ::recv(win::AsSocket(h), data, size, 0);
  return n == SOCKET_ERROR ? -1 : n;
}

bool IsNumericHostText(const char* text) {
  // inet_addr reads the same lenient forms as inet_aton; only the limited broadcast address is
  // ambiguous with its error value.
  if (text == nullptr || *text == '\0') return false;
  if (::inet_addr(text) != INADDR_NONE) return true;
  in_addr a{};
  return ::inet_pton(AF_INET, text, &a) == 1;
}

std::optional<std::uint32_t> LookupName(const char* name, bool lastAddress) {
  if (name == nullptr || !win::StartWinsock()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* res = nullptr;
  if (::getaddrinfo(name, nullptr, &hints, &res) != 0 || res == nullptr) return std::nullopt;
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
