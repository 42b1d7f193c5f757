// orvantis-cli against an emulated camera on loopback: what it prints must never carry a key, a
// password or a terminal control sequence the camera put in its answers.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>

#include "camsim.h"

using namespace camsim;

namespace {

struct CliRun {
  int status = -1;
  std::string out;
};

// Runs the tool with the arguments (a shell word list of our own making) and the environment
// prefix; standard error is dropped.
CliRun Cli(const std::string& env, const std::string& args) {
  const std::string tool = std::string(ORVANTIS_BINARY_DIR) + "/bin/orvantis-cli";
  EXPECT_EQ(::access(tool.c_str(), X_OK), 0) << "build orvantis-cli first: " << tool;
  CliRun r;
  const std::string command = env + " " + tool + " " + args + " 2>/dev/null";
  FILE* p = ::popen(command.c_str(), "r");
  if (p == nullptr) return r;
  std::array<char, 4096> buf{};
  std::size_t n = 0;
  while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  const int w = ::pclose(p);
  r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
  return r;
}

class CliOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CameraConfig c;
    c.password = "cam-pass";
    c.settings["WPAKey"] = "wpa-key-1234";
    c.settings["WEPKey0"] = "wep-key-0";
    c.settings["DDNSPwd"] = "ddns-pass";
    c.settings["Desp"] = "porch\x1b]0;owned\x07\x1b[2J";
    c.settings["TitleBar"] = "Caf\xe9";  // the camera's 8-bit code page
    LabConfig lab;
    lab.discoveryPort = 0;
    lab.cameras = {c};
    m_emu = std::make_unique<Emulator>(lab);
    std::string error;
    ASSERT_TRUE(m_emu->Start(&error)) << error;
    m_target = "127.0.0.1 --port " + std::to_string(m_emu->HttpPort(0)) + " --family config";
  }
  std::unique_ptr<Emulator> m_emu;
  std::string m_target;
};

TEST_F(CliOutputTest, ReadHidesKeysAndPasswordsUnlessAsked) {
  const std::string env = "ORVANTIS_CODEPAGE=1252 ORVANTIS_PASSWORD=cam-pass";
  const CliRun hidden = Cli(env, "read " + m_target + " --json");
  ASSERT_EQ(hidden.status, 0) << hidden.out;
  EXPECT_EQ(hidden.out.find("wpa-key-1234"), std::string::npos) << hidden.out;
  EXPECT_EQ(hidden.out.find("wep-key-0"), std::string::npos);
  EXPECT_EQ(hidden.out.find("ddns-pass"), std::string::npos);
  EXPECT_EQ(hidden.out.find("cam-pass"), std::string::npos);
  const nlohmann::json j = nlohmann::json::parse(hidden.out);
  EXPECT_EQ(j["settings"]["WPAKey"], "<hidden>");
  EXPECT_EQ(j["settings"]["password"], "<hidden>");
  EXPECT_EQ(j["settings"]["TitleBar"], "Caf\xc3\xa9") << "converted from the code page";

  const CliRun shown = Cli(env, "read " + m_target + " --json --show-secrets");
  ASSERT_EQ(shown.status, 0);
  const nlohmann::json s = nlohmann::json::parse(shown.out);
  EXPECT_EQ(s["settings"]["WPAKey"], "wpa-key-1234");
  EXPECT_EQ(s["settings"]["password"], "cam-pass");
}

TEST_F(CliOutputTest, PlainOutputEscapesControlBytes) {
  const CliRun plain = Cli("ORVANTIS_CODEPAGE=1252 ORVANTIS_PASSWORD=cam-pass", "read " + m_target);
  ASSERT_EQ(plain.status, 0) << plain.out;
  EXPECT_EQ(plain.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(plain.out.find('\x07'), std::string::npos);
  EXPECT_NE(plain.out.find("Desp=porch\\x1b]0;owned\\x07\\x1b[2J\n"), std::string::npos)
      << plain.out;
  EXPECT_EQ(plain.out.find("wpa-key-1234"), std::string::npos);
}

TEST_F(CliOutputTest, PasswordComesFromAFileOrTheEnvironment) {
  const std::string file = ::testing::TempDir() + "orvantis_cli_password";
  { std::ofstream(file) << "cam-pass\n"; }
  EXPECT_EQ(Cli("", "read " + m_target + " --json --password-file " + file).status, 0);
  EXPECT_EQ(Cli("ORVANTIS_PASSWORD=cam-pass", "read " + m_target + " --json").status, 0);
  EXPECT_EQ(Cli("ORVANTIS_PASSWORD=wrong", "read " + m_target + " --json").status, 1);
  EXPECT_EQ(
      Cli("ORVANTIS_PASSWORD=wrong", "read " + m_target + " --json --password cam-pass").status, 0)
      << "an explicit option wins";
  EXPECT_EQ(Cli("", "read " + m_target + " --password-file " + file + ".missing").status, 2);
  std::remove(file.c_str());
}

}  // namespace
