#pragma once
// The re-find of a camera after a save has moved it.

#include <cstddef>
#include <optional>
#include <span>

#include "core/discovery/camera_entry.h"
#include "core/model/session_record.h"

namespace orv {

// Looks among freshly discovered rows for the one whose cam_id equals cameraSerial; on a match
// takes its address and port into the record and returns the row's index. An empty serial matches
// nothing.
std::optional<std::size_t> RefindCamera(SessionRecord& session, std::span<const CameraEntry> rows);

}  // namespace orv
