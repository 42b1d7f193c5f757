#pragma once
// The program's own environment overrides (ORVANTIS_*). A program started with raised privileges
// (file capabilities or set-user-ID) must not let the caller's environment steer it: the adapter,
// the probe host or the program folder would otherwise be the caller's choice.

#include <optional>
#include <string>

namespace orv {

// The value of an ORVANTIS_* variable; std::nullopt when unset or when running with raised
// privileges.
std::optional<std::string> EnvOverride(const char* name);

// Does the process run with raised privileges (the kernel's secure-execution flag)?
bool RunningWithRaisedPrivileges();

// For tests: forces the answer of RunningWithRaisedPrivileges until reset with std::nullopt.
void SetRaisedPrivilegesForTesting(std::optional<bool> forced);

}  // namespace orv
