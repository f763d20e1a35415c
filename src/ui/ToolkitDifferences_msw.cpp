#include "ui/ToolkitDifferences.h"

#include "platform/Environment.h"

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
    // The pointer's moves over a disabled window go to its parent, and the
    // tooltip looks for its tool under the pointer past a disabled window.
    // So while the button is disabled, the parent carries a stand-in tooltip
    // over the button's rectangle with the button's tip, fed with the
    // parent's moves here (a dialog's own moves never reach the toolkit's
    // feed). The parent outlives its children, but a button may go first.
    parent->Bind(wxEVT_MOTION, [parent, weak = wxWeakRef<wxWindow>(&button),
                                standIn = static_cast<wxToolTip*>(nullptr)](wxMouseEvent& event) mutable {
        event.Skip();
        wxWindow* held = weak.get();
        const wxToolTip* own = held != nullptr ? held->GetToolTip() : nullptr;
        if (held == nullptr || own == nullptr || held->IsEnabled() || !held->IsShown()) {
            if (standIn != nullptr && parent->GetToolTip() == standIn) {
                parent->UnsetToolTip();
            }
            standIn = nullptr;
            return;
        }
        if (standIn == nullptr || parent->GetToolTip() != standIn || standIn->GetTip() != own->GetTip()) {
            standIn = new wxToolTip(own->GetTip());
            standIn->SetRect(held->GetRect());
            parent->SetToolTip(standIn);
        }
        const wxPoint screen = parent->ClientToScreen(event.GetPosition());
        MSG message{};
        message.hwnd = static_cast<HWND>(parent->GetHWND());
        message.message = WM_MOUSEMOVE;
        message.lParam = MAKELPARAM(event.GetPosition().x, event.GetPosition().y);
        message.time = static_cast<DWORD>(GetMessageTime());
        message.pt = POINT{screen.x, screen.y};
        wxToolTip::RelayEvent(&message);
    });
}

wxString ShownText(const std::wstring& text) {
    static const bool withoutIsolates = platform::RunsUnderWine();
    if (!withoutIsolates) {
        return wxString(text);
    }
    std::wstring shown;
    shown.reserve(text.size());
    for (const wchar_t c : text) {
        if (c < 0x2066 || c > 0x2069) {
            shown += c;
        }
    }
    return wxString(shown);
}

}  // namespace gh
