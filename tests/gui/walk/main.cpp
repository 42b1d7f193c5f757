// The desktop program with the lab's walk driver: the same window, started the same way, plus a
// driver that presses its buttons from the script ORVANTIS_TEST_SCRIPT names. Built for the lab
// walks, the demo and the benchmarks only; never installed or packaged. ORVANTIS_WALK_PALETTE=dark
// runs it under a dark palette, to look at the pages as a dark desktop theme shows them.

#include <QApplication>

#include "core/platform/env.h"
#include "gui/support/dark_palette.h"
#include "gui/window/program_main.h"
#include "walk/test_driver.h"

int main(int argc, char** argv) {
  return orv::gui::RunDesktopProgram(argc, argv, [] {
    if (orv::EnvOverride("ORVANTIS_WALK_PALETTE") == "dark")
      QApplication::setPalette(orv::test::DarkPalette());
    orv::test::CTestDriver::StartFromEnvironment();
  });
}
