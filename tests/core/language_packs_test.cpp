// The shipped language packs against what the program reads from them: every key present, filled
// and within its buffer; nothing the program never reads; the files' encodings and line ends; the
// Chinese pack really translated; labels that the summary glues to values; the build-tree copies.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/i18n/ini_file.h"
#include "core/i18n/language_choice.h"
#include "core/i18n/language_pack.h"
#include "core/i18n/text_keys.h"
#include "core/i18n/unicode_text.h"
#include "core/platform/codepage.h"
#include "core/platform/locale.h"

namespace fs = std::filesystem;
namespace orv::test {

using namespace i18n;

namespace {

const fs::path kSourcePacks = fs::path(ORVANTIS_SOURCE_DIR) / "Language";
const fs::path kBuildPacks = fs::path(ORVANTIS_BINARY_DIR) / "bin" / "Language";
constexpr const char* kPackNames[] = {"ENG.ini", "CHT.ini"};

// Far beyond any lookup buffer: the whole value, uncut.
constexpr std::size_t kWhole = std::size_t{1} << 20;

struct Entry {
  std::string section;
  std::string key;
  std::string value;  // UTF-8
  int line;
};

// The pack decoded to UTF-8 and split into its lines, so that the file's own layout can be
// checked; lookups go through the product's reader instead.
struct RawPack {
  std::string bytes;
  bool wide = false;
  std::string text;  // UTF-8, byte-order mark removed
  std::vector<Entry> entries;
  std::vector<std::pair<std::string, int>> sections;
  std::vector<std::string> badLines;
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

RawPack ReadRaw(const fs::path& path) {
  RawPack p;
  p.bytes = ReadFileBytes(path).value_or("");
  p.wide = p.bytes.size() >= 2 && p.bytes.compare(0, 2, "\xFF\xFE") == 0;
  p.text = p.wide ? Utf16LeToUtf8(std::string_view(p.bytes).substr(2)) : p.bytes;
  std::string section;
  int number = 0;
  std::size_t pos = 0;
  while (pos < p.text.size()) {
    std::size_t end = p.text.find("\r\n", pos);
    if (end == std::string::npos) end = p.text.size();
    const std::string line = p.text.substr(pos, end - pos);
    pos = end + 2;
    ++number;
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      p.sections.emplace_back(section, number);
    } else if (const auto eq = line.find('=');
               eq != std::string::npos && eq > 0 && !section.empty()) {
      p.entries.push_back({section, line.substr(0, eq), line.substr(eq + 1), number});
    } else {
      p.badLines.push_back(std::to_string(number) + ": " + line);
    }
  }
  return p;
}

bool HasCjkIdeograph(std::string_view utf8) {
  for (std::size_t pos = 0; pos < utf8.size();) {
    const char32_t cp = NextCodePoint(utf8, pos);
    if (cp >= 0x4E00 && cp <= 0x9FFF) return true;
  }
  return false;
}

std::string Where(std::string_view pack, std::string_view section, std::string_view key) {
  return std::string(pack) + " [" + std::string(section) + "] " + std::string(key);
}

class LanguagePacksTest : public ::testing::Test {
 protected:
  void TearDown() override { SetSystemCodePage(kCodePageUtf8); }
};

TEST_F(LanguagePacksTest, EveryKeyTheProgramReadsIsFilledAndFitsItsBuffer) {
  for (const char* name : kPackNames) {
    const LanguagePack pack(kSourcePacks / name);
    ASSERT_TRUE(pack.loaded()) << kSourcePacks / name;
    for (const TextKey& k : kTextKeys) {
      SCOPED_TRACE(Where(name, k.section, k.key) + " read by " + std::string(k.reader));
      ASSERT_TRUE(pack.Has(k.section, k.key)) << "missing";
      const std::string whole = pack.Utf8(k.section, k.key, kWhole);
      EXPECT_FALSE(whole.empty()) << "empty";
      EXPECT_LE(Utf16Length(whole), k.buffer - 1) << "too long for its buffer";
      // What the reader's own lookup gives: the whole text, not a cut one.
      EXPECT_EQ(pack.Utf8(k.section, k.key, k.buffer), whole);
    }
  }
}

TEST_F(LanguagePacksTest, PacksHoldOnlyWhatTheProgramReadsEachKeyOnce) {
  for (const char* name : kPackNames) {
    SCOPED_TRACE(name);
    const RawPack raw = ReadRaw(kSourcePacks / name);
    EXPECT_TRUE(raw.badLines.empty()) << "neither section nor key: " << raw.badLines.front();

    std::map<std::string, int> sections;
    for (const auto& [section, line] : raw.sections) {
      // A second section of the same name is read after the first: its keys would be shadowed.
      EXPECT_TRUE(sections.emplace(Lower(section), line).second)
          << "[" << section << "] again at line " << line;
    }
    std::set<std::pair<std::string, std::string>> keys;
    for (const Entry& e : raw.entries) {
      // A misspelt key is simply never read, and the text it was meant for stays empty.
      EXPECT_NE(TextBufferFor(e.section, e.key), 0u)
          << Where(name, e.section, e.key) << " (line " << e.line << ") is read by nobody";
      // The first of two equal keys wins; the second would be a silent dead edit.
      EXPECT_TRUE(keys.emplace(Lower(e.section), Lower(e.key)).second)
          << Where(name, e.section, e.key) << " again at line " << e.line;
      // The reader trims blanks around a value; a pack must not rely on them.
      if (!e.value.empty()) {
        EXPECT_NE(e.value.front(), ' ') << Where(name, e.section, e.key);
        EXPECT_NE(e.value.back(), ' ') << Where(name, e.section, e.key);
      }
    }
  }
}

TEST_F(LanguagePacksTest, EncodingsAndLineEnds) {
  const RawPack eng = ReadRaw(kSourcePacks / "ENG.ini");
  const RawPack cht = ReadRaw(kSourcePacks / "CHT.ini");

  // The English pack has no byte-order mark and is read in whatever the system code page is, so
  // it must be plain ASCII to read the same everywhere.
  ASSERT_FALSE(eng.bytes.empty());
  EXPECT_FALSE(eng.wide);
  for (std::size_t i = 0; i < eng.bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(eng.bytes[i]);
    ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n') << "byte " << i;
  }

  // The Chinese pack is UTF-16LE behind its mark: whole code units, no broken surrogates.
  ASSERT_TRUE(cht.wide);
  EXPECT_EQ(cht.bytes.size() % 2, 0u);
  EXPECT_EQ(cht.text.find("\xEF\xBF\xBD"), std::string::npos) << "undecodable text";
  EXPECT_EQ(IniDocument::Parse(cht.bytes, kCodePageWestern).encoding(), IniEncoding::Utf16Le);

  for (const RawPack* p : {&eng, &cht}) {
    SCOPED_TRACE(p == &eng ? "ENG.ini" : "CHT.ini");
    const std::string& t = p->text;
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t.substr(t.size() - 2), "\r\n") << "the last line has no line end";
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i] == '\n') {
        ASSERT_TRUE(i > 0 && t[i - 1] == '\r') << "bare LF at " << i;
      } else if (t[i] == '\r') {
        ASSERT_TRUE(i + 1 < t.size() && t[i + 1] == '\n') << "bare CR at " << i;
      }
    }
  }
}

TEST_F(LanguagePacksTest, ChineseTextsAreTraditionalChineseAndFitBig5) {
  // Texts that are names in every language.
  const std::set<std::pair<std::string, std::string>> neutral = {
      {"ChoosePage", "RadioPPPoE"},
      {"LANISPPage", "RadioPPPoE"},
  };
  // Simplified forms with a different Traditional one; none belongs in this pack.
  const std::string_view simplified[] = {
      "设", "网", "机", "码", "线", "连", "页", "钥", "择", "载", "录", "动", "时", "间",
      "务", "启", "确", "认", "输", "请", "选", "无", "为", "这", "个", "们", "进", "应",
      "错", "误", "与", "从", "开", "关", "扫", "摄", "讯", "号", "质", "证", "验", "过",
      "态", "类", "称", "说", "钟", "区", "览", "浏", "户", "储", "败", "帐", "数", "试",
  };

  const LanguagePack cht(kSourcePacks / "CHT.ini");
  const LanguagePack eng(kSourcePacks / "ENG.ini");
  const RawPack raw = ReadRaw(kSourcePacks / "CHT.ini");
  for (const Entry& e : raw.entries) {
    SCOPED_TRACE(Where("CHT.ini", e.section, e.key) + " = " + e.value);
    if (neutral.count({e.section, e.key})) {
      EXPECT_EQ(e.value, eng.Utf8(e.section, e.key, kWhole));
    } else {
      EXPECT_TRUE(HasCjkIdeograph(e.value)) << "left untranslated";
    }
    for (std::string_view s : simplified) {
      EXPECT_EQ(e.value.find(s), std::string::npos) << "Simplified character " << s;
    }
  }

  // On a Traditional Chinese system the 8-bit forms of the texts are Big5: every character of
  // the pack must have one there, or it turns into "?".
  SetSystemCodePage(kCodePageTraditionalChinese);
  for (const Entry& e : raw.entries) {
    SCOPED_TRACE(Where("CHT.ini", e.section, e.key));
    const std::string local = cht.Local(e.section, e.key, kWhole);
    EXPECT_EQ(local.find('?'), std::string::npos) << "not in the code page: " << e.value;
    EXPECT_EQ(CodePageToUtf8(local, kCodePageTraditionalChinese), e.value);
  }
}

TEST_F(LanguagePacksTest, SummaryLabelsJoinTheirValuesCleanly) {
  // The summary prints these labels followed by ":" and the value: a colon of their own would
  // double it.
  const std::pair<const char*, const char*> colonAdded[] = {
      {"PPPoEPage", "UserID"},     {"PPPoEPage", "Password"},   {"WizardIPPage", "RadioFixIP"},
      {"WizardIPPage", "Submask"}, {"WizardIPPage", "Gateway"}, {"WizardIPPage", "dns"},
      {"ApscanPage", "SSID"},      {"ApscanPage", "Security"},  {"UPnPPage", "HttpPort"},
      {"UPnPPage", "StreamPort"},  {"UPnPPage", "RTSP"},
  };
  // These two are printed straight before the value, so they carry the punctuation.
  const std::pair<const char*, const char*> joinedDirectly[] = {
      {"SystemPage", "Hostname"},
      {"SystemPage", "Description"},
  };
  auto endsWithColon = [](const std::string& s) {
    return (!s.empty() && s.back() == ':') ||
           (s.size() >= 3 && s.compare(s.size() - 3, 3, "\xEF\xBC\x9A") == 0);  // full-width
  };
  for (const char* name : kPackNames) {
    const LanguagePack pack(kSourcePacks / name);
    for (const auto& [section, key] : colonAdded) {
      EXPECT_FALSE(endsWithColon(pack.Utf8(section, key, kSummaryChars)))
          << Where(name, section, key);
    }
    for (const auto& [section, key] : joinedDirectly) {
      EXPECT_TRUE(endsWithColon(pack.Utf8(section, key, kTextChars))) << Where(name, section, key);
    }
  }
}

TEST_F(LanguagePacksTest, ButtonsAreShortAndQuestionsAreQuestions) {
  const std::pair<const char*, const char*> buttons[] = {
      {"Common", "BtnBack"},          {"Common", "BtnNext"},         {"Common", "BtnSave"},
      {"Common", "BtnFinish"},        {"AboutDlg", "BtnOK"},         {"DlgLoginRoot", "BtnOK"},
      {"FirstPage", "Btn_FindCam"},   {"FirstPage", "Btn_SetupCam"}, {"FirstPage", "Btn_FindNet"},
      {"FirstPage", "Btn_About"},     {"FirstPage", "Btn_Language"}, {"WizardIPPage", "BtnSendARP"},
      {"SetupFinishPage", "BtnLink"},
  };
  // Shown in Yes/No boxes, or answered by the Yes/No buttons beside them.
  const std::pair<const char*, const char*> questions[] = {
      {"ChoosePage", "Note1"},    {"LANPage", "Message1"}, {"WizardIPPage", "Message3"},
      {"ApscanPage", "Message1"}, {"WPSPage", "Message1"},
  };
  const LanguagePack eng(kSourcePacks / "ENG.ini");
  const LanguagePack cht(kSourcePacks / "CHT.ini");
  for (const auto& [section, key] : buttons) {
    const std::string e = eng.Utf8(section, key, kTextChars);
    std::size_t words = 0;
    for (std::size_t i = 0; i < e.size(); ++i) {
      if (e[i] != ' ' && (i == 0 || e[i - 1] == ' ')) ++words;
    }
    EXPECT_LE(words, 2u) << Where("ENG.ini", section, key) << " = " << e;
    EXPECT_LE(Utf16Length(cht.Utf8(section, key, kTextChars)), 8u)
        << Where("CHT.ini", section, key);
  }
  for (const auto& [section, key] : questions) {
    EXPECT_NE(eng.Utf8(section, key, kLongMessageChars).find('?'), std::string::npos)
        << Where("ENG.ini", section, key);
    EXPECT_NE(cht.Utf8(section, key, kLongMessageChars).find("\xEF\xBC\x9F"), std::string::npos)
        << Where("CHT.ini", section, key);  // full-width question mark
  }
}

TEST_F(LanguagePacksTest, LanguageDialogOffersBothPacksAndPreselectsByLocale) {
  const std::vector<std::string> packs = ListPacks((kSourcePacks / "").string());
  ASSERT_EQ(packs, (std::vector<std::string>{"CHT", "ENG"}));
  auto preselected = [&](std::string_view locale) -> std::string {
    const int i = PreselectPack(packs, LanguageAbbreviationForLocale(locale));
    return i < 0 ? "<none>" : packs[static_cast<std::size_t>(i)];
  };
  EXPECT_EQ(preselected("zh_TW.UTF-8"), "CHT");
  EXPECT_EQ(preselected("en_GB.UTF-8"), "ENG");
  // No pack carries these languages: the English one is offered.
  EXPECT_EQ(preselected("en_US.UTF-8"), "ENG");
  EXPECT_EQ(preselected("de_DE.UTF-8"), "ENG");
  EXPECT_EQ(preselected("zh_HK.UTF-8"), "ENG");
}

TEST_F(LanguagePacksTest, BuildTreeCarriesTheCurrentPacks) {
  // The programs read the copies beside them; a stale copy would show yesterday's texts.
  for (const char* name : kPackNames) {
    SCOPED_TRACE(name);
    const auto source = ReadFileBytes(kSourcePacks / name);
    const auto copy = ReadFileBytes(kBuildPacks / name);
    ASSERT_TRUE(source.has_value());
    ASSERT_TRUE(copy.has_value()) << kBuildPacks / name << " missing";
    EXPECT_TRUE(*source == *copy) << kBuildPacks / name << " differs from the source pack";
  }
}

TEST_F(LanguagePacksTest, ChinesePackMatchesItsGenerator) {
  if (std::system("command -v python3 >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
  const std::string command =
      std::string("python3 '") + ORVANTIS_SOURCE_DIR + "/scripts/make_cht_pack.py' --check";
  EXPECT_EQ(std::system(command.c_str()), 0) << "CHT.ini was edited without its generator";
}

}  // namespace

}  // namespace orv::test
