// The launcher's entry point without the windows: parses the command line,
// applies the folder options and runs the command.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Console.h"

#include <functional>
#include <string>
#include <vector>

namespace gh {

// Exit status of a command-line error (the usage is printed on standard error).
inline constexpr int kExitUsage = 2;
// Exit status of a failure, such as a folder that does not exist.
inline constexpr int kExitFailure = 1;

// What became of the request to open the windows.
enum class WindowsResult {
    Shown,      // the windows ran their course
    NoDisplay,  // there was no display to show them on
    NotBuilt,   // this build has no windows
};

// Runs the windowed launcher with the folder options already applied; the
// runner and the Workshop choice are the launcher's to honour.
using WindowedLauncher = std::function<WindowsResult(const LauncherOptions& options)>;

// `args` are the arguments after the program's name. Returns the exit status.
int RunCommandLine(const std::vector<std::wstring>& args, IConsole& console, const WindowedLauncher& launcher);

}  // namespace gh
