// The desktop program: options first (no display needed for --help and --version), then the
// application object.

#include "gui/window/program_main.h"

#include <QApplication>
#include <QLoggingCategory>
#include <cstdio>
#include <memory>
#include <string_view>

#include "core/camera_http/transport.h"
#include "core/discovery/plipf.h"
#include "core/platform/codepage.h"
#include "core/platform/env.h"
#include "gui/frame/ui_services.h"
#include "gui/window/wizard_app.h"

namespace orv::gui {
namespace {

Q_LOGGING_CATEGORY(lcDiscovery, "orvantis.discovery", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHttp, "orvantis.http", QtInfoMsg)

// The discovery engine's and the HTTP transport's trace lines become debug messages of two
// logging categories, off unless QT_LOGGING_RULES or ORVANTIS_DEBUG=1 turns them on: a user who
// starts the program from a terminal sees nothing of them.
void RouteTraceToLogging() {
  if (orv::EnvOverride("ORVANTIS_DEBUG") == "1")
    QLoggingCategory::setFilterRules(QStringLiteral("orvantis.*.debug=true"));
  const auto to = [](const QLoggingCategory& category) {
    return [&category](std::string_view line) {
      if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
      qCDebug(category, "%.*s", static_cast<int>(line.size()), line.data());
    };
  };
  orv::SetDiscoveryTrace(to(lcDiscovery()));
  orv::SetTransportDiagnostics(to(lcHttp()));
}

}  // namespace

int RunDesktopProgram(int argc, char** argv, const std::function<void()>& beforeRun) {
  using orv::gui::CommandLine;
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const CommandLine line = orv::gui::ParseCommandLine(arguments);
  switch (line.action) {
    case CommandLine::Action::Help:
      std::fputs(orv::gui::HelpText().toLocal8Bit().constData(), stdout);
      return 0;
    case CommandLine::Action::Version:
      std::printf("orvantis %s\n", ORVANTIS_VERSION);
      return 0;
    case CommandLine::Action::Usage:
      std::fprintf(stderr, "orvantis: %s\n%s", line.error.toLocal8Bit().constData(),
                   orv::gui::UsageText().toLocal8Bit().constData());
      return orv::gui::kExitUsage;
    case CommandLine::Action::Run:
      break;
  }
  if (!orv::gui::DisplayConfigured(line)) {
    std::fprintf(stderr, "%s\n", orv::gui::kNoDisplayLine);
    return orv::gui::kExitNoDisplay;
  }

  const std::unique_ptr<QApplication> app = orv::gui::MakeApplication(argc, argv);
  QApplication::setApplicationName(ProductCaption());
  QApplication::setApplicationVersion(QStringLiteral(ORVANTIS_VERSION));
  // The installed desktop entry, so the window and the menu entry look alike.
  QApplication::setDesktopFileName(QStringLiteral("org.example.orvantis"));
  QApplication::setWindowIcon(orv::gui::ProgramIcon());
  orv::InitSystemCodePage();
  RouteTraceToLogging();

  orv::gui::CWizardApp program(line.options);
  if (beforeRun) beforeRun();
  return program.Run();
}

}  // namespace orv::gui
