#pragma once
// The camera the user picks from the search list, taken into the session record the way the
// search page's Next does it.

#include <string_view>

#include "core/model/session_record.h"

namespace orv {

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
