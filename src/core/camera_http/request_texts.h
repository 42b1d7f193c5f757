#pragma once
// The exact request texts of every camera and link-server request, built from the record. The
// request operations send these; tests and tools can look at them without a camera.

#include <string>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

inline constexpr std::string_view kAgentName = "korimo";
inline constexpr std::string_view kAgentVersion = "1.0.1";

// The parameter string of a write (act 2), values escaped with EscapeQueryValue.
std::string WriteParameters(const SessionRecord& session, int page, int subPage);

std::string CameraRequestText(const SessionRecord& session, int act, int page, int subPage);
std::string LoginReadText(const SessionRecord& session);
std::string ScanRequestText(const SessionRecord& session);
std::string WpsRequestText(const SessionRecord& session, int act, int page);
std::string LinkServerRequestText(std::string_view id, std::string_view password, int page);

}  // namespace orv
