#pragma once
// The one strict UTF-8 decoder: shortest forms only, no surrogates, nothing beyond U+10FFFF.

#include <cstddef>
#include <string_view>

namespace orv {

// Length (1-4) of the valid UTF-8 sequence that starts at s[pos], with its code point in cp; 0
// when the bytes there are not one (cp is then unspecified). pos must be inside s.
std::size_t DecodeUtf8(std::string_view s, std::size_t pos, char32_t& cp);

}  // namespace orv
