// The GUI tests on X11 (wxGTK). Real input is wx's input simulator, which
// sends the events through the X server's XTest extension, as a mouse and a
// keyboard would.
#include <wx/app.h>
#include <wx/uiaction.h>

#include "GuiTest.h"

namespace gh::test {

void DispatchWaitingMessages() {
    while (wxTheApp->Pending()) {
        wxTheApp->Dispatch();
    }
}

namespace {

// The simulator reaches the X server at once; the window sees the event only
// after the server sent it back, so every step pumps for a moment.
void Settle() { PumpFor(60); }

}  // namespace

void MoveMouseTo(const wxPoint& screenPoint) {
    wxUIActionSimulator sim;
    sim.MouseMove(screenPoint);
    Settle();
}

void ClickAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    wxUIActionSimulator sim;
    sim.MouseClick();
    Settle();
}

void RightClickAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    wxUIActionSimulator sim;
    sim.MouseClick(wxMOUSE_BTN_RIGHT);
    Settle();
}

void DoubleClickAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    wxUIActionSimulator sim;
    sim.MouseDblClick();
    Settle();
}

void MouseDownAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    wxUIActionSimulator sim;
    sim.MouseDown();
    Settle();
}

void MouseUpAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    wxUIActionSimulator sim;
    sim.MouseUp();
    Settle();
}

void PressKey(int keyCode, int modifiers) {
    wxUIActionSimulator sim;
    sim.Char(keyCode, modifiers);
    Settle();
}

}  // namespace gh::test
