#pragma once
// The PC's dial-up phone book, reduced to what the program takes from it: the first PPPoE
// connection's user name and, when stored, its password.

#include <optional>
#include <string>

namespace orv {

struct PppoeEntry {
  std::string user;
  std::optional<std::string> password;  // only when the system has it stored
};

// The first PPPoE connection the system knows, reading files below fileRoot (empty for the real
// system). nullopt when there is none or it cannot be read.
std::optional<PppoeEntry> ReadFirstPppoeEntry(const std::string& fileRoot);

}  // namespace orv
