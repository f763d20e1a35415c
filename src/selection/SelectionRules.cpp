#include "selection/SelectionRules.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "selection/SelectionTexts.h"

namespace gh {

CSelectionRules::CSelectionRules(ISelectionView& view) : m_view(view) {}

void CSelectionRules::SetMods(std::vector<ModData> mods) {
    m_mods = std::move(mods);
    m_selection.clear();
    m_usableRows.clear();
    m_usableRows.reserve(m_mods.size());
    m_firstRows.clear();
    for (std::size_t row = 0; row < m_mods.size(); ++row) {
        m_firstRows.try_emplace(m_mods[row].guid, static_cast<std::uint32_t>(row));
        if (IsBlocked(m_mods[row].status))
            m_view.SetCheck(row, CheckState::Indeterminate);
        else
            m_usableRows.try_emplace(m_mods[row].guid, static_cast<std::uint32_t>(row));  // the first row wins
    }
}

void CSelectionRules::ApplyCurrentCheck() {
    const std::optional<std::size_t> current = m_view.CurrentModRow();
    if (!current || *current >= m_mods.size()) return;
    const auto row = static_cast<std::uint32_t>(*current);

    if (IsBlocked(m_mods[row].status)) {
        m_view.SetCheck(row, CheckState::Indeterminate);
        m_view.ExplainBlockedRow(row);
        return;
    }

    if (m_view.GetCheck(row) != CheckState::Unchecked) {
        if (m_selection.size() + 1 > kSelectionLimit) {
            // The message comes first: the check stays visible while it is shown.
            m_view.ShowMessage(LimitReachedMessage());
            m_view.SetCheck(row, CheckState::Unchecked);
            return;
        }
        AddToSelection(row);  // a row already present (a loaded duplicate) still gets the count
        m_view.EnablePlayAndSaveSet(true);
        m_view.SetNameText(SelectedCountText(m_selection.size()));
        return;
    }

    if (!RemoveFromSelection(row)) {
        m_view.SetNameText(SelectedCountText(m_selection.size()));
        return;
    }
    if (m_selection.size() > kSelectionLimit) {
        m_view.ShowMessage(OverLimitMessage(m_selection.size()));
        m_view.EnablePlayAndSaveSet(false);
        return;
    }
    m_view.EnablePlayAndSaveSet(true);
    m_view.SetNameText(SelectedCountText(m_selection.size()));
}

bool CSelectionRules::AddToSelection(std::uint32_t row) {
    if (row >= m_mods.size()) return false;
    if (std::find(m_selection.begin(), m_selection.end(), row) != m_selection.end()) return false;
    m_selection.push_back(row);
    RefreshSelectedList(row);
    return true;
}

bool CSelectionRules::RemoveFromSelection(std::uint32_t row) {
    const auto found = std::find(m_selection.begin(), m_selection.end(), row);
    if (found == m_selection.end()) return false;
    m_selection.erase(found);
    RefreshSelectedList(std::nullopt);
    return true;
}

void CSelectionRules::RefreshSelectedList(std::optional<std::uint32_t> highlight) {
    m_view.ClearSelectedList();
    std::optional<std::size_t> current;
    for (std::size_t position = 0; position < m_selection.size(); ++position) {
        const std::uint32_t row = m_selection[position];
        m_view.AppendSelectedRow(m_view.ModRowText(row));
        if (highlight && !current && row == *highlight) current = position;
    }
    m_view.SetCurrentSelectedRow(current);
    m_view.SelectionChanged();
}

void CSelectionRules::MoveUp() {
    const std::optional<std::size_t> current = m_view.CurrentSelectedRow();
    if (!current || *current == 0 || *current >= m_selection.size()) return;
    const std::size_t p = *current;
    std::swap(m_selection[p], m_selection[p - 1]);
    RefreshSelectedList(m_selection[p - 1]);
}

bool CSelectionRules::MoveEntry(std::size_t from, std::size_t to) {
    if (from >= m_selection.size() || to >= m_selection.size()) return false;
    // Each step is a button press on the entry where it stands now; the
    // highlight is put on it anew, as the list may hold a mod twice.
    for (std::size_t at = from; at != to; at = at < to ? at + 1 : at - 1) {
        m_view.SetCurrentSelectedRow(at);
        if (at < to)
            MoveDown();
        else
            MoveUp();
    }
    m_view.SetCurrentSelectedRow(to);
    return true;
}

void CSelectionRules::MoveDown() {
    const std::optional<std::size_t> current = m_view.CurrentSelectedRow();
    // Written as p + 1 >= count so that no count can wrap below zero.
    if (!current || *current + 1 >= m_selection.size()) return;
    const std::size_t p = *current;
    std::swap(m_selection[p], m_selection[p + 1]);
    RefreshSelectedList(m_selection[p + 1]);
}

void CSelectionRules::RemoveCurrent() {
    const std::optional<std::size_t> current = m_view.CurrentSelectedRow();
    if (!current || *current >= m_selection.size()) return;
    const std::size_t p = *current;
    const std::uint32_t row = m_selection[p];
    m_selection.erase(m_selection.begin() + static_cast<std::ptrdiff_t>(p));
    RefreshSelectedList(std::nullopt);

    const std::size_t n = m_selection.size();
    if (p < n)
        m_view.SetCurrentSelectedRow(p);
    else if (n > 0)
        m_view.SetCurrentSelectedRow(n - 1);

    // With a loaded duplicate another entry for this row may remain; the row
    // is cleared all the same, as the player asked to take the mod out.
    m_view.SetCheck(row, CheckState::Unchecked);
}

bool CSelectionRules::ReplaceSelection(std::span<const std::int64_t> guids) {
    if (guids.size() > kSelectionLimit && guids.size() > m_selection.size()) return false;
    std::vector<std::uint32_t> rows;
    rows.reserve(guids.size());
    for (const std::int64_t guid : guids) {
        const std::optional<std::uint32_t> row = FindUsableRow(guid);
        if (!row) return false;
        rows.push_back(*row);
    }
    std::optional<std::uint32_t> highlighted;
    if (const std::optional<std::size_t> current = m_view.CurrentSelectedRow();
        current && *current < m_selection.size())
        highlighted = m_selection[*current];
    const std::size_t before = m_selection.size();
    const std::unordered_set<std::uint32_t> kept(rows.begin(), rows.end());
    for (const std::uint32_t row : m_selection)
        if (!kept.contains(row)) m_view.SetCheck(row, CheckState::Unchecked);
    for (const std::uint32_t row : rows) m_view.SetCheck(row, CheckState::Checked);
    m_selection = std::move(rows);
    RefreshSelectedList(highlighted);
    m_view.EnablePlayAndSaveSet(m_selection.size() <= kSelectionLimit);
    if (m_selection.size() != before) m_view.SetNameText(SelectedCountText(m_selection.size()));
    return true;
}

void CSelectionRules::BeginLoad(bool clearChecks) {
    m_selection.clear();
    m_lastLoad = {};
    if (!clearChecks) return;
    for (std::size_t row = 0; row < m_mods.size(); ++row)
        if (m_view.GetCheck(row) == CheckState::Checked) m_view.SetCheck(row, CheckState::Unchecked);
}

void CSelectionRules::AppendLoaded(std::uint32_t row) {
    if (row >= m_mods.size()) return;
    m_selection.push_back(row);
    m_view.SetCheck(row, CheckState::Checked);
}

bool CSelectionRules::LoadEntry(std::int64_t guid, std::size_t limit) {
    ++m_lastLoad.entries;
    LeftOutEntry leftOut{guid, LeftOutReason::NotInstalled, std::nullopt};
    if (const auto row = FindUsableRow(guid)) {
        if (m_selection.size() < limit) {
            AppendLoaded(*row);
            return true;
        }
        leftOut = {guid, LeftOutReason::OverLimit, *row};
    } else if (const auto found = m_firstRows.find(guid); found != m_firstRows.end()) {
        leftOut = {guid, LeftOutReason::Blocked, found->second};
    }
    if (m_lastLoad.leftOut.size() < SelectionLoadReport::kKeptEntries) m_lastLoad.leftOut.push_back(leftOut);
    ++m_lastLoad.leftOutCount;
    return false;
}

void CSelectionRules::FinishLoad() {
    RefreshSelectedList(std::nullopt);
    m_view.EnablePlayAndSaveSet(m_selection.size() <= kSelectionLimit);
}

std::optional<std::uint32_t> CSelectionRules::FindUsableRow(std::int64_t guid) const {
    const auto found = m_usableRows.find(guid);
    if (found == m_usableRows.end()) return std::nullopt;
    return found->second;
}

}  // namespace gh
