// The launcher with its windows, as the executable's main starts it when no
// command is given. Declared without wx so the main needs no wx headers.
#pragma once

#include "launcher/LauncherOptions.h"

namespace gh {

// Opens the display, runs the start-up sequence with the real windows (the
// start window, the mod manager, the game start) and closes the display.
// The folder options must already be applied; `runner` and `workshop` are
// honoured here. False when no display could be opened.
bool RunWindowedLauncher(const LauncherOptions& options);

}  // namespace gh
