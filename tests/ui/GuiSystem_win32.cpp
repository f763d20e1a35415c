// The GUI tests on Windows (wxMSW). Real input goes through SendInput and
// SetCursorPos, the calls through which mice and keyboards reach the
// system's input queue; under Wine they become X events of the display, so
// the windows see them as any other input.
#include <windows.h>

#include <wx/evtloop.h>

#include "GuiTest.h"

namespace gh::test {

void DispatchWaitingMessages() {
    // Not Pending() and Dispatch(): under Wine the queue may report a
    // message that only the window system's own event handling consumes, and
    // Dispatch() would then wait for the next one, seconds later.
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (loop != nullptr && loop->DispatchTimeout(0) > 0) {
    }
}

namespace {

// Input is queued at once and handled by the window's own loop, so every
// step pumps for a moment.
void Settle() { PumpFor(60); }

void SendMouse(DWORD flags, LONG x = 0, LONG y = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = x;
    input.mi.dy = y;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// The virtual-key code of a wx key code, and whether it is one of the keys
// that the keyboard sends with the extended prefix.
struct VirtualKey {
    WORD code;
    bool extended;
};

VirtualKey ToVirtualKey(int keyCode) {
    switch (keyCode) {
        case WXK_RETURN: return {VK_RETURN, false};
        case WXK_NUMPAD_ENTER: return {VK_RETURN, true};
        case WXK_ESCAPE: return {VK_ESCAPE, false};
        case WXK_SPACE: return {VK_SPACE, false};
        case WXK_TAB: return {VK_TAB, false};
        case WXK_BACK: return {VK_BACK, false};
        case WXK_UP: return {VK_UP, true};
        case WXK_DOWN: return {VK_DOWN, true};
        case WXK_LEFT: return {VK_LEFT, true};
        case WXK_RIGHT: return {VK_RIGHT, true};
        case WXK_HOME: return {VK_HOME, true};
        case WXK_END: return {VK_END, true};
        case WXK_PAGEUP: return {VK_PRIOR, true};
        case WXK_PAGEDOWN: return {VK_NEXT, true};
        case WXK_DELETE: return {VK_DELETE, true};
        case WXK_MENU: return {VK_APPS, true};
        case WXK_F10: return {VK_F10, false};
        default: break;
    }
    if ((keyCode >= 'A' && keyCode <= 'Z') || (keyCode >= '0' && keyCode <= '9')) {
        return {static_cast<WORD>(keyCode), false};
    }
    if (keyCode >= 'a' && keyCode <= 'z') {
        return {static_cast<WORD>(keyCode - 'a' + 'A'), false};
    }
    ADD_FAILURE() << "no virtual key for the wx key code " << keyCode;
    return {0, false};
}

void SendKey(VirtualKey key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key.code;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.code, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
    SendInput(1, &input, sizeof(input));
}

}  // namespace

void MoveMouseTo(const wxPoint& screenPoint) {
    // An absolute move in the input's normalised units (0..65535 across the
    // primary screen) makes the move event; SetCursorPos then puts the
    // pointer on the exact pixel, which the normalisation may miss by one.
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const LONG x = MulDiv(screenPoint.x, 65536, width) + 1;
    const LONG y = MulDiv(screenPoint.y, 65536, height) + 1;
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
    SetCursorPos(screenPoint.x, screenPoint.y);
    Settle();
}

void ClickAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle();
}

void RightClickAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    Settle();
}

void DoubleClickAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    for (int i = 0; i < 2; ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
    }
    Settle();
}

void MouseDownAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Settle();
}

void MouseUpAt(const wxPoint& screenPoint) {
    MoveMouseTo(screenPoint);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Settle();
}

void PressKey(int keyCode, int modifiers) {
    static constexpr struct {
        int modifier;
        WORD key;
    } kModifiers[] = {{wxMOD_CONTROL, VK_CONTROL}, {wxMOD_SHIFT, VK_SHIFT}, {wxMOD_ALT, VK_MENU}};
    for (const auto& m : kModifiers) {
        if ((modifiers & m.modifier) != 0) SendKey({m.key, false}, false);
    }
    const VirtualKey key = ToVirtualKey(keyCode);
    SendKey(key, false);
    SendKey(key, true);
    for (const auto& m : kModifiers) {
        if ((modifiers & m.modifier) != 0) SendKey({m.key, false}, true);
    }
    Settle();
}

}  // namespace gh::test
