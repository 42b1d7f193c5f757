// The bounded HTTP receive on arbitrary answers: a peer that sends the input in pieces and closes.
// The first byte picks the buffer's size. Whatever arrives, the count is what the buffer held,
// never past its last byte, which stays the terminator, and the bytes are the answer's first ones.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/camera_http/transport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // Capacities 1..256 (1 takes nothing at all); an exact allocation, so a write past it is found.
  const std::size_t capacity = static_cast<std::size_t>(data[0]) + 1;
  const char* answer = reinterpret_cast<const char*>(data + 1);
  const std::size_t length = size - 1;

  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) std::abort();
  // Pieces of 1..16 bytes, so the reader may see several. The sender never blocks: what does not
  // fit the socket's buffer is simply not sent, and the answer is what was.
  ::fcntl(fds[1], F_SETFL, ::fcntl(fds[1], F_GETFL) | O_NONBLOCK);
  std::size_t sent = 0;
  while (sent < length) {
    const std::size_t piece = std::min<std::size_t>(length - sent, 1 + (sent * 7 + length) % 16);
    const ssize_t n = ::send(fds[1], answer + sent, piece, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  ::shutdown(fds[1], SHUT_WR);

  orv::TransportTiming timing;
  timing.firstByteWaitMs = 200;
  timing.readPollMs = 50;
  timing.silenceLimitMs = 200;
  timing.receiveLimitMs = 1000;
  const std::unique_ptr<char[]> buffer(new char[capacity]);
  std::memset(buffer.get(), 0x55, capacity);
  const int got = orv::HttpReceive(fds[0], buffer.get(), capacity, timing);
  ::close(fds[0]);
  ::close(fds[1]);

  if (capacity < 2) {
    if (got != 0) std::abort();
    return 0;
  }
  const std::size_t room = capacity - 1;
  const std::size_t expected = std::min(room, sent);
  if (got < 0 || static_cast<std::size_t>(got) != expected) std::abort();
  if (buffer[room] != '\0') std::abort();
  if (std::memcmp(buffer.get(), answer, expected) != 0) std::abort();
  return 0;
}
