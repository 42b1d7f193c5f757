#pragma once
// The WPS page's push-button session, driven by the ticks of its 5-second timer: the start
// request, a quiet minute for the user to press the router's button, then a poll per tick, the
// start sent again on three early ticks when no session runs, and the end after 30 ticks or at
// once on the camera's acknowledgement.
//
// The session itself sends nothing: Tick says which request is due, the caller sends it wherever
// it likes (the desktop program on a worker thread, on a copy of the record) and hands the result
// back to the matching Apply call, which writes only wpsStatus and wpsAck of the record.

#include <cstdint>
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
  Unfinished,   // a session still running (or any other state) at the end: reported as a failure
};
std::string_view to_string(WpsEvent event);

// What a tick or an applied answer asks the caller to do next.
enum class WpsAction {
  None,     // nothing until the next tick
  Poll,     // send the poll, then ApplyPoll
  Restart,  // send the start request again, then ApplyRestart
  Finish,   // the session is over: Finish gives the outcome
};
std::string_view to_string(WpsAction action);

// A request's answer as the caller saw it on its copy of the record.
struct WpsAnswer {
  int result = 0;  // 0 success
  std::uint8_t wpsStatus = 0;
  std::uint8_t wpsAck = 0;
};

// The requests themselves (blocking; run them off the user-interface thread).
int SendWpsStart(SessionRecord& session);  // act 1
int SendWpsPoll(SessionRecord& session);   // act 3, page 3: sets wpsStatus and wpsAck
// Runs one of them on a copy and reports what the copy then holds.
WpsAnswer RunWpsRequest(const std::function<int(SessionRecord&)>& request, SessionRecord copy);

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

  // Counter 0 and the session running; the caller then sends the start request.
  void Begin();
  // The start request's result: Running, or StartFailed (the session is over).
  WpsEvent ApplyStart(int result);

  // One timer tick: None, Poll or Finish. Nothing while no session runs.
  WpsAction Tick();
  // The poll's answer: a successful poll's state goes into the record (a failed one leaves the
  // last state); then Restart, Finish (acknowledged) or None.
  WpsAction ApplyPoll(SessionRecord& session, const WpsAnswer& answer);
  // The repeated start's result (noted only; the session runs on either way).
  void ApplyRestart(int result);
  // Ends the session and says how it went by the record's last state.
  WpsEvent Finish(const SessionRecord& session);

  bool running() const { return m_running; }
  // The counter, which is also the progress bar's position while the session runs.
  int counter() const { return m_counter; }
  int startsSent() const { return m_starts; }
  int pollsSent() const { return m_polls; }
  int lastStartResult() const { return m_lastStartResult; }

 private:
  bool m_running = false;
  int m_counter = 0;
  int m_starts = 0;
  int m_polls = 0;
  int m_lastStartResult = 0;
};

// The whole course with blocking requests, for the command-line tool and tests: start, then a
// tick every `wait` (called between ticks) until the end.
WpsEvent RunWpsBlocking(WpsSession& wps, SessionRecord& session,
                        const std::function<int(SessionRecord&)>& start,
                        const std::function<int(SessionRecord&)>& poll,
                        const std::function<void()>& wait);

}  // namespace orv
