// The manager's notice line: a short text that says what the player should
// know now (why a mod cannot be chosen, what a load left out), without a
// dialog that stops them. It keeps to a few lines in its place; what does
// not fit, and the details, show in its tooltip. Hidden while it has
// nothing to say.
#pragma once

#include <wx/panel.h>
#include <wx/stattext.h>

#include <string>

namespace gh {

class CNoticeLine : public wxPanel {
public:
    // At most `maxLines` lines of text are shown in the rectangle given.
    CNoticeLine(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, int maxLines);

    // Shows `line` (wrapped, cut with "..." where it does not fit) with
    // `details` below it in the tooltip. An empty line hides the notice.
    void SetNotice(const std::wstring& line, const std::wstring& details = {});
    void ClearNotice() { SetNotice({}); }
    bool HasNotice() const { return !m_line.empty(); }
    // The whole line, as set.
    const std::wstring& Line() const { return m_line; }
    // What is drawn, after wrapping and cutting.
    wxString ShownText() const { return m_text->GetLabelText(); }
    // The tooltip: the whole line when it was cut, then the details.
    wxString TipText() const;

private:
    wxStaticText* m_text = nullptr;
    int m_maxLines;
    std::wstring m_line;
};

}  // namespace gh
