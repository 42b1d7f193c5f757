#pragma once
// A listening TCP socket on 127.0.0.1 at a port the kernel chooses, for scripted test peers.

#include <cstdint>

namespace orv::test {

// The listening socket (backlog 8), or -1; port receives the chosen port.
int ListenOnLoopback(std::uint16_t& port);

}  // namespace orv::test
