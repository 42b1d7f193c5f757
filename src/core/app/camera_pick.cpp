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
  session.cameraIfIndex = row.ifIndex;
}

namespace {

bool IsPort(std::string_view text) {
  if (text.empty()) return false;
  unsigned long value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
    if (value > 65535) return false;
  }
  return value >= 1;
}

}  // namespace

std::string_view to_string(PickProblem problem) {
  switch (problem) {
    case PickProblem::None:
      return "none";
    case PickProblem::BadAddress:
      return "bad-address";
    case PickProblem::BadPort:
      return "bad-port";
    case PickProblem::TooLong:
      return "too-long";
  }
  return "unknown";
}

PickProblem PrepareSession(SessionRecord& s, std::string_view ip, std::string_view port,
                           std::string_view description, std::string_view serial) {
  const std::optional<std::uint32_t> addr = ParseIpv4(ip);
  if (!addr) return PickProblem::BadAddress;
  if (!IsPort(port)) return PickProblem::BadPort;
  // Cutting a port or serial to its field would name another camera than the one picked.
  if (ip.size() >= decltype(s.cameraAddrText)::kWidth ||
      port.size() >= decltype(s.cameraPortText)::kWidth ||
      serial.size() >= decltype(s.cameraSerial)::kWidth) {
    return PickProblem::TooLong;
  }
  s.cameraAddr = *addr;
  s.cameraAddrText = ip;
  s.cameraPortText = port;
  ClassifyFamily(s, description);
  s.cameraSerial = serial;
  // A camera named by hand: where it answers is not known here.
  s.cameraIfIndex = 0;
  return PickProblem::None;
}

}  // namespace orv
