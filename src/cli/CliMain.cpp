#include "cli/CliMain.h"

#include "cli/HeaderReport.h"
#include "cli/ListCommand.h"
#include "cli/PlayCommand.h"
#include "cli/ReportCommand.h"
#include "cli/ShareCommands.h"
#include "cli/SortCommand.h"
#include "cli/SyncCommand.h"
#include "cli/TerminalText.h"
#include "cli/Usage.h"
#include "cli/WorkshopCommands.h"
#include "launcher/FolderOptions.h"

namespace gh {

int RunCommandLine(const std::vector<std::wstring>& args, IConsole& console, const GuiLauncher& launcher) {
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
    const Result<CGameFolders> made = MakeGameFolders(line.options);
    if (!made) {
        console.Err(L"gatehouse: " + TerminalSafe(made.Error().Text()) + L"\n");
        return kExitFailure;
    }
    const CGameFolders& folders = *made;
    switch (line.command) {
        case CliCommand::List: return RunList(line.json, folders, console);
        case CliCommand::Sync: return RunSyncCommand(line.options, folders, line.timeoutMs, console);
        case CliCommand::Play: {
            PlayRequest request;
            request.runner = line.options.runner;
            request.withRequirements = line.withRequirements;
            if (line.setPath) {
                request.source = PlayRequest::Source::Set;
                request.setPath = *line.setPath;
            } else if (line.last) {
                request.source = PlayRequest::Source::Last;
            } else if (line.code) {
                request.source = PlayRequest::Source::Code;
                request.code = *line.code;
            }
            return RunPlay(request, folders, console);
        }
        case CliCommand::Inspect: return RunInspect(*line.inspectPath, line.json, folders, console);
        case CliCommand::Sort: return RunSort(*line.sortPath, folders, console);
        case CliCommand::Share: return RunShare(line.setPath, folders, console);
        case CliCommand::Import: return RunImport(*line.code, *line.savePath, folders, console);
        case CliCommand::Report: return RunReport(line.setPath, line.markdown, folders, console);
        case CliCommand::Hold:
        case CliCommand::Release: return RunHold(*line.target, line.command == CliCommand::Hold, folders, console);
        case CliCommand::History: return RunHistory(*line.target, folders, console);
        case CliCommand::Changes: return RunChanges(line.json, folders, console);
        case CliCommand::Restore: return RunRestore(*line.target, line.entry, folders, console);
        case CliCommand::Launcher:
        case CliCommand::Help:
        case CliCommand::Version: break;
    }
    switch (launcher(line.options, folders)) {
        case GuiResult::Shown: return 0;
        case GuiResult::NoDisplay:
            console.Err(
                L"gatehouse: no display to show the windows on; the commands list, sync and play work "
                L"without one (see gatehouse --help)\n");
            return kExitFailure;
        case GuiResult::NotBuilt: break;
    }
    console.Err(
        L"gatehouse: this build has no windows; use the commands list, sync and play "
        L"(see gatehouse --help)\n");
    return kExitFailure;
}

}  // namespace gh
