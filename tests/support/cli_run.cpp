#include "support/cli_run.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace orv::test {

CliRun RunCli(const std::string& env, const std::string& args) {
  const std::string tool = std::string(ORVANTIS_BINARY_DIR) + "/bin/orvantis-cli";
  EXPECT_EQ(::access(tool.c_str(), X_OK), 0) << "build orvantis-cli first: " << tool;
  std::string errPath = ::testing::TempDir() + "orvantis-cli-err-XXXXXX";
  const int fd = ::mkstemp(errPath.data());
  EXPECT_GE(fd, 0);
  if (fd >= 0) ::close(fd);
  CliRun r;
  const std::string command = env + " " + tool + " " + args + " 2>" + errPath;
  FILE* p = ::popen(command.c_str(), "r");
  if (p != nullptr) {
    std::array<char, 4096> buf{};
    std::size_t n = 0;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int w = ::pclose(p);
    r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
  }
  std::ifstream err(errPath, std::ios::binary);
  r.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  ::unlink(errPath.c_str());
  return r;
}

}  // namespace orv::test
