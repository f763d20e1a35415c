#include "ui/CNoticeLine.h"

#include <wx/arrstr.h>
#include <wx/tooltip.h>

namespace gh {

CNoticeLine::CNoticeLine(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, int maxLines)
    : wxPanel(parent, id, pos, size, wxTAB_TRAVERSAL | wxBORDER_NONE), m_maxLines(maxLines) {
    m_text = new wxStaticText(this, wxID_ANY, wxEmptyString, wxPoint(0, 0), size, wxST_NO_AUTORESIZE);
    SetName("Notice");
    Hide();
}

void CNoticeLine::SetNotice(const std::wstring& line, const std::wstring& details) {
    m_line = line;
    if (line.empty()) {
        m_text->SetLabelText(wxEmptyString);
        m_text->UnsetToolTip();
        Hide();
        return;
    }
    // The text is wrapped to the width at blanks; a wrapped text that needs
    // more lines than the place has keeps the first ones, the last cut
    // with "...".
    const int width = GetClientSize().x;
    const auto fits = [&](const wxString& text) { return m_text->GetTextExtent(text).x <= width; };
    wxArrayString lines;
    wxString current;
    for (const wxString& word : wxSplit(wxString(line), ' ', '\0')) {
        const wxString joined = current.empty() ? word : current + " " + word;
        if (fits(joined) || current.empty()) {
            current = joined;
        } else {
            lines.push_back(current);
            current = word;
        }
        // A word wider than the line is broken where it must be.
        while (!fits(current) && current.length() > 1) {
            std::size_t keep = current.length() - 1;
            while (keep > 1 && !fits(current.Left(keep))) --keep;
            lines.push_back(current.Left(keep));
            current = current.Mid(keep);
        }
    }
    if (!current.empty()) lines.push_back(current);
    const bool cut = static_cast<int>(lines.size()) > m_maxLines;
    if (cut) {
        lines.resize(static_cast<std::size_t>(m_maxLines));
        wxString& last = lines.back();
        while (!last.empty() && !fits(last + "...")) last.RemoveLast();
        last += "...";
    }
    // As text, never as a label whose '&' would mark a shortcut.
    m_text->SetLabelText(wxJoin(lines, '\n', '\0'));
    wxString tip;
    if (cut) tip = wxString(line);
    if (!details.empty()) tip += (tip.empty() ? "" : "\n\n") + wxString(details);
    if (tip.empty()) {
        m_text->UnsetToolTip();
    } else {
        m_text->SetToolTip(tip);
    }
    Show();
}

wxString CNoticeLine::TipText() const {
    const wxToolTip* tip = m_text->GetToolTip();
    return tip ? tip->GetTip() : wxString();
}

}  // namespace gh
