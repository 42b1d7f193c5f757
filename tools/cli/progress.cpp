#include "progress.h"

#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <string>

#include "core/camera_http/transport.h"
#include "core/discovery/plipf.h"

namespace orv::cli {
namespace {

struct State {
  std::mutex mutex;
  bool enabled = false;
  bool shown = false;
};

State& Line() {
  static State state;
  return state;
}

void Write(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

void TraceLine(std::string_view line) {
  ClearProgress();
  Write(std::string(line));
}

void SetVerbose(bool on) {
  SetDiscoveryTrace(on ? TraceLine : std::function<void(std::string_view)>());
  // Unset, the transport would write its lines where it always has: silence them instead.
  SetTransportDiagnostics(on ? TraceLine : [](std::string_view) {});
}

void EnableProgress(bool plainOutput) {
  std::lock_guard lock(Line().mutex);
  Line().enabled = plainOutput && ::isatty(STDERR_FILENO) == 1;
}

void ShowProgress(std::string_view text) {
  std::lock_guard lock(Line().mutex);
  if (!Line().enabled) return;
  // Carriage return, the text, then erase what a longer earlier text left to its right.
  Write("\r" + std::string(text) + "\x1b[K");
  Line().shown = true;
}

void ClearProgress() {
  std::lock_guard lock(Line().mutex);
  if (!Line().shown) return;
  Write("\r\x1b[K");
  Line().shown = false;
}

}  // namespace orv::cli
