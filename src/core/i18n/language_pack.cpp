#include "core/i18n/language_pack.h"

#include "core/platform/codepage.h"

namespace orv::i18n {

LanguagePack::LanguagePack(const std::filesystem::path& path) : path_(path) {
  if (const auto bytes = ReadFileBytes(path)) {
    doc_ = IniDocument::Parse(*bytes, SystemCodePage());
    loaded_ = true;
  }
}

ProfileText LanguagePack::Text(std::string_view section, std::string_view key,
                               std::size_t bufferChars) const {
  return MakeProfileText(doc_.Find(section, key).value_or(std::string()), bufferChars);
}

std::string LanguagePack::Local(std::string_view section, std::string_view key,
                                std::size_t bufferChars) const {
  return Text(section, key, bufferChars).local;
}

std::string LanguagePack::Utf8(std::string_view section, std::string_view key,
                               std::size_t bufferChars) const {
  return CutToBuffer(doc_.Find(section, key).value_or(std::string()), bufferChars);
}

bool LanguagePack::Has(std::string_view section, std::string_view key) const {
  return doc_.Find(section, key).has_value();
}

}  // namespace orv::i18n
