#include "commands.h"

namespace orv::cli {

void RegisterDiscoveryCommands(CLI::App& /*app*/) {}

}  // namespace orv::cli
