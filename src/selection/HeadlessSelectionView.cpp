#include "selection/HeadlessSelectionView.h"

#include <utility>

namespace gh {

void CHeadlessSelectionView::AddRows(const std::vector<ModData>& mods) {
    for (const ModData& mod : mods) m_rows.push_back(Row{mod.name, CheckState::Unchecked});
}

void CHeadlessSelectionView::SetCurrentModRow(std::optional<std::size_t> row) {
    m_currentModRow = row && *row < m_rows.size() ? row : std::nullopt;
}

void CHeadlessSelectionView::SetCurrentSelectedRow(std::optional<std::size_t> row) {
    m_currentSelectedRow = row && *row < m_selectedRows.size() ? row : std::nullopt;
}

CheckState CHeadlessSelectionView::GetCheck(std::size_t row) const {
    return row < m_rows.size() ? m_rows[row].check : CheckState::Unchecked;
}

void CHeadlessSelectionView::SetCheck(std::size_t row, CheckState state) {
    if (row < m_rows.size()) m_rows[row].check = state;
}

std::wstring CHeadlessSelectionView::ModRowText(std::size_t row) const {
    return row < m_rows.size() ? m_rows[row].text : std::wstring();
}

void CHeadlessSelectionView::ClearSelectedList() {
    m_selectedRows.clear();
    m_currentSelectedRow.reset();
}

void CHeadlessSelectionView::AppendSelectedRow(const std::wstring& text) { m_selectedRows.push_back(text); }

CHeadlessSelection::CHeadlessSelection(std::vector<ModData> mods) : m_rules(m_view) {
    m_view.AddRows(mods);
    m_rules.SetMods(std::move(mods));
}

}  // namespace gh
