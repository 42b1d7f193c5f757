#pragma once
// The system's requests that the program end: SIGINT, SIGTERM and SIGHUP on Linux; Ctrl-C,
// Ctrl-Break, the console window's close, log-off and shut-down on Windows. A request is named by
// its signal number (Windows: Ctrl-C is SIGINT, Ctrl-Break SIGBREAK, the others SIGTERM), so an
// exit status of 128 + number means the same everywhere.

namespace orv {

// Starts catching the requests; once per process (later calls return the first answer).
bool CatchEndRequests();

// Blocks until the next request and returns its number; -1 when none can come any more.
int WaitEndRequest();

// Ends the process as the request does when nobody catches it.
[[noreturn]] void EndAsRequested(int request);

}  // namespace orv
