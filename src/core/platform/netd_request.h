#pragma once
// Requests to orvantis-netd, the small helper that holds the network privileges. One request line
// in, one answer line out, plain ASCII, fields separated by single spaces, at most
// kNetdMaxLineLength bytes before the newline:
//
//   add IFNAME ADDR/PREFIX LIFETIME CAMERA   add ADDR to adapter IFNAME for LIFETIME seconds, to
//                                            reach the camera at CAMERA (in ADDR's subnet)
//   refresh IFNAME ADDR               renew the lifetime of an address the helper added
//   del IFNAME ADDR                   remove an address the helper added
//   arp IFNAME TARGET SOURCE          one ARP request; IFNAME "-" lets SOURCE pick the adapter
//
// Answers: "ok", "ok answered", "ok no-answer", or "err REASON" (REASON is one line of text).
// Everything the line alone can tell is checked here; the helper checks the rest against the
// system as it is (see netd_service.h).

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

inline constexpr std::size_t kNetdMaxLineLength = 200;
inline constexpr int kNetdMinPrefix = 8;
inline constexpr int kNetdMaxPrefix = 30;
inline constexpr int kNetdMaxLifetime = 600;
inline constexpr std::size_t kNetdMaxAddresses = 16;
inline constexpr int kNetdMaxArpPerSecond = 50;

enum class NetdVerb { Add, Refresh, Delete, Arp };

struct NetdRequest {
  NetdVerb verb = NetdVerb::Add;
  std::string adapter;        // empty: "-", the source address picks the adapter (arp only)
  std::uint32_t address = 0;  // add/refresh/del: the address; arp: the target
  int prefix = 0;             // add only
  int lifetime = 0;           // add only, seconds
  std::uint32_t camera = 0;   // add only: the camera the address is for
  std::uint32_t source = 0;   // arp only
};

struct NetdParse {
  bool ok = false;
  NetdRequest request;
  std::string reason;  // why the line was refused when !ok
};

// Parses and checks one request line (without its newline).
NetdParse ParseNetdRequest(std::string_view line);

// The request as a line, for the programs' side.
std::string FormatNetdRequest(const NetdRequest& request);

// True when addr may be given to an adapter with this prefix: not the network or broadcast
// address of its subnet, not 0/8, loopback, multicast or reserved.
bool NetdHostAddressAllowed(std::uint32_t addr, int prefix);

// True when a and b share their first prefix bits (0 to 32).
bool NetdSameSubnet(std::uint32_t a, std::uint32_t b, int prefix);

}  // namespace orv
