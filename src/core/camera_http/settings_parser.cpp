#include "core/camera_http/settings_parser.h"

#include <limits>

namespace orv {

namespace {

bool IsKeyByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The position just after the first whole-key occurrence of key, or npos.
std::size_t FindKeyEnd(std::string_view text, std::string_view key) {
  if (key.empty()) return std::string_view::npos;
  std::size_t pos = text.find(key);
  while (pos != std::string_view::npos) {
    if (pos == 0 || !IsKeyByte(static_cast<unsigned char>(text[pos - 1]))) return pos + key.size();
    pos = text.find(key, pos + 1);
  }
  return std::string_view::npos;
}

// Where a value of the given style starts, or npos when it is absent.
std::size_t ValueStart(std::string_view text, std::string_view key, ValueStyle style) {
  const std::size_t at = FindKeyEnd(text, key);
  if (at == std::string_view::npos || at >= text.size()) return std::string_view::npos;
  const char c = text[at];
  if (c == '\n' || c == '\r' || c == '\0') return std::string_view::npos;
  if (style == ValueStyle::Cell && c == ' ') return std::string_view::npos;
  return at;
}

}  // namespace

std::optional<std::string_view> FindValue(std::string_view text, std::string_view key,
                                          ValueStyle style) {
  std::size_t at = ValueStart(text, key, style);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view stops = "\n\r";
  if (style == ValueStyle::Cell) {
    if (key == "SSID=") {
      // The name is quoted; skip the opening quote, but never a first letter of an unquoted one.
      if (at < text.size() && text[at] == '"') ++at;
      stops = "\"<\n\r";
    } else {
      stops = " <\n\r";
    }
  }
  std::size_t end = at;
  while (end < text.size() && text[end] != '\0' &&
         stops.find(text[end]) == std::string_view::npos) {
    ++end;
  }
  return text.substr(std::min(at, text.size()), end - std::min(at, text.size()));
}

std::optional<std::int32_t> FindNumber(std::string_view text, std::string_view key,
                                       ValueStyle style) {
  std::size_t p = ValueStart(text, key, style);
  if (p == std::string_view::npos) return std::nullopt;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = (text[p++] == '-');
  if (p >= text.size() || text[p] < '0' || text[p] > '9') return std::nullopt;
  // Saturate instead of overflowing on absurd digit runs.
  long long value = 0;
  constexpr long long kMax = static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
  for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
    value = std::min(kMax, value * 10 + (text[p] - '0'));
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

void ParseSettings(SessionRecord& s, std::string_view r, int page, int /*subPage*/) {
  auto text = [&](auto& field, std::string_view key) {
    field.clear();
    ExtractValue(field, key, r);
  };
  auto num = [&](auto& field, std::string_view key) { ExtractValue(field, key, r); };
  NetworkSettings& n = s.net;
  SystemSettings& y = s.sys;
  switch (page) {
    case 0:  // time, read with sub-page 15
      num(y.NTPEN, "NTPEN=");
      text(y.NTPName, "NTPName=");
      num(y.NTPPoll, "NTPPoll=");
      num(y.Timezone, "Timezone=");
      text(y.Date, "Date=");
      text(y.Time, "Time=");
      break;
    case 1:
      text(y.TitleBar, "TitleBar=");
      text(y.Desp, "Desp=");
      num(y.SECUEN, "SECUEN=");
      text(y.ModelName, "ModelName=");
      break;
    case 3:
      num(n.IPType, "IPType=");
      text(n.IPAddr, "IPAddr=");
      text(n.Netmask, "Netmask=");
      text(n.Gateway, "Gateway=");
      text(n.DNS1, "DNS1=");
      text(n.DNS2, "DNS2=");
      num(n.WIPType, "WIPType=");
      text(n.WIPAddr, "WIPAddr=");
      text(n.WNetmask, "WNetmask=");
      text(n.WGateway, "WGateway=");
      text(n.WDNS1, "WDNS1=");
      text(n.WDNS2, "WDNS2=");
      num(n.Wireless, "Wireless=");
      num(n.WireType, "WireType=");
      num(n.WireSec, "WireSec=");
      text(n.SSID, "SSID=");
      num(n.WireCh, "WireCh=");
      num(n.ChType, "ChType=");
      text(n.TxRate, "TxRate=");
      num(n.WEPAuthM, "WEPAuthM=");
      num(n.WepKeyL, "WepKeyL=");
      num(n.WEPMode, "WEPMode=");
      text(n.WEPKey0, "WEPKey0=");
      text(n.WEPKey1, "WEPKey1=");
      text(n.WEPKey2, "WEPKey2=");
      text(n.WEPKey3, "WEPKey3=");
      num(n.WEPKeyE0, "WEPKeyE0=");
      text(n.WPAKey, "WPAKey=");
      num(n.WPAEnc, "WPAEnc=");
      num(n.WPAPSKeyM, "WPAPSKeyM=");
      num(y.UPnPE, "UPnPE=");
      num(y.HttpPort, "HttpPort=");
      num(y.secondPort, s.legacyCamera == 1 ? "SPort=" : "RTPPort=");
      num(y.RTSPPort, "RTSPPort=");
      break;
    case 13:
      text(y.DDNSSrv, "DDNSSrv=");
      num(y.DDNS, "DDNS=");
      text(y.DDNSUser, "DDNSUser=");
      text(y.DDNSPwd, "DDNSPwd=");
      text(y.DDNSHost, "DDNSHost=");
      break;
    case 23:
      text(y.Version, "Version=");
      break;
    case 32:
      num(y.wirelessCapable, "Wireless=");
      num(y.wpsCapable, "WPS=");
      num(y.Transversal, "Transversal=");
      break;
    case 34:
      num(y.NATStat, "NATStat=");
      text(y.ExtIPAddr, "ExtIPAddr=");
      num(y.ExtHttpPort, "ExtHttpPort=");
      break;
    default:
      break;
  }
}

std::string EscapeQueryValue(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (const char ch : value) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\0') break;
    if (c == ' ') {
      out += "%20";
    } else if (c < 0x20 || c == 0x7f || c == '%' || c == '&' || c == '+' || c == '#' || c == '=' ||
               c == '?') {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

}  // namespace orv
