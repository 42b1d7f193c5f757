#pragma once
// The few TCP socket operations the camera transport needs, behind one small interface so the
// transport logic carries no platform calls of its own.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace orv::tcp {

using Handle = int;
inline constexpr Handle kInvalidHandle = -1;

enum class ConnectStart { Connected, InProgress, Failed };
enum class WaitResult { Ready, Timeout, Error, OtherEvent };

// A fresh IPv4 stream socket, or kInvalidHandle.
Handle OpenStream();
void Close(Handle h);

bool SetNonBlocking(Handle h, bool on);
// Linger on with the given time, so a close waits that long for unsent data.
bool SetLinger(Handle h, int seconds);

// Starts a connect to addr (network order) and port (host order).
ConnectStart StartConnect(Handle h, std::uint32_t addrNet, std::uint16_t port);
// The connection's pending error after a wait (0: connected). A refused connect is also writable.
int PendingError(Handle h);

// Waits up to timeoutMs for the socket to become writable (readable). OtherEvent: the wait
// ended on an error or hang-up condition instead of the readiness asked for.
WaitResult WaitWritable(Handle h, int timeoutMs);
WaitResult WaitReadable(Handle h, int timeoutMs);

// One send call that never blocks and never raises SIGPIPE; the count sent, 0 when the socket's
// buffer is full, -1 on error.
long SendSome(Handle h, const char* data, std::size_t len);
// One receive call; the count received, 0 when the peer closed, -1 on error.
long ReceiveSome(Handle h, char* data, std::size_t len);

// True when the system's lenient address parser reads text as a number ("010" as octal, "0x7f.1",
// "3232235777"): such text is never handed to a name lookup, which would accept it.
bool IsNumericHostText(const char* text);
// Name lookup over IPv4; the first (or the last) address of the answer in network order.
std::optional<std::uint32_t> LookupName(const char* name, bool lastAddress);

}  // namespace orv::tcp
