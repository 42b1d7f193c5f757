#pragma once
// The 8-bit system code page: the encoding of every text the session record holds and of language
// packs that carry no byte-order mark. Chosen once from the locale (or ORVANTIS_CODEPAGE) and
// shared by the whole process; conversions replace what cannot be mapped with "?".

#include <optional>
#include <string>
#include <string_view>

#include "core/util/text_boundary.h"

namespace orv {

inline constexpr int kCodePageWestern = 1252;
inline constexpr int kCodePageJapanese = 932;
inline constexpr int kCodePageSimplifiedChinese = 936;
inline constexpr int kCodePageKorean = 949;
inline constexpr int kCodePageTraditionalChinese = 950;
inline constexpr int kCodePageUtf8 = 65001;

// The code page a locale name such as "zh_TW.UTF-8" or "de_DE@euro" implies. The language wins
// over the charset suffix, as on a PC whose system locale is that language.
int CodePageForLocale(std::string_view localeName);

// "950", "CP950", "cp1252", "UTF-8", "utf8", "65001"; nullopt when the text names no code page
// that the converter supports.
std::optional<int> ParseCodePageName(std::string_view name);

// ORVANTIS_CODEPAGE when it names a usable code page, else the locale of LC_ALL, LC_CTYPE, LANG.
int DetectSystemCodePage();

// The process-wide code page. Set it once at start-up (InitSystemCodePage); before that it is
// detected on first use.
int SystemCodePage();
// Sets the code page and the matching fixed-text cut rule.
void SetSystemCodePage(int codePage);
// Start-up: detect, then set.
int InitSystemCodePage();

// How a code page splits bytes into characters.
CharSetKind CharSetKindFor(int codePage);

// Conversions; bytes or characters that have no counterpart become "?". Never fail.
std::string CodePageToUtf8(std::string_view bytes, int codePage);
std::string Utf8ToCodePage(std::string_view utf8, int codePage);

// The same with the system code page.
inline std::string LocalToUtf8(std::string_view bytes) {
  return CodePageToUtf8(bytes, SystemCodePage());
}
inline std::string Utf8ToLocal(std::string_view utf8) {
  return Utf8ToCodePage(utf8, SystemCodePage());
}

}  // namespace orv
