// The step engine's subnet step: the address work runs off the user-interface thread with the
// window busy, its message is shown, the busy state before it comes back, and a read asked for
// meanwhile does not overtake it.

#include <QtTest>
#include <mutex>
#include <string>
#include <vector>

#include "core/app/navigation.h"
#include "gui/support/window_fixture.h"
#include "gui/window/sub_form_collection.h"

namespace orv::test {

using namespace gui;

namespace {

// What ran, in order, from whichever thread.
struct Events {
  std::mutex m;
  std::vector<std::string> list;
  void Add(const std::string& e) {
    std::lock_guard lock(m);
    list.push_back(e);
  }
  std::vector<std::string> Get() {
    std::lock_guard lock(m);
    return list;
  }
};

std::string Join(const std::vector<std::string>& list) {
  std::string out;
  for (const std::string& e : list) out += e + "; ";
  return out;
}

}  // namespace

class WindowSubnetTest : public QObject {
  Q_OBJECT
 private slots:
  void aFailedAddShowsItsMessageAndEndsTheBusyState() {
    WindowOnFakes f;
    f.work.ensureSubnet = [](const SessionRecord&) {
      EnsureResult r;
      r.outcome = EnsureOutcome::FirstAddFailed;
      r.message = "error";
      return r;
    };
    f.fakes.calls.deferred = true;
    f.Start();
    f.fakes.calls.RunPending();  // what the start-up queued
    CWizardDlg& w = *f.window;
    w.OnStep(nav::kStepSubnet);
    QVERIFY(w.busy());
    QVERIFY(!w.pageArea()->isEnabled());
    QVERIFY(f.fakes.prompter.shown.empty());
    QCOMPARE(f.fakes.calls.RunPending(), 1);
    QVERIFY(!w.busy());
    QVERIFY(w.pageArea()->isEnabled());
    QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{1});
    const MessageRequest& shown = f.fakes.prompter.shown.back().request;
    QCOMPARE(shown.text, QStringLiteral("error"));
    QCOMPARE(shown.icon, MessageIcon::None);
    QVERIFY(shown.caption.isEmpty());
  }

  void theHelpersRefusalIsSaidFromThePackInsteadOfError() {
    for (const char* pack : {"ENG.ini", "CHT.ini"}) {
      WindowOnFakes f(pack);
      std::string refusal = "adding 192.168.0.253: nothing answers at 192.168.0.98";
      f.work.ensureSubnet = [&refusal](const SessionRecord&) {
        EnsureResult r;
        r.outcome = EnsureOutcome::FirstAddFailed;
        r.message = "error";
        r.refusal = refusal;
        return r;
      };
      f.Start();
      CWizardDlg& w = *f.window;
      w.SendSubnetStep({});
      refusal = "adding 10.0.0.253: 10.0.0.253/24 overlaps 10.0.0.5/24 on eth0";
      w.SendSubnetStep({});
      QCOMPARE(f.fakes.prompter.shown.size(), std::size_t{2});
      const MessageRequest& noCamera = f.fakes.prompter.shown[0].request;
      const MessageRequest& refused = f.fakes.prompter.shown[1].request;
      QCOMPARE(noCamera.icon, MessageIcon::Warning);
      QCOMPARE(noCamera.text, w.message(9));
      QVERIFY(!w.message(9).isEmpty());
      QCOMPARE(refused.text, w.message(10) + "\n" + QString::fromStdString(refusal));
      QVERIFY(!w.message(10).isEmpty());
    }
  }

  void anAddedAddressSaysNothingAndRunsWhatFollows() {
    WindowOnFakes f;
    int followed = 0;
    f.work.ensureSubnet = [](const SessionRecord& s) {
      EnsureResult r;
      r.outcome = EnsureOutcome::Added;
      r.added = s.cameraAddr + 1;
      return r;
    };
    f.fakes.calls.deferred = true;
    f.Start();
    CWizardDlg& w = *f.window;
    w.SendSubnetStep([&followed] { ++followed; });
    QCOMPARE(followed, 0);
    f.fakes.calls.RunPending();
    QCOMPARE(followed, 1);
    QVERIFY(f.fakes.prompter.shown.empty());
    QVERIFY(!w.busy());
  }

  void aWindowBusyBeforeStaysBusy() {
    WindowOnFakes f;
    f.work.ensureSubnet = [](const SessionRecord&) { return EnsureResult{}; };
    f.fakes.calls.deferred = true;
    f.Start();
    CWizardDlg& w = *f.window;
    QVERIFY(w.BeginPageWork());  // a page's own work holds the window busy
    QVERIFY(w.busy());
    w.SendSubnetStep({});
    f.fakes.calls.RunPending();
    QVERIFY2(w.busy(), "the subnet step ended a busy state it did not start");
    w.EndPageWork();
    QVERIFY(!w.busy());
  }

  void aReadWaitsForTheSubnetStepAndPutsTheAddressInPlaceFirst() {
    WindowOnFakes f;
    Events events;
    f.work.ensureSubnet = [&events](const SessionRecord& s) {
      events.Add("subnet " + s.cameraAddrText.str());
      return EnsureResult{};
    };
    f.work.systemRead = [&events](SessionRecord& s) {
      events.Add("read " + s.cameraAddrText.str());
      return 0;
    };
    f.fakes.calls.deferred = true;
    f.Start();
    f.fakes.calls.RunPending();
    CWizardDlg& w = *f.window;
    w.session().cameraAddrText = "192.168.0.98";
    // A read asked for while the subnet step runs is not started beside it.
    w.SendSubnetStep({});
    w.OnStep(nav::kStepRead);
    QVERIFY(!w.jobs().Running());
    f.fakes.calls.RunPending();
    QVERIFY(!w.busy());
    QCOMPARE(QString::fromStdString(Join(events.Get())), QStringLiteral("subnet 192.168.0.98; "));
    // The read itself puts the address in place first: its job starts only once that is done.
    w.OnStep(nav::kStepRead);
    QVERIFY(w.busy());
    QVERIFY(!w.jobs().Running());
    QCOMPARE(f.fakes.calls.RunPending(), 1);
    QVERIFY(w.jobs().Running());
    QTRY_VERIFY_WITH_TIMEOUT(w.jobs().JobEnded(), 5000);
    QCOMPARE(QString::fromStdString(Join(events.Get())),
             QStringLiteral("subnet 192.168.0.98; subnet 192.168.0.98; read 192.168.0.98; "));
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowSubnetTest)
#include "window_subnet_test.moc"
