#include "core/hostnet/signal_cleanup.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/platform/termination.h"

namespace orv {

namespace {

// Never destroyed: the detached watcher may still use them while the process exits.
std::mutex& ActionMutex() {
  static std::mutex* m = new std::mutex;
  return *m;
}
SignalCleanup::Action& CurrentAction() {
  static SignalCleanup::Action* a = new SignalCleanup::Action;
  return *a;
}
bool g_terminateAfter = true;  // guarded by ActionMutex
bool g_actionRunning = false;  // guarded by ActionMutex
std::thread::id g_watcherId;   // guarded by ActionMutex; set once when the watcher starts

std::condition_variable& ActionDone() {
  static std::condition_variable* cv = new std::condition_variable;
  return *cv;
}

void Watch() {
  for (;;) {
    const int signo = WaitEndRequest();
    if (signo < 0) return;
    SignalCleanup::Action action;
    bool terminate = true;
    {
      std::lock_guard lock(ActionMutex());
      action = CurrentAction();
      terminate = g_terminateAfter || !action;
      g_actionRunning = static_cast<bool>(action);
    }
    if (action) action(signo);
    if (terminate) EndAsRequested(signo);
    action = nullptr;  // what it holds is released before a waiting Disarm returns
    {
      std::lock_guard lock(ActionMutex());
      g_actionRunning = false;
    }
    ActionDone().notify_all();
  }
}

bool InstallOnce() {
  static const bool ok = [] {
    if (!CatchEndRequests()) return false;
    std::thread watcher(Watch);
    {
      std::lock_guard lock(ActionMutex());
      g_watcherId = watcher.get_id();
    }
    watcher.detach();
    return true;
  }();
  return ok;
}

}  // namespace

bool SignalCleanup::Install(Action action, bool terminateAfter) {
  {
    std::lock_guard lock(ActionMutex());
    CurrentAction() = std::move(action);
    g_terminateAfter = terminateAfter;
  }
  return InstallOnce();
}

void SignalCleanup::Disarm() {
  std::unique_lock lock(ActionMutex());
  CurrentAction() = nullptr;
  g_terminateAfter = true;
  // A clean-up already under way finishes before its owner may go; the action itself may disarm.
  if (std::this_thread::get_id() == g_watcherId) return;
  ActionDone().wait(lock, [] { return !g_actionRunning; });
}

}  // namespace orv
