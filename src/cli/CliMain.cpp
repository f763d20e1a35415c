#include "cli/CliMain.h"

#include "cli/HeaderReport.h"
#include "cli/ListCommand.h"
#include "cli/PlayCommand.h"
#include "cli/SyncCommand.h"
#include "cli/TerminalText.h"
#include "cli/Usage.h"
#include "launcher/FolderOptions.h"

namespace gh {

int RunCommandLine(const std::vector<std::wstring>& args, IConsole& console, const WindowedLauncher& launcher) {
    const Result<CommandLine> parse = ParseCommandLine(args);
    if (!parse) {
        console.Err(L"gatehouse: " + TerminalSafe(parse.Error().Text()) + L"\n" + UsageText());
        return kExitUsage;
    }
    const CommandLine& line = *parse;
    if (line.command == CliCommand::Help) {
        console.Out(UsageText());
        return 0;
    }
    if (line.command == CliCommand::Version) {
        console.Out(VersionText());
        return 0;
    }
    if (const auto error = ApplyFolderOptions(line.options)) {
        console.Err(L"gatehouse: " + TerminalSafe(*error) + L"\n");
        return kExitFailure;
    }
    switch (line.command) {
        case CliCommand::List: return RunList(line.json, console);
        case CliCommand::Sync: return RunSyncCommand(line.options, line.timeoutMs, console);
        case CliCommand::Play: {
            PlayRequest request;
            request.runner = line.options.runner;
            if (line.setPath) {
                request.source = PlayRequest::Source::Set;
                request.setPath = *line.setPath;
            } else if (line.last) {
                request.source = PlayRequest::Source::Last;
            }
            return RunPlay(request, console);
        }
        case CliCommand::Inspect: return RunInspect(*line.inspectPath, line.json, console);
        case CliCommand::Launcher:
        case CliCommand::Help:
        case CliCommand::Version: break;
    }
    switch (launcher(line.options)) {
        case WindowsResult::Shown: return 0;
        case WindowsResult::NoDisplay:
            console.Err(
                L"gatehouse: no display to show the windows on; the commands list, sync and play work "
                L"without one (see gatehouse --help)\n");
            return kExitFailure;
        case WindowsResult::NotBuilt: break;
    }
    console.Err(
        L"gatehouse: this build has no windows; use the commands list, sync and play "
        L"(see gatehouse --help)\n");
    return kExitFailure;
}

}  // namespace gh
