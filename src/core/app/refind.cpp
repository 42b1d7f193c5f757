#include "core/app/refind.h"

#include "core/util/ipv4.h"

namespace orv {

std::optional<std::size_t> RefindCamera(SessionRecord& session, std::span<const CameraEntry> rows) {
  if (session.cameraSerial.empty()) return std::nullopt;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CameraEntry& row = rows[i];
    if (!(row.cam_id == session.cameraSerial.view())) continue;
    session.cameraAddrText = row.ip.view();
    session.cameraPortText = row.port.view();
    session.cameraAddr = ParseIpv4OrZero(session.cameraAddrText.view());
    // The subnet step for the new address goes to where the camera answers now.
    session.cameraIfIndex = row.ifIndex;
    return i;
  }
  return std::nullopt;
}

}  // namespace orv
