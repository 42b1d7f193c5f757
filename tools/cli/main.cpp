// orvantis-cli: the core without widgets, for scripts, the demo lab and headless use.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <string_view>

#include "commands.h"
#include "core/camera_http/transport.h"
#include "core/platform/codepage.h"

namespace orv::cli {
int& ExitStatus() {
  static int status = 0;
  return status;
}
}  // namespace orv::cli

int main(int argc, char** argv) {
  CLI::App app{"Orvantis command-line tool: find and set up network cameras"};
  // Texts of the session record are in the 8-bit system code page, cut by its rule.
  orv::InitSystemCodePage();
  // Standard output carries only results (one JSON document with --json); diagnostics go aside.
  orv::SetTransportDiagnostics(
      [](std::string_view line) { std::fwrite(line.data(), 1, line.size(), stderr); });
  app.require_subcommand(1);
  orv::cli::RegisterDiscoveryCommands(app);
  orv::cli::RegisterHostnetCommands(app);
  orv::cli::RegisterCameraCommands(app);
  orv::cli::RegisterProbeCommand(app);
  CLI11_PARSE(app, argc, argv);
  return orv::cli::ExitStatus();
}
