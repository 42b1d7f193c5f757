// The window's way out on SIGINT, SIGTERM and SIGHUP: the temporary addresses are removed first,
// then every event loop ends (a question left open included) and the program ends with 128 + N.
// A process of its own, because the signal hook is process-wide.

#include <signal.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/hostnet/temporary_address_owner.h"
#include "core/util/ipv4.h"
#include "gui/support/window_fixture.h"
#include "gui/window/real_services.h"
#include "gui/window/wizard_app.h"
#include "support/fake_host_network.h"

namespace orv::test {

using namespace gui;

namespace {

long Count(const FakeHostNetwork& net, const std::string& line) {
  const std::vector<std::string> log = net.Log();
  return std::count(log.begin(), log.end(), line);
}

// Whether the process has its own handler for signo (the clean-up hook is in place).
bool CatchesSignal(qint64 pid, int signo) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith("SigCgt:")) continue;
    bool ok = false;
    const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
    return ok && (mask & (1ULL << (signo - 1))) != 0;
  }
  return false;
}

// Whether the process's main thread waits in poll: its event loop is running and idle.
bool WaitsForEvents(qint64 pid) {
  QFile wchan(QStringLiteral("/proc/%1/wchan").arg(pid));
  return wchan.open(QIODevice::ReadOnly) && wchan.readAll().contains("poll");
}

template <class Pred>
bool Within(int ms, Pred pred) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > ms) return false;
    QTest::qWait(10);
  }
  return true;
}

}  // namespace

class WindowSignalTest : public QObject {
  Q_OBJECT
 private slots:
  void aSignalEndsAnOpenQuestionAndTheProgramAfterTheAddressesAreGone_data() {
    QTest::addColumn<int>("signo");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
  }
  void aSignalEndsAnOpenQuestionAndTheProgramAfterTheAddressesAreGone() {
    QFETCH(int, signo);
    auto net = std::make_shared<FakeHostNetwork>();
    net->hostAddresses = {Ip("10.0.0.5")};
    // The hook the program installs: the real signal handler, watcher thread and removal.
    TemporaryAddressOwner::Options options;
    options.endProcessAfterSignal = false;
    options.onSignal = EndOnSignal;
    auto owner = std::make_shared<TemporaryAddressOwner>(net, options);
    QCOMPARE(owner->Ensure(CameraAt("192.168.0.98"), NoPause()).outcome, EnsureOutcome::Added);
    QCOMPARE(net->HeldTemporary().size(), std::size_t{1});
    const std::string held = FormatIpv4(net->HeldTemporary().front());

    WindowOnFakes f;
    f.net = net;
    f.addresses = owner;
    QVERIFY(f.Start());
    CWizardDlg& w = *f.window;
    w.show();

    // What the open question saw when its loop ended, and what came after it.
    std::vector<std::string> order;
    bool questionOpen = false;
    MessageAnswer answer = MessageAnswer::Yes;
    std::size_t heldWhenAnswered = 99;
    bool closingWhenAnswered = false;
    QElapsedTimer second;
    qint64 secondMs = -1;
    QtPrompter prompter;
    QTimer::singleShot(0, &w, [&] {
      // Delivered while the question is open, from the question's own loop.
      QTimer::singleShot(0, [&, signo] {
        questionOpen = QApplication::activeModalWidget() != nullptr;
        ::raise(signo);
      });
      MessageRequest question;
      question.caption = QStringLiteral("Orvantis");
      question.text = QStringLiteral("Change the camera's address?");
      question.icon = MessageIcon::Question;
      question.buttons = MessageButtons::YesNo;
      answer = prompter.Show(&w, question);
      order.push_back("question ended");
      heldWhenAnswered = net->HeldTemporary().size();
      closingWhenAnswered = w.Closing();
      // A question asked after the signal does not wait for the user either.
      second.start();
      prompter.Show(&w, question);
      secondMs = second.elapsed();
      order.push_back("second question ended");
    });
    // A regression fails here instead of hanging the test.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    watchdog.start(10000);
    const int status = QApplication::exec();
    order.push_back("main loop ended");
    watchdog.stop();

    QVERIFY(questionOpen);
    QCOMPARE(status, 128 + signo);
    QCOMPARE(EndingSignal(), signo);
    QCOMPARE(order, (std::vector<std::string>{"question ended", "second question ended",
                                              "main loop ended"}));
    // Closed without an answer: never read as a yes.
    QCOMPARE(answer, MessageAnswer::No);
    QCOMPARE(heldWhenAnswered, std::size_t{0});
    QVERIFY(closingWhenAnswered);
    QVERIFY2(secondMs >= 0 && secondMs < 1000, qPrintable(QString::number(secondMs)));
    QVERIFY(w.Closing());
    // The address that stayed was deleted once, and nothing unknown was.
    QCOMPARE(Count(*net, "delete " + held), 1L);
    QCOMPARE(Count(*net, "delete unknown"), 0L);
    // The window's address list is closed: nothing can be added after the signal.
    QCOMPARE(owner->Ensure(CameraAt("172.16.5.9"), NoPause()).outcome, EnsureOutcome::Cancelled);
    QVERIFY(net->HeldTemporary().empty());
  }

  // The real program, started as a user would on a desktop (offscreen here), ended by
  // SIGTERM once its window is up. Loopback only: nobody picks a camera, so no address is added.
  void theProgramEndsWith143OnSigterm() {
    QTemporaryDir folder;
    QTemporaryDir runtime;  // its own single-instance lock, away from any running copy
    QVERIFY(folder.isValid() && runtime.isValid());
    QDir(folder.path()).mkpath(QStringLiteral("Language"));
    for (const char* pack : {"ENG.ini", "CHT.ini"})
      QVERIFY(QFile::copy(QStringLiteral(ORVANTIS_SOURCE_DIR "/Language/") + QLatin1String(pack),
                          folder.path() + QStringLiteral("/Language/") + QLatin1String(pack)));
    {
      std::ofstream out(folder.path().toStdString() + "/defaultlang.ini", std::ios::binary);
      out << "[DefaultLang]\r\nLangFile=ENG.ini\r\n";
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "WAYLAND_SOCKET"})
      env.remove(QLatin1String(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ORVANTIS_PROGRAM_FOLDER"), folder.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral(ORVANTIS_BINARY_DIR "/bin/orvantis"),
            {QStringLiteral("--probe-host"), QStringLiteral("127.0.0.1")});
    QVERIFY(p.waitForStarted(10000));
    // The clean-up hook is in place, the window's start-up has begun (the single-instance lock
    // comes first in it) and its event loop waits for events: the window is up.
    const QString lock = runtime.path() + QStringLiteral("/orvantis/Orvantis.exe.lock");
    QVERIFY(Within(20000, [&] {
      return CatchesSignal(p.processId(), SIGTERM) && QFile::exists(lock) &&
             WaitsForEvents(p.processId());
    }));
    QVERIFY(p.state() == QProcess::Running);
    QElapsedTimer t;
    t.start();
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    const bool ended = p.waitForFinished(2000);
    const qint64 took = t.elapsed();
    if (!ended) {
      p.kill();
      p.waitForFinished();
    }
    QVERIFY2(ended, "still running 2 s after SIGTERM");
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 128 + SIGTERM);
    QVERIFY2(took < 2000, qPrintable(QString::number(took)));
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::WindowSignalTest)
#include "window_signal_test.moc"
