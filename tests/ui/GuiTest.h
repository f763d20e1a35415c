// Helpers for tests of real windows: an event pump, waits, a frame per test,
// real mouse and keyboard input, and pixel reads from off-screen drawing.
#pragma once

#include <functional>
#include <vector>

#include <gtest/gtest.h>
#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/frame.h>
#include <wx/image.h>
#include <wx/panel.h>

namespace gh::test {

// Handles every pending event once.
void Pump();

// Pumps events until `done` is true or `timeoutMs` passed; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000);

// Pumps events for about `ms` milliseconds (to let the X server settle).
void PumpFor(int ms);

// A solid bitmap of one colour.
wxBitmap SolidBitmap(const wxSize& size, const wxColour& colour);

// The colour of one pixel of a bitmap.
wxColour PixelAt(const wxBitmap& bitmap, int x, int y);

// What the screen shows of a window's client area once the events waiting
// were handled: what the window really drew, not what it would draw if asked.
wxImage ScreenPixels(const wxWindow& window);
// What the screen shows of an area (screen coordinates) now.
wxImage ScreenPixels(const wxRect& area);

// Whether nothing is drawn on an image (every pixel has one colour), and
// whether two images are the same pixel for pixel.
bool IsOneColour(const wxImage& image);
bool SamePixels(const wxImage& a, const wxImage& b);

// What differs between the systems lives in GuiSystem_<system>.cpp.

// Dispatches every message that the system has waiting for the windows,
// without waiting for more.
void DispatchWaitingMessages();

// Real input, as the system's own input path delivers it (XTest on X11,
// SendInput on Windows), then waits until it was handled. Keys are wx key codes (WXK_..., or 'A'..'Z'), modifiers
// wxMOD_...
void MoveMouseTo(const wxPoint& screenPoint);
void ClickAt(const wxPoint& screenPoint);
void RightClickAt(const wxPoint& screenPoint);
void DoubleClickAt(const wxPoint& screenPoint);
void MouseDownAt(const wxPoint& screenPoint);
void MouseUpAt(const wxPoint& screenPoint);
void PressKey(int keyCode, int modifiers = 0);

// The screen point at the centre of a window, or at a client point of it.
wxPoint CentreOf(const wxWindow& window);
wxPoint ScreenPoint(const wxWindow& window, const wxPoint& clientPoint);

// Shows a top-level window and waits until it is on screen and has focus.
void ShowAndSettle(wxTopLevelWindow& window);

// A shown frame with a panel, destroyed after each test.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    wxFrame* m_frame = nullptr;
    wxPanel* m_panel = nullptr;
};

}  // namespace gh::test
