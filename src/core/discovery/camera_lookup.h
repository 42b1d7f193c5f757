#pragma once
// Short discovery runs for tools that do not poll once a second: finding out where one camera
// answers, and listing cameras until the network falls quiet.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/discovery/camera_entry.h"
#include "core/discovery/plipf.h"

namespace orv {

using LookupClock = std::function<std::chrono::steady_clock::time_point()>;

// Sends one request (the engine's first poll) and reads replies until the camera at address
// (network order) has answered or wait has passed. Its row carries the adapter it answered on.
std::optional<CameraEntry> LookUpCamera(CPLipf& engine, std::uint32_t address,
                                        std::chrono::milliseconds wait, LookupClock clock = {});

// Reads replies as they arrive and ends once no new camera (by MAC) has answered for quiet since
// the last request or the last new camera, or at limit, whichever comes first. The engine drains.
std::vector<CameraEntry> DiscoverUntilQuiet(CPLipf& engine, std::chrono::milliseconds quiet,
                                            std::chrono::milliseconds limit,
                                            LookupClock clock = {});

}  // namespace orv
