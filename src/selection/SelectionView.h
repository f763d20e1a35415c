// What the selection rules need from the window that shows them: the mod
// list (one row per mod, with a check box), the selected-order list, the
// play and save-set buttons, the Name field and a message box.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace gh {

// The check box of a mod-list row. Indeterminate is shown as a greyed check
// and is set only by the program, for mods that cannot be selected.
enum class CheckState : int {
    Unchecked = 0,
    Checked = 1,
    Indeterminate = 2,
};

// Rows are 0-based. The mod list's rows are added by the window's owner and
// never change; the selected-order list is rebuilt by the rules.
class ISelectionView {
public:
    virtual ~ISelectionView() = default;

    // The highlighted row of the mod list, or none.
    virtual std::optional<std::size_t> CurrentModRow() const = 0;
    // The highlighted row of the selected-order list, or none.
    virtual std::optional<std::size_t> CurrentSelectedRow() const = 0;
    // Highlights a row of the selected-order list; none (or a row the list
    // does not have) leaves no row highlighted.
    virtual void SetCurrentSelectedRow(std::optional<std::size_t> row) = 0;

    // Check state of a mod-list row. Setting it never raises the mod list's
    // check-change event.
    virtual CheckState GetCheck(std::size_t row) const = 0;
    virtual void SetCheck(std::size_t row, CheckState state) = 0;

    // The text of a mod-list row (the mod's name).
    virtual std::wstring ModRowText(std::size_t row) const = 0;

    // Empties the selected-order list; no row is highlighted afterwards.
    virtual void ClearSelectedList() = 0;
    // Appends a text row to the selected-order list.
    virtual void AppendSelectedRow(const std::wstring& text) = 0;

    // Enables or disables the play button and the save-set button together.
    virtual void EnablePlayAndSaveSet(bool enable) = 0;

    // Replaces the text of the Name field.
    virtual void SetNameText(const std::wstring& text) = 0;

    // A modal message with an OK button only; the caption is the
    // application's name, which the view knows.
    virtual void ShowMessage(const std::wstring& text) = 0;

    // The player tried to choose a mod that cannot be chosen (its row is
    // blocked): a view that can should say why, without stopping them.
    virtual void ExplainBlockedRow(std::size_t row) { (void)row; }

    // The selection changed, and the selected-order list shows it now: a
    // view that tells what the selection lacks or marks its order can look
    // again. Called once per change, before the rule that made it goes on
    // to the buttons and the Name field.
    virtual void SelectionChanged() {}
};

}  // namespace gh
