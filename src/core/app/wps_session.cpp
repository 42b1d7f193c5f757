#include "core/app/wps_session.h"

#include "core/camera_http/requests.h"

namespace orv {

WpsEntry DecideWpsEntry(const SessionRecord& session) {
  if (session.apCount == 0) return WpsEntry::AskRescan;
  return session.wpsAck == 0 ? WpsEntry::Start : WpsEntry::KeepResult;
}

std::string_view to_string(WpsEvent event) {
  switch (event) {
    case WpsEvent::Idle:
      return "idle";
    case WpsEvent::Running:
      return "running";
    case WpsEvent::StartFailed:
      return "start-failed";
    case WpsEvent::Succeeded:
      return "succeeded";
    case WpsEvent::Failed:
      return "failed";
    case WpsEvent::Unfinished:
      return "unfinished";
  }
  return "unknown";
}

std::string_view to_string(WpsAction action) {
  switch (action) {
    case WpsAction::None:
      return "none";
    case WpsAction::Poll:
      return "poll";
    case WpsAction::Restart:
      return "restart";
    case WpsAction::Finish:
      return "finish";
  }
  return "unknown";
}

int SendWpsStart(SessionRecord& session) {
  return WpsRequest(session, kActRead, 0);
}

int SendWpsPoll(SessionRecord& session) {
  return WpsRequest(session, kActQuery, kPageNetwork);
}

WpsAnswer RunWpsRequest(const std::function<int(SessionRecord&)>& request, SessionRecord copy) {
  WpsAnswer answer;
  answer.result = request ? request(copy) : Ok;
  answer.wpsStatus = copy.wpsStatus;
  answer.wpsAck = copy.wpsAck;
  return answer;
}

void WpsSession::Begin() {
  m_counter = 0;
  m_starts = 1;
  m_polls = 0;
  m_lastStartResult = Ok;
  m_running = true;
}

WpsEvent WpsSession::ApplyStart(int result) {
  m_lastStartResult = result;
  if (!m_running) return WpsEvent::Idle;
  if (result != Ok) {
    m_running = false;
    return WpsEvent::StartFailed;
  }
  return WpsEvent::Running;
}

WpsAction WpsSession::Tick() {
  if (!m_running) return WpsAction::None;
  m_counter += kStep;
  if (m_counter < kFirstPoll) return WpsAction::None;
  if (m_counter < kEnd) {
    ++m_polls;
    return WpsAction::Poll;
  }
  return WpsAction::Finish;
}

WpsAction WpsSession::ApplyPoll(SessionRecord& session, const WpsAnswer& answer) {
  if (!m_running) return WpsAction::None;
  // A failed poll leaves the last state; the session runs on.
  if (answer.result == Ok) {
    session.wpsStatus = answer.wpsStatus;
    session.wpsAck = answer.wpsAck;
  }
  const int status = session.wpsStatus;
  const int ack = session.wpsAck;
  if (status == 0 && ack == 0) {
    if (m_counter >= kRestartFirst && m_counter <= kRestartLast) {
      ++m_starts;
      return WpsAction::Restart;
    }
  } else if (status == 0 && ack == 1) {
    m_counter = kAcknowledged;
  }
  return m_counter < kEnd ? WpsAction::None : WpsAction::Finish;
}

void WpsSession::ApplyRestart(int result) {
  m_lastStartResult = result;
}

WpsEvent WpsSession::Finish(const SessionRecord& session) {
  if (!m_running) return WpsEvent::Idle;
  m_running = false;
  if (session.wpsStatus == 0 && session.wpsAck == 0) return WpsEvent::Failed;
  if (session.wpsStatus == 0 && session.wpsAck == 1) return WpsEvent::Succeeded;
  return WpsEvent::Unfinished;
}

WpsEvent RunWpsBlocking(WpsSession& wps, SessionRecord& session,
                        const std::function<int(SessionRecord&)>& start,
                        const std::function<int(SessionRecord&)>& poll,
                        const std::function<void()>& wait) {
  wps.Begin();
  if (wps.ApplyStart(RunWpsRequest(start, session).result) == WpsEvent::StartFailed)
    return WpsEvent::StartFailed;
  while (wps.running()) {
    if (wait) wait();
    WpsAction action = wps.Tick();
    if (action == WpsAction::Poll) action = wps.ApplyPoll(session, RunWpsRequest(poll, session));
    if (action == WpsAction::Restart) {
      wps.ApplyRestart(RunWpsRequest(start, session).result);
      action = WpsAction::None;
    }
    if (action == WpsAction::Finish) return wps.Finish(session);
  }
  return WpsEvent::Idle;
}

}  // namespace orv
