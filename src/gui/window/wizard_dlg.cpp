#include "gui/window/wizard_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <stdexcept>

#include "core/app/navigation.h"
#include "core/app/session_rules.h"
#include "core/hostnet/temporary_address_owner.h"
#include "gui/dialogs/dlg_language.h"
#include "gui/dialogs/sub_wait.h"
#include "gui/frame/pack_text.h"
#include "gui/frame/ui_services.h"
#include "gui/pages/sub_ap_scan.h"
#include "gui/pages/sub_first.h"
#include "gui/pages/sub_link_ser.h"
#include "gui/pages/sub_login.h"
#include "gui/pages/sub_setup_finish.h"
#include "gui/pages/sub_wizard_ip.h"
#include "gui/pages/sub_wps.h"
#include "gui/window/sub_form_collection.h"

namespace orv::gui {
namespace {

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

// The environment, once its services are known to be there.
WizardEnvironment Checked(WizardEnvironment env) {
  if (const char* missing = MissingService(env.services))
    throw std::invalid_argument(std::string("CWizardDlg needs the ") + missing + " service");
  return env;
}

}  // namespace

CWizardDlg::CWizardDlg(WizardEnvironment env, QWidget* parent)
    : QMainWindow(parent),
      m_env(Checked(std::move(env))),
      m_language(m_env.programFolder, m_env.languageAbbreviation, *m_env.services.dialogs) {
  setWindowTitle(ProductCaption());
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
  m_pages = CreatePages(*m_pageArea);
  m_pages.wizardAddress->SetHostNetwork(m_env.net);
  m_wait = new CSubWait(this);
  m_wait->hide();
  // The language dialog the program's dialog service shows (it finds it among the window's
  // children), made once like every page.
  auto* languageDialog = new CDlgLanguage(m_env.programFolder, m_env.languageAbbreviation, this);
  languageDialog->hide();
  CameraStepHost& host = *this;  // a private base: converted here, inside the class
  m_steps = std::make_unique<CameraSteps>(host, m_session, *m_wait, *m_env.services.dialogs,
                                          m_env.work, m_env.makeFinder, m_env.timerScale);
  // Enter and Escape reach no page and never close this window; other windows keep them.
  QCoreApplication::instance()->installEventFilter(this);
}

CWizardDlg::~CWizardDlg() {
  QCoreApplication::instance()->removeEventFilter(this);
  Shutdown();
}

CSubPage* CWizardDlg::page(int index) const {
  return m_pageArea->page(index);
}

bool CWizardDlg::Start() {
  m_session.userName = "";
  m_session.password = "";
  if (m_env.instance && m_env.instance->Acquire() == InstanceLock::AlreadyRunning) {
    // Nothing else of the start-up runs: no probe, no language question, no file written.
    Say(MessageIcon::Warning, ProductCaption(), QStringLiteral("Orvantis is already running"));
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
  m_pages.wps->timer().setInterval(ScaledPeriod(WpsSession::kTickMs, m_env.timerScale));
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
            m_pages.home->UpdateLinkInfo();
          };
        });
  }
  m_language.Resolve(this);
  LoadAllTexts();
  m_pages.linkServerLogin->SetLinkServerHost(m_env.linkServerHost);
  m_pages.home->SetLinkServerVisible(!m_env.linkServerHost.empty());
  m_pages.home->UpdateLinkInfo();
  m_pageArea->ShowPage(nav::kPageHome);
  update();
  return true;
}

// ---- Language

void CWizardDlg::ChangeLanguage() {
  if (!m_language.Change(this)) return;
  LoadAllTexts();
  m_pages.home->UpdateLinkInfo();
  update();
}

void CWizardDlg::LoadAllTexts() {
  LoadPageTexts(*m_pageArea, m_language.pack());
  LoadOwnTexts();
}

void CWizardDlg::LoadOwnTexts() {
  const i18n::LanguagePack& pack = m_language.pack();
  for (int i = 0; i < 10; ++i)
    m_messages[static_cast<std::size_t>(i)] =
        PackText(pack, "WizardDlg", "Message" + std::to_string(i + 1));
  for (int i = 0; i < 4; ++i)
    m_notes[static_cast<std::size_t>(i)] =
        PackText(pack, "WaitDlg", "note" + std::to_string(i + 1));
  m_env.services.prompter->SetButtonTexts(
      {PackText(pack, "Common", "BtnOK"), PackText(pack, "Common", "BtnCancel"),
       PackText(pack, "Common", "BtnYes"), PackText(pack, "Common", "BtnNo")});
  if (auto* help = findChild<QMenu*>(QStringLiteral("helpMenu"))) {
    help->setTitle(PackTextOr(pack, "WizardDlg", "MenuHelp", kTemplateHelpMenu));
    if (auto* about = help->findChild<QAction*>(QStringLiteral("aboutAction")))
      about->setText(PackTextOr(pack, "WizardDlg", "MenuAbout", kTemplateAboutItem));
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
      m_pages.linkServerList->SetCameras(m_pages.linkServerLogin->cameras());
      break;
    case nav::kStepSubnet:
      SendSubnetStep({});
      return;
    case nav::kStepRead:
      m_steps->StepRead();
      return;
    case nav::kStepSave:
      m_steps->StepSave();
      return;
    case nav::kStepApList:
      m_pages.apList->SetAccessPoints(jobs().accessPoints());
      break;
    case nav::kStepApScan:
      m_steps->StepScan();
      return;
    case nav::kStepAbout:
      m_env.services.dialogs->RunAbout(this, pack());
      update();
      return;
    case nav::kStepWizardAddress:
      m_pages.wizardAddress->SetSuggestedAddresses(jobs().suggestedAddresses());
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
  // Disabling the page area takes the keyboard focus from the control that had it; a keyboard
  // user gets it back there when the work is over, not nowhere.
  if (busy && !m_busy) {
    QWidget* focus = QApplication::focusWidget();
    m_focusBeforeBusy = focus != nullptr && m_pageArea->isAncestorOf(focus) ? focus : nullptr;
  }
  m_busy = busy;
  m_pageArea->setEnabled(!busy);
  if (!busy && m_focusBeforeBusy && m_focusBeforeBusy->isVisible() &&
      m_focusBeforeBusy->isEnabled() && QApplication::focusWidget() == nullptr)
    m_focusBeforeBusy->setFocus(Qt::OtherFocusReason);
}

void CWizardDlg::DisablePageArea() {
  m_pageArea->setEnabled(false);
}

MessageAnswer CWizardDlg::Say(MessageIcon icon, const QString& caption, const QString& text) {
  return m_env.services.prompter->Show(this, MessageRequest{icon, caption, text});
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

void CWizardDlg::ShowFoundCamera(const CameraEntry& row) {
  m_pages.finish->SetCamera(row);
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

// ---- Shut-down

void CWizardDlg::Shutdown() {
  if (m_closing) return;
  m_closing = true;
  // A pending connect or subnet step gives up first; then the address list is closed, so an
  // Ensure still running on a call thread cannot add one after the list was emptied.
  m_session.connectAllowed.store(0);
  if (m_env.addresses) m_env.addresses->Close();
  m_steps->Stop();
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
