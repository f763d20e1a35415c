#include "cli/TerminalSelection.h"

#include "cli/TerminalText.h"
#include "launcher/ModInfoTexts.h"
#include "launcher/NoticeTexts.h"
#include "selection/SelectionSets.h"
#include "selection/StartSelection.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <vector>

namespace gh {

bool ReportSetLoad(SelectionFileResult result, const std::wstring& path, IConsole& console) {
    switch (result) {
        case SelectionFileResult::Unreadable:
            console.Err(fmt::format(L"gatehouse: the selection set \"{}\" cannot be read\n", TerminalSafe(path)));
            return false;
        case SelectionFileResult::NotASelection:
            console.Err(fmt::format(L"gatehouse: \"{}\" is not a selection set: it does not begin with [MODS]\n",
                                    TerminalSafe(path)));
            return false;
        case SelectionFileResult::Loaded: break;
    }
    return true;
}

void ReportSharedLoad(const SharedLoadReport& report, const CModRows& rows, IConsole& console) {
    std::vector<std::wstring> lines = SharedLoadLines(report, rows, TextFor::Terminal);
    if (lines.empty()) return;
    for (std::wstring& line : lines) line.insert(0, L"gatehouse: ");
    console.Err(ProblemLinesText(lines) + L"\n");
}

CTerminalSelection::CTerminalSelection(const CGameFolders& folders)
    : m_folders(folders),
      m_catalogue(folders.GetModsFolderToScan()),
      m_rows(m_catalogue, folders.GameVersion()),
      m_selection(m_rows.DisplayRecords()) {}

bool CTerminalSelection::Load(const std::optional<std::wstring>& setPath, IConsole& console) {
    CSelectionRules& rules = m_selection.Rules();
    if (setPath) {
        if (!ReportSetLoad(LoadSelectionSet(rules, *setPath), *setPath, console)) return false;
        m_name = SetDisplayName(*setPath);
    } else {
        LoadStartSelection(rules, m_folders);
        m_name = L"the last selection";
    }
    const SelectionLoadReport& report = rules.LastLoad();
    std::vector<std::wstring> lines;
    for (const LeftOutEntry& entry : report.leftOut)
        lines.push_back(L"gatehouse: " + LeftOutLine(entry, m_rows, TextFor::Terminal));
    if (!lines.empty()) console.Err(ProblemLinesText(lines, report.leftOutCount) + L"\n");
    return true;
}

}  // namespace gh
