// Where each camera answered: the arrival adapter of replies, the rows that carry it, the short
// discovery runs of the command-line tool, and the subnet step on the camera's own adapter.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "core/app/camera_pick.h"
#include "core/app/refind.h"
#include "core/discovery/camera_lookup.h"
#include "core/discovery/plipf.h"
#include "core/hostnet/temporary_address.h"
#include "core/util/ipv4.h"
#include "support/fake_discovery.h"
#include "support/fake_host_network.h"

namespace orv::test {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using Ms = std::chrono::milliseconds;

std::uint32_t Addr(const char* text) {
  return Ip(text);
}

std::vector<CameraEntry> Poll(CPLipf& engine, int* code = nullptr) {
  const CameraEntry* rows = nullptr;
  int count = 0;
  int capacity = 0;
  const int r = engine.Collect(&rows, &count, &capacity, 0);
  if (code) *code = r;
  if (r < 0) return {};
  return std::vector<CameraEntry>(rows, rows + count);
}

class ArrivalAdapter : public ::testing::Test {
 protected:
  ArrivalAdapter() {
    rig.net->hosts = std::vector<std::uint32_t>{Addr("10.0.0.5"), Addr("172.16.0.9")};
    rig.net->adapterNames = {{2, "eth0"}, {3, "wlan0"}};
  }
  FakeDiscoveryRig rig;
  // Made once the host addresses are set, as the real engine is made on a PC that has them.
  std::unique_ptr<CPLipf> made = [this] {
    rig.net->hosts = std::vector<std::uint32_t>{Addr("10.0.0.5"), Addr("172.16.0.9")};
    return std::make_unique<CPLipf>(rig.Environment());
  }();
  CPLipf& engine = *made;
};

TEST_F(ArrivalAdapter, RowsCarryTheAdapterAReplyArrivedOnAndFollowAMove) {
  engine.SetDrain(true);
  Poll(engine);
  for (int fd : rig.net->ReceiveSockets()) EXPECT_TRUE(rig.net->sockets.at(fd).arrivalAdapter);

  ReplySpec cam = NumberedCamera(1);
  rig.net->DeliverOn(0, MakeReply(cam), 2);
  std::vector<CameraEntry> rows = Poll(engine);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].ifIndex, 2u);
  EXPECT_EQ(rows[0].adapter, "eth0");

  // The same reply again changes nothing; the same camera on another adapter is a change.
  int code = 0;
  rig.net->DeliverOn(0, MakeReply(cam), 2);
  Poll(engine, &code);
  EXPECT_EQ(code, 0);
  rig.net->DeliverOn(1, MakeReply(cam), 3);
  rows = Poll(engine, &code);
  EXPECT_EQ(code, 1);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].ifIndex, 3u);
  EXPECT_EQ(rows[0].adapter, "wlan0");
}

TEST_F(ArrivalAdapter, AVanishedAdapterLeavesTheIndexWithoutAName) {
  engine.SetDrain(true);
  Poll(engine);
  rig.net->DeliverOn(0, MakeReply(NumberedCamera(4)), 9);  // no adapter 9 any more
  rig.net->Deliver(0, MakeReply(NumberedCamera(5)));       // a system that does not say
  const std::vector<CameraEntry> rows = Poll(engine);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].ifIndex, 9u);
  EXPECT_TRUE(rows[0].adapter.empty());
  EXPECT_EQ(rows[1].ifIndex, 0u);
}

TEST_F(ArrivalAdapter, AFloodOfSpoofedMacsStaysWithinTheCapWithItsAdapter) {
  engine.SetDrain(true);
  Poll(engine);
  for (int n = 0; n < 3000; ++n) rig.net->DeliverOn(0, MakeReply(NumberedCamera(n)), 2);
  const std::vector<CameraEntry> rows = Poll(engine);
  EXPECT_EQ(rows.size(), CPLipf::kMaxCameras);
  for (const CameraEntry& e : rows) ASSERT_EQ(e.ifIndex, 2u);
}

// A clock that moves only when the engine waits, so runs take no real time.
struct SteppedClock {
  std::chrono::steady_clock::time_point now{};
  LookupClock Get() {
    return [this] { return now += Ms(10); };
  }
};

TEST_F(ArrivalAdapter, LookUpFindsTheCameraByItsClaimedAddressOrGivesUp) {
  SteppedClock clock;
  // Nobody answers: the run ends at the wait, after one request per adapter.
  EXPECT_FALSE(LookUpCamera(engine, Addr("192.168.1.30"), Ms(200), clock.Get()));
  EXPECT_EQ(rig.net->sent.size(), 2u);

  ReplySpec cam = NumberedCamera(2);
  cam.ip = "192.168.1.30";  // in no subnet of the adapter it came in on
  rig.net->DeliverOn(1, MakeReply(NumberedCamera(3)), 3);
  rig.net->DeliverOn(1, MakeReply(cam), 3);
  const std::optional<CameraEntry> found =
      LookUpCamera(engine, Addr("192.168.1.30"), Ms(200), clock.Get());
  ASSERT_TRUE(found);
  EXPECT_EQ(found->ifIndex, 3u);
  EXPECT_EQ(found->adapter, "wlan0");
}

TEST_F(ArrivalAdapter, UntilQuietEndsAfterTheQuietSpanOrTheLimit) {
  SteppedClock clock;
  Poll(engine);  // sockets exist
  for (int n = 0; n < 250; ++n) rig.net->DeliverOn(0, MakeReply(NumberedCamera(n)), 2);
  const auto start = clock.now;
  const std::vector<CameraEntry> rows = DiscoverUntilQuiet(engine, Ms(200), Ms(5000), clock.Get());
  EXPECT_EQ(rows.size(), 250u);
  EXPECT_LT(clock.now - start, Ms(400)) << "ends soon after the last new camera";

  // With no socket to wait on the run ends at once rather than spin.
  FakeDiscoveryRig empty;
  empty.net->hosts = std::vector<std::uint32_t>{Addr("127.0.0.1")};
  CPLipf idle(empty.Environment());
  EXPECT_TRUE(DiscoverUntilQuiet(idle, Ms(200), Ms(5000), clock.Get()).empty());
}

// --- the pick and the subnet step --------------------------------------------------------------

TEST(CameraPick, ThePickedRowsAdapterGoesIntoTheRecordAHandNamedCameraHasNone) {
  CameraEntry row;
  row.ip = "192.168.1.30";
  row.port = "80";
  row.cam_id = "SN7";
  row.ifIndex = 4;
  SessionRecord s;
  StoreCameraPick(s, row, *CheckCameraTarget(row));
  EXPECT_EQ(s.cameraIfIndex, 4u);
  EXPECT_EQ(PrepareSession(s, "10.0.0.20", "80", "", ""), PickProblem::None);
  EXPECT_EQ(s.cameraIfIndex, 0u);

  // Found again after a save: the step goes to where it answers now.
  s.cameraSerial = "SN7";
  row.ifIndex = 6;
  std::vector<CameraEntry> rows{row};
  ASSERT_TRUE(RefindCamera(s, rows));
  EXPECT_EQ(s.cameraIfIndex, 6u);
}

class SubnetOnCameraAdapter : public ::testing::Test {
 protected:
  SubnetOnCameraAdapter() {
    // The laptop: Ethernet (2) cabled to the camera, Wi-Fi (3) on the office network and chosen.
    net.adapters = {{1, "lo", AdapterType::Other, true},
                    {2, "eth0", AdapterType::Ethernet, true},
                    {3, "wlan0", AdapterType::Wireless, true}};
    AdapterDetails eth;
    eth.addressTexts = {"169.254.7.7"};
    eth.maskTexts = {"255.255.0.0"};
    net.details[2] = eth;
    net.hostAddresses = {Addr("127.0.0.1"), Addr("169.254.7.7"), Addr("10.0.0.5")};
    session.pcAddrText = "10.0.0.5";
    session.pcIfIndex = 3;
    session.cameraAddr = Addr("192.168.1.30");
    session.connectAllowed.store(1);
    options.wait = [](Ms, const ConnectFlag&) { return true; };
  }
  EnsureResult Ensure() { return EnsureCameraSubnetAddress(net, session, list, options); }

  FakeHostNetwork net;
  SessionRecord session;
  TemporaryAddressList list;
  EnsureOptions options;
};

TEST_F(SubnetOnCameraAdapter, TheAddressAndItsProbesGoWhereTheCameraAnswered) {
  session.cameraIfIndex = 2;
  const EnsureResult r = Ensure();
  EXPECT_EQ(r.outcome, EnsureOutcome::Added);
  EXPECT_EQ(r.ifIndex, 2u);
  EXPECT_THAT(net.Log(),
              ElementsAre("table", "list", "add 192.168.1.253 255.255.255.0 if2",
                          "delete 192.168.1.253", "add 192.168.1.252 255.255.255.0 if2"));
  EXPECT_THAT(net.ArpLog(),
              ElementsAre("192.168.1.253<-169.254.7.7", "192.168.1.253<-192.168.1.253",
                          "192.168.1.252<-192.168.1.253"));
  EXPECT_THAT(net.ArpAdapters(), Each(2u));
}

TEST_F(SubnetOnCameraAdapter, TheSearchsFactoryAddressOnTheWrongLinkMakesWayForTheCamerasOwn) {
  // The search's step, before any camera answered: the chosen adapter (Wi-Fi) gets it.
  session.cameraAddr = Addr("192.168.0.98");
  EXPECT_EQ(Ensure().ifIndex, 3u);
  EXPECT_THAT(net.HeldTemporary(), ElementsAre(Addr("192.168.0.252")));
  // The camera at the factory address answered on the Ethernet adapter.
  session.cameraIfIndex = 2;
  const EnsureResult r = Ensure();
  EXPECT_EQ(r.outcome, EnsureOutcome::Added);
  EXPECT_EQ(r.ifIndex, 2u);
  EXPECT_EQ(list.count(), 1u);
  EXPECT_EQ(net.Log().back(), "add 192.168.0.252 255.255.255.0 if2");
  EXPECT_THAT(net.HeldTemporary(), ElementsAre(Addr("192.168.0.252")));
  // Asked again, it is there: nothing more happens.
  EXPECT_EQ(Ensure().outcome, EnsureOutcome::AlreadyReachable);
  // An address of the PC's own configuration is never taken away.
  net.hostAddresses.push_back(Addr("192.168.7.9"));
  session.cameraAddr = Addr("192.168.7.20");
  EXPECT_EQ(Ensure().outcome, EnsureOutcome::AlreadyReachable);
}

TEST_F(SubnetOnCameraAdapter, AnAdapterWithoutAddressProbesUnsourcedFromIt) {
  net.details.erase(2);
  net.details[2] = AdapterDetails{};
  session.cameraIfIndex = 2;
  const EnsureResult r = Ensure();
  EXPECT_EQ(r.outcome, EnsureOutcome::Added);
  ASSERT_FALSE(net.ArpLog().empty());
  EXPECT_EQ(net.ArpLog()[0], "192.168.1.253<-0.0.0.0");
  EXPECT_THAT(net.ArpAdapters(), Each(2u));
}

TEST_F(SubnetOnCameraAdapter, UnknownVanishedDownOrOverriddenFallsBackToTheChosenAdapter) {
  const auto onChosen = [&](std::uint32_t cameraIfIndex, const char* why) {
    SCOPED_TRACE(why);
    FakeHostNetwork fresh;
    fresh.adapters = net.adapters;
    fresh.details = net.details;
    fresh.hostAddresses = net.hostAddresses;
    fresh.overridden = net.overridden;
    TemporaryAddressList l;
    session.cameraIfIndex = cameraIfIndex;
    const EnsureResult r = EnsureCameraSubnetAddress(fresh, session, l, options);
    EXPECT_EQ(r.outcome, EnsureOutcome::Added);
    EXPECT_EQ(r.ifIndex, 3u);
    ASSERT_FALSE(fresh.ArpLog().empty());
    EXPECT_EQ(fresh.ArpLog()[0], "192.168.1.253<-10.0.0.5");
    EXPECT_THAT(fresh.ArpAdapters(), Each(0u)) << "the source address picks the way, as before";
  };
  onChosen(0, "no camera adapter known");
  onChosen(9, "the adapter vanished");
  net.adapters[1].up = false;
  onChosen(2, "the adapter is down");
  net.adapters[1].up = true;
  net.overridden = true;
  onChosen(2, "the user named an adapter");
}

}  // namespace
}  // namespace orv::test
