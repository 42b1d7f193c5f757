#include "output.h"

#include <cctype>
#include <fstream>
#include <iostream>

#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "core/platform/locale.h"
#include "core/util/terminal_text.h"
#include "progress.h"

namespace orv::cli {

namespace {

// Does the terminal read UTF-8? The system code page follows the language, so a zh_TW.UTF-8
// terminal has code page 950 but still reads UTF-8: look at the locale's charset as well.
bool TerminalTakesUtf8() {
  if (SystemCodePage() == kCodePageUtf8) return true;
  std::string charset =
      ParseLocaleName(LocaleFromEnvironment({"LC_ALL", "LC_CTYPE", "LANG"})).charset;
  for (char& c : charset) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return charset == "utf-8" || charset == "utf8";
}

// A password file is one line; anything longer than this is not a password file.
constexpr std::size_t kPasswordFileLimit = 4096;

}  // namespace

std::string PlainText(std::string_view text) {
  static const bool utf8 = TerminalTakesUtf8();
  return EscapeForTerminal(text, utf8);
}

void ConvertTextsToUtf8(nlohmann::ordered_json& j) {
  if (j.is_string()) {
    j = LocalToUtf8(j.get_ref<const std::string&>());
  } else if (j.is_structured()) {
    for (auto& item : j) ConvertTextsToUtf8(item);
  }
}

std::optional<std::string> ResolvePassword(const std::optional<std::string>& option,
                                           const std::string& file) {
  if (option) return *option;
  if (!file.empty()) {
    std::ifstream in(file, std::ios::binary);
    std::string text(kPasswordFileLimit + 1, '\0');
    if (in) in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (!in && !in.eof()) {
      ClearProgress();
      std::cerr << "orvantis-cli: cannot read the password file " << PlainText(file) << '\n';
      return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kPasswordFileLimit) {
      ClearProgress();
      std::cerr << "orvantis-cli: the password file is too long\n";
      return std::nullopt;
    }
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
  }
  if (std::optional<std::string> env = EnvOverride("ORVANTIS_PASSWORD")) return env;
  return std::string();
}

}  // namespace orv::cli
