// A single-selection list with a check box and a text colour per row, whose
// scroll bar shows whenever the rows do not all fit.
#pragma once

#include <string>
#include <vector>

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/vlbox.h>

#include "launcher/TypeAheadSearch.h"

namespace gh {

// One row's look. The background is always white; a selected row swaps the
// two colours.
struct ModListItem {
    std::wstring text;
    wxColour textColor;
    wxColour backColor;
    bool held = false;  // drawn with a padlock at the row's end
};

// Check states of a row.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kIndeterminate = 2;

// The state a player's toggle gives: 0 becomes 1, 1 and 2 become 0 (only the
// program sets the indeterminate state).
inline int ToggledCheck(int state) { return state == kUnchecked ? kChecked : kUnchecked; }

// Events, raised synchronously to the parent with the row in GetInt():
//  - wxEVT_LISTBOX when the current row changes (mouse or keyboard);
//  - wxEVT_CHECKLISTBOX after a row's check was toggled by the player.
// A click on a row's box toggles the check, then makes the row current
// (wxEVT_LISTBOX first when that changes it), then raises wxEVT_CHECKLISTBOX.
// Space toggles the current row and raises wxEVT_CHECKLISTBOX. A double
// click on a box toggles twice. A click elsewhere only selects. SetCheck
// raises nothing. Typing letters makes the next row whose text starts with
// them current (the typed text starts anew after a second's pause); Home,
// End, Page Up and Page Down move as in any list. Each of these raises
// wxEVT_LISTBOX as a click does. A right click makes its row current (with
// wxEVT_LISTBOX) before the system's wxEVT_CONTEXT_MENU; the menu key and
// Shift+F10 raise wxEVT_CONTEXT_MENU at wxDefaultPosition, once, on every
// system.
class CModCheckListBox : public wxVListBox {
public:
    CModCheckListBox(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                     const wxSize& size = wxDefaultSize);

    // Appends a row with its own copy of `text`, drawn in `color` on white.
    void AddColoredString(const wxString& text, const wxColour& color);
    // Appends many rows at once, each drawn in its text colour on white:
    // the list's count is set and the list repainted once for all of them,
    // so filling it costs the same for 10 rows or 10,000.
    void AddColoredStrings(std::vector<ModListItem> items);

    // Empties the list.
    void Clear();
    // Marks a row as held (or not) and repaints it.
    void SetHeld(size_t row, bool held);

    size_t GetCount() const { return m_items.size(); }
    wxString GetString(size_t row) const;
    const ModListItem& GetItem(size_t row) const { return m_items.at(row); }

    // 0, 1 or 2; 0 for a row that does not exist.
    int GetCheck(size_t row) const;
    // Ignores rows that do not exist and states other than 0, 1 and 2.
    void SetCheck(size_t row, int state);

    // Where row `row`'s check box area is, in client coordinates: the full
    // height of the row and the width of the check column.
    wxRect CheckBoxArea(size_t row) const;
    // Whether a client point lies in a row's check box area.
    bool IsOnCheckBox(size_t row, const wxPoint& point) const;

    // Draws one row into `rect` of `dc`; painting and tests use it.
    void DrawRow(wxDC& dc, const wxRect& rect, size_t row, bool selected) const;

    // Toggles a row's check as the player would and raises the events in the
    // order a click on its box does.
    void ClickCheckBox(size_t row);

protected:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override;
    void OnDrawBackground(wxDC& dc, const wxRect& rect, size_t n) const override;
    wxCoord OnMeasureItem(size_t n) const override;

private:
    void OnLeftDown(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnRightDown(wxMouseEvent& event);
    // Draws the held mark, a padlock, filling `area` in `colour`.
    static void DrawHeldMark(wxDC& dc, const wxRect& area, const wxColour& colour);
    void OnChar(wxKeyEvent& event);
    void SendCheckEvent(size_t row);
    int CheckColumnWidth() const;
    // The renderer's check box size and the row height, asked once and kept
    // until the font, the screen's resolution or the theme changes: asking
    // the theme costs far more than drawing a row.
    wxSize CheckBoxSize() const;
    // The check box of a state as the renderer draws it on white, drawn once
    // per state and kept likewise: the theme draws a box from a vector
    // image that it reads anew for every box.
    const wxBitmap& CheckBoxImage(int state) const;
    void ForgetMeasures();
    bool SetFont(const wxFont& font) override;

    std::vector<ModListItem> m_items;
    std::vector<int> m_checks;
    CTypeAheadSearch m_typeAhead;
    mutable wxSize m_checkBoxSize = wxDefaultSize;  // until asked
    mutable wxCoord m_rowHeight = 0;                // 0 until asked
    mutable wxBitmap m_checkBoxImages[3];           // per state; not Ok until drawn
};

}  // namespace gh
