#pragma once
// IPv4 addresses as the host-network code keeps them: 32-bit values in network byte order, so the
// first byte in memory is the first octet, and dotted-quad texts for the session record.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orv {

// Strict "a.b.c.d": four decimal octets 0-255 without leading zeros; nothing else accepted.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);
// Like ParseIpv4, with 0 for text that is not an address.
std::uint32_t ParseIpv4OrZero(std::string_view text);
std::string FormatIpv4(std::uint32_t addr);

std::uint8_t Ipv4Octet(std::uint32_t addr, int i);  // i = 0 is the first octet
std::uint32_t WithLastOctet(std::uint32_t addr, std::uint8_t last);
std::uint32_t MakeIpv4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);
bool SameFirstThreeOctets(std::uint32_t a, std::uint32_t b);
int Ipv4PrefixLength(std::uint32_t mask);  // -1 when the mask is not contiguous

}  // namespace orv
