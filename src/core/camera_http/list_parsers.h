#pragma once
// Parsers of the two list answers: the camera's access-point scan table and the link server's
// camera list. They take the received text only, so they can be tested and fuzzed on their own.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/camera_http/requests.h"

namespace orv {

// std::nullopt when the text is no scan answer (no "scan AP sum ="). Otherwise one entry per
// announced access point, but never more than the answer has table cells for; entries whose cell
// is missing or not an access-point cell stay zero. count receives the number of entries.
std::optional<std::vector<AccessPointEntry>> ParseAccessPointScan(std::string_view answer,
                                                                  std::uint32_t* count);

// The entries of a link-server list: as many as "Total Camera=" says, but never more than the
// answer has "Camera=" records for.
std::vector<LinkServerCameraEntry> ParseLinkServerList(std::string_view answer);

}  // namespace orv
