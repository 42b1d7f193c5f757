#pragma once
// The camera the user picks on the search page: which listed rows can be used, and what goes into
// the session record. Rows come from the network, so nothing in them is trusted.

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/discovery/camera_entry.h"
#include "core/model/session_record.h"

namespace orv {

struct CameraTarget {
  std::uint32_t address = 0;  // network order
  std::uint16_t port = 0;     // 1-65535
};

// Decimal digits only, 1-65535 (at most five digits, so "00080" passes and "+80" does not).
std::optional<std::uint16_t> ParsePortText(std::string_view text);

// The row's address must be a dotted quad and its port 1-65535; otherwise it cannot be picked.
std::optional<CameraTarget> CheckCameraTarget(const CameraEntry& row);

// Stores the picked camera: address (value and text), port, request family, serial number and the
// adapter it answered on.
void StoreCameraPick(SessionRecord& session, const CameraEntry& row, const CameraTarget& target);

enum class PickProblem {
  None,
  BadAddress,  // not a dotted quad
  BadPort,     // not a decimal number from 1 to 65535
  TooLong,     // a text does not fit its field
};
std::string_view to_string(PickProblem problem);

// The address (dotted quad) into cameraAddr and cameraAddrText, the port into cameraPortText, the
// description through ClassifyFamily (request family and wireless mark), the serial into
// cameraSerial. On a problem the record is left exactly as it was.
PickProblem PrepareSession(SessionRecord& s, std::string_view ip, std::string_view port,
                           std::string_view description, std::string_view serial);

}  // namespace orv
