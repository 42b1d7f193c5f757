#pragma once
// The main window: owns the session record, the page area with all 20 pages, the wait window, the
// camera jobs with their two timers, the re-find engine, the temporary addresses and the language
// dialog; runs the start-up sequence and the step engine that every page posts to.

#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "core/app/startup_facts.h"
#include "core/app/worker_poll.h"
#include "core/discovery/plipf.h"
#include "core/i18n/language_pack.h"
#include "core/model/session_record.h"
#include "core/platform/single_instance.h"
#include "gui/app/camera_work.h"
#include "gui/app/sub_page.h"
#include "gui/app/ui_services.h"

namespace orv {
class HostNetwork;
class TemporaryAddressOwner;
}  // namespace orv

namespace orv::gui {

class CSubFormCollection;
class CSubWait;
class CDlgLanguage;
class CSubFirst;
class CSubLogin;
class CSubLinkSer;
class CSubAPScan;
class CSubWizardIP;
class CSubSetupFinish;

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

class CWizardDlg : public QMainWindow, public StepSink {
  Q_OBJECT
 public:
  static constexpr int kWorkerTimer = 3;
  static constexpr int kRefindTimer = 4;
  static constexpr int kReadPeriodMs = 300;
  static constexpr int kSavePeriodMs = 800;
  static constexpr int kRefindPeriodMs = 1200;
  static constexpr int kMaxLanguageAsks = 3;

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
  // Timer 3 (worker poll) and timer 4 (re-find); tests call them directly.
  void OnTimer(int id);

  // Lets a pending connect give up, closes the temporary-address list (removing every address and
  // refusing later adds), stops the timers and tells the shown page it was left.
  void Shutdown();

  // For tests and the program's own screenshot.
  SessionRecord& session() { return m_session; }
  CSubFormCollection* pageArea() const { return m_pageArea; }
  CSubPage* page(int index) const;
  CSubWait* waitWindow() const { return m_wait; }
  CameraJobs& jobs() { return m_jobs; }
  bool timerActive(int id) const;
  int timerInterval(int id) const;
  bool busy() const { return m_busy; }
  const std::string& langFilePath() const { return m_langFilePath; }
  const i18n::LanguagePack& pack() const { return m_pack; }
  // The subnet step's message box, if it asks for one.
  void SaySubnetResult(const EnsureResult& result);
  QString message(int n) const { return m_messages.at(static_cast<std::size_t>(n - 1)); }
  QString note(int n) const { return m_notes.at(static_cast<std::size_t>(n - 1)); }

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void CreatePages();
  void LoadAllTexts();
  void LoadOwnTexts();
  void ResolveLanguage();
  std::string AskLanguage(bool remember);
  bool PackFileExists(const std::string& fileName) const;
  void UseLanguage(const std::string& fileName);
  void ChangeLanguage();

  void SetBusy(bool busy);
  MessageAnswer Say(MessageIcon icon, const QString& caption, const QString& text);
  // A period of the product's timers, shortened by the lab walks' timer scale.
  int ScaledPeriod(int periodMs) const;
  void StartTimer(QTimer& timer, int periodMs);
  // A blocking call off this thread; its continuation runs only while the window is not closing.
  void RunCall(CallRunner::Work work);

  void StepRead();
  void AfterSystemRead(int result);
  void StartReadJob();
  void StepSave();
  void StepScan();
  void OnWorkerTick();
  void OnRefindTick();
  void EndJob();

  WizardEnvironment m_env;
  CSubFormCollection* m_pageArea = nullptr;
  CSubFirst* m_first = nullptr;
  CSubLogin* m_login = nullptr;
  CSubLinkSer* m_linkSer = nullptr;
  CSubAPScan* m_apScan = nullptr;
  CSubWizardIP* m_wizardIp = nullptr;
  CSubSetupFinish* m_finish = nullptr;
  CSubWait* m_wait = nullptr;
  SessionRecord m_session;
  CameraJobs m_jobs;
  std::unique_ptr<CPLipf> m_finder;
  QTimer m_timer3;
  QTimer m_timer4;
  std::string m_langFileName;
  std::string m_langFilePath;
  i18n::LanguagePack m_pack;
  CDlgLanguage* m_languageDialog = nullptr;
  std::array<QString, 10> m_messages;
  std::array<QString, 4> m_notes;
  bool m_busy = false;
  bool m_closing = false;
  bool m_readMode = true;  // the job timer 3 watches
};

}  // namespace orv::gui
