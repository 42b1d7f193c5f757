#include "core/i18n/language_choice.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "core/platform/program_folder.h"
#include "core/platform/user_folders.h"

namespace orv::i18n {
namespace {

// A folder could hold anything; the combo box does not need more than this.
constexpr std::size_t kMaxPacks = 4096;

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const auto fold = [](unsigned char c) { return std::tolower(c); };
  const auto n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int x = fold(static_cast<unsigned char>(a[i]));
    const int y = fold(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // a stable order for names that differ only in case
}

}  // namespace

std::vector<std::string> ListPacks(const std::string& languageFolder) {
  std::vector<std::string> packs;
  std::error_code ec;
  std::filesystem::directory_iterator it(languageFolder, ec);
  if (ec) return packs;
  for (; it != std::filesystem::directory_iterator() && packs.size() < kMaxPacks;
       it.increment(ec)) {
    if (ec) break;
    std::error_code typeEc;
    if (it->is_directory(typeEc)) continue;
    std::string name = it->path().filename().string();
    if (name.size() <= kPackExtension.size() || !name.ends_with(kPackExtension)) continue;
    // Only the extension goes: "a.ini.ini" lists as "a.ini", and "my.initial.ini" as
    // "my.initial", so that adding ".ini" back always names the file again.
    name.resize(name.size() - kPackExtension.size());
    packs.push_back(std::move(name));
  }
  std::sort(packs.begin(), packs.end(), LessIgnoringCase);
  return packs;
}

int PreselectPack(const std::vector<std::string>& sortedPacks, std::string_view abbreviation) {
  int selected = -1;
  for (std::size_t i = 0; i < sortedPacks.size(); ++i) {
    const std::string& item = sortedPacks[i];
    if (!abbreviation.empty() && item.find(abbreviation) != std::string::npos) {
      return static_cast<int>(i);
    }
    if (item.find(kFallbackPackTag) != std::string::npos) selected = static_cast<int>(i);
  }
  return selected;
}

bool IsEmptyChoice(std::string_view packName) {
  return std::all_of(packName.begin(), packName.end(),
                     [](char c) { return c == ' ' || c == '\t'; });
}

ChoiceLocation DefaultChoiceLocation() {
  return {FolderIsWritable, UserConfigFolder()};
}

LanguageChoice::LanguageChoice(std::string programFolder)
    : LanguageChoice(std::move(programFolder), DefaultChoiceLocation()) {}

LanguageChoice::LanguageChoice(std::string programFolder, const ChoiceLocation& location)
    : m_programFolder(WithTrailingSeparator(std::move(programFolder))) {
  const bool beside = location.configFolder.empty() || !location.folderWritable ||
                      location.folderWritable(m_programFolder);
  m_choiceFolder = beside ? m_programFolder : WithTrailingSeparator(location.configFolder);
  m_defaultLangPath = m_choiceFolder + std::string(kDefaultLangFileName);
}

void LanguageChoice::MakeChoiceFolder() const {
  if (m_choiceFolder != m_programFolder) MakePrivateFolders(m_choiceFolder);
}

std::string LanguageChoice::languageFolder() const {
  return m_programFolder + std::string(kLanguageFolderName);
}

std::string LanguageChoice::LangFilePath(std::string_view langFileName) const {
  return languageFolder() + std::string(langFileName);
}

bool LanguageChoice::EnsureDefaultLangFile() const {
  MakeChoiceFolder();
  return EnsureReadableFile(m_defaultLangPath);
}

std::string LanguageChoice::ReadLangFileName() const {
  std::string name =
      GetProfileText(m_defaultLangPath, kChoiceSection, kChoiceKey, kLangFileChars).utf8;
  const std::string_view stem = std::string_view(name).substr(
      0, name.size() >= kPackExtension.size() ? name.size() - kPackExtension.size() : 0);
  // What an earlier run stored when its dialog was closed without a choice.
  if (name == kPackExtension || (name.ends_with(kPackExtension) && IsEmptyChoice(stem)) ||
      IsEmptyChoice(name)) {
    return {};
  }
  return name;
}

bool LanguageChoice::StoreChoice(std::string_view packName) const {
  if (IsEmptyChoice(packName)) return false;
  MakeChoiceFolder();
  return WriteProfileString(m_defaultLangPath, kChoiceSection, kChoiceKey,
                            std::string(packName) + std::string(kPackExtension));
}

ActiveLanguage LanguageChoice::FromDialog(const RunDialog& runDialog) const {
  ActiveLanguage active;
  active.asked = true;
  const std::string packName = runDialog ? runDialog() : std::string();
  // Even with no choice the run goes on with ".ini", that is with empty texts; only storing it
  // would be permanent.
  active.langFileName = packName + std::string(kPackExtension);
  active.stored = StoreChoice(packName);
  active.langFilePath = LangFilePath(active.langFileName);
  return active;
}

ActiveLanguage LanguageChoice::ResolveAtStartup(const RunDialog& runDialog) const {
  EnsureDefaultLangFile();
  ActiveLanguage active;
  active.langFileName = ReadLangFileName();
  if (active.langFileName.empty()) return FromDialog(runDialog);
  active.stored = true;
  active.langFilePath = LangFilePath(active.langFileName);
  return active;
}

ActiveLanguage LanguageChoice::Change(const RunDialog& runDialog) const {
  return FromDialog(runDialog);
}

}  // namespace orv::i18n
