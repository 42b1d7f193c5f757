#include "core/app/finish_info.h"

#include "core/util/ipv4.h"

namespace orv {

CameraInterface InterfaceOf(std::string_view description) {
  // The first character is the model name's, never the interface word's.
  const std::string_view rest = description.empty() ? description : description.substr(1);
  CameraInterface kind = CameraInterface::Unknown;
  if (rest.find("wireless") != std::string_view::npos) kind = CameraInterface::Wireless;
  if (rest.find("ethernet") != std::string_view::npos) kind = CameraInterface::Ethernet;
  return kind;
}

std::string_view to_string(CameraInterface kind) {
  switch (kind) {
    case CameraInterface::Wireless:
      return "wireless";
    case CameraInterface::Ethernet:
      return "ethernet";
    case CameraInterface::Unknown:
      break;
  }
  return "";
}

std::string_view NatStatusText(const SessionRecord& session) {
  return session.sys.NATStat == 1 ? "Camera is linked  with Server"
                                  : "Camera isn't linked  with Server";
}

std::string WebLinkText(std::string_view address, std::string_view port) {
  std::string text = "http://";
  text.append(address);
  text.push_back(':');
  text.append(port);
  return text;
}

std::optional<CameraTarget> CheckWebTarget(std::string_view address, std::string_view port) {
  const std::optional<std::uint32_t> addr = ParseIpv4(address);
  const std::optional<std::uint16_t> number = ParsePortText(port);
  if (!addr || !number) return std::nullopt;
  return CameraTarget{*addr, *number};
}

}  // namespace orv
