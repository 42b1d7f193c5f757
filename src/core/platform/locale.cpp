#include "core/platform/locale.h"

#include <cctype>
#include <cstdlib>

namespace orv {
namespace {

struct AbbreviationRow {
  const char* language;
  const char* territory;  // empty: any territory
  const char* abbreviation;
};

// Specific rows before the language-wide ones.
constexpr AbbreviationRow kAbbreviations[] = {
    {"en", "US", "ENU"}, {"en", "GB", "ENG"}, {"zh", "TW", "CHT"}, {"zh", "HK", "ZHH"},
    {"zh", "CN", "CHS"}, {"pt", "BR", "PTB"}, {"ja", "", "JPN"},   {"ko", "", "KOR"},
    {"de", "", "DEU"},   {"fr", "", "FRA"},   {"es", "", "ESN"},   {"it", "", "ITA"},
    {"ru", "", "RUS"},
};

// A language named without a territory takes its usual default.
constexpr AbbreviationRow kNeutral[] = {
    {"en", "", "ENU"},
    {"zh", "", "CHS"},
    {"pt", "", "PTB"},
};

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

LocaleParts ParseLocaleName(std::string_view name) {
  LocaleParts parts;
  if (const auto at = name.find('@'); at != std::string_view::npos) name = name.substr(0, at);
  if (const auto dot = name.find('.'); dot != std::string_view::npos) {
    parts.charset = std::string(name.substr(dot + 1));
    name = name.substr(0, dot);
  }
  std::string_view territory;
  if (const auto us = name.find_first_of("_-"); us != std::string_view::npos) {
    territory = name.substr(us + 1);
    name = name.substr(0, us);
  }
  for (char c : name)
    parts.language += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  parts.territory = Upper(territory);
  return parts;
}

std::string LocaleFromEnvironment(std::initializer_list<const char*> variables) {
  for (const char* var : variables) {
    const char* value = std::getenv(var);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

std::string LanguageAbbreviationForLocale(std::string_view localeName) {
  const LocaleParts parts = ParseLocaleName(localeName);
  // The C locale stands for the default user locale, US English.
  if (parts.language.empty() || parts.language == "c" || parts.language == "posix") return "ENU";
  for (const auto& row : kAbbreviations) {
    if (parts.language == row.language &&
        (*row.territory == '\0' || parts.territory == row.territory)) {
      return row.abbreviation;
    }
  }
  if (parts.territory.empty()) {
    for (const auto& row : kNeutral) {
      if (parts.language == row.language) return row.abbreviation;
    }
  }
  std::string abbreviation = Upper(parts.language);
  if (!parts.territory.empty()) abbreviation += parts.territory[0];
  return abbreviation;
}

std::string UserLanguageAbbreviation() {
  return LanguageAbbreviationForLocale(UserMessagesLocale());
}

}  // namespace orv
