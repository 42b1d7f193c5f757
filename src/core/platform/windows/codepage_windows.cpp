// Code pages through the system's own converters. Best-fit mappings ("a" for "ā") are turned
// off: what a code page cannot hold becomes "?", as on Linux.
#include <climits>
#include <string>

#include "core/platform/codepage.h"
#include "core/platform/locale.h"
#include "core/platform/os_backend.h"
#include "core/platform/windows/win_common.h"

namespace orv::os {
namespace {

// One run of bytes that may hold multi-byte characters.
std::wstring RunToWide(std::string_view in, int codePage) {
  if (in.empty() || in.size() > INT_MAX) return {};
  const int size = static_cast<int>(in.size());
  const UINT cp = static_cast<UINT>(codePage);
  const int n = ::MultiByteToWideChar(cp, 0, in.data(), size, nullptr, 0);
  if (n <= 0) return L"?";  // a lone lead byte, for one
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(cp, 0, in.data(), size, out.data(), n);
  // Bytes that are no character come back as the replacement character, and the bytes a Windows
  // code page leaves undefined (0x81 in CP 1252) as C1 controls, which none of them holds.
  const bool utf8 = codePage == kCodePageUtf8;
  for (wchar_t& c : out)
    if (c == 0xFFFD || (!utf8 && c >= 0x80 && c <= 0x9F)) c = L'?';
  return out;
}

// Bytes below 0x40 are ASCII in every supported code page and never the second byte of a
// character: converted on their own, so that a broken character never takes a line break or a
// delimiter after it with it.
std::wstring ToWide(std::string_view in, int codePage) {
  std::wstring out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= in.size(); ++i) {
    if (i < in.size() && static_cast<unsigned char>(in[i]) >= 0x40) continue;
    out += RunToWide(in.substr(start, i - start), codePage);
    if (i < in.size()) out += static_cast<wchar_t>(in[i]);
    start = i + 1;
  }
  return out;
}

// A character beyond the basic plane (two UTF-16 units) that an 8-bit code page cannot hold is
// one "?", not two.
std::wstring OnePerCharacter(std::wstring_view in) {
  std::wstring out;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const bool pair = in[i] >= 0xD800 && in[i] <= 0xDBFF && i + 1 < in.size() &&
                      in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF;
    out += pair ? L'?' : in[i];
    if (pair) ++i;
  }
  return out;
}

std::string FromWide(std::wstring_view in, int codePage) {
  if (in.empty() || in.size() > INT_MAX) return {};
  const int size = static_cast<int>(in.size());
  const UINT cp = static_cast<UINT>(codePage);
  // UTF-8 takes neither flags nor a default character.
  const bool utf8 = codePage == kCodePageUtf8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* fallback = utf8 ? nullptr : "?";
  const int n = ::WideCharToMultiByte(cp, flags, in.data(), size, nullptr, 0, fallback, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(cp, flags, in.data(), size, out.data(), n, fallback, nullptr);
  return out;
}

}  // namespace

bool CodePageSupported(int codePage) {
  return codePage > 0 && codePage <= 65535 && ::IsValidCodePage(static_cast<UINT>(codePage));
}

std::string ConvertCodePage(std::string_view in, int fromCodePage, int toCodePage) {
  if (!CodePageSupported(fromCodePage) || !CodePageSupported(toCodePage)) {
    // No converter: keep plain ASCII, which every supported code page shares.
    std::string out;
    for (char c : in) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
    return out;
  }
  const std::wstring wide = ToWide(in, fromCodePage);
  return FromWide(toCodePage == kCodePageUtf8 ? wide : OnePerCharacter(wide), toCodePage);
}

// A locale named in the environment wins, as for the language (locale_windows.cpp); else the
// system's ANSI code page.
int SystemDefaultCodePage() {
  const std::string locale = LocaleFromEnvironment({"LC_ALL", "LC_CTYPE", "LANG"});
  if (locale != "C") return CodePageForLocale(locale);
  return static_cast<int>(::GetACP());
}

}  // namespace orv::os
