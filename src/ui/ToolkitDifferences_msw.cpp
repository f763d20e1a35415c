#include "ui/ToolkitDifferences.h"

#include <wx/msw/wrapwin.h>
#include <wx/tooltip.h>
#include <wx/weakref.h>
#include <wx/window.h>

namespace gh {

void KeepScrollBarsVisible(wxWindow&) {}

void ShowToolTipWhileDisabled(wxWindow& button) {
    wxWindow* parent = button.GetParent();
    if (parent == nullptr) {
        return;
    }
    // The parent outlives its children, but a button may go before it.
    parent->Bind(wxEVT_MOTION, [parent, weak = wxWeakRef<wxWindow>(&button)](wxMouseEvent& event) {
        event.Skip();
        wxWindow* held = weak.get();
        if (held == nullptr || held->IsEnabled() || held->GetToolTip() == nullptr) {
            return;
        }
        // The tooltip sees the move as the button's own while the pointer is
        // over it, and as the parent's elsewhere, which takes the tip away.
        const bool over = held->GetRect().Contains(event.GetPosition());
        const wxWindow& target = over ? *held : *parent;
        const wxPoint point = over ? event.GetPosition() - held->GetPosition() : event.GetPosition();
        const wxPoint screen = parent->ClientToScreen(event.GetPosition());
        MSG message{};
        message.hwnd = static_cast<HWND>(target.GetHWND());
        message.message = WM_MOUSEMOVE;
        message.lParam = MAKELPARAM(point.x, point.y);
        message.time = static_cast<DWORD>(GetMessageTime());
        message.pt = POINT{screen.x, screen.y};
        wxToolTip::RelayEvent(&message);
    });
}

}  // namespace gh
