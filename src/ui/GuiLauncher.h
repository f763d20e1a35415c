// The launcher with its gui, as the executable's main starts it when no
// command is given. Declared without wx so the main needs no wx headers.
#pragma once

#include "game/GameFolders.h"
#include "launcher/LauncherOptions.h"

namespace gh {

// Opens the display, runs the start-up sequence with the real windows (the
// start window, the mod manager, the game start) on the run's folders and
// closes the display. `runner` and `workshop` of the options are honoured
// here. False when no display could be opened.
bool RunGuiLauncher(const LauncherOptions& options, const CGameFolders& folders);

}  // namespace gh
