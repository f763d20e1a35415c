#include "ui/CNoticeLine.h"

#include <wx/arrstr.h>
#include <wx/dcclient.h>
#include <wx/tooltip.h>

#include <algorithm>
#include <utility>

#include "ui/Accessibility.h"
#include "ui/ToolkitDifferences.h"

namespace gh {

CNoticeLine::CNoticeLine(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, int maxLines)
    : wxPanel(parent, id, pos, size, wxTAB_TRAVERSAL | wxBORDER_NONE), m_maxLines(maxLines), m_textArea(size) {
    m_text = new wxStaticText(this, wxID_ANY, wxEmptyString, wxPoint(0, 0), size, wxST_NO_AUTORESIZE);
    // Only the action's button takes the focus, never the panel itself.
    m_container.DisableSelfFocus();
    SetName("Notice");
    Hide();
}

void CNoticeLine::SetAction(int id, const wxString& label, const wxBitmap& icon, const wxString& name,
                            const wxString& tip, std::function<void()> onClick) {
    if (m_action == nullptr) {
        m_action = new wxButton(this, id, label, wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
        m_action->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            if (m_onAction) m_onAction();
        });
    }
    m_action->SetLabel(label);
    if (icon.IsOk()) m_action->SetBitmap(icon);
    m_action->SetToolTip(tip);
    ExposeName(*m_action, name);
    m_onAction = std::move(onClick);
    m_action->SetSize(m_action->GetBestSize());
    m_action->Hide();
}

void CNoticeLine::Arrange(int textHeight, bool withAction) {
    m_text->SetSize(0, 0, m_textArea.x, textHeight);
    int height = textHeight;
    if (m_action != nullptr) {
        if (withAction != m_action->IsShown()) {
            m_action->Show(withAction);
            // GTK keeps a focus chain of what could take the focus when it
            // was made, which left out the hidden button and this notice,
            // which then had nothing to focus: moving them to where they
            // stand has both chains made again.
            m_action->MoveAfterInTabOrder(m_text);
            if (wxWindow* before = GetPrevSibling()) {
                MoveAfterInTabOrder(before);
            }
        }
        if (withAction) {
            const wxSize button = m_action->GetSize();
            const int gap = std::max(2, textHeight / 12);
            m_action->Move(m_textArea.x - button.x, textHeight + gap);
            height += gap + button.y;
        }
    }
    SetSize(m_textArea.x, height);
}

void CNoticeLine::SetNotice(const std::wstring& line, const std::wstring& details, bool withAction) {
    m_line = line;
    if (line.empty()) {
        m_text->SetLabelText(wxEmptyString);
        m_text->UnsetToolTip();
        if (m_action != nullptr) m_action->Hide();
        Hide();
        return;
    }
    // The text is wrapped to the width at blanks; a wrapped text that needs
    // more lines than the place has keeps the first ones, the last cut
    // with "...".
    const int width = m_textArea.x;
    const auto fits = [&](const wxString& text) { return m_text->GetTextExtent(text).x <= width; };
    wxArrayString lines;
    wxString current;
    for (const wxString& word : wxSplit(gh::ShownText(line), ' ', '\0')) {
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
    // As high as its lines, within its place.
    wxClientDC dc(m_text);
    dc.SetFont(m_text->GetFont());
    wxCoord textWidth = 0, textHeight = 0;
    dc.GetMultiLineTextExtent(m_text->GetLabelText(), &textWidth, &textHeight);
    Arrange(std::min(m_textArea.y, textHeight + 2), withAction);
    wxString tip;
    if (cut) tip = gh::ShownText(line);
    if (!details.empty()) tip += (tip.empty() ? "" : "\n\n") + gh::ShownText(details);
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
