#pragma once
// The camera's answers are "Key=value" texts. These extractors pull one value out of an answer
// into a record field, and ParseSettings fills the fields of one settings page.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "core/model/session_record.h"
#include "core/util/fixed_text.h"

namespace orv {

enum class ValueStyle {
  Settings,  // value runs to the end of its line
  Cell,      // table cells and link-server lists: a value also ends at a blank or "<"
};

// The value after the first key that stands at the start of the text or after a byte that is not
// a letter, digit or "_"; std::nullopt when the key is missing or its value is empty.
std::optional<std::string_view> FindValue(std::string_view text, std::string_view key,
                                          ValueStyle style);
// The same read as a signed decimal number; std::nullopt when it does not start with one.
std::optional<std::int32_t> FindNumber(std::string_view text, std::string_view key,
                                       ValueStyle style);

// Fields keep their value when the key is missing (clear text fields first where that matters).
template <std::size_t N>
bool ExtractValue(FixedText<N>& dest, std::string_view key, std::string_view text,
                  ValueStyle style = ValueStyle::Settings) {
  const std::optional<std::string_view> v = FindValue(text, key, style);
  if (v) dest.assign(*v);
  return v.has_value();
}

// Numbers keep their lowest bytes, so a byte field holds the value modulo 256.
template <typename Int>
requires std::is_integral_v<Int>
bool ExtractValue(Int& dest, std::string_view key, std::string_view text,
                  ValueStyle style = ValueStyle::Settings) {
  const std::optional<std::int32_t> v = FindNumber(text, key, style);
  if (v) dest = static_cast<Int>(static_cast<std::uint32_t>(*v));
  return v.has_value();
}

template <typename Field>
bool ExtractCellValue(Field& dest, std::string_view key, std::string_view text) {
  return ExtractValue(dest, key, text, ValueStyle::Cell);
}

// Fills the fields of one page (kPageTime, kPageSystem, ...) from a read's answer; subPage is
// kSubPageTime for the time read.
void ParseSettings(SessionRecord& session, std::string_view response, int page, int subPage);

// A text value for a write's query: a blank becomes %20; "%", "&", "+", "#", "=", "?" and control
// bytes become %XX, so no value can end its parameter or start another; other bytes go as they are.
std::string EscapeQueryValue(std::string_view value);

}  // namespace orv
