#include "cli/PlayCommand.h"
#include "cli/TerminalStartupHost.h"

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "cli/TerminalSelection.h"
#include "cli/TerminalText.h"
#include "launcher/ModInfoTexts.h"
#include "launcher/NoticeTexts.h"
#include "selection/RestartList.h"
#include "selection/SelectionFile.h"
#include "selection/SelectionRequirements.h"
#include "selection/SelectionSets.h"
#include "selection/SelectionTexts.h"
#include "selection/SharedSelection.h"
#include "selection/StartSelection.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

CTerminalStartupHost::CTerminalStartupHost(PlayRequest request, const CGameFolders& folders, IConsole& console)
    : m_request(std::move(request)), m_folders(folders), m_console(console) {}

StartChoice CTerminalStartupHost::RunStartWindow() {
    return m_request.source == PlayRequest::Source::None ? StartChoice::Play : StartChoice::PlayWithMods;
}

ManagerChoice CTerminalStartupHost::RunModManager() {
    const CModCatalogue catalogue(m_folders.GetModsFolderToScan());
    const CModRows rows(catalogue, m_folders.GameVersion());
    m_selection = std::make_unique<CHeadlessSelection>(rows.DisplayRecords());
    CSelectionRules& rules = m_selection->Rules();
    if (m_request.source == PlayRequest::Source::Code) {
        // A code that cannot be read changes nothing: no file is written
        // and the game is not started.
        const Result<SharedLoadReport> loaded = LoadShareCode(rules, std::wstring_view(m_request.code));
        if (!loaded) {
            m_console.Err(L"gatehouse: " + TerminalSafe(loaded.Error().Text()) +
                          L"\ngatehouse: the game was not started\n");
            return ManagerChoice::Close;
        }
        ReportSharedLoad(*loaded, rows, m_console);
    } else {
        if (m_request.source == PlayRequest::Source::Set) {
            if (!ReportSetLoad(LoadSelectionSet(rules, m_request.setPath), m_request.setPath, m_console))
                return ManagerChoice::Close;
        } else {
            m_source = LoadStartSelection(rules, m_folders);
        }
        // What the load left out, as the manager's notice says it.
        const SelectionLoadReport& report = rules.LastLoad();
        std::vector<std::wstring> lines;
        for (const LeftOutEntry& entry : report.leftOut)
            lines.push_back(L"gatehouse: " + LeftOutLine(entry, rows, TextFor::Terminal));
        if (!lines.empty()) m_console.Err(ProblemLinesText(lines, report.leftOutCount) + L"\n");
    }
    const std::size_t count = rules.Selection().size();
    if (count > kSelectionLimit) {
        // The manager keeps its play button disabled for such a selection.
        m_console.Err(OverLimitMessage(count) + L"\n");
        return ManagerChoice::Close;
    }
    std::optional<RequirementPlan> plan;
    if (m_request.withRequirements) plan = AddRequirements(rules, rows);
    const bool noRoom = plan && !plan->additions.empty() && !plan->Fits();
    if (plan && !plan->additions.empty() && !noRoom) {
        std::wstring added = L"gatehouse: added";
        const wchar_t* separator = L" ";
        for (const RequirementAddition& addition : plan->additions) {
            added += separator + TerminalSafe(addition.mod->name);
            separator = L", ";
        }
        m_console.Err(added + L"\n");
    }
    // What the selection still lacks, one line per mod that lacks it.
    for (const SelectedModNeeds& needs : UnmetRequirements(rows, SelectionGuids(rules)))
        m_console.Err(L"gatehouse: " + NeedsLine(needs, TextFor::Terminal) + L"\n");
    if (noRoom) {
        m_console.Err(L"gatehouse: " + NoRoomText(plan->placesMissing) + L"\ngatehouse: the game was not started\n");
        return ManagerChoice::Close;
    }
    return ManagerChoice::Play;
}

Status CTerminalStartupHost::SaveSelection() {
    if (!m_selection) return Status(StatusKind::Failed, L"there is no selection");
    Status saved = SaveSelectionFile(m_selection->Rules(), m_folders.GetSelectionFilePath());
    if (saved && m_source == StartSelectionSource::RestartList) ConsumeRestartList(m_folders.GetRestartListPath());
    return saved;
}

void CTerminalStartupHost::ReportSaveFailure(const std::wstring& reason) {
    m_console.Err(fmt::format(L"gatehouse: {}: {} ({})\ngatehouse: the game was not started\n", kUnableToSaveSelection,
                              TerminalSafe(reason), TerminalSafe(m_folders.GetSelectionFilePath())));
}

bool CTerminalStartupHost::StartGame(const std::wstring* parameters) {
    m_gameStarted = StartGameExecutable(m_folders, parameters, m_request.runner);
    if (!m_gameStarted) return false;
    std::wstring line = L"Started " + TerminalSafe(m_folders.GetGameExecutablePath());
    if (parameters) line += L" " + *parameters;
    if (m_selection) {
        const CSelectionRules& rules = m_selection->Rules();
        line += fmt::format(L" with {} mod{}", rules.Selection().size(), rules.Selection().size() == 1 ? L"" : L"s");
        const wchar_t* separator = L": ";
        for (const std::uint32_t row : rules.Selection()) {
            line += separator + TerminalSafe(rules.Mods()[row].name);
            separator = L", ";
        }
    }
    m_console.Out(line + L"\n");
    return true;
}

void CTerminalStartupHost::ReportStartFailure(const std::wstring& text) { m_console.Err(text + L"\n"); }

int RunPlay(const PlayRequest& request, const CGameFolders& folders, IConsole& console) {
    CTerminalStartupHost host(request, folders, console);
    RunStartupSequence(host);
    return host.ExitStatus();
}

}  // namespace gh
