#include "ui/CChangesWindow.h"

#include <wx/button.h>
#include <wx/sizer.h>

#include "launcher/OutsideText.h"
#include "ui/Accessibility.h"
#include "ui/ToolkitDifferences.h"

namespace gh {

CChangesWindow::CChangesWindow(wxWindow* parent, const std::wstring& text)
    : wxDialog(parent, wxID_ANY, "What changed", wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX | wxRESIZE_BORDER) {
    m_list = new wxTextCtrl(this, wxID_ANY, ShownText(EscapedLines(text)), wxDefaultPosition, FromDIP(wxSize(600, 240)),
                            wxTE_MULTILINE | wxTE_READONLY | wxTE_WORDWRAP);
    ExposeName(*m_list, "What changed");
    auto* close = new wxButton(this, wxID_CLOSE, "Close");
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_list, 1, wxEXPAND | wxALL, FromDIP(8));
    sizer->Add(close, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(8));
    SetSizerAndFit(sizer);
    // Escape and the close button hide it, as the window's own close does;
    // the start window destroys it.
    SetEscapeId(wxID_CLOSE);
    close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Hide(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Hide(); });
    m_list->SetInsertionPoint(0);
    m_list->SetFocus();
    CentreOnParent();
}

}  // namespace gh
