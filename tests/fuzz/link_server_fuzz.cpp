// The link-server camera list parser on arbitrary answers.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/camera_http/list_parsers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto list = orv::ParseLinkServerList(text);
  // Each entry needs its own "Camera=" in the answer.
  if (list.size() > size / 7) std::abort();
  return 0;
}
