// The desktop program with the lab's walk driver: the same window, started the same way, plus a
// driver that presses its buttons from the script ORVANTIS_TEST_SCRIPT names. Built for the lab
// walks, the demo and the benchmarks only; never installed or packaged.

#include "gui/window/program_main.h"
#include "walk/test_driver.h"

int main(int argc, char** argv) {
  return orv::gui::RunDesktopProgram(argc, argv,
                                     [] { orv::test::CTestDriver::StartFromEnvironment(); });
}
