#include "cli/ShareCommands.h"

#include "cli/TerminalSelection.h"
#include "cli/TerminalText.h"
#include "selection/SelectionSets.h"
#include "selection/ShareCode.h"
#include "selection/SharedSelection.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

int RunShare(const std::optional<std::wstring>& setPath, const CGameFolders& folders, IConsole& console) {
    CTerminalSelection selection(folders);
    if (!selection.Load(setPath, console)) return 1;
    const CSelectionRules& rules = selection.Rules();
    const Result<std::string> code = EncodeShareCode(SharedEntriesOf(rules.Mods(), rules.Selection()));
    if (!code) {
        console.Err(L"gatehouse: " + TerminalSafe(code.Error().Text()) + L"\n");
        return 1;
    }
    if (rules.Selection().empty())
        console.Err(fmt::format(L"gatehouse: {} holds no mods; the code loads as an empty selection\n",
                                TerminalSafe(selection.Name())));
    console.Out(std::wstring(code->begin(), code->end()) + L"\n");
    return 0;
}

int RunImport(const std::wstring& code, const std::wstring& savePath, const CGameFolders& folders, IConsole& console) {
    CTerminalSelection selection(folders);
    const Result<SharedLoadReport> loaded = LoadShareCode(selection.Rules(), std::wstring_view(code));
    if (!loaded) {
        console.Err(L"gatehouse: " + TerminalSafe(loaded.Error().Text()) + L"; nothing was saved\n");
        return 1;
    }
    ReportSharedLoad(*loaded, selection.Rows(), console);
    const std::wstring target = WithSetExtension(savePath);
    if (const Status saved = SaveSelectionSet(selection.Rules(), target); !saved) {
        console.Err(
            fmt::format(L"gatehouse: Unable to save file: {}: {}\n", TerminalSafe(target), TerminalSafe(saved.Text())));
        return 1;
    }
    console.Out(
        fmt::format(L"Saved {} of the code's {} mods to {}\n", loaded->loaded, loaded->entries, TerminalSafe(target)));
    return 0;
}

}  // namespace gh
