#include "core/camera_http/settings_parser.h"

#include <limits>
#include <string>
#include <type_traits>
#include <variant>

#include "core/camera_http/camera_field_table.h"

namespace orv {

namespace {

bool IsKeyByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

// The position just after the first whole-key occurrence of key, or npos.
std::size_t FindKeyEnd(std::string_view text, std::string_view key) {
  if (key.empty()) return std::string_view::npos;
  std::size_t pos = text.find(key);
  while (pos != std::string_view::npos) {
    if (pos == 0 || !IsKeyByte(static_cast<unsigned char>(text[pos - 1]))) return pos + key.size();
    pos = text.find(key, pos + 1);
  }
  return std::string_view::npos;
}

// Where a value of the given style starts, or npos when it is absent.
std::size_t ValueStart(std::string_view text, std::string_view key, ValueStyle style) {
  const std::size_t at = FindKeyEnd(text, key);
  if (at == std::string_view::npos || at >= text.size()) return std::string_view::npos;
  const char c = text[at];
  if (c == '\n' || c == '\r' || c == '\0') return std::string_view::npos;
  if (style == ValueStyle::Cell && c == ' ') return std::string_view::npos;
  return at;
}

}  // namespace

std::optional<std::string_view> FindValue(std::string_view text, std::string_view key,
                                          ValueStyle style) {
  std::size_t at = ValueStart(text, key, style);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view stops = "\n\r";
  if (style == ValueStyle::Cell) {
    if (key == "SSID=") {
      // The name is quoted; skip the opening quote, but never a first letter of an unquoted one.
      if (at < text.size() && text[at] == '"') ++at;
      stops = "\"<\n\r";
    } else {
      stops = " <\n\r";
    }
  }
  std::size_t end = at;
  while (end < text.size() && text[end] != '\0' &&
         stops.find(text[end]) == std::string_view::npos) {
    ++end;
  }
  return text.substr(std::min(at, text.size()), end - std::min(at, text.size()));
}

std::optional<std::int32_t> FindNumber(std::string_view text, std::string_view key,
                                       ValueStyle style) {
  std::size_t p = ValueStart(text, key, style);
  if (p == std::string_view::npos) return std::nullopt;
  while (p < text.size() && (text[p] == ' ' || text[p] == '\t')) ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '+' || text[p] == '-')) negative = (text[p++] == '-');
  if (p >= text.size() || text[p] < '0' || text[p] > '9') return std::nullopt;
  // Saturate instead of overflowing on absurd digit runs.
  long long value = 0;
  constexpr long long kMax = static_cast<long long>(std::numeric_limits<std::int32_t>::max()) + 1;
  for (; p < text.size() && text[p] >= '0' && text[p] <= '9'; ++p) {
    value = std::min(kMax, value * 10 + (text[p] - '0'));
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max())
    value = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

void ParseSettings(SessionRecord& s, std::string_view r, int page, int /*subPage*/) {
  for (const CameraField& field : CameraFields()) {
    if (field.page != page) continue;
    const std::string key = std::string(field.KeyFor(s)) + "=";
    // Text fields start empty, so a key the answer lacks reads as empty; numbers keep their value.
    std::visit(
        [&](auto slot) {
          if constexpr (std::is_same_v<decltype(slot), FixedTextRef>) {
            slot.clear();
            if (const auto v = FindValue(r, key, ValueStyle::Settings)) slot.assign(*v);
          } else {
            ExtractValue(*slot, key, r);
          }
        },
        field.slot(s));
  }
}

std::string EscapeQueryValue(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (const char ch : value) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\0') break;
    if (c == ' ') {
      out += "%20";
    } else if (c < 0x20 || c == 0x7f || c == '%' || c == '&' || c == '+' || c == '#' || c == '=' ||
               c == '?') {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

}  // namespace orv
