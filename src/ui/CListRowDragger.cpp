#include "ui/CListRowDragger.h"

#include <cstdlib>

#include <wx/cursor.h>
#include <wx/settings.h>

namespace gh {

namespace {

// How far the mouse must move with the button down before a press becomes a
// drag, so that a slightly shaky click still only highlights.
wxSize DragDistance(const wxWindow& window) {
    int x = wxSystemSettings::GetMetric(wxSYS_DRAG_X, &window);
    int y = wxSystemSettings::GetMetric(wxSYS_DRAG_Y, &window);
    return wxSize(x > 0 ? x : 4, y > 0 ? y : 4);
}

}  // namespace

CListRowDragger::CListRowDragger(wxListBox& list, Drop drop) : m_list(list), m_drop(std::move(drop)) {
    // Each handler lets the list handle the event as well: the press still
    // highlights the row, the native list keeps its own behaviour.
    m_list.Bind(wxEVT_LEFT_DOWN, &CListRowDragger::OnLeftDown, this);
    m_list.Bind(wxEVT_MOTION, &CListRowDragger::OnMotion, this);
    m_list.Bind(wxEVT_LEFT_UP, &CListRowDragger::OnLeftUp, this);
    m_list.Bind(wxEVT_LEAVE_WINDOW, &CListRowDragger::OnLeave, this);
}

CListRowDragger::~CListRowDragger() {
    m_list.Unbind(wxEVT_LEFT_DOWN, &CListRowDragger::OnLeftDown, this);
    m_list.Unbind(wxEVT_MOTION, &CListRowDragger::OnMotion, this);
    m_list.Unbind(wxEVT_LEFT_UP, &CListRowDragger::OnLeftUp, this);
    m_list.Unbind(wxEVT_LEAVE_WINDOW, &CListRowDragger::OnLeave, this);
}

std::optional<std::size_t> CListRowDragger::DropRow(const wxPoint& point) const {
    const wxSize client = m_list.GetClientSize();
    if (point.x < 0 || point.y < 0 || point.x >= client.x || point.y >= client.y || m_list.GetCount() == 0) {
        return std::nullopt;
    }
    const int row = m_list.HitTest(point);
    if (row == wxNOT_FOUND) {
        return m_list.GetCount() - 1;  // below the last row
    }
    return static_cast<std::size_t>(row);
}

void CListRowDragger::OnLeftDown(wxMouseEvent& event) {
    event.Skip();
    Reset();
    const int row = m_list.HitTest(event.GetPosition());
    if (row != wxNOT_FOUND) {
        m_from = static_cast<std::size_t>(row);
        m_pressedAt = event.GetPosition();
    }
}

void CListRowDragger::OnMotion(wxMouseEvent& event) {
    event.Skip();
    if (!m_from || !event.LeftIsDown()) {
        return;
    }
    if (!m_dragging) {
        const wxSize distance = DragDistance(m_list);
        const wxPoint moved = event.GetPosition() - m_pressedAt;
        if (std::abs(moved.x) < distance.x && std::abs(moved.y) < distance.y) {
            return;
        }
        m_dragging = true;
    }
    m_list.SetCursor(DropRow(event.GetPosition()) ? wxCursor(wxCURSOR_SIZENS) : wxCursor(wxCURSOR_NO_ENTRY));
}

void CListRowDragger::OnLeftUp(wxMouseEvent& event) {
    event.Skip();
    const std::optional<std::size_t> from = m_from;
    const bool dragged = m_dragging;
    Reset();
    if (!from || !dragged) {
        return;
    }
    const std::optional<std::size_t> to = DropRow(event.GetPosition());
    if (to && *to != *from && m_drop) {
        // After the list has finished with the release: the drop refills it.
        m_list.CallAfter([drop = m_drop, from = *from, to = *to] { drop(from, to); });
    }
}

void CListRowDragger::OnLeave(wxMouseEvent& event) {
    event.Skip();
    // A release outside the list does not reach it; with the button up again
    // the drag is over.
    if (m_dragging && !wxGetMouseState().LeftIsDown()) {
        Reset();
    }
}

void CListRowDragger::Reset() {
    if (m_dragging) {
        m_list.SetCursor(wxNullCursor);
    }
    m_from.reset();
    m_dragging = false;
}

}  // namespace gh
