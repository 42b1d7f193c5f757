#include "core/hostnet/signal_cleanup.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orv {

namespace {

int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

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

extern "C" void OnCleanupSignal(int signo) {
  const int saved = errno;
  const unsigned char b = static_cast<unsigned char>(signo);
  [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &b, 1);
  errno = saved;
}

void EndWith(int signo) {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  ::sigaction(signo, &sa, nullptr);
  ::kill(::getpid(), signo);
  // Should the signal be blocked somewhere, still do not come back.
  ::_exit(128 + signo);
}

void Watch() {
  for (;;) {
    unsigned char b = 0;
    const ssize_t n = ::read(g_pipe[0], &b, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n != 1) return;
    const int signo = b;
    SignalCleanup::Action action;
    bool terminate = true;
    {
      std::lock_guard lock(ActionMutex());
      action = CurrentAction();
      terminate = g_terminateAfter || !action;
      g_actionRunning = static_cast<bool>(action);
    }
    if (action) action(signo);
    if (terminate) EndWith(signo);
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
    if (::pipe2(g_pipe, O_CLOEXEC) != 0) return false;
    // A burst of signals must never block the handler on a full pipe; one byte per kind is plenty.
    const int flags = ::fcntl(g_pipe[1], F_GETFL, 0);
    if (flags < 0 || ::fcntl(g_pipe[1], F_SETFL, flags | O_NONBLOCK) != 0) return false;
    struct sigaction sa {};
    sa.sa_handler = OnCleanupSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
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
