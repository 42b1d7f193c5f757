// Environment overrides are honoured for an ordinary user and ignored with raised privileges.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/camera_http/transport.h"
#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "core/platform/program_folder.h"
#include "support/test_env.h"

namespace orv::test {
namespace {

// Sets variables for one test and puts the old values and the privilege answer back afterwards.
class ScopedEnv {
 public:
  ~ScopedEnv() {
    for (const auto& [name, old] : m_saved) {
      if (old) {
        SetEnv(name.c_str(), old->c_str());
      } else {
        UnsetEnv(name.c_str());
      }
    }
    SetRaisedPrivilegesForTesting(std::nullopt);
  }
  void Set(const char* name, const char* value) {
    const char* old = std::getenv(name);
    m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    SetEnv(name, value);
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(EnvOverride, ReadsOnlyWhatIsSetForAnOrdinaryUser) {
  ScopedEnv env;
  SetRaisedPrivilegesForTesting(false);
  env.Set("ORVANTIS_TEST_VALUE", "eth7");
  EXPECT_EQ(EnvOverride("ORVANTIS_TEST_VALUE"), "eth7");
#ifndef _WIN32  // Windows has no variable that is set but empty
  env.Set("ORVANTIS_TEST_EMPTY", "");
  EXPECT_EQ(EnvOverride("ORVANTIS_TEST_EMPTY"), "") << "set but empty is still set";
#endif
  UnsetEnv("ORVANTIS_TEST_UNSET");
  EXPECT_FALSE(EnvOverride("ORVANTIS_TEST_UNSET"));
  EXPECT_FALSE(EnvOverride(nullptr));
}

TEST(EnvOverride, RaisedPrivilegesIgnoreEveryOverride) {
  ScopedEnv env;
  env.Set("ORVANTIS_TEST_VALUE", "eth7");
  env.Set("ORVANTIS_PROBE_HOST", "attacker.invalid");
  env.Set("ORVANTIS_PROGRAM_FOLDER", "/tmp/attacker/");
  env.Set("ORVANTIS_CODEPAGE", "950");

  SetRaisedPrivilegesForTesting(false);
  EXPECT_EQ(ProbeHostName(), "attacker.invalid");
  EXPECT_EQ(ProgramFolder(), "/tmp/attacker/");
  EXPECT_EQ(DetectSystemCodePage(), 950);

  SetRaisedPrivilegesForTesting(true);
  EXPECT_TRUE(RunningWithRaisedPrivileges());
  EXPECT_FALSE(EnvOverride("ORVANTIS_TEST_VALUE"));
  EXPECT_EQ(ProbeHostName(), kDefaultProbeHost);
  EXPECT_EQ(ProgramFolder(), ExecutableFolder());
  env.Set("LC_ALL", "C");
  EXPECT_NE(DetectSystemCodePage(), 950) << "the locale decides, not the override";
}

TEST(EnvOverride, TestsRunWithoutRaisedPrivileges) {
  SetRaisedPrivilegesForTesting(std::nullopt);
  EXPECT_FALSE(RunningWithRaisedPrivileges()) << "the kernel's flag for an ordinary test run";
}

}  // namespace
}  // namespace orv::test
