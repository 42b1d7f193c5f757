#include "commands.h"

namespace orv::cli {

void RegisterCameraCommands(CLI::App& /*app*/) {}

}  // namespace orv::cli
