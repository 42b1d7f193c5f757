#pragma once
// "a.b.c.d" as a value in network order (0 when it is no address), for brief test tables.

#include <cstdint>

#include "core/util/ipv4.h"

namespace orv::test {

inline std::uint32_t Ip(const char* text) {
  return ParseIpv4OrZero(text);
}

}  // namespace orv::test
