#include "core/util/terminal_text.h"

#include "core/util/utf8.h"

namespace orv {

namespace {

void AppendHex(std::string& out, unsigned char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += "\\x";
  out.push_back(kHex[c >> 4]);
  out.push_back(kHex[c & 15]);
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
      char32_t cp = 0;
      const std::size_t len = DecodeUtf8(text, i, cp);
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
