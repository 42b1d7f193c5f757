// The search page as replies arrive: read at once, at most every 100 ms under a flood, the list
// growing in place with its selection and scroll position, the adapter in each row's tooltip,
// columns wide enough for their texts, and the camera's adapter in what a pick stores.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "core/discovery/discovery_messages.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/util/ipv4.h"
#include "gui/pages/sub_search_net.h"
#include "gui/support/page_test.h"
#include "support/fake_discovery.h"

namespace orv::test {

using namespace gui;

namespace {

class LiveSearch : public PageTest<CSubSearchNet> {
 protected:
  LiveSearch() {
    rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5")};
    rig.net->adapterNames = {{2, "eth0"}, {3, "wlan0"}};
    page.SetDiscoveryEnvironment(rig.Environment());
    // The update gap on a clock of the test's, so a loaded machine cannot stretch it.
    page.SetMonotonicClock([this] { return nowMs; });
    session.pathSetup = 1;
    page.Prepare();
    page.resize(640, 420);
    page.show();
  }
  void Arrive(int n, std::uint32_t ifIndex = 2) {
    rig.net->DeliverOn(0, MakeReply(NumberedCamera(n)), ifIndex);
  }
  QTreeWidget* list() { return page.cameraList(); }
  qint64 nowMs = 1000;

  FakeDiscoveryRig rig;
};

TEST_F(LiveSearch, StartSendsAtOnceAndRepliesAreListedWithoutWaitingForATick) {
  session.cameraIfIndex = 7;
  page.SetTickInterval(60000);  // no tick may do the reading here
  page.searchButton()->click();
  EXPECT_EQ(session.cameraIfIndex, 0u) << "the search's own subnet step uses the chosen adapter";
  // The request went out with the start: one, from the PC's one address, the 8 request bytes.
  ASSERT_EQ(rig.net->sent.size(), 1u);
  EXPECT_EQ(rig.net->sent[0].from, Ip("10.0.0.5"));
  const auto request = EncodeDiscoveryRequest();
  EXPECT_TRUE(std::equal(rig.net->sent[0].bytes.begin(), rig.net->sent[0].bytes.end(),
                         request.begin(), request.end()));
  for (int n = 0; n < 250; ++n) Arrive(n);
  // Right after the start's own read, the next waits for the update gap, on the page's timer.
  page.OnRepliesWaiting();
  EXPECT_TRUE(page.updatePending());
  for (int i = 0; i < 200 && list()->topLevelItemCount() < 250; ++i) QTest::qWait(10);
  EXPECT_EQ(list()->topLevelItemCount(), 250);
  EXPECT_EQ(page.tickCount(), 0);
}

TEST_F(LiveSearch, AFloodIsReadAtMostEveryHundredMillisecondsAndStaysCapped) {
  page.searchButton()->click();
  // The start's own poll was just now: a reply arriving at once waits for the gap.
  for (int n = 0; n < 10000; ++n) Arrive(n);
  page.OnRepliesWaiting();
  EXPECT_TRUE(page.updatePending());
  EXPECT_EQ(list()->topLevelItemCount(), 0);
  page.OnRepliesWaiting();  // still pending: nothing more happens
  page.FlushReplies();
  EXPECT_FALSE(page.updatePending());
  // One update reads a bounded share; the rest waits for the next ones.
  EXPECT_EQ(list()->topLevelItemCount(), CSubSearchNet::kReadsPerUpdate);
  for (int i = 0; i < 40; ++i) page.FlushReplies();
  EXPECT_EQ(list()->topLevelItemCount(), static_cast<int>(CPLipf::kMaxCameras));
  // A tick during a pending read leaves the reading to it.
  Arrive(20000);
  page.OnRepliesWaiting();
  ASSERT_TRUE(page.updatePending());
  page.OnTimer();
  EXPECT_TRUE(page.updatePending());
  // Leaving the page ends the search and the pending read.
  page.Leave();
  EXPECT_FALSE(page.searching());
  EXPECT_FALSE(page.updatePending());
}

TEST_F(LiveSearch, TheListGrowsInPlaceKeepingSelectionAndScrollPosition) {
  page.searchButton()->click();
  for (int n = 0; n < 60; ++n) Arrive(n);
  page.FlushReplies();
  ASSERT_EQ(list()->topLevelItemCount(), 60);
  QTreeWidgetItem* picked = list()->topLevelItem(30);
  list()->scrollToItem(picked);
  picked->setSelected(true);
  const int scroll = list()->verticalScrollBar()->value();
  ASSERT_GT(scroll, 0);

  for (int n = 60; n < 120; ++n) Arrive(n);
  page.FlushReplies();
  ASSERT_EQ(list()->topLevelItemCount(), 120);
  EXPECT_EQ(list()->topLevelItem(30), picked) << "rows are updated, not rebuilt";
  ASSERT_EQ(list()->selectedItems().size(), 1);
  EXPECT_EQ(list()->selectedItems().front()->text(0), "10.0.0.31");
  EXPECT_EQ(list()->verticalScrollBar()->value(), scroll);

  // The cameras above it fall silent: the selection follows its camera to its new row.
  *rig.now += 30000;
  for (int n = 30; n < 120; ++n) Arrive(n);
  page.FlushReplies();
  *rig.now += 30001;
  Arrive(30);
  page.FlushReplies();
  ASSERT_EQ(list()->topLevelItemCount(), 90);
  ASSERT_EQ(list()->selectedItems().size(), 1);
  EXPECT_EQ(list()->selectedItems().front()->text(0), "10.0.0.31");
  page.nextButton()->click();
  EXPECT_EQ(session.cameraAddrText, "10.0.0.31");
  EXPECT_EQ(session.cameraIfIndex, 2u) << "the pick keeps the adapter the camera answered on";
}

TEST_F(LiveSearch, TheAdapterShowsInTheTooltipAndTheSubnetStepOfAnOpenUsesIt) {
  page.searchButton()->click();
  ReplySpec stray = NumberedCamera(4);
  stray.ip = "192.168.77.9";  // in no subnet of the adapter it came in on
  rig.net->DeliverOn(0, MakeReply(stray), 3);
  page.FlushReplies();
  ASSERT_EQ(list()->topLevelItemCount(), 1);
  for (int c = 0; c < 5; ++c) EXPECT_EQ(list()->topLevelItem(0)->toolTip(c), "wlan0");
  EXPECT_EQ(list()->headerItem()->text(0), "IP") << "no new column by default";

  list()->topLevelItem(0)->setSelected(true);
  QTest::keyClick(list(), Qt::Key_Return);
  ASSERT_EQ(sink.subnetAddresses.size(), 2u);
  EXPECT_EQ(sink.subnetAddresses.back(), Ip("192.168.77.9"));
  EXPECT_EQ(session.cameraIfIndex, 3u);
}

TEST_F(LiveSearch, ColumnsFitTheirTextsAndFillTheListWidth) {
  page.searchButton()->click();
  ReplySpec wide = NumberedCamera(200);
  wide.mac = {0xDD, 0xDD, 0xDD, 0xDD, 0xDD, 0xDD};
  wide.ip = "222.222.222.222";
  wide.httpPort = 65535;
  rig.net->DeliverOn(0, MakeReply(wide), 2);
  page.FlushReplies();
  const QFontMetrics metrics(list()->font());
  const int widths[] = {120, 120, 60, 150, 60};
  int total = 0;
  for (int c = 0; c < 5; ++c) {
    const int w = list()->columnWidth(c);
    EXPECT_GE(w, widths[c]) << c;
    EXPECT_GT(w, metrics.horizontalAdvance(list()->topLevelItem(0)->text(c))) << c;
    total += w;
  }
  EXPECT_GE(total, list()->viewport()->width()) << "no blank strip on the right";
  page.resize(900, 420);
  QApplication::processEvents();
  total = 0;
  for (int c = 0; c < 5; ++c) total += list()->columnWidth(c);
  EXPECT_GE(total, list()->viewport()->width());

  // Pictures to look at, in both packs, when asked for.
  if (const char* dir = std::getenv("ORVANTIS_SHOT_DIR")) {
    for (const char* name : {"ENG", "CHT"}) {
      i18n::LanguagePack p{std::filesystem::path(ORVANTIS_SOURCE_DIR) / "Language" /
                           (std::string(name) + ".ini")};
      page.LoadTexts(p);
      page.resize(640, 420);
      QApplication::processEvents();
      page.grab().save(QString::fromUtf8(dir) + "/search_live_" + name + ".png");
    }
  }
}

}  // namespace
}  // namespace orv::test
