// Feeds arbitrary bytes to both selection readers, as a selection file and as
// a restart list. Neither may read out of bounds or hang, and what they
// select must hold: only rows that exist and are usable, at most 10 entries
// from a selection file, and a selection that survives being written and
// read back unchanged; so must every entry of a file, as sort reads it.
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/ModRecords.h"
#include "selection/HeadlessSelectionView.h"
#include "selection/RestartList.h"
#include "selection/SelectionFile.h"
#include "selection/SelectionTexts.h"

namespace {

std::vector<gh::ModData> Rows() {
    const std::int64_t guids[] = {
        0, 1, -1, 7, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max(), 123456789, 42};
    std::vector<gh::ModData> rows;
    for (const std::int64_t guid : guids) {
        gh::ModData mod;
        mod.name = L"mod";
        mod.guid = guid;
        rows.push_back(mod);
    }
    rows.back().status = gh::StatusMissingRequirement;
    rows[3].status = gh::StatusWrongGameVersion;
    return rows;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckSelection(const gh::CSelectionRules& rules) {
    for (const std::uint32_t row : rules.Selection()) {
        Require(row < rules.Mods().size());
        Require(!gh::IsBlocked(rules.Mods()[row].status));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    gh::CHeadlessSelection file(Rows());
    const bool loaded = gh::LoadSelectionText(file.Rules(), bytes) == gh::SelectionFileResult::Loaded;
    if (loaded) {
        CheckSelection(file.Rules());
        Require(file.Rules().Selection().size() <= gh::kSelectionLimit);
        Require(file.View().SelectedRows().size() == file.Rules().Selection().size());

        const std::string written = gh::FormatSelectionFile(file.Rules().Mods(), file.Rules().Selection());
        gh::CHeadlessSelection again(Rows());
        Require(gh::LoadSelectionText(again.Rules(), written) == gh::SelectionFileResult::Loaded);
        Require(again.Rules().Selection() == file.Rules().Selection());
    } else {
        Require(file.Rules().Selection().empty());
    }

    // What sort reads it writes back whole: every entry, in its order.
    const std::optional<std::vector<std::int64_t>> entries = gh::ReadSelectionEntries(bytes);
    Require(entries.has_value() == loaded);
    if (entries) Require(gh::ReadSelectionEntries(gh::FormatSelectionEntries(*entries)) == entries);

    gh::CHeadlessSelection restart(Rows());
    if (gh::ApplyRestartListText(restart.Rules(), bytes) == gh::RestartListResult::Applied)
        CheckSelection(restart.Rules());
    else
        Require(restart.Rules().Selection().empty());
    return 0;
}
