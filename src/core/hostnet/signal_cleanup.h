#pragma once
// Clean-up when the system asks the program to end (platform/termination.h: SIGINT, SIGTERM and
// SIGHUP; on Windows Ctrl-C and the console's close). A watcher thread runs the clean-up (which may
// allocate and talk to the helper) and then, unless told otherwise, ends the process as the request
// would have, so the exit status still tells what happened.

#include <functional>

namespace orv {

class SignalCleanup {
 public:
  using Action = std::function<void(int signo)>;

  // Installs the handlers (once per process) and sets the action; a later call replaces it. With
  // terminateAfter false the action decides itself how the program ends.
  static bool Install(Action action, bool terminateAfter = true);

  // Forgets the action; the handlers stay, and a signal then ends the process as by default. An
  // action already running is waited for (unless Disarm is called from that action).
  static void Disarm();
};

}  // namespace orv
