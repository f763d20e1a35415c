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

// Runs the windowed launcher with the options already applied; returns the
// exit status.
using WindowedLauncher = std::function<int(const CliOptions& options, IConsole& console)>;

// `args` are the arguments after the program's name. Returns the exit status.
int RunCommandLine(const std::vector<std::wstring>& args, IConsole& console, const WindowedLauncher& launcher);

}  // namespace gh
