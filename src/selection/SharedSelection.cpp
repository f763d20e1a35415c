#include "selection/SharedSelection.h"

#include <unordered_map>

#include "platform/Unicode.h"
#include "selection/SelectionTexts.h"

namespace gh {

std::vector<SharedEntry> SharedEntriesOf(const std::vector<ModData>& mods,
                                         const std::vector<std::uint32_t>& selection) {
    std::vector<SharedEntry> entries;
    entries.reserve(selection.size());
    for (const std::uint32_t row : selection)
        if (row < mods.size()) entries.push_back({mods[row].guid, mods[row].version, WideToUtf8(mods[row].name)});
    return entries;
}

namespace {

// The first row of each of the entries' mods, usable or not: a blocked mod
// has no usable row but is installed all the same.
std::unordered_map<std::int64_t, std::optional<std::uint32_t>> FirstRows(const std::vector<ModData>& mods,
                                                                         const std::vector<SharedEntry>& entries) {
    std::unordered_map<std::int64_t, std::optional<std::uint32_t>> rows;
    for (const SharedEntry& entry : entries) rows.emplace(entry.guid, std::nullopt);
    for (std::size_t row = 0; row < mods.size(); ++row) {
        const auto wanted = rows.find(mods[row].guid);
        if (wanted != rows.end() && !wanted->second) wanted->second = static_cast<std::uint32_t>(row);
    }
    return rows;
}

}  // namespace

SharedLoadReport LoadSharedEntries(CSelectionRules& rules, const std::vector<SharedEntry>& entries) {
    const auto firstRows = FirstRows(rules.Mods(), entries);
    SharedLoadReport report;
    report.entries = entries.size();
    rules.BeginLoad(true);
    for (std::size_t position = 0; position < entries.size(); ++position) {
        const SharedEntry& entry = entries[position];
        const bool loaded = rules.LoadEntry(entry.guid, kSelectionLimit);
        std::optional<std::uint32_t> row;
        if (loaded) {
            row = rules.Selection().back();
            ++report.loaded;
        } else if ((row = rules.FindUsableRow(entry.guid))) {
            report.skipped.push_back({position, entry, LeftOutReason::OverLimit, row});
        } else if ((row = firstRows.at(entry.guid))) {
            report.skipped.push_back({position, entry, LeftOutReason::Blocked, row});
        } else {
            report.skipped.push_back({position, entry, LeftOutReason::NotInstalled, std::nullopt});
        }
        if (row && rules.Mods()[*row].version < entry.version)
            report.outdated.push_back({position, entry, *row, rules.Mods()[*row].version, loaded});
    }
    rules.FinishLoad();
    return report;
}

Result<SharedLoadReport> LoadShareCode(CSelectionRules& rules, std::string_view code) {
    Result<std::vector<SharedEntry>> entries = DecodeShareCode(code);
    if (!entries) return entries.Error();
    return LoadSharedEntries(rules, *entries);
}

Result<SharedLoadReport> LoadShareCode(CSelectionRules& rules, std::wstring_view code) {
    Result<std::vector<SharedEntry>> entries = DecodeShareCode(code);
    if (!entries) return entries.Error();
    return LoadSharedEntries(rules, *entries);
}

}  // namespace gh
