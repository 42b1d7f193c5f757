#pragma once
// Which language pack is active: defaultlang.ini remembers the pack's file name
// ("DefaultLang"/"LangFile"); the packs are Language/<name>.ini beside the program. The language
// dialog itself belongs to the user interface; this is everything it and the start-up need besides
// widgets.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/i18n/language_pack.h"
#include "core/platform/user_folders.h"

namespace orv::i18n {

inline constexpr std::string_view kDefaultLangFileName = "defaultlang.ini";
inline constexpr std::string_view kLanguageFolderName = "Language/";
inline constexpr std::string_view kChoiceSection = "DefaultLang";
inline constexpr std::string_view kChoiceKey = "LangFile";
inline constexpr std::string_view kPackExtension = ".ini";
// Preselected when no pack carries the user's own language.
inline constexpr std::string_view kFallbackPackTag = "ENG";

// Pack names as the dialog lists them: the ".ini" files of the folder (not folders), each without
// its extension, sorted the way the sorted combo box orders them (case-insensitively).
std::vector<std::string> ListPacks(const std::string& languageFolder);

// The combo item to preselect: the first item containing the user's abbreviation, else the last
// item containing "ENG", else -1.
int PreselectPack(const std::vector<std::string>& sortedPacks, std::string_view abbreviation);

// A dialog result that names no pack (nothing chosen, or only blanks).
bool IsEmptyChoice(std::string_view packName);

// The active pack after start-up or a language change.
struct ActiveLanguage {
  std::string langFileName;  // "ENG.ini"
  std::string langFilePath;  // programFolder + "Language/" + langFileName
  bool asked = false;        // the language dialog ran
  bool stored = false;       // defaultlang.ini now names this pack
};

// Where defaultlang.ini is kept. A program folder the user may write to (a build folder, a copy
// in the home folder) keeps it beside the packs, as it always did; an installed program's folder
// is read-only, so the choice goes to the user's configuration folder instead and is read back
// from there.
struct ChoiceLocation {
  // Whether files can be created in the folder. Injectable: root passes every access check.
  std::function<bool(const std::string& folder)> folderWritable;
  // The user's folder for it, ending in '/'; empty when none is known (then the program folder).
  std::string configFolder;
};

ChoiceLocation DefaultChoiceLocation();

class LanguageChoice {
 public:
  // programFolder ends in '/' (one is added when missing). defaultlang.ini goes where
  // DefaultChoiceLocation() says.
  explicit LanguageChoice(std::string programFolder);
  LanguageChoice(std::string programFolder, const ChoiceLocation& location);

  const std::string& programFolder() const { return m_programFolder; }
  // Fixed when the object is made, so the choice is read from where it was written.
  const std::string& defaultLangPath() const { return m_defaultLangPath; }
  std::string languageFolder() const;
  std::string LangFilePath(std::string_view langFileName) const;

  // Creates an empty defaultlang.ini (and a missing configuration folder) when it cannot be opened
  // for reading; existing contents are never touched. False when it still cannot be read
  // afterwards.
  bool EnsureDefaultLangFile() const;

  // "LangFile" (at most 255 characters), UTF-8. A stored ".ini", which names no pack, reads as
  // empty so that the user is asked again.
  std::string ReadLangFileName() const;

  // Stores packName + ".ini". An empty choice is never stored (false), so the next start asks.
  bool StoreChoice(std::string_view packName) const;

  std::vector<std::string> ListPacks() const { return i18n::ListPacks(languageFolder()); }

  // The dialog as the caller runs it: returns the dialog's result member (its previous value when
  // closed without OK).
  using RunDialog = std::function<std::string()>;

  // Start-up: make sure defaultlang.ini exists, read the choice, ask when there is none.
  ActiveLanguage ResolveAtStartup(const RunDialog& runDialog) const;
  // The Language button: ask, store, and give the new active pack.
  ActiveLanguage Change(const RunDialog& runDialog) const;

 private:
  ActiveLanguage FromDialog(const RunDialog& runDialog) const;
  void MakeChoiceFolder() const;

  std::string m_programFolder;
  std::string m_choiceFolder;  // where defaultlang.ini lives
  std::string m_defaultLangPath;
};

}  // namespace orv::i18n
