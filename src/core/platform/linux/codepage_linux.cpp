#include <iconv.h>

#include <cerrno>
#include <string>

#include "core/platform/codepage.h"
#include "core/platform/locale.h"
#include "core/platform/os_backend.h"
#include "core/util/utf8.h"

namespace orv::os {
namespace {

std::string IconvName(int codePage) {
  if (codePage == kCodePageUtf8) return "UTF-8";
  return "CP" + std::to_string(codePage);
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

}  // namespace

std::string ConvertCodePage(std::string_view in, int fromCodePage, int toCodePage) {
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

bool CodePageSupported(int codePage) {
  if (codePage <= 0) return false;
  iconv_t cd = iconv_open("UTF-8", IconvName(codePage).c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

int SystemDefaultCodePage() {
  return CodePageForLocale(LocaleFromEnvironment({"LC_ALL", "LC_CTYPE", "LANG"}));
}

}  // namespace orv::os
