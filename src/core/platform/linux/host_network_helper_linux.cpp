// The programs' side of orvantis-netd: reads stay in this process (they need no privilege); adds,
// removals, refreshes and ARP requests go to the helper as one request line each. The helper runs
// on a socket pair as its standard input and output: when this process ends, however it ends, the
// helper sees its input close and removes every address it added.

#include <net/if.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>

#include "core/platform/host_network_state.h"
#include "core/platform/linux/host_network_direct.h"
#include "core/platform/netd_request.h"
#include "core/platform/program_folder.h"
#include "core/util/ipv4.h"

#ifndef ORVANTIS_NETD_INSTALLED
#define ORVANTIS_NETD_INSTALLED "/usr/lib/orvantis/orvantis-netd"
#endif

namespace orv {

namespace {

constexpr const char* kHelperName = "orvantis-netd";
// Longer than any request takes (an ARP request waits about a second).
constexpr int kAnswerTimeoutMs = 10000;

struct Added {
  std::string adapter;
  std::uint32_t ifIndex = 0;
  std::uint32_t addr = 0;
  int helperRun = 0;  // which start of the helper added it
};

class HelperHostNetwork final : public HostNetwork {
 public:
  HelperHostNetwork(const HostNetworkOptions& o, std::string helper)
      : m_reader(CreateDirectHostNetwork(o)),
        m_helper(std::move(helper)),
        m_lifetime(static_cast<int>(
            std::clamp<long long>(o.addressLifetime.count(), 1, kNetdMaxLifetime))),
        m_overridden(!o.adapterOverride.empty()) {}

  ~HelperHostNetwork() override {
    std::lock_guard lock(m_mutex);
    Stop();
  }

  int ListAdapters(std::vector<AdapterInfo>& out, std::string& errorText) override {
    return m_reader->ListAdapters(out, errorText);
  }
  bool ReadAdapterDetails(std::uint32_t ifIndex, AdapterDetails& out) override {
    return m_reader->ReadAdapterDetails(ifIndex, out);
  }
  bool ReadDnsServer(std::uint32_t ifIndex, std::string& out) override {
    return m_reader->ReadDnsServer(ifIndex, out);
  }
  bool ReadAddressTable(std::vector<std::uint32_t>& out) override {
    return m_reader->ReadAddressTable(out);
  }
  bool AdapterOverridden() const override { return m_overridden; }

  int AddAddress(std::uint32_t addr, std::uint32_t mask, std::uint32_t ifIndex,
                 std::uint32_t camera, std::uint32_t& context) override {
    const int prefix = Ipv4PrefixLength(mask);
    if (prefix < 0 || addr == 0) return SetError(EINVAL, "adding an address: invalid address");
    const std::string name = IfName(ifIndex);
    if (name.empty()) return SetError(ENODEV, "adding an address: no adapter chosen");
    std::lock_guard lock(m_mutex);
    NetdRequest r;
    r.verb = NetdVerb::Add;
    r.adapter = name;
    r.address = addr;
    r.prefix = prefix;
    r.lifetime = m_lifetime;
    r.camera = camera;
    std::string answer;
    if (!Ask(r, answer)) return EPERM;
    if (answer.rfind("err ", 0) == 0)
      return SetError(kHostNetRefused, "adding " + FormatIpv4(addr) + ": " + answer.substr(4));
    if (answer != "ok") return SetError(EPERM, "adding " + FormatIpv4(addr) + ": " + answer);
    context = m_added.Add(Added{name, ifIndex, addr, m_helperRun});
    return 0;
  }

  int DeleteAddress(std::uint32_t context) override {
    std::lock_guard lock(m_mutex);
    const std::optional<Added> a = m_added.Take(context);
    if (!a) return SetError(ENOENT, "deleting an address: unknown context");
    // A helper that is gone removed its addresses when it ended.
    if (a->helperRun != m_helperRun) return 0;
    return Simple(NetdVerb::Delete, *a, "deleting ");
  }

  int RefreshAddress(std::uint32_t context) override {
    std::lock_guard lock(m_mutex);
    const Added* a = m_added.Find(context);
    if (a == nullptr) return ENOENT;
    if (a->helperRun != m_helperRun) {
      m_added.Take(context);
      return SetError(ENOENT, "refreshing: the helper that held the address ended");
    }
    return Simple(NetdVerb::Refresh, *a, "refreshing ");
  }

  ArpAnswer SendArpOn(std::uint32_t ifIndex, std::uint32_t target, std::uint32_t source) override {
    NetdRequest r;
    r.verb = NetdVerb::Arp;
    if (ifIndex != 0) {
      r.adapter = IfName(ifIndex);
      if (r.adapter.empty()) {
        SetError(ENODEV, "ARP: adapter vanished");
        return ArpAnswer::Error;
      }
    }
    r.address = target;
    r.source = source;
    std::lock_guard lock(m_mutex);
    std::string answer;
    if (!Ask(r, answer)) return ArpAnswer::Error;
    if (answer == "ok answered") return ArpAnswer::Answered;
    if (answer == "ok no-answer") return ArpAnswer::NoAnswer;
    SetError(EIO, "ARP: " + answer);
    return ArpAnswer::Error;
  }

  bool AddedAddress(std::uint32_t context, std::uint32_t& addr, std::uint32_t& ifIndex) override {
    std::lock_guard lock(m_mutex);
    return m_added.Lookup(context, addr, ifIndex);
  }

  std::string LastError() const override { return m_error.Get(); }

 private:
  static std::string IfName(std::uint32_t ifIndex) {
    char name[IF_NAMESIZE] = {};
    return ifIndex != 0 && if_indextoname(ifIndex, name) ? std::string(name) : std::string();
  }

  int SetError(int code, std::string text) { return m_error.Set(code, std::move(text)); }

  int Simple(NetdVerb verb, const Added& a, const char* what) {
    NetdRequest r;
    r.verb = verb;
    r.adapter = a.adapter;
    r.address = a.addr;
    std::string answer;
    if (!Ask(r, answer)) return EPERM;
    // A removal finds nothing left to remove when the address went another way.
    if (verb == NetdVerb::Delete && answer == "err gone") return 0;
    if (answer != "ok") return SetError(EIO, what + FormatIpv4(a.addr) + ": " + answer);
    return 0;
  }

  // One request, one answer; false (with the error set) when the helper cannot be reached.
  bool Ask(const NetdRequest& r, std::string& answer) {
    if (m_pid <= 0 && !Start()) return false;
    const std::string line = FormatNetdRequest(r) + "\n";
    std::size_t sent = 0;
    while (sent < line.size()) {
      const ssize_t n = ::send(m_fd, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Lost("the helper stopped listening");
      sent += static_cast<std::size_t>(n);
    }
    for (;;) {
      const std::size_t nl = m_buffer.find('\n');
      if (nl != std::string::npos) {
        answer = m_buffer.substr(0, nl);
        m_buffer.erase(0, nl + 1);
        return true;
      }
      if (m_buffer.size() > 4096) return Lost("the helper's answer is too long");
      pollfd p{m_fd, POLLIN, 0};
      const int ready = ::poll(&p, 1, kAnswerTimeoutMs);
      if (ready < 0 && errno == EINTR) continue;
      if (ready == 0) return Lost("the helper did not answer");
      char chunk[512];
      const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Lost("the helper ended");
      m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
  }

  bool Lost(const std::string& why) {
    Stop();
    SetError(EPIPE, "orvantis-netd: " + why);
    return false;
  }

  bool Start() {
    // Refuse plainly before trying when this user may not run it (the package gives it to one
    // group).
    if (::access(m_helper.c_str(), X_OK) != 0) {
      SetError(EACCES, m_helper +
                           ": not allowed to run the network helper (needs membership in the group "
                           "\"orvantis\", or run as root)");
      return false;
    }
    int sv[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
      SetError(errno, std::string("orvantis-netd: ") + std::strerror(errno));
      return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 0);
    posix_spawn_file_actions_adddup2(&actions, sv[1], 1);
    char* argv[] = {const_cast<char*>(kHelperName), nullptr};
    char* envp[] = {nullptr};  // the helper gets no environment at all
    pid_t pid = -1;
    const int rc = ::posix_spawn(&pid, m_helper.c_str(), &actions, nullptr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    ::close(sv[1]);
    if (rc != 0) {
      ::close(sv[0]);
      SetError(rc, m_helper + ": " + std::strerror(rc) +
                       (rc == EACCES ? " (needs membership in the group \"orvantis\")" : ""));
      return false;
    }
    m_fd = sv[0];
    m_pid = pid;
    m_buffer.clear();
    return true;
  }

  void Stop() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (m_pid > 0) {
      // Its input is closed: it removes its addresses and ends.
      while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    m_pid = -1;
    // What the helper held went with it.
    ++m_helperRun;
  }

  std::unique_ptr<HostNetwork> m_reader;
  const std::string m_helper;
  const int m_lifetime;
  const bool m_overridden;
  std::mutex m_mutex;  // one request at a time; guards everything below
  int m_fd = -1;
  pid_t m_pid = -1;
  std::string m_buffer;
  os::AddedAddresses<Added> m_added;
  int m_helperRun = 0;
  os::LastErrorText m_error;
};

}  // namespace

std::unique_ptr<HostNetwork> CreateHelperHostNetwork(const HostNetworkOptions& options,
                                                     std::string helperPath) {
  return std::make_unique<HelperHostNetwork>(options, std::move(helperPath));
}

std::string FindNetworkHelper() {
  std::error_code ec;
  const std::string beside = ExecutableFolder() + kHelperName;
  if (!ExecutableFolder().empty() && std::filesystem::is_regular_file(beside, ec)) return beside;
  const std::string installed = ORVANTIS_NETD_INSTALLED;
  if (std::filesystem::is_regular_file(installed, ec)) return installed;
  return {};
}

}  // namespace orv
