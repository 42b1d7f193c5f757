// The JSON lab description: defaults, repetition, and the typos it must refuse.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "camsim.h"
#include "client.h"

using namespace camsim;
using nlohmann::json;

namespace orv::test {

namespace {

TEST(Config, DefaultsPerFamilyAndOverrides) {
  const LabConfig lab = LoadConfig(json::parse(R"({
    "discoveryPort": 0,
    "defaults": {"bindAddress": "127.0.0.1", "password": "pw"},
    "cameras": [
      {"name": "legacy", "family": "legacy"},
      {"family": "config", "password": "", "settings": {"TitleBar": "Hall", "NTPPoll": 12},
       "magic": "0x01156A06", "fault": "trickle", "wps": "never-start", "accessPoints": []}
    ]})"));
  ASSERT_EQ(lab.cameras.size(), 2u);
  EXPECT_EQ(lab.discoveryPort, 0);
  const CameraConfig& a = lab.cameras[0];
  EXPECT_EQ(a.family, Family::Legacy);
  EXPECT_EQ(a.description, "Vexor-41H");
  EXPECT_EQ(a.password, "pw");
  EXPECT_EQ(a.accessPoints.size(), 2u);  // absent: two default access points
  const auto sa = DefaultSettings(a);
  EXPECT_EQ(sa.at("SECUEN"), "1");
  EXPECT_EQ(sa.at("ModelName"), "Vexor-41H");
  EXPECT_EQ(sa.count("SPort"), 1u);
  EXPECT_EQ(sa.count("RTPPort"), 0u);
  const CameraConfig& b = lab.cameras[1];
  EXPECT_EQ(b.magic, 0x01156A06u);
  EXPECT_EQ(b.fault, Fault::Trickle);
  EXPECT_EQ(b.wpsOutcome, WpsOutcome::NeverStart);
  EXPECT_TRUE(b.accessPoints.empty());
  const auto sb = DefaultSettings(b);
  EXPECT_EQ(sb.at("SECUEN"), "0");
  EXPECT_EQ(sb.at("TitleBar"), "Hall");
  EXPECT_EQ(sb.at("NTPPoll"), "12");
  EXPECT_EQ(sb.at("Version"), "1.0.2.3");
}

TEST(Config, CountRepeatsACameraWithDistinctIdentity) {
  const LabConfig lab = LoadConfig(json::parse(R"({"cameras": [
      {"name": "cam9", "count": 3, "httpPort": 8080, "mac": "00:11:22:33:44:FF", "cameraId": "SN0099"}]})"));
  ASSERT_EQ(lab.cameras.size(), 3u);
  EXPECT_EQ(lab.cameras[2].name, "cam11");
  EXPECT_EQ(lab.cameras[1].cameraId, "SN0100");
  EXPECT_EQ(lab.cameras[1].mac, "00:11:22:33:45:00");
  EXPECT_EQ(lab.cameras[2].httpPort, 8082);
}

TEST(Config, RefusesTyposAndBadValues) {
  for (const char* bad : {
           R"({"camera": []})",
           R"({"cameras": [{"bindAdress": "127.0.0.1"}]})",
           R"({"cameras": [{"bindAddress": "127.0.0.300"}]})",
           R"({"cameras": [{"mac": "00:11:22:33:44"}]})",
           R"({"cameras": [{"family": "old"}]})",
           R"({"cameras": [{"fault": "slow"}]})",
           R"({"cameras": [{"httpPort": 70000}]})",
           R"({"cameras": [{"magic": "0xZZ"}]})",
           R"({"cameras": [{"httpPort": 65535, "count": 2}]})",
           R"({"cameras": [{"replyTo": "everyone"}]})",
           R"({"linkServer": {"accounts": [{"id": "a", "pass": "b"}]}})",
       }) {
    EXPECT_THROW(LoadConfig(json::parse(bad)), std::runtime_error) << bad;
  }
}

TEST(Config, LogFileHoldsEveryRequestAsAJsonLine) {
  const std::string path = ::testing::TempDir() + "camsim_log_test.jsonl";
  std::remove(path.c_str());
  LabConfig lab = LoadConfig(json::parse(R"({"discoveryPort": 0, "cameras": [{"name": "door"}]})"));
  lab.logPath = path;
  {
    Emulator emu(lab);
    std::string error;
    ASSERT_TRUE(emu.Start(&error)) << error;
    Exchange(emu.HttpPort(0), std::string("GET /x\xE9 HTTP/1.0\n\"\\\n\n"));
    emu.Stop();
  }
  std::ifstream in(path);
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  const json j = json::parse(line);
  EXPECT_EQ(j.at("camera"), "door");
  EXPECT_GT(j.at("time_ms").get<long long>(), 1600000000000LL);
  // One code point per byte: U+00E9 stands for the byte 0xE9.
  EXPECT_EQ(j.at("request").get<std::string>(), "GET /x\xC3\xA9 HTTP/1.0\n\"\\\n\n");
  std::remove(path.c_str());
}

}  // namespace

}  // namespace orv::test
