// The gatehouse executable: the terminal commands, and the windowed launcher
// when no command is given.
#include "cli/CliMain.h"
#include "platform/Process.h"
#ifdef GATEHOUSE_WITH_WINDOWS
#include "app/WindowedLauncher.h"
#endif

namespace {

// The windowed launcher: the one place where the windows are started, with
// the folder options already in force and `options.runner` and
// `options.workshop` still to be honoured.
int RunWindowedLauncher(const gh::CliOptions& options, gh::IConsole& console) {
#ifdef GATEHOUSE_WITH_WINDOWS
    return gh::RunWindowedLauncher(options, console);
#else
    (void)options;
    console.Err(L"gatehouse: this build has no windows; use the commands list, sync and play "
                L"(see gatehouse --help)\n");
    return 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    gh::CStandardConsole console;
    return gh::RunCommandLine(gh::platform::ProgramArguments(argc, argv), console, RunWindowedLauncher);
}
