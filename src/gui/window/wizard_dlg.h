#pragma once
// The main window: owns the session record, the page area with all 20 pages, the wait window, the
// camera steps with their timers, the temporary addresses and the language; runs the start-up
// sequence and the step engine that every page posts to.

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/app/startup_facts.h"
#include "core/discovery/plipf.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/platform/single_instance.h"
#include "gui/frame/sub_page.h"
#include "gui/frame/ui_services.h"
#include "gui/window/camera_steps.h"
#include "gui/window/camera_work.h"
#include "gui/window/language_switch.h"
#include "gui/window/page_table.h"

namespace orv {
class HostNetwork;
class TemporaryAddressOwner;
}  // namespace orv

namespace orv::gui {

class CSubFormCollection;
class CSubWait;

// Everything the main window takes from outside; tests fill it with fakes.
struct WizardEnvironment {
  UiServices services;  // every service is required (the window refuses to be made without)
  std::shared_ptr<HostNetwork> net;                  // null: no adapter facts are read
  std::shared_ptr<TemporaryAddressOwner> addresses;  // removed first at shut-down; may be null
  std::unique_ptr<SingleInstance> instance;          // null: no single-instance check
  PhoneBookReader phoneBook;
  // The reachability probe, off the user-interface thread; gives up when the flag is cleared.
  std::function<bool(const ConnectFlag&)> probe;
  std::string programFolder;  // holds Language/ and defaultlang.ini
  std::string languageAbbreviation;
  std::string linkServerHost;  // non-empty: "Search Intranet" on the home page
  int timerScale = 1;          // lab walks only: every timer period divided by this
  // The re-find engine, made at the first re-find poll; null: nothing is ever found again.
  std::function<std::unique_ptr<CPLipf>()> makeFinder;
  CameraWork work;
};

class CWizardDlg : public QMainWindow, public StepSink, private CameraStepHost {
  Q_OBJECT
 public:
  static constexpr int kMaxLanguageAsks = LanguageSwitch::kMaxAsks;

  explicit CWizardDlg(WizardEnvironment env, QWidget* parent = nullptr);
  ~CWizardDlg() override;

  // The start-up sequence. False when the program is to end at once (another copy runs).
  bool Start();

  // StepSink.
  void PostStep(int code) override;
  void SendSubnetStep(std::function<void()> then) override;
  bool BeginPageWork() override;
  void EndPageWork() override;
  bool Closing() const override { return m_closing; }
  ConnectFlag ConnectAllowed() const override { return m_session.connectAllowed; }

  // The step engine; codes it does not know do nothing.
  void OnStep(int code);
  // A tick of the worker poll or the re-find timer; tests call it directly.
  void OnTimer(WindowTimer timer) { m_steps->OnTimer(timer); }

  // Lets a pending connect give up, closes the temporary-address list (removing every address and
  // refusing later adds), stops the timers and tells the shown page it was left.
  void Shutdown();

  // For tests and the program's own screenshot.
  SessionRecord& session() { return m_session; }
  CSubFormCollection* pageArea() const { return m_pageArea; }
  CSubPage* page(int index) const;
  CSubWait* waitWindow() const { return m_wait; }
  CameraJobs& jobs() { return m_steps->jobs(); }
  bool timerActive(WindowTimer timer) const { return m_steps->timerActive(timer); }
  int timerInterval(WindowTimer timer) const { return m_steps->timerInterval(timer); }
  bool busy() const { return m_busy; }
  const std::string& langFilePath() const { return m_language.filePath(); }
  const i18n::LanguagePack& pack() const override { return m_language.pack(); }
  QString message(int n) const override { return m_messages.at(static_cast<std::size_t>(n - 1)); }
  QString note(int n) const override { return m_notes.at(static_cast<std::size_t>(n - 1)); }

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  // CameraStepHost.
  QWidget* HostWindow() override { return this; }
  void SaySubnetResult(const EnsureResult& result) override;
  void SetBusy(bool busy) override;
  void DisablePageArea() override;
  MessageAnswer Say(MessageIcon icon, const QString& caption, const QString& text) override;
  void RunCall(CallRunner::Work work) override;
  void ShowFoundCamera(const CameraEntry& row) override;

  void LoadAllTexts();
  void LoadOwnTexts();
  void ChangeLanguage();

  WizardEnvironment m_env;
  CSubFormCollection* m_pageArea = nullptr;
  PageTable m_pages;
  CSubWait* m_wait = nullptr;
  SessionRecord m_session;
  std::unique_ptr<CameraSteps> m_steps;
  LanguageSwitch m_language;
  std::array<QString, 10> m_messages;
  std::array<QString, 4> m_notes;
  bool m_busy = false;
  bool m_closing = false;
  QPointer<QWidget> m_focusBeforeBusy;  // where the keyboard was when the page area was disabled
};

}  // namespace orv::gui
