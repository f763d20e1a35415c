// A selection view for tests: it keeps the state a real window would show and
// records, in order, every change the rules ask of it, so tests can check
// both what is shown and the order it was shown in. It also plays the
// player's part on the mod list (a click on a row's check box).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ModRecords.h"
#include "selection/SelectionView.h"

namespace gh::test {

class CRecordingSelectionView final : public ISelectionView {
public:
    // One unchecked mod-list row per mod, with its name as text.
    void AddRows(const std::vector<ModData>& mods);

    // A click on a row's check box as the mod list handles it: the state
    // toggles (Unchecked -> Checked, Checked and Indeterminate -> Unchecked),
    // then the row becomes the current row. The caller then delivers the
    // check-change event to the rules. Not recorded.
    void ClickCheck(std::size_t row);
    // The player highlights a row of either list (or none). Not recorded.
    void HighlightModRow(std::optional<std::size_t> row) { m_currentModRow = row; }
    void HighlightSelectedRow(std::optional<std::size_t> row) { m_currentSelectedRow = row; }

    std::optional<std::size_t> CurrentModRow() const override { return m_currentModRow; }
    std::optional<std::size_t> CurrentSelectedRow() const override { return m_currentSelectedRow; }
    void SetCurrentSelectedRow(std::optional<std::size_t> row) override;
    CheckState GetCheck(std::size_t row) const override { return m_checks.at(row); }
    void SetCheck(std::size_t row, CheckState state) override;
    std::wstring ModRowText(std::size_t row) const override { return m_texts.at(row); }
    void ClearSelectedList() override;
    void AppendSelectedRow(const std::wstring& text) override;
    void EnablePlayAndSaveSet(bool enable) override;
    void SetNameText(const std::wstring& text) override;
    void ShowMessage(const std::wstring& text) override;

    const std::vector<CheckState>& Checks() const { return m_checks; }
    const std::vector<std::wstring>& SelectedRows() const { return m_selectedRows; }
    bool PlayAndSaveSetEnabled() const { return m_enabled; }
    const std::wstring& NameText() const { return m_nameText; }
    const std::vector<std::wstring>& Messages() const { return m_messages; }

    // Every change asked of the view, oldest first, one text each:
    // "SetCheck <row> <0|1|2>", "SetCurrentSelectedRow <row|none>",
    // "ClearSelectedList", "AppendSelectedRow <text>",
    // "EnablePlayAndSaveSet <0|1>", "SetNameText <text>", "ShowMessage <text>".
    const std::vector<std::wstring>& Calls() const { return m_calls; }
    void ClearCalls() { m_calls.clear(); }

private:
    std::vector<std::wstring> m_texts;
    std::vector<CheckState> m_checks;
    std::optional<std::size_t> m_currentModRow;
    std::vector<std::wstring> m_selectedRows;
    std::optional<std::size_t> m_currentSelectedRow;
    bool m_enabled = true;
    std::wstring m_nameText;
    std::vector<std::wstring> m_messages;
    std::vector<std::wstring> m_calls;
};

// A mod-list row's record with the fields the selection looks at.
ModData MakeMod(const std::wstring& name, std::int64_t guid, ModStatus status = StatusOk);

}  // namespace gh::test
