#pragma once
// The active language pack: the one defaultlang.ini names at start-up (asked for when it names
// none that exists), and the user's change from the home page, remembered when chosen in the
// dialog.

#include <string>

#include "core/i18n/language_pack.h"

class QWidget;

namespace orv::gui {

class DialogRunner;

class LanguageSwitch {
 public:
  static constexpr int kMaxAsks = 3;  // dialogs closed without a usable answer before giving up

  LanguageSwitch(std::string programFolder, std::string languageAbbreviation,
                 DialogRunner& dialogs);

  // Start-up: the stored choice, or the user's answer, or (nothing usable) the preselected pack
  // for this run only, so that the next start asks again.
  void Resolve(QWidget* parent);
  // The home page's change: true when another pack is now active.
  bool Change(QWidget* parent);

  const i18n::LanguagePack& pack() const { return m_pack; }
  const std::string& filePath() const { return m_filePath; }

 private:
  bool PackFileExists(const std::string& fileName) const;
  std::string Ask(QWidget* parent, bool remember);
  void Use(const std::string& fileName);

  std::string m_programFolder;
  std::string m_abbreviation;
  DialogRunner& m_dialogs;
  std::string m_filePath;
  i18n::LanguagePack m_pack;
};

}  // namespace orv::gui
