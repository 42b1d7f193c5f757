#pragma once
// Runs the built orvantis-cli as a user would, for tests of what it prints.

#include <string>

namespace orv::test {

struct CliRun {
  int status = -1;  // the exit status, -1 when it did not exit normally
  std::string out;
  std::string err;
};

// orvantis-cli with args (a shell word list of the test's own making) after the environment
// prefix env ("" for none).
CliRun RunCli(const std::string& env, const std::string& args);

}  // namespace orv::test
