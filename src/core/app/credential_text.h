#pragma once
// Typed credentials go into fixed 8-bit fields in the system code page. A text that would be cut
// or would lose characters in that conversion is refused rather than sent changed.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// The system-code-page form of utf8 when it converts back unchanged, has no NUL and is at most
// maxBytes long; nullopt otherwise.
std::optional<std::string> FitLocalText(std::string_view utf8, std::size_t maxBytes);

// The same for a given code page (tests; the program uses the system one).
std::optional<std::string> FitCodePageText(std::string_view utf8, std::size_t maxBytes,
                                           int codePage);

}  // namespace orv
