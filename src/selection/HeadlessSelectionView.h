// A selection view without a window: it keeps the mod list's texts and check
// states, the selected-order list, the button state, the Name field and the
// messages in memory. For the command line, which runs the selection rules
// and the loaders without a display.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ModRecords.h"
#include "selection/SelectionRules.h"
#include "selection/SelectionView.h"

namespace gh {

class CHeadlessSelectionView final : public ISelectionView {
public:
    // Appends one unchecked mod-list row per mod, with its name as text.
    void AddRows(const std::vector<ModData>& mods);
    // Highlights a mod-list row (or none), as a click on it would.
    void SetCurrentModRow(std::optional<std::size_t> row);

    std::optional<std::size_t> CurrentModRow() const override { return m_currentModRow; }
    std::optional<std::size_t> CurrentSelectedRow() const override { return m_currentSelectedRow; }
    void SetCurrentSelectedRow(std::optional<std::size_t> row) override;
    // Rows the list does not have read as Unchecked and ignore SetCheck.
    CheckState GetCheck(std::size_t row) const override;
    void SetCheck(std::size_t row, CheckState state) override;
    // Empty for a row the list does not have.
    std::wstring ModRowText(std::size_t row) const override;
    void ClearSelectedList() override;
    void AppendSelectedRow(const std::wstring& text) override;
    void EnablePlayAndSaveSet(bool enable) override { m_playAndSaveSetEnabled = enable; }
    void SetNameText(const std::wstring& text) override { m_nameText = text; }
    void ShowMessage(const std::wstring& text) override { m_messages.push_back(text); }

    const std::vector<std::wstring>& SelectedRows() const { return m_selectedRows; }
    // True until a rule disables the buttons, as in a freshly opened manager.
    bool PlayAndSaveSetEnabled() const { return m_playAndSaveSetEnabled; }
    const std::wstring& NameText() const { return m_nameText; }
    // Every message shown, oldest first.
    const std::vector<std::wstring>& Messages() const { return m_messages; }

private:
    struct Row {
        std::wstring text;
        CheckState check = CheckState::Unchecked;
    };
    std::vector<Row> m_rows;
    std::optional<std::size_t> m_currentModRow;
    std::vector<std::wstring> m_selectedRows;
    std::optional<std::size_t> m_currentSelectedRow;
    bool m_playAndSaveSetEnabled = true;
    std::wstring m_nameText;
    std::vector<std::wstring> m_messages;
};

// A headless view and the rules over it, filled with the manager's rows and
// an empty selection: what the command line loads and writes selections with.
class CHeadlessSelection {
public:
    explicit CHeadlessSelection(std::vector<ModData> mods);
    CHeadlessSelection(const CHeadlessSelection&) = delete;
    CHeadlessSelection& operator=(const CHeadlessSelection&) = delete;

    CSelectionRules& Rules() { return m_rules; }
    const CSelectionRules& Rules() const { return m_rules; }
    CHeadlessSelectionView& View() { return m_view; }
    const CHeadlessSelectionView& View() const { return m_view; }

private:
    CHeadlessSelectionView m_view;  // declared first: the rules hold a reference to it
    CSelectionRules m_rules;
};

}  // namespace gh
