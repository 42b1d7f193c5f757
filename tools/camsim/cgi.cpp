// Request parsing and the answers of the camera's CGI programs and of the link server.
#include "cgi.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace camsim::detail {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

std::optional<int> ToInt(std::string_view s) {
  int v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

const Param* FindParam(const ParsedRequest& r, std::string_view key) {
  for (const auto& p : r.params)
    if (p.key == key) return &p;
  return nullptr;
}

std::optional<int> IntParam(const ParsedRequest& r, std::string_view key) {
  const Param* p = FindParam(r, key);
  if (!p || !p->value) return std::nullopt;
  return ToInt(*p->value);
}

std::string Get(const CameraState& c, const std::string& key) {
  auto it = c.settings.find(key);
  return it == c.settings.end() ? std::string() : it->second;
}

// Body lines in the camera's chosen line ending.
class Lines {
 public:
  explicit Lines(const CameraState& c) : m_camera(c), m_eol(c.config.crlfLines ? "\r\n" : "\n") {}
  void Key(const std::string& key) { Put(key, Get(m_camera, key)); }
  void Put(std::string_view key, std::string_view value) {
    m_text.append(key).append("=").append(value).append(m_eol);
  }
  std::string Take() { return std::move(m_text); }

 private:
  const CameraState& m_camera;
  std::string m_eol;
  std::string m_text;
};

std::string Answer401() {
  return "HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"camera\"\r\n"
         "Content-Type: text/html\r\n\r\n<html><body>401 Unauthorized</body></html>\n";
}

std::string Answer402() {
  return "HTTP/1.0 402 Failure\r\nContent-Type: text/html\r\n\r\n";
}

std::string Oversized(std::string body, int size) {
  // Valid settings first, so a client that reads only its buffer still sees a real answer.
  const std::size_t target = static_cast<std::size_t>(std::max(size, 0));
  static constexpr std::string_view kFill = "Padding=................................\n";
  while (body.size() < target)
    body.append(kFill.substr(0, std::min(kFill.size(), target - body.size())));
  return body;
}

bool Authorized(const CameraState& c, const ParsedRequest& r) {
  if (c.config.fault == Fault::RefuseCredentials) return false;
  if (c.config.password.empty()) return true;
  return r.credentials && *r.credentials == c.config.user + ":" + c.config.password;
}

void StoreWrite(CameraState& c, const ParsedRequest& r) {
  for (const auto& p : r.params) {
    if (p.key == "Act" || p.key == "Page" || !p.value) continue;
    c.settings[p.key] = *p.value;
  }
}

// Act=3: the named keys, WPS state for the two WPS names.
std::string QueryBody(const CameraState& c, const ParsedRequest& r, Clock::time_point now) {
  Lines lines(c);
  int wps = 0, ack = 0;
  if (c.wps.started) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(now - c.wps.startedAt).count();
    if (elapsed < c.config.wpsDurationMs) {
      wps = 1;
    } else if (c.config.wpsOutcome == WpsOutcome::Succeed) {
      ack = 1;
    }
  }
  for (const auto& p : r.params) {
    if (p.value) continue;
    if (p.key == "WPS")
      lines.Put("WPS", std::to_string(wps));
    else if (p.key == "WPS_ACK")
      lines.Put("WPS_ACK", std::to_string(ack));
    else if (c.settings.count(p.key))
      lines.Key(p.key);
  }
  return lines.Take();
}

std::string Raw(const CameraState& c, const std::string& key, std::string generated) {
  auto it = c.config.rawPages.find(key);
  return it == c.config.rawPages.end() ? generated : it->second;
}

bool IsReadablePage(int page) {
  return page == 1 || page == 3 || page == 13 || page == 23 || page == 32 || page == 34;
}
bool IsWritablePage(int page) {
  return page == 1 || page == 3 || page == 13 || page == 18;
}
bool IsNetworkPage(int page) {
  return page == 3 || page == 18;
}

// What one request asks for, once the family's routes have been applied.
enum class Op { None, Read, Write, Query, TimeRead, TimeWrite, Scan, WpsStart };
struct Route {
  Op op = Op::None;
  int page = -1;
};

Route RouteLegacy(const ParsedRequest& r, int act, int page) {
  if (r.path == "/goform/Parameters" && !r.doubleQuestion) {
    if (act == 1 && IsReadablePage(page)) return {Op::Read, page};
    if (act == 2 && IsWritablePage(page)) return {Op::Write, page};
    if (act == 3 && page == 3) return {Op::Query, page};
  } else if (r.path == "/cgi-bin/set_time.cgi" && !r.doubleQuestion) {
    if (act == 1) return {Op::TimeRead, 0};
    if (act == 2) return {Op::TimeWrite, 0};
  } else if (r.path == "/cgi-bin/config_network.cgi" && r.doubleQuestion) {
    // The short network write reaches this program with a doubled "?"; the firmware takes it.
    if (act == 2 && IsNetworkPage(page)) return {Op::Write, 3};
  }
  return {};
}

Route RouteConfig(const ParsedRequest& r, int act, int page) {
  if (r.doubleQuestion) return {};
  auto pageProgram = [&](int own) -> Route {
    const bool pageOk = page == own || (own == 3 && page == 18 && act == 2);
    if (!pageOk) return {};
    if (act == 1) return {Op::Read, own};
    if (act == 2) return {Op::Write, own};
    if (act == 3 && own == 3) return {Op::Query, own};
    return {};
  };
  if (r.path == "/cgi-bin/config_sysinfo.cgi") return pageProgram(1);
  if (r.path == "/cgi-bin/config_network.cgi") return pageProgram(3);
  if (r.path == "/cgi-bin/config_ddns.cgi") return pageProgram(13);
  if (r.path == "/cgi-bin/config_time.cgi") {
    if (act == 1) return {Op::TimeRead, 0};
    if (act == 2) return {Op::TimeWrite, 0};
  }
  if (r.path == "/goform/Parameters" && act == 1 && (page == 23 || page == 32 || page == 34))
    return {Op::Read, page};
  return {};
}

std::string NowText(const char* format) {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char buf[32];
  const std::size_t n = std::strftime(buf, sizeof buf, format, &tm);
  return std::string(buf, n);
}

std::string Prefix3(const std::string& address) {
  const auto last = address.rfind('.');
  return last == std::string::npos ? std::string("192.168.0") : address.substr(0, last);
}

}  // namespace

std::size_t FindHeadEnd(std::string_view buffer) {
  // The first empty line, whichever line ending the client used.
  for (std::size_t i = 0; i < buffer.size(); ++i) {
    if (buffer[i] != '\n') continue;
    if (i + 1 < buffer.size() && buffer[i + 1] == '\n') return i + 2;
    if (i + 2 < buffer.size() && buffer[i + 1] == '\r' && buffer[i + 2] == '\n') return i + 3;
  }
  return std::string_view::npos;
}

std::string PercentDecode(std::string_view text) {
  auto hex = [](char ch) -> int {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
  };
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0;
  int count = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] != '='; ++i) {
    const auto pos = kAlphabet.find(text[i]);
    if (pos == std::string_view::npos) return std::nullopt;
    bits = (bits << 6) | static_cast<unsigned>(pos);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out.push_back(static_cast<char>((bits >> count) & 0xFF));
    }
  }
  for (; i < text.size(); ++i)
    if (text[i] != '=') return std::nullopt;
  return out;
}

ParsedRequest ParseRequestHead(std::string_view head) {
  ParsedRequest r;
  const std::size_t eol = head.find('\n');
  std::string_view line = TrimBlanks(head.substr(0, eol));
  const std::size_t sp1 = line.find(' ');
  if (sp1 == std::string_view::npos) return r;
  const std::size_t sp2 = line.find(' ', sp1 + 1);
  if (sp2 == std::string_view::npos) return r;
  if (!StartsWithNoCase(line.substr(sp2 + 1), "HTTP/")) return r;
  r.method = std::string(line.substr(0, sp1));
  std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
  std::string_view query;
  const std::size_t q = target.find('?');
  if (q != std::string_view::npos) {
    query = target.substr(q + 1);
    target = target.substr(0, q);
    if (!query.empty() && query.front() == '?') {
      r.doubleQuestion = true;
      query.remove_prefix(1);
    }
  }
  r.path = PercentDecode(target);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    std::string_view item = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (item.empty()) continue;
    Param p;
    const std::size_t eq = item.find('=');
    p.key = PercentDecode(item.substr(0, eq));
    if (eq != std::string_view::npos) p.value = PercentDecode(item.substr(eq + 1));
    r.params.push_back(std::move(p));
  }
  // Header lines; some clients put a blank before the header name.
  std::string_view rest = eol == std::string_view::npos ? std::string_view() : head.substr(eol + 1);
  while (!rest.empty()) {
    const std::size_t e = rest.find('\n');
    std::string_view h = TrimBlanks(rest.substr(0, e));
    rest = e == std::string_view::npos ? std::string_view() : rest.substr(e + 1);
    if (!StartsWithNoCase(h, "authorization:")) continue;
    std::string_view v = TrimBlanks(h.substr(std::strlen("authorization:")));
    if (!StartsWithNoCase(v, "basic ")) continue;
    r.credentials = Base64Decode(TrimBlanks(v.substr(6)));
    break;
  }
  r.valid = true;
  return r;
}

std::string NotFoundAnswer() {
  return "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n"
         "<html><body>404 Not Found</body></html>\n";
}

std::string OkAnswer(std::string_view body) {
  std::string out = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: ";
  out += std::to_string(body.size());
  out += "\r\nConnection: close\r\n\r\n";
  out += body;
  return out;
}

std::string PageBody(const CameraState& c, int page) {
  Lines l(c);
  switch (page) {
    case 1:
      for (const char* k : {"TitleBar", "Desp", "SECUEN", "ModelName"}) l.Key(k);
      break;
    case 3:
      for (const char* k :
           {"IPType",  "IPAddr",    "Netmask",  "Gateway", "DNS1",    "DNS2",     "WIPType",
            "WIPAddr", "WNetmask",  "WGateway", "WDNS1",   "WDNS2",   "Wireless", "WireType",
            "WireSec", "SSID",      "WireCh",   "ChType",  "TxRate",  "WEPAuthM", "WepKeyL",
            "WEPMode", "WEPKey0",   "WEPKey1",  "WEPKey2", "WEPKey3", "WEPKeyE0", "WPAKey",
            "WPAEnc",  "WPAPSKeyM", "UPnPE",    "HttpPort"})
        l.Key(k);
      l.Key(c.config.family == Family::Legacy ? "SPort" : "RTPPort");
      l.Key("RTSPPort");
      break;
    case 13:
      for (const char* k : {"DDNSSrv", "DDNS", "DDNSUser", "DDNSPwd", "DDNSHost"}) l.Key(k);
      break;
    case 23:
      l.Key("Version");
      break;
    case 32:
      // The capability page names its keys like the network page; the camera keeps them apart.
      l.Put("Wireless", Get(c, "wirelessCapable"));
      l.Put("WPS", Get(c, "wpsCapable"));
      l.Put("Transversal", Get(c, "Transversal"));
      break;
    case 34:
      for (const char* k : {"NATStat", "ExtIPAddr", "ExtHttpPort"}) l.Key(k);
      break;
    default:
      break;
  }
  return Raw(c, std::to_string(page), l.Take());
}

std::string TimeBody(const CameraState& c) {
  Lines l(c);
  for (const char* k : {"NTPEN", "NTPName", "NTPPoll", "Timezone"}) l.Key(k);
  // A clock nobody set runs with the host's.
  const std::string date = Get(c, "Date"), time = Get(c, "Time");
  l.Put("Date", date.empty() ? NowText("%Y/%m/%d") : date);
  l.Put("Time", time.empty() ? NowText("%H:%M:%S") : time);
  return Raw(c, "time", l.Take());
}

std::string ScanBody(const CameraState& c) {
  const auto& aps = c.config.accessPoints;
  const int sum = c.config.scanSum >= 0 ? c.config.scanSum : static_cast<int>(aps.size());
  std::string b = "<html><head><title>Site survey</title></head><body>\nscan AP sum = ";
  b += std::to_string(sum);
  b += "\n<table border=1>\n<tr><td>Site survey</td></tr>\n";
  int n = 0;
  for (const auto& ap : aps) {
    b += "<tr><td>AP" + std::to_string(++n) + " Channel=" + std::to_string(ap.channel) +
         " Mac_address=" + ap.mac + " SSID=\"" + ap.ssid +
         "\" Quality=" + std::to_string(ap.quality) + " Mode=" + ap.mode +
         " Security=" + ap.security + " Algorithm=" + ap.algorithm + "</td></tr>\n";
  }
  b += "</table></body></html>\n";
  return Raw(c, "scan", b);
}

Answer AnswerCamera(CameraState& c, const ParsedRequest& r, Clock::time_point now) {
  Answer a;
  switch (c.config.fault) {
    case Fault::Failure402:
      a.bytes = Answer402();
      return a;
    case Fault::NotFound404:
      a.bytes = NotFoundAnswer();
      return a;
    default:
      break;
  }
  if (!r.valid || r.method != "GET") {
    a.bytes = NotFoundAnswer();
    return a;
  }
  if (!Authorized(c, r)) {
    a.bytes = Answer401();
    return a;
  }
  std::string body;
  if (r.path == "/cgi-bin/ap_scan.cgi" && !r.doubleQuestion) {
    body = ScanBody(c);
  } else if (r.path == "/cgi-bin/wps.cgi" && !r.doubleQuestion) {
    if (c.config.wpsOutcome != WpsOutcome::NeverStart) {
      c.wps.started = true;
      c.wps.startedAt = now;
    }
    body = "OK\n";
  } else {
    const int act = IntParam(r, "Act").value_or(-1);
    const int page = IntParam(r, "Page").value_or(-1);
    const Route route =
        c.config.family == Family::Legacy ? RouteLegacy(r, act, page) : RouteConfig(r, act, page);
    switch (route.op) {
      case Op::None:
        a.bytes = NotFoundAnswer();
        return a;
      case Op::Read:
        body = PageBody(c, route.page);
        break;
      case Op::Write:
        StoreWrite(c, r);
        a.networkWrite = IsNetworkPage(route.page);
        body = "OK\n";
        break;
      case Op::Query:
        body = QueryBody(c, r, now);
        break;
      case Op::TimeRead:
        body = TimeBody(c);
        break;
      case Op::TimeWrite:
        StoreWrite(c, r);
        body = "OK\n";
        break;
      default:
        break;
    }
  }
  if (c.config.fault == Fault::Oversize) body = Oversized(std::move(body), c.config.oversizeBytes);
  a.bytes = OkAnswer(body);
  return a;
}

std::string AnswerLinkServer(const LinkServerConfig& server, const ParsedRequest& r) {
  if (!r.valid || r.method != "GET" || r.path != "/cgi-bin/Parameters" || r.doubleQuestion)
    return NotFoundAnswer();
  const int act = IntParam(r, "Act").value_or(-1);
  const int page = IntParam(r, "Page").value_or(-1);
  if (act != 1 || (page != 2 && page != 3)) return NotFoundAnswer();
  const Param* id = FindParam(r, "ID");
  const Param* pw = FindParam(r, "Password");
  const LinkServerAccount* account = nullptr;
  for (const auto& acc : server.accounts) {
    if (id && id->value && pw && pw->value && acc.id == *id->value && acc.password == *pw->value &&
        (acc.page == 0 || acc.page == page)) {
      account = &acc;
      break;
    }
  }
  if (!account) {
    return "HTTP/1.0 401 Unauthorized\r\nContent-Type: text/plain\r\n\r\nUnauthorized\n";
  }
  std::string body = "Total Camera=" + std::to_string(account->cameras.size()) + "\n";
  int k = 0;
  for (const auto& cam : account->cameras) {
    ++k;
    if (k > 1 || server.markFirstCamera) body += "Camera=" + std::to_string(k) + " ";
    body += "ID=" + cam.id + " IP=" + cam.ip + " Port=" + cam.port + " Mac_address=" + cam.mac +
            " Modelname=" + cam.modelName + "\n";
  }
  return OkAnswer(body);
}

}  // namespace camsim::detail

namespace camsim {

std::map<std::string, std::string> DefaultSettings(const CameraConfig& cam) {
  const bool legacy = cam.family == Family::Legacy;
  const std::string addr = cam.address.empty() ? cam.bindAddress : cam.address;
  const std::string gateway = detail::Prefix3(addr) + ".1";
  std::map<std::string, std::string> s = {
      {"TitleBar", "IPCAM"},
      {"Desp", "Network Camera"},
      {"SECUEN", cam.password.empty() ? "0" : "1"},
      {"ModelName", cam.description},
      {"IPType", "1"},
      {"IPAddr", addr},
      {"Netmask", "255.255.255.0"},
      {"Gateway", gateway},
      {"DNS1", gateway},
      {"DNS2", "0.0.0.0"},
      {"WIPType", "0"},
      {"WIPAddr", detail::Prefix3(addr) + ".201"},
      {"WNetmask", "255.255.255.0"},
      {"WGateway", gateway},
      {"WDNS1", gateway},
      {"WDNS2", "0.0.0.0"},
      {"Wireless", cam.interfaceWord == "wireless" ? "1" : "0"},
      {"WireType", "1"},
      {"WireSec", "3"},
      {"SSID", "lab-net"},
      {"WireCh", "6"},
      {"ChType", "0"},
      {"TxRate", "Auto"},
      {"WEPAuthM", "0"},
      {"WepKeyL", "0"},
      {"WEPMode", "0"},
      {"WEPKey0", ""},
      {"WEPKey1", ""},
      {"WEPKey2", ""},
      {"WEPKey3", ""},
      {"WEPKeyE0", "0"},
      {"WPAKey", "labpassword"},
      {"WPAEnc", "0"},
      {"WPAPSKeyM", "1"},
      {"UPnPE", "1"},
      {"HttpPort", std::to_string(cam.httpPort)},
      {legacy ? "SPort" : "RTPPort", std::to_string(cam.secondPort)},
      {"RTSPPort", "554"},
      {"PAccount", ""},
      {"PPwd", ""},
      {"PVP", ""},
      {"DDNS", "0"},
      {"DDNSSrv", ""},
      {"DDNSHost", ""},
      {"DDNSUser", ""},
      {"DDNSPwd", ""},
      {"NTPEN", "1"},
      {"NTPName", "ntp.lab.example"},
      {"NTPPoll", "24"},
      {"Timezone", "0"},
      {"Version", legacy ? "0.9.6.9" : "1.0.2.3"},
      {"wirelessCapable", "1"},
      {"wpsCapable", "1"},
      {"Transversal", "1"},
      {"NATStat", "1"},
      {"ExtIPAddr", "203.0.113.7"},
      {"ExtHttpPort", std::to_string(cam.httpPort)},
  };
  for (const auto& [k, v] : cam.settings) s[k] = v;
  return s;
}

std::string BuildDiscoveryReply(const CameraConfig& cam, std::uint32_t addressNetOrder,
                                std::uint32_t httpPort, std::uint32_t secondPort) {
  std::string out(284, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    out[at] = static_cast<char>(v >> 24);
    out[at + 1] = static_cast<char>(v >> 16);
    out[at + 2] = static_cast<char>(v >> 8);
    out[at + 3] = static_cast<char>(v);
  };
  put32(0, cam.magic);
  put32(4, cam.replyType);
  unsigned mac[6] = {};
  if (std::sscanf(cam.mac.c_str(), "%x:%x:%x:%x:%x:%x", &mac[0], &mac[1], &mac[2], &mac[3], &mac[4],
                  &mac[5]) == 6) {
    for (int i = 0; i < 6; ++i) out[8 + i] = static_cast<char>(mac[i] & 0xFF);
  }
  std::memcpy(&out[16], &addressNetOrder, 4);
  put32(20, httpPort);
  std::string text;
  if (cam.unterminatedText) {
    const std::string seed = cam.description + cam.cameraId + cam.interfaceWord + "X";
    while (text.size() < 256) text += seed;
    text.resize(256);
  } else {
    text = cam.description + '\0' + cam.cameraId + '\0' + cam.interfaceWord;
    text.resize(std::min<std::size_t>(text.size(), 255));  // the last byte stays a terminator
  }
  std::memcpy(&out[24], text.data(), text.size());
  put32(280, secondPort);
  out.resize(static_cast<std::size_t>(std::max(cam.replyLength, 0)), '\0');
  return out;
}

}  // namespace camsim
