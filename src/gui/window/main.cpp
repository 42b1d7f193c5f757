// The desktop program.

#include "gui/window/program_main.h"

int main(int argc, char** argv) {
  return orv::gui::RunDesktopProgram(argc, argv);
}
