// The program's own call runner: the work on a thread of its own, the continuation on the
// user-interface thread through the event loop, nothing delivered to a context that is gone, and
// a runner that goes first leaves its calls to finish on their own.

#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "gui/window/real_services.h"

namespace orv::test {

using namespace gui;

namespace {

// A gate the work waits at (bounded, so a fault fails the test instead of hanging it) and a flag
// that tells the work has returned.
struct Gate {
  std::mutex m;
  std::condition_variable cv;
  bool open = false;
  std::atomic<bool> returned{false};
  void Open() {
    std::lock_guard lock(m);
    open = true;
    cv.notify_all();
  }
  void Wait() {
    std::unique_lock lock(m);
    cv.wait_for(lock, std::chrono::seconds(10), [this] { return open; });
  }
};

}  // namespace

class AsyncRunnerTest : public QObject {
  Q_OBJECT
 private slots:
  void theContinuationRunsThroughTheEventLoopOnTheUiThread() {
    AsyncCallRunner runner;
    QObject context;
    auto workThread = std::make_shared<std::thread::id>();
    auto gate = std::make_shared<Gate>();
    std::thread::id continuationThread;
    int continuations = 0;
    runner.Run(&context, [workThread, gate]() -> CallRunner::Continuation {
      *workThread = std::this_thread::get_id();
      gate->returned = true;
      return {};
    });
    runner.Run(&context, [gate]() -> CallRunner::Continuation {
      gate->Wait();
      return nullptr;
    });
    QCOMPARE(runner.pending(), std::size_t{2});
    runner.Run(&context, [&continuationThread, &continuations]() -> CallRunner::Continuation {
      return [&continuationThread, &continuations] {
        continuationThread = std::this_thread::get_id();
        ++continuations;
      };
    });
    // Even a call that is over at once is handed over by the event loop, never inside Run.
    QCOMPARE(continuations, 0);
    QTRY_COMPARE_WITH_TIMEOUT(continuations, 1, 5000);
    QCOMPARE(continuationThread, std::this_thread::get_id());
    QTRY_VERIFY_WITH_TIMEOUT(gate->returned.load(), 5000);
    QVERIFY(*workThread != std::this_thread::get_id());
    // The blocked call stays pending; once it ends, it is delivered (an empty continuation).
    QTRY_COMPARE_WITH_TIMEOUT(runner.pending(), std::size_t{1}, 5000);
    gate->Open();
    QTRY_COMPARE_WITH_TIMEOUT(runner.pending(), std::size_t{0}, 5000);
    QCOMPARE(continuations, 1);
  }

  void aCallThatOutlivesItsContextDeliversNothing() {
    AsyncCallRunner runner;
    auto context = std::make_unique<QObject>();
    auto gate = std::make_shared<Gate>();
    bool delivered = false;
    runner.Run(context.get(), [gate, &delivered]() -> CallRunner::Continuation {
      gate->Wait();
      gate->returned = true;
      return [&delivered] { delivered = true; };
    });
    context.reset();  // the page or window closes while the call runs
    gate->Open();
    QTRY_VERIFY_WITH_TIMEOUT(gate->returned.load(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(runner.pending(), std::size_t{0}, 5000);
    QVERIFY(!delivered);
  }

  void aRunnerThatGoesFirstDoesNotWaitAndDeliversNothing() {
    QObject context;
    auto gate = std::make_shared<Gate>();
    auto delivered = std::make_shared<std::atomic<bool>>(false);
    QElapsedTimer timer;
    timer.start();
    {
      AsyncCallRunner runner;
      runner.Run(&context, [gate, delivered]() -> CallRunner::Continuation {
        gate->Wait();
        gate->returned = true;
        return [delivered] { *delivered = true; };
      });
    }
    QVERIFY(timer.elapsed() < 5000);  // the gate was still shut: nobody waited for the call
    QVERIFY(!gate->returned.load());
    gate->Open();
    QTRY_VERIFY_WITH_TIMEOUT(gate->returned.load(), 5000);
    QCoreApplication::processEvents();
    QTest::qWait(0);
    QVERIFY(!delivered->load());
  }
};

}  // namespace orv::test

QTEST_MAIN(orv::test::AsyncRunnerTest)
#include "async_runner_test.moc"
