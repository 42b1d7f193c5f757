#include "core/camera_http/request_texts.h"

#include <initializer_list>

#include "core/camera_http/camera_field_table.h"
#include "core/camera_http/requests.h"
#include "core/camera_http/settings_parser.h"
#include "core/camera_http/transport.h"

namespace orv {

namespace {

constexpr std::string_view kLegacyPath = "/goform/Parameters";
constexpr std::string_view kLegacyTimePath = "/cgi-bin/set_time.cgi";

std::string AgentLine() {
  return "User-Agent: " + std::string(kAgentName) + "-" + std::string(kAgentVersion) + "\n";
}

std::string Header(const SessionRecord& s) {
  return BasicAuthHeader(s.userName.view(), s.password.view());
}

// The Basic header goes to cameras that ask for it and to every config-family camera.
bool WantsHeader(const SessionRecord& s) {
  return s.sys.SECUEN == 1 || s.legacyCamera == 0;
}

std::string GeneralAuth(const SessionRecord& s) {
  return WantsHeader(s) ? Header(s) : "\n";
}
std::string ScanAuth(const SessionRecord& s) {
  return WantsHeader(s) ? Header(s) : "";
}

// "GET <path>?Act=<act>[&Page=<page>]<params> HTTP/1.0\nUser-Agent: ...\n"
std::string Head(std::string_view path, int act, bool withPage, int page, std::string_view params) {
  std::string r = "GET ";
  r += path;
  r += "?Act=" + std::to_string(act);
  if (withPage) r += "&Page=" + std::to_string(page);
  r += params;
  r += " HTTP/1.0\n";
  r += AgentLine();
  return r;
}

// "&Key=value" for each named field, in the order given: the order every firmware expects.
std::string Params(const SessionRecord& s, std::initializer_list<std::string_view> names) {
  std::string p;
  for (const std::string_view name : names) {
    const CameraField* field = FindCameraField(name);
    if (field == nullptr) continue;  // a typo here shows in the byte-exact tests
    p += '&';
    p += field->KeyFor(s);
    p += '=';
    p += WriteValueText(s, *field);
  }
  return p;
}

std::string NetworkParameters(const SessionRecord& s, bool full) {
  std::string p;
  // A wireless link on a config-family camera is written as IPType 3 in the full write.
  if (full && s.legacyCamera != 1 && s.linkWireless == 1) {
    p += "&IPType=3";
  } else {
    p += Params(s, {"IPType"});
  }
  p += Params(s, {"IPAddr", "Netmask", "Gateway", "DNS1", "DNS2"});
  if (full) {
    p += Params(s, {"WIPType",  "WIPAddr",   "WNetmask", "WGateway", "WDNS1",    "WDNS2",
                    "WireType", "WireSec",   "SSID",     "WireCh",   "WEPAuthM", "WEPMode",
                    "WEPKey0",  "WEPKey1",   "WEPKey2",  "WEPKey3",  "WEPKeyE0", "WPAKey",
                    "WPAEnc",   "WPAPSKeyM", "TxRate",   "WepKeyL"});
  }
  p += Params(s, {"UPnPE", "PAccount", "PPwd", "PVP", "HttpPort", "secondPort", "RTSPPort"});
  return p;
}

}  // namespace

std::string WriteParameters(const SessionRecord& s, int page, int subPage) {
  switch (page) {
    case kPageTime:
      return Params(s, {"NTPEN", "NTPName", "NTPPoll", "Timezone", "Date", "Time"});
    case kPageSystem:
      return Params(s, {"TitleBar", "Desp"});
    case kPageNetwork:
      return NetworkParameters(s, subPage != kSubPageShortNetwork);
    case kPageDdns:
      return Params(s, {"DDNSSrv", "DDNS", "DDNSUser", "DDNSPwd", "DDNSHost"});
    default:
      return {};
  }
}

std::string CameraRequestText(const SessionRecord& s, int act, int page, int subPage) {
  const bool legacy = s.legacyCamera == 1;
  const bool write = act == kActWrite;
  const std::string params = write ? WriteParameters(s, page, subPage) : std::string();
  std::string r;
  if (page == kPageTime) {
    r = Head(legacy ? kLegacyTimePath : "/cgi-bin/config_time.cgi", act, false, 0, params);
  } else {
    std::string_view path = kLegacyPath;
    if (write && page == kPageNetwork && subPage == kSubPageShortNetwork && legacy) {
      path = "/cgi-bin/config_network.cgi?";  // this firmware's short network write
    } else if (!legacy) {
      switch (page) {
        case kPageSystem:
          path = "/cgi-bin/config_sysinfo.cgi";
          break;
        case kPageNetwork:
          path = "/cgi-bin/config_network.cgi";
          break;
        case kPageDdns:
          path = "/cgi-bin/config_ddns.cgi";
          break;
        default:
          break;
      }
    }
    r = Head(path, act, true, page, params);
  }
  r += GeneralAuth(s);
  if (write) r += "\n";
  return r;
}

std::string LoginReadText(const SessionRecord& s) {
  const std::string_view path =
      s.legacyCamera == 1 ? kLegacyPath : std::string_view("/cgi-bin/config_sysinfo.cgi");
  return Head(path, kActRead, true, kPageSystem, "") + Header(s);
}

std::string ScanRequestText(const SessionRecord& s) {
  return "GET /cgi-bin/ap_scan.cgi HTTP/1.0\n" + AgentLine() + ScanAuth(s) + "\n ";
}

std::string WpsRequestText(const SessionRecord& s, int act, int page) {
  if (act == kActRead) {
    return "GET /cgi-bin/wps.cgi HTTP/1.0\n" + AgentLine() + ScanAuth(s) + "\n ";
  }
  const std::string_view path =
      s.legacyCamera == 1 ? kLegacyPath : std::string_view("/cgi-bin/config_network.cgi");
  return Head(path, act, true, page, "&WPS&WPS_ACK") + ScanAuth(s) + "\n";
}

std::string LinkServerRequestText(std::string_view id, std::string_view password, int page) {
  std::string r = "GET /cgi-bin/Parameters?Act=1&Page=" + std::to_string(page);
  r += "&ID=" + EscapeQueryValue(id) + "&Password=" + EscapeQueryValue(password);
  r += " HTTP/1.0\n " + AgentLine() + "\n";
  return r;
}

}  // namespace orv
