#pragma once
// The list of found cameras as a file: CSV (UTF-8, header row) or JSON, the search page's six
// columns in its order plus the adapter each camera answered on. The command-line tool's
// discover --csv/--json and the search page's export write these bytes.

#include <span>
#include <string>

#include "core/discovery/camera_entry.h"

namespace orv {

// The column names, also the JSON keys: ip, mac, port, desc, sport, cam_id, adapter.
std::string CameraListCsv(std::span<const CameraEntry> rows);

// {"cameras": [{"mac": ..., "ip": ..., ...}]}, indented by two, ending in a line feed: texts
// converted from the system code page to UTF-8 (what still is not UTF-8 is replaced).
std::string CameraListJson(std::span<const CameraEntry> rows);

}  // namespace orv
