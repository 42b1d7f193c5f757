#pragma once
// The desktop program's whole run, from its options to the window's end. The product's main()
// calls it as it is; the lab's walking build starts its walk driver in beforeRun.

#include <functional>

namespace orv::gui {

// beforeRun runs once the application object and the window exist, just before the event loop.
int RunDesktopProgram(int argc, char** argv, const std::function<void()>& beforeRun = {});

}  // namespace orv::gui
