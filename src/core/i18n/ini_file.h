#pragma once
// INI files with the private-profile rules: a file that starts with the UTF-16LE byte-order mark
// is UTF-16LE, any other the 8-bit system code page; section and key names match without regard
// to case; the first matching key wins; a value is the text after "=" to the end of the line
// (blanks around it dropped). A missing file, section or key reads as empty text. Writing keeps
// every other line byte for byte and keeps the file's encoding.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::i18n {

enum class IniEncoding {
  CodePage,  // 8-bit text in the code page given when the file was read
  Utf16Le,   // begins with FF FE
  Utf8Bom,   // begins with EF BB BF: UTF-8 whatever the code page (editors write these)
};

// Larger files are read only up to this size and never rewritten.
inline constexpr std::size_t kMaxIniFileBytes = 1u << 20;

class IniDocument {
 public:
  IniDocument() = default;  // empty, 8-bit in the system code page
  explicit IniDocument(int codePage) : m_codePage(codePage) {}

  // Decodes file bytes; never fails (undecodable bytes read as "?" or U+FFFD).
  static IniDocument Parse(std::string_view bytes, int codePage);

  IniEncoding encoding() const { return m_encoding; }
  int codePage() const { return m_codePage; }

  // UTF-8 value of the first matching key of every section with that name, in file order.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  // Replaces the first matching key's line, or adds the key at the end of the first matching
  // section, or adds the section at the end. Names and value are UTF-8; a value is cut at its
  // first line break, since it could not be read back otherwise.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The file bytes in the document's encoding.
  std::string Serialize() const;

 private:
  enum class Eol { None, Lf, CrLf, Cr };
  enum class Kind { Blank, Other, Section, Key };
  struct Line {
    std::string raw;  // the line's bytes in the file's encoding, without its terminator
    Eol eol = Eol::None;
    Kind kind = Kind::Other;
    std::string name;   // section or key name, UTF-8, trimmed
    std::string value;  // key value, UTF-8, trimmed
  };

  void AddLine(std::string_view raw, Eol eol);
  Line MakeLine(std::string_view text, Eol eol) const;
  std::string Encode(std::string_view utf8) const;
  std::string Decode(std::string_view raw) const;
  Eol NewLineEol() const;

  IniEncoding m_encoding = IniEncoding::CodePage;
  int m_codePage = 0;  // 0: the system code page at the time of use
  std::vector<Line> m_lines;
};

// Reads a file; nullopt when it does not exist or cannot be read. Larger files are cut to
// kMaxIniFileBytes and *tooLarge set.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path,
                                         bool* tooLarge = nullptr);

// The file parsed with the given code page; a missing file gives an empty document.
IniDocument LoadIniFile(const std::filesystem::path& path, int codePage);
IniDocument LoadIniFile(const std::filesystem::path& path);  // system code page

// Replaces the file's contents as one step (a new file beside it, then renamed over it, and the
// folder synced), keeping its permissions and owner. A symbolic link is followed only for an
// unprivileged user. False when it cannot be written.
bool SaveIniFile(const std::filesystem::path& path, const IniDocument& doc);

// A looked-up text in both forms: `local` in the system code page (as the session record holds
// texts), `utf8` for the user interface.
struct ProfileText {
  std::string local;
  std::string utf8;
};

// The value cut to bufferChars - 1 UTF-16 units, never inside a character; 0 gives empty text.
std::string CutToBuffer(std::string_view utf8, std::size_t bufferChars);
ProfileText MakeProfileText(std::string_view utf8, std::size_t bufferChars);

// One lookup in a file, without a default: missing file, section or key give empty text.
ProfileText GetProfileText(const std::filesystem::path& path, std::string_view section,
                           std::string_view key, std::size_t bufferChars);
std::string GetProfileString(const std::filesystem::path& path, std::string_view section,
                             std::string_view key, std::size_t bufferChars);  // local form

// Writes one key, creating the file and the section as needed. valueUtf8 is UTF-8.
bool WriteProfileString(const std::filesystem::path& path, std::string_view section,
                        std::string_view key, std::string_view valueUtf8);

}  // namespace orv::i18n
