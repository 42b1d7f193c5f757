#pragma once
// Camera fields by name: the command-line tool's --set and its JSON view of a read.

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

// Sets one field from "Name=Value": numeric fields take a decimal number within their width, text
// fields a value that fits. Camera settings and the user's choice flags can be set; credentials
// cannot, and a secret cannot be set to kHiddenValue (output fed back). False with a reason on a
// bad name or value; the record is then unchanged.
bool ApplyFieldAssignment(SessionRecord& session, std::string_view assignment, std::string* error);

inline constexpr std::string_view kHiddenValue = "<hidden>";

struct FieldViewOptions {
  // Keys and passwords (the camera's and the login's) show as kHiddenValue unless set.
  bool showSecrets = false;
  // Texts are converted from this code page to UTF-8; 0 keeps the camera's bytes as they are.
  int codePage = 0;
};

// Every camera field as "Name": value in record order. userName and password are present and always
// empty. Texts are the camera's 8-bit bytes: dump with the replacing error handler. Secrets are
// shown: a caller that prints this for a user takes the overload with options.
nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session);

// The same view for output: secrets hidden unless asked for, texts converted when a code page is
// given; userName and password are the login's when secrets are shown, else empty and hidden.
nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session,
                                          const FieldViewOptions& options);

// Is this field a key or password? (WPAKey, WEPKey0-3, PPwd, PVP, DDNSPwd.)
bool IsSecretField(std::string_view name);

}  // namespace orv
