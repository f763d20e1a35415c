// Reordering a list box by dragging its rows: press on a row, move the mouse
// past the system's drag distance and release over another row (or below
// the last one, which means the end). The list itself keeps no order of its
// own: the drop is handed to the owner, which applies its rules and refills
// the list.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include <wx/event.h>
#include <wx/gdicmn.h>
#include <wx/listbox.h>

namespace gh {

class CListRowDragger : public wxEvtHandler {
public:
    // Called on a drop with the row pressed and the row released over, when
    // they differ.
    using Drop = std::function<void(std::size_t from, std::size_t to)>;

    // Watches `list`'s mouse events from now on; `list` must outlive it.
    CListRowDragger(wxListBox& list, Drop drop);
    ~CListRowDragger() override;

    bool IsDragging() const { return m_dragging; }

    // The row a drop at `point` (client coordinates) lands on: the row under
    // it, the last row below the rows, none outside the list.
    std::optional<std::size_t> DropRow(const wxPoint& point) const;

private:
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void Reset();

    wxListBox& m_list;
    Drop m_drop;
    std::optional<std::size_t> m_from;  // the row pressed, while the button is down
    wxPoint m_pressedAt;
    bool m_dragging = false;
};

}  // namespace gh
