// orvantis-cli against an emulated camera on loopback: what it prints must never carry a key, a
// password or a terminal control sequence the camera put in its answers. The test process moves
// into a network namespace of its own (loopback only) first, so whatever the tool does, it cannot
// touch the machine's network.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "camsim.h"
#include "support/cli_run.h"

using namespace camsim;

namespace orv::test {

namespace {

bool WriteProcFile(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return ok;
}

// A new network namespace with its loopback up: directly as root, else inside a user namespace
// of our own (where the kernel allows it). "" on success, else why not.
std::string EnterPrivateNetwork() {
  if (::unshare(CLONE_NEWNET) != 0) {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNET) != 0)
      return std::string("unshare: ") + std::strerror(errno);
    WriteProcFile("/proc/self/setgroups", "deny");
    if (!WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
        !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n"))
      return "could not map the user namespace";
  }
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return "socket";
  ifreq ifr{};
  std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
  bool up = ::ioctl(fd, SIOCGIFFLAGS, &ifr) == 0;
  ifr.ifr_flags = static_cast<short>(ifr.ifr_flags | IFF_UP);
  up = up && ::ioctl(fd, SIOCSIFFLAGS, &ifr) == 0;
  ::close(fd);
  return up ? "" : "could not bring loopback up";
}

// Every interface address of this namespace, as "name address" texts.
std::set<std::string> Addresses() {
  std::set<std::string> out;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr, text, sizeof text);
    out.insert(std::string(a->ifa_name) + " " + text);
  }
  ::freeifaddrs(list);
  return out;
}

class CliOutputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string why = EnterPrivateNetwork();
    s_private = why.empty();
    if (s_private) return;
    // Without one, `read` is still safe here (it adds no address without --suggest), but in CI
    // the isolation must not quietly go missing.
    const char* ci = std::getenv("CI");
    if (ci != nullptr && std::string(ci) == "true")
      s_isolationError = "no network namespace of our own: " + why;
  }
  static inline bool s_private = false;
  static inline std::string s_isolationError;

  void SetUp() override {
    ASSERT_EQ(s_isolationError, "");
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
  const CliRun hidden = RunCli(env, "read " + m_target + " --json");
  ASSERT_EQ(hidden.status, 0) << hidden.out;
  EXPECT_EQ(hidden.err, "") << "quiet unless asked";
  EXPECT_EQ(hidden.out.find("wpa-key-1234"), std::string::npos) << hidden.out;
  EXPECT_EQ(hidden.out.find("wep-key-0"), std::string::npos);
  EXPECT_EQ(hidden.out.find("ddns-pass"), std::string::npos);
  EXPECT_EQ(hidden.out.find("cam-pass"), std::string::npos);
  const nlohmann::json j = nlohmann::json::parse(hidden.out);
  EXPECT_EQ(j["settings"]["WPAKey"], "<hidden>");
  EXPECT_EQ(j["settings"]["password"], "<hidden>");
  EXPECT_EQ(j["settings"]["TitleBar"], "Caf\xc3\xa9") << "converted from the code page";

  const CliRun shown = RunCli(env, "read " + m_target + " --json --show-secrets");
  ASSERT_EQ(shown.status, 0);
  const nlohmann::json s = nlohmann::json::parse(shown.out);
  EXPECT_EQ(s["settings"]["WPAKey"], "wpa-key-1234");
  EXPECT_EQ(s["settings"]["password"], "cam-pass");
}

TEST_F(CliOutputTest, RunsInANetworkOfItsOwnAndReadAddsNoAddress) {
  if (s_private) {
    // Nothing but loopback: the machine's own adapters are out of reach.
    EXPECT_EQ(Addresses(), std::set<std::string>{"lo 127.0.0.1"});
  }
  const std::set<std::string> before = Addresses();
  const CliRun r = RunCli("ORVANTIS_PASSWORD=cam-pass", "read " + m_target + " --json");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(Addresses(), before) << "read without --suggest changed the host's addresses";
}

TEST_F(CliOutputTest, PlainOutputEscapesControlBytes) {
  const CliRun plain =
      RunCli("ORVANTIS_CODEPAGE=1252 ORVANTIS_PASSWORD=cam-pass", "read " + m_target);
  ASSERT_EQ(plain.status, 0) << plain.out;
  EXPECT_EQ(plain.out.find('\x1b'), std::string::npos);
  EXPECT_EQ(plain.out.find('\x07'), std::string::npos);
  EXPECT_NE(plain.out.find("Desp=porch\\x1b]0;owned\\x07\\x1b[2J\n"), std::string::npos)
      << plain.out;
  EXPECT_EQ(plain.out.find("wpa-key-1234"), std::string::npos);
}

// Without --family the tool asks discovery, which a network of loopback only never answers: the
// legacy family, and the sentence says why it was used.
TEST_F(CliOutputTest, AFailureIsOneSentenceOnStandardErrorAndTheMessageInJson) {
  if (!s_private) GTEST_SKIP() << "no network of our own for the discovery request";
  CameraConfig c;
  c.fault = Fault::NotFound404;
  LabConfig lab;
  lab.discoveryPort = 0;
  lab.cameras = {c};
  Emulator broken(lab);
  std::string error;
  ASSERT_TRUE(broken.Start(&error)) << error;
  const std::string camera = "127.0.0.1:" + std::to_string(broken.HttpPort(0));
  const std::string target = "read 127.0.0.1 --port " + std::to_string(broken.HttpPort(0));
  const std::string sentence =
      "The camera at " + camera +
      " answered 404 Not Found to the legacy requests (assumed: the camera did not answer the "
      "discovery request); it may use the other family: try --family config.";

  const CliRun plain = RunCli("", target);
  EXPECT_EQ(plain.status, 1);
  EXPECT_EQ(plain.out, "result=-4\nok=false\nstep=read\n");
  EXPECT_EQ(plain.err, "orvantis-cli: " + sentence + "\n");

  const CliRun json = RunCli("", target + " --json");
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.err, "");
  const nlohmann::json j = nlohmann::json::parse(json.out);
  EXPECT_EQ(j["result"], -4);
  EXPECT_EQ(j["step"], "read");
  EXPECT_EQ(j["message"], sentence);
}

TEST_F(CliOutputTest, PasswordComesFromAFileOrTheEnvironment) {
  const std::string file = ::testing::TempDir() + "orvantis_cli_password";
  { std::ofstream(file) << "cam-pass\n"; }
  EXPECT_EQ(RunCli("", "read " + m_target + " --json --password-file " + file).status, 0);
  EXPECT_EQ(RunCli("ORVANTIS_PASSWORD=cam-pass", "read " + m_target + " --json").status, 0);
  EXPECT_EQ(RunCli("ORVANTIS_PASSWORD=wrong", "read " + m_target + " --json").status, 1);
  EXPECT_EQ(
      RunCli("ORVANTIS_PASSWORD=wrong", "read " + m_target + " --json --password cam-pass").status,
      0)
      << "an explicit option wins";
  EXPECT_EQ(RunCli("", "read " + m_target + " --password-file " + file + ".missing").status, 2);
  std::remove(file.c_str());
}

}  // namespace

}  // namespace orv::test
