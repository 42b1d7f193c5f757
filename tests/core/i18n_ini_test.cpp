// INI reading and writing: encodings, name matching, lookups cut to their buffers, writes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/i18n/ini_file.h"
#include "core/i18n/language_pack.h"
#include "core/i18n/unicode_text.h"
#include "core/platform/codepage.h"
#include "core/platform/env.h"

namespace fs = std::filesystem;
namespace orv::test {

using namespace i18n;

namespace {

// UTF-16LE bytes with the byte-order mark, from UTF-8 text.
std::string Wide(std::string_view utf8) {
  return "\xFF\xFE" + Utf8ToUtf16Le(utf8);
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "orv_ini_XXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    m_dir = tmpl;
    SetSystemCodePage(kCodePageWestern);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(m_dir, ec);
    SetSystemCodePage(kCodePageUtf8);
  }
  fs::path Write(const std::string& name, std::string_view bytes) {
    const fs::path p = m_dir / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p;
  }
  static std::string Read(const fs::path& p) { return ReadFileBytes(p).value_or("<missing>"); }
  fs::path m_dir;
};

TEST(IniDocumentTest, EncodingFollowsTheByteOrderMark) {
  // The same bytes C3 A9: two CP1252 characters without a mark, one UTF-8 character with one.
  const auto plain = IniDocument::Parse("[S]\r\nk=\xC3\xA9\r\n", kCodePageWestern);
  EXPECT_EQ(plain.encoding(), IniEncoding::CodePage);
  EXPECT_EQ(plain.Find("S", "k"), "\xC3\x83\xC2\xA9");  // "Ã©"

  const auto wide = IniDocument::Parse(Wide("[S]\r\nk=\xE4\xB8\xAD\xE6\x96\x87\r\n"), 1252);
  EXPECT_EQ(wide.encoding(), IniEncoding::Utf16Le);
  EXPECT_EQ(wide.Find("S", "k"), "\xE4\xB8\xAD\xE6\x96\x87");  // "中文"

  // Big-endian mark is not ours: the file is 8-bit and its first line unreadable as a section.
  const auto be = IniDocument::Parse("\xFE\xFF\0[\0S\0]", kCodePageWestern);
  EXPECT_EQ(be.encoding(), IniEncoding::CodePage);

  const auto bom8 = IniDocument::Parse("\xEF\xBB\xBF[S]\nk=\xC3\xA9\n", kCodePageWestern);
  EXPECT_EQ(bom8.encoding(), IniEncoding::Utf8Bom);
  EXPECT_EQ(bom8.Find("s", "K"), "\xC3\xA9");
}

TEST(IniDocumentTest, EightBitFilesUseTheGivenCodePage) {
  // "中文" in CP950 (Big5) and in CP936 (GBK).
  const auto big5 = IniDocument::Parse("[S]\nk=\xA4\xA4\xA4\xE5\n", kCodePageTraditionalChinese);
  EXPECT_EQ(big5.Find("S", "k"), "\xE4\xB8\xAD\xE6\x96\x87");
  const auto gbk = IniDocument::Parse("[S]\nk=\xD6\xD0\xCE\xC4\n", kCodePageSimplifiedChinese);
  EXPECT_EQ(gbk.Find("S", "k"), "\xE4\xB8\xAD\xE6\x96\x87");
  // A Big5 trail byte equal to a backslash must not confuse the line structure: "許" is B3 5C.
  const auto trail = IniDocument::Parse("[S]\nk=\xB3\\\nj=2\n", kCodePageTraditionalChinese);
  EXPECT_EQ(trail.Find("S", "k"), "\xE8\xA8\xB1");
  EXPECT_EQ(trail.Find("S", "j"), "2");
}

TEST(IniDocumentTest, NamesMatchWithoutCaseAndTheFirstKeyWins) {
  const std::string text =
      "top=outside\n"
      "[Common]\n"
      "BtnNext=Next\n"
      "btnnext=Second\n"
      "  BtnBack  =  Back  \n"
      "[Other]\n"
      "BtnNext=Other\n"
      "[COMMON]\n"
      "BtnSave=Save\n"
      "BtnNext=Third\n";
  const auto doc = IniDocument::Parse(text, kCodePageWestern);
  EXPECT_EQ(doc.Find("common", "BTNNEXT"), "Next");
  EXPECT_EQ(doc.Find("Common", "BtnBack"), "Back");
  EXPECT_EQ(doc.Find("Other", "btnNext"), "Other");
  // A second section of the same name adds its keys; earlier ones still win.
  EXPECT_EQ(doc.Find("common", "BtnSave"), "Save");
  EXPECT_FALSE(doc.Find("Common", "top"));
  EXPECT_FALSE(doc.Find("Missing", "BtnNext"));
  EXPECT_FALSE(doc.Find("Common", "Missing"));
  // Non-ASCII names fold too.
  const auto cyr = IniDocument::Parse("[\xD0\x9C\xD0\x98\xD0\xA0]\nk=v\n", kCodePageUtf8);  // МИР
  EXPECT_EQ(cyr.Find("\xD0\xBC\xD0\xB8\xD1\x80", "K"), "v");  // мир
}

TEST(IniDocumentTest, ValueIsTheRestOfTheLine) {
  const auto doc = IniDocument::Parse(
      "[S]\r\n"
      "a=x = y; not a comment\r\n"
      "b=\r\n"
      "c=last line without end",
      kCodePageWestern);
  EXPECT_EQ(doc.Find("S", "a"), "x = y; not a comment");
  EXPECT_EQ(doc.Find("S", "b"), "");  // present but empty
  EXPECT_EQ(doc.Find("S", "c"), "last line without end");
  // Old Mac line ends and a mix of them still separate lines.
  const auto mixed = IniDocument::Parse("[S]\rk=1\r\nm=2\nn=3", kCodePageWestern);
  EXPECT_EQ(mixed.Find("S", "k"), "1");
  EXPECT_EQ(mixed.Find("S", "m"), "2");
  EXPECT_EQ(mixed.Find("S", "n"), "3");
}

TEST(CutToBufferTest, CutsToSizeMinusOneCharacters) {
  EXPECT_EQ(CutToBuffer("abcdef", 4), "abc");
  EXPECT_EQ(CutToBuffer("abc", 4), "abc");
  EXPECT_EQ(CutToBuffer("abcd", 4), "abc");
  EXPECT_EQ(CutToBuffer("abc", 1), "");
  EXPECT_EQ(CutToBuffer("abc", 0), "");
  // Characters, not bytes: three Chinese characters fit in a buffer of 4.
  EXPECT_EQ(CutToBuffer("\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\xE5\x85\x83", 4),
            "\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97");
  // U+1F600 is a surrogate pair: two units. With room for one unit left it is dropped whole.
  EXPECT_EQ(CutToBuffer("ab\xF0\x9F\x98\x80", 4), "ab");
  EXPECT_EQ(CutToBuffer("ab\xF0\x9F\x98\x80", 5), "ab\xF0\x9F\x98\x80");
  EXPECT_EQ(CutToBuffer("a\xF0\x9F\x98\x80z", 4), "a\xF0\x9F\x98\x80");
}

TEST(CutToBufferTest, LocalFormIsCutAtTheSameCharacter) {
  SetSystemCodePage(kCodePageTraditionalChinese);
  const ProfileText t = MakeProfileText("\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97", 3);
  EXPECT_EQ(t.utf8, "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(t.local, "\xA4\xA4\xA4\xE5");
  SetSystemCodePage(kCodePageWestern);
  // Unmappable in CP1252: "?" per character, the UTF-8 form intact.
  const ProfileText w = MakeProfileText("caf\xC3\xA9 \xE4\xB8\xAD", 260);
  EXPECT_EQ(w.local, "caf\xE9 ?");
  EXPECT_EQ(w.utf8, "caf\xC3\xA9 \xE4\xB8\xAD");
  SetSystemCodePage(kCodePageUtf8);
}

TEST_F(TempDir, LookupsWithoutDefault) {
  const fs::path pack = Write("ENG.ini", "[Common]\r\nBtnNext=Next\r\nBtnBack=\r\n");
  EXPECT_EQ(GetProfileString(pack, "Common", "BtnNext", kTextChars), "Next");
  EXPECT_EQ(GetProfileString(pack, "Common", "BtnBack", kTextChars), "");
  EXPECT_EQ(GetProfileString(pack, "Common", "BtnSave", kTextChars), "");
  EXPECT_EQ(GetProfileString(m_dir / "none.ini", "Common", "BtnNext", kTextChars), "");
  EXPECT_EQ(GetProfileString(m_dir, "Common", "BtnNext", kTextChars), "");  // a folder
  LanguagePack p(pack);
  EXPECT_TRUE(p.loaded());
  EXPECT_TRUE(p.Has("common", "btnback"));
  EXPECT_FALSE(p.Has("common", "btnsave"));
  EXPECT_EQ(p.Utf8("Common", "BtnNext", 3), "Ne");
  LanguagePack none(m_dir / "none.ini");
  EXPECT_FALSE(none.loaded());
  EXPECT_EQ(none.Local("Common", "BtnNext"), "");
}

TEST_F(TempDir, WritingCreatesFileAndSection) {
  const fs::path p = m_dir / "defaultlang.ini";
  ASSERT_TRUE(WriteProfileString(p, "DefaultLang", "LangFile", "ENG.ini"));
  EXPECT_EQ(Read(p), "[DefaultLang]\r\nLangFile=ENG.ini\r\n");
  ASSERT_TRUE(WriteProfileString(p, "defaultlang", "LANGFILE", "CHT.ini"));
  EXPECT_EQ(GetProfileString(p, "DefaultLang", "LangFile", kLangFileChars), "CHT.ini");
  EXPECT_EQ(Read(p), "[DefaultLang]\r\nLANGFILE=CHT.ini\r\n");

  // An empty file gets the section; a file with other sections keeps them.
  const fs::path q = Write("q.ini", "[A]\nx=1\n\n[B]\ny=2");
  ASSERT_TRUE(WriteProfileString(q, "A", "z", "3"));
  ASSERT_TRUE(WriteProfileString(q, "B", "w", "4"));
  ASSERT_TRUE(WriteProfileString(q, "C", "v", "5"));
  EXPECT_EQ(Read(q), "[A]\nx=1\nz=3\n\n[B]\ny=2\nw=4\n[C]\nv=5\n");
  // Unwritable place: reported, not pretended.
  EXPECT_FALSE(WriteProfileString(m_dir / "no" / "such.ini", "S", "k", "v"));
}

TEST_F(TempDir, WritingKeepsOtherLinesAndTheEncoding) {
  const std::string original =
      Wide("; note\r\n[DefaultLang]\r\nLangFile=ENG.ini\r\nOther=\xE4\xB8\xAD\r\n");
  const fs::path p = Write("defaultlang.ini", original);
  ::chmod(p.c_str(), 0640);
  ASSERT_TRUE(WriteProfileString(p, "DefaultLang", "LangFile", "\xE4\xB8\xAD\xE6\x96\x87.ini"));
  EXPECT_EQ(Read(p), Wide("; note\r\n[DefaultLang]\r\nLangFile=\xE4\xB8\xAD\xE6\x96\x87.ini\r\n"
                          "Other=\xE4\xB8\xAD\r\n"));
  EXPECT_EQ(GetProfileText(p, "DefaultLang", "LangFile", kLangFileChars).utf8,
            "\xE4\xB8\xAD\xE6\x96\x87.ini");
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // 8-bit file: bytes that are not valid in the code page survive a write elsewhere in the file.
  SetSystemCodePage(kCodePageUtf8);
  const fs::path q = Write("q.ini", "[S]\nraw=\xFF\xFE\x80\nk=1\n");
  ASSERT_TRUE(WriteProfileString(q, "S", "k", "2"));
  EXPECT_EQ(Read(q), "[S]\nraw=\xFF\xFE\x80\nk=2\n");
}

TEST_F(TempDir, OversizeFilesAreReadInPartButNeverRewritten) {
  std::string big = "[S]\nk=v\n";
  big.resize(kMaxIniFileBytes + 10, ';');
  const fs::path p = Write("big.ini", big);
  EXPECT_EQ(GetProfileString(p, "S", "k", kTextChars), "v");
  EXPECT_FALSE(WriteProfileString(p, "S", "k", "w"));
  EXPECT_EQ(fs::file_size(p), big.size());  // the part beyond the limit is not lost
}

TEST_F(TempDir, WrittenValuesCannotAddLines) {
  const fs::path p = m_dir / "x.ini";
  ASSERT_TRUE(WriteProfileString(p, "S", "k", "ENG.ini\r\n[Evil]\r\nk=1"));
  EXPECT_EQ(Read(p), "[S]\r\nk=ENG.ini\r\n");
  EXPECT_EQ(GetProfileString(p, "Evil", "k", kTextChars), "");
}

TEST_F(TempDir, SavingKeepsTheOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const fs::path p = Write("owned.ini", "[S]\nk=1\n");
  ASSERT_EQ(::chown(p.c_str(), 4321, 4322), 0);
  ASSERT_TRUE(WriteProfileString(p, "S", "k", "2"));
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 4321u);
  EXPECT_EQ(st.st_gid, 4322u);
  EXPECT_EQ(Read(p), "[S]\nk=2\n");
}

TEST_F(TempDir, APrivilegedSaveNeverFollowsALink) {
  const fs::path real = Write("real.ini", "[S]\nk=1\n");
  const fs::path link = m_dir / "link.ini";
  fs::create_symlink(real, link);

  SetRaisedPrivilegesForTesting(true);
  EXPECT_FALSE(WriteProfileString(link, "S", "k", "2"));
  SetRaisedPrivilegesForTesting(std::nullopt);
  EXPECT_EQ(Read(real), "[S]\nk=1\n") << "the file behind the link is untouched";
  EXPECT_TRUE(fs::is_symlink(link));

  if (::geteuid() != 0) {
    // An ordinary user's link (a settings file kept elsewhere) is still written through.
    ASSERT_TRUE(WriteProfileString(link, "S", "k", "3"));
    EXPECT_EQ(Read(real), "[S]\nk=3\n");
    EXPECT_TRUE(fs::is_symlink(link));
  } else {
    EXPECT_FALSE(WriteProfileString(link, "S", "k", "3")) << "root is always privileged";
  }
  // A dangling link is not a way to create a file elsewhere either.
  const fs::path dangling = m_dir / "dangling.ini";
  fs::create_symlink(m_dir / "elsewhere.ini", dangling);
  SetRaisedPrivilegesForTesting(true);
  EXPECT_FALSE(WriteProfileString(dangling, "S", "k", "1"));
  SetRaisedPrivilegesForTesting(std::nullopt);
  EXPECT_FALSE(fs::exists(m_dir / "elsewhere.ini"));
}

}  // namespace

}  // namespace orv::test
