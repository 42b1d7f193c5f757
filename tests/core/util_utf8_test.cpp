#include <gtest/gtest.h>

#include <string>

#include "core/i18n/unicode_text.h"
#include "core/util/terminal_text.h"
#include "core/util/utf8.h"

namespace orv::test {
namespace {

TEST(Utf8, DecodesOnlyShortestFormsOfRealCharacters) {
  struct Row {
    std::string bytes;
    std::size_t length;
    char32_t cp;
  };
  const Row rows[] = {
      {"A", 1, U'A'},
      {"\xC2\x80", 2, 0x80},
      {"\xDF\xBF", 2, 0x7FF},
      {"\xE0\xA0\x80", 3, 0x800},
      {"\xE5\xB8\xB3", 3, 0x5E33},
      {"\xEF\xBF\xBD", 3, 0xFFFD},
      {"\xF0\x90\x80\x80", 4, 0x10000},
      {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
      {"\xC0\x80", 0, 0},          // overlong NUL
      {"\xC1\xBF", 0, 0},          // overlong
      {"\xE0\x9F\xBF", 0, 0},      // overlong
      {"\xF0\x8F\xBF\xBF", 0, 0},  // overlong
      {"\xED\xA0\x80", 0, 0},      // a surrogate
      {"\xF4\x90\x80\x80", 0, 0},  // beyond U+10FFFF
      {"\xF5\x80\x80\x80", 0, 0},  // no such lead
      {"\x80", 0, 0},              // a lone continuation
      {"\xE5\xB8", 0, 0},          // cut short
      {std::string("\xE5\x00\xB3", 3), 0, 0},
  };
  for (const Row& r : rows) {
    char32_t cp = 0;
    EXPECT_EQ(DecodeUtf8(r.bytes, 0, cp), r.length) << testing::PrintToString(r.bytes);
    if (r.length != 0) {
      EXPECT_EQ(cp, r.cp) << testing::PrintToString(r.bytes);
    }
  }
  char32_t cp = 0;
  EXPECT_EQ(DecodeUtf8("x\xC3\xA9", 1, cp), 2u);
  EXPECT_EQ(cp, 0xE9u);
}

// The language packs and the terminal escaping read the same bytes the same way.
TEST(Utf8, PacksAndTerminalAgreeOnWhatIsACharacter) {
  const std::string mixed =
      "a\xC2\x9B"
      "b\xED\xA0\x80"
      "c\xE5\xB8\xB3\xF0\x9F\x98\x80\xC0\xAF";
  std::size_t pos = 0;
  std::u32string decoded;
  while (pos < mixed.size()) decoded.push_back(i18n::NextCodePoint(mixed, pos));
  EXPECT_EQ(decoded, (std::u32string{U'a', 0x9B, U'b', i18n::kReplacementChar,
                                     i18n::kReplacementChar, i18n::kReplacementChar, U'c', 0x5E33,
                                     0x1F600, i18n::kReplacementChar, i18n::kReplacementChar}));
  // U+009B (a C1 control, CSI) is escaped whole; the surrogate's bytes are stray, so the one in
  // 0x80-0x9F is escaped and the others kept; real characters pass.
  EXPECT_EQ(EscapeForTerminal(mixed, true),
            "a\\xc2\\x9bb\xED\xA0\\x80"
            "c\xE5\xB8\xB3\xF0\x9F\x98\x80\xC0\xAF");
}

}  // namespace
}  // namespace orv::test
