#pragma once
// Each group of orvantis-cli subcommands lives in its own file and registers itself here.

#include <CLI/CLI.hpp>

namespace orv::cli {

// Exit status of the subcommand that ran; set by the subcommand's callback.
int& ExitStatus();

void RegisterDiscoveryCommands(CLI::App& app);  // discover
void RegisterHostnetCommands(CLI::App& app);    // netinfo, ensure-subnet, free-addresses, arp-test
void RegisterCameraCommands(CLI::App& app);     // read, save, scan, wps, link-server
void RegisterProbeCommand(CLI::App& app);       // probe
void RegisterApplyCommand(CLI::App& app);       // apply
void RegisterAuditCommand(CLI::App& app);       // audit

// The overview's closing lines and each command's examples; after the commands are registered.
void AddHelpTexts(CLI::App& app);

}  // namespace orv::cli
