// The launcher with its windows, as the executable's main starts it when no
// command is given. Declared without wx so the main needs no wx headers.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Console.h"

namespace gh {

// Opens the display, runs the start-up sequence with the real windows (the
// start window, the mod manager, the game start) and closes the display.
// `options` must already be applied (folders); `runner` and `workshop` are
// honoured here. Returns 0, or 1 when no display could be opened (then a
// line on the console says so).
int RunWindowedLauncher(const CliOptions& options, IConsole& console);

}  // namespace gh
