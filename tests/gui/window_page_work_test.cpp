// A page's life in the real window: the leave hook, its off-thread work through the window's busy
// state, and what closing the window does to calls still running or answers still to come.

#include <QLabel>
#include <QtTest>
#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>

#include "core/app/navigation.h"
#include "core/hostnet/temporary_address_owner.h"
#include "gui/support/window_fixture.h"
#include "gui/window/real_services.h"
#include "gui/window/sub_form_collection.h"
#include "support/fake_host_network.h"

namespace orv::test {

using namespace gui;

namespace {

// A page that counts its leaves and lets the test start work.
class ProbePage final : public CSubPage {
 public:
  void LoadTexts(const i18n::LanguagePack&) override {}
  bool Start(std::function<void()> onDone, std::function<void()> offThread = {}) {
    return RunPageWork([onDone, offThread]() -> std::function<void()> {
      if (offThread) offThread();
      return onDone;
    });
  }
  int leaves = 0;
  UiServices services;

 protected:
  void Leave() override { ++leaves; }
};

// Adds a probe page to a started window as page 20 and shows it.
ProbePage* AddProbe(CWizardDlg& w, UiServices services) {
  auto* page = new ProbePage;
  w.pageArea()->AddPage(page);
  page->services = services;
  page->Wire(&w, &w.session(), &page->services);
  w.pageArea()->ShowPage(w.pageArea()->count() - 1);
  return page;
}

}  // namespace

class WindowPageWorkTest : public QObject {
  Q_OBJECT
 private slots:
  void theStepEngineTellsThePageItLeaves() {
    WindowOnFakes f;
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    ProbePage* page = AddProbe(w, f.fakes.services());
    QCOMPARE(page->leaves, 0);
    w.pageArea()->ShowPage(-1);  // the same page again: not a leave
    QCOMPARE(page->leaves, 0);
    w.OnStep(nav::kStepHome);
    QCOMPARE(page->leaves, 1);
    QCOMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageHome));

    w.pageArea()->ShowPage(w.pageArea()->count() - 1);
    w.Shutdown();
    QCOMPARE(page->leaves, 2);  // shut-down leaves the shown page too
    w.Shutdown();
    QCOMPARE(page->leaves, 2);
  }

  void theCollectionTellsOnlyThePageItHides() {
    CSubFormCollection area;
    auto* a = new ProbePage;
    auto* b = new ProbePage;
    auto* gone = new ProbePage;
    area.AddPage(a);
    area.AddPage(b);
    area.AddPage(gone);
    area.show();
    QVERIFY(area.ShowPage(0));
    QVERIFY(area.ShowPage(1));
    QCOMPARE(a->leaves, 1);
    QCOMPARE(b->leaves, 0);
    delete gone;
    QVERIFY(!area.ShowPage(2));  // refused before anything is hidden
    QCOMPARE(b->leaves, 0);
    QVERIFY(b->isVisible());
    QCOMPARE(area.current(), 1);
  }

  void pageWorkKeepsTheWindowBusyAndEndsIt() {
    WindowOnFakes f;
    f.fakes.calls.deferred = true;
    QVERIFY(f.Start());
    f.fakes.calls.RunPending();  // the start-up probe
    CWizardDlg& w = *f.window;
    ProbePage* page = AddProbe(w, f.fakes.services());
    int done = 0;
    QVERIFY(page->Start([&] { ++done; }));
    QVERIFY(w.busy());
    QVERIFY(!w.pageArea()->isEnabled());
    QVERIFY2(!page->Start([&] { done += 10; }), "one call at a time");
    w.OnStep(nav::kStepRead);  // no job starts meanwhile
    QVERIFY(!w.jobs().Running());
    QCOMPARE(f.fakes.calls.RunPending(), 1);
    QCOMPARE(done, 1);
    QVERIFY(!w.busy());
    QVERIFY(w.pageArea()->isEnabled());

    // A job's busy state refuses page work too.
    w.OnStep(nav::kStepSave);
    QVERIFY(w.busy());
    QVERIFY(!page->Start([&] { done += 100; }));
    QCOMPARE(done, 1);
  }

  void aResultForAPageThatWasLeftIsDropped() {
    WindowOnFakes f;
    f.fakes.calls.deferred = true;
    QVERIFY(f.Start());
    f.fakes.calls.RunPending();
    CWizardDlg& w = *f.window;
    ProbePage* page = AddProbe(w, f.fakes.services());
    int done = 0;
    QVERIFY(page->Start([&] { ++done; }));
    page->NotifyLeft();  // e.g. a step arrived that the page did not post
    f.fakes.calls.RunPending();
    QCOMPARE(done, 0);
    QVERIFY2(!w.busy(), "the window is free again all the same");

    // Shown again: new work counts again.
    QVERIFY(page->Start([&] { ++done; }));
    f.fakes.calls.RunPending();
    QCOMPARE(done, 1);
  }

  void closingDropsPageResultsAndRefusesNewWork() {
    WindowOnFakes f;
    f.fakes.calls.deferred = true;
    QVERIFY(f.Start());
    f.fakes.calls.RunPending();
    CWizardDlg& w = *f.window;
    ProbePage* page = AddProbe(w, f.fakes.services());
    int done = 0;
    QVERIFY(page->Start([&] { ++done; }));
    w.Shutdown();
    f.fakes.calls.RunPending();
    QCOMPARE(done, 0);
    QVERIFY(!page->Start([&] { ++done; }));
    QCOMPARE(f.fakes.calls.RunPending(), 0);
  }

  void theWindowNeedsEveryService() {
    const char* names[] = {"prompter", "dialogs", "browser", "clock", "calls"};
    for (int missing = 0; missing < 5; ++missing) {
      WindowOnFakes f;
      UiServices services = f.fakes.services();
      switch (missing) {
        case 0:
          services.prompter = nullptr;
          break;
        case 1:
          services.dialogs = nullptr;
          break;
        case 2:
          services.browser = nullptr;
          break;
        case 3:
          services.clock = nullptr;
          break;
        default:
          services.calls = nullptr;
          break;
      }
      WizardEnvironment env;
      env.services = services;
      env.programFolder = f.folder();
      bool refused = false;
      try {
        CWizardDlg w(std::move(env));
      } catch (const std::invalid_argument& e) {
        refused = QString::fromLatin1(e.what()).contains(QLatin1String(names[missing]));
      }
      QVERIFY2(refused, names[missing]);
    }
  }

  // Every completion returns at once when the window is closing, also after a message box it
  // showed: a signal while the box is open must not start a read afterwards.
  void aCloseDuringABoxStopsWhatWouldFollowIt() {
    WindowOnFakes f;
    f.work.ensureSubnet = [](const SessionRecord&) {
      EnsureResult r;
      r.outcome = EnsureOutcome::FirstAddFailed;
      r.message = "error";
      return r;
    };
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    int askedForLogin = 0;
    f.fakes.dialogs.onRootLogin = [&] { ++askedForLogin; };
    f.fakes.prompter.onShow = [&](const MessageRequest&) { w.Shutdown(); };
    w.OnStep(nav::kStepRead);
    QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{1});  // the subnet step's "error"
    QVERIFY(!w.jobs().Running());
    QCOMPARE(askedForLogin, 0);

    // The subnet step's own continuation (a page's Next or double-click) does not run either.
    WindowOnFakes g;
    g.work.ensureSubnet = f.work.ensureSubnet;
    QVERIFY(g.Start());
    CWizardDlg& w2 = *g.window;
    g.fakes.prompter.onShow = [&](const MessageRequest&) { w2.Shutdown(); };
    bool continued = false;
    w2.SendSubnetStep([&] { continued = true; });
    QCOMPARE(g.fakes.prompter.shown.size(), std::size_t{1});
    QVERIFY(!continued);
  }

  void lateAnswersAfterShutdownChangeNothing() {
    WindowOnFakes f;
    f.fakes.calls.deferred = true;
    f.probeAnswer = true;
    f.work.systemRead = [](SessionRecord& s) {
      s.sys.TitleBar = "late";
      return 0;
    };
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    w.OnStep(nav::kStepRead);
    w.Shutdown();
    f.fakes.calls.RunPending();  // the probe and the read answer after the close
    QCOMPARE(w.session().internetReachable, std::uint8_t{0});
    QCOMPARE(w.session().sys.TitleBar.view(), std::string_view(""));
    QVERIFY(!w.jobs().Running());
    QVERIFY(f.fakes.prompter.shown.empty());
  }

  // A finished call writes back only its own fields: what the user chose meanwhile stays.
  void aCallWritesBackOnlyItsOwnFields() {
    WindowOnFakes f;
    f.fakes.calls.deferred = true;
    f.work.systemRead = [](SessionRecord& s) {
      s.sys.TitleBar = "from the camera";
      s.wizardMode = 0;  // a call cannot change the user's choices
      return 0;
    };
    f.work.readJob = [](WorkerJob& job) { job.done = 1; };
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    w.session().wizardMode = 1;
    w.OnStep(nav::kStepRead);
    w.session().linkPppoe = 1;             // written while the read ran
    QVERIFY(f.fakes.calls.StartOldest());  // the probe
    QVERIFY(f.fakes.calls.RunPending() >= 1);
    QCOMPARE(w.session().sys.TitleBar.view(), std::string_view("from the camera"));
    QCOMPARE(w.session().wizardMode, std::uint8_t{1});
    QCOMPARE(w.session().linkPppoe, std::uint8_t{1});
  }

  // At exit the program waits for running calls, but never longer than it was told.
  void theRealRunnerWaitsABoundedTimeForRunningCalls() {
    AsyncCallRunner runner;
    QVERIFY(runner.WaitForRunning(std::chrono::milliseconds(0)));
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    runner.Run(&runner, [gate]() -> CallRunner::Continuation {
      gate.wait();
      return {};
    });
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!runner.WaitForRunning(std::chrono::milliseconds(100)));
    QVERIFY(timer.elapsed() >= 90);
    QVERIFY(timer.elapsed() < 5000);
    release.set_value();
    QVERIFY(runner.WaitForRunning(std::chrono::seconds(10)));
  }

  // Closing while the subnet step runs on its call thread: the flag is cleared first, the list
  // is closed, so the step's add is refused or taken back; no address is left.
  void closingDuringTheSubnetStepLeavesNoAddress() {
    auto net = std::make_shared<FakeHostNetwork>();
    net->hostAddresses = {Ip("10.0.0.5")};
    TemporaryAddressOwner::Options options;
    options.installSignalHook = false;
    auto owner = std::make_shared<TemporaryAddressOwner>(net, options);
    std::promise<void> inSweep;
    std::promise<void> closed;
    std::shared_future<void> closedGate = closed.get_future().share();
    std::atomic<bool> first{true};
    net->onArp = [&, closedGate](std::uint32_t) {
      if (!first.exchange(false)) return;
      inSweep.set_value();
      closedGate.wait();
    };

    WindowOnFakes f;
    f.fakes.calls.deferred = true;
    f.addresses = owner;
    f.work.ensureSubnet = [owner](const SessionRecord& s) {
      EnsureOptions o;
      o.settleDelay = std::chrono::milliseconds(0);
      return owner->Ensure(s, o);
    };
    QVERIFY(f.Start());
    f.fakes.calls.RunPending();
    CWizardDlg& w = *f.window;
    const SessionRecord camera = CameraAt("192.168.0.98");
    w.session().pcAddrText = camera.pcAddrText.view();
    w.session().pcIfIndex = camera.pcIfIndex;
    w.session().cameraAddr = camera.cameraAddr;
    bool continued = false;
    w.SendSubnetStep([&] { continued = true; });
    std::thread call([&] { f.fakes.calls.StartOldest(); });
    inSweep.get_future().wait();
    w.Shutdown();
    closed.set_value();
    call.join();
    f.fakes.calls.FinishPending();
    QVERIFY(!continued);
    QCOMPARE(owner->count(), std::size_t{0});
    QVERIFY(net->HeldTemporary().empty());
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowPageWorkTest)
#include "window_page_work_test.moc"
