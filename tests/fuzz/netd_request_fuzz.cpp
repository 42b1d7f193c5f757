// Helper request parser: any bytes give an answer without a crash, an accepted request keeps
// every limit (an add's camera a host in its subnet), and it reads back the same from its own
// formatted line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/platform/netd_request.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const orv::NetdParse p = orv::ParseNetdRequest(line);
  if (!p.ok) {
    if (p.reason.empty()) std::abort();
    return 0;
  }
  const orv::NetdRequest& r = p.request;
  if (line.size() > orv::kNetdMaxLineLength) std::abort();
  if (r.verb == orv::NetdVerb::Add &&
      (r.lifetime < 1 || r.lifetime > orv::kNetdMaxLifetime ||
       !orv::NetdHostAddressAllowed(r.address, r.prefix) ||
       !orv::NetdHostAddressAllowed(r.camera, r.prefix) || r.camera == r.address ||
       !orv::NetdSameSubnet(r.camera, r.address, r.prefix)))
    std::abort();
  const orv::NetdParse again = orv::ParseNetdRequest(orv::FormatNetdRequest(r));
  if (!again.ok || again.request.verb != r.verb || again.request.adapter != r.adapter ||
      again.request.address != r.address || again.request.prefix != r.prefix ||
      again.request.lifetime != r.lifetime || again.request.source != r.source ||
      again.request.camera != r.camera)
    std::abort();
  return 0;
}
