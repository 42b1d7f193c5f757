#include "gui/app/wizard_app.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <cstdlib>

#include "core/camera_http/transport.h"
#include "core/hostnet/host_facts.h"
#include "core/hostnet/temporary_address_owner.h"
#include "core/platform/env.h"
#include "core/platform/host_network.h"
#include "core/platform/host_network_pppoe.h"
#include "core/platform/locale.h"
#include "core/platform/program_folder.h"
#include "gui/app/real_services.h"
#include "gui/app/wizard_dlg.h"

namespace orv::gui {
namespace {
int g_signalled = 0;  // user-interface thread only
constexpr std::chrono::milliseconds kShutdownWait{1000};
}  // namespace

int TimerScaleFromEnvironment() {
  const std::optional<std::string> setting = EnvOverride("ORVANTIS_TIMER_SCALE");
  if (!setting || setting->empty()) return 1;
  const char* text = setting->c_str();
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1 || value > 1000) return 1;
  return static_cast<int>(value);
}

CWizardApp::CWizardApp(AppOptions options) : m_options(std::move(options)) {}
CWizardApp::~CWizardApp() = default;

int CWizardApp::Run() {
  QtPrompter prompter;
  QtDialogRunner dialogs(&prompter);
  DesktopBrowser browser;
  SystemClock clock;
  AsyncCallRunner calls;

  WizardEnvironment env;
  env.services.prompter = &prompter;
  env.services.dialogs = &dialogs;
  env.services.browser = &browser;
  env.services.clock = &clock;
  env.services.calls = &calls;
  env.programFolder = ProgramFolder();
  env.languageAbbreviation = UserLanguageAbbreviation();
  dialogs.programFolder = env.programFolder;
  dialogs.abbreviation = env.languageAbbreviation;
  env.linkServerHost = m_options.linkServerHost;
  env.timerScale = TimerScaleFromEnvironment();
  env.instance = MakeSingleInstance("Orvantis.exe");
  const HostNetworkOptions netOptions = HostNetworkOptionsFromEnvironment();
  env.net = CreateHostNetwork(netOptions);
  env.phoneBook = [] { return ReadFirstPppoeEntry(std::string()); };

  TemporaryAddressOwner::Options ownerOptions;
  ownerOptions.lifetime = netOptions.addressLifetime;
  ownerOptions.endProcessAfterSignal = false;
  // A signal closes the window through the event loop (the addresses are gone already), and
  // ends every loop, a modal dialog's included, so a question left open never keeps us alive.
  ownerOptions.onSignal = [](int signo) {
    QMetaObject::invokeMethod(
        qApp,
        [signo] {
          g_signalled = signo;
          for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dlg = qobject_cast<CWizardDlg*>(w)) dlg->Shutdown();
          QCoreApplication::exit(128 + signo);
        },
        Qt::QueuedConnection);
  };
  env.addresses = std::make_shared<TemporaryAddressOwner>(env.net, ownerOptions);
  env.work = CameraWork::Real(env.net, env.addresses);
  const std::string probeHost = m_options.probeHost.empty() ? ProbeHostName() : m_options.probeHost;
  env.probe = [probeHost](const ConnectFlag& flag) {
    return ProbeTcpConnect(flag, probeHost.c_str(), 80) == 0;
  };
  env.makeFinder = [] {
    auto finder = std::make_unique<CPLipf>();
    finder->SetDrain(true);
    return finder;
  };

  auto window = std::make_unique<CWizardDlg>(std::move(env));
  if (!window->Start()) return 0;
  if (g_signalled != 0) {
    calls.WaitForRunning(kShutdownWait);
    return 128 + g_signalled;
  }
  window->resize(window->sizeHint().expandedTo(QSize(640, 520)));
  window->show();
  if (!m_options.screenshotPath.isEmpty()) {
    const QString path = m_options.screenshotPath;
    QPointer<CWizardDlg> target = window.get();
    QTimer::singleShot(1500, target, [target, path] {
      const bool saved = target->grab().save(path);
      QCoreApplication::exit(saved ? 0 : 1);
    });
  }
  const int status = g_signalled != 0 ? 128 + g_signalled : QApplication::exec();
  window->Shutdown();
  // Calls still running saw the cleared flag and end within moments; one stuck in a name lookup
  // is not waited for longer than this.
  calls.WaitForRunning(kShutdownWait);
  return status;
}

}  // namespace orv::gui
