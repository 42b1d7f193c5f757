#include "core/app/camera_pick.h"

#include <string>

#include "core/camera_http/model_catalogue.h"
#include "core/util/ipv4.h"

namespace orv {

std::optional<std::uint16_t> ParsePortText(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  if (value < 1 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

std::optional<CameraTarget> CheckCameraTarget(const CameraEntry& row) {
  const std::optional<std::uint32_t> address = ParseIpv4(row.ip.view());
  const std::optional<std::uint16_t> port = ParsePortText(row.port.view());
  if (!address || !port) return std::nullopt;
  return CameraTarget{*address, *port};
}

void StoreCameraPick(SessionRecord& session, const CameraEntry& row, const CameraTarget& target) {
  session.cameraAddr = target.address;
  session.cameraAddrText = FormatIpv4(target.address);
  // The number itself, so the field always holds what the checks accepted.
  session.cameraPortText = std::to_string(target.port);
  ClassifyFamily(session, row.desc.view());
  session.cameraSerial = row.cam_id.view();
}

}  // namespace orv
