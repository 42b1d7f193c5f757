#pragma once
// The WPS page: the camera joins a wireless network by push button. A 5-second timer drives the
// session; each request runs off the user-interface thread on a copy of the record, and ticks
// that come while one is under way are skipped.

#include <QTimer>
#include <functional>

#include "core/app/wps_session.h"
#include "gui/frame/page_frame.h"
#include "gui/frame/sub_page.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace orv::gui {

namespace art {
class CArtView;
}

class CSubWPS : public CSubPage {
  Q_OBJECT
 public:
  static constexpr int kTimerId = 2;
  using Request = std::function<int(SessionRecord&)>;

  explicit CSubWPS(QWidget* parent = nullptr);

  void LoadTexts(const i18n::LanguagePack& pack) override;
  // Entering the page (step 26): the rescan question, a new session, or the earlier success kept.
  void Prepare() override;

  // The start (act 1) and poll requests; tests put scripted ones here. Called off the
  // user-interface thread on a copy of the record.
  void SetRequests(Request start, Request poll);

  void StartWps();
  // The handler of timer 2 (tests drive it directly).
  void OnTimer2();

  QTimer& timer() { return m_timer; }
  const WpsSession& wps() const { return m_wps; }
  bool requestInFlight() const { return m_inFlight; }
  QProgressBar* progressBar() const { return m_progress; }
  QLabel* note() const { return m_note; }
  QPushButton* startButton() const { return m_start; }
  CXButtonXP* backButton() const { return m_frame.back; }
  CXButtonXP* nextButton() const { return m_frame.next; }

 protected:
  void Leave() override;

 private:
  // Sends request off the thread; then() gets its answer on the user-interface thread.
  void Send(const Request& request, std::function<void(const WpsAnswer&)> then);
  void OnPollAnswer(const WpsAnswer& answer);
  void End();

  PageFrame m_frame;
  art::CArtView* m_picture;
  QLabel* m_note;
  QProgressBar* m_progress;
  QPushButton* m_start;
  QTimer m_timer;
  WpsSession m_wps;
  bool m_inFlight = false;
  Request m_startRequest;
  Request m_pollRequest;
  QString m_messages[4];  // Message1 .. Message4
};

}  // namespace orv::gui
