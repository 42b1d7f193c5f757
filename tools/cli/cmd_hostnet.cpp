#include "commands.h"

namespace orv::cli {

void RegisterHostnetCommands(CLI::App& /*app*/) {}

}  // namespace orv::cli
