// The page area's rules, the step engine and the keyboard: which page a step shows, what it
// resets, what it ignores, and that Enter and Escape never reach the main window's pages.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "core/app/navigation.h"
#include "core/camera_http/camera_field_table.h"
#include "gui/pages/sub_link_ser.h"
#include "gui/pages/sub_login.h"
#include "gui/pages/sub_wizard_ip.h"
#include "gui/support/window_fixture.h"
#include "gui/widgets/xbutton_xp.h"
#include "gui/window/sub_form_collection.h"

namespace orv::test {

using namespace gui;

namespace {

class PlainPage final : public CSubPage {
 public:
  void LoadTexts(const i18n::LanguagePack&) override {}
};

class KeySpy final : public QObject {
 public:
  int presses = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) ++presses;
    return false;
  }
};

CXButtonXP* Button(CWizardDlg& w, int page, const char* name) {
  return w.page(page)->findChild<CXButtonXP*>(QLatin1String(name));
}

}  // namespace

class WindowEngineTest : public QObject {
  Q_OBJECT
 private slots:
  void collectionShowsExactlyOnePage() {
    CSubFormCollection area;
    QVERIFY(!area.AddPage(nullptr));
    QVERIFY(!area.ShowPage(-1));  // nothing to show yet
    PlainPage* pages[3];
    for (auto*& p : pages) {
      p = new PlainPage;
      QVERIFY(area.AddPage(p));
      QVERIFY(p->isHidden());
    }
    QVERIFY(!area.SetCurrent(-1));
    QVERIFY(!area.SetCurrent(3));
    QVERIFY(area.SetCurrent(1));
    QVERIFY(pages[1]->isHidden());  // current, but not shown
    QVERIFY(area.SetCurrent(0));
    QVERIFY(!area.ShowPage(3));
    QVERIFY(!area.ShowPage(-2));
    QCOMPARE(area.current(), 0);

    CSubFormCollection fresh;
    auto* only = new PlainPage;
    fresh.AddPage(only);
    QVERIFY(fresh.ShowPage(-1));  // no current page: page 0
    QCOMPARE(fresh.current(), 0);
    QVERIFY(!only->isHidden());

    QVERIFY(area.ShowPage(2));
    QVERIFY(!pages[2]->isHidden());
    QVERIFY(area.ShowPage(1));
    QVERIFY(pages[2]->isHidden());
    QVERIFY(!pages[1]->isHidden());
    QVERIFY(area.ShowPage(-1));  // the current page again
    QCOMPARE(area.current(), 1);
    QCOMPARE(pages[1]->pos(), QPoint(0, 0));

    delete pages[1];  // the current page's window is gone
    QVERIFY(!area.ShowPage(0));
    QVERIFY(!area.ShowPage(-1));
  }

  void stepTwoForgetsTheCameraAndResetsTheLinkChoices() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    SessionRecord& s = w.session();
    w.OnStep(nav::kStepSystem);
    s.wizardMode = 0;
    s.linkPppoe = s.useWps = s.linkWireless = 1;
    s.newCamera = 1;
    s.pathSetup = 1;
    s.net.PAccount = "typed for the last camera";
    w.OnStep(nav::kStepHome);
    QCOMPARE(w.pageArea()->current(), 0);
    QVERIFY(s.net.PAccount.empty());
    QCOMPARE(s.wizardMode, std::uint8_t{1});
    QCOMPARE(s.linkPppoe + s.useWps + s.linkWireless, 0);
    QCOMPARE(s.newCamera, std::uint8_t{1});
    QCOMPARE(s.pathSetup, std::uint8_t{1});
  }

  void unlistedCodesDoNothing() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    w.OnStep(nav::kStepUpnp);
    const SessionRecord before = w.session();
    const int calls = f.fakes.calls.calls;  // the start-up probe's
    for (int code : {0, 1, 12, 16, 21, 23, 25, 33, -5, 0x40A}) {
      w.OnStep(code);
      QCOMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageUpnp));
    }
    QVERIFY(f.fakes.prompter.shown.empty());
    QCOMPARE(f.fakes.calls.calls, calls);
    QCOMPARE(f.fakes.dialogs.aboutDialogs, 0);
    // Nothing in the record moved: every camera setting and every choice.
    SessionRecord after = w.session();
    SessionRecord was = before;
    for (const CameraField& field : CameraFields())
      QCOMPARE(WriteValueText(after, field), WriteValueText(was, field));
    const auto choices = [](const SessionRecord& s) {
      return std::vector<int>{s.wizardMode,  s.useWps,      s.newCamera, s.linkWireless,
                              s.linkPppoe,   s.pathSearch,  s.pathSetup, s.pathFirmware,
                              s.apScanOk,    s.wpsStatus,   s.wpsAck,    s.cameraWireless,
                              s.extendedCgi, s.legacyCamera};
    };
    QCOMPARE(choices(after), choices(before));
    QCOMPARE(std::string(after.cameraAddrText.c_str()), std::string(before.cameraAddrText.c_str()));
  }

  void everyPageCodeShowsItsPage() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    // No rescan question on the access-point pages: a scan that found three.
    w.jobs().SetAccessPoints(std::vector<AccessPointEntry>(3));
    // Step code -> page index, written out here rather than taken from the table under test.
    const std::pair<int, int> shows[] = {{2, 0},   {3, 3},   {4, 2},   {5, 4},   {6, 5},
                                         {7, 7},   {8, 6},   {9, 8},   {10, 1},  {11, 17},
                                         {13, 19}, {14, 9},  {15, 12}, {20, 10}, {26, 11},
                                         {27, 13}, {28, 14}, {29, 15}, {30, 16}, {31, 18}};
    for (const auto& [code, page] : shows) {
      // Set each time: the home step forgets the camera's scan and WPS state.
      w.session().apCount = 3;
      w.session().wpsAck = 1;  // and no WPS session: an earlier one succeeded
      w.OnStep(code);
      QCOMPARE(w.pageArea()->current(), page);
      for (int i = 0; i < w.pageArea()->count(); ++i) QCOMPARE(w.page(i)->isHidden(), i != page);
    }
    QVERIFY2(f.fakes.prompter.shown.empty(), qPrintable(f.fakes.prompter.LastText()));
  }

  void stepsHandTheirListsToThePages() {
    WindowOnFakes f;
    f.work.readJob = [](WorkerJob& job) {
      job.suggestedAddresses = {0x0A0000FEu, 0x0B0000FEu};
      job.ok = 1;
      job.done = 1;
    };
    f.Start();
    CWizardDlg& w = *f.window;

    // The login page's answer reaches the list page (step 13).
    auto* login = static_cast<CSubLogin*>(w.page(nav::kPageLinkServerLogin));
    std::vector<LinkServerCameraEntry> answer(2);
    answer[1].ID = "second";
    login->SetLinkServerHost("link.lab");
    login->SetQuery([answer](const std::string&, const std::string&, const std::string&,
                             const std::string&, int) { return answer; });
    w.OnStep(nav::kStepLinkServerLogin);
    login->idEdit()->setText(QStringLiteral("user"));
    login->passwordEdit()->setText(QStringLiteral("secret"));
    login->nextButton()->click();
    QTRY_COMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageLinkServerList));
    const auto& listed = static_cast<CSubLinkSer*>(w.page(nav::kPageLinkServerList))->cameras();
    QCOMPARE(listed.size(), std::size_t{2});
    QCOMPARE(std::string(listed[1].ID.c_str()), std::string("second"));

    // The read job's free addresses reach the wizard address page (step 30).
    w.session().newCamera = 1;
    w.OnStep(nav::kStepRead);
    QTRY_VERIFY(w.jobs().JobEnded());
    for (int i = 0; i < 100 && w.busy(); ++i) w.OnTimer(WindowTimer::WorkerPoll);
    WindowOnFakes::Settle();
    w.OnStep(nav::kStepWizardAddress);
    QCOMPARE(static_cast<CSubWizardIP*>(w.page(nav::kPageWizardAddress))->suggestedAddresses(),
             (std::vector<std::uint32_t>{0x0A0000FEu, 0x0B0000FEu}));
  }

  void pageButtonsPostTheGraphsSteps() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    SessionRecord& s = w.session();
    auto click = [&](int page, const char* button) {
      Button(w, page, button)->click();
      WindowOnFakes::Settle();
      return w.pageArea()->current();
    };
    w.OnStep(nav::kStepSystem);
    QCOMPARE(click(nav::kPageSystem, "next"), static_cast<int>(nav::kPageIspLink));
    QCOMPARE(click(nav::kPageIspLink, "back"), static_cast<int>(nav::kPageSystem));
    s.newCamera = 1;
    QCOMPARE(click(nav::kPageSystem, "back"), static_cast<int>(nav::kPageSetupType));

    // The wired address page asks before a wireless-capable camera's wireless link.
    s.extendedCgi = 1;
    s.sys.wirelessCapable = 1;
    w.OnStep(nav::kStepWiredAddress);
    f.fakes.prompter.Answer(MessageAnswer::Yes);
    QCOMPARE(click(nav::kPageWiredAddress, "next"), static_cast<int>(nav::kPageAccessPoint));
    QCOMPARE(f.fakes.prompter.shown.back().request.caption, QStringLiteral("Orvantis"));
    QCOMPARE(f.fakes.prompter.shown.back().request.icon, MessageIcon::Question);
    QCOMPARE(s.linkWireless, std::uint8_t{1});

    // Manual mode, PPPoE camera: UPnP's Back goes to the ISP link page.
    s.wizardMode = 0;
    s.cameraWireless = 0;
    s.net.IPType = 2;
    w.OnStep(nav::kStepUpnp);
    QCOMPARE(click(nav::kPageUpnp, "back"), static_cast<int>(nav::kPageIspLink));
    w.OnStep(nav::kStepSummary);
    QCOMPARE(click(nav::kPageSummary, "back"), static_cast<int>(nav::kPageUpnp));
    w.OnStep(nav::kStepFinish);
    QCOMPARE(click(nav::kPageFinish, "next"), 0);
  }

  void anEmptyScanAsksToScanAgain() {
    WindowOnFakes f;
    f.work.scan = [](SessionRecord& s) -> std::optional<std::vector<AccessPointEntry>> {
      s.apScanOk = 0;
      return std::nullopt;
    };
    f.Start();
    CWizardDlg& w = *f.window;
    w.session().apCount = 0;
    const int calls = f.fakes.calls.calls;
    f.fakes.prompter.Answer(MessageAnswer::Yes);
    w.OnStep(nav::kStepApList);
    QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{1});
    QCOMPARE(f.fakes.prompter.shown[0].request.buttons, MessageButtons::YesNo);
    WindowOnFakes::Settle();
    QCOMPARE(f.fakes.calls.calls, calls + 1);  // the rescan ran
  }

  void enterAndEscapeNeverReachTheWindowsPages() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    w.show();
    QWidget* button = Button(w, nav::kPageSystem, "next");
    w.OnStep(nav::kStepSystem);
    KeySpy spy;
    button->installEventFilter(&spy);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
      QTest::keyClick(button, key);
    QCOMPARE(spy.presses, 0);
    QVERIFY(w.isVisible());
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(spy.presses, 1);

    // Another window (a dialog over the main window) still gets them: Enter is its OK.
    QDialog dialog(&w);
    KeySpy dialogSpy;
    dialog.installEventFilter(&dialogSpy);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialogSpy.presses, 1);
  }

  // Work that disables the page area takes the focus from the control that had it; the keyboard
  // user finds it there again afterwards.
  void theFocusComesBackAfterBusyWork() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.OnStep(nav::kStepSystem);
    QWidget* next = Button(w, nav::kPageSystem, "next");
    next->setFocus();
    QCOMPARE(QApplication::focusWidget(), next);
    f.fakes.calls.deferred = true;
    w.SendSubnetStep({});
    QVERIFY(w.busy());
    QVERIFY(QApplication::focusWidget() != next);
    f.fakes.calls.RunPending();
    QVERIFY(!w.busy());
    QCOMPARE(QApplication::focusWidget(), next);
  }

  void aboutOpensFromTheStepAndTheHelpMenu() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    w.OnStep(nav::kStepAbout);
    QCOMPARE(f.fakes.dialogs.aboutDialogs, 1);
    const QList<QAction*> menus = w.menuBar()->actions();
    QVERIFY(!menus.isEmpty());
    menus.first()->menu()->actions().first()->trigger();
    WindowOnFakes::Settle();
    QCOMPARE(f.fakes.dialogs.aboutDialogs, 2);
  }

  void pageButtonsAreNamedByTheirCaptions() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    int named = 0;
    for (int i = 0; i < w.pageArea()->count(); ++i) {
      for (CXButtonXP* b : w.page(i)->findChildren<CXButtonXP*>()) {
        QVERIFY(!b->text().isEmpty());
        QCOMPARE(b->accessibleName(), b->text());
        ++named;
      }
    }
    QVERIFY(named >= 25);
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowEngineTest)
#include "window_engine_test.moc"
