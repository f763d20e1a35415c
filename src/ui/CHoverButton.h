// An image button with a fourth image shown while the mouse is over it.
#pragma once

#include <array>

#include <wx/bitmap.h>
#include <wx/control.h>

namespace gh {

// The four images of a hover button, in the order of their letters U, D, F, X.
enum class HoverImage { Normal = 0, Pressed = 1, Hover = 2, Disabled = 3 };

// Which image a hover button shows, first rule that applies: disabled (when
// that image exists), pressed (when it exists), hover (when it exists),
// otherwise normal. A missing image falls through to the next rule.
HoverImage ChooseHoverImage(bool enabled, bool pressed, bool hover, const std::array<bool, 4>& present);

// Owner-drawn button: paints exactly one of its images, copied one to one
// from the top-left corner, and no text; while it has the keyboard focus, a
// dotted ring inside its border marks it. It raises
// wxEVT_BUTTON with its id when clicked with the mouse (press and release
// over it), with the space bar (on release) or with Enter. It takes part in
// keyboard navigation like a button. Its tooltip shows also while it is
// disabled.
class CHoverButton : public wxControl {
public:
    // Loads the images named by `caption` (see AutoLoad) and takes the size
    // of the normal image.
    CHoverButton(wxWindow* parent, wxWindowID id, const wxString& caption, const wxPoint& pos = wxDefaultPosition);
    ~CHoverButton() override;

    // Loads caption + "U", "D", "F", "X" from the embedded images; a missing
    // image stays empty. Returns false when the normal image is missing (the
    // button then keeps its size); otherwise sizes the button to it.
    bool AutoLoad(const wxString& caption);

    // Replaces one image (an invalid bitmap removes it) and repaints.
    void SetImage(HoverImage which, const wxBitmap& bitmap);
    const wxBitmap& GetImage(HoverImage which) const { return m_images[static_cast<int>(which)]; }

    bool IsHover() const { return m_bHover; }
    bool IsPressed() const { return (m_mouseDown && m_mouseInside) || m_keyDown; }

    // The image a paint would show now.
    HoverImage CurrentImage() const;

    // Paints the current image at the origin of `dc`, and the focus mark
    // while the button has the focus; the paint handler draws through this.
    void DrawTo(wxDC& dc) const;

    // Raises the click event as a mouse click would (nothing while disabled).
    void Click();

    bool Enable(bool enable = true) override;
    bool AcceptsFocus() const override { return IsEnabled() && IsShown(); }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnMouseLeave(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnFocusLost(wxFocusEvent& event);

    std::array<wxBitmap, 4> m_images;
    bool m_bHover = false;
    bool m_mouseDown = false;    // pressed with the mouse, capture held
    bool m_mouseInside = false;  // the pressing mouse is over the button
    bool m_keyDown = false;      // space held down
};

}  // namespace gh
