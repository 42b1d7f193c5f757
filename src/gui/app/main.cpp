// The desktop program: options, then the application object.

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>

#include "core/platform/codepage.h"
#include "gui/app/test_driver.h"
#include "gui/app/wizard_app.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvantis"));
  QApplication::setApplicationVersion(QStringLiteral(ORVANTIS_VERSION));
  // The installed icon and desktop entry, so the window and the menu entry look alike.
  QApplication::setDesktopFileName(QStringLiteral("org.example.orvantis"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("orvantis")));
  orv::InitSystemCodePage();

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Finds network cameras and sets them up."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption linkServer(
      QStringLiteral("link-server"),
      QStringLiteral("Host of the link server; shows \"Search Intranet\" on the home page."),
      QStringLiteral("HOST"));
  const QCommandLineOption probeHost(
      QStringLiteral("probe-host"),
      QStringLiteral("Host the start-up reachability probe connects to (port 80)."),
      QStringLiteral("HOST"));
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Save a picture of the window to FILE shortly after start-up, then end."),
      QStringLiteral("FILE"));
  parser.addOption(linkServer);
  parser.addOption(probeHost);
  parser.addOption(screenshot);
  parser.process(app);

  orv::gui::AppOptions options;
  options.linkServerHost = parser.value(linkServer).toStdString();
  options.probeHost = parser.value(probeHost).toStdString();
  options.screenshotPath = parser.value(screenshot);
  orv::gui::CWizardApp program(std::move(options));
  // Only when ORVANTIS_TEST_SCRIPT names a script (lab walks); otherwise nothing happens.
  orv::gui::CTestDriver::StartFromEnvironment();
  return program.Run();
}
