// Fault modes and the quiet spell after a network write, as a client with its own deadlines sees
// them.
#include <gtest/gtest.h>

#include <thread>

#include "camsim.h"
#include "client.h"

using namespace camsim;

namespace orv::test {

namespace {

std::unique_ptr<Emulator> StartOne(CameraConfig c) {
  LabConfig lab;
  lab.discoveryPort = 0;
  lab.cameras = {std::move(c)};
  auto emu = std::make_unique<Emulator>(lab);
  std::string error;
  if (!emu->Start(&error)) {
    ADD_FAILURE() << "emulator did not start: " << error;
    return nullptr;
  }
  return emu;
}

CameraConfig WithFault(Fault f) {
  CameraConfig c;
  c.family = Family::Legacy;
  c.fault = f;
  return c;
}

const std::string kRead = Get("/goform/Parameters?Act=1&Page=1", "\n");

TEST(Faults, SilentAcceptsAndLogsButNeverAnswersNorCloses) {
  auto emu = StartOne(WithFault(Fault::Silent));
  ASSERT_TRUE(emu);
  const Received r = Exchange(emu->HttpPort(0), kRead, 300);
  EXPECT_TRUE(r.connected);
  EXPECT_TRUE(r.bytes.empty());
  EXPECT_FALSE(r.closed);
  EXPECT_EQ(emu->Requests(0), std::vector<std::string>{kRead});
}

TEST(Faults, NeverCloseAnswersInFullThenKeepsTheConnection) {
  auto emu = StartOne(WithFault(Fault::NeverClose));
  ASSERT_TRUE(emu);
  const Received r = Exchange(emu->HttpPort(0), kRead, 300);
  EXPECT_FALSE(r.closed);
  EXPECT_NE(r.bytes.find("ModelName=Vexor-41HA\n"), std::string::npos);
}

TEST(Faults, OversizeStartsWithTheRealAnswer) {
  CameraConfig c = WithFault(Fault::Oversize);
  c.oversizeBytes = 65536;
  auto emu = StartOne(c);
  ASSERT_TRUE(emu);
  const Received r = Exchange(emu->HttpPort(0), kRead);
  EXPECT_TRUE(r.closed);
  EXPECT_EQ(Body(r.bytes).size(), 65536u);
  EXPECT_EQ(Body(r.bytes).rfind("TitleBar=IPCAM\n", 0), 0u);
  // A client that stops reading early and closes must not upset the camera.
  EXPECT_EQ(Exchange(emu->HttpPort(0), kRead, 1000, 100).bytes.size() >= 100, true);
  EXPECT_TRUE(Exchange(emu->HttpPort(0), kRead).closed);
}

TEST(Faults, StatusFaultsReplaceEveryAnswer) {
  auto e402 = StartOne(WithFault(Fault::Failure402));
  ASSERT_TRUE(e402);
  auto e404 = StartOne(WithFault(Fault::NotFound404));
  ASSERT_TRUE(e404);
  auto e401 = StartOne(WithFault(Fault::RefuseCredentials));
  ASSERT_TRUE(e401);
  for (const std::string& req : {kRead, Get("/cgi-bin/ap_scan.cgi", "\n "),
                                 Get("/goform/Parameters?Act=1&Page=1", Basic("root", ""))}) {
    EXPECT_EQ(Exchange(e402->HttpPort(0), req).bytes.rfind("HTTP/1.0 402 Failure\r\n", 0), 0u);
    EXPECT_EQ(Exchange(e404->HttpPort(0), req).bytes.rfind("HTTP/1.0 404 Not Found\r\n", 0), 0u);
    EXPECT_EQ(Exchange(e401->HttpPort(0), req).bytes.rfind("HTTP/1.0 401 Unauthorized\r\n", 0), 0u);
  }
  // A refused write changes nothing.
  Exchange(e402->HttpPort(0), Get("/goform/Parameters?Act=2&Page=1&TitleBar=x", "\n\n"));
  EXPECT_EQ(e402->Setting(0, "TitleBar"), "IPCAM");
}

TEST(Faults, TrickleSendsTheWholeAnswerSlowly) {
  CameraConfig c = WithFault(Fault::Trickle);
  c.trickleIntervalMs = 2;
  c.rawPages["23"] = "Version=9\n";
  auto emu = StartOne(c);
  ASSERT_TRUE(emu);
  const auto t0 = std::chrono::steady_clock::now();
  const Received r =
      Exchange(emu->HttpPort(0), Get("/goform/Parameters?Act=1&Page=23", "\n"), 5000);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
          .count();
  EXPECT_TRUE(r.closed);
  EXPECT_EQ(Body(r.bytes), "Version=9\n");
  EXPECT_GE(ms, static_cast<long>(r.bytes.size()));  // at least 2 ms per byte after the first
}

TEST(Faults, OverlongHeadIsCutAt8KiB) {
  auto emu = StartOne(CameraConfig{});
  ASSERT_TRUE(emu);
  const Received r = Exchange(emu->HttpPort(0), "GET /" + std::string(10000, 'a'));
  EXPECT_EQ(r.bytes.rfind("HTTP/1.0 400", 0), 0u);
  ASSERT_EQ(emu->Requests(0).size(), 1u);
  EXPECT_EQ(emu->Requests(0)[0].size(), 8192u);
}

TEST(AddressChange, NetworkWriteGoesQuietThenServesAtTheNewPort) {
  CameraConfig c;
  c.quietAfterWriteMs = 1000;  // the quiet check below must fall inside it on a loaded machine
  auto emu = StartOne(c);
  ASSERT_TRUE(emu);
  const std::uint16_t oldPort = emu->HttpPort(0);
  const std::string auth = Basic("", "");
  // HttpPort=0 asks for a fresh kernel-chosen port (fixed ports are off limits in tests).
  const Received w = Exchange(
      oldPort, Get("/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1&IPAddr=127.0.0.1&HttpPort=0&"
                   "RTPPort=6001",
                   auth + "\n"));
  EXPECT_EQ(w.bytes.rfind("HTTP/1.0 200 OK", 0), 0u);  // answered before going quiet
  EXPECT_FALSE(Exchange(oldPort, Get("/cgi-bin/config_time.cgi?Act=1", auth)).connected);
  // The camera comes back at a new port; wait for that, not for a fixed time.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (emu->HttpPort(0) == oldPort && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const std::uint16_t newPort = emu->HttpPort(0);
  EXPECT_NE(newPort, oldPort);
  EXPECT_FALSE(Exchange(oldPort, Get("/cgi-bin/config_time.cgi?Act=1", auth)).connected);
  const std::string net =
      Body(Exchange(newPort, Get("/cgi-bin/config_network.cgi?Act=1&Page=3", auth)).bytes);
  EXPECT_NE(net.find("\nHttpPort=" + std::to_string(newPort) + "\nRTPPort=6001\n"),
            std::string::npos);
}

TEST(AddressChange, UnreachableNewAddressKeepsTheOldOneWithoutManagingAddresses) {
  CameraConfig c;
  c.quietAfterWriteMs = 100;
  auto emu = StartOne(c);
  ASSERT_TRUE(emu);
  const std::uint16_t port = emu->HttpPort(0);
  const Received w = Exchange(
      port, Get("/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=1&IPAddr=192.0.2.123&HttpPort=" +
                    std::to_string(port),
                Basic("", "") + "\n"));
  EXPECT_EQ(w.bytes.rfind("HTTP/1.0 200 OK", 0), 0u);
  // Back from its quiet time: only then has the camera tried the new address and given it up.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!Exchange(port, Get("/cgi-bin/config_time.cgi?Act=1", Basic("", ""))).connected &&
         std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(emu->HttpPort(0), port);
  EXPECT_EQ(emu->Address(0), "127.0.0.1");
  EXPECT_EQ(emu->Setting(0, "IPAddr"), "192.0.2.123");  // what the camera was told
  EXPECT_TRUE(
      Exchange(emu->HttpPort(0), Get("/cgi-bin/config_time.cgi?Act=1", Basic("", ""))).closed);
}

TEST(AddressChange, DhcpWriteKeepsAddressAndPort) {
  auto emu = StartOne(CameraConfig{});
  ASSERT_TRUE(emu);
  const std::uint16_t port = emu->HttpPort(0);
  Exchange(port,
           Get("/cgi-bin/config_network.cgi?Act=2&Page=3&IPType=0&HttpPort=" + std::to_string(port),
               Basic("", "") + "\n"));
  EXPECT_EQ(emu->HttpPort(0), port);
  EXPECT_TRUE(Exchange(port, Get("/cgi-bin/config_time.cgi?Act=1", Basic("", ""))).closed);
}

}  // namespace

}  // namespace orv::test
