#pragma once
// The user's locale as the language choice needs it: the three-letter abbreviated language name
// (the same short names that language packs are named after, "ENU", "CHT", ...).

#include <initializer_list>
#include <string>
#include <string_view>

namespace orv {

// "zh_TW.UTF-8@mod" -> language "zh", territory "TW", charset "UTF-8". Missing parts are empty.
struct LocaleParts {
  std::string language;   // lower case
  std::string territory;  // upper case
  std::string charset;    // as written
};
LocaleParts ParseLocaleName(std::string_view name);

// The first non-empty of the environment variables, in order; "C" when all are unset or empty.
std::string LocaleFromEnvironment(std::initializer_list<const char*> variables);

// The locale that decides the user's language: LC_ALL, LC_MESSAGES, LANG.
std::string UserMessagesLocale();

// Three upper-case letters for a locale name ("en_US" -> "ENU", "zh_TW" -> "CHT"); other locales
// give their language letters and the first letter of their territory ("nl_BE" -> "NLB").
std::string LanguageAbbreviationForLocale(std::string_view localeName);

// The user's abbreviated language name, from UserMessagesLocale().
std::string UserLanguageAbbreviation();

}  // namespace orv
