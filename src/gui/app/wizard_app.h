#pragma once
// The application object: builds the real services and the main window's environment, runs the
// start-up, and ends when the main window closes.

#include <QString>
#include <memory>
#include <string>

namespace orv::gui {

struct AppOptions {
  std::string linkServerHost;  // --link-server
  std::string probeHost;       // --probe-host, else ORVANTIS_PROBE_HOST, else the default
  QString screenshotPath;      // --screenshot: save the home page there and end
};

class CWizardApp {
 public:
  explicit CWizardApp(AppOptions options);
  ~CWizardApp();
  // Runs the program; the process exit status.
  int Run();

 private:
  AppOptions m_options;
};

// The divisor of every timer period from ORVANTIS_TIMER_SCALE (lab walks); 1 when unset or bad.
int TimerScaleFromEnvironment();

}  // namespace orv::gui
