#include "core/app/camera_pick.h"

#include "core/camera_http/model_catalogue.h"
#include "core/util/ipv4.h"

namespace orv {

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
  return PickProblem::None;
}

}  // namespace orv
