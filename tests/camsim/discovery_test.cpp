// The discovery responder: byte-exact replies, the configurable oddities, and many cameras on one
// port. Replies go to a probe socket on loopback.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <set>

#include "camsim.h"
#include "client.h"

using namespace camsim;

namespace orv::test {

namespace {

struct Lab {
  UdpProbe probe;
  std::unique_ptr<Emulator> emu;
  void Start(std::vector<CameraConfig> cams) {
    LabConfig lab;
    lab.discoveryPort = 0;
    for (auto& c : cams) {
      c.replyTo = "127.0.0.1";
      c.replyPort = probe.port();
    }
    lab.cameras = std::move(cams);
    emu = std::make_unique<Emulator>(lab);
    std::string error;
    ASSERT_TRUE(emu->Start(&error)) << error;
  }
  std::vector<std::string> Ask(std::size_t expect, int waitMs = 1000) {
    probe.SendRequest(emu->DiscoveryPort());
    return probe.Collect(expect, waitMs);
  }
};

TEST(Discovery, ReplyIsByteExact) {
  CameraConfig c;
  c.mac = "00:1A:2b:3C:4d:5E";
  c.cameraId = "SN1234";
  c.interfaceWord = "wireless";
  c.secondPort = 5001;
  Lab lab;
  ASSERT_NO_FATAL_FAILURE(lab.Start({c}));
  const auto replies = lab.Ask(1);
  ASSERT_EQ(replies.size(), 1u);
  std::string expected(
      "\x00\xF6\xD9\xA4\x00\x00\x00\x02\x00\x1A\x2B\x3C\x4D\x5E\x00\x00\x7F\x00\x00\x01", 20);
  const std::uint16_t port = lab.emu->HttpPort(0);
  expected +=
      std::string("\x00\x00", 2) + static_cast<char>(port >> 8) + static_cast<char>(port & 0xFF);
  std::string text = std::string("Vexor-41HA\0SN1234\0wireless", 26);
  text.resize(256, '\0');
  expected += text;
  expected += std::string("\x00\x00\x13\x89", 4);
  EXPECT_EQ(replies[0].size(), 284u);
  EXPECT_EQ(replies[0], expected);
  EXPECT_EQ(lab.emu->DiscoveryReplies(0), 1u);
}

TEST(Discovery, ConfigurableMagicTypeLengthAndTextArea) {
  CameraConfig other, shortOne, longOne, unterminated, mute;
  other.magic = 0x01156A06;
  other.replyType = 1;
  other.mac = "00:00:00:00:00:01";
  shortOne.replyLength = 100;
  shortOne.mac = "00:00:00:00:00:02";
  longOne.replyLength = 300;
  longOne.mac = "00:00:00:00:00:03";
  unterminated.unterminatedText = true;
  unterminated.mac = "00:00:00:00:00:04";
  mute.answerDiscovery = false;
  Lab lab;
  ASSERT_NO_FATAL_FAILURE(lab.Start({other, shortOne, longOne, unterminated, mute}));
  const auto replies = lab.Ask(5, 300);
  ASSERT_EQ(replies.size(), 4u);
  std::map<char, std::string> byMac;
  for (const auto& r : replies) byMac[r[13]] = r;
  EXPECT_EQ(byMac[1].substr(0, 8), std::string("\x01\x15\x6A\x06\x00\x00\x00\x01", 8));
  EXPECT_EQ(byMac[2].size(), 100u);
  EXPECT_EQ(byMac[3].size(), 300u);
  EXPECT_EQ(byMac[3].substr(284), std::string(16, '\0'));
  ASSERT_EQ(byMac[4].size(), 284u);
  EXPECT_EQ(byMac[4].substr(24, 256).find('\0'), std::string::npos);
  EXPECT_EQ(byMac[4].substr(24, 10), "Vexor-41HA");
}

TEST(Discovery, OnlyWellFormedRequestsAreAnswered) {
  Lab lab;
  ASSERT_NO_FATAL_FAILURE(lab.Start({CameraConfig{}}));
  const std::uint16_t port = lab.emu->DiscoveryPort();
  lab.probe.Send(port,
                 std::string("\x00\xF6\xD9\xA4\x00\x00\x00\x02", 8));  // a reply, not a request
  lab.probe.Send(port, std::string("\x01\x15\x6A\x06\x00\x00\x00\x01", 8));  // the replies' magic
  lab.probe.Send(port, std::string("\xA4\xD9\xF6\x00\x01\x00\x00\x00", 8));  // little-endian
  lab.probe.Send(port, std::string("\x00\xF6\xD9\xA4\x00\x00", 6));          // short
  EXPECT_TRUE(lab.probe.Collect(1, 200).empty());
  lab.probe.Send(port, std::string("\x00\xF6\xD9\xA4\x00\x00\x00\x01xtra", 12));
  EXPECT_EQ(lab.probe.Collect(1).size(), 1u);
}

TEST(Discovery, QuietAfterNetworkWriteThenNewPortInTheReply) {
  CameraConfig c;
  c.quietAfterWriteMs = 1000;  // the silence must outlast the first request on a loaded machine
  Lab lab;
  ASSERT_NO_FATAL_FAILURE(lab.Start({c}));
  const std::uint16_t oldPort = lab.emu->HttpPort(0);
  Exchange(oldPort, Get("/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=0&HttpPort=0&RTPPort=7000",
                        Basic("", "") + "\n"));
  EXPECT_TRUE(lab.Ask(1, 100).empty());
  // Ask again until the camera is back, under a generous bound.
  std::vector<std::string> replies;
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (replies.empty() && std::chrono::steady_clock::now() < until) replies = lab.Ask(1, 200);
  ASSERT_EQ(replies.size(), 1u);
  const std::uint16_t newPort = lab.emu->HttpPort(0);
  EXPECT_NE(newPort, oldPort);
  EXPECT_EQ(
      static_cast<unsigned char>(replies[0][22]) << 8 | static_cast<unsigned char>(replies[0][23]),
      newPort);
  EXPECT_EQ(replies[0].substr(280), std::string("\x00\x00\x1B\x58", 4));  // 7000
}

TEST(Discovery, TwoHundredFiftyCamerasAnswerOneRequest) {
  std::vector<CameraConfig> cams(250);
  for (std::size_t i = 0; i < cams.size(); ++i) {
    char mac[18];
    std::snprintf(mac, sizeof mac, "02:00:00:00:%02X:%02X", unsigned(i >> 8), unsigned(i & 0xFF));
    cams[i].mac = mac;
    cams[i].cameraId = "SN" + std::to_string(i);
  }
  Lab lab;
  ASSERT_NO_FATAL_FAILURE(lab.Start(cams));
  const auto replies = lab.Ask(250);
  std::set<std::string> macs;
  for (const auto& r : replies) macs.insert(r.substr(8, 6));
  EXPECT_EQ(macs.size(), 250u);
  // And every one of them serves HTTP on its own port.
  std::set<std::uint16_t> ports;
  for (std::size_t i = 0; i < 250; ++i) ports.insert(lab.emu->HttpPort(i));
  EXPECT_EQ(ports.size(), 250u);
  EXPECT_NE(Exchange(lab.emu->HttpPort(249), Get("/goform/Parameters?Act=1&Page=23", Basic("", "")))
                .bytes.find("Version="),
            std::string::npos);
}

TEST(Discovery, OutsideTheLabRepliesNeverLeaveLoopback) {
  UdpProbe probe;
  CameraConfig refused, answering;
  refused.mac = "02:00:00:00:00:01";
  refused.replyTo = "255.255.255.255";  // the lab default, refused here
  answering.mac = "02:00:00:00:00:02";
  answering.replyTo = "127.0.0.1";
  answering.replyPort = probe.port();
  LabConfig lab;
  lab.discoveryPort = 0;
  lab.cameras = {refused, answering};
  Emulator emu(lab);
  std::string error;
  ASSERT_TRUE(emu.Start(&error)) << error;
  probe.SendRequest(emu.DiscoveryPort());
  // The cameras take a request in their order: once the second has answered, the first has had
  // its turn, so its count is final.
  const auto replies = probe.Collect(1, 5000);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].substr(8, 6), std::string("\x02\x00\x00\x00\x00\x02", 6));
  EXPECT_EQ(emu.DiscoveryReplies(0), 0u);
}

}  // namespace

}  // namespace orv::test
