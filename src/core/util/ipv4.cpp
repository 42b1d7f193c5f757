#include "core/util/ipv4.h"

#include <cstring>

namespace orv {

std::optional<std::uint32_t> ParseIpv4(std::string_view text) {
  std::uint8_t octets[4] = {};
  std::size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != '.') return std::nullopt;
      ++pos;
    }
    unsigned value = 0;
    std::size_t digits = 0;
    const std::size_t first = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
      value = value * 10 + static_cast<unsigned>(text[pos] - '0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
    // "010" would be eight to some resolvers and ten to others: refuse it.
    if (digits > 1 && text[first] == '0') return std::nullopt;
    octets[i] = static_cast<std::uint8_t>(value);
  }
  if (pos != text.size()) return std::nullopt;
  return MakeIpv4(octets[0], octets[1], octets[2], octets[3]);
}

std::uint32_t ParseIpv4OrZero(std::string_view text) {
  return ParseIpv4(text).value_or(0);
}

std::string FormatIpv4(std::uint32_t addr) {
  std::string out;
  for (int i = 0; i < 4; ++i) {
    if (i) out += '.';
    out += std::to_string(Ipv4Octet(addr, i));
  }
  return out;
}

std::uint8_t Ipv4Octet(std::uint32_t addr, int i) {
  std::uint8_t b[4];
  std::memcpy(b, &addr, 4);
  return b[i & 3];
}

std::uint32_t MakeIpv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  const std::uint8_t bytes[4] = {a, b, c, d};
  std::uint32_t v;
  std::memcpy(&v, bytes, 4);
  return v;
}

std::uint32_t WithLastOctet(std::uint32_t addr, std::uint8_t last) {
  return MakeIpv4(Ipv4Octet(addr, 0), Ipv4Octet(addr, 1), Ipv4Octet(addr, 2), last);
}

bool SameFirstThreeOctets(std::uint32_t a, std::uint32_t b) {
  return Ipv4Octet(a, 0) == Ipv4Octet(b, 0) && Ipv4Octet(a, 1) == Ipv4Octet(b, 1) &&
         Ipv4Octet(a, 2) == Ipv4Octet(b, 2);
}

int Ipv4PrefixLength(std::uint32_t mask) {
  std::uint32_t host = 0;
  for (int i = 0; i < 4; ++i) host = (host << 8) | Ipv4Octet(mask, i);
  int len = 0;
  while (len < 32 && (host & (0x80000000u >> len))) ++len;
  const std::uint32_t expected = len == 0 ? 0 : (0xFFFFFFFFu << (32 - len));
  return host == expected ? len : -1;
}

}  // namespace orv
