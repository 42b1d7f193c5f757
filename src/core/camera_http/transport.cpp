#include "core/camera_http/transport.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "core/camera_http/requests.h"
#include "core/platform/env.h"
#include "core/platform/tcp_socket.h"
#include "core/util/ipv4.h"

namespace orv {

namespace {

// The shared state lives on the heap and is never destroyed: a call thread that was let go at
// shut-down may still read it while the process runs its static destructors.
struct TransportGlobals {
  std::mutex timingMutex;
  TransportTiming timing;
  std::mutex diagnosticsMutex;
  TransportDiagnostics diagnostics;
  // The connectAllowed flag each open socket was connected under, so its send and receive stop
  // when the flag is cleared without every caller passing it along. A copy shares the flag itself.
  std::mutex flagMutex;
  std::unordered_map<int, ConnectFlag> flags;
};

TransportGlobals& Globals() {
  static TransportGlobals* globals = new TransportGlobals;
  return *globals;
}

void RememberFlag(int sock, const ConnectFlag* flag) {
  std::lock_guard lock(Globals().flagMutex);
  if (flag != nullptr)
    Globals().flags.insert_or_assign(sock, *flag);
  else
    Globals().flags.erase(sock);
}

std::optional<ConnectFlag> FlagOf(int sock) {
  std::lock_guard lock(Globals().flagMutex);
  const auto it = Globals().flags.find(sock);
  if (it == Globals().flags.end()) return std::nullopt;
  return it->second;
}

enum class Stream { Out, Err };

void Diagnose(std::string_view line, Stream documented) {
  TransportDiagnostics sink;
  {
    std::lock_guard lock(Globals().diagnosticsMutex);
    sink = Globals().diagnostics;
  }
  if (sink) {
    sink(line);
    return;
  }
  FILE* f = documented == Stream::Out ? stdout : stderr;
  std::fwrite(line.data(), 1, line.size(), f);
  std::fflush(f);
}

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count();
}

long long MsUntil(Clock::time_point t) {
  return std::max<long long>(
      0, std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now()).count());
}

enum class Waited { Ready, Timeout, Failed, OtherEvent, Cancelled };

// Waits up to ms for readiness in slices of kCancelPollMs, looking at the flag before each.
Waited WaitSliced(int sock, bool writable, long long ms, const ConnectFlag* flag) {
  const Clock::time_point end = Clock::now() + std::chrono::milliseconds(std::max(0LL, ms));
  for (;;) {
    if (flag != nullptr && flag->load() == 0) return Waited::Cancelled;
    const int slice = static_cast<int>(std::min<long long>(MsUntil(end), kCancelPollMs));
    const tcp::WaitResult w =
        writable ? tcp::WaitWritable(sock, slice) : tcp::WaitReadable(sock, slice);
    switch (w) {
      case tcp::WaitResult::Ready:
        return Waited::Ready;
      case tcp::WaitResult::Error:
        return Waited::Failed;
      case tcp::WaitResult::OtherEvent:
        return Waited::OtherEvent;
      case tcp::WaitResult::Timeout:
        break;
    }
    if (Clock::now() >= end) return Waited::Timeout;
  }
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
  std::optional<std::uint32_t> addr = ParseIpv4(target);
  // A name lookup would read "192.168.001.010" as octal: text like that is refused instead.
  if (!addr && !tcp::IsNumericHostText(target)) addr = tcp::LookupName(target, false);
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
        const Waited w = WaitSliced(h, true, timing.connectPeriodMs, connectAllowed);
        if (w == Waited::Timeout) continue;
        // Writable (or an error event) ends the attempt; a refused connect is writable too.
        connected = (w == Waited::Ready && tcp::PendingError(h) == 0);
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
  RememberFlag(h, connectAllowed);
  return h;
}

int ReceiveUntil(int sock, char* buffer, std::size_t capacity, const TransportTiming& timing,
                 const ConnectFlag* flag) {
  if (buffer == nullptr || capacity < 2) return 0;
  const std::size_t room = capacity - 1;  // the last byte stays the terminator
  const Clock::time_point start = Clock::now();
  if (WaitSliced(sock, false, std::min(timing.firstByteWaitMs, timing.receiveLimitMs), flag) !=
      Waited::Ready) {
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
    const Waited w = WaitSliced(sock, false, std::max<long long>(wait, 1), flag);
    if (w == Waited::Timeout) continue;
    if (w != Waited::Ready) break;
    const long n = tcp::ReceiveSome(sock, buffer + total, room - total);
    if (n <= 0) break;
    total += static_cast<std::size_t>(n);
    lastData = Clock::now();
  }
  buffer[room] = '\0';
  return static_cast<int>(total);
}

}  // namespace

TransportTiming GetTransportTiming() {
  std::lock_guard<std::mutex> lock(Globals().timingMutex);
  return Globals().timing;
}

void SetTransportTiming(const TransportTiming& timing) {
  std::lock_guard<std::mutex> lock(Globals().timingMutex);
  Globals().timing = timing;
}

ScopedTransportTiming::ScopedTransportTiming(const TransportTiming& timing)
    : m_previous(GetTransportTiming()) {
  SetTransportTiming(timing);
}

ScopedTransportTiming::~ScopedTransportTiming() {
  SetTransportTiming(m_previous);
}

void SetTransportDiagnostics(TransportDiagnostics sink) {
  std::lock_guard lock(Globals().diagnosticsMutex);
  Globals().diagnostics = std::move(sink);
}

int HttpConnect(const ConnectFlag& connectAllowed, const char* host, const char* port) {
  return ConnectWithWaits(&connectAllowed, host, port);
}

int HttpConnectLinkServer(const char* host, const char* port) {
  return ConnectWithWaits(nullptr, host, port);
}

int HttpConnectLinkServer(const ConnectFlag& connectAllowed, const char* host, const char* port) {
  return ConnectWithWaits(&connectAllowed, host, port);
}

void HttpClose(int sock) {
  // An exchange given up at shut-down is dropped at once: the one-second linger could otherwise
  // hold the exit, and its source (a temporary address) may already be gone.
  if (const std::optional<ConnectFlag> flag = FlagOf(sock); flag && flag->load() == 0)
    tcp::SetLinger(sock, 0);
  RememberFlag(sock, nullptr);
  tcp::Close(sock);
}

int HttpSend(int sock, const char* request, std::size_t length) {
  const TransportTiming timing = GetTransportTiming();
  const std::optional<ConnectFlag> flag = FlagOf(sock);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timing.sendWaitMs);
  std::size_t sent = 0;
  do {
    switch (WaitSliced(sock, true, MsUntil(deadline), flag ? &*flag : nullptr)) {
      case Waited::Failed:
        Diagnose("select: error\n", Stream::Err);
        return 0;
      case Waited::Timeout:
      case Waited::Cancelled:
        Diagnose("timeout\n", Stream::Err);
        return 0;
      case Waited::OtherEvent:
        Diagnose("error: case not handled.", Stream::Err);
        return 0;
      case Waited::Ready:
        break;
    }
    const long n = length == 0 ? -1 : tcp::SendSome(sock, request + sent, length - sent);
    if (n < 0) {
      Diagnose("error send()ing request\n", Stream::Err);
      return 0;
    }
    sent += static_cast<std::size_t>(n);  // 0: the buffer filled up again; wait once more
  } while (sent < length);
  return static_cast<int>(std::min<std::size_t>(sent, INT_MAX));
}

int HttpReceive(int sock, char* buffer, std::size_t capacity) {
  return HttpReceive(sock, buffer, capacity, GetTransportTiming());
}

int HttpReceive(int sock, char* buffer, std::size_t capacity, const TransportTiming& timing) {
  const std::optional<ConnectFlag> flag = FlagOf(sock);
  return ReceiveUntil(sock, buffer, capacity, timing, flag ? &*flag : nullptr);
}

int HttpReceive(int sock, char* buffer, std::size_t capacity, const ConnectFlag& connectAllowed) {
  return ReceiveUntil(sock, buffer, capacity, GetTransportTiming(), &connectAllowed);
}

int ResponseStatus(std::string_view response, bool checkUnauthorized) {
  static constexpr std::string_view kNotFound = "HTTP/1.0 404 Not Found";
  static constexpr std::string_view kNotFoundOther = "404 Not Found";
  static constexpr std::string_view kFailure = "402 Failure";
  static constexpr std::string_view kUnauthorized = "Unauthorized";
  const auto holds = [response](std::string_view text) {
    return response.find(text) != std::string_view::npos;
  };
  if (holds(kNotFound)) return ErrNotFound;
  if (holds(kNotFoundOther)) return ErrNotFoundOther;
  if (holds(kFailure)) return ErrFailure;
  if (checkUnauthorized && holds(kUnauthorized)) return ErrUnauthorized;
  return Ok;
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
  const std::optional<std::uint32_t> addr = ParseIpv4(host);
  if (!addr) {
    Diagnose("The IPv4 address entered must be a legal address\n", Stream::Out);
    return 0;
  }
  return *addr;
}

int ProbeTcpConnect(const char* host, int port) {
  return ProbeTcpConnect(nullptr, host, port);
}

int ProbeTcpConnect(const ConnectFlag& connectAllowed, const char* host, int port) {
  return ProbeTcpConnect(&connectAllowed, host, port);
}

int ProbeTcpConnect(const ConnectFlag* connectAllowed, const char* host, int port) {
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
        connected = WaitSliced(h, true, GetTransportTiming().probeConnectMs, connectAllowed) ==
                        Waited::Ready &&
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
  if (std::optional<std::string> env = EnvOverride("ORVANTIS_PROBE_HOST"); env && !env->empty())
    return *env;
  return kDefaultProbeHost;
}

}  // namespace orv
