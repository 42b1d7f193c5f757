#pragma once
// The application object: builds the real services and the main window's environment, runs the
// start-up, and ends when the main window closes. Also what comes before it: the command line,
// read before any connection to a display is tried, so --help works over ssh.

#include <QIcon>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>

class QApplication;

namespace orv::gui {

struct AppOptions {
  std::string linkServerHost;  // --link-server
  std::string probeHost;       // --probe-host, else ORVANTIS_PROBE_HOST, else the default
  QString screenshotPath;      // --screenshot: save the home page there and end
};

// What the command line asks for.
struct CommandLine {
  enum class Action { Run, Help, Version, Usage };
  Action action = Action::Run;
  AppOptions options;
  QString error;                // with Usage: what is wrong with the arguments
  bool platformChosen = false;  // -platform or -display given (passed on to the toolkit)
};

// Exit statuses of the desktop program besides 0.
inline constexpr int kExitNoDisplay = 1;
inline constexpr int kExitUsage = 2;

// The line printed when there is nothing to show the window on.
inline constexpr const char* kNoDisplayLine =
    "no display: start it in a desktop session, or use orvantis-cli";

// arguments[0] is the program. The toolkit's own options (-platform, -style, ...) are accepted
// and left for the application object.
CommandLine ParseCommandLine(const QStringList& arguments);
QString HelpText();   // --help
QString UsageText();  // after an unusable argument

// Whether a display has been named at all: QT_QPA_PLATFORM, -platform/-display, or on X11 and
// Wayland systems DISPLAY or WAYLAND_DISPLAY. Without one the toolkit would abort.
bool DisplayConfigured(const CommandLine& line);

// The application object. When the toolkit still cannot reach a display (a DISPLAY that names
// no server), prints kNoDisplayLine and ends the process with kExitNoDisplay instead of aborting.
std::unique_ptr<QApplication> MakeApplication(int& argc, char** argv);

// The window icon: the installed theme's when there is one, else the one built into the program.
QIcon ProgramIcon();
// The built-in icon alone (empty when the build had no way to render it).
QIcon BuiltInIcon();

class CWizardApp {
 public:
  explicit CWizardApp(AppOptions options);
  ~CWizardApp();
  // Runs the program; the process exit status.
  int Run();

 private:
  AppOptions m_options;
};

// What the program does on SIGINT, SIGTERM or SIGHUP once the signal's clean-up has removed the
// temporary addresses (the signal watcher thread calls it). Queues on the application object:
// every main window shuts down, and every event loop ends, a modal dialog's included, the main
// one with 128 + signo.
void EndOnSignal(int signo);
// The signal EndOnSignal's queued call has handled; 0 before any.
int EndingSignal();

// The divisor of every timer period from ORVANTIS_TIMER_SCALE (lab walks); 1 when unset or bad.
int TimerScaleFromEnvironment();

}  // namespace orv::gui
