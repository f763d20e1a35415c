// The list of what changed among the Workshop subscriptions since the game
// was last started, in a window of its own beside the start window. It is
// not modal: the start window goes on pumping the client while it is open.
#pragma once

#include <string>

#include <wx/dialog.h>
#include <wx/textctrl.h>

namespace gh {

class CChangesWindow : public wxDialog {
public:
    // `text` as ChangesText gives it; outside text in it is shown escaped.
    CChangesWindow(wxWindow* parent, const std::wstring& text);

    wxTextCtrl& List() { return *m_list; }

private:
    wxTextCtrl* m_list = nullptr;
};

}  // namespace gh
