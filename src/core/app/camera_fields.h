#pragma once
// Camera fields by name: the command-line tool's --set and its JSON view of a read.

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

// Sets one field from "Name=Value": numeric fields take a decimal number within their width, text
// fields a value that fits. Camera settings and the user's choice flags can be set; credentials
// cannot. False with a reason on a bad name or value; the record is then unchanged.
bool ApplyFieldAssignment(SessionRecord& session, std::string_view assignment, std::string* error);

// Every camera field as "Name": value in record order. userName and password are present and always
// empty. Texts are the camera's 8-bit bytes: dump with the replacing error handler.
nlohmann::ordered_json CameraSettingsJson(const SessionRecord& session);

}  // namespace orv
