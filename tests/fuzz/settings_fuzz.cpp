// Settings answers of every page, the extractors and the write escaping on arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/camera_http/request_texts.h"
#include "core/camera_http/requests.h"
#include "core/camera_http/settings_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr int kPages[] = {0, 1, 3, 13, 23, 32, 34, 7};
  const std::uint8_t selector = size > 0 ? data[0] : 0;
  const std::string_view text =
      size > 1 ? std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)
               : std::string_view("");
  orv::SessionRecord s;
  s.legacyCamera = selector & 0x80 ? 1 : 0;
  const int page = kPages[selector % (sizeof kPages / sizeof kPages[0])];
  orv::ParseSettings(s, text, page, page == 0 ? 15 : 0);

  orv::FixedText<64> cell;
  std::uint8_t b = 0;
  orv::ExtractCellValue(cell, "SSID=", text);
  orv::ExtractCellValue(b, "Channel=", text);

  // Whatever was parsed, a write carries each value inside its own parameter.
  s.net.WPAKey = text;
  const std::string params = orv::WriteParameters(s, orv::kPageNetwork, 0);
  for (const char c : params) {
    if (c == ' ' || c == '\n' || c == '\r' || c == '#' || c == '?') std::abort();
  }
  return 0;
}
