#include "core/app/camera_fields.h"

#include <charconv>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <type_traits>
#include <variant>

#include "core/app/camera_clock.h"
#include "core/camera_http/camera_field_table.h"
#include "core/platform/codepage.h"

namespace orv {

namespace {

// The user's choices that decide what a save writes; settable, never shown.
template <class F>
void ForEachChoiceField(SessionRecord& s, F&& f) {
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

bool Assign(const FixedTextRef& field, std::string_view value, std::string* error) {
  if (value.size() > field.width() - 1 || value.find('\0') != std::string_view::npos) {
    if (error) *error = "takes at most " + std::to_string(field.width() - 1) + " bytes";
    return false;
  }
  field.assign(value);
  return true;
}

nlohmann::ordered_json ValueOf(const FieldSlot& slot, int codePage) {
  if (const auto* text = std::get_if<FixedTextRef>(&slot)) {
    return codePage != 0 ? CodePageToUtf8(text->view(), codePage) : std::string(text->view());
  }
  if (const auto* byte = std::get_if<std::uint8_t*>(&slot)) return int{**byte};
  if (const auto* i32 = std::get_if<std::int32_t*>(&slot)) return **i32;
  return *std::get<std::uint32_t*>(slot);
}

}  // namespace

bool IsSecretField(std::string_view name) {
  const CameraField* field = FindCameraField(name);
  return field != nullptr && field->secret;
}

bool ApplyFieldAssignment(SessionRecord& session, std::string_view assignment, std::string* error) {
  const std::size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0) {
    if (error) *error = "expected Field=Value";
    return false;
  }
  const std::string_view name = assignment.substr(0, eq);
  const std::string_view value = assignment.substr(eq + 1);
  std::string reason;
  bool assigned = false;
  if (const CameraField* field = FindCameraField(name)) {
    // What the output shows for a secret must not come back as the secret itself.
    if (field->secret && value == kHiddenValue) {
      if (error)
        *error = std::string(name) + " needs the real value, not " + std::string(kHiddenValue);
      return false;
    }
    assigned = std::visit(
        [&](auto slot) {
          if constexpr (std::is_same_v<decltype(slot), FixedTextRef>) {
            return Assign(slot, value, &reason);
          } else {
            return Assign(*slot, value, &reason);
          }
        },
        field->slot(session));
  } else {
    bool found = false;
    ForEachChoiceField(session, [&](std::string_view key, std::uint8_t& flag) {
      if (found || key != name) return;
      found = true;
      assigned = Assign(flag, value, &reason);
    });
    if (!found) {
      if (error) *error = "unknown field " + std::string(name);
      return false;
    }
  }
  if (!assigned && error) *error = std::string(name) + " " + reason;
  // A date or time given by hand is sent as given, not moved on like one read from the camera.
  if (assigned && (name == "Date" || name == "Time")) ForgetClockInstant(session);
  return assigned;
}

nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session) {
  nlohmann::ordered_json j = CameraSettingsJson(session, FieldViewOptions{true, 0});
  j["userName"] = "";
  j["password"] = "";
  return j;
}

nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session,
                                          const FieldViewOptions& options) {
  // The slots only read here; the table hands out mutable ones for the parser's sake.
  SessionRecord& record = const_cast<SessionRecord&>(session);
  nlohmann::ordered_json j = nlohmann::ordered_json::object();
  for (const CameraField& field : CameraFields()) {
    const FieldSlot slot = field.slot(record);
    if (field.secret && !options.showSecrets) {
      j[std::string(field.name)] = kHiddenValue;
    } else {
      j[std::string(field.name)] = ValueOf(slot, options.codePage);
    }
  }
  // The login's user name stays out of output as before unless secrets are asked for.
  const std::string_view user = options.showSecrets ? session.userName.view() : std::string_view();
  j["userName"] =
      options.codePage != 0 ? CodePageToUtf8(user, options.codePage) : std::string(user);
  const std::string_view password = session.password.view();
  if (!options.showSecrets) {
    j["password"] = kHiddenValue;
  } else {
    j["password"] =
        options.codePage != 0 ? CodePageToUtf8(password, options.codePage) : std::string(password);
  }
  return j;
}

}  // namespace orv
