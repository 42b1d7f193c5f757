#include "core/platform/codepage.h"

#include <atomic>
#include <cctype>
#include <string>

#include "core/platform/env.h"
#include "core/platform/locale.h"
#include "core/platform/os_backend.h"

namespace orv {
namespace {

std::atomic<int> g_systemCodePage{0};  // 0: not chosen yet

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

int CodePageForLocale(std::string_view localeName) {
  const LocaleParts parts = ParseLocaleName(localeName);
  if (parts.language == "zh") {
    if (parts.territory == "TW" || parts.territory == "HK" || parts.territory == "MO") {
      return kCodePageTraditionalChinese;
    }
    return kCodePageSimplifiedChinese;
  }
  if (parts.language == "ja") return kCodePageJapanese;
  if (parts.language == "ko") return kCodePageKorean;
  if (EqualsIgnoreCase(parts.charset, "UTF-8") || EqualsIgnoreCase(parts.charset, "utf8")) {
    return kCodePageUtf8;
  }
  return kCodePageWestern;
}

std::optional<int> ParseCodePageName(std::string_view name) {
  if (EqualsIgnoreCase(name, "UTF-8") || EqualsIgnoreCase(name, "utf8")) return kCodePageUtf8;
  if (name.size() > 2 && EqualsIgnoreCase(name.substr(0, 2), "CP")) name.remove_prefix(2);
  if (name.empty() || name.size() > 5) return std::nullopt;
  int value = 0;
  for (char c : name) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (!os::CodePageSupported(value)) return std::nullopt;
  return value;
}

int DetectSystemCodePage() {
  if (const std::optional<std::string> forced = EnvOverride("ORVANTIS_CODEPAGE")) {
    if (auto cp = ParseCodePageName(*forced)) return *cp;
  }
  return os::SystemDefaultCodePage();
}

int SystemCodePage() {
  int cp = g_systemCodePage.load();
  if (cp == 0) {
    cp = DetectSystemCodePage();
    int expected = 0;
    if (g_systemCodePage.compare_exchange_strong(expected, cp)) {
      // Texts in this code page must also be cut by its rule, even without InitSystemCodePage.
      SetTextBoundaryRule(CharSetKindFor(cp), cp);
    } else {
      cp = expected;
    }
  }
  return cp;
}

void SetSystemCodePage(int codePage) {
  g_systemCodePage.store(codePage);
  SetTextBoundaryRule(CharSetKindFor(codePage), codePage);
}

int InitSystemCodePage() {
  const int cp = DetectSystemCodePage();
  SetSystemCodePage(cp);
  return cp;
}

CharSetKind CharSetKindFor(int codePage) {
  switch (codePage) {
    case kCodePageUtf8:
      return CharSetKind::Utf8;
    case kCodePageJapanese:
    case kCodePageSimplifiedChinese:
    case kCodePageKorean:
    case kCodePageTraditionalChinese:
      return CharSetKind::DoubleByte;
    default:
      return CharSetKind::SingleByte;
  }
}

std::string CodePageToUtf8(std::string_view bytes, int codePage) {
  return os::ConvertCodePage(bytes, codePage, kCodePageUtf8);
}

std::string Utf8ToCodePage(std::string_view utf8, int codePage) {
  return os::ConvertCodePage(utf8, kCodePageUtf8, codePage);
}

}  // namespace orv
