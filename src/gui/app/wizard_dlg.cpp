#include "gui/app/wizard_dlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <span>
#include <stdexcept>

#include "core/app/credential_text.h"
#include "core/app/navigation.h"
#include "core/app/refind.h"
#include "core/app/session_rules.h"
#include "core/hostnet/temporary_address_owner.h"
#include "core/i18n/language_choice.h"
#include "gui/app/sub_form_collection.h"
#include "gui/app/sub_wait.h"
#include "gui/i18n/dlg_language.h"
#include "gui/i18n/pack_text.h"
#include "gui/pages/sub_ap_scan.h"
#include "gui/pages/sub_choose.h"
#include "gui/pages/sub_first.h"
#include "gui/pages/sub_lan_ip.h"
#include "gui/pages/sub_lan_isp.h"
#include "gui/pages/sub_link_ser.h"
#include "gui/pages/sub_login.h"
#include "gui/pages/sub_option.h"
#include "gui/pages/sub_pppoe.h"
#include "gui/pages/sub_search_net.h"
#include "gui/pages/sub_set_auto_param.h"
#include "gui/pages/sub_setup_finish.h"
#include "gui/pages/sub_show_pic.h"
#include "gui/pages/sub_system.h"
#include "gui/pages/sub_upnp.h"
#include "gui/pages/sub_wizard_ip.h"
#include "gui/pages/sub_wlan_ap.h"
#include "gui/pages/sub_wlan_ip.h"
#include "gui/pages/sub_wps.h"
#include "gui/pages/sub_wps_pic.h"

namespace orv::gui {
namespace {

const QString kCaption = QStringLiteral("Orvantis");
const QString kTemplateHelpMenu = QStringLiteral("&Help");
const QString kTemplateAboutItem = QStringLiteral("About Orvantis(&A)...");

// The seams every step needs; checked once, so no path below can find one missing.
const char* MissingService(const UiServices& services) {
  if (services.prompter == nullptr) return "prompter";
  if (services.dialogs == nullptr) return "dialogs";
  if (services.browser == nullptr) return "browser";
  if (services.clock == nullptr) return "clock";
  if (services.calls == nullptr) return "calls";
  return nullptr;
}

void ForgetNatStatus(SessionRecord& s) {
  s.sys.NATStat = 0;
  s.sys.ExtIPAddr = "";
  s.sys.ExtHttpPort = 0;
}

bool IsPackName(const QString& text) {
  return !text.trimmed().isEmpty() && !text.contains(QLatin1Char('/')) &&
         !text.contains(QLatin1Char('\\'));
}

}  // namespace

CWizardDlg::CWizardDlg(WizardEnvironment env, QWidget* parent)
    : QMainWindow(parent), m_env(std::move(env)) {
  if (const char* missing = MissingService(m_env.services))
    throw std::invalid_argument(std::string("CWizardDlg needs the ") + missing + " service");
  setWindowTitle(kCaption);
  setObjectName(QStringLiteral("CWizardDlg"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  m_pageArea = new CSubFormCollection(central);
  layout->addWidget(m_pageArea);
  setCentralWidget(central);

  QMenu* help = menuBar()->addMenu(kTemplateHelpMenu);
  help->setObjectName(QStringLiteral("helpMenu"));
  QAction* about = help->addAction(kTemplateAboutItem);
  about->setObjectName(QStringLiteral("aboutAction"));
  connect(about, &QAction::triggered, this, [this] { PostStep(nav::kStepAbout); });

  m_session.connectAllowed.store(1);
  CreatePages();
  m_wait = new CSubWait(this);
  m_wait->hide();
  m_languageDialog = new CDlgLanguage(m_env.programFolder, m_env.languageAbbreviation, this);
  m_languageDialog->hide();

  m_timer3.setTimerType(Qt::PreciseTimer);
  m_timer4.setTimerType(Qt::PreciseTimer);
  connect(&m_timer3, &QTimer::timeout, this, [this] { OnTimer(kWorkerTimer); });
  connect(&m_timer4, &QTimer::timeout, this, [this] { OnTimer(kRefindTimer); });
  // Enter and Escape reach no page and never close this window; other windows keep them.
  QCoreApplication::instance()->installEventFilter(this);
}

CWizardDlg::~CWizardDlg() {
  QCoreApplication::instance()->removeEventFilter(this);
  Shutdown();
}

void CWizardDlg::CreatePages() {
  m_first = new CSubFirst();
  m_login = new CSubLogin();
  m_linkSer = new CSubLinkSer();
  m_apScan = new CSubAPScan();
  m_wizardIp = new CSubWizardIP();
  m_finish = new CSubSetupFinish();
  CSubPage* pages[nav::kPageCount] = {m_first,
                                      new CSubSearchNet(),
                                      new CSubOption(),
                                      new CSubSystem(),
                                      new CSubShowPic(),
                                      new CSubLANISP(),
                                      new CSubLANIP(),
                                      new CSubWLANAP(),
                                      new CSubWLANIP(),
                                      new CSubUPnP(),
                                      m_apScan,
                                      new CSubWPS(),
                                      new CSubSetAutoParam(),
                                      new CSubWPSPic(),
                                      new CSubChoose(),
                                      new CSubPPPoE(),
                                      m_wizardIp,
                                      m_login,
                                      m_finish,
                                      m_linkSer};
  for (CSubPage* p : pages) m_pageArea->AddPage(p);
  m_wizardIp->SetHostNetwork(m_env.net);
}

CSubPage* CWizardDlg::page(int index) const {
  return m_pageArea->page(index);
}

bool CWizardDlg::Start() {
  m_session.userName = "";
  m_session.password = "";
  if (m_env.instance && m_env.instance->Acquire() == InstanceLock::AlreadyRunning) {
    // Nothing else of the start-up runs: no probe, no language question, no file written.
    Say(MessageIcon::Warning, kCaption, QStringLiteral("Orvantis is already running"));
    return false;
  }
  if (m_env.net) {
    ReadStartupFacts(*m_env.net, m_session, m_env.phoneBook);
  } else {
    m_session.extendedCgi = 0;
    ForgetCameraFacts(m_session);
    m_session.pcHasPpp = 0;
    m_session.pcHasLan = 0;
  }
  for (int i = 0; i < m_pageArea->count(); ++i) {
    CSubPage* p = m_pageArea->page(i);
    p->Wire(this, i == nav::kPageLinkServerLogin ? nullptr : &m_session, &m_env.services);
  }
  // Lab walks shorten the WPS page's poll as they shorten the window's own timers.
  if (auto* wps = qobject_cast<CSubWPS*>(m_pageArea->page(nav::kPageWps)))
    wps->timer().setInterval(ScaledPeriod(WpsSession::kTickMs));
  m_wait->SetRange(0, 1000);
  m_wait->SetPosition(0);
  m_wait->SetText(QStringLiteral("Please Wait for few second ...... "));

  // The probe may wait a few seconds for an unreachable host: it runs off the user-interface
  // thread and the home page is refreshed when it answers.
  m_session.internetReachable = 0;
  if (m_env.probe) {
    RunCall(
        [this, probe = m_env.probe, flag = m_session.connectAllowed]() -> CallRunner::Continuation {
          const bool reachable = probe(flag);
          return [this, reachable] {
            m_session.internetReachable = reachable ? 1 : 0;
            m_first->UpdateLinkInfo();
          };
        });
  }
  ResolveLanguage();
  LoadAllTexts();
  m_login->SetLinkServerHost(m_env.linkServerHost);
  m_first->SetLinkServerVisible(!m_env.linkServerHost.empty());
  m_first->UpdateLinkInfo();
  m_pageArea->ShowPage(nav::kPageHome);
  update();
  return true;
}

// ---- Language

bool CWizardDlg::PackFileExists(const std::string& fileName) const {
  if (fileName.empty() || fileName.find('/') != std::string::npos ||
      fileName.find('\\') != std::string::npos)
    return false;
  const i18n::LanguageChoice choice(m_env.programFolder);
  const QFileInfo info(QString::fromStdString(choice.LangFilePath(fileName)));
  return info.isFile();
}

void CWizardDlg::ResolveLanguage() {
  const i18n::LanguageChoice choice(m_env.programFolder);
  choice.EnsureDefaultLangFile();
  std::string fileName = choice.ReadLangFileName();
  // A stored name whose pack has gone would leave every text empty: ask as on a first start.
  if (!PackFileExists(fileName)) fileName = AskLanguage(true);
  UseLanguage(fileName);
}

// Asks until the answer names an existing pack (a bounded number of times). Without an answer the
// preselected pack serves this run and nothing is stored, so the next start asks again.
std::string CWizardDlg::AskLanguage(bool remember) {
  const i18n::LanguageChoice choice(m_env.programFolder);
  const std::vector<std::string> packs = choice.ListPacks();
  for (int attempt = 0; attempt < kMaxLanguageAsks; ++attempt) {
    const LanguageAnswer answer = m_env.services.dialogs->RunLanguage(this);
    if (!answer || !IsPackName(*answer)) continue;
    const std::string fileName = answer->toStdString() + std::string(i18n::kPackExtension);
    if (!PackFileExists(fileName)) continue;
    choice.StoreChoice(answer->toStdString());
    return fileName;
  }
  if (!remember || packs.empty()) return {};
  int index = i18n::PreselectPack(packs, m_env.languageAbbreviation);
  if (index < 0) index = 0;
  return packs[static_cast<std::size_t>(index)] + std::string(i18n::kPackExtension);
}

void CWizardDlg::UseLanguage(const std::string& fileName) {
  const i18n::LanguageChoice choice(m_env.programFolder);
  m_langFileName = fileName;
  m_langFilePath = choice.LangFilePath(fileName);
  m_pack = fileName.empty() ? i18n::LanguagePack() : i18n::LanguagePack(m_langFilePath);
}

void CWizardDlg::ChangeLanguage() {
  const std::string fileName = AskLanguage(false);
  if (fileName.empty()) return;  // closed without a pack: the active one stays
  UseLanguage(fileName);
  LoadAllTexts();
  m_first->UpdateLinkInfo();
  update();
}

void CWizardDlg::LoadAllTexts() {
  static constexpr int kOrder[] = {
      nav::kPageHome,           nav::kPageSearch,          nav::kPageLinkChoice,
      nav::kPageSetupType,      nav::kPageDiagram,         nav::kPageWizardAddress,
      nav::kPageUpnp,           nav::kPageLinkServerLogin, nav::kPagePppoe,
      nav::kPageFinish,         nav::kPageWpsDiagram,      nav::kPageWps,
      nav::kPageIspLink,        nav::kPageWiredAddress,    nav::kPageWirelessAddress,
      nav::kPageAccessPoint,    nav::kPageSystem,          nav::kPageApList,
      nav::kPageLinkServerList, nav::kPageSummary};
  for (int index : kOrder) m_pageArea->page(index)->LoadTexts(m_pack);
  LoadOwnTexts();
}

void CWizardDlg::LoadOwnTexts() {
  for (int i = 0; i < 10; ++i)
    m_messages[static_cast<std::size_t>(i)] =
        PackText(m_pack, "WizardDlg", "Message" + std::to_string(i + 1));
  for (int i = 0; i < 4; ++i)
    m_notes[static_cast<std::size_t>(i)] =
        PackText(m_pack, "WaitDlg", "note" + std::to_string(i + 1));
  m_env.services.prompter->SetButtonTexts(
      {PackText(m_pack, "Common", "BtnOK"), PackText(m_pack, "Common", "BtnCancel"),
       PackText(m_pack, "Common", "BtnYes"), PackText(m_pack, "Common", "BtnNo")});
  if (auto* help = findChild<QMenu*>(QStringLiteral("helpMenu"))) {
    help->setTitle(PackTextOr(m_pack, "WizardDlg", "MenuHelp", kTemplateHelpMenu));
    if (auto* about = help->findChild<QAction*>(QStringLiteral("aboutAction")))
      about->setText(PackTextOr(m_pack, "WizardDlg", "MenuAbout", kTemplateAboutItem));
  }
}

// ---- Step engine

void CWizardDlg::PostStep(int code) {
  QMetaObject::invokeMethod(
      this, [this, code] { OnStep(code); }, Qt::QueuedConnection);
}

void CWizardDlg::OnStep(int code) {
  if (m_closing || !nav::IsKnownStep(code)) return;
  // A job owns the record until it ends; a second click's step (or any other) waits for nothing.
  if (m_busy && code != nav::kStepAbout) return;
  switch (code) {
    case nav::kStepHome:
      nav::ResetForHome(m_session);
      break;
    case nav::kStepLinkServerList:
      m_linkSer->SetCameras(m_login->cameras());
      break;
    case nav::kStepSubnet:
      SendSubnetStep({});
      return;
    case nav::kStepRead:
      StepRead();
      return;
    case nav::kStepSave:
      StepSave();
      return;
    case nav::kStepApList:
      m_apScan->SetAccessPoints(m_jobs.accessPoints());
      break;
    case nav::kStepApScan:
      StepScan();
      return;
    case nav::kStepAbout:
      m_env.services.dialogs->RunAbout(this, m_pack);
      update();
      return;
    case nav::kStepWizardAddress:
      m_wizardIp->SetSuggestedAddresses(m_jobs.suggestedAddresses());
      break;
    case nav::kStepLanguage:
      ChangeLanguage();
      return;
    default:
      break;
  }
  const int index = nav::PageForStep(code);
  CSubPage* target = m_pageArea->page(index);
  if (target == nullptr) return;
  if (!nav::ShowsWithoutPrepare(code)) target->Prepare();
  m_pageArea->ShowPage(index);
}

void CWizardDlg::SetBusy(bool busy) {
  m_busy = busy;
  m_pageArea->setEnabled(!busy);
}

MessageAnswer CWizardDlg::Say(MessageIcon icon, const QString& caption, const QString& text) {
  MessageRequest request;
  request.icon = icon;
  request.caption = caption;
  request.text = text;
  return m_env.services.prompter->Show(this, request);
}

int CWizardDlg::ScaledPeriod(int periodMs) const {
  return std::max(1, periodMs / std::max(1, m_env.timerScale));
}

void CWizardDlg::StartTimer(QTimer& timer, int periodMs) {
  timer.start(ScaledPeriod(periodMs));
}

// Every call's continuation is dropped once the window is closing.
void CWizardDlg::RunCall(CallRunner::Work work) {
  m_env.services.calls->Run(this, [this, work = std::move(work)]() -> CallRunner::Continuation {
    CallRunner::Continuation then = work();
    return [this, then = std::move(then)] {
      if (!m_closing && then) then();
    };
  });
}

bool CWizardDlg::timerActive(int id) const {
  return id == kWorkerTimer ? m_timer3.isActive() : id == kRefindTimer && m_timer4.isActive();
}

int CWizardDlg::timerInterval(int id) const {
  return id == kWorkerTimer ? m_timer3.interval() : m_timer4.interval();
}

void CWizardDlg::SendSubnetStep(std::function<void()> then) {
  if (m_closing) return;
  const bool wasBusy = m_busy;
  SetBusy(true);
  auto ensure = m_env.work.ensureSubnet;
  const SessionRecord copy = m_session;
  auto work = [this, ensure, copy, wasBusy, then = std::move(then)]() -> CallRunner::Continuation {
    EnsureResult result;
    result.outcome = EnsureOutcome::AlreadyReachable;
    if (ensure) result = ensure(copy);
    return [this, result, wasBusy, then] {
      SetBusy(wasBusy);
      SaySubnetResult(result);
      if (m_closing) return;
      if (then) then();
    };
  };
  RunCall(std::move(work));
}

void CWizardDlg::SaySubnetResult(const EnsureResult& result) {
  // The helper's refusal says more than the plain "error" of a failed add.
  if (!result.refusal.empty()) {
    const int n = RefusalMessage(result.refusal);
    Say(MessageIcon::Warning, QString(),
        n == 9 ? message(9) : message(10) + "\n" + QString::fromStdString(result.refusal));
  } else if (!result.message.empty()) {
    Say(MessageIcon::None, QString(), QString::fromStdString(result.message));
  }
}

bool CWizardDlg::BeginPageWork() {
  if (m_closing || m_busy) return false;
  SetBusy(true);
  return true;
}

void CWizardDlg::EndPageWork() {
  if (!m_closing) SetBusy(false);
}

// ---- Step 18: log in and read

void CWizardDlg::StepRead() {
  SetBusy(true);
  m_readMode = true;
  m_jobs.ForgetAdopted();
  ForgetCameraFacts(m_session);
  m_session.userName = "";
  m_session.password = "";
  auto ensure = m_env.work.ensureSubnet;
  auto systemRead = m_env.work.systemRead;
  SessionRecord copy = m_session;
  RunCall([this, ensure, systemRead, copy]() mutable -> CallRunner::Continuation {
    EnsureResult subnet;
    if (ensure) subnet = ensure(copy);
    const int result = systemRead ? systemRead(copy) : 0;
    return [this, copy, result, subnet] {
      CopyCallFields(CallFields::CameraAnswer, copy, m_session);
      SaySubnetResult(subnet);
      if (m_closing) return;
      AfterSystemRead(result);
    };
  });
}

void CWizardDlg::AfterSystemRead(int result) {
  if (result != ErrUnauthorized) {
    StartReadJob();
    return;
  }
  const RootLogin login = m_env.services.dialogs->RunRootLogin(this, m_pack);
  if (m_closing) return;
  const std::optional<std::string> user = FitLocalText(login.userName.toStdString(), 63);
  const std::optional<std::string> password = FitLocalText(login.password.toStdString(), 63);
  if (!user || !password) {
    Say(MessageIcon::Stop, QString(), m_messages[6]);
    SetBusy(false);
    return;
  }
  m_session.userName = *user;
  m_session.password = *password;
  auto loginRead = m_env.work.loginRead;
  SessionRecord copy = m_session;
  RunCall([this, loginRead, copy]() mutable -> CallRunner::Continuation {
    const int code = loginRead ? loginRead(copy) : 0;
    return [this, copy, code] {
      CopyCallFields(CallFields::CameraAnswer, copy, m_session);
      if (code != 0) {
        Say(MessageIcon::Stop, QString(), m_messages[6]);
        SetBusy(false);
        return;
      }
      StartReadJob();
    };
  });
}

void CWizardDlg::StartReadJob() {
  m_wait->SetRange(0, 1000);
  m_wait->SetPosition(0);
  m_wait->SetText(m_notes[1]);
  WorkerJob job;
  job.mode = kModeRead;
  job.session = m_session;
  m_jobs.Start(std::move(job),
               m_env.work.readJob ? m_env.work.readJob : JobProcedure([](WorkerJob& j) {
                 j.done = 1;
                 j.ok = 0;
               }));
  m_wait->show();
  StartTimer(m_timer3, kReadPeriodMs);
}

// ---- Step 19: save

void CWizardDlg::StepSave() {
  SetBusy(true);
  m_readMode = false;
  m_wait->SetRange(0, 1000);
  m_wait->SetPosition(0);
  m_wait->SetText(m_notes[2]);
  WorkerJob job;
  job.mode = m_session.useWps == 1 ? kModeSaveWps : kModeSave;
  job.session = m_session;
  m_jobs.Start(std::move(job),
               m_env.work.saveJob ? m_env.work.saveJob : JobProcedure([](WorkerJob& j) {
                 j.done = 1;
                 j.ok = 0;
               }));
  m_wait->show();
  StartTimer(m_timer3, kSavePeriodMs);
}

// ---- Step 22: access-point rescan

void CWizardDlg::StepScan() {
  SetBusy(true);
  m_wait->SetPosition(0);
  m_wait->show();
  m_wait->SetPosition(60);
  m_jobs.SetAccessPoints({});
  auto scan = m_env.work.scan;
  SessionRecord copy = m_session;
  RunCall([this, scan, copy]() mutable -> CallRunner::Continuation {
    std::optional<std::vector<AccessPointEntry>> list;
    if (scan) list = scan(copy);
    return [this, copy, list = std::move(list)]() mutable {
      CopyCallFields(CallFields::AccessPointScan, copy, m_session);
      m_wait->SetPosition(80);
      m_jobs.SetAccessPoints(list ? std::move(*list) : std::vector<AccessPointEntry>{});
      SetBusy(false);
      if (const int target = RescanTarget(m_session); target != nav::kNoStep) {
        m_wait->SetPosition(100);
        m_wait->hide();
        PostStep(target);
        return;
      }
      m_wait->hide();
      Say(MessageIcon::Warning, QString(), m_messages[1]);
    };
  });
}

// ---- Timers

void CWizardDlg::OnTimer(int id) {
  // A tick of a timer that has been stopped (one already on its way) has nothing to watch.
  if (m_closing) return;
  if (id == kWorkerTimer && m_timer3.isActive()) OnWorkerTick();
  if (id == kRefindTimer && m_timer4.isActive()) OnRefindTick();
}

void CWizardDlg::EndJob() {
  m_timer3.stop();
  m_wait->hide();
  SetBusy(false);
}

void CWizardDlg::OnWorkerTick() {
  int position = m_wait->position();
  const WorkerPoll poll = m_jobs.Poll(position, m_session);
  m_wait->SetPosition(position);
  switch (poll) {
    case WorkerPoll::Waiting:
      return;
    case WorkerPoll::TimedOut:
      EndJob();
      Say(MessageIcon::Warning, m_readMode ? kCaption : QString(), m_messages[1]);
      return;
    case WorkerPoll::ReadOk:
      EndJob();
      PostStep(StepAfterRead(m_session));
      return;
    case WorkerPoll::ReadFailed: {
      EndJob();
      const ReadFailureMessage failure = ReadFailure(m_jobs.lastError());
      Say(failure.stopIcon ? MessageIcon::Stop : MessageIcon::Warning, QString(),
          message(failure.message));
      return;
    }
    case WorkerPoll::SaveOk: {
      m_timer3.stop();
      m_wait->hide();
      const SaveOutcome outcome = AfterSave(m_session);
      Say(MessageIcon::Information, QString(), message(outcome.message));
      if (m_closing) return;
      if (outcome.refind) {
        m_wait->SetPosition(0);
        m_wait->SetText(m_notes[3]);
        m_wait->show();
        StartTimer(m_timer4, kRefindPeriodMs);
        return;  // the page area stays disabled until the re-find ends
      }
      SetBusy(false);
      PostStep(nav::kStepHome);
      return;
    }
    case WorkerPoll::SaveFailed:
    case WorkerPoll::Idle:
      // A job whose thread cannot be looked at has failed too: the window must not stay disabled.
      EndJob();
      Say(MessageIcon::Warning, QString(), m_messages[1]);
      return;
  }
}

void CWizardDlg::OnRefindTick() {
  m_pageArea->setEnabled(false);
  const int p = m_wait->position();
  m_wait->SetPosition(p + 10);
  if (p >= 1000) {
    m_timer4.stop();
    Say(MessageIcon::Warning, QString(), m_messages[4]);
    if (m_closing) return;
    PostStep(nav::kStepHome);
    SetBusy(false);
    m_wait->hide();
    return;
  }
  if (p < 600) return;
  if (!m_finder && m_env.makeFinder) m_finder = m_env.makeFinder();
  if (!m_finder) return;
  const CameraEntry* rows = nullptr;
  int count = 0;
  int capacity = 0;
  if (m_finder->Collect(&rows, &count, &capacity, 1) != 1 || rows == nullptr || count <= 0) return;
  const std::optional<std::size_t> match =
      RefindCamera(m_session, std::span<const CameraEntry>(rows, static_cast<std::size_t>(count)));
  if (!match) return;
  m_timer4.stop();
  const CameraEntry row = rows[*match];
  auto ensure = m_env.work.ensureSubnet;
  auto readNat = m_env.work.readNat;
  SessionRecord copy = m_session;
  RunCall([this, ensure, readNat, copy, row]() mutable -> CallRunner::Continuation {
    if (ensure) ensure(copy);
    // The finish page shows this camera's status: a failed read must not leave another's.
    ForgetNatStatus(copy);
    if (readNat && readNat(copy) != 0) ForgetNatStatus(copy);
    return [this, copy, row] {
      CopyCallFields(CallFields::NatRead, copy, m_session);
      m_wait->hide();
      Say(MessageIcon::Information, QString(), m_messages[5]);
      if (m_closing) return;
      SetBusy(false);
      m_finish->SetCamera(row);
      PostStep(nav::kStepFinish);
    };
  });
}

// ---- Shut-down

void CWizardDlg::Shutdown() {
  if (m_closing) return;
  m_closing = true;
  // A pending connect or subnet step gives up first; then the address list is closed, so an
  // Ensure still running on a call thread cannot add one after the list was emptied.
  m_session.connectAllowed.store(0);
  if (m_env.addresses) m_env.addresses->Close();
  m_timer3.stop();
  m_timer4.stop();
  if (m_wait != nullptr) m_wait->hide();
  if (CSubPage* shown = m_pageArea->currentPage()) shown->NotifyLeft();
}

void CWizardDlg::closeEvent(QCloseEvent* e) {
  Shutdown();
  e->accept();
}

bool CWizardDlg::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
      auto* widget = qobject_cast<QWidget*>(watched);
      const bool enter = key != Qt::Key_Escape;
      if (widget != nullptr && widget->window() == this && !(enter && CSubPage::TakesEnter(widget)))
        return true;
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

}  // namespace orv::gui
