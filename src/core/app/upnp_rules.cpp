#include "core/app/upnp_rules.h"

#include <cstdint>
#include <limits>

#include "core/camera_http/model_catalogue.h"

namespace orv {

std::string PortFieldText(std::uint32_t port) {
  return std::to_string(static_cast<std::int32_t>(port));
}

std::uint32_t ParseTypedPort(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    // Once past the 32-bit range the value stays just beyond it: later digits cannot wrap it.
    if (value <= kMax + 1) value = value * 10 + (text[i] - '0');
  }
  if (negative) value = -value;
  if (value > kMax) value = kMax;
  if (value < kMin) value = kMin;
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(value));
}

namespace {

constexpr std::uint32_t kHighPortsFirst = 1025;
constexpr std::uint32_t kHighPortsLast = 65535;
constexpr std::uint32_t kPlainHttpPort = 80;
constexpr std::uint32_t kPlainRtspPort = 554;

bool HighPort(std::uint32_t port) {
  return port >= kHighPortsFirst && port <= kHighPortsLast;
}

}  // namespace

UpnpProblem UpnpNextChecked(SessionRecord& s, const UpnpTyped& typed) {
  s.sys.UPnPE = typed.upnp ? 1 : 0;
  s.sys.HttpPort = ParseTypedPort(typed.httpPort);
  s.sys.secondPort = ParseTypedPort(typed.streamPort);
  s.sys.RTSPPort = ParseTypedPort(typed.rtspPort);

  // Unsigned comparisons: a negative entry is out of range.
  const std::uint32_t http = s.sys.HttpPort;
  const std::uint32_t stream = s.sys.secondPort;
  const std::uint32_t rtsp = s.sys.RTSPPort;
  if (!HighPort(http) && http != kPlainHttpPort) return UpnpProblem::HttpPort;
  const auto lowStream = static_cast<std::uint32_t>(LowSecondPortAllowed(s.sys.ModelName.view()));
  if (!HighPort(stream) && stream != lowStream) return UpnpProblem::StreamPort;
  if (!HighPort(rtsp) && rtsp != kPlainRtspPort) return UpnpProblem::RtspPort;
  if (http == stream) return UpnpProblem::HttpEqualsStream;
  if (http == rtsp) return UpnpProblem::HttpEqualsRtsp;
  if (stream == rtsp) return UpnpProblem::StreamEqualsRtsp;
  return UpnpProblem::None;
}

}  // namespace orv
