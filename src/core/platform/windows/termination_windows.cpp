// The console's control events. Windows runs the handler on a thread of its own; it queues the
// request for the watcher. After a close, log-off or shut-down event the process ends as soon as
// the handler returns, so the handler then waits (the clean-up ends the process, or the system
// does after its grace period).
#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>

#include "core/platform/termination.h"
#include "core/platform/windows/console_events.h"

namespace orv {
namespace {

constexpr std::size_t kMaxQueued = 8;  // a burst of Ctrl-C needs no more than one clean-up

std::mutex& QueueMutex() {
  static std::mutex* m = new std::mutex;
  return *m;
}
std::condition_variable& QueueChanged() {
  static std::condition_variable* cv = new std::condition_variable;
  return *cv;
}
std::deque<int>& Queue() {
  static std::deque<int>* q = new std::deque<int>;
  return *q;
}

int RequestFor(DWORD event) {
  switch (event) {
    case CTRL_C_EVENT:
      return SIGINT;
    case CTRL_BREAK_EVENT:
      return SIGBREAK;
    default:
      return SIGTERM;
  }
}

}  // namespace

BOOL WINAPI win::OnConsoleEvent(DWORD event) {
  {
    std::lock_guard lock(QueueMutex());
    if (Queue().size() < kMaxQueued) Queue().push_back(RequestFor(event));
  }
  QueueChanged().notify_all();
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    ::Sleep(INFINITE);
  }
  return TRUE;
}

bool CatchEndRequests() {
  static const bool ok = ::SetConsoleCtrlHandler(win::OnConsoleEvent, TRUE) != 0;
  return ok;
}

int WaitEndRequest() {
  std::unique_lock lock(QueueMutex());
  QueueChanged().wait(lock, [] { return !Queue().empty(); });
  const int request = Queue().front();
  Queue().pop_front();
  return request;
}

void EndAsRequested(int request) {
  ::ExitProcess(static_cast<UINT>(128 + request));
}

}  // namespace orv
