// The JSON lab description (format at the top of camsim.h). Strict: an unknown key is a typo that
// would otherwise silently leave a camera at its defaults.
#include <arpa/inet.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

#include "camsim.h"
#include "core/util/ipv4.h"

namespace camsim {
namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  throw std::runtime_error(where + ": " + what);
}

void CheckKeys(const json& obj, const std::string& where, const std::set<std::string>& allowed) {
  if (!obj.is_object()) Fail(where, "must be an object");
  for (auto it = obj.begin(); it != obj.end(); ++it)
    if (!allowed.count(it.key())) Fail(where, "unknown key \"" + it.key() + "\"");
}

std::string Text(const json& obj, const char* key, const std::string& where, std::string def) {
  if (!obj.contains(key)) return def;
  const json& v = obj.at(key);
  if (v.is_string()) return v.get<std::string>();
  if (v.is_number_integer()) return std::to_string(v.get<long long>());
  Fail(where + "." + key, "must be a string");
}

long long Number(const json& obj, const char* key, const std::string& where, long long def,
                 long long lo, long long hi) {
  if (!obj.contains(key)) return def;
  const json& v = obj.at(key);
  long long n = 0;
  if (v.is_number_integer()) {
    n = v.get<long long>();
  } else if (v.is_string()) {
    // Hexadecimal texts are allowed for magic numbers.
    const std::string s = v.get<std::string>();
    std::size_t used = 0;
    try {
      n = std::stoll(s, &used, 0);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used == 0 || used != s.size()) Fail(where + "." + key, "not a number: " + s);
  } else {
    Fail(where + "." + key, "must be a number");
  }
  if (n < lo || n > hi) Fail(where + "." + key, "out of range");
  return n;
}

bool Flag(const json& obj, const char* key, const std::string& where, bool def) {
  if (!obj.contains(key)) return def;
  if (!obj.at(key).is_boolean()) Fail(where + "." + key, "must be true or false");
  return obj.at(key).get<bool>();
}

void CheckAddress(const std::string& text, const std::string& where) {
  if (!orv::ParseIpv4(text)) Fail(where, "not an IPv4 address: " + text);
}

bool ParseMac(const std::string& text, unsigned char out[6]) {
  unsigned b[6];
  char tail = 0;
  if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &b[0], &b[1], &b[2], &b[3], &b[4],
                  &b[5], &tail) != 6)
    return false;
  for (int i = 0; i < 6; ++i) out[i] = static_cast<unsigned char>(b[i]);
  return true;
}

std::string MacPlus(const std::string& mac, unsigned k) {
  unsigned char b[6];
  ParseMac(mac, b);
  std::uint64_t v = 0;
  for (unsigned char x : b) v = (v << 8) | x;
  v = (v + k) & 0xFFFFFFFFFFFFull;
  char buf[18];
  std::snprintf(buf, sizeof buf, "%02X:%02X:%02X:%02X:%02X:%02X", unsigned(v >> 40 & 0xFF),
                unsigned(v >> 32 & 0xFF), unsigned(v >> 24 & 0xFF), unsigned(v >> 16 & 0xFF),
                unsigned(v >> 8 & 0xFF), unsigned(v & 0xFF));
  return buf;
}

// "SN0001" + 2 -> "SN0003"; a text without a trailing number gets "-2".
std::string CountUp(const std::string& text, unsigned k) {
  if (k == 0) return text;
  std::size_t start = text.size();
  while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1]))) --start;
  if (start == text.size() || text.size() - start > 9) return text + "-" + std::to_string(k);
  const std::string digits = text.substr(start);
  std::string n = std::to_string(std::stoull(digits) + k);
  if (n.size() < digits.size()) n.insert(0, digits.size() - n.size(), '0');
  return text.substr(0, start) + n;
}

Fault ParseFault(const std::string& s, const std::string& where) {
  if (s == "none") return Fault::None;
  if (s == "silent") return Fault::Silent;
  if (s == "never-close") return Fault::NeverClose;
  if (s == "oversize") return Fault::Oversize;
  if (s == "402") return Fault::Failure402;
  if (s == "404") return Fault::NotFound404;
  if (s == "refuse-credentials") return Fault::RefuseCredentials;
  if (s == "trickle") return Fault::Trickle;
  Fail(where, "unknown fault " + s);
}

std::vector<AccessPoint> DefaultAccessPoints() {
  AccessPoint second;
  second.channel = 11;
  second.mac = "00:11:22:33:44:77";
  second.ssid = "guest net";
  second.quality = 55;
  second.security = "NONE";
  second.algorithm = "NONE";
  return {AccessPoint{}, second};
}

AccessPoint ParseAccessPoint(const json& j, const std::string& where) {
  CheckKeys(j, where, {"channel", "mac", "ssid", "quality", "mode", "security", "algorithm"});
  AccessPoint ap;
  ap.channel = static_cast<int>(Number(j, "channel", where, ap.channel, 0, 255));
  ap.mac = Text(j, "mac", where, ap.mac);
  ap.ssid = Text(j, "ssid", where, ap.ssid);
  ap.quality = static_cast<int>(Number(j, "quality", where, ap.quality, 0, 255));
  ap.mode = Text(j, "mode", where, ap.mode);
  ap.security = Text(j, "security", where, ap.security);
  ap.algorithm = Text(j, "algorithm", where, ap.algorithm);
  return ap;
}

std::map<std::string, std::string> TextMap(const json& obj, const char* key,
                                           const std::string& where) {
  std::map<std::string, std::string> out;
  if (!obj.contains(key)) return out;
  const json& m = obj.at(key);
  if (!m.is_object()) Fail(where + "." + key, "must be an object");
  for (auto it = m.begin(); it != m.end(); ++it)
    out[it.key()] = Text(m, it.key().c_str(), where + "." + key, "");
  return out;
}

std::vector<CameraConfig> ParseCamera(const json& j, const std::string& where) {
  CheckKeys(j, where,
            {"name",
             "count",
             "bindAddress",
             "httpPort",
             "manageAddress",
             "mac",
             "address",
             "description",
             "cameraId",
             "interface",
             "secondPort",
             "magic",
             "replyType",
             "replyLength",
             "unterminatedText",
             "replyTo",
             "replyPort",
             "answerDiscovery",
             "family",
             "user",
             "password",
             "settings",
             "rawPages",
             "crlfLines",
             "fault",
             "oversizeBytes",
             "trickleIntervalMs",
             "quietAfterWriteMs",
             "wps",
             "wpsDurationMs",
             "scanSum",
             "accessPoints"});
  CameraConfig c;
  const std::string family = Text(j, "family", where, "config");
  if (family == "legacy") {
    c.family = Family::Legacy;
    c.description = "Vexor-41H";
  } else if (family != "config") {
    Fail(where + ".family", "must be \"legacy\" or \"config\"");
  }
  c.name = Text(j, "name", where, "");
  c.bindAddress = Text(j, "bindAddress", where, c.bindAddress);
  CheckAddress(c.bindAddress, where + ".bindAddress");
  c.httpPort = static_cast<std::uint16_t>(Number(j, "httpPort", where, 0, 0, 65535));
  c.manageAddress = Flag(j, "manageAddress", where, false);
  c.mac = Text(j, "mac", where, c.mac);
  unsigned char mac[6];
  if (!ParseMac(c.mac, mac)) Fail(where + ".mac", "not a MAC address: " + c.mac);
  c.address = Text(j, "address", where, "");
  if (!c.address.empty()) CheckAddress(c.address, where + ".address");
  c.description = Text(j, "description", where, c.description);
  c.cameraId = Text(j, "cameraId", where, c.cameraId);
  c.interfaceWord = Text(j, "interface", where, c.interfaceWord);
  c.secondPort = static_cast<std::uint32_t>(Number(j, "secondPort", where, 5000, 0, 0xFFFFFFFFll));
  c.magic = static_cast<std::uint32_t>(Number(j, "magic", where, 0x00F6D9A4, 0, 0xFFFFFFFFll));
  c.replyType = static_cast<std::uint32_t>(Number(j, "replyType", where, 2, 0, 0xFFFFFFFFll));
  c.replyLength = static_cast<int>(Number(j, "replyLength", where, 284, 0, 1472));
  c.unterminatedText = Flag(j, "unterminatedText", where, false);
  c.replyTo = Text(j, "replyTo", where, c.replyTo);
  if (c.replyTo != "sender") CheckAddress(c.replyTo, where + ".replyTo");
  c.replyPort = static_cast<std::uint16_t>(Number(j, "replyPort", where, 49160, 0, 65535));
  c.answerDiscovery = Flag(j, "answerDiscovery", where, true);
  c.user = Text(j, "user", where, c.user);
  c.password = Text(j, "password", where, "");
  c.settings = TextMap(j, "settings", where);
  c.rawPages = TextMap(j, "rawPages", where);
  c.crlfLines = Flag(j, "crlfLines", where, false);
  c.fault = ParseFault(Text(j, "fault", where, "none"), where + ".fault");
  c.oversizeBytes = static_cast<int>(Number(j, "oversizeBytes", where, 65536, 0, 64 << 20));
  c.trickleIntervalMs = static_cast<int>(Number(j, "trickleIntervalMs", where, 20, 1, 60000));
  c.quietAfterWriteMs = static_cast<int>(Number(j, "quietAfterWriteMs", where, 0, 0, 3600000));
  const std::string wps = Text(j, "wps", where, "succeed");
  if (wps == "succeed")
    c.wpsOutcome = WpsOutcome::Succeed;
  else if (wps == "fail")
    c.wpsOutcome = WpsOutcome::Fail;
  else if (wps == "never-start")
    c.wpsOutcome = WpsOutcome::NeverStart;
  else
    Fail(where + ".wps", "must be succeed, fail or never-start");
  c.wpsDurationMs = static_cast<int>(Number(j, "wpsDurationMs", where, 2000, 0, 3600000));
  c.scanSum = static_cast<int>(Number(j, "scanSum", where, -1, -1, 1 << 20));
  if (j.contains("accessPoints")) {
    if (!j.at("accessPoints").is_array()) Fail(where + ".accessPoints", "must be a list");
    int n = 0;
    for (const auto& ap : j.at("accessPoints"))
      c.accessPoints.push_back(
          ParseAccessPoint(ap, where + ".accessPoints[" + std::to_string(n++) + "]"));
  } else {
    c.accessPoints = DefaultAccessPoints();
  }
  const long long count = Number(j, "count", where, 1, 1, 4096);
  if (c.httpPort != 0 && c.httpPort + count - 1 > 65535) Fail(where + ".count", "ports run out");
  std::vector<CameraConfig> out;
  for (unsigned k = 0; k < count; ++k) {
    CameraConfig copy = c;
    if (c.httpPort != 0) copy.httpPort = static_cast<std::uint16_t>(c.httpPort + k);
    copy.mac = MacPlus(c.mac, k);
    copy.cameraId = CountUp(c.cameraId, k);
    if (!c.name.empty()) copy.name = CountUp(c.name, k);
    out.push_back(std::move(copy));
  }
  return out;
}

LinkServerConfig ParseLinkServer(const json& j) {
  const std::string where = "linkServer";
  CheckKeys(j, where, {"bindAddress", "port", "accounts", "markFirstCamera"});
  LinkServerConfig s;
  s.bindAddress = Text(j, "bindAddress", where, s.bindAddress);
  CheckAddress(s.bindAddress, where + ".bindAddress");
  s.port = static_cast<std::uint16_t>(Number(j, "port", where, 0, 0, 65535));
  s.markFirstCamera = Flag(j, "markFirstCamera", where, false);
  if (!j.contains("accounts")) return s;
  if (!j.at("accounts").is_array()) Fail(where + ".accounts", "must be a list");
  int n = 0;
  for (const auto& a : j.at("accounts")) {
    const std::string aw = where + ".accounts[" + std::to_string(n++) + "]";
    CheckKeys(a, aw, {"id", "password", "page", "cameras"});
    LinkServerAccount acc;
    acc.id = Text(a, "id", aw, "");
    acc.password = Text(a, "password", aw, "");
    acc.page = static_cast<int>(Number(a, "page", aw, 0, 0, 3));
    if (a.contains("cameras")) {
      if (!a.at("cameras").is_array()) Fail(aw + ".cameras", "must be a list");
      int m = 0;
      for (const auto& c : a.at("cameras")) {
        const std::string cw = aw + ".cameras[" + std::to_string(m++) + "]";
        CheckKeys(c, cw, {"id", "ip", "port", "mac", "modelName"});
        acc.cameras.push_back({Text(c, "id", cw, ""), Text(c, "ip", cw, ""),
                               Text(c, "port", cw, "80"), Text(c, "mac", cw, ""),
                               Text(c, "modelName", cw, "")});
      }
    }
    s.accounts.push_back(std::move(acc));
  }
  return s;
}

}  // namespace

LabConfig LoadConfig(const json& doc) {
  CheckKeys(doc, "lab", {"discoveryPort", "logPath", "defaults", "cameras", "linkServer"});
  LabConfig lab;
  lab.discoveryPort =
      static_cast<std::uint16_t>(Number(doc, "discoveryPort", "lab", 49160, 0, 65535));
  lab.logPath = Text(doc, "logPath", "lab", "");
  json defaults = json::object();
  if (doc.contains("defaults")) {
    defaults = doc.at("defaults");
    if (!defaults.is_object()) Fail("defaults", "must be an object");
  }
  if (doc.contains("cameras")) {
    if (!doc.at("cameras").is_array()) Fail("cameras", "must be a list");
    int n = 0;
    for (const auto& cam : doc.at("cameras")) {
      const std::string where = "cameras[" + std::to_string(n++) + "]";
      if (!cam.is_object()) Fail(where, "must be an object");
      json merged = defaults;
      for (auto it = cam.begin(); it != cam.end(); ++it) merged[it.key()] = it.value();
      for (auto& c : ParseCamera(merged, where)) lab.cameras.push_back(std::move(c));
    }
  }
  if (doc.contains("linkServer")) lab.linkServer = ParseLinkServer(doc.at("linkServer"));
  return lab;
}

}  // namespace camsim
