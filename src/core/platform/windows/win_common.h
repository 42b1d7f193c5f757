#pragma once
// Shared by the Windows back ends: Winsock started once, text between UTF-8 and the UTF-16 of the
// wide calls, and socket handles as the ints the platform interfaces pass around.
// winsock2.h before windows.h, which would otherwise bring in the old winsock.h; the network
// headers after both. Windows back ends include their system headers through this one.
#include <winsock2.h>
#include <ws2tcpip.h>
// windows.h apart from the two above, so that sorting keeps it after them.
#include <windows.h>
// IP Helper and the Winsock extensions need the two above.
#include <iphlpapi.h>
#include <mswsock.h>

#include <string>
#include <string_view>

namespace orv::win {

// WSAStartup(2.2) once per process; false when Winsock cannot be used.
bool StartWinsock();

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// A path from the system with '/' between its parts, as the rest of the program writes them.
std::string Utf8Path(std::wstring_view wide);

// Socket handles are kernel handles, whose values fit in 32 bits (the system keeps them so for
// 32-bit processes); -1 stands for INVALID_SOCKET.
inline SOCKET AsSocket(int fd) {
  return fd < 0 ? INVALID_SOCKET : static_cast<SOCKET>(static_cast<unsigned>(fd));
}
inline int AsFd(SOCKET s) {
  return s == INVALID_SOCKET ? -1 : static_cast<int>(s);
}

}  // namespace orv::win
