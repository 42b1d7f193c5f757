#include "core/util/terminal_text.h"

#include <cstdint>

namespace orv {

namespace {

void AppendHex(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out.push_back(kHex[c >> 4]);
  out.push_back(kHex[c & 15]);
}

// Length of the valid UTF-8 sequence starting at i (1-4), or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i, std::uint32_t& codePoint) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = b(i);
  std::size_t len = 0;
  std::uint32_t min = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2;
    codePoint = lead & 0x1F;
    min = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3;
    codePoint = lead & 0x0F;
    min = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4;
    codePoint = lead & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (s.size() - i < len) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    codePoint = (codePoint << 6) | (b(i + k) & 0x3F);
  }
  if (codePoint < min || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
    return 0;
  }
  return len;
}

}  // namespace

std::string EscapeForTerminal(std::string_view text, bool utf8) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      AppendHex(out, c);
      ++i;
    } else if (c == '\\') {
      out += "\\\\";
      ++i;
    } else if (c < 0x80 || !utf8) {
      out.push_back(static_cast<char>(c));
      ++i;
    } else {
      std::uint32_t cp = 0;
      const std::size_t len = Utf8SequenceLength(text, i, cp);
      if (len == 0) {
        // A stray byte: a terminal may still read 0x80-0x9F as a C1 control.
        if (c <= 0x9F) {
          AppendHex(out, c);
        } else {
          out.push_back(static_cast<char>(c));
        }
        ++i;
      } else if (cp <= 0x9F) {
        for (std::size_t k = 0; k < len; ++k)
          AppendHex(out, static_cast<unsigned char>(text[i + k]));
        i += len;
      } else {
        out.append(text.substr(i, len));
        i += len;
      }
    }
  }
  return out;
}

}  // namespace orv
