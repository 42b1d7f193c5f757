// The discovery engine over the in-memory network: what goes out, what a reply becomes, how the
// list keeps order, expires and grows, and the diagnostics it prints.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/discovery/plipf.h"
#include "core/util/text_boundary.h"
#include "support/fake_discovery.h"

namespace orv::test {
namespace {

struct Result {
  int code = -2;
  std::vector<CameraEntry> rows;
  int count = -1;
  int capacity = -1;
};

class Engine {
 public:
  explicit Engine(const FakeDiscoveryRig& rig) : m_engine(rig.Environment()) {}
  Result Collect(int mode = 0) {
    Result r;
    const CameraEntry* rows = nullptr;
    r.code = m_engine.Collect(&rows, &r.count, &r.capacity, mode);
    if (r.code >= 0) r.rows.assign(rows, rows + r.count);
    return r;
  }
  CPLipf& operator*() { return m_engine; }
  CPLipf* operator->() { return &m_engine; }

 private:
  CPLipf m_engine;
};

FakeDiscoveryRig OneAdapter() {
  FakeDiscoveryRig rig;
  rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5")};
  return rig;
}

FakeDiscoveryRig TwoAdapters() {
  FakeDiscoveryRig rig;
  rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5"), Ip("10.1.0.5")};
  return rig;
}

bool Printed(const FakeDiscoveryRig& rig, const std::string& line) {
  for (const auto& l : *rig.lines) {
    if (l == line) return true;
  }
  return false;
}

Bytes Junk() {
  return Bytes{1, 2, 3};
}  // too short to be a reply; still makes a prune run

// The real engines' trace goes only where the program sends it, also for an engine made before.
TEST(DiscoveryTrace, SilentUntilTheProgramSetsASink) {
  const DiscoveryEnvironment env = DiscoveryEnvironment::System();
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  env.diagnostics("Invalid handler !\n");
  std::vector<std::string> lines;
  SetDiscoveryTrace([&lines](std::string_view line) { lines.emplace_back(line); });
  env.diagnostics("Is not in the set!\n");
  SetDiscoveryTrace({});
  env.diagnostics("Invalid handler !\n");
  EXPECT_EQ(::testing::internal::GetCapturedStdout() + ::testing::internal::GetCapturedStderr(),
            "");
  EXPECT_EQ(lines, std::vector<std::string>{"Is not in the set!\n"});
}

TEST(DiscoveryRequests, GoOutFromEveryAddressAndAgainOnlyAfterThirtySeconds) {
  FakeDiscoveryRig rig = TwoAdapters();
  Engine e(rig);
  EXPECT_TRUE(rig.net->sent.empty()) << "nothing is sent before the first poll";
  EXPECT_EQ(e.Collect().code, -1);

  ASSERT_EQ(rig.net->sent.size(), 2u);
  const Bytes request{0x00, 0xF6, 0xD9, 0xA4, 0x00, 0x00, 0x00, 0x01};
  EXPECT_EQ(rig.net->sent[0].from, Ip("10.0.0.5"));
  EXPECT_EQ(rig.net->sent[1].from, Ip("10.1.0.5"));
  for (const auto& s : rig.net->sent) {
    EXPECT_EQ(s.bytes, request);
    EXPECT_EQ(s.to, Ip("255.255.255.255"));
    EXPECT_EQ(s.port, 49160);
  }
  // Two shared receive sockets stay open; the send sockets were closed.
  ASSERT_EQ(rig.net->ReceiveSockets().size(), 2u);
  for (int fd : rig.net->ReceiveSockets()) {
    EXPECT_TRUE(rig.net->sockets[fd].reuse);
    EXPECT_TRUE(rig.net->sockets[fd].broadcast);
    EXPECT_EQ(rig.net->sockets[fd].boundPort, 49160);
  }
  EXPECT_EQ(rig.net->OpenCount(), 2u);

  *rig.now += 30000;
  e.Collect();
  EXPECT_EQ(rig.net->sent.size(), 2u);
  *rig.now += 1;
  e.Collect();
  EXPECT_EQ(rig.net->sent.size(), 4u);
}

TEST(DiscoveryReplies, BothMagicsAreCamerasOtherDatagramsAreNot) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e.Collect();

  rig.net->DeliverAll(MakeReply(NumberedCamera(1)));
  Result r = e.Collect();
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.count, 1);

  ReplySpec alt = NumberedCamera(2);
  alt.magic = 0x01156A06;
  rig.net->DeliverAll(MakeReply(alt));
  r = e.Collect();
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(r.count, 2);
  EXPECT_EQ(r.rows[1].cam_id, "SN2");

  ReplySpec wrong = NumberedCamera(3);
  wrong.magic = 0x12345678;
  const Bytes bad = MakeReply(wrong);
  rig.net->DeliverAll(bad);
  r = e.Collect();
  EXPECT_EQ(r.code, 0) << "the poll read a datagram, but nothing changed";
  EXPECT_EQ(r.count, 2);
  std::int32_t native;
  std::memcpy(&native, bad.data(), 4);
  EXPECT_TRUE(Printed(rig, "Unknown magic number ! (" + std::to_string(native) + ")\n"));

  // Our own request, looped back by the broadcast, has a good magic and the wrong type.
  rig.lines->clear();
  rig.net->DeliverAll(rig.net->sent.at(0).bytes);
  r = e.Collect();
  EXPECT_EQ(r.count, 2);
  EXPECT_EQ(rig.Output(),
            "recvfrom function return length = 8\nIs not reply message ! (16777216)\n");
}

TEST(DiscoveryReplies, ShortAndOverlongDatagrams) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e.Collect();

  ReplySpec s = NumberedCamera(1);
  s.length = 100;
  rig.net->DeliverAll(MakeReply(s));
  Result r = e.Collect();
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.rows[0].sport, "0") << "bytes not received read as zero";
  EXPECT_EQ(r.rows[0].port, "80");
  EXPECT_EQ(r.rows[0].desc, "Vexor-41HA/ethernet");
  EXPECT_EQ(r.rows[0].cam_id, "SN1");
  EXPECT_EQ(r.rows[0].mac, "00:50:C2:00:00:01");
  EXPECT_EQ(r.rows[0].ip, "10.0.0.2");

  rig.lines->clear();
  ReplySpec big = NumberedCamera(2);
  big.length = 285;
  rig.net->DeliverAll(MakeReply(big));
  r = e.Collect();
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(rig.Output(),
            "recvfrom function return length = -1\nFailed in receive reply message !\n");

  big.length = 284;
  rig.net->DeliverAll(MakeReply(big));
  EXPECT_EQ(e.Collect().count, 2);

  rig.lines->clear();
  rig.net->DeliverAll(Bytes(7, 0));
  EXPECT_EQ(e.Collect().count, 2);
  EXPECT_EQ(rig.Output(), "recvfrom function return length = 7\n");
}

TEST(DiscoveryList, FirstReplyOrderUpdateInPlaceAndRemovalClosesTheGap) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e.Collect();
  for (int n : {3, 1, 2}) {
    rig.net->DeliverAll(MakeReply(NumberedCamera(n)));
    e.Collect();
  }
  // Camera 1 moves to a new address: same place, new text, rows rebuilt.
  ReplySpec moved = NumberedCamera(1);
  moved.ip = "192.168.0.98";
  rig.net->DeliverAll(MakeReply(moved));
  Result r = e.Collect();
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(r.count, 3);
  EXPECT_EQ(r.rows[0].cam_id, "SN3");
  EXPECT_EQ(r.rows[1].ip, "192.168.0.98");
  EXPECT_EQ(r.rows[2].cam_id, "SN2");
  EXPECT_EQ(e->Nodes()[1].sequence, 2);

  // The same reply again changes nothing.
  rig.net->DeliverAll(MakeReply(moved));
  EXPECT_EQ(e.Collect().code, 0);

  // Cameras 3 and 2 answer 30 s later; camera 1 falls silent and goes once 60 s have passed.
  *rig.now += 30000;
  rig.net->DeliverAll(MakeReply(NumberedCamera(3)));
  e.Collect();
  rig.net->DeliverAll(MakeReply(NumberedCamera(2)));
  e.Collect();
  *rig.now += 30001;
  rig.net->DeliverAll(Junk());
  r = e.Collect();
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(r.count, 2);
  EXPECT_EQ(r.rows[0].cam_id, "SN3");
  EXPECT_EQ(r.rows[1].cam_id, "SN2");
  EXPECT_EQ(e->Nodes()[1].sequence, 2);
}

TEST(DiscoveryList, ExpiryIsStrictlyMoreThanSixtySecondsAndSurvivesClockWrap) {
  FakeDiscoveryRig rig = OneAdapter();
  *rig.now = 0xFFFFF000u;  // wraps to small values below
  Engine e(rig);
  e.Collect();
  rig.net->DeliverAll(MakeReply(NumberedCamera(1)));
  EXPECT_EQ(e.Collect().count, 1);

  *rig.now += 60000;
  rig.net->DeliverAll(Junk());
  Result r = e.Collect();
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.count, 1) << "60 000 ms old stays";

  *rig.now += 1;
  rig.net->DeliverAll(Junk());
  r = e.Collect();
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.count, 0) << "60 001 ms old goes";
}

TEST(DiscoveryChanges, AnyShownFieldOfAKnownCameraCountsIdenticalRepliesDoNot) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e.Collect();
  ReplySpec s = NumberedCamera(1);
  rig.net->DeliverAll(MakeReply(s));
  EXPECT_EQ(e.Collect().code, 1);

  auto deliver = [&](const ReplySpec& want) {
    rig.net->DeliverAll(MakeReply(want));
    return e.Collect();
  };
  EXPECT_EQ(deliver(s).code, 0);
  s.httpPort = 8080;
  Result r = deliver(s);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.rows[0].port, "8080");
  s.description = "Vexor-41M";
  EXPECT_EQ(deliver(s).code, 1);
  s.cameraId = "SN9999";
  r = deliver(s);
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.rows[0].cam_id, "SN9999");
  s.secondPort = 5001;
  EXPECT_EQ(deliver(s).code, 1);
  EXPECT_EQ(deliver(s).code, 0);

  // Bytes the row does not show (the reserved field) are refreshed but not a change.
  Bytes b = MakeReply(s);
  b[14] = 0xAB;
  rig.net->DeliverAll(b);
  EXPECT_EQ(e.Collect().code, 0);
  EXPECT_EQ(e->Nodes()[0].payload[6], 0xAB);
}

TEST(DiscoveryRows, CapacityGrowsInStepsOf25WhenTheCountReachesIt) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e.Collect();
  Result r;
  for (int n = 0; n < 24; ++n) {
    rig.net->DeliverAll(MakeReply(NumberedCamera(n)));
    r = e.Collect();
  }
  EXPECT_EQ(r.count, 24);
  EXPECT_EQ(r.capacity, 25);
  rig.net->DeliverAll(MakeReply(NumberedCamera(24)));
  r = e.Collect();
  EXPECT_EQ(r.count, 25);
  EXPECT_EQ(r.capacity, 50);
  EXPECT_EQ(r.rows[24].cam_id, "SN24");
  rig.net->DeliverAll(MakeReply(NumberedCamera(25)));
  r = e.Collect();
  EXPECT_EQ(r.capacity, 50);
  EXPECT_EQ(r.rows[25].cam_id, "SN25");
  EXPECT_EQ(r.rows[0].cam_id, "SN0") << "growing keeps the rows";
}

TEST(DiscoveryRows, ManyCamerasInOnePollGrowPastOneStep) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e->SetDrain(true);
  e.Collect();
  for (int n = 0; n < 60; ++n) rig.net->DeliverAll(MakeReply(NumberedCamera(n)));
  const Result r = e.Collect();
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(r.count, 60);
  EXPECT_EQ(r.capacity, 75);
  EXPECT_EQ(r.rows[59].cam_id, "SN59");
  EXPECT_EQ(r.rows[59].ip, "10.0.0.60");
}

TEST(DiscoveryList, ASpoofedMacFloodIsCappedAndTheOldestSilentCamerasMakeRoom) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e->SetDrain(true);
  e.Collect();
  // A real camera answers first; 1000 spoofed MACs follow; the camera answers again later.
  rig.net->DeliverAll(MakeReply(NumberedCamera(0)));
  for (int n = 1; n <= 1000; ++n) rig.net->DeliverAll(MakeReply(NumberedCamera(n)));
  e.Collect();
  *rig.now += 1000;
  rig.net->DeliverAll(MakeReply(NumberedCamera(0)));
  e.Collect();
  ASSERT_EQ(e->CameraCount(), 1001u);

  // 4000 more arrive a second later, far more than one drain reads in one poll.
  *rig.now += 1000;
  for (int n = 1001; n <= 5000; ++n) rig.net->DeliverAll(MakeReply(NumberedCamera(n)));
  const Result r = e.Collect();
  EXPECT_EQ(rig.net->Queued(0), 0u) << "one drain takes them all";
  EXPECT_EQ(e->CameraCount(), CPLipf::kMaxCameras);
  ASSERT_EQ(r.count, static_cast<int>(CPLipf::kMaxCameras));
  EXPECT_LE(r.capacity, static_cast<int>(CPLipf::kMaxCameras) + CPLipf::kRowStep);
  EXPECT_EQ(r.rows.back().cam_id, "SN5000");
  EXPECT_EQ(r.rows.front().cam_id, "SN" + std::to_string(5000 - 1024 + 1))
      << "the newest replies survive, in order of first reply";
  for (std::size_t i = 0; i < e->Nodes().size(); ++i) {
    ASSERT_EQ(e->Nodes()[i].sequence, static_cast<std::int32_t>(i + 1));
  }

  // An evicted MAC that answers again is a new camera at the end, still within the bound.
  rig.net->DeliverAll(MakeReply(NumberedCamera(1)));
  const Result again = e.Collect();
  EXPECT_EQ(again.count, static_cast<int>(CPLipf::kMaxCameras));
  EXPECT_EQ(again.rows.back().cam_id, "SN1");
}

TEST(DiscoveryList, ARefreshedCameraOutlivesSilentOnesWhenTheListIsFull) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e->SetDrain(true);
  e.Collect();
  for (int n = 0; n < 1024; ++n) rig.net->DeliverAll(MakeReply(NumberedCamera(n)));
  e.Collect();
  *rig.now += 500;
  rig.net->DeliverAll(MakeReply(NumberedCamera(7)));  // still talking
  e.Collect();
  *rig.now += 500;
  for (int n = 2000; n < 2100; ++n) rig.net->DeliverAll(MakeReply(NumberedCamera(n)));
  const Result r = e.Collect();
  ASSERT_EQ(r.count, 1024);
  EXPECT_EQ(r.rows[0].cam_id, "SN7") << "the silent cameras before it went first";
  EXPECT_EQ(r.rows[1].cam_id, "SN101");
}

TEST(DiscoveryCollect, ModeOneForgetsEveryCameraOtherModesDoNothing) {
  FakeDiscoveryRig rig = OneAdapter();
  Engine e(rig);
  e.Collect();
  rig.net->DeliverAll(MakeReply(NumberedCamera(1)));
  e.Collect();
  rig.net->DeliverAll(MakeReply(NumberedCamera(2)));
  EXPECT_EQ(e.Collect(7).code, -1);
  EXPECT_EQ(e->CameraCount(), 1u);
  EXPECT_EQ(rig.net->Queued(0), 1u) << "an unknown mode does not poll";

  e.Collect();
  EXPECT_EQ(e.Collect(1).code, -1);
  EXPECT_EQ(e->CameraCount(), 0u);

  rig.net->DeliverAll(MakeReply(NumberedCamera(2)));
  const Result r = e.Collect(1);
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.rows[0].cam_id, "SN2");
}

TEST(DiscoveryAdapters, AReplyOnlyOnTheSecondSocketWaitsUnlessDraining) {
  FakeDiscoveryRig rig = TwoAdapters();
  Engine e(rig);
  e.Collect();
  rig.net->Deliver(1, MakeReply(NumberedCamera(1)));
  EXPECT_EQ(e.Collect().code, -1);
  EXPECT_EQ(rig.net->Queued(1), 1u);
  EXPECT_EQ(e->CameraCount(), 0u);

  rig.net->Deliver(0, MakeReply(NumberedCamera(2)));
  Result r = e.Collect();
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(r.count, 2);
  EXPECT_EQ(r.rows[0].cam_id, "SN2");
  EXPECT_EQ(e->Nodes()[1].adapter, 1);

  e->SetDrain(true);
  rig.net->Deliver(1, MakeReply(NumberedCamera(3)));
  rig.net->Deliver(1, MakeReply(NumberedCamera(4)));
  r = e.Collect();
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.count, 4);
  EXPECT_EQ(rig.net->Queued(1), 0u);
}

TEST(DiscoveryAdapters, FailedSendsAreReportedAndDropThatAdaptersCameras) {
  FakeDiscoveryRig rig = TwoAdapters();
  Engine e(rig);
  e.Collect();
  rig.net->Deliver(0, MakeReply(NumberedCamera(1)));
  rig.net->Deliver(1, MakeReply(NumberedCamera(2)));
  EXPECT_EQ(e.Collect().count, 2);

  rig.lines->clear();
  rig.net->failSendFrom = {Ip("10.1.0.5")};
  *rig.now += 30001;
  rig.net->Deliver(0, MakeReply(NumberedCamera(1)));
  rig.net->Deliver(1, Junk());
  Result r = e.Collect();
  EXPECT_TRUE(Printed(rig, "Failed in send request message !\n"));
  EXPECT_EQ(r.code, 1);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.rows[0].cam_id, "SN1");

  // A socket that cannot be created is reported twice; one that cannot be bound, bind then open.
  rig.lines->clear();
  rig.net->failSendFrom.clear();
  rig.net->failCreates = 1;
  *rig.now += 30001;
  e.Collect();
  EXPECT_EQ(rig.Output(), "Failed in open sending socket !\nFailed in open sending socket !\n");
  rig.lines->clear();
  rig.net->failBindFrom = {Ip("10.0.0.5")};
  *rig.now += 30001;
  e.Collect();
  EXPECT_EQ(rig.Output(), "Failed in bind sending socket !\nFailed in open sending socket !\n");
  EXPECT_EQ(rig.net->OpenCount(), 2u) << "failed send sockets are closed";

  // Once the adapter sends again its cameras may come back.
  rig.net->failBindFrom.clear();
  *rig.now += 30001;
  rig.net->Deliver(0, MakeReply(NumberedCamera(1)));
  rig.net->Deliver(1, MakeReply(NumberedCamera(2)));
  EXPECT_EQ(e.Collect().count, 2);
}

TEST(DiscoveryHosts, LoopbackStateSendsNothingUntilAnAdapterAppears) {
  FakeDiscoveryRig rig;
  rig.net->hosts = std::vector<std::uint32_t>{Ip("127.0.0.1")};
  Engine e(rig);
  EXPECT_TRUE(e->InLoopbackState());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(e.Collect().code, -1);
  EXPECT_TRUE(rig.net->sockets.empty());

  rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5")};
  EXPECT_EQ(e.Collect().code, -1);
  EXPECT_FALSE(e->InLoopbackState());
  EXPECT_TRUE(rig.net->sent.empty()) << "the refreshing poll only reads the addresses";
  e.Collect();
  EXPECT_EQ(rig.net->sent.size(), 1u);
  EXPECT_TRUE(e->Initialised());
}

TEST(DiscoveryHosts, MissingOrShrinkingAddressListsAreBounded) {
  FakeDiscoveryRig rig;
  rig.net->hosts = std::nullopt;  // lookup fails: nothing known, treated as the loopback state
  Engine e(rig);
  EXPECT_EQ(e.Collect().code, -1);
  EXPECT_TRUE(rig.net->sockets.empty());

  rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5"), Ip("10.1.0.5")};
  e.Collect();  // refresh
  rig.net->hosts = std::vector<std::uint32_t>{Ip("10.1.0.5")};
  e.Collect();  // an adapter vanished before the handles were built
  EXPECT_EQ(e->Handles().size(), 1u);
  ASSERT_EQ(rig.net->sent.size(), 1u);
  EXPECT_EQ(rig.net->sent[0].from, Ip("10.1.0.5"));

  rig.net->DeliverAll(MakeReply(NumberedCamera(1)));
  EXPECT_EQ(e.Collect().count, 1);
}

TEST(DiscoveryHosts, NoReceiveSocketMeansEveryPollFindsNothing) {
  FakeDiscoveryRig rig = OneAdapter();
  rig.net->failReceiveBind = true;
  Engine e(rig);
  EXPECT_EQ(e.Collect().code, -1);
  EXPECT_EQ(rig.net->sent.size(), 1u) << "requests still go out";
  EXPECT_EQ(e.Collect().code, -1);
  EXPECT_EQ(rig.net->OpenCount(), 0u) << "the failed receive socket was closed";
}

// The text area and desc, where hostile or long texts meet fixed widths.
CameraEntry RowOf(const Bytes& reply) {
  DiscoveryPayload p{};
  std::memcpy(p.data(), reply.data() + 8, std::min<std::size_t>(reply.size() - 8, p.size()));
  CameraEntry row;
  FormatCameraEntry(p, row);
  return row;
}

TEST(DiscoveryText, UnterminatedStringsEndAtTheTextArea) {
  ReplySpec s = NumberedCamera(1);
  s.secondPort = 0x41424344;  // "ABCD" right after the text area
  Bytes b = MakeReply(s);
  std::memset(b.data() + 24, 'D', 256);
  CameraEntry row = RowOf(b);
  EXPECT_EQ(row.desc, std::string(30, 'D') + "/");
  EXPECT_EQ(row.cam_id, "");
  EXPECT_EQ(row.sport, "1094861636");

  // Description ends inside; the camera ID runs to the end without a terminator.
  std::memset(b.data() + 24, 'a', 200);
  b[24 + 200] = 0;
  std::memset(b.data() + 24 + 201, 'c', 55);
  row = RowOf(b);
  EXPECT_EQ(row.cam_id, std::string(55, 'c'));
  EXPECT_EQ(row.desc, std::string(30, 'a') + "/");
}

TEST(DiscoveryText, LongDescriptionsKeepTheirEndTheSlashAndTheInterface) {
  ReplySpec s = NumberedCamera(1);
  s.interfaceWord = "wireless";
  EXPECT_EQ(RowOf(MakeReply(s)).desc, "Vexor-41HA/wireless");

  s.description = "Vexor-Outdoor-Night-Edition-41HA";  // 32 bytes
  const std::string desc = RowOf(MakeReply(s)).desc.str();
  EXPECT_EQ(desc.size(), 31u);
  EXPECT_EQ(desc, "oor-Night-Edition-41HA/wireless");

  s.interfaceWord = std::string(40, 'w');
  EXPECT_EQ(RowOf(MakeReply(s)).desc, "/" + std::string(30, 'w'));
}

TEST(DiscoveryText, DescriptionCutNeverSplitsADoubleByteCharacter) {
  SetTextBoundaryRule(CharSetKind::DoubleByte, 950);
  ReplySpec s = NumberedCamera(1);
  std::string big5;
  for (int i = 0; i < 12; ++i) big5 += "\xA4\x40";
  s.description = big5;
  s.interfaceWord = "wireles";  // leaves 23 bytes: an odd cut that must move to 22
  const std::string desc = RowOf(MakeReply(s)).desc.str();
  SetTextBoundaryRule(CharSetKind::SingleByte);
  EXPECT_EQ(desc, big5.substr(2) + "/wireles");
}

}  // namespace
}  // namespace orv::test
