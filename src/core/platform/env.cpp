#include "core/platform/env.h"

#include <atomic>
#include <cstdlib>

#include "core/platform/os_backend.h"

namespace orv {

namespace {
// -1: ask the kernel; 0 or 1: forced by a test.
std::atomic<int> g_forcedSecure{-1};
}  // namespace

bool RunningWithRaisedPrivileges() {
  const int forced = g_forcedSecure.load();
  if (forced >= 0) return forced == 1;
  return os::RaisedPrivileges();
}

void SetRaisedPrivilegesForTesting(std::optional<bool> forced) {
  g_forcedSecure.store(forced ? (*forced ? 1 : 0) : -1);
}

std::optional<std::string> EnvOverride(const char* name) {
  if (name == nullptr || RunningWithRaisedPrivileges()) return std::nullopt;
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

}  // namespace orv
