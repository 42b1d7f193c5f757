#include "core/platform/host_network.h"

#include <cerrno>
#include <cstdlib>

#include "core/platform/env.h"

namespace orv {
namespace {

std::optional<long long> EnvNumber(const char* name) {
  const std::optional<std::string> text = EnvOverride(name);
  if (!text || text->empty()) return std::nullopt;
  const char* v = text->c_str();
  char* end = nullptr;
  errno = 0;
  const long long n = std::strtoll(v, &end, 10);
  if (errno != 0 || *end != '\0') return std::nullopt;
  return n;
}

}  // namespace

HostNetworkOptions HostNetworkOptionsFromEnvironment() {
  HostNetworkOptions o;
  if (auto a = EnvOverride("ORVANTIS_ADAPTER")) o.adapterOverride = *a;
  // At most what the network helper grants, so the refresh interval fits the real lifetime.
  if (auto s = EnvNumber("ORVANTIS_ADDR_LIFETIME"); s && *s >= 1 && *s <= 600)
    o.addressLifetime = std::chrono::seconds(*s);
  return o;
}

}  // namespace orv
