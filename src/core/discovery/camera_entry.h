#pragma once
// One discovered camera as the list shows it: six fixed-width texts, and the PC adapter its
// latest reply arrived on (so the camera can be reached through that adapter).

#include <cstdint>

#include "core/util/fixed_text.h"

namespace orv {

struct CameraEntry {
  FixedText<260> mac;         // "%02X:%02X:%02X:%02X:%02X:%02X"
  FixedText<260> ip;          // dotted decimal
  FixedText<260> port;        // HTTP port, "%d"
  FixedText<32> desc;         // description "/" interface, e.g. "Vexor-41HA/wireless"
  FixedText<260> cam_id;      // serial number
  FixedText<260> sport;       // second port, "%d"
  std::uint32_t ifIndex = 0;  // arrival adapter; 0 when unknown
  FixedText<16> adapter;      // its name when the reply arrived, or empty
};

}  // namespace orv
