#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

#include "core/platform/termination.h"

namespace orv {
namespace {

// The handler only writes the signal number to a pipe; the caller's watcher reads it.
int g_pipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnEndSignal(int signo) {
  const int saved = errno;
  const unsigned char b = static_cast<unsigned char>(signo);
  [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &b, 1);
  errno = saved;
}

}  // namespace

bool CatchEndRequests() {
  static const bool ok = [] {
    if (::pipe2(g_pipe, O_CLOEXEC) != 0) return false;
    // A burst of signals must never block the handler on a full pipe; one byte per kind is plenty.
    const int flags = ::fcntl(g_pipe[1], F_GETFL, 0);
    if (flags < 0 || ::fcntl(g_pipe[1], F_SETFL, flags | O_NONBLOCK) != 0) return false;
    struct sigaction sa {};
    sa.sa_handler = OnEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals) ::sigaction(s, &sa, nullptr);
    return true;
  }();
  return ok;
}

int WaitEndRequest() {
  for (;;) {
    unsigned char b = 0;
    const ssize_t n = ::read(g_pipe[0], &b, 1);
    if (n < 0 && errno == EINTR) continue;
    return n == 1 ? b : -1;
  }
}

void EndAsRequested(int request) {
  struct sigaction sa {};
  sa.sa_handler = SIG_DFL;
  sigemptyset(&sa.sa_mask);
  ::sigaction(request, &sa, nullptr);
  ::kill(::getpid(), request);
  // Should the signal be blocked somewhere, still do not come back.
  ::_exit(128 + request);
}

}  // namespace orv
