#include "core/camera_http/transport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "core/platform/tcp_socket.h"

namespace orv {

namespace {

std::mutex g_timingMutex;
TransportTiming g_timing;

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

// Leading blanks, optional sign, leading digits; anything else gives 0. Out of range gives 0 too,
// so a mangled port text fails to connect instead of reaching some other port.
std::uint16_t PortFromText(const char* text) {
  if (text == nullptr) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  long value = 0;
  for (int digits = 0; *p >= '0' && *p <= '9' && digits < 12; ++p, ++digits) {
    value = value * 10 + (*p - '0');
  }
  if (negative || value > 65535) return 0;
  return static_cast<std::uint16_t>(value);
}

int ConnectWithWaits(const ConnectFlag* connectAllowed, const char* host, const char* port) {
  const TransportTiming timing = GetTransportTiming();
  const std::uint16_t portNumber = PortFromText(port);
  const tcp::Handle h = tcp::OpenStream();
  if (h == tcp::kInvalidHandle) return -1;

  const char* target = (host == nullptr || *host == '\0') ? "127.0.0.1" : host;
  std::optional<std::uint32_t> addr = tcp::ParseDottedQuad(target);
  if (!addr) addr = tcp::LookupName(target, false);
  if (!addr || !tcp::SetNonBlocking(h, true)) {
    tcp::Close(h);
    return -1;
  }

  bool connected = false;
  switch (tcp::StartConnect(h, *addr, portNumber)) {
    case tcp::ConnectStart::Connected:
      connected = true;
      break;
    case tcp::ConnectStart::InProgress:
      for (int period = 0; period < timing.connectPeriods && !connected; ++period) {
        if (connectAllowed != nullptr && connectAllowed->load() == 0) break;
        const tcp::WaitResult w = tcp::WaitWritable(h, timing.connectPeriodMs);
        if (w == tcp::WaitResult::Timeout) continue;
        // Writable (or an error event) ends the attempt; a refused connect is writable too.
        connected = (w == tcp::WaitResult::Ready && tcp::PendingError(h) == 0);
        break;
      }
      break;
    case tcp::ConnectStart::Failed:
      break;
  }
  if (!connected || !tcp::SetNonBlocking(h, false) || !tcp::SetLinger(h, 1)) {
    tcp::Close(h);
    return -1;
  }
  return h;
}

}  // namespace

TransportTiming GetTransportTiming() {
  std::lock_guard<std::mutex> lock(g_timingMutex);
  return g_timing;
}

void SetTransportTiming(const TransportTiming& timing) {
  std::lock_guard<std::mutex> lock(g_timingMutex);
  g_timing = timing;
}

int HttpConnect(const ConnectFlag& connectAllowed, const char* host, const char* port) {
  return ConnectWithWaits(&connectAllowed, host, port);
}

int HttpConnectLinkServer(const char* host, const char* port) {
  return ConnectWithWaits(nullptr, host, port);
}

void HttpClose(int sock) {
  tcp::Close(sock);
}

int HttpSend(int sock, const char* request, std::size_t length) {
  const TransportTiming timing = GetTransportTiming();
  switch (tcp::WaitWritable(sock, timing.sendWaitMs)) {
    case tcp::WaitResult::Error:
      std::fputs("select: error\n", stderr);
      return 0;
    case tcp::WaitResult::Timeout:
      std::fputs("timeout\n", stderr);
      return 0;
    case tcp::WaitResult::OtherEvent:
      std::fputs("error: case not handled.", stderr);
      return 0;
    case tcp::WaitResult::Ready:
      break;
  }
  const long sent = tcp::SendOnce(sock, request, length);
  if (sent <= 0) {
    std::fputs("error send()ing request\n", stderr);
    return 0;
  }
  return static_cast<int>(std::min<long>(sent, 0x7fffffff));
}

int HttpReceive(int sock, char* buffer, std::size_t capacity) {
  return HttpReceive(sock, buffer, capacity, GetTransportTiming());
}

int HttpReceive(int sock, char* buffer, std::size_t capacity, const TransportTiming& timing) {
  if (buffer == nullptr || capacity < 2) return 0;
  const std::size_t room = capacity - 1;  // the last byte stays the terminator
  const Clock::time_point start = Clock::now();
  if (tcp::WaitReadable(sock, std::min(timing.firstByteWaitMs, timing.receiveLimitMs)) !=
      tcp::WaitResult::Ready) {
    return 0;
  }
  std::size_t total = 0;
  Clock::time_point lastData = start;
  while (total < room) {
    const long long elapsed = MsSince(start);
    if (elapsed >= timing.receiveLimitMs) break;
    long long wait = std::min<long long>(timing.readPollMs, timing.receiveLimitMs - elapsed);
    if (total > 0) {
      const long long quiet = MsSince(lastData);
      if (quiet >= timing.silenceLimitMs) break;
      wait = std::min<long long>(wait, timing.silenceLimitMs - quiet);
    } else if (elapsed >= timing.firstByteWaitMs) {
      break;
    }
    const tcp::WaitResult w =
        tcp::WaitReadable(sock, static_cast<int>(std::max<long long>(wait, 1)));
    if (w == tcp::WaitResult::Timeout) continue;
    if (w != tcp::WaitResult::Ready) break;
    const long n = tcp::ReceiveSome(sock, buffer + total, room - total);
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
    lastData = Clock::now();
  }
  buffer[room] = '\0';
  return static_cast<int>(total);
}

int ResponseStatus(std::string_view response, bool checkUnauthorized) {
  if (response.find("HTTP/1.0 404 Not Found") != std::string_view::npos) return -4;
  if (response.find("404 Not Found") != std::string_view::npos) return -5;
  if (response.find("402 Failure") != std::string_view::npos) return -6;
  if (checkUnauthorized && response.find("Unauthorized") != std::string_view::npos) return -8;
  return 0;
}

std::size_t Base64Encode(char* out, std::string_view input, std::size_t capacity) {
  static constexpr char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  if (out == nullptr || capacity == 0) return 0;
  std::size_t o = 0;
  for (std::size_t i = 0; i < input.size(); i += 3) {
    if (o + 4 > capacity - 1) break;
    const std::size_t left = input.size() - i;
    const unsigned b0 = static_cast<unsigned char>(input[i]);
    const unsigned b1 = left > 1 ? static_cast<unsigned char>(input[i + 1]) : 0;
    const unsigned b2 = left > 2 ? static_cast<unsigned char>(input[i + 2]) : 0;
    const unsigned v = (b0 << 16) | (b1 << 8) | b2;
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = left > 1 ? kAlphabet[(v >> 6) & 63] : '=';
    out[o++] = left > 2 ? kAlphabet[v & 63] : '=';
  }
  out[o] = '\0';
  return o;
}

std::string Base64Encode(std::string_view input) {
  std::string out((input.size() + 2) / 3 * 4 + 1, '\0');
  out.resize(Base64Encode(out.data(), input, out.size()));
  return out;
}

std::string BasicAuthHeader(std::string_view user, std::string_view password) {
  // The credential fields hold at most 63 bytes each; longer input is cut the same way.
  std::string joined;
  joined.append(user.substr(0, std::min<std::size_t>(user.find('\0'), 63)));
  joined.push_back(':');
  joined.append(password.substr(0, std::min<std::size_t>(password.find('\0'), 63)));
  return "Authorization: Basic " + Base64Encode(joined) + "\n\n";
}

std::uint32_t ResolveHostAddress(const char* host) {
  if (host == nullptr || *host == '\0') return 0;
  const unsigned char first = static_cast<unsigned char>(*host);
  if ((first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z')) {
    return tcp::LookupName(host, true).value_or(0);
  }
  const std::optional<std::uint32_t> addr = tcp::ParseDottedQuad(host);
  if (!addr) {
    std::fputs("The IPv4 address entered must be a legal address\n", stdout);
    return 0;
  }
  return *addr;
}

int ProbeTcpConnect(const char* host, int port) {
  const std::uint32_t addr = ResolveHostAddress(host);
  // 0.0.0.0 would reach this machine itself on Linux: not a sign of a working link.
  if (addr == 0 || port <= 0 || port > 65535) return -1;
  const tcp::Handle h = tcp::OpenStream();
  if (h == tcp::kInvalidHandle) return -1;
  bool connected = false;
  if (tcp::SetNonBlocking(h, true)) {
    switch (tcp::StartConnect(h, addr, static_cast<std::uint16_t>(port))) {
      case tcp::ConnectStart::Connected:
        connected = true;
        break;
      case tcp::ConnectStart::InProgress:
        connected =
            tcp::WaitWritable(h, GetTransportTiming().probeConnectMs) == tcp::WaitResult::Ready &&
            tcp::PendingError(h) == 0;
        break;
      case tcp::ConnectStart::Failed:
        break;
    }
  }
  tcp::Close(h);
  return connected ? 0 : -1;
}

std::string ProbeHostName() {
  const char* env = std::getenv("ORVANTIS_PROBE_HOST");
  if (env != nullptr && *env != '\0') return env;
  return kDefaultProbeHost;
}

}  // namespace orv
