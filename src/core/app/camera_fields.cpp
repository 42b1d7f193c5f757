#include "core/app/camera_fields.h"

#include <charconv>
#include <cstdint>
#include <nlohmann/json.hpp>

namespace orv {

// ---- Camera fields by name

namespace {

// The camera fields in record order. f is called with the key and a reference to the field.
template <class Record, class F>
void ForEachCameraField(Record& s, F&& f) {
  auto& n = s.net;
  f("IPType", n.IPType);
  f("IPAddr", n.IPAddr);
  f("Netmask", n.Netmask);
  f("Gateway", n.Gateway);
  f("DNS1", n.DNS1);
  f("DNS2", n.DNS2);
  f("PAccount", n.PAccount);
  f("PPwd", n.PPwd);
  f("PVP", n.PVP);
  f("Wireless", n.Wireless);
  f("WireType", n.WireType);
  f("SSID", n.SSID);
  f("WireCh", n.WireCh);
  f("ChType", n.ChType);
  f("WireSec", n.WireSec);
  f("TxRate", n.TxRate);
  f("WIPType", n.WIPType);
  f("WIPAddr", n.WIPAddr);
  f("WNetmask", n.WNetmask);
  f("WGateway", n.WGateway);
  f("WDNS1", n.WDNS1);
  f("WDNS2", n.WDNS2);
  f("WPAEnc", n.WPAEnc);
  f("WPAPSKeyM", n.WPAPSKeyM);
  f("WPAKey", n.WPAKey);
  f("WEPAuthM", n.WEPAuthM);
  f("WEPMode", n.WEPMode);
  f("WEPKeyE0", n.WEPKeyE0);
  f("WepKeyL", n.WepKeyL);
  f("WEPKey0", n.WEPKey0);
  f("WEPKey1", n.WEPKey1);
  f("WEPKey2", n.WEPKey2);
  f("WEPKey3", n.WEPKey3);
  auto& y = s.sys;
  f("SECUEN", y.SECUEN);
  f("ModelName", y.ModelName);
  f("TitleBar", y.TitleBar);
  f("Desp", y.Desp);
  f("wpsCapable", y.wpsCapable);
  f("wirelessCapable", y.wirelessCapable);
  f("Transversal", y.Transversal);
  f("DDNS", y.DDNS);
  f("DDNSSrv", y.DDNSSrv);
  f("DDNSHost", y.DDNSHost);
  f("DDNSUser", y.DDNSUser);
  f("DDNSPwd", y.DDNSPwd);
  f("NTPEN", y.NTPEN);
  f("NTPName", y.NTPName);
  f("Timezone", y.Timezone);
  f("NTPPoll", y.NTPPoll);
  f("Date", y.Date);
  f("Time", y.Time);
  f("UPnPE", y.UPnPE);
  f("HttpPort", y.HttpPort);
  f("secondPort", y.secondPort);
  f("RTSPPort", y.RTSPPort);
  f("Version", y.Version);
  f("NATStat", y.NATStat);
  f("ExtIPAddr", y.ExtIPAddr);
  f("ExtHttpPort", y.ExtHttpPort);
}

// The user's choices that decide what a save writes.
template <class Record, class F>
void ForEachChoiceField(Record& s, F&& f) {
  f("wizardMode", s.wizardMode);
  f("useWps", s.useWps);
  f("newCamera", s.newCamera);
  f("linkWireless", s.linkWireless);
  f("linkPppoe", s.linkPppoe);
}

template <class Int>
bool ParseInteger(std::string_view text, Int& out) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
  return ec == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool Assign(std::uint8_t& field, std::string_view value, std::string* error) {
  unsigned v = 0;
  if (!ParseInteger(value, v) || v > 255) {
    if (error) *error = "expects a number from 0 to 255";
    return false;
  }
  field = static_cast<std::uint8_t>(v);
  return true;
}

bool Assign(std::int32_t& field, std::string_view value, std::string* error) {
  std::int32_t v = 0;
  if (!ParseInteger(value, v)) {
    if (error) *error = "expects a signed 32-bit number";
    return false;
  }
  field = v;
  return true;
}

bool Assign(std::uint32_t& field, std::string_view value, std::string* error) {
  std::uint32_t v = 0;
  if (!ParseInteger(value, v)) {
    if (error) *error = "expects a number from 0 to 4294967295";
    return false;
  }
  field = v;
  return true;
}

template <std::size_t N>
bool Assign(FixedText<N>& field, std::string_view value, std::string* error) {
  if (value.size() > N - 1 || value.find('\0') != std::string_view::npos) {
    if (error) *error = "takes at most " + std::to_string(N - 1) + " bytes";
    return false;
  }
  field = value;
  return true;
}

template <std::size_t N>
void Put(nlohmann::ordered_json& j, const char* key, const FixedText<N>& field) {
  j[key] = field.str();
}
void Put(nlohmann::ordered_json& j, const char* key, std::uint8_t v) {
  j[key] = int{v};
}
void Put(nlohmann::ordered_json& j, const char* key, std::int32_t v) {
  j[key] = v;
}
void Put(nlohmann::ordered_json& j, const char* key, std::uint32_t v) {
  j[key] = v;
}

}  // namespace

bool ApplyFieldAssignment(SessionRecord& session, std::string_view assignment, std::string* error) {
  const std::size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0) {
    if (error) *error = "expected Field=Value";
    return false;
  }
  const std::string_view name = assignment.substr(0, eq);
  const std::string_view value = assignment.substr(eq + 1);
  bool found = false;
  bool assigned = false;
  std::string reason;
  const auto visit = [&](const char* key, auto& field) {
    if (found || name != key) return;
    found = true;
    assigned = Assign(field, value, &reason);
  };
  ForEachCameraField(session, visit);
  ForEachChoiceField(session, visit);
  if (!found) {
    if (error) *error = "unknown field " + std::string(name);
    return false;
  }
  if (!assigned && error) *error = std::string(name) + " " + reason;
  return assigned;
}

nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session) {
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  ForEachCameraField(session, [&](const char* key, const auto& field) { Put(j, key, field); });
  j["userName"] = "";
  j["password"] = "";
  return j;
}

}  // namespace orv
