// Kernel replies as orvantis-netd decodes them: any bytes walk as netlink messages and decode as
// links, addresses and routes without reading past the datagram, and what decodes stays in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/platform/linux/rtnetlink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orv::rtnl::WalkMessages(data, size, 0,
                          [](std::uint16_t, const std::uint8_t* body, std::size_t len) {
                            orv::rtnl::Link l;
                            orv::rtnl::Address a;
                            orv::rtnl::Route r;
                            if (orv::rtnl::DecodeLink(body, len, l) && l.name.size() > 15)
                              std::abort();
                            if (orv::rtnl::DecodeAddress(body, len, a) &&
                                (a.prefix < 0 || a.prefix > 32 || a.local == 0))
                              std::abort();
                            if (orv::rtnl::DecodeRoute(body, len, r) &&
                                (r.prefix < 0 || r.prefix > 32 || r.gateways.size() > 4096))
                              std::abort();
                          });
  // Each decoder on the raw bytes too, as if they were one message's body.
  orv::rtnl::Link l;
  orv::rtnl::Address a;
  orv::rtnl::Route r;
  orv::rtnl::DecodeLink(data, size, l);
  orv::rtnl::DecodeAddress(data, size, a);
  orv::rtnl::DecodeRoute(data, size, r);
  return 0;
}
