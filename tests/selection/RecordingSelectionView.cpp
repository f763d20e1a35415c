#include "RecordingSelectionView.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh::test {

void CRecordingSelectionView::AddRows(const std::vector<ModData>& mods) {
    for (const ModData& mod : mods) {
        m_texts.push_back(mod.name);
        m_checks.push_back(CheckState::Unchecked);
    }
}

void CRecordingSelectionView::ClickCheck(std::size_t row) {
    CheckState& check = m_checks.at(row);
    check = check == CheckState::Unchecked ? CheckState::Checked : CheckState::Unchecked;
    m_currentModRow = row;
}

void CRecordingSelectionView::SetCurrentSelectedRow(std::optional<std::size_t> row) {
    m_calls.push_back(row ? fmt::format(L"SetCurrentSelectedRow {}", *row) : L"SetCurrentSelectedRow none");
    m_currentSelectedRow = row && *row < m_selectedRows.size() ? row : std::nullopt;
}

void CRecordingSelectionView::SetCheck(std::size_t row, CheckState state) {
    m_calls.push_back(fmt::format(L"SetCheck {} {}", row, static_cast<int>(state)));
    // A rule that names a row the list does not have is a fault the test must see.
    m_checks.at(row) = state;
}

void CRecordingSelectionView::ClearSelectedList() {
    m_calls.push_back(L"ClearSelectedList");
    m_selectedRows.clear();
    m_currentSelectedRow.reset();
}

void CRecordingSelectionView::AppendSelectedRow(const std::wstring& text) {
    m_calls.push_back(L"AppendSelectedRow " + text);
    m_selectedRows.push_back(text);
}

void CRecordingSelectionView::EnablePlayAndSaveSet(bool enable) {
    m_calls.push_back(enable ? L"EnablePlayAndSaveSet 1" : L"EnablePlayAndSaveSet 0");
    m_enabled = enable;
}

void CRecordingSelectionView::SetNameText(const std::wstring& text) {
    m_calls.push_back(L"SetNameText " + text);
    m_nameText = text;
}

void CRecordingSelectionView::ShowMessage(const std::wstring& text) {
    m_calls.push_back(L"ShowMessage " + text);
    m_messages.push_back(text);
}

ModData MakeMod(const std::wstring& name, std::int64_t guid, ModStatus status) {
    ModData mod;
    mod.name = name;
    mod.guid = guid;
    mod.status = status;
    return mod;
}

}  // namespace gh::test
