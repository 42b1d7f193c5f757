#pragma once
// One HTTP/1.0 exchange per connection: bounded connect, one send, read until the peer closes (or
// goes quiet), search the answer for a few fixed status texts. Plus the Basic header and the
// start-up reachability probe.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/model/connect_flag.h"

namespace orv {

// Every wait of the transport. The defaults are the product's; tests shorten them.
struct TransportTiming {
  int connectPeriodMs = 1000;  // one connect wait period; connectAllowed is read before each
  int connectPeriods = 2;
  int sendWaitMs = 3000;
  int firstByteWaitMs = 5000;  // for the first bytes of an answer
  int readPollMs = 1000;       // one readiness wait while reading
  int silenceLimitMs = 5000;   // an answer that went quiet this long is complete
  int receiveLimitMs = 20000;  // no answer is read for longer than this in all
  int probeConnectMs = 5000;   // the reachability probe's connect
};

TransportTiming GetTransportTiming();
void SetTransportTiming(const TransportTiming& timing);

// Sets the timing for a scope and puts the one before back when it ends (tests, tools).
class ScopedTransportTiming {
 public:
  explicit ScopedTransportTiming(const TransportTiming& timing);
  ~ScopedTransportTiming();
  ScopedTransportTiming(const ScopedTransportTiming&) = delete;
  ScopedTransportTiming& operator=(const ScopedTransportTiming&) = delete;

 private:
  TransportTiming m_previous;
};

// No wait of an exchange lasts longer than this between two looks at connectAllowed.
inline constexpr int kCancelPollMs = 50;

// Where the transport's diagnostic lines go ("timeout\n" and the like, one line per call). Unset
// (the default), each goes where the program has always written it: the send failures to standard
// error, the complaint about an unusable address to standard output. A tool whose standard output
// carries JSON sends them all to standard error.
using TransportDiagnostics = std::function<void(std::string_view line)>;
void SetTransportDiagnostics(TransportDiagnostics sink);

// Host "" means 127.0.0.1; a dotted quad is used as it is, a name is looked up, and text that only
// a lenient number parser would take ("010" as octal, "0x7f.1") is refused, never looked up. The
// port text is read as a decimal number (leading digits, else 0). A connected blocking socket with
// a 1-second linger, or -1. Gives up (-1) within kCancelPollMs once connectAllowed is 0; the
// socket's later send and receive stop the same way.
int HttpConnect(const ConnectFlag& connectAllowed, const char* host, const char* port);
// The link-server variant: the same without the abort flag, or with the window's flag so that
// closing the window ends a query to a silent server.
int HttpConnectLinkServer(const char* host, const char* port);
int HttpConnectLinkServer(const ConnectFlag& connectAllowed, const char* host, const char* port);

// Sends the whole request, continuing after short sends until every byte is out or the send wait
// has passed; the count sent, or 0 with one diagnostic line (a partial send is a failure).
int HttpSend(int sock, const char* request, std::size_t length);

// Reads into a zero-filled buffer until the peer closes, the answer goes quiet, the buffer is full
// or connectAllowed (of the connect that made sock, or the one given) is cleared; the last byte of
// the buffer always stays the terminator. The total received (0: nothing).
int HttpReceive(int sock, char* buffer, std::size_t capacity);
int HttpReceive(int sock, char* buffer, std::size_t capacity, const TransportTiming& timing);
int HttpReceive(int sock, char* buffer, std::size_t capacity, const ConnectFlag& connectAllowed);

void HttpClose(int sock);

// The ordered search for the failure texts; "Unauthorized" only when checkUnauthorized is set.
int ResponseStatus(std::string_view response, bool checkUnauthorized);

// "Authorization: Basic <base64 of user:password>\n\n".
std::string BasicAuthHeader(std::string_view user, std::string_view password);

// Standard base64 with padding into out (capacity bytes, terminator included); only whole
// four-character groups that fit are written. Returns the characters written.
std::size_t Base64Encode(char* out, std::string_view input, std::size_t capacity);
std::string Base64Encode(std::string_view input);

// A letter first: name lookup (the last address of the answer); else dotted quad, used as it is.
// 0 on failure; unparsable address text prints one line to standard output.
std::uint32_t ResolveHostAddress(const char* host);

// One bounded TCP connect; 0 when it succeeded, -1 otherwise (also when the host resolves to 0).
// With a flag: gives up within kCancelPollMs once it is cleared (the name lookup itself cannot be
// cut short).
int ProbeTcpConnect(const char* host, int port);
int ProbeTcpConnect(const ConnectFlag& connectAllowed, const char* host, int port);
int ProbeTcpConnect(const ConnectFlag* connectAllowed, const char* host, int port);

// The reachability probe's host: ORVANTIS_PROBE_HOST when set and not empty, else the default.
std::string ProbeHostName();
inline constexpr const char* kDefaultProbeHost = "example.com";

}  // namespace orv
