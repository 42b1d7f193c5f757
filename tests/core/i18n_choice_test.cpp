// The language choice: pack list, preselection, defaultlang.ini at start-up and on change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/i18n/language_choice.h"
#include "core/i18n/unicode_text.h"
#include "core/platform/codepage.h"
#include "core/platform/locale.h"
#include "core/platform/program_folder.h"
#include "support/test_env.h"

namespace fs = std::filesystem;
namespace orv::test {

using namespace i18n;

using Packs = std::vector<std::string>;

namespace {

class ChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = MakeTempFolder("orv_lang_");
    ASSERT_FALSE(m_dir.empty());
    fs::create_directory(m_dir / "Language");
    SetSystemCodePage(kCodePageWestern);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
    SetSystemCodePage(kCodePageUtf8);
  }
  void Touch(const std::string& rel, std::string_view bytes = "") {
    std::ofstream(m_dir / rel, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& rel) const {
    return ReadFileBytes(m_dir / rel).value_or("<missing>");
  }
  // A dialog stand-in that counts its runs and answers with a fixed result member.
  LanguageChoice::RunDialog Dialog(std::string result) {
    return [this, result] {
      ++m_dialogRuns;
      return result;
    };
  }
  fs::path m_dir;
  int m_dialogRuns = 0;
};

TEST_F(ChoiceTest, PackListSkipsFoldersAndRemovesOnlyTheExtension) {
  Touch("Language/ENG.ini");
  Touch("Language/CHT.ini");
  Touch("Language/a.ini.ini");
  Touch("Language/my.initial.ini");
  Touch("Language/readme.txt");
  Touch("Language/ENG.ini.bak");
  Touch("Language/.ini");  // would list as an empty name, that is no pack
  fs::create_directory(m_dir / "Language" / "old.ini");
  LanguageChoice choice(m_dir.string());
  // Sorted like the combo box: case does not order "a.ini" after the capitals.
  EXPECT_EQ(choice.ListPacks(), (Packs{"a.ini", "CHT", "ENG", "my.initial"}));
  // Every listed name plus ".ini" is the file it came from.
  for (const auto& name : choice.ListPacks()) {
    EXPECT_TRUE(fs::is_regular_file(choice.LangFilePath(name + ".ini"))) << name;
  }
  EXPECT_TRUE(ListPacks((m_dir / "none/").string()).empty());
}

TEST(PreselectTest, OwnLanguageFirstThenTheLastEnglish) {
  const Packs shipped{"CHT", "ENG"};
  EXPECT_EQ(PreselectPack(shipped, LanguageAbbreviationForLocale("zh_TW.UTF-8")), 0);
  // US English is "ENU": no pack of that name, so the English pack by its "ENG".
  EXPECT_EQ(PreselectPack(shipped, LanguageAbbreviationForLocale("en_US.UTF-8")), 1);
  EXPECT_EQ(PreselectPack(shipped, LanguageAbbreviationForLocale("en_GB.UTF-8")), 1);
  EXPECT_EQ(PreselectPack(shipped, LanguageAbbreviationForLocale("fr_FR.UTF-8")), 1);
  // The walk stops at the first own-language item but keeps going past "ENG" items.
  EXPECT_EQ(PreselectPack({"ENG", "ENG-old", "FRA"}, "ENU"), 1);
  EXPECT_EQ(PreselectPack({"ENG", "JPN", "JPN2"}, "JPN"), 1);
  EXPECT_EQ(PreselectPack({"DEU", "FRA"}, "ENU"), -1);
  EXPECT_EQ(PreselectPack({}, "ENU"), -1);
  // An empty abbreviation is no match for everything.
  EXPECT_EQ(PreselectPack({"CHT", "ENG"}, ""), 1);
}

TEST(PreselectTest, FromTheUsersEnvironment) {
  const char* saved = std::getenv("LC_ALL");
  const std::string keep = saved ? saved : "";
  const Packs shipped{"CHT", "ENG"};
  SetEnv("LC_ALL", "zh_TW.UTF-8");
  EXPECT_EQ(UserLanguageAbbreviation(), "CHT");
  EXPECT_EQ(PreselectPack(shipped, UserLanguageAbbreviation()), 0);
  SetEnv("LC_ALL", "en_US.UTF-8");
  EXPECT_EQ(PreselectPack(shipped, UserLanguageAbbreviation()), 1);
  if (saved) {
    SetEnv("LC_ALL", keep.c_str());
  } else {
    UnsetEnv("LC_ALL");
  }
}

TEST_F(ChoiceTest, PathsFollowTheProgramFolder) {
  LanguageChoice choice(m_dir.string());  // no trailing separator given
  EXPECT_EQ(choice.programFolder(), m_dir.string() + "/");
  EXPECT_EQ(choice.defaultLangPath(), m_dir.string() + "/defaultlang.ini");
  EXPECT_EQ(choice.LangFilePath("ENG.ini"), m_dir.string() + "/Language/ENG.ini");
  // The real program folder is where this test executable is.
  EXPECT_TRUE(fs::exists(ExecutableFolder() + ORVANTIS_TEST_PROGRAM));
}

TEST_F(ChoiceTest, FirstStartCreatesTheFileAsksAndStores) {
  LanguageChoice choice(m_dir.string());
  ASSERT_FALSE(fs::exists(choice.defaultLangPath()));
  const ActiveLanguage first = choice.ResolveAtStartup(Dialog("ENG"));
  EXPECT_EQ(m_dialogRuns, 1);
  EXPECT_TRUE(first.asked);
  EXPECT_TRUE(first.stored);
  EXPECT_EQ(first.langFileName, "ENG.ini");
  EXPECT_EQ(first.langFilePath, m_dir.string() + "/Language/ENG.ini");
  EXPECT_EQ(Read("defaultlang.ini"), "[DefaultLang]\r\nLangFile=ENG.ini\r\n");

  const ActiveLanguage second = choice.ResolveAtStartup(Dialog("CHT"));
  EXPECT_EQ(m_dialogRuns, 1);  // not asked again
  EXPECT_FALSE(second.asked);
  EXPECT_EQ(second.langFileName, "ENG.ini");
}

TEST_F(ChoiceTest, StartupCreatesAnEmptyFileButNeverTruncates) {
  LanguageChoice choice(m_dir.string());
  ASSERT_TRUE(choice.EnsureDefaultLangFile());
  EXPECT_EQ(Read("defaultlang.ini"), "");
  Touch("defaultlang.ini", "[DefaultLang]\nLangFile=CHT.ini\n");
  ASSERT_TRUE(choice.EnsureDefaultLangFile());
  EXPECT_EQ(choice.ReadLangFileName(), "CHT.ini");
  // The section is created in an empty file, keeping its bare line feeds.
  Touch("defaultlang.ini", "[Other]\nx=1\n");
  ASSERT_TRUE(choice.StoreChoice("ENG"));
  EXPECT_EQ(Read("defaultlang.ini"), "[Other]\nx=1\n[DefaultLang]\nLangFile=ENG.ini\n");
  // A folder in its place cannot be read or replaced.
  fs::remove(m_dir / "defaultlang.ini");
  fs::create_directory(m_dir / "defaultlang.ini");
  EXPECT_FALSE(choice.StoreChoice("ENG"));
}

TEST_F(ChoiceTest, DialogClosedWithoutChoiceIsNotStored) {
  LanguageChoice choice(m_dir.string());
  const ActiveLanguage run = choice.ResolveAtStartup(Dialog(""));
  // This run has no pack, as before; but nothing is stored...
  EXPECT_EQ(run.langFileName, ".ini");
  EXPECT_FALSE(run.stored);
  EXPECT_EQ(Read("defaultlang.ini"), "");
  // ...so the next start asks again instead of showing empty texts for good.
  const ActiveLanguage next = choice.ResolveAtStartup(Dialog("CHT"));
  EXPECT_EQ(m_dialogRuns, 2);
  EXPECT_EQ(next.langFileName, "CHT.ini");
  EXPECT_TRUE(next.stored);

  // Blank choices are empty too, and a ".ini" left by an earlier version asks again.
  EXPECT_FALSE(choice.StoreChoice("  "));
  Touch("defaultlang.ini", "[DefaultLang]\r\nLangFile=.ini\r\n");
  EXPECT_EQ(choice.ReadLangFileName(), "");
  EXPECT_TRUE(choice.ResolveAtStartup(Dialog("ENG")).asked);
  EXPECT_EQ(choice.ReadLangFileName(), "ENG.ini");
}

TEST_F(ChoiceTest, ChangeStoresTheResultAndKeepsTheFileEncoding) {
  Touch("defaultlang.ini", "\xFF\xFE" + Utf8ToUtf16Le("[DefaultLang]\r\nLangFile=ENG.ini\r\n"));
  LanguageChoice choice(m_dir.string());
  const ActiveLanguage changed = choice.Change(Dialog("\xE4\xB8\xAD\xE6\x96\x87"));  // "中文"
  EXPECT_TRUE(changed.stored);
  EXPECT_EQ(changed.langFilePath, m_dir.string() + "/Language/\xE4\xB8\xAD\xE6\x96\x87.ini");
  EXPECT_EQ(
      Read("defaultlang.ini"),
      "\xFF\xFE" + Utf8ToUtf16Le("[DefaultLang]\r\nLangFile=\xE4\xB8\xAD\xE6\x96\x87.ini\r\n"));
  EXPECT_EQ(choice.ReadLangFileName(), "\xE4\xB8\xAD\xE6\x96\x87.ini");
  // Closed without OK on a change: the dialog's kept result is stored again, nothing lost.
  EXPECT_TRUE(choice.Change(Dialog("\xE4\xB8\xAD\xE6\x96\x87")).stored);
  EXPECT_EQ(choice.ReadLangFileName(), "\xE4\xB8\xAD\xE6\x96\x87.ini");
  // An empty result on a change leaves the stored choice alone.
  EXPECT_FALSE(choice.Change(Dialog("")).stored);
  EXPECT_EQ(choice.ReadLangFileName(), "\xE4\xB8\xAD\xE6\x96\x87.ini");
}

TEST(ChoiceLocationTest, ConfigFolderFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(UserConfigFolder("/x/cfg", "/home/u"), "/x/cfg/orvantis/");
  EXPECT_EQ(UserConfigFolder("/x/cfg/", "/home/u"), "/x/cfg/orvantis/");
  // Unset, empty or relative: the home folder's .config.
  EXPECT_EQ(UserConfigFolder(nullptr, "/home/u"), "/home/u/.config/orvantis/");
  EXPECT_EQ(UserConfigFolder("", "/home/u/"), "/home/u/.config/orvantis/");
  EXPECT_EQ(UserConfigFolder("cfg", "/home/u"), "/home/u/.config/orvantis/");
  EXPECT_EQ(UserConfigFolder(nullptr, nullptr), "");
  EXPECT_EQ(UserConfigFolder("rel", "also-rel"), "");
  EXPECT_FALSE(FolderIsWritable("/nonexistent-orvantis-folder/"));
  EXPECT_FALSE(FolderIsWritable(""));
}

// The program folder's writability comes from a stand-in: these tests run as root, who may write
// anywhere.
TEST_F(ChoiceTest, WritableProgramFolderKeepsTheChoiceBesideThePacks) {
  std::vector<std::string> asked;
  const ChoiceLocation location{[&asked](const std::string& folder) {
                                  asked.push_back(folder);
                                  return true;
                                },
                                (m_dir / "cfg").string()};
  LanguageChoice choice(m_dir.string(), location);
  EXPECT_EQ(asked, std::vector<std::string>{m_dir.string() + "/"});
  EXPECT_EQ(choice.defaultLangPath(), m_dir.string() + "/defaultlang.ini");
  EXPECT_TRUE(choice.ResolveAtStartup(Dialog("ENG")).stored);
  EXPECT_EQ(Read("defaultlang.ini"), "[DefaultLang]\r\nLangFile=ENG.ini\r\n");
  EXPECT_FALSE(fs::exists(m_dir / "cfg"));
}

TEST_F(ChoiceTest, ReadOnlyProgramFolderRemembersInTheUsersFolder) {
  // A choice left in the program folder by someone who could write there is not this user's.
  Touch("defaultlang.ini", "[DefaultLang]\r\nLangFile=CHT.ini\r\n");
  const ChoiceLocation readOnly{[](const std::string&) { return false; },
                                (m_dir / "home/.config/orvantis").string()};
  LanguageChoice choice(m_dir.string(), readOnly);
  EXPECT_EQ(choice.defaultLangPath(),
            (m_dir / "home/.config/orvantis").string() + "/defaultlang.ini");
  // The packs are still the program's own.
  EXPECT_EQ(choice.LangFilePath("ENG.ini"), m_dir.string() + "/Language/ENG.ini");

  const ActiveLanguage first = choice.ResolveAtStartup(Dialog("ENG"));
  EXPECT_TRUE(first.asked);
  EXPECT_TRUE(first.stored);
  EXPECT_EQ(Read("home/.config/orvantis/defaultlang.ini"), "[DefaultLang]\r\nLangFile=ENG.ini\r\n");
  EXPECT_EQ(Read("defaultlang.ini"), "[DefaultLang]\r\nLangFile=CHT.ini\r\n");
#ifndef _WIN32  // Missing levels are made private to the user (Windows: %APPDATA% already is).
  EXPECT_EQ(fs::status(m_dir / "home/.config").permissions(), fs::perms::owner_all);
#endif

  // The next start reads it back from there and does not ask.
  const ActiveLanguage next =
      LanguageChoice(m_dir.string(), readOnly).ResolveAtStartup(Dialog("X"));
  EXPECT_EQ(m_dialogRuns, 1);
  EXPECT_EQ(next.langFileName, "ENG.ini");

  // A change made before any start-up also finds its folder.
  fs::remove_all(m_dir / "home");
  EXPECT_TRUE(LanguageChoice(m_dir.string(), readOnly).Change(Dialog("CHT")).stored);
  EXPECT_EQ(LanguageChoice(m_dir.string(), readOnly).ReadLangFileName(), "CHT.ini");
}

TEST_F(ChoiceTest, WithoutAUserFolderTheProgramFolderIsTried) {
  const ChoiceLocation nowhere{[](const std::string&) { return false; }, ""};
  EXPECT_EQ(LanguageChoice(m_dir.string(), nowhere).defaultLangPath(),
            m_dir.string() + "/defaultlang.ini");
}

TEST_F(ChoiceTest, LangFileIsReadIntoItsBuffer) {
  const std::string longName(300, 'x');
  Touch("defaultlang.ini", "[DefaultLang]\nLangFile=" + longName + ".ini\n");
  LanguageChoice choice(m_dir.string());
  EXPECT_EQ(choice.ReadLangFileName(), std::string(kLangFileChars - 1, 'x'));
}

}  // namespace

}  // namespace orv::test
