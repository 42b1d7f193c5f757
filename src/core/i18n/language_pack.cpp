#include "core/i18n/language_pack.h"

#include "core/platform/codepage.h"

namespace orv::i18n {

LanguagePack::LanguagePack(const std::filesystem::path& path) : m_path(path) {
  if (const auto bytes = ReadFileBytes(path)) {
    m_doc = IniDocument::Parse(*bytes, SystemCodePage());
    m_loaded = true;
  }
}

ProfileText LanguagePack::Text(std::string_view section, std::string_view key,
                               std::size_t bufferChars) const {
  return MakeProfileText(m_doc.Find(section, key).value_or(std::string()), bufferChars);
}

std::string LanguagePack::Local(std::string_view section, std::string_view key,
                                std::size_t bufferChars) const {
  return Text(section, key, bufferChars).local;
}

std::string LanguagePack::Utf8(std::string_view section, std::string_view key,
                               std::size_t bufferChars) const {
  return CutToBuffer(m_doc.Find(section, key).value_or(std::string()), bufferChars);
}

bool LanguagePack::Has(std::string_view section, std::string_view key) const {
  return m_doc.Find(section, key).has_value();
}

}  // namespace orv::i18n
