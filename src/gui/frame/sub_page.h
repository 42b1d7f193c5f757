#pragma once
// The base of every wizard page. A page reads and writes the session record, asks the core to do
// work, and moves on only by posting a step code to its step sink (the main window). It never
// shows another page, opens a socket or sleeps.

#include <QWidget>
#include <cstdint>
#include <functional>

#include "core/model/connect_flag.h"
#include "gui/frame/ui_services.h"

class QAbstractButton;
class QAbstractItemView;
class QLabel;

namespace orv {
struct SessionRecord;
namespace i18n {
class LanguagePack;
}
}  // namespace orv

namespace orv::gui {

// Implemented by the main window.
class StepSink {
 public:
  virtual ~StepSink() = default;
  // Queued: the step runs after the caller's handler has returned.
  virtual void PostStep(int code) = 0;
  // Step 17 (an address in the camera's subnet, about 7 s when one has to be added): runs off the
  // user-interface thread while the page area is disabled; then() runs afterwards on the
  // user-interface thread, whatever the outcome (a message, if any, has been shown).
  virtual void SendSubnetStep(std::function<void()> then) = 0;
  // A page's own off-thread call (CSubPage::RunPageWork). Begin answers false while a job or
  // another call runs or the window is closing; otherwise the page area is disabled and the
  // window busy (no job step starts) until EndPageWork.
  virtual bool BeginPageWork() { return !Closing(); }
  virtual void EndPageWork() {}
  // True from the moment the window starts shutting down: late results are dropped.
  virtual bool Closing() const { return false; }
  // The window's connectAllowed flag, for a page's own network call (shared: cleared at shut-down).
  virtual ConnectFlag ConnectAllowed() const {
    ConnectFlag allowed;
    allowed.store(1);
    return allowed;
  }
};

class CSubPage : public QWidget {
  Q_OBJECT
 public:
  explicit CSubPage(QWidget* parent = nullptr);

  // Before the page is used; session is null for the link-server login page.
  void Wire(StepSink* sink, SessionRecord* session, UiServices* services);

  // Captions, labels and messages from the active pack (at start-up and after a language change).
  virtual void LoadTexts(const i18n::LanguagePack& pack) = 0;
  // Record -> controls, just before the step engine shows the page. Never writes the record by
  // accident (signals blocked while loading).
  virtual void Prepare() {}

  // The step engine (and shut-down) calls this when the page stops being shown, whatever made it
  // leave. Leave() runs, and results of off-thread calls started before are dropped from then on.
  void NotifyLeft();

  // The main window swallows Enter and Escape; a control marked here still gets Enter (a list
  // whose rows open with it, the keyboard user's double-click).
  static void LetEnterThrough(QWidget* control);
  static bool TakesEnter(const QWidget* control);
  // A list for the keyboard: the arrow keys select the row they land on, and Enter on a row does
  // what a double-click does (the list is let through and open runs).
  static void MakeKeyboardList(QAbstractItemView* list, std::function<void()> open);

  // Text that came from a camera, the link server or the network: shown as it stands, never
  // interpreted as rich text, never a clickable link.
  static void SetPlainText(QLabel* label, const QString& text);

 protected:
  // The page's timers stop here.
  virtual void Leave() {}

  // Runs work off the user-interface thread through the CallRunner. work must own everything it
  // touches (copies, shared_ptr), never a widget or the record; it returns the continuation that
  // runs on the user-interface thread. Meanwhile the page area is disabled and the window busy.
  // The continuation is dropped when the page was left or the window is closing. False (nothing
  // runs) when the window is busy or closing.
  using PageWork = std::function<std::function<void()>()>;
  bool RunPageWork(PageWork work);

  void PostStep(int code);
  StepSink* stepSink() const { return m_sink; }
  SessionRecord* session() const { return m_session; }
  UiServices& services() const { return *m_services; }
  // Shortcut for a message box through the Prompter.
  MessageAnswer Message(MessageIcon icon, const QString& caption, const QString& text,
                        MessageButtons buttons = MessageButtons::Ok);
  // A caption that is also the control's accessible name (screen readers and tests find it by it).
  static void SetCaption(QAbstractButton* button, const QString& text);
  // The templates' white page background, with dark text colours to match.
  void PaintWhite();
  // The page's title line ("Title..." keys): a large plain font.
  QLabel* titleLine() const { return m_title; }
  void SetTitle(const QString& text);

 private:
  StepSink* m_sink = nullptr;
  SessionRecord* m_session = nullptr;
  UiServices* m_services = nullptr;
  QLabel* m_title = nullptr;
  std::uint64_t m_visit = 0;  // counts the times the page was left
};

}  // namespace orv::gui
