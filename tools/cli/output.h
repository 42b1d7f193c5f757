#pragma once
// What every subcommand prints: texts from cameras and the LAN are hostile. Plain output escapes
// their control characters; JSON output carries them converted from the system code page.

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace orv::cli {

// A camera or LAN text for a plain (non-JSON) line: control characters escaped.
std::string PlainText(std::string_view text);

// Converts every string in j (values, not keys) from the system code page to UTF-8.
void ConvertTextsToUtf8(nlohmann::ordered_json& j);

// The password to log in with: --password when given, else the first line of --password-file,
// else ORVANTIS_PASSWORD, else empty. std::nullopt (after a message) when the file is unreadable.
std::optional<std::string> ResolvePassword(const std::optional<std::string>& option,
                                           const std::string& file);

}  // namespace orv::cli
