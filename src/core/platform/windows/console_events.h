#pragma once
// The console's control handler that CatchEndRequests installs, for tests that deliver an event
// as the system does (sending a real one would reach every process on the console).
#include "core/platform/windows/win_common.h"

namespace orv::win {

BOOL WINAPI OnConsoleEvent(DWORD event);

}  // namespace orv::win
