#include "gui/window/camera_steps.h"

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/app/credential_text.h"
#include "core/app/navigation.h"
#include "core/app/refind.h"
#include "core/app/session_rules.h"
#include "gui/dialogs/sub_wait.h"
#include "gui/frame/ui_services.h"

namespace orv::gui {
namespace {

void ForgetNatStatus(SessionRecord& s) {
  s.sys.NATStat = 0;
  s.sys.ExtIPAddr = "";
  s.sys.ExtHttpPort = 0;
}

// A job whose procedure was never given ends at once, failed.
JobProcedure OrFailing(const JobProcedure& procedure) {
  return procedure ? procedure : JobProcedure([](WorkerJob& j) {
    j.done = 1;
    j.ok = 0;
  });
}

}  // namespace

int ScaledPeriod(int periodMs, int timerScale) {
  return std::max(1, periodMs / std::max(1, timerScale));
}

CameraSteps::CameraSteps(CameraStepHost& host, SessionRecord& session, CSubWait& wait,
                         DialogRunner& dialogs, CameraWork work,
                         std::function<std::unique_ptr<CPLipf>()> makeFinder, int timerScale)
    : m_host(host),
      m_session(session),
      m_wait(wait),
      m_dialogs(dialogs),
      m_work(std::move(work)),
      m_makeFinder(std::move(makeFinder)),
      m_timerScale(timerScale) {
  m_workerPoll.setTimerType(Qt::PreciseTimer);
  m_refindPoll.setTimerType(Qt::PreciseTimer);
  QObject::connect(&m_workerPoll, &QTimer::timeout, [this] { OnTimer(WindowTimer::WorkerPoll); });
  QObject::connect(&m_refindPoll, &QTimer::timeout, [this] { OnTimer(WindowTimer::Refind); });
}

void CameraSteps::StartTimer(QTimer& timer, int periodMs) {
  timer.start(ScaledPeriod(periodMs, m_timerScale));
}

void CameraSteps::Stop() {
  m_workerPoll.stop();
  m_refindPoll.stop();
}

// ---- Step 18: log in and read

void CameraSteps::StepRead() {
  m_host.SetBusy(true);
  m_readMode = true;
  m_jobs.ForgetAdopted();
  ForgetCameraFacts(m_session);
  m_session.userName = "";
  m_session.password = "";
  auto ensure = m_work.ensureSubnet;
  auto systemRead = m_work.systemRead;
  SessionRecord copy = m_session;
  m_host.RunCall([this, ensure, systemRead, copy]() mutable -> CallRunner::Continuation {
    EnsureResult subnet;
    if (ensure) subnet = ensure(copy);
    const int result = systemRead ? systemRead(copy) : 0;
    return [this, copy, result, subnet] {
      CopyCallFields(CallFields::CameraAnswer, copy, m_session);
      m_host.SaySubnetResult(subnet);
      if (m_host.Closing()) return;
      AfterSystemRead(result);
    };
  });
}

void CameraSteps::AfterSystemRead(int result) {
  if (result != ErrUnauthorized) {
    StartReadJob();
    return;
  }
  const RootLogin login = m_dialogs.RunRootLogin(m_host.HostWindow(), m_host.pack());
  if (m_host.Closing()) return;
  const std::optional<std::string> user = FitLocalText(login.userName.toStdString(), 63);
  const std::optional<std::string> password = FitLocalText(login.password.toStdString(), 63);
  if (!user || !password) {
    m_host.Say(MessageIcon::Stop, QString(), m_host.message(7));
    m_host.SetBusy(false);
    return;
  }
  m_session.userName = *user;
  m_session.password = *password;
  auto loginRead = m_work.loginRead;
  SessionRecord copy = m_session;
  m_host.RunCall([this, loginRead, copy]() mutable -> CallRunner::Continuation {
    const int code = loginRead ? loginRead(copy) : 0;
    return [this, copy, code] {
      CopyCallFields(CallFields::CameraAnswer, copy, m_session);
      if (code != 0) {
        m_host.Say(MessageIcon::Stop, QString(), m_host.message(7));
        m_host.SetBusy(false);
        return;
      }
      StartReadJob();
    };
  });
}

void CameraSteps::StartReadJob() {
  m_wait.SetRange(0, 1000);
  m_wait.SetPosition(0);
  m_wait.SetText(m_host.note(2));
  WorkerJob job;
  job.mode = kModeRead;
  job.session = m_session;
  m_jobs.Start(std::move(job), OrFailing(m_work.readJob));
  m_wait.show();
  StartTimer(m_workerPoll, kReadPeriodMs);
}

// ---- Step 19: save

void CameraSteps::StepSave() {
  m_host.SetBusy(true);
  m_readMode = false;
  m_wait.SetRange(0, 1000);
  m_wait.SetPosition(0);
  m_wait.SetText(m_host.note(3));
  WorkerJob job;
  job.mode = m_session.useWps == 1 ? kModeSaveWps : kModeSave;
  job.session = m_session;
  m_jobs.Start(std::move(job), OrFailing(m_work.saveJob));
  m_wait.show();
  StartTimer(m_workerPoll, kSavePeriodMs);
}

// ---- Step 22: access-point rescan

void CameraSteps::StepScan() {
  m_host.SetBusy(true);
  m_wait.SetPosition(0);
  m_wait.show();
  m_wait.SetPosition(60);
  m_jobs.SetAccessPoints({});
  auto scan = m_work.scan;
  SessionRecord copy = m_session;
  m_host.RunCall([this, scan, copy]() mutable -> CallRunner::Continuation {
    std::optional<std::vector<AccessPointEntry>> list;
    if (scan) list = scan(copy);
    return [this, copy, list = std::move(list)]() mutable {
      CopyCallFields(CallFields::AccessPointScan, copy, m_session);
      m_wait.SetPosition(80);
      m_jobs.SetAccessPoints(list ? std::move(*list) : std::vector<AccessPointEntry>{});
      m_host.SetBusy(false);
      if (const int target = RescanTarget(m_session); target != nav::kNoStep) {
        m_wait.SetPosition(100);
        m_wait.hide();
        m_host.PostStep(target);
        return;
      }
      m_wait.hide();
      m_host.Say(MessageIcon::Warning, QString(), m_host.message(2));
    };
  });
}

// ---- Timers

void CameraSteps::OnTimer(WindowTimer timer) {
  // A tick of a timer that has been stopped (one already on its way) has nothing to watch.
  if (m_host.Closing()) return;
  if (timer == WindowTimer::WorkerPoll && m_workerPoll.isActive()) OnWorkerTick();
  if (timer == WindowTimer::Refind && m_refindPoll.isActive()) OnRefindTick();
}

void CameraSteps::EndJob() {
  m_workerPoll.stop();
  m_wait.hide();
  m_host.SetBusy(false);
}

void CameraSteps::OnWorkerTick() {
  int position = m_wait.position();
  const WorkerPoll poll = m_jobs.Poll(position, m_session);
  m_wait.SetPosition(position);
  switch (poll) {
    case WorkerPoll::Waiting:
      return;
    case WorkerPoll::TimedOut:
      EndJob();
      m_host.Say(MessageIcon::Warning, m_readMode ? ProductCaption() : QString(),
                 m_host.message(2));
      return;
    case WorkerPoll::ReadOk:
      EndJob();
      m_host.PostStep(StepAfterRead(m_session));
      return;
    case WorkerPoll::ReadFailed: {
      EndJob();
      const ReadFailureMessage failure = ReadFailure(m_jobs.lastError());
      m_host.Say(failure.stopIcon ? MessageIcon::Stop : MessageIcon::Warning, QString(),
                 m_host.message(failure.message));
      return;
    }
    case WorkerPoll::SaveOk: {
      m_workerPoll.stop();
      m_wait.hide();
      const SaveOutcome outcome = AfterSave(m_session);
      m_host.Say(MessageIcon::Information, QString(), m_host.message(outcome.message));
      if (m_host.Closing()) return;
      if (outcome.refind) {
        m_wait.SetPosition(0);
        m_wait.SetText(m_host.note(4));
        m_wait.show();
        StartTimer(m_refindPoll, kRefindPeriodMs);
        return;  // the page area stays disabled until the re-find ends
      }
      m_host.SetBusy(false);
      m_host.PostStep(nav::kStepHome);
      return;
    }
    case WorkerPoll::SaveFailed:
    case WorkerPoll::Idle:
      // A job whose thread cannot be looked at has failed too: the window must not stay disabled.
      EndJob();
      m_host.Say(MessageIcon::Warning, QString(), m_host.message(2));
      return;
  }
}

void CameraSteps::OnRefindTick() {
  m_host.DisablePageArea();
  const int p = m_wait.position();
  m_wait.SetPosition(p + 10);
  if (p >= 1000) {
    m_refindPoll.stop();
    m_host.Say(MessageIcon::Warning, QString(), m_host.message(5));
    if (m_host.Closing()) return;
    m_host.PostStep(nav::kStepHome);
    m_host.SetBusy(false);
    m_wait.hide();
    return;
  }
  if (p < 600) return;
  if (!m_finder && m_makeFinder) m_finder = m_makeFinder();
  if (!m_finder) return;
  const CameraEntry* rows = nullptr;
  int count = 0;
  int capacity = 0;
  if (m_finder->Collect(&rows, &count, &capacity, 1) != 1 || rows == nullptr || count <= 0) return;
  const std::optional<std::size_t> match =
      RefindCamera(m_session, std::span<const CameraEntry>(rows, static_cast<std::size_t>(count)));
  if (!match) return;
  m_refindPoll.stop();
  const CameraEntry row = rows[*match];
  auto ensure = m_work.ensureSubnet;
  auto readNat = m_work.readNat;
  SessionRecord copy = m_session;
  m_host.RunCall([this, ensure, readNat, copy, row]() mutable -> CallRunner::Continuation {
    if (ensure) ensure(copy);
    // The finish page shows this camera's status: a failed read must not leave another's.
    ForgetNatStatus(copy);
    if (readNat && readNat(copy) != 0) ForgetNatStatus(copy);
    return [this, copy, row] {
      CopyCallFields(CallFields::NatRead, copy, m_session);
      m_wait.hide();
      m_host.Say(MessageIcon::Information, QString(), m_host.message(6));
      if (m_host.Closing()) return;
      m_host.SetBusy(false);
      m_host.ShowFoundCamera(row);
      m_host.PostStep(nav::kStepFinish);
    };
  });
}

}  // namespace orv::gui
