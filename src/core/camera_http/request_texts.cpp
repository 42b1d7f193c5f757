#include "core/camera_http/request_texts.h"

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

template <std::size_t N>
std::string Esc(const FixedText<N>& t) {
  return EscapeQueryValue(t.view());
}
std::string Num(long long v) {
  return std::to_string(v);
}

std::string NetworkParameters(const SessionRecord& s, bool full) {
  const NetworkSettings& n = s.net;
  const SystemSettings& y = s.sys;
  std::string p;
  p += "&IPType=" +
       ((!full || s.legacyCamera == 1 || s.linkWireless != 1) ? Num(n.IPType) : std::string("3"));
  p += "&IPAddr=" + Esc(n.IPAddr) + "&Netmask=" + Esc(n.Netmask) + "&Gateway=" + Esc(n.Gateway) +
       "&DNS1=" + Esc(n.DNS1) + "&DNS2=" + Esc(n.DNS2);
  if (full) {
    p += "&WIPType=" + Num(n.WIPType) + "&WIPAddr=" + Esc(n.WIPAddr) +
         "&WNetmask=" + Esc(n.WNetmask) + "&WGateway=" + Esc(n.WGateway) +
         "&WDNS1=" + Esc(n.WDNS1) + "&WDNS2=" + Esc(n.WDNS2) + "&WireType=" + Num(n.WireType) +
         "&WireSec=" + Num(n.WireSec) + "&SSID=" + Esc(n.SSID) + "&WireCh=" + Num(n.WireCh) +
         "&WEPAuthM=" + Num(n.WEPAuthM) + "&WEPMode=" + Num(n.WEPMode) +
         "&WEPKey0=" + Esc(n.WEPKey0) + "&WEPKey1=" + Esc(n.WEPKey1) +
         "&WEPKey2=" + Esc(n.WEPKey2) + "&WEPKey3=" + Esc(n.WEPKey3) +
         "&WEPKeyE0=" + Num(n.WEPKeyE0) + "&WPAKey=" + Esc(n.WPAKey) + "&WPAEnc=" + Num(n.WPAEnc) +
         "&WPAPSKeyM=" + Num(n.WPAPSKeyM) + "&TxRate=" + Esc(n.TxRate) +
         "&WepKeyL=" + Num(n.WepKeyL);
  }
  p += "&UPnPE=" + Num(y.UPnPE) + "&PAccount=" + Esc(n.PAccount) + "&PPwd=" + Esc(n.PPwd) +
       "&PVP=" + Esc(n.PVP) + "&HttpPort=" + Num(static_cast<std::int32_t>(y.HttpPort));
  p += (s.legacyCamera == 1 ? "&SPort=" : "&RTPPort=") +
       Num(static_cast<std::int32_t>(y.secondPort));
  p += "&RTSPPort=" + Num(static_cast<std::int32_t>(y.RTSPPort));
  return p;
}

}  // namespace

std::string WriteParameters(const SessionRecord& s, int page, int subPage) {
  const SystemSettings& y = s.sys;
  switch (page) {
    case kPageTime:
      return "&NTPEN=" + Num(y.NTPEN) + "&NTPName=" + Esc(y.NTPName) +
             "&NTPPoll=" + Num(y.NTPPoll) + "&Timezone=" + Num(y.Timezone) +
             "&Date=" + Esc(y.Date) + "&Time=" + Esc(y.Time);
    case kPageSystem:
      return "&TitleBar=" + Esc(y.TitleBar) + "&Desp=" + Esc(y.Desp);
    case kPageNetwork:
      return NetworkParameters(s, subPage != kSubPageShortNetwork);
    case kPageDdns:
      return "&DDNSSrv=" + Esc(y.DDNSSrv) + "&DDNS=" + Num(y.DDNS) +
             "&DDNSUser=" + Esc(y.DDNSUser) + "&DDNSPwd=" + Esc(y.DDNSPwd) +
             "&DDNSHost=" + Esc(y.DDNSHost);
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
