#include "core/platform/netd_request.h"

#include <charconv>
#include <optional>
#include <vector>

#include "core/util/ipv4.h"

namespace orv {

namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (start <= line.size()) {
    const std::size_t end = line.find(' ', start);
    fields.push_back(line.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
    if (fields.size() > 6) break;  // more than any request has: refused below
  }
  return fields;
}

std::optional<int> ParseNumber(std::string_view text) {
  if (text.empty() || text.size() > 4 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  int v = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return v;
}

// Adapter names as the kernel allows them: 1-15 bytes, no '/', ':' or space, printable ASCII.
bool AdapterNameValid(std::string_view name) {
  if (name.empty() || name.size() > 15 || name == "." || name == "..") return false;
  for (char c : name)
    if (c <= ' ' || c > '~' || c == '/' || c == ':') return false;
  return true;
}

bool SpecialAddress(std::uint32_t addr) {
  const int first = Ipv4Octet(addr, 0);
  return first == 0 || first == 127 || first >= 224;
}

NetdParse Refuse(std::string reason) {
  NetdParse p;
  p.reason = std::move(reason);
  return p;
}

// An address as a number whose high bits are the first octet.
std::uint32_t HostOrder(std::uint32_t addr) {
  return static_cast<std::uint32_t>(Ipv4Octet(addr, 0)) << 24 |
         static_cast<std::uint32_t>(Ipv4Octet(addr, 1)) << 16 |
         static_cast<std::uint32_t>(Ipv4Octet(addr, 2)) << 8 |
         static_cast<std::uint32_t>(Ipv4Octet(addr, 3));
}

}  // namespace

bool NetdSameSubnet(std::uint32_t a, std::uint32_t b, int prefix) {
  if (prefix <= 0) return true;
  const std::uint32_t mask = prefix >= 32 ? 0xFFFFFFFFu : ~(0xFFFFFFFFu >> prefix);
  return ((HostOrder(a) ^ HostOrder(b)) & mask) == 0;
}

bool NetdHostAddressAllowed(std::uint32_t addr, int prefix) {
  if (prefix < kNetdMinPrefix || prefix > kNetdMaxPrefix || SpecialAddress(addr)) return false;
  const std::uint32_t host = HostOrder(addr);
  const std::uint32_t hostMask = 0xFFFFFFFFu >> prefix;
  const std::uint32_t part = host & hostMask;
  return part != 0 && part != hostMask;
}

NetdParse ParseNetdRequest(std::string_view line) {
  if (line.size() > kNetdMaxLineLength) return Refuse("line too long");
  for (char c : line)
    if (c < ' ' || c > '~') return Refuse("line holds a control or non-ASCII character");
  const std::vector<std::string_view> f = SplitFields(line);
  if (f.empty() || f[0].empty()) return Refuse("empty request");
  for (std::string_view field : f)
    if (field.empty()) return Refuse("fields must be separated by single spaces");

  NetdParse p;
  NetdRequest& r = p.request;
  const std::string_view verb = f[0];
  std::size_t want = 0;
  if (verb == "add") {
    r.verb = NetdVerb::Add;
    want = 5;
  } else if (verb == "refresh") {
    r.verb = NetdVerb::Refresh;
    want = 3;
  } else if (verb == "del") {
    r.verb = NetdVerb::Delete;
    want = 3;
  } else if (verb == "arp") {
    r.verb = NetdVerb::Arp;
    want = 4;
  } else {
    return Refuse("unknown request");
  }
  if (f.size() != want)
    return Refuse(std::string(verb) + " takes " + std::to_string(want - 1) + " fields");

  if (r.verb == NetdVerb::Arp && f[1] == "-") {
    r.adapter.clear();
  } else if (f[1] == "-") {
    return Refuse(std::string(verb) + " needs an adapter name");
  } else if (!AdapterNameValid(f[1])) {
    return Refuse("invalid adapter name");
  } else {
    r.adapter = std::string(f[1]);
  }

  if (r.verb == NetdVerb::Add) {
    const std::size_t slash = f[2].find('/');
    if (slash == std::string_view::npos) return Refuse("address needs a /prefix");
    const auto addr = ParseIpv4(f[2].substr(0, slash));
    if (!addr) return Refuse("invalid address");
    const auto prefix = ParseNumber(f[2].substr(slash + 1));
    if (!prefix) return Refuse("invalid prefix");
    if (*prefix < kNetdMinPrefix || *prefix > kNetdMaxPrefix)
      return Refuse("prefix must be 8 to 30");
    if (!NetdHostAddressAllowed(*addr, *prefix))
      return Refuse("not a host address (network, broadcast, loopback, multicast or reserved)");
    const auto life = ParseNumber(f[3]);
    if (!life) return Refuse("invalid lifetime");
    if (*life < 1 || *life > kNetdMaxLifetime) return Refuse("lifetime must be 1 to 600 seconds");
    const auto camera = ParseIpv4(f[4]);
    if (!camera) return Refuse("invalid camera address");
    if (!NetdHostAddressAllowed(*camera, *prefix) || !NetdSameSubnet(*camera, *addr, *prefix))
      return Refuse("the camera must be a host address in the address's subnet");
    if (*camera == *addr) return Refuse("the camera's address cannot be added");
    r.camera = *camera;
    r.address = *addr;
    r.prefix = *prefix;
    r.lifetime = *life;
  } else if (r.verb == NetdVerb::Arp) {
    const auto target = ParseIpv4(f[2]);
    const auto source = ParseIpv4(f[3]);
    if (!target || !source) return Refuse("invalid address");
    if (SpecialAddress(*target)) return Refuse("target is not a host address");
    // 0.0.0.0 is the usual source of a probe; anything else must be a plain host address.
    if (*source != 0 && SpecialAddress(*source)) return Refuse("source is not a host address");
    r.address = *target;
    r.source = *source;
  } else {
    const auto addr = ParseIpv4(f[2]);
    if (!addr) return Refuse("invalid address");
    r.address = *addr;
  }
  p.ok = true;
  return p;
}

std::string FormatNetdRequest(const NetdRequest& r) {
  const std::string adapter = r.adapter.empty() ? "-" : r.adapter;
  switch (r.verb) {
    case NetdVerb::Add:
      return "add " + adapter + " " + FormatIpv4(r.address) + "/" + std::to_string(r.prefix) + " " +
             std::to_string(r.lifetime) + " " + FormatIpv4(r.camera);
    case NetdVerb::Refresh:
      return "refresh " + adapter + " " + FormatIpv4(r.address);
    case NetdVerb::Delete:
      return "del " + adapter + " " + FormatIpv4(r.address);
    case NetdVerb::Arp:
      return "arp " + adapter + " " + FormatIpv4(r.address) + " " + FormatIpv4(r.source);
  }
  return {};
}

}  // namespace orv
