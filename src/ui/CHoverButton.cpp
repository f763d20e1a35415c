#include "ui/CHoverButton.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include "ui/ResourceImages.h"
#include "ui/ToolkitDifferences.h"

namespace gh {

namespace {

// The focus mark: a dotted ring in the light colour of the buttons' captions,
// just inside their rounded border, where a push button draws its focus
// rectangle. `unit` is one pixel at the display's scaling; the dots are drawn
// one by one, as a pen's own dots do not stay dots at every width.
void DrawFocusRing(wxDC& dc, const wxSize& size, int unit) {
    static const wxColour kRingColour(246, 223, 174);
    const wxRect ring = wxRect(size).Deflate(4 * unit);
    if (ring.width < 8 * unit || ring.height < 8 * unit) {
        return;
    }
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(kRingColour));
    const auto dot = [&](int x, int y) { dc.DrawRectangle(x, y, unit, unit); };
    const int left = ring.x;
    const int top = ring.y;
    const int right = ring.x + ring.width - unit;
    const int bottom = ring.y + ring.height - unit;
    // The edges stop short of the corners, which one dot each rounds.
    for (int x = left + 2 * unit; x <= right - 2 * unit; x += 2 * unit) {
        dot(x, top);
        dot(x, bottom);
    }
    for (int y = top + 2 * unit; y <= bottom - 2 * unit; y += 2 * unit) {
        dot(left, y);
        dot(right, y);
    }
    for (const int x : {left + unit, right - unit}) {
        for (const int y : {top + unit, bottom - unit}) {
            dot(x, y);
        }
    }
}

}  // namespace

HoverImage ChooseHoverImage(bool enabled, bool pressed, bool hover, const std::array<bool, 4>& present) {
    auto has = [&](HoverImage image) { return present[static_cast<int>(image)]; };
    if (!enabled && has(HoverImage::Disabled)) {
        return HoverImage::Disabled;
    }
    if (pressed && has(HoverImage::Pressed)) {
        return HoverImage::Pressed;
    }
    if (hover && has(HoverImage::Hover)) {
        return HoverImage::Hover;
    }
    return HoverImage::Normal;
}

CHoverButton::CHoverButton(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos)
    : wxControl(parent, id, pos, wxDefaultSize, wxBORDER_NONE | wxWANTS_CHARS) {
    SetLabel(caption);  // the accessible name, never drawn
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CHoverButton::OnPaint, this);
    Bind(wxEVT_MOTION, &CHoverButton::OnMouseMove, this);
    Bind(wxEVT_LEAVE_WINDOW, &CHoverButton::OnMouseLeave, this);
    Bind(wxEVT_LEFT_DOWN, &CHoverButton::OnLeftDown, this);
    // A quick second click counts as a click of its own, as on a push button.
    Bind(wxEVT_LEFT_DCLICK, &CHoverButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CHoverButton::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CHoverButton::OnCaptureLost, this);
    Bind(wxEVT_KEY_DOWN, &CHoverButton::OnKeyDown, this);
    Bind(wxEVT_KEY_UP, &CHoverButton::OnKeyUp, this);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
        Refresh();  // shows the focus mark
        event.Skip();
    });
    Bind(wxEVT_KILL_FOCUS, &CHoverButton::OnFocusLost, this);
    AutoLoad(caption);
    ShowToolTipWhileDisabled(*this);  // a greyed button may say why in its tip
}

CHoverButton::~CHoverButton() {
    // A button destroyed while pressed (its click closed the window) must not
    // keep the mouse.
    if (HasCapture()) {
        ReleaseMouse();
    }
}

bool CHoverButton::AutoLoad(const wxString& caption) {
    static const char kLetters[4] = {'U', 'D', 'F', 'X'};
    for (int i = 0; i < 4; ++i) {
        m_images[i] = LoadResourceBitmap(caption + kLetters[i]);
    }
    Refresh();
    if (!m_images[0].IsOk()) {
        return false;
    }
    const wxSize size = m_images[0].GetSize();
    SetMinSize(size);
    SetSize(size);
    InvalidateBestSize();
    return true;
}

void CHoverButton::SetImage(HoverImage which, const wxBitmap& bitmap) {
    m_images[static_cast<int>(which)] = bitmap;
    if (which == HoverImage::Normal) {
        InvalidateBestSize();
    }
    Refresh();
}

HoverImage CHoverButton::CurrentImage() const {
    std::array<bool, 4> present{};
    for (int i = 0; i < 4; ++i) {
        present[i] = m_images[i].IsOk();
    }
    return ChooseHoverImage(IsEnabled(), IsPressed(), m_bHover, present);
}

void CHoverButton::DrawTo(wxDC& dc) const {
    const wxSize size = GetClientSize();
    const wxBitmap& image = m_images[static_cast<int>(CurrentImage())];
    // Whatever the image does not cover shows the parent's face.
    if (!image.IsOk() || image.GetWidth() < size.x || image.GetHeight() < size.y) {
        wxColour face = GetParent() ? GetParent()->GetBackgroundColour() : wxColour();
        if (!face.IsOk()) {
            face = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
        }
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(wxBrush(face));
        dc.DrawRectangle(wxPoint(0, 0), size);
    }
    if (image.IsOk()) {
        dc.DrawBitmap(image, 0, 0, false);
    }
    if (HasFocus()) {
        DrawFocusRing(dc, size, FromDIP(1));
    }
}

void CHoverButton::Click() {
    if (!IsEnabled()) {
        return;
    }
    wxCommandEvent event(wxEVT_BUTTON, GetId());
    event.SetEventObject(this);
    ProcessWindowEvent(event);
}

bool CHoverButton::Enable(bool enable) {
    if (enable && !IsEnabled()) {
        // No mouse events reach a disabled window, so the hover state may be
        // stale; take it from where the mouse is now.
        m_bHover = GetScreenRect().Contains(wxGetMousePosition());
    }
    if (!enable) {
        m_keyDown = false;
    }
    const bool changed = wxControl::Enable(enable);
    Refresh();
    return changed;
}

wxSize CHoverButton::DoGetBestSize() const { return m_images[0].IsOk() ? m_images[0].GetSize() : wxSize(16, 16); }

void CHoverButton::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    DrawTo(dc);
}

void CHoverButton::OnMouseMove(wxMouseEvent& event) {
    m_bHover = true;
    if (m_mouseDown) {
        m_mouseInside = GetClientRect().Contains(event.GetPosition());
    }
    Refresh();
}

void CHoverButton::OnMouseLeave(wxMouseEvent& event) {
    m_bHover = false;
    Refresh();
    event.Skip();
}

void CHoverButton::OnLeftDown(wxMouseEvent& event) {
    if (!IsEnabled()) {
        return;
    }
    if (AcceptsFocus()) {
        SetFocus();
    }
    m_bHover = true;
    m_mouseDown = true;
    m_mouseInside = GetClientRect().Contains(event.GetPosition());
    if (!HasCapture()) {
        CaptureMouse();
    }
    Refresh();
}

void CHoverButton::OnLeftUp(wxMouseEvent& event) {
    if (!m_mouseDown) {
        return;
    }
    const bool clicked = GetClientRect().Contains(event.GetPosition());
    m_mouseDown = false;
    m_mouseInside = false;
    if (HasCapture()) {
        ReleaseMouse();
    }
    Refresh();
    if (clicked) {
        Click();
    }
}

void CHoverButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    m_mouseDown = false;
    m_mouseInside = false;
    Refresh();
}

void CHoverButton::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_SPACE:
            if (!m_keyDown && IsEnabled()) {
                m_keyDown = true;
                Refresh();
            }
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: Click(); return;
        case WXK_TAB:
            // The button asks for every key, so it moves the focus on itself.
            Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
            return;
        default: event.Skip();
    }
}

void CHoverButton::OnKeyUp(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_SPACE && m_keyDown) {
        m_keyDown = false;
        Refresh();
        Click();
        return;
    }
    event.Skip();
}

void CHoverButton::OnFocusLost(wxFocusEvent& event) {
    // A space press that loses the focus before its release is no click.
    m_keyDown = false;
    Refresh();  // takes the focus mark away
    event.Skip();
}

}  // namespace gh
