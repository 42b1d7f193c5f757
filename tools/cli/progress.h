#pragma once
// What orvantis-cli writes on standard error besides its messages: one progress line that updates
// in place while a command works (only on a terminal, never with --json), and with -v the trace
// lines of the discovery engine and the HTTP transport.

#include <string_view>

namespace orv::cli {

// Routes the trace lines: to standard error with -v, else nowhere.
void SetVerbose(bool on);
// A trace line of the tool's own (one line, ending in a line feed).
void TraceLine(std::string_view line);

// For the command that runs: progress only when it prints plain output and standard error is a
// terminal.
void EnableProgress(bool plainOutput);
// Replaces the progress line with text.
void ShowProgress(std::string_view text);
// Removes the progress line; call before anything else is written to the terminal.
void ClearProgress();

}  // namespace orv::cli
