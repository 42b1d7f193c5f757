#include "core/app/wps_session.h"

#include <utility>

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

WpsSession::WpsSession()
    : WpsSession([](SessionRecord& s) { return WpsRequest(s, kActRead, 0); },
                 [](SessionRecord& s) { return WpsRequest(s, kActQuery, kPageNetwork); }) {}

WpsSession::WpsSession(Request start, Request poll)
    : m_start(std::move(start)), m_poll(std::move(poll)) {}

WpsEvent WpsSession::Start(SessionRecord& session) {
  m_counter = 0;
  m_starts = 0;
  m_polls = 0;
  m_running = true;
  ++m_starts;
  m_lastStartResult = m_start ? m_start(session) : Ok;
  if (m_lastStartResult != Ok) {
    m_running = false;
    return WpsEvent::StartFailed;
  }
  return WpsEvent::Running;
}

WpsEvent WpsSession::Tick(SessionRecord& session) {
  if (!m_running) return WpsEvent::Idle;
  m_counter += kStep;
  if (m_counter < kFirstPoll) return WpsEvent::Running;
  if (m_counter < kEnd) {
    ++m_polls;
    if (m_poll) m_poll(session);  // a failed poll leaves the last state; the session runs on
    const int status = session.wpsStatus;
    const int ack = session.wpsAck;
    if (status == 0 && ack == 0) {
      if (m_counter >= kRestartFirst && m_counter <= kRestartLast) {
        ++m_starts;
        m_lastStartResult = m_start ? m_start(session) : Ok;
      }
    } else if (status == 0 && ack == 1) {
      m_counter = kAcknowledged;
    }
  }
  if (m_counter < kEnd) return WpsEvent::Running;
  return Finish(session);
}

WpsEvent WpsSession::Finish(const SessionRecord& session) {
  m_running = false;
  if (session.wpsStatus == 0 && session.wpsAck == 0) return WpsEvent::Failed;
  if (session.wpsStatus == 0 && session.wpsAck == 1) return WpsEvent::Succeeded;
  return WpsEvent::Unfinished;
}

}  // namespace orv
