#include "cli/SortCommand.h"

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "cli/CliMain.h"
#include "cli/TerminalText.h"
#include "launcher/NoticeTexts.h"
#include "platform/AtomicFile.h"
#include "selection/SelectionFile.h"
#include "selection/SelectionOrder.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>

namespace gh {

int RunSort(const std::wstring& setPath, const CGameFolders& folders, IConsole& console) {
    const std::wstring shownPath = TerminalSafe(setPath);
    const std::optional<std::string> bytes = ReadSelectionFileBytes(setPath);
    if (!bytes) {
        console.Err(fmt::format(L"gatehouse: the selection set \"{}\" cannot be read\n", shownPath));
        return kExitFailure;
    }
    const std::optional<std::vector<std::int64_t>> entries = ReadSelectionEntries(*bytes);
    if (!entries) {
        console.Err(
            fmt::format(L"gatehouse: \"{}\" is not a selection set: it does not begin with [MODS]\n", shownPath));
        return kExitFailure;
    }

    const CModCatalogue catalogue(folders.GetModsFolderToScan());
    const CModRows rows(catalogue, folders.GameVersion());
    const std::vector<std::size_t> order = SortedOrder(rows, *entries);
    const std::vector<std::int64_t> sorted = Reordered<std::int64_t>(*entries, order);
    const bool working = std::is_sorted(order.begin(), order.end());
    if (!working) {
        const std::string written = FormatSelectionEntries(sorted);
        if (const Status status = platform::WriteFileAtomically(setPath, written.data(), written.size()); !status) {
            console.Err(fmt::format(L"gatehouse: \"{}\" could not be written: {}; it is as it was\n", shownPath,
                                    TerminalSafe(status.Text())));
            return kExitFailure;
        }
    }

    const std::vector<OrderMark> marks = OrderMarks(rows, sorted);
    std::wstring text;
    for (std::size_t entry = 0; entry < sorted.size(); ++entry) {
        const ModInfo* mod = catalogue.FindByGuid(sorted[entry]);
        text += fmt::format(L"{}. ", entry + 1);
        text += mod && IsListed(*mod) ? TerminalSafe(mod->name) : fmt::format(L"mod {} (not installed)", sorted[entry]);
        const std::wstring mark = OrderMarkText(marks[entry], sorted, rows, TextFor::Terminal);
        if (!mark.empty()) text += L" (" + mark + L")";
        text += L'\n';
    }
    console.Out(text);
    if (working) {
        console.Err(
            fmt::format(L"gatehouse: \"{}\" is in a working order already; it was left as it was\n", shownPath));
    }
    return 0;
}

}  // namespace gh
