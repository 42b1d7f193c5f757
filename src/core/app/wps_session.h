#pragma once
// The WPS page's push-button session, driven by the ticks of its 5-second timer: the start
// request, a quiet minute for the user to press the router's button, then a poll per tick, the
// start sent again on three early ticks when no session runs, and the end after 30 ticks or at
// once on the camera's acknowledgement. The page shows what each call returns.

#include <functional>
#include <string_view>

#include "core/model/session_record.h"

namespace orv {

// What the page does on entering: ask whether to rescan (no access point known), start a session,
// or keep the result of an earlier successful one.
enum class WpsEntry { AskRescan, Start, KeepResult };
WpsEntry DecideWpsEntry(const SessionRecord& session);

enum class WpsEvent {
  Idle,         // no session runs (a tick after the end)
  Running,      // keep ticking
  StartFailed,  // the start request failed: timer stopped, Back enabled, the start error shown
  Succeeded,    // the camera acknowledged: Next enabled, the success message
  Failed,       // no session at the end: Next stays disabled, the failure message
  Unfinished,   // any other state at the end (still running): no message, Next disabled
};
std::string_view to_string(WpsEvent event);

class WpsSession {
 public:
  static constexpr int kTickMs = 5000;       // the page's timer period
  static constexpr int kStep = 40;           // counter added per tick
  static constexpr int kFirstPoll = 450;     // below it the user is given time (11 ticks)
  static constexpr int kRestartFirst = 500;  // no session running on a tick in this range:
  static constexpr int kRestartLast = 600;   //   the start request again (520, 560, 600)
  static constexpr int kEnd = 1200;          // 30 ticks, 150 s
  static constexpr int kAcknowledged = 1500;
  static constexpr int kProgressMax = 1500;  // range of the page's progress bar

  // A request on the record; returns a result code (0 success). The default ones are the WPS
  // start (act 1) and the poll (act 3, page 3).
  using Request = std::function<int(SessionRecord&)>;
  WpsSession();
  WpsSession(Request start, Request poll);

  // Counter 0, the session running, then the start request; StartFailed ends it again at once.
  WpsEvent Start(SessionRecord& session);
  // One timer tick.
  WpsEvent Tick(SessionRecord& session);

  bool running() const { return m_running; }
  // The counter, which is also the progress bar's position while the session runs.
  int counter() const { return m_counter; }
  int startsSent() const { return m_starts; }
  int pollsSent() const { return m_polls; }
  int lastStartResult() const { return m_lastStartResult; }

 private:
  WpsEvent Finish(const SessionRecord& session);

  Request m_start;
  Request m_poll;
  bool m_running = false;
  int m_counter = 0;
  int m_starts = 0;
  int m_polls = 0;
  int m_lastStartResult = 0;
};

}  // namespace orv
