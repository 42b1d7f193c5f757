#include "gui/window/language_switch.h"

#include <QFileInfo>
#include <QString>
#include <utility>
#include <vector>

#include "core/i18n/language_choice.h"
#include "gui/frame/ui_services.h"

namespace orv::gui {
namespace {

bool IsPackName(const QString& text) {
  return !text.trimmed().isEmpty() && !text.contains(QLatin1Char('/')) &&
         !text.contains(QLatin1Char('\\'));
}

}  // namespace

LanguageSwitch::LanguageSwitch(std::string programFolder, std::string languageAbbreviation,
                               DialogRunner& dialogs)
    : m_programFolder(std::move(programFolder)),
      m_abbreviation(std::move(languageAbbreviation)),
      m_dialogs(dialogs) {}

bool LanguageSwitch::PackFileExists(const std::string& fileName) const {
  if (fileName.empty() || fileName.find('/') != std::string::npos ||
      fileName.find('\\') != std::string::npos)
    return false;
  const i18n::LanguageChoice choice(m_programFolder);
  const QFileInfo info(QString::fromStdString(choice.LangFilePath(fileName)));
  return info.isFile();
}

void LanguageSwitch::Resolve(QWidget* parent) {
  const i18n::LanguageChoice choice(m_programFolder);
  choice.EnsureDefaultLangFile();
  std::string fileName = choice.ReadLangFileName();
  // A stored name whose pack has gone would leave every text empty: ask as on a first start.
  if (!PackFileExists(fileName)) fileName = Ask(parent, true);
  Use(fileName);
}

bool LanguageSwitch::Change(QWidget* parent) {
  const std::string fileName = Ask(parent, false);
  if (fileName.empty()) return false;  // closed without a pack: the active one stays
  Use(fileName);
  return true;
}

// Asks until the answer names an existing pack (a bounded number of times). Without an answer the
// preselected pack serves this run and nothing is stored, so the next start asks again.
std::string LanguageSwitch::Ask(QWidget* parent, bool remember) {
  const i18n::LanguageChoice choice(m_programFolder);
  const std::vector<std::string> packs = choice.ListPacks();
  for (int attempt = 0; attempt < kMaxAsks; ++attempt) {
    const LanguageAnswer answer = m_dialogs.RunLanguage(parent);
    if (!answer || !IsPackName(*answer)) continue;
    const std::string fileName = answer->toStdString() + std::string(i18n::kPackExtension);
    if (!PackFileExists(fileName)) continue;
    choice.StoreChoice(answer->toStdString());
    return fileName;
  }
  if (!remember || packs.empty()) return {};
  int index = i18n::PreselectPack(packs, m_abbreviation);
  if (index < 0) index = 0;
  return packs[static_cast<std::size_t>(index)] + std::string(i18n::kPackExtension);
}

void LanguageSwitch::Use(const std::string& fileName) {
  const i18n::LanguageChoice choice(m_programFolder);
  m_filePath = choice.LangFilePath(fileName);
  m_pack = fileName.empty() ? i18n::LanguagePack() : i18n::LanguagePack(m_filePath);
}

}  // namespace orv::gui
