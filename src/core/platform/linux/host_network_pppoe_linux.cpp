// The PC's first PPPoE connection: NetworkManager's connections first, then pppd's peers with
// their CHAP or PAP secrets.

#include <sstream>

#include "core/platform/host_network_pppoe.h"
#include "core/platform/linux/host_network_files.h"

namespace orv {

namespace {

using linuxnet::KeyFileValue;
using linuxnet::ListFilesSorted;
using linuxnet::ParseKeyFile;
using linuxnet::ReadSmallFile;

std::optional<PppoeEntry> FromNetworkManager(const std::string& root) {
  for (const std::string& dir : linuxnet::NetworkManagerConnectionDirs(root)) {
    for (const std::string& name : ListFilesSorted(dir)) {
      auto text = ReadSmallFile(dir + "/" + name);
      if (!text) continue;
      const auto kf = ParseKeyFile(*text);
      const auto type = KeyFileValue(kf, "connection", "type");
      const auto user = KeyFileValue(kf, "pppoe", "username");
      if (type != "pppoe" && !user) continue;
      PppoeEntry e;
      e.user = user.value_or("");
      e.password = KeyFileValue(kf, "pppoe", "password");
      return e;
    }
  }
  return std::nullopt;
}

// Words of a pppd options or secrets line: blanks separate, double quotes group, '#' comments.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> out;
  std::string cur;
  bool inWord = false, quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < line.size()) {
        cur += line[++i];
      } else {
        cur += c;
      }
      continue;
    }
    if (c == '#') break;
    if (c == '"') {
      quoted = inWord = true;
    } else if (c == ' ' || c == '\t' || c == '\r') {
      if (inWord) out.push_back(cur);
      cur.clear();
      inWord = false;
    } else {
      cur += c;
      inWord = true;
    }
  }
  if (inWord) out.push_back(cur);
  return out;
}

std::vector<std::vector<std::string>> LinesOfWords(const std::string& text) {
  std::vector<std::vector<std::string>> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    auto w = Words(line);
    if (!w.empty()) out.push_back(std::move(w));
  }
  return out;
}

std::optional<std::string> SecretFor(const std::string& root, const std::string& user,
                                     const std::string& remote) {
  for (const char* file : {"/etc/ppp/chap-secrets", "/etc/ppp/pap-secrets"}) {
    auto text = ReadSmallFile(root + file);
    if (!text) continue;
    for (const auto& w : LinesOfWords(*text)) {
      if (w.size() < 3 || w[0] != user) continue;
      if (w[1] != "*" && !remote.empty() && w[1] != remote) continue;
      // "@file" secrets live elsewhere; the program does not follow them.
      if (!w[2].empty() && w[2][0] == '@') return std::nullopt;
      return w[2];
    }
  }
  return std::nullopt;
}

std::optional<PppoeEntry> FromPppdPeers(const std::string& root) {
  const std::string dir = root + "/etc/ppp/peers";
  for (const std::string& name : ListFilesSorted(dir)) {
    auto text = ReadSmallFile(dir + "/" + name);
    if (!text) continue;
    bool pppoe = false;
    std::string user, remote;
    for (const auto& w : LinesOfWords(*text)) {
      if (w[0] == "plugin" && w.size() > 1 && w[1].find("pppoe") != std::string::npos) pppoe = true;
      if (w[0].rfind("nic-", 0) == 0) pppoe = true;
      if (w[0] == "pty" && w.size() > 1 && w[1].find("pppoe") != std::string::npos) pppoe = true;
      if (w[0] == "user" && w.size() > 1) user = w[1];
      if (w[0] == "remotename" && w.size() > 1) remote = w[1];
    }
    if (!pppoe) continue;
    PppoeEntry e;
    e.user = user;
    if (!user.empty()) e.password = SecretFor(root, user, remote);
    return e;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PppoeEntry> ReadFirstPppoeEntry(const std::string& fileRoot) {
  if (auto e = FromNetworkManager(fileRoot)) return e;
  return FromPppdPeers(fileRoot);
}

}  // namespace orv
