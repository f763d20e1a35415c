// The manager's notice line: a short text that says what the player should
// know now (why a mod cannot be chosen, what a load left out, what the
// selected mods need), without a dialog that stops them. It keeps to a few
// lines in its place; what does not fit, and the details, show in its
// tooltip. A notice may offer one action, a button below its text. Hidden
// while it has nothing to say; as high as what it shows.
#pragma once

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include <functional>
#include <string>

namespace gh {

class CNoticeLine : public wxPanel {
public:
    // At most `maxLines` lines of text are shown, `size.x` wide; the
    // notice is never taller than `size.y` plus its action's button.
    CNoticeLine(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, int maxLines);

    // Gives the notice its action: a button with `icon` and `label`, named
    // `name` for screen readers, with `tip` as its tooltip. It shows only
    // with a notice that asks for it, and is then in the tab order; a
    // click, or Enter or Space while it has the focus, calls `onClick`.
    void SetAction(int id, const wxString& label, const wxBitmap& icon, const wxString& name, const wxString& tip,
                   std::function<void()> onClick);

    // Shows `line` (wrapped, cut with "..." where it does not fit) with
    // `details` below it in the tooltip, and the action's button when
    // `withAction`. An empty line hides the notice.
    void SetNotice(const std::wstring& line, const std::wstring& details = {}, bool withAction = false);
    void ClearNotice() { SetNotice({}); }
    bool HasNotice() const { return !m_line.empty(); }
    // The whole line, as set.
    const std::wstring& Line() const { return m_line; }
    // What is drawn, after wrapping and cutting.
    wxString ShownText() const { return m_text->GetLabelText(); }
    // The tooltip: the whole line when it was cut, then the details.
    wxString TipText() const;
    // The action's button (null before SetAction), and whether it shows.
    wxButton* ActionButton() const { return m_action; }
    bool ShowsAction() const { return m_action != nullptr && m_action->IsShown(); }

private:
    void Arrange(int textHeight, bool withAction);

    wxStaticText* m_text = nullptr;
    wxButton* m_action = nullptr;
    std::function<void()> m_onAction;
    int m_maxLines;
    wxSize m_textArea;
    std::wstring m_line;
};

}  // namespace gh
