// Locale-derived pieces: the three-letter language name, the system code page, conversions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

#include "core/i18n/unicode_text.h"
#include "core/platform/codepage.h"
#include "core/platform/locale.h"
#include "core/util/fixed_text.h"
#include "support/test_env.h"

namespace orv::test {

namespace {

// Sets environment variables for one test and restores them afterwards.
class EnvTest : public ::testing::Test {
 protected:
  void Set(const char* name, const char* value) {
    if (!m_saved.count(name)) {
      const char* old = std::getenv(name);
      m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
    }
    if (value) {
      SetEnv(name, value);
    } else {
      UnsetEnv(name);
    }
  }
  void TearDown() override {
    for (const auto& [name, value] : m_saved) {
      if (value) {
        SetEnv(name.c_str(), value->c_str());
      } else {
        UnsetEnv(name.c_str());
      }
    }
    SetSystemCodePage(kCodePageUtf8);
  }
  std::map<std::string, std::optional<std::string>> m_saved;
};

TEST(LanguageNameTest, TableAndFallback) {
  EXPECT_EQ(LanguageAbbreviationForLocale("en_US.UTF-8"), "ENU");
  EXPECT_EQ(LanguageAbbreviationForLocale("en_GB.UTF-8"), "ENG");
  EXPECT_EQ(LanguageAbbreviationForLocale("zh_TW.Big5"), "CHT");
  EXPECT_EQ(LanguageAbbreviationForLocale("zh_HK.UTF-8"), "ZHH");
  EXPECT_EQ(LanguageAbbreviationForLocale("de_AT.UTF-8"), "DEU");
  EXPECT_EQ(LanguageAbbreviationForLocale("it_IT@euro"), "ITA");
  EXPECT_EQ(LanguageAbbreviationForLocale("pt_BR.UTF-8"), "PTB");
  // Not in the table: language letters and the territory's first letter.
  EXPECT_EQ(LanguageAbbreviationForLocale("nl_BE.UTF-8"), "NLB");
  EXPECT_EQ(LanguageAbbreviationForLocale("pt_PT"), "PTP");
  EXPECT_EQ(LanguageAbbreviationForLocale("en_AU.UTF-8"), "ENA");
  EXPECT_EQ(LanguageAbbreviationForLocale("sv"), "SV");
  EXPECT_EQ(LanguageAbbreviationForLocale("en"), "ENU");
  EXPECT_EQ(LanguageAbbreviationForLocale("C"), "ENU");
  EXPECT_EQ(LanguageAbbreviationForLocale(""), "ENU");
}

TEST_F(EnvTest, LanguageComesFromTheMessagesLocale) {
  Set("LC_ALL", nullptr);
  Set("LC_MESSAGES", "ja_JP.UTF-8");
  Set("LANG", "de_DE.UTF-8");
  EXPECT_EQ(UserLanguageAbbreviation(), "JPN");
  Set("LC_MESSAGES", "");  // empty counts as unset
  EXPECT_EQ(UserLanguageAbbreviation(), "DEU");
  Set("LC_ALL", "zh_TW.UTF-8");
  EXPECT_EQ(UserLanguageAbbreviation(), "CHT");
  Set("LC_ALL", nullptr);
  Set("LANG", nullptr);
  EXPECT_EQ(UserLanguageAbbreviation(), "ENU");
}

TEST(CodePageTest, ChosenFromTheLocale) {
  EXPECT_EQ(CodePageForLocale("zh_TW.UTF-8"), 950);
  EXPECT_EQ(CodePageForLocale("zh_HK.Big5-HKSCS"), 950);
  EXPECT_EQ(CodePageForLocale("zh_CN.UTF-8"), 936);
  EXPECT_EQ(CodePageForLocale("ja_JP.eucJP"), 932);
  EXPECT_EQ(CodePageForLocale("ko_KR.UTF-8"), 949);
  EXPECT_EQ(CodePageForLocale("en_US.UTF-8"), 65001);
  EXPECT_EQ(CodePageForLocale("de_DE.utf8"), 65001);
  EXPECT_EQ(CodePageForLocale("C.UTF-8"), 65001);
  EXPECT_EQ(CodePageForLocale("de_DE@euro"), 1252);
  EXPECT_EQ(CodePageForLocale("C"), 1252);
}

TEST(CodePageTest, ParsesNames) {
  EXPECT_EQ(ParseCodePageName("950"), 950);
  EXPECT_EQ(ParseCodePageName("CP950"), 950);
  EXPECT_EQ(ParseCodePageName("cp1252"), 1252);
  EXPECT_EQ(ParseCodePageName("UTF-8"), 65001);
  EXPECT_EQ(ParseCodePageName("65001"), 65001);
  EXPECT_EQ(ParseCodePageName("CP1251"), 1251);  // any code page the converter has
  EXPECT_FALSE(ParseCodePageName("CP12345"));
  EXPECT_FALSE(ParseCodePageName("Big5"));
  EXPECT_FALSE(ParseCodePageName(""));
  EXPECT_FALSE(ParseCodePageName("99999999999999"));
}

TEST_F(EnvTest, OverrideThenLocaleAndTheCutRule) {
  Set("ORVANTIS_CODEPAGE", nullptr);
  Set("LC_ALL", nullptr);
  Set("LC_CTYPE", "zh_TW.UTF-8");
  EXPECT_EQ(DetectSystemCodePage(), 950);
  Set("ORVANTIS_CODEPAGE", "CP936");
  EXPECT_EQ(DetectSystemCodePage(), 936);
  Set("ORVANTIS_CODEPAGE", "nonsense");  // ignored, not fatal
  EXPECT_EQ(DetectSystemCodePage(), 950);
  Set("ORVANTIS_CODEPAGE", nullptr);

  ASSERT_EQ(InitSystemCodePage(), 950);
  EXPECT_EQ(SystemCodePage(), 950);
  EXPECT_EQ(TextBoundaryKind(), CharSetKind::DoubleByte);
  // Three bytes of room: the second Big5 character does not fit and is not halved.
  FixedText<4> field("\xA4\xA4\xA4\xE5");
  EXPECT_EQ(field.view(), "\xA4\xA4");

  Set("LC_CTYPE", "en_US.UTF-8");
  ASSERT_EQ(InitSystemCodePage(), 65001);
  EXPECT_EQ(TextBoundaryKind(), CharSetKind::Utf8);
  Set("LC_CTYPE", "C");
  ASSERT_EQ(InitSystemCodePage(), 1252);
  EXPECT_EQ(TextBoundaryKind(), CharSetKind::SingleByte);
}

TEST(ConversionTest, BothWaysWithQuestionMarks) {
  const std::string zh = "\xE4\xB8\xAD\xE6\x96\x87";  // "中文"
  EXPECT_EQ(Utf8ToCodePage(zh, 950), "\xA4\xA4\xA4\xE5");
  EXPECT_EQ(CodePageToUtf8("\xA4\xA4\xA4\xE5", 950), zh);
  EXPECT_EQ(Utf8ToCodePage(zh, 932), "\x92\x86\x95\xB6");
  EXPECT_EQ(Utf8ToCodePage("\xE2\x82\xAC"
                           "5",
                           1252),
            "\x80"
            "5");  // the euro sign
  // Unmappable characters: one "?" each, whatever their length.
  EXPECT_EQ(Utf8ToCodePage("a" + zh + "b", 1252), "a??b");
  EXPECT_EQ(Utf8ToCodePage("\xF0\x9F\x98\x80!", 950), "?!");
  // Invalid input: one "?" per bad byte, the rest kept.
  EXPECT_EQ(Utf8ToCodePage("x\xFFy", 1252), "x?y");
  EXPECT_EQ(CodePageToUtf8("x\xFFy", 65001), "x?y");
  EXPECT_EQ(CodePageToUtf8("ab\xA4", 950), "ab?");    // lead byte cut off at the end
  EXPECT_EQ(CodePageToUtf8("\xA4\nz", 950), "?\nz");  // a line feed is never swallowed
  EXPECT_EQ(CodePageToUtf8("\x81", 1252), "?");       // undefined in CP1252
  EXPECT_EQ(CodePageToUtf8("", 950), "");
  // Long text crosses the converter's buffer.
  std::string big;
  for (int i = 0; i < 3000; ++i) big += zh;
  EXPECT_EQ(CodePageToUtf8(Utf8ToCodePage(big, 936), 936), big);
}

TEST(Utf16Test, SurrogatesAndBrokenInput) {
  using namespace orv::i18n;
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8\x00\xDE", 4)), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16Le("\xF0\x9F\x98\x80"), std::string("\x3D\xD8\x00\xDE", 4));
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8"
                                      "A\0",
                                      4)),
            "\xEF\xBF\xBD"
            "A");                                                            // lone high
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x00\xDE", 2)), "\xEF\xBF\xBD");      // lone low
  EXPECT_EQ(Utf16LeToUtf8(std::string("A\0B", 3)), "A");                     // odd byte
  EXPECT_EQ(Utf8ToUtf16Le("\xC0\x80"), std::string("\xFD\xFF\xFD\xFF", 4));  // overlong
  EXPECT_EQ(Utf16Length("a\xE4\xB8\xAD\xF0\x9F\x98\x80"), 4u);
  EXPECT_TRUE(NamesEqual("Caf\xC3\x89", "cAF\xC3\xA9"));
  EXPECT_FALSE(NamesEqual("Note", "Note1"));
  EXPECT_FALSE(NamesEqual("a", "\xC3\xA1"));
}

}  // namespace

}  // namespace orv::test
