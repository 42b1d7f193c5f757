#include "gui/pages/sub_wps.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/navigation.h"
#include "core/camera_http/requests.h"
#include "core/model/session_record.h"
#include "gui/frame/pack_text.h"
#include "gui/widgets/link_art.h"
#include "gui/widgets/xbutton_xp.h"

namespace orv::gui {

CSubWPS::CSubWPS(QWidget* parent)
    : CSubPage(parent),
      m_picture(new art::CArtView(this)),
      m_note(new QLabel(this)),
      m_progress(new QProgressBar(this)),
      m_start(new QPushButton(QStringLiteral("Start"), this)),
      m_startRequest(&SendWpsStart),
      m_pollRequest(&SendWpsPoll) {
  setObjectName(QStringLiteral("CSubWPS"));
  PaintWhite();
  m_frame = BuildPageFrame(this, titleLine(), true, true);
  m_picture->SetPicture(art::Picture::DiagramWireless);
  m_note->setWordWrap(true);
  m_note->setTextFormat(Qt::PlainText);
  m_progress->setRange(0, WpsSession::kProgressMax);
  m_progress->setValue(0);
  m_progress->setTextVisible(false);
  m_progress->setAccessibleName(QStringLiteral("WPS"));
  m_progress->hide();
  // Kept for keyboard-free restarts by code; never shown.
  m_start->setAccessibleName(m_start->text());
  m_start->hide();
  m_frame.body->addWidget(m_note);
  m_frame.body->addWidget(m_picture, 0, Qt::AlignLeft | Qt::AlignTop);
  m_frame.body->addWidget(m_progress);
  m_frame.body->addStretch(1);

  m_timer.setInterval(WpsSession::kTickMs);
  connect(&m_timer, &QTimer::timeout, this, &CSubWPS::OnTimer2);
  connect(m_start, &QPushButton::clicked, this, &CSubWPS::StartWps);
  connect(m_frame.back, &QPushButton::clicked, this, [this] { PostStep(nav::kWpsBack); });
  connect(m_frame.next, &QPushButton::clicked, this, [this] { PostStep(nav::kWpsNext); });
}

void CSubWPS::LoadTexts(const i18n::LanguagePack& pack) {
  SetTitle(PackText(pack, "WPSPage", "TitleWPS"));
  SetCaption(m_start, PackTextOr(pack, "WPSPage", "BtnStart", QStringLiteral("Start")));
  m_frame.back->SetText(PackText(pack, "Common", "BtnBack"));
  m_frame.next->SetText(PackText(pack, "Common", "BtnNext"));
  m_note->setText(PackText(pack, "WPSPage", "Note"));
  m_note->setAccessibleName(m_note->text());
  m_progress->setAccessibleName(PackText(pack, "WPSPage", "TitleWPS"));
  for (int i = 0; i < 4; ++i)
    m_messages[i] = PackText(pack, "WPSPage", "Message" + std::to_string(i + 1));
}

void CSubWPS::SetRequests(Request start, Request poll) {
  m_startRequest = std::move(start);
  m_pollRequest = std::move(poll);
}

void CSubWPS::Prepare() {
  const SessionRecord* s = session();
  if (s == nullptr) return;
  switch (DecideWpsEntry(*s)) {
    case WpsEntry::AskRescan:
      m_progress->hide();
      m_start->setEnabled(false);
      m_frame.back->setEnabled(true);
      if (Message(MessageIcon::Information, QString(), m_messages[0], MessageButtons::YesNo) ==
          MessageAnswer::Yes)
        PostStep(nav::kRescan);
      break;
    case WpsEntry::Start:
      StartWps();
      break;
    case WpsEntry::KeepResult:
      break;  // an earlier success stands; nothing is started again
  }
}

void CSubWPS::StartWps() {
  if (session() == nullptr || m_wps.running()) return;
  m_progress->setValue(0);
  m_progress->show();
  m_wps.Begin();
  m_timer.start();  // the period set at construction (lab walks shorten it)
  m_frame.back->setEnabled(false);
  m_frame.next->setEnabled(false);
  m_start->setEnabled(false);
  Send(m_startRequest, [this](const WpsAnswer& answer) {
    if (m_wps.ApplyStart(answer.result) != WpsEvent::StartFailed) return;
    m_timer.stop();
    m_progress->hide();
    m_frame.back->setEnabled(true);
    Message(MessageIcon::Stop, QString(), m_messages[3]);
  });
}

void CSubWPS::OnTimer2() {
  // A stopped timer's late tick, or a request still under way: nothing to do on this tick.
  if (!m_timer.isActive() || m_inFlight || session() == nullptr) return;
  const WpsAction action = m_wps.Tick();
  m_progress->setValue(std::min(m_wps.counter(), WpsSession::kProgressMax));
  if (action == WpsAction::Poll) {
    Send(m_pollRequest, [this](const WpsAnswer& answer) { OnPollAnswer(answer); });
  } else if (action == WpsAction::Finish) {
    End();
  }
}

void CSubWPS::OnPollAnswer(const WpsAnswer& answer) {
  if (!m_wps.running() || session() == nullptr) return;
  const WpsAction action = m_wps.ApplyPoll(*session(), answer);
  m_progress->setValue(std::min(m_wps.counter(), WpsSession::kProgressMax));
  if (action == WpsAction::Restart) {
    Send(m_startRequest, [this](const WpsAnswer& a) { m_wps.ApplyRestart(a.result); });
  } else if (action == WpsAction::Finish) {
    End();
  }
}

void CSubWPS::End() {
  // Stopped before any box opens: no tick can arrive while it is shown.
  m_timer.stop();
  const WpsEvent event = m_wps.Finish(*session());
  if (event == WpsEvent::Idle) return;
  m_frame.back->setEnabled(true);
  m_start->setEnabled(true);
  m_progress->hide();
  if (event == WpsEvent::Succeeded) {
    m_frame.next->setEnabled(true);
    Message(MessageIcon::Information, QString(), m_messages[2]);
  } else {
    // No session, or one still running at the end: either way the camera has not joined.
    m_frame.next->setEnabled(false);
    Message(MessageIcon::Warning, QString(), m_messages[1]);
  }
}

void CSubWPS::Send(const Request& request, std::function<void(const WpsAnswer&)> then) {
  SessionRecord* s = session();
  if (s == nullptr) return;
  m_inFlight = true;
  const bool started = RunPageWork([this, request, copy = *s, then]() -> std::function<void()> {
    const WpsAnswer answer = RunWpsRequest(request, copy);
    return [this, answer, then] {
      m_inFlight = false;
      then(answer);
    };
  });
  if (!started) {
    // The window is busy or closing: the request counts as failed (the last state stands).
    m_inFlight = false;
    then(WpsAnswer{ErrConnect, s->wpsStatus, s->wpsAck});
  }
}

void CSubWPS::Leave() {
  m_timer.stop();
  m_inFlight = false;  // an answer still under way is dropped
  if (m_wps.running()) {
    m_wps = WpsSession();
    m_progress->hide();
    m_frame.back->setEnabled(true);
  }
}

}  // namespace orv::gui
