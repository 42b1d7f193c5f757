// The search page offscreen, over the in-memory discovery network and the scripted UI services:
// start and stop, the tick and its limit, the list, Next's checks and what it stores, Back, and
// opening a camera's web page.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/platform/codepage.h"
#include "core/util/ipv4.h"
#include "gui/pages/sub_search_net.h"
#include "gui/support/page_test.h"
#include "support/fake_discovery.h"

namespace orv::test {

using namespace gui;

namespace {

class SearchPage : public PageTest<CSubSearchNet> {
 protected:
  SearchPage() {
    rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5")};
    page.SetDiscoveryEnvironment(rig.Environment());
    session.pathSetup = 1;
    page.Prepare();
  }

  // Starts a search and makes the first poll, so the engine's sockets exist.
  void StartAndPoll() {
    page.searchButton()->click();
    page.OnTimer();
  }
  void Reply(const ReplySpec& reply) { rig.net->DeliverAll(MakeReply(reply)); }
  void Select(int row) { page.cameraList()->topLevelItem(row)->setSelected(true); }
  QString Cell(int row, int column) const {
    return page.cameraList()->topLevelItem(row)->text(column);
  }

  FakeDiscoveryRig rig;
};

TEST_F(SearchPage, StartSetsTheFactoryAddressBeforeTheSubnetStepThenBlinks) {
  session.cameraAddr = Ip("10.9.9.9");
  page.searchButton()->click();
  ASSERT_EQ(sink.subnetAddresses.size(), 1u);
  EXPECT_EQ(sink.subnetAddresses[0], MakeIpv4(192, 168, 0, 98));
  EXPECT_TRUE(page.searching());
  EXPECT_EQ(page.searchButton()->text(), "Searching...");
  page.OnTimer();
  EXPECT_EQ(page.searchButton()->text(), "Stop Search");
  page.OnTimer();
  EXPECT_EQ(page.searchButton()->text(), "Searching...");
  EXPECT_EQ(page.searchButton()->accessibleName(), "Searching...");
}

TEST_F(SearchPage, ListsCamerasInSixColumnsAndDrainsEveryWaitingReply) {
  StartAndPoll();
  for (int n = 0; n < 250; ++n) Reply(NumberedCamera(n));
  page.OnTimer();
  ASSERT_EQ(page.cameraList()->topLevelItemCount(), 250);
  EXPECT_EQ(Cell(0, 0), "10.0.0.1");
  EXPECT_EQ(Cell(0, 1), "00:50:C2:00:00:00");
  EXPECT_EQ(Cell(0, 2), "80");
  EXPECT_EQ(Cell(0, 3), "Vexor-41HA/ethernet");
  EXPECT_EQ(Cell(0, 4), "5000");
  EXPECT_EQ(Cell(0, 5), "SN0");
  EXPECT_TRUE(page.cameraList()->isColumnHidden(5));
  EXPECT_EQ(page.cameraList()->headerItem()->text(3), "DESC / INTERFACE");
}

TEST_F(SearchPage, StopAndRestartKeepTheListAndResetTheTicks) {
  StartAndPoll();
  Reply(NumberedCamera(1));
  page.OnTimer();
  ASSERT_EQ(page.cameraList()->topLevelItemCount(), 1);
  page.searchButton()->click();
  EXPECT_FALSE(page.searching());
  EXPECT_EQ(page.searchButton()->text(), "Start Search");
  page.searchButton()->click();
  EXPECT_TRUE(page.searching());
  EXPECT_EQ(page.tickCount(), 0);
  EXPECT_EQ(page.cameraList()->topLevelItemCount(), 1);
}

TEST_F(SearchPage, TheHundredAndEightiethTickStopsWithoutPolling) {
  StartAndPoll();
  while (page.tickCount() < CSubSearchNet::kTickLimit - 1) page.OnTimer();
  EXPECT_TRUE(page.searching());
  Reply(NumberedCamera(7));
  page.OnTimer();
  EXPECT_FALSE(page.searching());
  EXPECT_EQ(page.searchButton()->text(), "Start Search");
  EXPECT_EQ(page.cameraList()->topLevelItemCount(), 0) << "no final poll";
}

TEST_F(SearchPage, NextWithAnEmptyListOrNoSelectionStays) {
  page.nextButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_EQ(fakes.prompter.shown[0].request.icon, MessageIcon::Stop);
  EXPECT_EQ(fakes.prompter.shown[0].request.caption, "Orvantis");
  EXPECT_TRUE(fakes.prompter.LastText().startsWith("No camera has been found"));

  StartAndPoll();
  Reply(NumberedCamera(1));
  page.OnTimer();
  Select(0);
  *rig.now += CPLipf::kExpiryMs + 1;
  Reply(NumberedCamera(2));
  page.OnTimer();  // the selected camera expired: nothing stays selected
  EXPECT_TRUE(page.cameraList()->selectedItems().isEmpty());
  page.nextButton()->click();
  EXPECT_FALSE(page.searching()) << "Next stops the search";
  ASSERT_EQ(fakes.prompter.shown.size(), 2u);
  EXPECT_EQ(fakes.prompter.shown[1].request.icon, MessageIcon::Information);
  EXPECT_EQ(fakes.prompter.LastText(), "Please select a camera in the list, then press Next.");
  EXPECT_TRUE(sink.posted.empty());
}

// The arrow keys select the row they land on, as in any list; the selection stays with its camera
// through the list's live updates, and Next takes it.
TEST_F(SearchPage, TheArrowKeysSelectAndTheSelectionOutlivesUpdates) {
  page.show();
  StartAndPoll();
  Reply(NumberedCamera(1));
  Reply(NumberedCamera(2));
  page.OnTimer();
  QTreeWidget* list = page.cameraList();
  ASSERT_EQ(list->topLevelItemCount(), 2);
  QTest::keyClick(list, Qt::Key_Down);
  QApplication::processEvents();
  ASSERT_EQ(list->selectedItems().size(), 1);
  const QString first = list->selectedItems().front()->text(1);
  QTest::keyClick(list, Qt::Key_Down);
  QApplication::processEvents();
  ASSERT_EQ(list->selectedItems().size(), 1);
  const QString picked = list->selectedItems().front()->text(1);
  EXPECT_NE(picked, first);
  Reply(NumberedCamera(3));
  page.OnTimer();
  ASSERT_EQ(list->selectedItems().size(), 1);
  EXPECT_EQ(list->selectedItems().front()->text(1), picked);
  page.nextButton()->click();
  EXPECT_TRUE(fakes.prompter.shown.empty()) << fakes.prompter.LastText().toStdString();
}

// Export: the listed cameras, byte for byte, as CSV or JSON by the save dialog's choice; nothing
// to export and a file that cannot be written are said, and a closed dialog writes nothing.
TEST_F(SearchPage, ExportWritesTheListedCamerasAsTheDialogChose) {
  page.exportButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 1u);
  EXPECT_TRUE(fakes.prompter.LastText().startsWith("No camera has been found"));
  EXPECT_EQ(fakes.dialogs.exportDialogs, 0);

  StartAndPoll();
  Reply(NumberedCamera(1));
  Reply(NumberedCamera(300));
  page.OnTimer();
  QTemporaryDir dir;
  const auto read = [](const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("(none)");
  };
  fakes.dialogs.exportAnswer = ExportTarget{dir.filePath("cameras.csv"), false};
  page.exportButton()->click();
  EXPECT_EQ(read(dir.filePath("cameras.csv")),
            "ip,mac,port,desc,sport,cam_id,adapter\r\n"
            "10.0.0.2,00:50:C2:00:00:01,80,Vexor-41HA/ethernet,5000,SN1,\r\n"
            "10.0.1.51,00:50:C2:00:01:2C,80,Vexor-41HA/ethernet,5000,SN300,\r\n");
  fakes.dialogs.exportAnswer = ExportTarget{dir.filePath("cameras.json"), true};
  page.exportButton()->click();
  EXPECT_EQ(read(dir.filePath("cameras.json")),
            R"({
  "cameras": [
    {
      "mac": "00:50:C2:00:00:01",
      "ip": "10.0.0.2",
      "port": "80",
      "desc": "Vexor-41HA/ethernet",
      "cam_id": "SN1",
      "sport": "5000",
      "adapter": ""
    },
    {
      "mac": "00:50:C2:00:01:2C",
      "ip": "10.0.1.51",
      "port": "80",
      "desc": "Vexor-41HA/ethernet",
      "cam_id": "SN300",
      "sport": "5000",
      "adapter": ""
    }
  ]
}
)");
  EXPECT_EQ(fakes.prompter.shown.size(), 1u);

  fakes.dialogs.exportAnswer = ExportTarget{dir.filePath("no/such/folder/cameras.csv"), false};
  page.exportButton()->click();
  ASSERT_EQ(fakes.prompter.shown.size(), 2u);
  EXPECT_EQ(fakes.prompter.shown[1].request.icon, MessageIcon::Warning);
  EXPECT_TRUE(fakes.prompter.LastText().startsWith("The camera list could not be saved"));
  fakes.dialogs.exportAnswer.reset();
  page.exportButton()->click();
  EXPECT_EQ(fakes.dialogs.exportDialogs, 4);
  EXPECT_EQ(fakes.prompter.shown.size(), 2u);
}

TEST_F(SearchPage, NextStoresTheRowsOwnBytesAndPostsByPath) {
  SetSystemCodePage(kCodePageUtf8);
  StartAndPoll();
  ReplySpec camera = NumberedCamera(3);
  camera.httpPort = 8080;
  camera.description = "Vexor-41HA";
  camera.interfaceWord = "wireless";
  camera.cameraId = "SN\xff\xfe";  // not text in the system code page: shown changed, stored not
  Reply(camera);
  page.OnTimer();
  Select(0);
  page.nextButton()->click();
  EXPECT_EQ(session.cameraAddrText, "10.0.0.4");
  EXPECT_EQ(session.cameraAddr, Ip("10.0.0.4"));
  EXPECT_EQ(session.cameraPortText, "8080");
  EXPECT_EQ(session.cameraSerial, "SN\xff\xfe");
  EXPECT_EQ(session.cameraWireless, 1);
  EXPECT_EQ(session.legacyCamera, 0);
  EXPECT_EQ(sink.posted, std::vector<int>{18});

  session.pathSetup = 0;
  session.pathFirmware = 1;
  Select(0);
  page.nextButton()->click();
  session.pathFirmware = 0;
  Select(0);
  page.nextButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{18, 13}));
  SetSystemCodePage(InitSystemCodePage());
}

TEST_F(SearchPage, ARowWithAnUnusablePortCannotBePickedOrOpened) {
  StartAndPoll();
  ReplySpec zero = NumberedCamera(1);
  zero.httpPort = 0;
  ReplySpec huge = NumberedCamera(2);
  huge.httpPort = 70000;
  Reply(zero);
  Reply(huge);
  page.OnTimer();
  ASSERT_EQ(page.cameraList()->topLevelItemCount(), 2);
  for (int row : {0, 1}) {
    Select(row);
    page.nextButton()->click();
    EXPECT_EQ(fakes.prompter.shown.back().request.icon, MessageIcon::Stop);
    EXPECT_TRUE(fakes.prompter.LastText().startsWith("This camera reports an address or port"));
    Select(row);
    QTest::keyClick(page.cameraList(), Qt::Key_Return);
  }
  EXPECT_EQ(fakes.prompter.shown.size(), 4u);
  EXPECT_TRUE(session.cameraAddrText.empty());
  EXPECT_TRUE(sink.posted.empty());
  EXPECT_TRUE(sink.subnetAddresses.size() == 1u) << "only the search's own subnet step";
  EXPECT_TRUE(fakes.browser.opened.empty());
}

TEST_F(SearchPage, OpeningACameraUsesTheRowPickedBeforeTheSubnetStep) {
  StartAndPoll();
  ReplySpec first = NumberedCamera(1);
  first.httpPort = 8081;
  Reply(first);
  page.OnTimer();
  // While the subnet step runs, a tick lists another camera first and drops the selection.
  sink.duringSubnet = [this] {
    rig.net->DeliverAll(MakeReply(NumberedCamera(9)));
    *rig.now += CPLipf::kExpiryMs + 1;  // the first camera expires: the rows change
    page.OnTimer();
  };
  page.resize(640, 480);
  page.show();
  Select(0);
  const QRect cell = page.cameraList()->visualItemRect(page.cameraList()->topLevelItem(0));
  QTest::mouseClick(page.cameraList()->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(page.cameraList()->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(sink.subnetAddresses.size(), 2u);
  ASSERT_EQ(fakes.browser.opened.size(), 1u);
  EXPECT_EQ(fakes.browser.opened[0].toString(), "http://10.0.0.2:8081");
  EXPECT_EQ(sink.subnetAddresses.back(), Ip("10.0.0.2"));
  ASSERT_EQ(page.cameraList()->topLevelItemCount(), 1);
  EXPECT_EQ(Cell(0, 0), "10.0.0.10") << "the list did change under the open";
  EXPECT_TRUE(page.searching()) << "the search keeps running";
}

TEST_F(SearchPage, PathsDecideNextVisibilityAndBack) {
  session.pathSetup = 0;
  session.pathSearch = 1;
  page.Prepare();
  EXPECT_TRUE(page.nextButton()->isHidden());
  page.searchButton()->click();
  page.backButton()->click();
  EXPECT_FALSE(page.searching());
  session.pathSearch = 0;
  session.pathSetup = 1;
  session.newCamera = 1;
  page.Prepare();
  EXPECT_FALSE(page.nextButton()->isHidden());
  page.backButton()->click();
  session.newCamera = 0;
  page.backButton()->click();
  session.pathSetup = 0;
  page.backButton()->click();
  EXPECT_EQ(sink.posted, (std::vector<int>{2, 5, 28}));
}

TEST_F(SearchPage, ControlsCarryAccessibleNames) {
  EXPECT_EQ(page.cameraList()->accessibleName(), "Camera List");
  EXPECT_EQ(page.backButton()->accessibleName(), "Back");
  EXPECT_EQ(page.nextButton()->accessibleName(), "Next");
  EXPECT_EQ(page.searchButton()->accessibleName(), "Start Search");
}

}  // namespace
}  // namespace orv::test
