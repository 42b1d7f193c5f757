#include "core/discovery/discovery_messages.h"

#include <cstring>
#include <string>
#include <string_view>

#include "core/util/text_boundary.h"

namespace orv {
namespace {

void PutBigEndian32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 24);
  p[1] = static_cast<std::uint8_t>(v >> 16);
  p[2] = static_cast<std::uint8_t>(v >> 8);
  p[3] = static_cast<std::uint8_t>(v);
}

std::string Dotted(const std::uint8_t* p) {
  std::string s;
  for (int i = 0; i < 4; ++i) {
    if (i) s += '.';
    s += std::to_string(p[i]);
  }
  return s;
}

std::string Mac(const std::uint8_t* p) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string s;
  for (int i = 0; i < 6; ++i) {
    if (i) s += ':';
    s += kHex[p[i] >> 4];
    s += kHex[p[i] & 0x0F];
  }
  return s;
}

std::string SignedDecimal(std::uint32_t v) {
  return std::to_string(static_cast<std::int32_t>(v));
}

// Splits the text area into its three strings without ever reading past it.
struct TextArea {
  std::string_view description, cameraId, interfaceWord;
};

TextArea SplitTextArea(const std::uint8_t* area) {
  const char* base = reinterpret_cast<const char*>(area);
  std::size_t pos = 0;
  auto next = [&]() -> std::string_view {
    if (pos >= kPayloadTextSize) return {};
    const std::size_t start = pos;
    const std::size_t len = ::strnlen(base + start, kPayloadTextSize - start);
    pos = start + len + 1;
    return std::string_view(base + start, len);
  };
  TextArea t;
  t.description = next();
  t.cameraId = next();
  t.interfaceWord = next();
  return t;
}

// The longest tail of s of at most maxBytes that starts on a character boundary.
std::string_view KeepTail(std::string_view s, std::size_t maxBytes) {
  if (s.size() <= maxBytes) return s;
  // Boundaries are only known scanning forward (double-byte code pages), so test each start.
  for (std::size_t start = s.size() - maxBytes; start < s.size(); ++start) {
    if (BoundedPrefixLength(s, start) == start) return s.substr(start);
  }
  return {};
}

}  // namespace

std::array<std::uint8_t, kDiscoveryRequestSize> EncodeDiscoveryRequest() {
  std::array<std::uint8_t, kDiscoveryRequestSize> m{};
  PutBigEndian32(m.data(), kDiscoveryMagic);
  PutBigEndian32(m.data() + 4, kDiscoveryTypeRequest);
  return m;
}

std::uint32_t ReadBigEndian32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

void FormatCameraEntry(const DiscoveryPayload& payload, CameraEntry& row) {
  const std::uint8_t* p = payload.data();
  row.ip = Dotted(p + kPayloadAddress);
  row.mac = Mac(p + kPayloadMac);
  row.port = SignedDecimal(ReadBigEndian32(p + kPayloadHttpPort));
  row.sport = SignedDecimal(ReadBigEndian32(p + kPayloadSecondPort));
  const TextArea text = SplitTextArea(p + kPayloadText);
  row.cam_id = text.cameraId;

  // Model checks look for fragments like "-41HA/" in desc, and model names end in them, so the
  // slash, the interface word and the end of the description survive; the description's start is
  // what gets cut.
  constexpr std::size_t kRoom = decltype(row.desc)::kWidth - 1;
  const std::size_t ifaceLen = BoundedPrefixLength(text.interfaceWord, kRoom - 1);
  const std::string_view description = KeepTail(text.description, kRoom - 1 - ifaceLen);
  std::string desc;
  desc.reserve(kRoom);
  desc.append(description);
  desc += '/';
  desc.append(text.interfaceWord.substr(0, ifaceLen));
  row.desc = desc;
}

}  // namespace orv
