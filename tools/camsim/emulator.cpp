// The emulator's sockets: one event-loop thread serves every camera's HTTP listener and
// connections, the discovery sockets and the link server, so hundreds of cameras cost one thread.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "camsim.h"
#include "cgi.h"
#include "core/util/ipv4.h"

extern char** environ;

namespace camsim {
namespace {

using detail::Clock;
using std::chrono::milliseconds;

constexpr auto kHeadTimeout = milliseconds(5000);
constexpr auto kDrainTimeout = milliseconds(3000);
constexpr auto kSendTimeout = milliseconds(10000);
constexpr auto kHoldTimeout = milliseconds(600000);  // a never-closing answer still ends some day
constexpr int kMaxConnsPerServer = 128;
constexpr std::uint32_t kRequestMagic = 0x00F6D9A4;

enum class Kind : std::uint32_t { Wake = 1, Discovery, Listen, LinkListen, Conn };
std::uint64_t Tag(Kind k, std::uint32_t index) {
  return (static_cast<std::uint64_t>(k) << 32) | index;
}

std::optional<in_addr> ParseV4(const std::string& text) {
  const std::optional<std::uint32_t> parsed = orv::ParseIpv4(text);
  if (!parsed) return std::nullopt;
  in_addr a{};
  a.s_addr = *parsed;  // both in network order
  return a;
}

std::string V4Text(in_addr a) {
  char buf[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &a, buf, sizeof buf);
  return buf;
}

bool IsLoopback(const std::string& address) {
  return address.rfind("127.", 0) == 0;
}

int PrefixLength(const std::string& mask) {
  auto m = ParseV4(mask);
  if (!m) return 24;
  const std::uint32_t v = ntohl(m->s_addr);
  int n = 0;
  while (n < 32 && (v & (0x80000000u >> n))) ++n;
  return (n == 32 || (v << n) == 0) ? n : 24;
}

std::int64_t EpochMs() {
  return std::chrono::duration_cast<milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// JSON string with one code point per byte, so the log keeps every byte of a request.
std::string JsonBytes(std::string_view bytes) {
  std::string out = "\"";
  for (unsigned char ch : bytes) {
    switch (ch) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (ch < 0x20 || ch >= 0x7F) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", ch);
          out += buf;
        } else {
          out.push_back(static_cast<char>(ch));
        }
    }
  }
  out += "\"";
  return out;
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int OpenListener(const std::string& address, std::uint16_t port, std::string* error) {
  auto a = ParseV4(address);
  if (!a) {
    if (error) *error = "bad address " + address;
    return -1;
  }
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    if (error) *error = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr = *a;
  sa.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, 128) != 0) {
    if (error)
      *error =
          "cannot listen on " + address + ":" + std::to_string(port) + ": " + std::strerror(errno);
    ::close(fd);
    return -1;
  }
  return fd;
}

std::uint16_t LocalPort(int fd) {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
  return ntohs(sa.sin_port);
}

// Name of the interface holding an address, empty when none does.
std::string InterfaceOf(in_addr address, bool* present) {
  ifaddrs* list = nullptr;
  std::string name;
  *present = false;
  if (::getifaddrs(&list) != 0) return name;
  for (ifaddrs* i = list; i; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
    if (reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr == address.s_addr) {
      name = i->ifa_name;
      *present = true;
      break;
    }
  }
  ::freeifaddrs(list);
  return name;
}

// Adds address/prefix to the interface holding `near`, with the ip tool (no shell involved).
bool AddAddress(const std::string& address, int prefix, const std::string& near) {
  auto a = ParseV4(address), n = ParseV4(near);
  if (!a || !n) return false;
  bool present = false;
  InterfaceOf(*a, &present);
  if (present) return true;
  const std::string dev = InterfaceOf(*n, &present);
  if (!present) return false;
  std::string cidr = address + "/" + std::to_string(prefix);
  std::vector<std::string> args = {"ip", "addr", "add", cidr, "dev", dev};
  std::vector<char*> argv;
  for (auto& s : args) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, "ip", nullptr, nullptr, argv.data(), environ) != 0) return false;
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// True inside a namespace created by "ip netns add" (the lab). Anywhere else, the machine's own
// network among them, the emulator talks to loopback only and never changes addresses.
bool InNamedNetNamespace() {
  struct stat self {};
  if (::stat("/proc/self/ns/net", &self) != 0) return false;
  for (const char* dir : {"/run/netns", "/var/run/netns"}) {
    DIR* d = ::opendir(dir);
    if (!d) continue;
    bool found = false;
    while (dirent* e = ::readdir(d)) {
      if (e->d_name[0] == '.') continue;
      struct stat st {};
      const std::string path = std::string(dir) + "/" + e->d_name;
      if (::stat(path.c_str(), &st) == 0 && st.st_dev == self.st_dev && st.st_ino == self.st_ino) {
        found = true;
        break;
      }
    }
    ::closedir(d);
    if (found) return true;
  }
  return false;
}

}  // namespace

bool InLabNamespace() {
  return InNamedNetNamespace();
}

struct Emulator::Impl {
  struct Camera {
    detail::CameraState state;
    std::string address;     // where it listens now
    std::uint16_t port = 0;  // its HTTP port now
    bool moved = false;      // the reply's address field follows `address` from now on
    int listenFd = -1;
    int conns = 0;
    bool quiet = false;
    Clock::time_point quietUntil{};
    std::vector<std::string> requests;
    std::size_t replies = 0;
  };
  struct DiscoverySocket {
    int fd = -1;
    std::vector<std::size_t> cameras;
  };
  enum class ConnState { Head, Sending, Trickle, Hold, Drain };
  struct Conn {
    int fd = -1;
    int owner = -1;  // camera index; -1 for the link server
    ConnState state = ConnState::Head;
    std::string in, out;
    std::size_t sent = 0;
    bool holdAfterSend = false;
    int trickleMs = 0;
    Clock::time_point deadline{};
  };

  LabConfig config;
  mutable std::mutex mu;
  std::vector<Camera> cameras;
  std::vector<DiscoverySocket> discovery;
  std::uint16_t discoveryPort = 0;
  int linkFd = -1, linkConns = 0;
  std::uint16_t linkPort = 0;
  std::vector<std::string> linkRequests;
  std::unordered_map<int, Conn> conns;
  int epfd = -1, wakeFd = -1;
  std::ofstream log;
  bool labNamespace = false;  // broadcasts and address changes allowed
  std::atomic<bool> running{false};
  std::thread loop;

  bool Watch(int fd, std::uint32_t events, std::uint64_t tag) {
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = tag;
    return ::epoll_ctl(epfd, EPOLL_CTL_ADD, fd, &ev) == 0;
  }
  void Rewatch(int fd, std::uint32_t events, std::uint64_t tag) {
    epoll_event ev{};
    ev.events = events;
    ev.data.u64 = tag;
    ::epoll_ctl(epfd, EPOLL_CTL_MOD, fd, &ev);
  }
  void Unwatch(int fd) {
    if (fd >= 0 && epfd >= 0) ::epoll_ctl(epfd, EPOLL_CTL_DEL, fd, nullptr);
  }

  void CloseAll() {
    for (auto& [fd, c] : conns) ::close(fd);
    conns.clear();
    for (auto& cam : cameras) {
      CloseFd(cam.listenFd);
      cam.conns = 0;
    }
    for (auto& d : discovery) CloseFd(d.fd);
    discovery.clear();
    CloseFd(linkFd);
    linkConns = 0;
    CloseFd(wakeFd);
    CloseFd(epfd);
    if (log.is_open()) log.close();
  }

  void LogRequest(const std::string& who, const std::string& bytes) {
    if (!log.is_open()) return;
    log << "{\"camera\":" << JsonBytes(who) << ",\"time_ms\":" << EpochMs()
        << ",\"request\":" << JsonBytes(bytes) << "}\n";
    log.flush();
  }

  bool Listen(std::size_t i, const std::string& address, std::uint16_t port, std::string* error) {
    Camera& cam = cameras[i];
    int fd = OpenListener(address, port, error);
    if (fd < 0) return false;
    if (epfd >= 0 && !Watch(fd, EPOLLIN, Tag(Kind::Listen, static_cast<std::uint32_t>(i)))) {
      ::close(fd);
      if (error) *error = "epoll";
      return false;
    }
    cam.listenFd = fd;
    cam.address = address;
    cam.port = LocalPort(fd);
    cam.state.settings["HttpPort"] = std::to_string(cam.port);
    return true;
  }

  void StopListening(Camera& cam) {
    Unwatch(cam.listenFd);
    CloseFd(cam.listenFd);
  }

  // After a network write: serve at the address and port the write chose.
  void Move(std::size_t i) {
    Camera& cam = cameras[i];
    auto& s = cam.state.settings;
    std::string address = cam.address;
    std::string mask = s["Netmask"];
    if (s["IPType"] == "1") {
      address = s["IPAddr"];
    } else if (s["IPType"] == "3" && s["WIPType"] == "1") {
      address = s["WIPAddr"];
      mask = s["WNetmask"];
    }
    auto parsed = ParseV4(address);
    if (!parsed || parsed->s_addr == 0) address = cam.address;
    std::uint16_t port = cam.port;
    const std::string& portText = s["HttpPort"];
    if (!portText.empty() && portText.size() <= 5 &&
        std::all_of(portText.begin(), portText.end(),
                    [](char ch) { return ch >= '0' && ch <= '9'; }) &&
        std::stoi(portText) <= 65535)
      port = static_cast<std::uint16_t>(std::stoi(portText));
    cam.quiet = false;
    if (cam.listenFd >= 0 && address == cam.address && port == cam.port) return;
    if (cam.state.config.manageAddress && labNamespace && address != cam.address &&
        !AddAddress(address, PrefixLength(mask), cam.address))
      std::fprintf(stderr, "camsim: %s: cannot add address %s\n", cam.state.config.name.c_str(),
                   address.c_str());
    const std::string oldAddress = cam.address;
    const std::uint16_t oldPort = cam.port;
    StopListening(cam);
    std::string error;
    if (Listen(i, address, port, &error) || Listen(i, oldAddress, port, &error) ||
        Listen(i, oldAddress, oldPort, &error) || Listen(i, oldAddress, 0, &error)) {
      if (cam.address != address || (port != 0 && cam.port != port))
        std::fprintf(stderr, "camsim: %s: staying at %s:%u\n", cam.state.config.name.c_str(),
                     cam.address.c_str(), cam.port);
    } else {
      std::fprintf(stderr, "camsim: %s: %s\n", cam.state.config.name.c_str(), error.c_str());
    }
    cam.moved = true;
  }

  void Accept(int listenFd, int owner) {
    for (int n = 0; n < 64; ++n) {
      int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (fd < 0) return;
      int& count = owner >= 0 ? cameras[static_cast<std::size_t>(owner)].conns : linkConns;
      if (count >= kMaxConnsPerServer) {
        ::close(fd);
        continue;
      }
      Conn c;
      c.fd = fd;
      c.owner = owner;
      c.deadline = Clock::now() + kHeadTimeout;
      if (!Watch(fd, EPOLLIN | EPOLLRDHUP, Tag(Kind::Conn, static_cast<std::uint32_t>(fd)))) {
        ::close(fd);
        continue;
      }
      ++count;
      conns.emplace(fd, std::move(c));
    }
  }

  void CloseConn(int fd) {
    auto it = conns.find(fd);
    if (it == conns.end()) return;
    int& count = it->second.owner >= 0 ? cameras[static_cast<std::size_t>(it->second.owner)].conns
                                       : linkConns;
    --count;
    Unwatch(fd);
    ::close(fd);
    conns.erase(it);
  }

  const std::string& OwnerName(const Conn& c) const {
    static const std::string kLink = "link-server";
    return c.owner >= 0 ? cameras[static_cast<std::size_t>(c.owner)].state.config.name : kLink;
  }

  void Record(const Conn& c) {
    if (c.owner >= 0)
      cameras[static_cast<std::size_t>(c.owner)].requests.push_back(c.in);
    else
      linkRequests.push_back(c.in);
    LogRequest(OwnerName(c), c.in);
  }

  // The answer is out: half-close and wait for the client to close, so it never sees a reset.
  void Finish(Conn& c) {
    if (c.holdAfterSend) {
      c.state = ConnState::Hold;
      c.deadline = Clock::now() + kHoldTimeout;
      Rewatch(c.fd, EPOLLIN | EPOLLRDHUP, Tag(Kind::Conn, static_cast<std::uint32_t>(c.fd)));
      return;
    }
    ::shutdown(c.fd, SHUT_WR);
    c.state = ConnState::Drain;
    c.deadline = Clock::now() + kDrainTimeout;
    Rewatch(c.fd, EPOLLIN | EPOLLRDHUP, Tag(Kind::Conn, static_cast<std::uint32_t>(c.fd)));
  }

  // Sends what the socket takes; false when the connection is gone.
  bool Flush(Conn& c) {
    while (c.sent < c.out.size()) {
      const ssize_t n =
          ::send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        c.sent += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        Rewatch(c.fd, EPOLLIN | EPOLLOUT | EPOLLRDHUP,
                Tag(Kind::Conn, static_cast<std::uint32_t>(c.fd)));
        return true;
      }
      return false;
    }
    Finish(c);
    return true;
  }

  void Respond(Conn& c) {
    const Clock::time_point now = Clock::now();
    const std::size_t end = detail::FindHeadEnd(c.in);
    const std::string_view head =
        end == std::string::npos ? std::string_view(c.in) : std::string_view(c.in).substr(0, end);
    const detail::ParsedRequest request = detail::ParseRequestHead(head);
    std::string answer;
    Fault fault = Fault::None;
    if (c.owner >= 0) {
      Camera& cam = cameras[static_cast<std::size_t>(c.owner)];
      fault = cam.state.config.fault;
      if (fault == Fault::Silent) {
        c.state = ConnState::Hold;
        c.deadline = now + kHoldTimeout;
        return;
      }
      detail::Answer a = detail::AnswerCamera(cam.state, request, now);
      answer = std::move(a.bytes);
      if (a.networkWrite) {
        const int quietMs = std::max(0, cam.state.config.quietAfterWriteMs);
        if (quietMs > 0) {
          StopListening(cam);
          cam.quiet = true;
          cam.quietUntil = now + milliseconds(quietMs);
        } else {
          Move(static_cast<std::size_t>(c.owner));
        }
      }
      c.trickleMs = fault == Fault::Trickle ? std::max(1, cam.state.config.trickleIntervalMs) : 0;
      c.holdAfterSend = fault == Fault::NeverClose;
    } else {
      answer = detail::AnswerLinkServer(*config.linkServer, request);
    }
    c.out = std::move(answer);
    c.sent = 0;
    if (c.trickleMs > 0) {
      c.state = ConnState::Trickle;
      c.deadline = now;
      return;
    }
    c.state = ConnState::Sending;
    c.deadline = now + kSendTimeout;
    if (!Flush(c)) CloseConn(c.fd);
  }

  void OnConnEvent(int fd, std::uint32_t events) {
    auto it = conns.find(fd);
    if (it == conns.end()) return;
    Conn& c = it->second;
    if ((events & EPOLLOUT) && c.state == ConnState::Sending) {
      if (!Flush(c)) {
        CloseConn(fd);
        return;
      }
    }
    if (!(events & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR))) return;
    if (c.state == ConnState::Head) {
      char buf[4096];
      const std::size_t room = detail::kMaxHeadBytes - c.in.size();
      const ssize_t n = ::recv(fd, buf, std::min(room, sizeof buf), MSG_DONTWAIT);
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
      if (n <= 0) {
        if (!c.in.empty()) Record(c);
        CloseConn(fd);
        return;
      }
      c.in.append(buf, static_cast<std::size_t>(n));
      if (detail::FindHeadEnd(c.in) == std::string::npos) {
        if (c.in.size() < detail::kMaxHeadBytes) return;
        Record(c);
        c.out = "HTTP/1.0 400 Bad Request\r\n\r\n";
        c.state = ConnState::Sending;
        c.deadline = Clock::now() + kSendTimeout;
        if (!Flush(c)) CloseConn(fd);
        return;
      }
      // Bytes sent in the same go as the head (the blank after "\n\n") belong to the request.
      while (c.in.size() < detail::kMaxHeadBytes) {
        const ssize_t more = ::recv(
            fd, buf, std::min(sizeof buf, detail::kMaxHeadBytes - c.in.size()), MSG_DONTWAIT);
        if (more <= 0) break;
        c.in.append(buf, static_cast<std::size_t>(more));
      }
      Record(c);
      Respond(c);
      return;
    }
    // Any other state: the client may close or send leftovers; both end a held connection.
    char sink[1024];
    const ssize_t n = ::recv(fd, sink, sizeof sink, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) ||
        (events & (EPOLLHUP | EPOLLERR))) {
      CloseConn(fd);
    }
  }

  void OnDiscovery(std::size_t index) {
    DiscoverySocket& d = discovery[index];
    for (int n = 0; n < 64; ++n) {
      unsigned char buf[512];
      sockaddr_in from{};
      char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
      iovec iov{buf, sizeof buf};
      msghdr msg{};
      msg.msg_name = &from;
      msg.msg_namelen = sizeof from;
      msg.msg_iov = &iov;
      msg.msg_iovlen = 1;
      msg.msg_control = control;
      msg.msg_controllen = sizeof control;
      const ssize_t len = ::recvmsg(d.fd, &msg, MSG_DONTWAIT);
      if (len < 0) return;
      if (len < 8) continue;
      auto be32 = [&](int at) {
        return (std::uint32_t{buf[at]} << 24) | (std::uint32_t{buf[at + 1]} << 16) |
               (std::uint32_t{buf[at + 2]} << 8) | std::uint32_t{buf[at + 3]};
      };
      if (be32(0) != kRequestMagic || be32(4) != 1) continue;
      in_addr dst{};
      dst.s_addr = INADDR_BROADCAST;
      for (cmsghdr* cm = CMSG_FIRSTHDR(&msg); cm; cm = CMSG_NXTHDR(&msg, cm)) {
        if (cm->cmsg_level == IPPROTO_IP && cm->cmsg_type == IP_PKTINFO) {
          in_pktinfo info{};
          std::memcpy(&info, CMSG_DATA(cm), sizeof info);
          dst = info.ipi_addr;
        }
      }
      // A request to one camera's own address is for that camera; anything else is for all.
      const std::string dstText = V4Text(dst);
      bool addressedToOne = false;
      for (std::size_t i : d.cameras) addressedToOne |= cameras[i].address == dstText;
      for (std::size_t i : d.cameras) {
        Camera& cam = cameras[i];
        if (cam.quiet || !cam.state.config.answerDiscovery) continue;
        if (addressedToOne && cam.address != dstText) continue;
        Reply(cam, from);
      }
    }
  }

  void Reply(Camera& cam, const sockaddr_in& from) {
    const CameraConfig& cfg = cam.state.config;
    const auto& s = cam.state.settings;
    const std::string addressText =
        (!cam.moved && !cfg.address.empty()) ? cfg.address : cam.address;
    const auto address = ParseV4(addressText).value_or(in_addr{});
    std::uint32_t second = cfg.secondPort;
    auto it = s.find(cfg.family == Family::Legacy ? "SPort" : "RTPPort");
    if (it != s.end())
      second = static_cast<std::uint32_t>(std::strtoul(it->second.c_str(), nullptr, 10));
    const std::string reply = BuildDiscoveryReply(cfg, address.s_addr, cam.port, second);

    sockaddr_in to{};
    to.sin_family = AF_INET;
    if (cfg.replyTo == "sender") {
      to.sin_addr = from.sin_addr;
    } else {
      auto dst = ParseV4(cfg.replyTo);
      if (!dst) return;
      to.sin_addr = *dst;
    }
    to.sin_port = cfg.replyPort == 0 ? from.sin_port : htons(cfg.replyPort);
    if (!labNamespace && (ntohl(to.sin_addr.s_addr) >> 24) != 127) return;

    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    // Sent from the camera's own address: that picks the interface for a limited broadcast.
    sockaddr_in self{};
    self.sin_family = AF_INET;
    self.sin_addr = ParseV4(cam.address).value_or(in_addr{});
    ::bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self);
    if (::sendto(fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to) >=
        0)
      ++cam.replies;
    ::close(fd);
  }

  void OnTimers() {
    const Clock::time_point now = Clock::now();
    for (std::size_t i = 0; i < cameras.size(); ++i) {
      if (cameras[i].quiet && now >= cameras[i].quietUntil) Move(i);
    }
    std::vector<int> expired;
    for (auto& [fd, c] : conns) {
      if (now < c.deadline) continue;
      if (c.state == ConnState::Trickle) {
        if (c.sent < c.out.size()) {
          const ssize_t n = ::send(fd, c.out.data() + c.sent, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
          if (n == 1) {
            ++c.sent;
          } else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            expired.push_back(fd);
            continue;
          }
          c.deadline = now + milliseconds(c.trickleMs);
        }
        if (c.sent >= c.out.size()) Finish(c);
        continue;
      }
      if (c.state == ConnState::Head && !c.in.empty()) Record(c);
      expired.push_back(fd);
    }
    for (int fd : expired) CloseConn(fd);
  }

  int NextTimeoutMs() const {
    const Clock::time_point now = Clock::now();
    Clock::time_point next = now + milliseconds(500);
    for (const auto& cam : cameras)
      if (cam.quiet) next = std::min(next, cam.quietUntil);
    for (const auto& [fd, c] : conns) next = std::min(next, c.deadline);
    if (next <= now) return 0;
    return static_cast<int>(std::chrono::duration_cast<milliseconds>(next - now).count() + 1);
  }

  void Run() {
    epoll_event events[64];
    while (running.load()) {
      int timeout;
      {
        std::lock_guard<std::mutex> lock(mu);
        timeout = NextTimeoutMs();
      }
      const int n = ::epoll_wait(epfd, events, 64, timeout);
      std::lock_guard<std::mutex> lock(mu);
      for (int e = 0; e < n; ++e) {
        const auto kind = static_cast<Kind>(events[e].data.u64 >> 32);
        const auto index = static_cast<std::uint32_t>(events[e].data.u64 & 0xFFFFFFFFu);
        switch (kind) {
          case Kind::Wake:
            break;
          case Kind::Discovery:
            OnDiscovery(index);
            break;
          case Kind::Listen:
            if (cameras[index].listenFd >= 0)
              Accept(cameras[index].listenFd, static_cast<int>(index));
            break;
          case Kind::LinkListen:
            Accept(linkFd, -1);
            break;
          case Kind::Conn:
            OnConnEvent(static_cast<int>(index), events[e].events);
            break;
        }
      }
      OnTimers();
    }
  }

  bool Open(std::string* error) {
    // Hundreds of cameras need more descriptors than the usual soft limit.
    rlimit rl{};
    if (::getrlimit(RLIMIT_NOFILE, &rl) == 0 && rl.rlim_cur < rl.rlim_max) {
      rl.rlim_cur = std::min<rlim_t>(rl.rlim_max, 65536);
      ::setrlimit(RLIMIT_NOFILE, &rl);
    }
    labNamespace = InNamedNetNamespace();
    epfd = ::epoll_create1(EPOLL_CLOEXEC);
    wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (epfd < 0 || wakeFd < 0 || !Watch(wakeFd, EPOLLIN, Tag(Kind::Wake, 0))) {
      *error = std::string("epoll: ") + std::strerror(errno);
      return false;
    }
    if (!config.logPath.empty()) {
      log.open(config.logPath, std::ios::app | std::ios::binary);
      if (!log) {
        *error = "cannot open log " + config.logPath;
        return false;
      }
    }
    cameras.clear();
    for (const auto& cfg : config.cameras) {
      Camera cam;
      cam.state.config = cfg;
      if (cam.state.config.name.empty()) cam.state.config.name = cfg.cameraId;
      cam.state.settings = DefaultSettings(cam.state.config);
      cameras.push_back(std::move(cam));
    }
    for (std::size_t i = 0; i < cameras.size(); ++i) {
      const CameraConfig& cfg = cameras[i].state.config;
      if (!Listen(i, cfg.bindAddress, cfg.httpPort, error)) {
        *error = cfg.name + ": " + *error;
        return false;
      }
      // Reads report the port the camera really serves on, unless told otherwise.
      if (!cfg.settings.count("ExtHttpPort"))
        cameras[i].state.settings["ExtHttpPort"] = std::to_string(cameras[i].port);
      if (cfg.settings.count("HttpPort"))
        cameras[i].state.settings["HttpPort"] = cfg.settings.at("HttpPort");
    }
    // Broadcasts reach only a socket bound to the wildcard address, so every camera outside
    // loopback shares one; loopback cameras listen on their own address and never leave it.
    std::map<std::string, std::size_t> groups;
    for (std::size_t i = 0; i < cameras.size(); ++i) {
      const std::string& bind = cameras[i].state.config.bindAddress;
      const std::string key = IsLoopback(bind) ? bind : "0.0.0.0";
      auto [it, fresh] = groups.emplace(key, discovery.size());
      if (fresh) discovery.emplace_back();
      discovery[it->second].cameras.push_back(i);
    }
    discoveryPort = config.discoveryPort;
    for (const auto& [bind, index] : groups) {
      int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      int one = 1;
      sockaddr_in sa{};
      sa.sin_family = AF_INET;
      sa.sin_addr = ParseV4(bind).value_or(in_addr{});
      sa.sin_port = htons(discoveryPort);
      if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
          ::setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &one, sizeof one) != 0 ||
          ::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        *error = "discovery socket " + bind + ":" + std::to_string(discoveryPort) + ": " +
                 std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return false;
      }
      if (discoveryPort == 0) discoveryPort = LocalPort(fd);
      discovery[index].fd = fd;
      if (!Watch(fd, EPOLLIN, Tag(Kind::Discovery, static_cast<std::uint32_t>(index)))) {
        *error = "epoll";
        return false;
      }
    }
    if (config.linkServer) {
      linkFd = OpenListener(config.linkServer->bindAddress, config.linkServer->port, error);
      if (linkFd < 0) {
        *error = "link server: " + *error;
        return false;
      }
      linkPort = LocalPort(linkFd);
      if (!Watch(linkFd, EPOLLIN, Tag(Kind::LinkListen, 0))) {
        *error = "epoll";
        return false;
      }
    }
    return true;
  }
};

Emulator::Emulator(LabConfig config) : m_impl(std::make_unique<Impl>()) {
  m_impl->config = std::move(config);
}

Emulator::~Emulator() {
  Stop();
}

bool Emulator::Start(std::string* error) {
  std::string reason;
  {
    std::lock_guard<std::mutex> lock(m_impl->mu);
    if (m_impl->running.load()) return true;
    if (!m_impl->Open(&reason)) {
      m_impl->CloseAll();
      if (error) *error = reason;
      return false;
    }
    m_impl->running = true;
  }
  m_impl->loop = std::thread([this] { m_impl->Run(); });
  return true;
}

void Emulator::Stop() {
  if (!m_impl->running.exchange(false)) return;
  const std::uint64_t one = 1;
  if (::write(m_impl->wakeFd, &one, sizeof one) < 0) {
    // The loop also wakes by itself within half a second.
  }
  if (m_impl->loop.joinable()) m_impl->loop.join();
  std::lock_guard<std::mutex> lock(m_impl->mu);
  m_impl->CloseAll();
}

std::uint16_t Emulator::HttpPort(std::size_t camera) const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return camera < m_impl->cameras.size() ? m_impl->cameras[camera].port : 0;
}

std::uint16_t Emulator::LinkServerPort() const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return m_impl->linkPort;
}

std::uint16_t Emulator::DiscoveryPort() const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return m_impl->discoveryPort;
}

std::string Emulator::Address(std::size_t camera) const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return camera < m_impl->cameras.size() ? m_impl->cameras[camera].address : std::string();
}

std::size_t Emulator::CameraCount() const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return m_impl->cameras.size();
}

std::vector<std::string> Emulator::Requests(std::size_t camera) const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return camera < m_impl->cameras.size() ? m_impl->cameras[camera].requests
                                         : std::vector<std::string>();
}

std::vector<std::string> Emulator::LinkServerRequests() const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return m_impl->linkRequests;
}

void Emulator::ClearRequests() {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  for (auto& cam : m_impl->cameras) cam.requests.clear();
  m_impl->linkRequests.clear();
}

std::size_t Emulator::DiscoveryReplies(std::size_t camera) const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  return camera < m_impl->cameras.size() ? m_impl->cameras[camera].replies : 0;
}

std::string Emulator::Setting(std::size_t camera, const std::string& key) const {
  std::lock_guard<std::mutex> lock(m_impl->mu);
  if (camera >= m_impl->cameras.size()) return {};
  const auto& s = m_impl->cameras[camera].state.settings;
  auto it = s.find(key);
  return it == s.end() ? std::string() : it->second;
}

}  // namespace camsim
