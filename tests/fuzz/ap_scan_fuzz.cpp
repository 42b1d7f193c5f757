// The access-point scan table parser on arbitrary answers.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/camera_http/list_parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::uint32_t count = 0;
  const auto list = orv::ParseAccessPointScan(text, &count);
  if (list) {
    // Never more entries than the answer has cells for.
    if (count != list->size() || list->size() > size / 5 + 1) std::abort();
  }
  return 0;
}
