#include "core/platform/linux/host_network_files.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/util/ipv4.h"

namespace orv::linuxnet {

namespace {

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

bool IsStubResolver(const std::string& addr) {
  return addr == "127.0.0.53" || addr == "127.0.0.54";
}

std::optional<std::string> FirstIpv4Token(const std::string& list) {
  std::istringstream in(list);
  std::string tok;
  while (in >> tok) {
    if (ParseIpv4(tok) && !IsStubResolver(tok)) return tok;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t maxBytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string out;
  out.resize(maxBytes);
  in.read(out.data(), static_cast<std::streamsize>(maxBytes));
  if (in.bad()) return std::nullopt;
  out.resize(static_cast<std::size_t>(in.gcount()));
  return out;
}

std::vector<std::string> ListFilesSorted(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = ::opendir(dir.c_str());
  if (!d) return names;
  // A bound against folders that never end (or are huge by accident).
  for (int i = 0; i < 4096; ++i) {
    const dirent* e = ::readdir(d);
    if (!e) break;
    const std::string name = e->d_name;
    if (name.empty() || name[0] == '.') continue;
    struct stat st {};
    if (::stat((dir + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) names.push_back(name);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<KeyFileEntry> ParseKeyFile(const std::string& text) {
  std::vector<KeyFileEntry> out;
  std::string section;
  for (const std::string& raw : Lines(text)) {
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      if (close != std::string::npos) section = line.substr(1, close - 1);
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    out.push_back({section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
  }
  return out;
}

std::optional<std::string> KeyFileValue(const std::vector<KeyFileEntry>& entries,
                                        const std::string& section, const std::string& key) {
  for (const KeyFileEntry& e : entries)
    if (e.section == section && e.key == key) return e.value;
  return std::nullopt;
}

SysfsFacts ReadSysfsFacts(const std::string& root, const std::string& ifName) {
  SysfsFacts f;
  if (ifName.empty() || ifName.find('/') != std::string::npos || ifName == "." || ifName == "..")
    return f;
  const std::string base = root + "/sys/class/net/" + ifName;
  if (!Exists(base)) return f;
  f.known = true;
  f.deviceBacked = Exists(base + "/device");
  f.wireless = Exists(base + "/wireless") || Exists(base + "/phy80211");
  return f;
}

std::optional<std::string> FirstNameserver(const std::string& resolvConfText) {
  for (const std::string& raw : Lines(resolvConfText)) {
    std::istringstream in(raw);
    std::string word, addr;
    if (!(in >> word) || word != "nameserver" || !(in >> addr)) continue;
    if (ParseIpv4(addr) && !IsStubResolver(addr)) return addr;
  }
  return std::nullopt;
}

namespace {
constexpr const char* kResolverFiles[] = {"/run/systemd/resolve/resolv.conf",
                                          "/run/NetworkManager/no-stub-resolv.conf",
                                          "/run/NetworkManager/resolv.conf", "/etc/resolv.conf"};
}  // namespace

std::vector<std::uint32_t> AllDnsServers(const std::string& root) {
  std::vector<std::uint32_t> out;
  const auto note = [&](const std::string& token) {
    const auto a = ParseIpv4(token);
    if (a && !IsStubResolver(token) && std::find(out.begin(), out.end(), *a) == out.end())
      out.push_back(*a);
  };
  const std::string links = root + "/run/systemd/netif/links";
  for (const std::string& name : ListFilesSorted(links))
    if (auto text = ReadSmallFile(links + "/" + name))
      for (const KeyFileEntry& e : ParseKeyFile(*text))
        if (e.key == "DNS") {
          std::istringstream in(e.value);
          for (std::string token; in >> token;) note(token);
        }
  for (const char* file : kResolverFiles)
    if (auto text = ReadSmallFile(root + file))
      for (const std::string& raw : Lines(*text)) {
        std::istringstream in(raw);
        std::string word, addr;
        if (in >> word && word == "nameserver" && in >> addr) note(addr);
      }
  return out;
}

std::optional<std::string> FirstDnsServer(const std::string& root, std::uint32_t ifIndex) {
  if (auto link = ReadSmallFile(root + "/run/systemd/netif/links/" + std::to_string(ifIndex))) {
    for (const KeyFileEntry& e : ParseKeyFile(*link)) {
      if (e.key == "DNS")
        if (auto a = FirstIpv4Token(e.value)) return a;
    }
  }
  for (const char* file : kResolverFiles) {
    if (auto text = ReadSmallFile(root + file))
      if (auto a = FirstNameserver(*text)) return a;
  }
  return std::nullopt;
}

std::optional<std::string> DhcpServerFromLease(const std::string& root, std::uint32_t ifIndex) {
  auto lease = ReadSmallFile(root + "/run/systemd/netif/leases/" + std::to_string(ifIndex));
  if (!lease) return std::nullopt;
  auto v = KeyFileValue(ParseKeyFile(*lease), "", "SERVER_ADDRESS");
  if (v && ParseIpv4(*v)) return v;
  return std::nullopt;
}

std::vector<std::string> NetworkManagerConnectionDirs(const std::string& root) {
  return {root + "/etc/NetworkManager/system-connections",
          root + "/run/NetworkManager/system-connections"};
}

bool NetworkManagerUsesDhcp(const std::string& root, const std::string& ifName) {
  for (const std::string& dir : NetworkManagerConnectionDirs(root)) {
    for (const std::string& name : ListFilesSorted(dir)) {
      auto text = ReadSmallFile(dir + "/" + name);
      if (!text) continue;
      const auto kf = ParseKeyFile(*text);
      if (KeyFileValue(kf, "connection", "interface-name") != ifName) continue;
      if (KeyFileValue(kf, "ipv4", "method").value_or("auto") == "auto") return true;
    }
  }
  return false;
}

void ApplyAdapterPreference(std::vector<LinkFacts>& links, const std::string& wanted) {
  std::stable_sort(links.begin(), links.end(), [](const LinkFacts& a, const LinkFacts& b) {
    return a.info.index < b.info.index;
  });
  const bool anyDevice = std::any_of(links.begin(), links.end(), [](const LinkFacts& l) {
    return l.lan && l.info.up && l.deviceBacked;
  });
  // Bridges, veths and tunnels stand in only when no real adapter is up.
  if (anyDevice) {
    for (LinkFacts& l : links)
      if (l.lan && !l.deviceBacked && (wanted.empty() || l.info.name != wanted))
        l.info.type = AdapterType::Other;
  }
  if (!wanted.empty()) {
    auto it = std::find_if(links.begin(), links.end(),
                           [&](const LinkFacts& l) { return l.info.name == wanted; });
    if (it != links.end()) std::rotate(it, it + 1, links.end());
  }
}

}  // namespace orv::linuxnet
