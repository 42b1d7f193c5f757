#pragma once
// Where a byte string may be cut without splitting a character of the 8-bit system code page.
// Fixed-width fields of the session record and of camera rows are cut with this rule, so a long
// Chinese title never ends in half a double-byte character.

#include <cstddef>
#include <string_view>

namespace orv {

enum class CharSetKind {
  SingleByte,  // every byte is a character (CP1252 and friends)
  Utf8,        // UTF-8 multi-byte sequences
  DoubleByte,  // lead byte + trail byte code pages (CP932, CP936, CP949, CP950)
};

// The process-wide rule; the language code sets it from the system code page at start-up.
// codePage is only consulted for DoubleByte (932 has its own lead-byte ranges).
void SetTextBoundaryRule(CharSetKind kind, int codePage = 0);
CharSetKind TextBoundaryKind();

// Length of the longest prefix of s that is at most maxBytes long and ends on a character boundary
// under the active rule. Stops at the first NUL byte.
std::size_t BoundedPrefixLength(std::string_view s, std::size_t maxBytes);

// Same with an explicit rule, for callers that know the code page themselves.
std::size_t BoundedPrefixLength(std::string_view s, std::size_t maxBytes, CharSetKind kind,
                                int codePage);

}  // namespace orv
