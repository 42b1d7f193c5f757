#pragma once
// Small Unicode helpers for language packs: UTF-16LE files, lengths counted in UTF-16 units (the
// unit of every lookup buffer) and case-insensitive section and key names.

#include <cstddef>
#include <string>
#include <string_view>

namespace orv::i18n {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes one code point at s[pos] and advances pos; invalid bytes give U+FFFD and advance by one.
char32_t NextCodePoint(std::string_view s, std::size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);

// UTF-16LE bytes (no byte-order mark) to UTF-8; unpaired surrogates become U+FFFD, an odd last
// byte is dropped.
std::string Utf16LeToUtf8(std::string_view bytes);
// UTF-8 to UTF-16LE bytes; invalid input becomes U+FFFD.
std::string Utf8ToUtf16Le(std::string_view utf8);

// Number of UTF-16 units the text takes (a character beyond U+FFFF takes two).
std::size_t Utf16Length(std::string_view utf8);
// Byte length of the longest prefix of utf8 that fits in maxUnits UTF-16 units without splitting
// a character (a surrogate pair is never halved).
std::size_t Utf8PrefixForUtf16Units(std::string_view utf8, std::size_t maxUnits);

// Case-insensitive comparison of names: ASCII, Latin-1, Greek and Cyrillic letters fold.
bool NamesEqual(std::string_view a, std::string_view b);

}  // namespace orv::i18n
