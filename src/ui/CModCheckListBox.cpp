#include "ui/CModCheckListBox.h"

#include <algorithm>
#include <chrono>
#include <iterator>

#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/renderer.h>

#include "ui/ToolkitDifferences.h"

namespace gh {

namespace {

constexpr int kBoxMargin = 2;   // around the check box, in pixels
constexpr int kTextIndent = 5;  // from the check column to the text

}  // namespace

CModCheckListBox::CModCheckListBox(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
    : wxVListBox(parent, id, pos, size, wxBORDER_THEME) {
    SetBackgroundColour(*wxWHITE);
    // A scroll bar that shows only under the pointer would hide that the
    // list goes on below its last visible row.
    KeepScrollBarsVisible(*this);
    // Bound here, these run before the list's own mouse and key handling.
    Bind(wxEVT_LEFT_DOWN, &CModCheckListBox::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CModCheckListBox::OnLeftDown, this);
    Bind(wxEVT_RIGHT_DOWN, &CModCheckListBox::OnRightDown, this);
    Bind(wxEVT_KEY_DOWN, &CModCheckListBox::OnKeyDown, this);
    // The menu key raised the menu on its way down; its release must not
    // make Windows raise it a second time.
    Bind(wxEVT_KEY_UP, [](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_MENU) event.Skip();
    });
    Bind(wxEVT_CHAR, &CModCheckListBox::OnChar, this);
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        ForgetMeasures();
        event.Skip();
    });
    Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& event) {
        ForgetMeasures();
        event.Skip();
    });
}

void CModCheckListBox::AddColoredString(const wxString& text, const wxColour& color) {
    m_items.push_back(ModListItem{text.ToStdWstring(), color, *wxWHITE});
    m_checks.push_back(kUnchecked);
    SetItemCount(m_items.size());
    Refresh();
}

void CModCheckListBox::AddColoredStrings(std::vector<ModListItem> items) {
    m_items.reserve(m_items.size() + items.size());
    for (ModListItem& item : items) {
        item.backColor = *wxWHITE;
        m_items.push_back(std::move(item));
    }
    m_checks.resize(m_items.size(), kUnchecked);
    SetItemCount(m_items.size());
    Refresh();
}

void CModCheckListBox::Clear() {
    m_items.clear();
    m_checks.clear();
    SetItemCount(0);
    Refresh();
}

void CModCheckListBox::SetHeld(size_t row, bool held) {
    if (row >= m_items.size() || m_items[row].held == held) {
        return;
    }
    m_items[row].held = held;
    RefreshRow(row);
}

wxSize CModCheckListBox::CheckBoxSize() const {
    if (m_checkBoxSize == wxDefaultSize) {
        m_checkBoxSize = wxRendererNative::Get().GetCheckBoxSize(const_cast<CModCheckListBox*>(this));
    }
    return m_checkBoxSize;
}

const wxBitmap& CModCheckListBox::CheckBoxImage(int state) const {
    // Every state's image is made the first time any is needed, at the
    // first paint: drawing a check mark may make the theme load an image
    // reader (some 15 ms for an SVG one), which would otherwise delay the
    // player's first check of a row.
    if (!m_checkBoxImages[state].IsOk()) {
        const wxSize box = CheckBoxSize();
        for (int made = 0; made < static_cast<int>(std::size(m_checkBoxImages)); ++made) {
            wxBitmap& image = m_checkBoxImages[made];
            if (image.IsOk()) continue;
            image.CreateWithDIPSize(box, GetDPIScaleFactor());
            wxMemoryDC dc(image);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            int flags = 0;
            if (made == kChecked) {
                flags = wxCONTROL_CHECKED;
            } else if (made == kIndeterminate) {
                // Greyed and marked as neither: the player cannot choose this row.
                flags = wxCONTROL_UNDETERMINED | wxCONTROL_DISABLED;
            }
            wxRendererNative::Get().DrawCheckBox(const_cast<CModCheckListBox*>(this), dc, wxRect(box), flags);
        }
    }
    return m_checkBoxImages[state];
}

void CModCheckListBox::ForgetMeasures() {
    m_checkBoxSize = wxDefaultSize;
    m_rowHeight = 0;
    for (wxBitmap& image : m_checkBoxImages) {
        image = wxBitmap();
    }
}

bool CModCheckListBox::SetFont(const wxFont& font) {
    ForgetMeasures();
    return wxVListBox::SetFont(font);
}

wxString CModCheckListBox::GetString(size_t row) const {
    return row < m_items.size() ? wxString(m_items[row].text) : wxString();
}

int CModCheckListBox::GetCheck(size_t row) const { return row < m_checks.size() ? m_checks[row] : kUnchecked; }

void CModCheckListBox::SetCheck(size_t row, int state) {
    if (row >= m_checks.size() || state < kUnchecked || state > kIndeterminate) {
        return;
    }
    m_checks[row] = state;
    RefreshRow(row);
}

int CModCheckListBox::CheckColumnWidth() const { return CheckBoxSize().x + 2 * kBoxMargin; }

wxRect CModCheckListBox::CheckBoxArea(size_t row) const {
    wxRect rect = GetItemRect(row);
    rect.width = CheckColumnWidth();
    return rect;
}

bool CModCheckListBox::IsOnCheckBox(size_t row, const wxPoint& point) const {
    return row < m_items.size() && CheckBoxArea(row).Contains(point);
}

wxCoord CModCheckListBox::OnMeasureItem(size_t) const {
    if (m_rowHeight == 0) {
        m_rowHeight = std::max(GetCharHeight(), CheckBoxSize().y) + 2 * kBoxMargin;
    }
    return m_rowHeight;
}

void CModCheckListBox::OnDrawBackground(wxDC&, const wxRect&, size_t) const {
    // DrawRow paints the whole row, background included.
}

void CModCheckListBox::OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const { DrawRow(dc, rect, n, IsSelected(n)); }

void CModCheckListBox::DrawRow(wxDC& dc, const wxRect& rect, size_t row, bool selected) const {
    if (row >= m_items.size()) {
        return;
    }
    const ModListItem& item = m_items[row];
    const int column = CheckColumnWidth();
    const wxColour oldText = dc.GetTextForeground();
    const wxColour oldBack = dc.GetTextBackground();

    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(rect.x, rect.y, column, rect.height);

    const wxSize box = CheckBoxSize();
    const int state = m_checks[row] == kChecked || m_checks[row] == kIndeterminate ? m_checks[row] : kUnchecked;
    dc.DrawBitmap(CheckBoxImage(state), rect.x + kBoxMargin, rect.y + (rect.height - box.y) / 2);

    wxRect textRect(rect.x + column, rect.y, std::max(0, rect.width - column), rect.height);
    const wxColour& fill = selected ? item.textColor : item.backColor;
    dc.SetBrush(wxBrush(fill));
    dc.DrawRectangle(textRect);
    dc.SetTextForeground(selected ? item.backColor : item.textColor);
    dc.SetTextBackground(fill);
    textRect.x += kTextIndent;
    textRect.width = std::max(0, textRect.width - kTextIndent);
    if (item.held) {
        // At the row's end, where a long name gives way to it.
        const int height = std::max(6, rect.height - 2 * kBoxMargin - 2);
        const int width = height * 4 / 5;
        const wxRect mark(textRect.GetRight() - width - kBoxMargin, rect.y + (rect.height - height) / 2, width, height);
        DrawHeldMark(dc, mark, selected ? item.backColor : item.textColor);
        textRect.width = std::max(0, mark.x - kBoxMargin - textRect.x);
    }
    {
        wxDCClipper clip(dc, textRect);
        dc.DrawLabel(wxString(item.text), textRect, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    }
    dc.SetTextForeground(oldText);
    dc.SetTextBackground(oldBack);
}

void CModCheckListBox::DrawHeldMark(wxDC& dc, const wxRect& area, const wxColour& colour) {
    // A padlock: a filled body on the lower part, a shackle of two posts and
    // a bar above it, drawn with lines so that it reads at any size.
    const int bodyTop = area.y + area.height * 4 / 10;
    const int stroke = std::max(1, area.width / 8);
    const int inset = std::max(1, area.width / 5);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(colour));
    dc.DrawRectangle(area.x, bodyTop, area.width, area.GetBottom() - bodyTop + 1);
    const int left = area.x + inset;
    const int right = area.GetRight() - inset - stroke + 1;
    dc.DrawRectangle(left, area.y, stroke, bodyTop - area.y);
    dc.DrawRectangle(right, area.y, stroke, bodyTop - area.y);
    dc.DrawRectangle(left, area.y, right - left + stroke, stroke);
}

void CModCheckListBox::SendCheckEvent(size_t row) {
    wxCommandEvent event(wxEVT_CHECKLISTBOX, GetId());
    event.SetInt(static_cast<int>(row));
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

void CModCheckListBox::ClickCheckBox(size_t row) {
    if (row >= m_items.size()) {
        return;
    }
    m_checks[row] = ToggledCheck(m_checks[row]);
    RefreshRow(row);
    if (GetSelection() != static_cast<int>(row)) {
        SetSelection(static_cast<int>(row));
        SendSelectedEvent();
    }
    SendCheckEvent(row);
}

void CModCheckListBox::OnLeftDown(wxMouseEvent& event) {
    const int hit = VirtualHitTest(event.GetPosition().y);
    if (hit == wxNOT_FOUND || !IsOnCheckBox(static_cast<size_t>(hit), event.GetPosition())) {
        event.Skip();  // the list selects the row as usual
        return;
    }
    SetFocus();
    ClickCheckBox(static_cast<size_t>(hit));
}

void CModCheckListBox::OnRightDown(wxMouseEvent& event) {
    // The menu is about the row under the pointer.
    const int hit = VirtualHitTest(event.GetPosition().y);
    SetFocus();
    if (hit != wxNOT_FOUND && hit != GetSelection()) {
        SetSelection(hit);
        SendSelectedEvent();
    }
    event.Skip();  // the system raises the context menu event
}

void CModCheckListBox::OnKeyDown(wxKeyEvent& event) {
    const bool menuKey = (event.GetKeyCode() == WXK_MENU && !event.HasAnyModifiers()) ||
                         (event.GetKeyCode() == WXK_F10 && event.GetModifiers() == wxMOD_SHIFT);
    if (menuKey) {
        // Raised here rather than left to the system, which raises it for
        // these keys on some systems only, and after the key's release on
        // others.
        wxContextMenuEvent menu(wxEVT_CONTEXT_MENU, GetId(), wxDefaultPosition);
        menu.SetEventObject(this);
        ProcessWindowEvent(menu);
        return;
    }
    if (event.GetKeyCode() != WXK_SPACE || event.HasAnyModifiers()) {
        event.Skip();
        return;
    }
    const int row = GetSelection();
    if (row == wxNOT_FOUND) {
        return;
    }
    m_checks[row] = ToggledCheck(m_checks[row]);
    RefreshRow(row);
    SendCheckEvent(static_cast<size_t>(row));
}

void CModCheckListBox::OnChar(wxKeyEvent& event) {
    const wxChar typed = event.GetUnicodeKey();
    // Letters, digits and signs search; keys with Ctrl or Alt, control
    // characters and space (which toggles the check) do not.
    if (typed == WXK_NONE || typed <= WXK_SPACE || typed == WXK_DELETE || (event.GetModifiers() & ~wxMOD_SHIFT) != 0) {
        event.Skip();
        return;
    }
    const auto now =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
    const int selection = GetSelection();
    const std::optional<std::size_t> current =
        selection == wxNOT_FOUND ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(selection));
    const std::optional<std::size_t> found =
        m_typeAhead.Type(static_cast<wchar_t>(typed), now.count(), m_items.size(), current,
                         [this](std::size_t row) { return m_items[row].text; });
    if (!found || found == current) {
        return;
    }
    // SetSelection scrolls the row into view.
    SetSelection(static_cast<int>(*found));
    SendSelectedEvent();
}

}  // namespace gh
