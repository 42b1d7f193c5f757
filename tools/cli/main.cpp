// orvantis-cli: the core without widgets, for scripts, the demo lab and headless use.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string>

#include "commands.h"
#include "core/platform/codepage.h"
#include "progress.h"

namespace {
constexpr int kExitUsage = 2;
}  // namespace

namespace orv::cli {
int& ExitStatus() {
  static int status = 0;
  return status;
}
}  // namespace orv::cli

int main(int argc, char** argv) {
  CLI::App app{"Find network cameras and set them up from the command line."};
  // Texts of the session record are in the 8-bit system code page, cut by its rule.
  orv::InitSystemCodePage();
  // Standard output carries only results (one JSON document with --json); the trace lines of the
  // discovery engine and the transport go to standard error, and only when asked for.
  orv::cli::SetVerbose(false);
  app.set_version_flag("--version", std::string("orvantis-cli ") + ORVANTIS_VERSION);
  app.add_flag_callback(
      "-v,--verbose", [] { orv::cli::SetVerbose(true); },
      "Write the discovery engine's and the HTTP transport's trace lines to standard error");
  // -v after the command's name works as well as before it.
  app.fallthrough();
  app.require_subcommand(0, 1);
  orv::cli::RegisterDiscoveryCommands(app);
  orv::cli::RegisterHostnetCommands(app);
  orv::cli::RegisterCameraCommands(app);
  orv::cli::RegisterProbeCommand(app);
  orv::cli::RegisterApplyCommand(app);
  orv::cli::RegisterAuditCommand(app);
  orv::cli::AddHelpTexts(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    // Whatever the parser found wrong, scripts see one status for unusable arguments.
    app.exit(e);
    return kExitUsage;
  }
  orv::cli::ClearProgress();
  if (app.get_subcommands().empty()) {
    // Nothing asked: what the tool can do, on the error stream, as a usage error.
    std::fputs(app.help().c_str(), stderr);
    return kExitUsage;
  }
  return orv::cli::ExitStatus();
}
