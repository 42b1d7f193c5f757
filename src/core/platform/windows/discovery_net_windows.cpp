// Winsock 2 back end of the discovery platform layer. The host's addresses come from
// GetAdaptersAddresses (adapters that are up, not loopback, in interface-index order); binding a
// sending socket to one sends the limited broadcast out of that adapter. Replies say which adapter
// they came in on through WSARecvMsg and IP_PKTINFO.

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/platform/discovery_net.h"
#include "core/platform/windows/adapter_table.h"
#include "core/platform/windows/win_common.h"

namespace orv {
namespace {

class WindowsHostSource final : public DiscoveryHostSource {
 public:
  std::optional<std::vector<std::uint32_t>> HostAddresses() override {
    std::vector<win::AdapterRow> rows;
    if (!win::ReadAdapterTable(rows)) return std::nullopt;
    std::stable_sort(rows.begin(), rows.end(),
                     [](const win::AdapterRow& a, const win::AdapterRow& b) {
                       return a.info.index < b.info.index;
                     });
    std::vector<std::uint32_t> out;
    for (const win::AdapterRow& row : rows) {
      if (!row.info.up || row.loopback) continue;
      out.insert(out.end(), row.addresses.begin(), row.addresses.end());
    }
    // No usable adapter: the engine's loopback state.
    if (out.empty()) out.push_back(htonl(INADDR_LOOPBACK));
    return out;
  }

  std::string AdapterName(std::uint32_t ifIndex) override {
    std::vector<win::AdapterRow> rows;
    if (ifIndex == 0 || !win::ReadAdapterTable(rows)) return {};
    for (const win::AdapterRow& row : rows)
      if (row.info.index == ifIndex) return row.info.name;
    return {};
  }
};

class WindowsSockets final : public DiscoverySockets {
 public:
  int CreateUdp() override {
    if (!win::StartWinsock()) return -1;
    const SOCKET s = ::WSASocketW(AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0,
                                  WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (s != INVALID_SOCKET) {
      // Room for the replies of a few hundred cameras that all answer at once.
      const int size = 1 << 20;
      (void)::setsockopt(s, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&size),
                         sizeof size);
      // A port unreachable from an earlier send must not fail the next receive.
      BOOL off = FALSE;
      DWORD unused = 0;
      (void)::WSAIoctl(s, SIO_UDP_CONNRESET, &off, sizeof off, nullptr, 0, &unused, nullptr,
                       nullptr);
    }
    return win::AsFd(s);
  }
  bool SetReuseAddress(int fd) override { return SetFlag(fd, SOL_SOCKET, SO_REUSEADDR); }
  bool SetBroadcast(int fd) override { return SetFlag(fd, SOL_SOCKET, SO_BROADCAST); }
  bool Bind(int fd, std::uint32_t address, std::uint16_t port) override {
    const sockaddr_in sin = Make(address, port);
    return ::bind(win::AsSocket(fd), reinterpret_cast<const sockaddr*>(&sin), sizeof sin) == 0;
  }
  long SendTo(int fd, const void* data, std::size_t size, std::uint32_t address,
              std::uint16_t port) override {
    if (size > 65535) return -1;
    const sockaddr_in sin = Make(address, port);
    const int n =
        ::sendto(win::AsSocket(fd), static_cast<const char*>(data), static_cast<int>(size), 0,
                 reinterpret_cast<const sockaddr*>(&sin), sizeof sin);
    return n == SOCKET_ERROR ? -1 : n;
  }
  int WaitReadable(int fd, int timeoutMs) override {
    WSAPOLLFD p{};
    p.fd = win::AsSocket(fd);
    p.events = POLLRDNORM;
    const int r = ::WSAPoll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (r < 0) return -1;
    if (r == 0) return 0;
    return (p.revents & POLLRDNORM) ? 1 : -1;
  }
  long Receive(int fd, void* buffer, std::size_t capacity) override {
    std::uint32_t unused = 0;
    return ReceiveMessage(fd, buffer, capacity, false, unused);
  }
  bool EnableArrivalAdapter(int fd) override {
    if (!SetFlag(fd, IPPROTO_IP, IP_PKTINFO)) return false;
    return RecvMsg(fd) != nullptr;
  }
  long ReceiveWithAdapter(int fd, void* buffer, std::size_t capacity,
                          std::uint32_t& ifIndex) override {
    return ReceiveMessage(fd, buffer, capacity, true, ifIndex);
  }
  int WaitAnyReadable(const std::vector<int>& fds, int timeoutMs) override {
    std::vector<WSAPOLLFD> p;
    for (int fd : fds) {
      WSAPOLLFD one{};
      one.fd = win::AsSocket(fd);
      one.events = POLLRDNORM;
      p.push_back(one);
    }
    if (p.empty()) return -1;
    if (::WSAPoll(p.data(), static_cast<ULONG>(p.size()), timeoutMs < 0 ? 0 : timeoutMs) <= 0) {
      return -1;
    }
    for (std::size_t i = 0; i < p.size(); ++i)
      if (p[i].revents & POLLRDNORM) return static_cast<int>(i);
    return -1;
  }
  void Close(int fd) override {
    if (fd >= 0) ::closesocket(win::AsSocket(fd));
  }

 private:
  static bool SetFlag(int fd, int level, int option) {
    const DWORD one = 1;
    return ::setsockopt(win::AsSocket(fd), level, option, reinterpret_cast<const char*>(&one),
                        sizeof one) == 0;
  }
  static sockaddr_in Make(std::uint32_t address, std::uint16_t port) {
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = address;
    sin.sin_port = htons(port);
    return sin;
  }
  // WSARecvMsg is an extension function: its address comes from the provider, once.
  static LPFN_WSARECVMSG RecvMsg(int fd) {
    static LPFN_WSARECVMSG fn = [fd] {
      LPFN_WSARECVMSG found = nullptr;
      GUID guid = WSAID_WSARECVMSG;
      DWORD bytes = 0;
      if (::WSAIoctl(win::AsSocket(fd), SIO_GET_EXTENSION_FUNCTION_POINTER, &guid, sizeof guid,
                     &found, sizeof found, &bytes, nullptr, nullptr) != 0) {
        return static_cast<LPFN_WSARECVMSG>(nullptr);
      }
      return found;
    }();
    return fn;
  }
  // One datagram (the callers wait for it first); one that did not fit (MSG_TRUNC, WSAEMSGSIZE)
  // is refused, and it is consumed either way.
  static long ReceiveMessage(int fd, void* buffer, std::size_t capacity, bool wantAdapter,
                             std::uint32_t& ifIndex) {
    ifIndex = 0;
    if (capacity > 65535) capacity = 65535;
    const SOCKET s = win::AsSocket(fd);
    const LPFN_WSARECVMSG recvMsg = wantAdapter ? RecvMsg(fd) : nullptr;
    if (recvMsg == nullptr) {
      const int n = ::recv(s, static_cast<char*>(buffer), static_cast<int>(capacity), 0);
      return n == SOCKET_ERROR ? -1 : n;
    }
    WSABUF data{static_cast<ULONG>(capacity), static_cast<char*>(buffer)};
    alignas(WSACMSGHDR) char control[WSA_CMSG_SPACE(sizeof(IN_PKTINFO))];
    WSAMSG msg{};
    msg.lpBuffers = &data;
    msg.dwBufferCount = 1;
    msg.Control.buf = control;
    msg.Control.len = sizeof control;
    DWORD received = 0;
    if (recvMsg(s, &msg, &received, nullptr, nullptr) != 0) return -1;
    if (msg.dwFlags & MSG_TRUNC) return -1;
    for (WSACMSGHDR* c = WSA_CMSG_FIRSTHDR(&msg); c != nullptr; c = WSA_CMSG_NXTHDR(&msg, c)) {
      if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
        IN_PKTINFO info{};
        std::memcpy(&info, WSA_CMSG_DATA(c), sizeof info);
        ifIndex = info.ipi_ifindex;
      }
    }
    return static_cast<long>(received);
  }
};

}  // namespace

std::shared_ptr<DiscoveryHostSource> SystemDiscoveryHostSource() {
  return std::make_shared<WindowsHostSource>();
}
std::shared_ptr<DiscoverySockets> SystemDiscoverySockets() {
  return std::make_shared<WindowsSockets>();
}

}  // namespace orv
