// The launcher's entry point without the windows: parses the command line,
// applies the folder options and runs the command.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "game/GameFolders.h"

#include <functional>
#include <string>
#include <vector>

namespace gh {

// Exit status of a command-line error (the usage is printed on standard error).
inline constexpr int kExitUsage = 2;
// Exit status of a failure, such as a folder that does not exist.
inline constexpr int kExitFailure = 1;

// What became of the request to open the gui.
enum class GuiResult {
    Shown,      // the gui ran its course
    NoDisplay,  // there was no display to show it on
    NotBuilt,   // this build has no gui
};

// Runs the windowed launcher on the run's folders; the runner and the
// Workshop choice of the options are the launcher's to honour.
using GuiLauncher = std::function<GuiResult(const LauncherOptions& options, const CGameFolders& folders)>;

// `args` are the arguments after the program's name. Returns the exit status.
int RunCommandLine(const std::vector<std::wstring>& args, IConsole& console, const GuiLauncher& launcher);

}  // namespace gh
