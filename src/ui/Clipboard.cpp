#include "ui/Clipboard.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

namespace gh {

bool CopyToClipboard(const wxString& text) {
    if (!wxTheClipboard->Open()) {
        return false;
    }
    const bool set = wxTheClipboard->SetData(new wxTextDataObject(text));
    wxTheClipboard->Close();
    if (set) {
        // Without this the text would go with the process that owns it.
        wxTheClipboard->Flush();
    }
    return set;
}

std::optional<wxString> ClipboardText() {
    if (!wxTheClipboard->Open()) {
        return std::nullopt;
    }
    std::optional<wxString> text;
    if (wxTheClipboard->IsSupported(wxDF_UNICODETEXT) || wxTheClipboard->IsSupported(wxDF_TEXT)) {
        wxTextDataObject data;
        if (wxTheClipboard->GetData(data)) {
            text = data.GetText();
        }
    }
    wxTheClipboard->Close();
    return text;
}

}  // namespace gh
