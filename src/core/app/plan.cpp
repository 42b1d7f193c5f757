#include "core/app/plan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "core/app/address_rules.h"
#include "core/app/camera_fields.h"
#include "core/app/isp_rules.h"
#include "core/app/system_rules.h"
#include "core/app/upnp_rules.h"
#include "core/app/wireless_rules.h"
#include "core/camera_http/camera_field_table.h"
#include "core/platform/codepage.h"
#include "core/platform/user_folders.h"
#include "core/util/csv.h"
#include "core/util/ipv4.h"

namespace orv {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::size_t kFieldsPerEntry = 128;
constexpr std::size_t kPathLimit = 4096;

// The record takes texts in the system code page; plans are UTF-8.
std::string Assignment(const CameraField& field, std::string_view value) {
  const std::string stored =
      field.kind == FieldKind::Text ? Utf8ToLocal(value) : std::string(value);
  return std::string(field.name) + "=" + stored;
}

// A field name and value a camera record can take; the reason when not. Secrets' values are never
// part of the reason.
bool CheckSet(std::string_view name, std::string_view value, std::string& why) {
  const CameraField* field = FindCameraField(name);
  if (field == nullptr) {
    why = "unknown field " + std::string(name);
    return false;
  }
  SessionRecord scratch;
  return ApplyFieldAssignment(scratch, Assignment(*field, value), &why);
}

std::size_t LineOf(std::string_view text, std::size_t byte) {
  byte = std::min(byte, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + byte, '\n'));
}

struct Seen {
  std::set<std::string> macs;
  std::set<std::string> addresses;
};

// Who the entry is for, checked for form and duplicates.
bool SetTarget(PlanEntry& e, std::string_view mac, std::string_view address, Seen& seen,
               std::string& error) {
  if (mac.empty() == address.empty()) {
    error = e.where + ": give either a MAC or an address";
    return false;
  }
  if (!mac.empty()) {
    const auto m = NormaliseMac(mac);
    if (!m) {
      error = e.where + ": the MAC must look like 00:1A:2B:3C:4D:5E";
      return false;
    }
    if (!seen.macs.insert(*m).second) {
      error = e.where + ": MAC " + *m + " is already in the plan";
      return false;
    }
    e.mac = *m;
  } else {
    if (!ParseIpv4(address)) {
      error = e.where + ": the address must be a dotted quad such as 192.168.0.98";
      return false;
    }
    if (!seen.addresses.insert(std::string(address)).second) {
      error = e.where + ": address " + std::string(address) + " is already in the plan";
      return false;
    }
    e.address = address;
  }
  return true;
}

bool AddSet(PlanEntry& e, std::string_view name, std::string_view value, std::string& error) {
  std::string why;
  if (!CheckSet(name, value, why)) {
    error = e.where + ": " + why;
    return false;
  }
  if (e.sets.size() >= kFieldsPerEntry) {
    error = e.where + ": more than " + std::to_string(kFieldsPerEntry) + " fields";
    return false;
  }
  e.sets.emplace_back(name, value);
  return true;
}

bool PathValue(const Json& v, const std::string& where, std::string& out, std::string& error) {
  if (!v.is_string() || v.get_ref<const std::string&>().empty() ||
      v.get_ref<const std::string&>().size() > kPathLimit) {
    error = where + ": password_file must be a file name";
    return false;
  }
  out = v.get<std::string>();
  return true;
}

bool ParseJsonEntry(const Json& j, PlanEntry& e, Seen& seen, std::string& error) {
  if (!j.is_object()) {
    error = e.where + ": expected an object with \"mac\" or \"address\" and \"set\"";
    return false;
  }
  std::string mac;
  std::string address;
  for (const auto& [key, v] : j.items()) {
    if (key == "mac" || key == "address") {
      if (!v.is_string()) {
        error = e.where + ": " + key + " must be a text";
        return false;
      }
      (key == "mac" ? mac : address) = v.get<std::string>();
    } else if (key == "password_file") {
      if (!PathValue(v, e.where, e.passwordFile, error)) return false;
    } else if (key != "set") {
      error = e.where + ": unknown key \"" + key + "\"";
      return false;
    }
  }
  if (!SetTarget(e, mac, address, seen, error)) return false;
  const auto set = j.find("set");
  if (set == j.end() || !set->is_object() || set->empty()) {
    error = e.where + ": \"set\" must be an object naming at least one field";
    return false;
  }
  for (const auto& [name, v] : set->items()) {
    std::string value;
    if (v.is_string()) {
      value = v.get<std::string>();
    } else if (v.is_number_integer()) {
      value = v.dump();
    } else {
      error = e.where + ": " + name + " must be a text or a whole number";
      return false;
    }
    if (!AddSet(e, name, value, error)) return false;
  }
  return true;
}

bool ParseJsonPlan(std::string_view text, Plan& plan, std::string& error) {
  Json doc;
  try {
    doc = Json::parse(text);
  } catch (const Json::parse_error& e) {
    error =
        "line " + std::to_string(LineOf(text, e.byte == 0 ? 0 : e.byte - 1)) + ": not valid JSON";
    return false;
  } catch (const Json::exception&) {
    // A number too large for any field, for one.
    error = "the plan: not valid JSON (a value out of range)";
    return false;
  }
  const Json* cameras = &doc;
  if (doc.is_object()) {
    for (const auto& [key, v] : doc.items()) {
      if (key == "password_file") {
        if (!PathValue(v, "the plan", plan.passwordFile, error)) return false;
      } else if (key != "cameras") {
        error = "the plan: unknown key \"" + key + "\"";
        return false;
      }
    }
    const auto it = doc.find("cameras");
    if (it == doc.end()) {
      error = "the plan: no \"cameras\" list";
      return false;
    }
    cameras = &*it;
  }
  if (!cameras->is_array() || cameras->empty()) {
    error = "the plan: \"cameras\" must be a list of at least one entry";
    return false;
  }
  if (cameras->size() > kPlanEntryLimit) {
    error = "the plan: more than " + std::to_string(kPlanEntryLimit) + " entries";
    return false;
  }
  Seen seen;
  for (std::size_t i = 0; i < cameras->size(); ++i) {
    PlanEntry e;
    e.where = "entry " + std::to_string(i + 1);
    if (!ParseJsonEntry((*cameras)[i], e, seen, error)) return false;
    plan.entries.push_back(std::move(e));
  }
  return true;
}

bool ParseCsvPlan(std::string_view text, Plan& plan, std::string& error) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::size_t> lines;
  std::size_t bad = 0;
  if (!ParseCsv(text, rows, &bad, &lines)) {
    error = "line " + std::to_string(bad) + ": a quote out of place";
    return false;
  }
  if (rows.size() < 2) {
    error = "the plan: a header row and at least one camera are needed";
    return false;
  }
  if (rows.size() - 1 > kPlanEntryLimit) {
    error = "the plan: more than " + std::to_string(kPlanEntryLimit) + " entries";
    return false;
  }
  const std::vector<std::string>& header = rows.front();
  std::set<std::string> names;
  for (const std::string& name : header) {
    if (!names.insert(name).second) {
      error = "line 1: column " + name + " appears twice";
      return false;
    }
    if (name != "mac" && name != "address" && name != "password_file" &&
        FindCameraField(name) == nullptr) {
      error = "line 1: unknown field " + name;
      return false;
    }
  }
  Seen seen;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    const std::vector<std::string>& row = rows[r];
    PlanEntry e;
    e.where = "line " + std::to_string(lines[r]);
    if (row.size() != header.size()) {
      error = e.where + ": " + std::to_string(row.size()) + " cells where the header has " +
              std::to_string(header.size());
      return false;
    }
    std::string mac;
    std::string address;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (header[c] == "mac") {
        mac = row[c];
      } else if (header[c] == "address") {
        address = row[c];
      } else if (header[c] == "password_file") {
        if (row[c].size() > kPathLimit) {
          error = e.where + ": password_file must be a file name";
          return false;
        }
        e.passwordFile = row[c];
      } else if (!row[c].empty() && !AddSet(e, header[c], row[c], error)) {
        return false;
      }
    }
    if (!SetTarget(e, mac, address, seen, error)) return false;
    if (e.sets.empty()) {
      error = e.where + ": no field to set";
      return false;
    }
    plan.entries.push_back(std::move(e));
  }
  return true;
}

// ---- The change set

template <std::size_t N>
bool Touches(const PlanEntry& e, const std::array<std::string_view, N>& fields) {
  return std::any_of(e.sets.begin(), e.sets.end(), [&](const auto& set) {
    return std::find(fields.begin(), fields.end(), set.first) != fields.end();
  });
}

bool TouchesOne(const PlanEntry& e, std::string_view field) {
  return Touches(e, std::array<std::string_view, 1>{field});
}

std::optional<Refusal> PageMessage(std::string field, const char* section, int number) {
  return Refusal{std::move(field), section, "Message" + std::to_string(number), {}};
}

std::optional<Refusal> CheckUpnpPage(SessionRecord& s) {
  const std::string http = PortFieldText(s.sys.HttpPort);
  const std::string stream = PortFieldText(s.sys.secondPort);
  const std::string rtsp = PortFieldText(s.sys.RTSPPort);
  switch (UpnpNextChecked(s, {s.sys.UPnPE != 0, http, stream, rtsp})) {
    case UpnpProblem::None:
      return std::nullopt;
    case UpnpProblem::HttpPort:
      return PageMessage("HttpPort", "UPnPPage", 1);
    case UpnpProblem::StreamPort:
      return PageMessage("secondPort", "UPnPPage", 2);
    case UpnpProblem::RtspPort:
      return PageMessage("RTSPPort", "UPnPPage", 3);
    case UpnpProblem::HttpEqualsStream:
      return PageMessage("HttpPort", "UPnPPage", 4);
    case UpnpProblem::HttpEqualsRtsp:
      return PageMessage("HttpPort", "UPnPPage", 5);
    case UpnpProblem::StreamEqualsRtsp:
      return PageMessage("secondPort", "UPnPPage", 6);
  }
  return std::nullopt;
}

std::optional<Refusal> CheckSystemPage(SessionRecord& s, const PlanEntry& e) {
  // The page offers only its lists' entries; a camera's own value outside them is kept, as the
  // page keeps it when it shows the list with no selection.
  const auto listIndex = [](std::int32_t value, int count) {
    return value >= 0 && value < count ? static_cast<int>(value) : -1;
  };
  const int zone = listIndex(s.sys.Timezone, kTimeZoneCount);
  const int interval = listIndex(s.sys.NTPPoll, kUpdateIntervalCount);
  if (zone < 0 && TouchesOne(e, "Timezone")) {
    return Refusal{"Timezone", {}, {}, "must be from 0 to " + std::to_string(kTimeZoneCount - 1)};
  }
  if (interval < 0 && TouchesOne(e, "NTPPoll")) {
    return Refusal{
        "NTPPoll", {}, {}, "must be from 0 to " + std::to_string(kUpdateIntervalCount - 1)};
  }
  const std::string host = LocalToUtf8(s.sys.TitleBar.view());
  const std::string description = LocalToUtf8(s.sys.Desp.view());
  const std::string date = LocalToUtf8(s.sys.Date.view());
  const std::string time = LocalToUtf8(s.sys.Time.view());
  const std::string server = LocalToUtf8(s.sys.NTPName.view());
  SystemTyped typed;
  typed.hostName = host;
  typed.description = description;
  // The clock mode a person would pick for this result.
  if (s.sys.NTPEN == 1) {
    typed.mode = ClockMode::Automatic;
  } else if (s.sys.NTPEN == 0) {
    typed.mode =
        TouchesOne(e, "Date") || TouchesOne(e, "Time") ? ClockMode::Manual : ClockMode::Keep;
  }
  typed.date = date;
  typed.time = time;
  typed.ntpServer = server;
  typed.timeZoneIndex = zone;
  typed.intervalIndex = interval;
  switch (SystemNextChecked(s, typed)) {
    case SystemProblem::None:
      return std::nullopt;
    case SystemProblem::DateRefused:
      return PageMessage("Date", "SystemPage", 1);
    case SystemProblem::TimeRefused:
      return PageMessage("Time", "SystemPage", 2);
    case SystemProblem::HostNameRefused:
      return PageMessage("TitleBar", "SystemPage", 3);
    case SystemProblem::DescriptionRefused:
      return PageMessage("Desp", "SystemPage", 4);
    case SystemProblem::NtpServerRefused:
      return PageMessage("NTPName", "SystemPage", 5);
  }
  return std::nullopt;
}

std::optional<Refusal> CheckPppoePage(SessionRecord& s, const PlanEntry& e) {
  if (s.net.IPType != 2) return std::nullopt;
  const std::string user = LocalToUtf8(s.net.PAccount.view());
  const std::string password = LocalToUtf8(s.net.PPwd.view());
  // The confirmation is what the plan gives for PVP, else the password itself.
  const std::string confirm = TouchesOne(e, "PVP") ? LocalToUtf8(s.net.PVP.view()) : password;
  switch (IspLinkNextChecked(s, {nav::IspLink::Pppoe, user, password, confirm}).problem) {
    case PppoeProblem::None:
    case PppoeProblem::NoLinkChosen:
      return std::nullopt;
    case PppoeProblem::LoginMissing:
      // The camera never reports its stored login: saved without one it would lose it.
      return PageMessage(user.empty() ? "PAccount" : "PPwd", "LANISPPage", 4);
    case PppoeProblem::PasswordMismatch:
      return PageMessage("PVP", "LANISPPage", 1);
    case PppoeProblem::UserRefused:
      return PageMessage("PAccount", "LANISPPage", 2);
    case PppoeProblem::PasswordRefused:
      return PageMessage("PPwd", "LANISPPage", 3);
  }
  return std::nullopt;
}

// The address fields are IP controls: a value they cannot show is no address at all.
std::optional<Refusal> CheckAddressFields(const PlanEntry& e) {
  static constexpr std::array<std::string_view, 10> kAddressFields = {
      "IPAddr",  "Netmask",  "Gateway",  "DNS1",  "DNS2",
      "WIPAddr", "WNetmask", "WGateway", "WDNS1", "WDNS2"};
  for (const auto& [name, value] : e.sets) {
    if (std::find(kAddressFields.begin(), kAddressFields.end(), name) != kAddressFields.end() &&
        !ParseAddressField(value)) {
      return Refusal{name, {}, {}, "must be an address such as 192.168.0.98"};
    }
  }
  return std::nullopt;
}

std::optional<Refusal> CheckWirelessPage(SessionRecord& s, const PlanEntry& e) {
  const wireless::ManualView view = wireless::LoadManual(s);
  wireless::ManualInput in;
  in.ssid = {view.ssid, TouchesOne(e, "SSID")};
  in.mode = view.mode;
  in.channel = view.channel;
  in.rate = view.rate;
  in.security = view.security;
  in.authMode = view.authMode;
  in.keyLength = view.keyLength;
  in.keyFormat = view.keyFormat;
  in.keyNumber = view.keyNumber;
  if (view.keyNumber >= 0 && view.keyNumber < 4) {
    const std::string name = "WEPKey" + std::to_string(view.keyNumber);
    in.wepKey = {view.wepKeys[view.keyNumber], TouchesOne(e, name)};
  }
  in.algorithm = view.algorithm;
  in.wpaKey = {view.wpaKey, TouchesOne(e, "WPAKey")};
  switch (wireless::ManualNext(s, in).problem) {
    case wireless::Problem::None:
      return std::nullopt;
    case wireless::Problem::WepKeyNotHex:
      return PageMessage("WEPKey" + std::to_string(view.keyNumber), "WLANAPPage", 1);
    case wireless::Problem::WepKeyEmpty:
      return PageMessage("WEPKey" + std::to_string(view.keyNumber), "WLANAPPage", 2);
    case wireless::Problem::WpaKeyEmpty:
      return PageMessage("WPAKey", "WLANAPPage", 3);
    case wireless::Problem::WepKeyLength:
      return PageMessage("WEPKey" + std::to_string(view.keyNumber), "WLANAPPage", 4);
    case wireless::Problem::NotStorable:
      return PageMessage("SSID", "WLANAPPage", 5);
  }
  return std::nullopt;
}

// The pages whose fields the entry touches, each checked with its own Next rule.
std::optional<Refusal> CheckPages(SessionRecord& s, const PlanEntry& e) {
  if (auto r = CheckAddressFields(e)) return r;
  if (Touches(e, std::array<std::string_view, 4>{"UPnPE", "HttpPort", "secondPort", "RTSPPort"})) {
    if (auto r = CheckUpnpPage(s)) return r;
  }
  if (Touches(e, std::array<std::string_view, 8>{"TitleBar", "Desp", "NTPEN", "NTPName", "Timezone",
                                                 "NTPPoll", "Date", "Time"})) {
    if (auto r = CheckSystemPage(s, e)) return r;
  }
  if (Touches(e, std::array<std::string_view, 4>{"IPType", "PAccount", "PPwd", "PVP"})) {
    if (auto r = CheckPppoePage(s, e)) return r;
  }
  if (Touches(e,
              std::array<std::string_view, 14>{"SSID", "WireType", "WireCh", "WireSec", "TxRate",
                                               "WPAEnc", "WPAKey", "WEPAuthM", "WEPMode", "WepKeyL",
                                               "WEPKey0", "WEPKey1", "WEPKey2", "WEPKey3"})) {
    if (auto r = CheckWirelessPage(s, e)) return r;
  }
  return std::nullopt;
}

std::string FieldText(const nlohmann::ordered_json& v) {
  return v.is_string() ? v.get<std::string>() : v.dump();
}

// FNV-1a: secrets are compared, never shown, so any stable hash will do.
std::string HashText(std::string_view text) {
  std::uint64_t h = 1469598103934665603ULL;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ULL;
  return std::to_string(h);
}

}  // namespace

std::optional<std::string> NormaliseMac(std::string_view text) {
  if (text.size() != 17) return std::nullopt;
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (i % 3 == 2) {
      if (c != ':' && c != '-') return std::nullopt;
      out += ':';
    } else {
      if (!std::isxdigit(static_cast<unsigned char>(c))) return std::nullopt;
      out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
  }
  return out;
}

bool ParsePlan(std::string_view text, Plan& plan, std::string& error) {
  plan = Plan{};
  if (text.size() > kPlanFileLimit) {
    error = "the plan is larger than " + std::to_string(kPlanFileLimit) + " bytes";
    return false;
  }
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a spreadsheet's BOM
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  const bool json = first != std::string_view::npos && (text[first] == '[' || text[first] == '{');
  const bool ok = json ? ParseJsonPlan(text, plan, error) : ParseCsvPlan(text, plan, error);
  if (!ok) plan = Plan{};
  return ok;
}

bool ReadPrivateFile(const std::filesystem::path& path, std::size_t limit, bool allowOthers,
                     std::string& text, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (ec || !fs::is_regular_file(st)) {
    error = "cannot read " + path.string() + ": not a readable file";
    return false;
  }
  if (!allowOthers && OtherUsersMayRead(path.string())) {
    error =
        path.string() + " can be read by other users: chmod 600 it, or give --allow-world-readable";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  text.assign(limit + 1, '\0');
  if (in) in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (!in && !in.eof()) {
    error = "cannot read " + path.string();
    return false;
  }
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > limit) {
    error = path.string() + " is larger than " + std::to_string(limit) + " bytes";
    return false;
  }
  return true;
}

namespace {

// The entry's values into s as they stand (texts converted to the system code page).
std::optional<Refusal> AssignAll(SessionRecord& s, const PlanEntry& entry) {
  for (const auto& [name, value] : entry.sets) {
    const CameraField* field = FindCameraField(name);
    // As the pages do: a text is never stored changed by the code page's conversion.
    if (field != nullptr && field->kind == FieldKind::Text &&
        LocalToUtf8(Utf8ToLocal(value)) != value) {
      return Refusal{name, {}, {}, "has characters the camera's code page cannot hold"};
    }
    std::string why;
    if (field == nullptr || !ApplyFieldAssignment(s, Assignment(*field, value), &why)) {
      return Refusal{name, {}, {}, why.empty() ? "unknown field" : why};
    }
  }
  return std::nullopt;
}

std::vector<FieldChange> Differences(const SessionRecord& before, const SessionRecord& after) {
  std::vector<FieldChange> out;
  const auto a = CameraSettingsJson(before, FieldViewOptions{true, SystemCodePage()});
  const auto b = CameraSettingsJson(after, FieldViewOptions{true, SystemCodePage()});
  for (const CameraField& field : CameraFields()) {
    const std::string name(field.name);
    if (a[name] == b[name]) continue;
    FieldChange c{name, {}, {}, field.secret};
    if (!field.secret) {
      c.before = FieldText(a[name]);
      c.after = FieldText(b[name]);
    }
    out.push_back(std::move(c));
  }
  return out;
}

}  // namespace

ChangeSet ApplyPlanEntry(SessionRecord& s, const PlanEntry& entry) {
  ChangeSet result;
  SessionRecord changed = s;
  result.refusal = AssignAll(changed, entry);
  if (!result.refusal) result.refusal = CheckPages(changed, entry);
  if (result.refusal) return result;
  result.changes = Differences(s, changed);
  s = changed;
  return result;
}

std::vector<FieldChange> PlanDifferences(const SessionRecord& s, const PlanEntry& entry) {
  SessionRecord planned = s;
  if (const auto r = AssignAll(planned, entry)) return {FieldChange{r->field, {}, {}, true}};
  return Differences(s, planned);
}

std::vector<std::pair<std::string, std::string>> ComparableFields(const SessionRecord& s) {
  std::vector<std::pair<std::string, std::string>> out;
  const auto all = CameraSettingsJson(s, FieldViewOptions{true, SystemCodePage()});
  for (const CameraField& field : CameraFields()) {
    const std::string name(field.name);
    if (name == "Date" || name == "Time") continue;
    const std::string text = FieldText(all[name]);
    out.emplace_back(name, field.secret ? HashText(text) : text);
  }
  return out;
}

}  // namespace orv
