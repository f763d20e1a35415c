// The ordered selection of mods the game is started with, and every rule that
// changes it: checking and clearing mods in the mod list, moving and removing
// entries in the selected-order list. The rules reach the window only through
// ISelectionView, so the window holds no rule and the rules run without one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "catalogue/ModRecords.h"
#include "selection/SelectionView.h"

namespace gh {

// Why an entry of a selection file or restart list was not loaded.
enum class LeftOutReason {
    NotInstalled,  // no listed mod has its identity
    Blocked,       // its mod's requirements are missing or too old
    OverLimit,     // the selection was full
};

struct LeftOutEntry {
    std::int64_t guid = 0;
    LeftOutReason reason = LeftOutReason::NotInstalled;
    std::optional<std::uint32_t> row;  // the mod's row, when it has one
};

// What the last load took and left out, so the player can be told.
struct SelectionLoadReport {
    // Entries kept in `leftOut`; the rest are only counted.
    static constexpr std::size_t kKeptEntries = 100;

    std::size_t entries = 0;  // entries the file named
    std::size_t leftOutCount = 0;
    std::vector<LeftOutEntry> leftOut;  // the first kKeptEntries, in file order

    std::size_t Loaded() const { return entries - leftOutCount; }
};

class CSelectionRules {
public:
    // The view must outlive the rules.
    explicit CSelectionRules(ISelectionView& view);

    // Takes the mod list's rows (row index = index) and empties the
    // selection. The view must already hold one mod-list row per mod; every
    // row whose mod is blocked gets its check set to Indeterminate. Called
    // once, when the list is filled.
    void SetMods(std::vector<ModData> mods);

    const std::vector<ModData>& Mods() const { return m_mods; }
    // Mod-list row indexes in launch order. Checking and clearing never put a
    // row in twice nor go above kSelectionLimit; loads may (see BeginLoad).
    const std::vector<std::uint32_t>& Selection() const { return m_selection; }

    // After the player toggled the check of the current mod-list row (the
    // mod list's check-change event). Blocked rows go back to
    // Indeterminate; a check adds the row unless the limit is reached (then
    // the limit message is shown and the check cleared); a clear removes the
    // row's first entry and reports the count, or the over-limit message.
    void ApplyCurrentCheck();

    // Appends `row` and highlights it. False, and nothing changes, when the
    // row is already selected or is not a mod-list row.
    bool AddToSelection(std::uint32_t row);
    // Removes the first entry holding `row`; false when there is none.
    bool RemoveFromSelection(std::uint32_t row);
    // Rebuilds the selected-order list from the selection and highlights the
    // first entry holding `highlight`, or no row.
    void RefreshSelectedList(std::optional<std::uint32_t> highlight);

    // Move the highlighted entry of the selected-order list one place up or
    // down (its move buttons); nothing without one or at the list's edge.
    void MoveUp();
    void MoveDown();
    // A row of the selected-order list dragged from position `from` and
    // dropped on position `to`: the entry moves there one step at a time by
    // the rules of the move buttons, and ends highlighted where it was dropped.
    // False, and nothing changes, when either position is not in the list.
    bool MoveEntry(std::size_t from, std::size_t to);
    // Removes the highlighted entry, highlights the entry that took its place
    // (or the new last one) and clears the check of the entry's mod. Shows no
    // text and leaves the play and save-set buttons as they are.
    void RemoveCurrent();

    // A new selection of the player's mods in one step, as adding what
    // the selection's mods need and sorting make it: each of `guids`
    // becomes an entry of its mod's usable row, in this order. The checks
    // follow (new rows checked, rows no longer selected cleared), the
    // highlighted entry stays highlighted where it went, and the play and
    // save-set buttons are set as after a load; when the count changed the
    // Name field shows it, as a check does. False, and nothing changes,
    // when a guid has no usable row, or when the new selection is longer
    // than the current one and longer than kSelectionLimit: this never
    // takes a selection past the limit.
    bool ReplaceSelection(std::span<const std::int64_t> guids);

    // The steps a selection load takes, in this order:
    // BeginLoad empties the selection and, with `clearChecks`, turns every
    // Checked row to Unchecked (Indeterminate rows stay); AppendLoaded adds a
    // row (no test for duplicates or the limit) and checks it; FinishLoad
    // rebuilds the selected-order list with no row highlighted and enables
    // the play and save-set buttons only if the limit is kept.
    // LoadEntry takes one entry by its identity: the first usable row with
    // it is appended as AppendLoaded does, unless `limit` entries are
    // loaded already; an entry not taken is noted in the report.
    void BeginLoad(bool clearChecks);
    void AppendLoaded(std::uint32_t row);
    bool LoadEntry(std::int64_t guid, std::size_t limit);
    void FinishLoad();
    // What the last load (since BeginLoad) took and left out.
    const SelectionLoadReport& LastLoad() const { return m_lastLoad; }

    // The first row whose mod has `guid` and can be selected (not blocked).
    // Constant time, so that loading a long restart list or selection file
    // does not scan every row for each of its entries.
    std::optional<std::uint32_t> FindUsableRow(std::int64_t guid) const;

private:
    ISelectionView& m_view;
    std::vector<ModData> m_mods;
    std::vector<std::uint32_t> m_selection;
    std::unordered_map<std::int64_t, std::uint32_t> m_usableRows;  // guid -> first usable row
    std::unordered_map<std::int64_t, std::uint32_t> m_firstRows;   // guid -> first row, usable or not
    SelectionLoadReport m_lastLoad;
};

}  // namespace gh
