#include "gui/window/wizard_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/camera_http/transport.h"
#include "core/hostnet/host_facts.h"
#include "core/hostnet/temporary_address_owner.h"
#include "core/platform/env.h"
#include "core/platform/host_network.h"
#include "core/platform/host_network_pppoe.h"
#include "core/platform/locale.h"
#include "core/platform/program_folder.h"
#include "gui/window/real_services.h"
#include "gui/window/wizard_dlg.h"

#ifdef ORVANTIS_ICON_RESOURCE
// Outside any namespace, as the resource's initialiser wants; the library is static, so the
// resource registers itself only when asked.
static void InitIconResource() {
  Q_INIT_RESOURCE(orvantis_icons);
}
#endif

namespace orv::gui {
namespace {
int g_signalled = 0;  // user-interface thread only
constexpr std::chrono::milliseconds kShutdownWait{1000};

struct ProgramOption {
  const char* name;
  const char* value;  // nullptr: a switch
  const char* help;
};

// The program's own options, in the order --help lists them.
constexpr ProgramOption kLinkServer{
    "link-server", "HOST", "Show \"Search Intranet\" on the home page, for this link server."};
constexpr ProgramOption kProbeHost{
    "probe-host", "HOST", "Learn from this host (port 80) whether the PC reaches the Internet."};
constexpr ProgramOption kScreenshot{
    "screenshot", "FILE", "Save a picture of the window to FILE after start-up, then end."};
constexpr ProgramOption kOwnOptions[] = {kLinkServer, kProbeHost, kScreenshot};

// The toolkit's own options: accepted here and handled by the application object.
constexpr const char* kToolkitValueOptions[] = {"platform",        "platformpluginpath",
                                                "platformtheme",   "plugin",
                                                "qwindowgeometry", "qwindowicon",
                                                "qwindowtitle",    "display",
                                                "geometry",        "style",
                                                "stylesheet",      "session"};
constexpr const char* kToolkitSwitches[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
  CommandLine line;
  QCommandLineParser parser;
  // One dash or two, as the toolkit's own options ("-platform offscreen") are written.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
  parser.addOption(help);
  parser.addOption(version);
  std::vector<QCommandLineOption> own;
  for (const ProgramOption& o : kOwnOptions)
    own.emplace_back(QString::fromLatin1(o.name), QString(), QString::fromLatin1(o.value));
  for (const QCommandLineOption& o : own) parser.addOption(o);
  for (const char* name : kToolkitValueOptions)
    parser.addOption(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("x")));
  for (const char* name : kToolkitSwitches)
    parser.addOption(QCommandLineOption(QString::fromLatin1(name)));

  if (!parser.parse(arguments)) {
    line.action = CommandLine::Action::Usage;
    line.error = parser.errorText();
    return line;
  }
  if (!parser.positionalArguments().isEmpty()) {
    line.action = CommandLine::Action::Usage;
    line.error = QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments()[0]);
    return line;
  }
  if (parser.isSet(help)) {
    line.action = CommandLine::Action::Help;
    return line;
  }
  if (parser.isSet(version)) {
    line.action = CommandLine::Action::Version;
    return line;
  }
  line.options.linkServerHost = parser.value(own[0]).toStdString();
  line.options.probeHost = parser.value(own[1]).toStdString();
  line.options.screenshotPath = parser.value(own[2]);
  line.platformChosen =
      parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display"));
  return line;
}

QString UsageText() {
  return QStringLiteral(
      "Usage: orvantis [--link-server HOST] [--probe-host HOST] [--screenshot FILE]\n"
      "       orvantis --help | --version\n");
}

QString HelpText() {
  QString text = UsageText();
  text += QStringLiteral(
      "\nFinds the network cameras on the local network and sets them up, in a window.\n"
      "\nOptions:\n");
  auto row = [&text](const QString& left, const char* help) {
    text += QStringLiteral("  %1 %2\n").arg(left, -22).arg(QString::fromLatin1(help));
  };
  for (const ProgramOption& o : kOwnOptions)
    row(QStringLiteral("--%1 %2").arg(QLatin1String(o.name), QLatin1String(o.value)), o.help);
  row(QStringLiteral("-h, --help"), "Print this help and exit.");
  row(QStringLiteral("-v, --version"), "Print the version and exit.");
  text += QStringLiteral(
      "\nExit status:\n"
      "  0      the window was closed\n"
      "  1      no display to show the window on\n"
      "  2      unusable arguments\n"
      "  128+N  ended by signal N, after removing its temporary addresses\n"
      "\nWithout a desktop session, orvantis-cli does the same work from a terminal.\n");
  return text;
}

bool DisplayConfigured(const CommandLine& line) {
  if (line.platformChosen || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
  return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
  return true;
#endif
}

namespace {

// What the toolkit said while the application object was being made: kept back, so that a
// failed start prints our one line and a good start prints them as before.
struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};
std::vector<HeldMessage>* g_heldMessages = nullptr;

void HoldMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    // The platform plugin found no display (or none could be loaded); the toolkit would abort.
    std::fprintf(stderr, "%s\n", kNoDisplayLine);
    std::fflush(stderr);
    std::_Exit(kExitNoDisplay);
  }
  if (g_heldMessages != nullptr)
    g_heldMessages->push_back({type, QByteArray(context.category ? context.category : ""), text});
}

}  // namespace

std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv) {
  std::vector<HeldMessage> held;
  g_heldMessages = &held;
  const QtMessageHandler previous = qInstallMessageHandler(HoldMessage);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  g_heldMessages = nullptr;
  for (const HeldMessage& m : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, m.category.constData());
    qt_message_output(m.type, context, m.text);
  }
  return app;
}

QIcon BuiltInIcon() {
  QIcon icon;
#ifdef ORVANTIS_ICON_RESOURCE
  static const bool registered = (InitIconResource(), true);
  (void)registered;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/orvantis-%1.png").arg(size), QSize(size, size));
#endif
  return icon;
}

QIcon ProgramIcon() {
  return QIcon::fromTheme(QStringLiteral("orvantis"), BuiltInIcon());
}

int TimerScaleFromEnvironment() {
  const std::optional<std::string> setting = EnvOverride("ORVANTIS_TIMER_SCALE");
  if (!setting || setting->empty()) return 1;
  const char* text = setting->c_str();
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < 1 || value > 1000) return 1;
  return static_cast<int>(value);
}

// A signal closes the window through the event loop (the addresses are gone already), and
// ends every loop, a modal dialog's included, so a question left open never keeps us alive.
void EndOnSignal(int signo) {
  QMetaObject::invokeMethod(
      qApp,
      [signo] {
        g_signalled = signo;
        for (QWidget* w : QApplication::topLevelWidgets())
          if (auto* dlg = qobject_cast<CWizardDlg*>(w)) dlg->Shutdown();
        QCoreApplication::exit(128 + signo);
      },
      Qt::QueuedConnection);
}

int EndingSignal() {
  return g_signalled;
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
  ownerOptions.onSignal = EndOnSignal;
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
