#pragma once
// The camera work the step engine starts: step 18 (log in, then the read job), step 19 (the save
// job) and step 22 (the access-point rescan), and after a save the re-find of the camera at its
// new address. The jobs run on worker threads; the worker-poll timer watches them with the wait
// window's bar, the re-find timer looks for the camera again.

#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/app/worker_poll.h"
#include "core/discovery/plipf.h"
#include "core/model/session_record.h"
#include "gui/frame/ui_services.h"
#include "gui/window/camera_work.h"

namespace orv::i18n {
class LanguagePack;
}

namespace orv::gui {

class CSubWait;

enum class WindowTimer {
  WorkerPoll,  // watches a read or save job: 300 ms while reading, 800 ms while saving
  Refind,      // looks for the camera after a save, every 1200 ms
};

// A period of the product's timers, shortened by the lab walks' timer scale.
int ScaledPeriod(int periodMs, int timerScale);

// What the steps need of the main window.
class CameraStepHost {
 public:
  virtual ~CameraStepHost() = default;
  virtual QWidget* HostWindow() = 0;  // the parent of message boxes and dialogs
  virtual void SetBusy(bool busy) = 0;
  virtual void DisablePageArea() = 0;
  virtual bool Closing() const = 0;
  virtual MessageAnswer Say(MessageIcon icon, const QString& caption, const QString& text) = 0;
  // The subnet step's message box, if it asks for one.
  virtual void SaySubnetResult(const EnsureResult& result) = 0;
  // A blocking call off the user-interface thread; its continuation runs only while not closing.
  virtual void RunCall(CallRunner::Work work) = 0;
  virtual void PostStep(int code) = 0;
  virtual QString message(int n) const = 0;  // WizardDlg/MessageN
  virtual QString note(int n) const = 0;     // WaitDlg/noteN
  virtual const i18n::LanguagePack& pack() const = 0;
  // The camera found again after a save, for the finish page.
  virtual void ShowFoundCamera(const CameraEntry& row) = 0;
};

class CameraSteps {
 public:
  static constexpr int kReadPeriodMs = 300;
  static constexpr int kSavePeriodMs = 800;
  static constexpr int kRefindPeriodMs = 1200;

  // makeFinder makes the re-find engine at the first re-find poll; null: nothing is found again.
  CameraSteps(CameraStepHost& host, SessionRecord& session, CSubWait& wait, DialogRunner& dialogs,
              CameraWork work, std::function<std::unique_ptr<CPLipf>()> makeFinder, int timerScale);

  void StepRead();
  void StepSave();
  void StepScan();
  // A tick of either timer; tests call it directly.
  void OnTimer(WindowTimer timer);
  // Shut-down: neither timer ticks again.
  void Stop();

  CameraJobs& jobs() { return m_jobs; }
  bool timerActive(WindowTimer timer) const { return Timer(timer).isActive(); }
  int timerInterval(WindowTimer timer) const { return Timer(timer).interval(); }

 private:
  const QTimer& Timer(WindowTimer timer) const {
    return timer == WindowTimer::WorkerPoll ? m_workerPoll : m_refindPoll;
  }
  void StartTimer(QTimer& timer, int periodMs);
  void AfterSystemRead(int result);
  void StartReadJob();
  void OnWorkerTick();
  void OnRefindTick();
  void EndJob();

  CameraStepHost& m_host;
  SessionRecord& m_session;
  CSubWait& m_wait;
  DialogRunner& m_dialogs;
  CameraWork m_work;
  std::function<std::unique_ptr<CPLipf>()> m_makeFinder;
  int m_timerScale;
  CameraJobs m_jobs;
  std::unique_ptr<CPLipf> m_finder;
  QTimer m_workerPoll;
  QTimer m_refindPoll;
  bool m_readMode = true;  // the job the worker poll watches
};

}  // namespace orv::gui
