// The camera jobs as the main window runs them: the wait window, the worker-poll and re-find timers
// at their ticks, the login step with the root login dialog, and the failures the window must
// survive.

#include <QtTest>
#include <atomic>
#include <future>
#include <memory>

#include "core/app/navigation.h"
#include "gui/dialogs/sub_wait.h"
#include "gui/pages/sub_ap_scan.h"
#include "gui/pages/sub_setup_finish.h"
#include "gui/support/window_fixture.h"
#include "gui/window/camera_work.h"
#include "gui/window/sub_form_collection.h"
#include "support/fake_discovery.h"

namespace orv::test {

using namespace gui;

namespace {

void Tick(CWizardDlg& w, WindowTimer timer, int times) {
  for (int i = 0; i < times; ++i) w.OnTimer(timer);
}

const MessageRequest& Last(const WindowOnFakes& f) {
  return f.fakes.prompter.shown.back().request;
}

// A job procedure that waits until the test lets it go, then writes into its own copy; finished()
// turns true once it has returned, so a test can wait for the late result itself.
struct Latch {
  std::promise<void> release;
  std::shared_future<void> gate{release.get_future().share()};
  std::shared_ptr<std::atomic<bool>> returned = std::make_shared<std::atomic<bool>>(false);
  JobProcedure Procedure(int ok) {
    auto gate2 = gate;
    auto returned2 = returned;
    return [gate2, returned2, ok](WorkerJob& job) {
      gate2.wait();
      job.session.sys.TitleBar = "late";
      job.ok = static_cast<std::uint8_t>(ok);
      job.done = 1;
      returned2->store(true);
    };
  }
  bool finished() const { return returned->load(); }
};

}  // namespace

class WindowJobsTest : public QObject {
  Q_OBJECT
 private slots:
  void readEndsAtTick97AndShowsSetupType() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    w.session().newCamera = 1;
    w.OnStep(nav::kStepRead);
    QVERIFY(w.busy());
    QVERIFY(!w.pageArea()->isEnabled());
    QVERIFY(w.isEnabled());  // dialogs and message boxes stay usable
    QVERIFY(w.timerActive(WindowTimer::WorkerPoll));
    QCOMPARE(w.timerInterval(WindowTimer::WorkerPoll), 300);
    QCOMPARE(w.waitWindow()->text(), w.note(2));
    QTRY_VERIFY_WITH_TIMEOUT(w.jobs().JobEnded(), 5000);
    Tick(w, WindowTimer::WorkerPoll, 96);
    QVERIFY(w.busy());
    QCOMPARE(w.waitWindow()->position(), 960);
    w.OnTimer(WindowTimer::WorkerPoll);
    QVERIFY(!w.busy());
    QVERIFY(!w.timerActive(WindowTimer::WorkerPoll));
    QVERIFY(w.pageArea()->isEnabled());
    QVERIFY(w.waitWindow()->isHidden());
    WindowOnFakes::Settle();
    QCOMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageSetupType));
    QVERIFY(f.fakes.prompter.shown.empty());
  }

  void readFailuresPickTheirMessage() {
    for (int error : {-8, -3}) {
      WindowOnFakes f;
      f.work.readJob = [error](WorkerJob& job) {
        job.error = error;
        job.done = 1;
      };
      f.Start();
      CWizardDlg& w = *f.window;
      w.OnStep(nav::kStepRead);
      QTRY_VERIFY_WITH_TIMEOUT(w.jobs().JobEnded(), 5000);
      Tick(w, WindowTimer::WorkerPoll, 97);
      QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{1});
      QCOMPARE(Last(f).text, w.message(error == -8 ? 8 : 2));
      QCOMPARE(Last(f).icon, error == -8 ? MessageIcon::Stop : MessageIcon::Warning);
      QVERIFY(Last(f).caption.isEmpty());
      QVERIFY(w.pageArea()->isEnabled());
      QCOMPARE(w.pageArea()->current(), 0);
    }
  }

  void saveEndsAtTick92ThenRefindsFromTick61UntilTick101() {
    WindowOnFakes f;
    int finders = 0;
    f.makeFinder = [&finders]() -> std::unique_ptr<CPLipf> {
      ++finders;
      return nullptr;  // nothing answers
    };
    f.Start();
    CWizardDlg& w = *f.window;
    w.session().wizardMode = 1;
    w.session().newCamera = 1;
    w.OnStep(nav::kStepSave);
    QCOMPARE(w.timerInterval(WindowTimer::WorkerPoll), 800);
    QCOMPARE(w.waitWindow()->text(), w.note(3));
    QTRY_VERIFY_WITH_TIMEOUT(w.jobs().JobEnded(), 5000);
    Tick(w, WindowTimer::WorkerPoll, 91);
    QVERIFY(f.fakes.prompter.shown.empty());
    w.OnTimer(WindowTimer::WorkerPoll);
    QCOMPARE(Last(f).text, w.message(4));
    QCOMPARE(Last(f).icon, MessageIcon::Information);
    QVERIFY(!w.timerActive(WindowTimer::WorkerPoll));
    QVERIFY(w.timerActive(WindowTimer::Refind));
    QCOMPARE(w.timerInterval(WindowTimer::Refind), 1200);
    QCOMPARE(w.waitWindow()->text(), w.note(4));
    QVERIFY(!w.pageArea()->isEnabled());

    Tick(w, WindowTimer::Refind, 60);
    QCOMPARE(finders, 0);
    w.OnTimer(WindowTimer::Refind);
    QCOMPARE(finders, 1);
    Tick(w, WindowTimer::Refind, 39);
    QVERIFY(w.timerActive(WindowTimer::Refind));
    w.OnTimer(WindowTimer::Refind);  // tick 101
    QVERIFY(!w.timerActive(WindowTimer::Refind));
    QCOMPARE(Last(f).text, w.message(5));
    QCOMPARE(Last(f).icon, MessageIcon::Warning);
    QVERIFY(w.pageArea()->isEnabled());
    WindowOnFakes::Settle();
    QCOMPARE(w.pageArea()->current(), 0);
  }

  void theRefoundCameraLeadsToTheFinishPage() {
    WindowOnFakes f;
    FakeDiscoveryRig rig;
    rig.net->hosts = std::vector<std::uint32_t>{Ip("10.0.0.5")};
    f.makeFinder = [&rig] { return std::make_unique<CPLipf>(rig.Environment()); };
    int natReads = 0;
    f.work.readNat = [&natReads](SessionRecord& s) {
      ++natReads;
      s.sys.NATStat = 1;
      return 0;
    };
    f.Start();
    CWizardDlg& w = *f.window;
    SessionRecord& s = w.session();
    s.wizardMode = 1;
    s.newCamera = 1;
    s.cameraSerial = "SN0042";
    s.cameraAddrText = "192.168.0.98";
    w.OnStep(nav::kStepSave);
    QTRY_VERIFY_WITH_TIMEOUT(w.jobs().JobEnded(), 5000);
    Tick(w, WindowTimer::WorkerPoll, 92);
    Tick(w, WindowTimer::Refind, 61);  // the engine exists now and has polled once
    ReplySpec other = NumberedCamera(7);
    ReplySpec moved = NumberedCamera(42);
    moved.cameraId = "SN0042";
    moved.ip = "10.0.0.77";
    moved.httpPort = 8080;
    rig.net->DeliverAll(MakeReply(other));
    rig.net->DeliverAll(MakeReply(moved));
    for (int i = 0; i < 5 && w.timerActive(WindowTimer::Refind); ++i)
      w.OnTimer(WindowTimer::Refind);
    QVERIFY(!w.timerActive(WindowTimer::Refind));
    QCOMPARE(s.cameraAddrText.view(), std::string_view("10.0.0.77"));
    QCOMPARE(s.cameraPortText.view(), std::string_view("8080"));
    QCOMPARE(natReads, 1);
    QCOMPARE(s.sys.NATStat, std::uint8_t{1});
    QCOMPARE(Last(f).text, w.message(6));
    QCOMPARE(Last(f).icon, MessageIcon::Information);
    QVERIFY(!w.busy());
    WindowOnFakes::Settle();
    QCOMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageFinish));
    auto* finish = static_cast<CSubSetupFinish*>(w.page(nav::kPageFinish));
    QCOMPARE(finish->camera().cam_id.view(), std::string_view("SN0042"));
  }

  void saveWithoutRefindGoesHomeWithTheLinksMessage() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    w.session().wizardMode = 0;
    w.session().linkWireless = 1;
    w.session().sys.wirelessCapable = 1;
    w.OnStep(nav::kStepSave);
    QTRY_VERIFY_WITH_TIMEOUT(w.jobs().JobEnded(), 5000);
    Tick(w, WindowTimer::WorkerPoll, 92);
    QCOMPARE(Last(f).text, w.message(3));
    QVERIFY(!w.timerActive(WindowTimer::Refind));
    QVERIFY(!w.busy());
    WindowOnFakes::Settle();
    QCOMPARE(w.pageArea()->current(), 0);
  }

  void timeOutAt101HasTheModesCaptionAndLateResultsAreDropped() {
    for (bool reading : {true, false}) {
      WindowOnFakes f;
      Latch latch;
      (reading ? f.work.readJob : f.work.saveJob) = latch.Procedure(1);
      f.Start();
      CWizardDlg& w = *f.window;
      w.OnStep(reading ? nav::kStepRead : nav::kStepSave);
      // Written after the job took its copy (the read step forgets the last camera first).
      w.session().sys.TitleBar = "mine";
      Tick(w, WindowTimer::WorkerPoll, 100);
      QVERIFY(f.fakes.prompter.shown.empty());
      w.OnTimer(WindowTimer::WorkerPoll);
      QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{1});
      QCOMPARE(Last(f).text, w.message(2));
      QCOMPARE(Last(f).caption, reading ? QStringLiteral("Orvantis") : QString());
      QVERIFY(!w.busy());
      latch.release.set_value();
      // The late result exists now; the window must still ignore it.
      QTRY_VERIFY_WITH_TIMEOUT(latch.finished(), 5000);
      WindowOnFakes::Settle();
      Tick(w, WindowTimer::WorkerPoll, 5);
      QVERIFY(!w.busy());
      QVERIFY(!w.timerActive(WindowTimer::WorkerPoll));
      QCOMPARE(w.session().sys.TitleBar.view(), std::string_view("mine"));
      QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{1});
      QCOMPARE(w.pageArea()->current(), 0);
    }
  }

  void rootLoginRefusedEndsWithMessage7() {
    WindowOnFakes f;
    int logins = 0;
    f.work.systemRead = [](SessionRecord&) { return -8; };
    f.work.loginRead = [&logins](SessionRecord& s) {
      ++logins;
      return s.password.view() == "right" ? 0 : -8;
    };
    f.fakes.dialogs.rootAnswers.push_back({QStringLiteral("root"), QStringLiteral("wrong")});
    f.Start();
    CWizardDlg& w = *f.window;
    w.OnStep(nav::kStepRead);
    QCOMPARE(f.fakes.dialogs.rootLogins, 1);
    QCOMPARE(logins, 1);
    QCOMPARE(Last(f).text, w.message(7));
    QCOMPARE(Last(f).icon, MessageIcon::Stop);
    QVERIFY(!w.busy());
    QVERIFY(!w.jobs().Running());

    f.fakes.dialogs.rootAnswers.push_back({QStringLiteral("root"), QStringLiteral("right")});
    w.OnStep(nav::kStepRead);
    QCOMPARE(f.fakes.dialogs.rootLogins, 2);
    QVERIFY(w.jobs().Running());
    QCOMPARE(w.session().password.view(), std::string_view("right"));
  }

  void aSecondReadStepIsIgnoredWhileOneRuns() {
    WindowOnFakes f;
    int reads = 0;
    f.work.systemRead = [&reads](SessionRecord&) {
      ++reads;
      return 0;
    };
    f.Start();
    CWizardDlg& w = *f.window;
    w.PostStep(nav::kStepRead);
    w.PostStep(nav::kStepRead);
    w.PostStep(nav::kStepSave);
    WindowOnFakes::Settle();
    QCOMPARE(reads, 1);
    QVERIFY(w.jobs().Running());
  }

  void everyReadStartsWithoutTheLastCamerasFacts() {
    WindowOnFakes f;
    SessionRecord seen;
    f.work.systemRead = [&seen](SessionRecord& s) {
      seen = s;
      return 0;
    };
    f.Start();
    CWizardDlg& w = *f.window;
    SessionRecord& s = w.session();
    s.sys.wirelessCapable = s.sys.wpsCapable = s.sys.Transversal = 1;
    s.wpsStatus = s.wpsAck = 1;
    s.sys.NATStat = 1;
    s.sys.ExtIPAddr = "203.0.113.9";
    s.sys.ExtHttpPort = 8080;
    s.userName = "root";
    w.OnStep(nav::kStepRead);
    QCOMPARE(seen.sys.wirelessCapable + seen.sys.wpsCapable + seen.sys.Transversal, 0);
    QCOMPARE(seen.wpsStatus + seen.wpsAck + seen.sys.NATStat, 0);
    QVERIFY(seen.sys.ExtIPAddr.empty());
    QCOMPARE(seen.sys.ExtHttpPort, 0);
    QVERIFY(seen.userName.empty());
  }

  void aJobThatCannotBePolledFailsInsteadOfHanging() {
    WindowOnFakes f;
    f.Start();
    CWizardDlg& w = *f.window;
    w.OnStep(nav::kStepSave);
    QTRY_VERIFY_WITH_TIMEOUT(w.jobs().JobEnded(), 5000);
    int position = 1000;
    w.jobs().Poll(position, w.session());  // the job is gone behind the timer's back
    w.OnTimer(WindowTimer::WorkerPoll);
    QVERIFY(!w.timerActive(WindowTimer::WorkerPoll));
    QVERIFY(!w.busy());
    QVERIFY(w.pageArea()->isEnabled());
    QVERIFY(w.waitWindow()->isHidden());
    QCOMPARE(Last(f).text, w.message(2));
  }

  void closingDuringAJobDoesNotWaitForIt() {
    WindowOnFakes f;
    Latch latch;
    f.work.readJob = latch.Procedure(1);
    f.Start();
    CWizardDlg& w = *f.window;
    w.show();
    w.OnStep(nav::kStepRead);
    QVERIFY(w.close());
    QVERIFY(!w.timerActive(WindowTimer::WorkerPoll));
    QCOMPARE(w.session().connectAllowed.load(), 0);
    f.window.reset();  // the worker still waits on the latch
    QVERIFY(!latch.finished());
    latch.release.set_value();
    // The job ends into its own copy, with the window gone (a write into the window's record
    // would be a use after free that the sanitizer build reports).
    QTRY_VERIFY_WITH_TIMEOUT(latch.finished(), 5000);
    WindowOnFakes::Settle();
  }

  void rescanShowsTheListOrWarns() {
    for (bool found : {true, false}) {
      WindowOnFakes f;
      f.work.scan = [found](SessionRecord& s) -> std::optional<std::vector<AccessPointEntry>> {
        s.apScanOk = found ? 1 : 0;
        s.apCount = found ? 2 : 0;
        if (!found) return std::nullopt;
        return std::vector<AccessPointEntry>(2);
      };
      f.Start();
      CWizardDlg& w = *f.window;
      w.OnStep(nav::kStepApScan);
      WindowOnFakes::Settle();
      QVERIFY(!w.busy());
      QVERIFY(w.waitWindow()->isHidden());
      if (found) {
        QCOMPARE(w.pageArea()->current(), static_cast<int>(nav::kPageApList));
        auto* list = static_cast<CSubAPScan*>(w.page(nav::kPageApList));
        QCOMPARE(list->accessPoints().size(), std::size_t{2});
      } else {
        QCOMPARE(Last(f).text, w.message(2));
        QCOMPARE(Last(f).icon, MessageIcon::Warning);
        QCOMPARE(w.pageArea()->current(), 0);
      }
    }
  }

  void theTimerScaleShortensEveryPeriod() {
    WindowOnFakes f;
    f.timerScale = 10;
    f.Start();
    f.window->OnStep(nav::kStepSave);
    QCOMPARE(f.window->timerInterval(WindowTimer::WorkerPoll), 80);
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowJobsTest)
#include "window_jobs_test.moc"
