#pragma once
// Text lookups in the active language pack. Every lookup names its buffer size in characters
// (UTF-16 units); a longer value is cut to size - 1. There is no default: a missing pack, section
// or key gives empty text.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/i18n/ini_file.h"

namespace orv::i18n {

// The buffer sizes of the lookups, by what they hold.
inline constexpr std::size_t kTextChars = 260;      // captions, labels: the usual size
inline constexpr std::size_t kHomeTextChars = 512;  // home-page buttons and link texts
inline constexpr std::size_t kMessageChars = 1024;  // messages, notes, page titles
inline constexpr std::size_t kSummaryChars = 2014;  // summary-page labels and notes
inline constexpr std::size_t kLongMessageChars =
    2048;                                           // long warnings of the address/UPnP/WPS pages
inline constexpr std::size_t kNoteChars = 8072;     // the search page's note
inline constexpr std::size_t kLangFileChars = 255;  // "LangFile" of defaultlang.ini

// One pack, read once; lookups do not touch the disk again. Reload by constructing a new one.
class LanguagePack {
 public:
  LanguagePack() = default;  // no pack: every text is empty
  explicit LanguagePack(const std::filesystem::path& path);

  const std::filesystem::path& path() const { return m_path; }
  bool loaded() const { return m_loaded; }

  ProfileText Text(std::string_view section, std::string_view key,
                   std::size_t bufferChars = kTextChars) const;
  // The system-code-page form alone (session record, 8-bit callers).
  std::string Local(std::string_view section, std::string_view key,
                    std::size_t bufferChars = kTextChars) const;
  // The UTF-8 form alone (the user interface).
  std::string Utf8(std::string_view section, std::string_view key,
                   std::size_t bufferChars = kTextChars) const;

  // Present in the pack (an empty value counts as present). For checks of the packs, not the UI.
  bool Has(std::string_view section, std::string_view key) const;

 private:
  std::filesystem::path m_path;
  bool m_loaded = false;
  IniDocument m_doc;
};

}  // namespace orv::i18n
