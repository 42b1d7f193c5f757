#include <iconv.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "core/platform/locale.h"
#include "core/util/utf8.h"

namespace orv {
namespace {

std::atomic<int> g_systemCodePage{0};  // 0: not chosen yet

std::string IconvName(int codePage) {
  if (codePage == kCodePageUtf8) return "UTF-8";
  return "CP" + std::to_string(codePage);
}

bool Supported(int codePage) {
  if (codePage <= 0) return false;
  iconv_t cd = iconv_open("UTF-8", IconvName(codePage).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

// How many input bytes one unconvertible character takes, so that "?" replaces it whole.
std::size_t SkipLength(std::string_view rest, int fromCodePage) {
  if (fromCodePage == kCodePageUtf8) {
    char32_t cp = 0;
    const std::size_t n = DecodeUtf8(rest, 0, cp);
    return n == 0 ? 1 : n;
  }
  if (CharSetKindFor(fromCodePage) == CharSetKind::DoubleByte && rest.size() >= 2 &&
      static_cast<unsigned char>(rest[0]) >= 0x81 && static_cast<unsigned char>(rest[1]) >= 0x40) {
    return 2;
  }
  return 1;
}

std::string Convert(std::string_view in, int fromCodePage, int toCodePage) {
  std::string out;
  if (in.empty()) return out;
  iconv_t cd = iconv_open(IconvName(toCodePage).c_str(), IconvName(fromCodePage).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // No converter: keep plain ASCII, which every supported code page shares.
    for (char c : in) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    return out;
  }
  out.reserve(in.size() + in.size() / 2);
  char buffer[1024];
  std::size_t pos = 0;
  while (pos < in.size()) {
    char* src = const_cast<char*>(in.data() + pos);
    std::size_t srcLeft = in.size() - pos;
    char* dst = buffer;
    std::size_t dstLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    const int err = errno;
    out.append(buffer, sizeof buffer - dstLeft);
    pos = in.size() - srcLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (err == E2BIG) continue;
    // EILSEQ: not valid or not mappable; EINVAL: cut short at the end. Either way one "?".
    out += '?';
    if (err == EINVAL) break;
    pos += SkipLength(in.substr(pos), fromCodePage);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  // Flush any shift state (none of ours have one, but it costs nothing).
  char* dst = buffer;
  std::size_t dstLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dstLeft);
  out.append(buffer, sizeof buffer - dstLeft);
  iconv_close(cd);
  return out;
}

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
  if (!Supported(value)) return std::nullopt;
  return value;
}

int DetectSystemCodePage() {
  if (const std::optional<std::string> forced = EnvOverride("ORVANTIS_CODEPAGE")) {
    if (auto cp = ParseCodePageName(*forced)) return *cp;
  }
  return CodePageForLocale(LocaleFromEnvironment({"LC_ALL", "LC_CTYPE", "LANG"}));
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
  return Convert(bytes, codePage, kCodePageUtf8);
}

std::string Utf8ToCodePage(std::string_view utf8, int codePage) {
  return Convert(utf8, kCodePageUtf8, codePage);
}

}  // namespace orv
