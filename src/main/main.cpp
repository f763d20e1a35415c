// The gatehouse executable: the terminal commands, and the windowed launcher
// when no command is given.
#include "cli/CliMain.h"
#include "cli/Console.h"
#include "platform/Process.h"
#ifdef GATEHOUSE_WITH_WINDOWS
#include "ui/WindowedLauncher.h"
#endif

namespace {

// The one place where the windows are started.
gh::WindowsResult RunWindows(const gh::LauncherOptions& options) {
#ifdef GATEHOUSE_WITH_WINDOWS
    return gh::RunWindowedLauncher(options) ? gh::WindowsResult::Shown : gh::WindowsResult::NoDisplay;
#else
    (void)options;
    return gh::WindowsResult::NotBuilt;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    gh::CStandardConsole console;
    return gh::RunCommandLine(gh::platform::ProgramArguments(argc, argv), console, RunWindows);
}
