// Ending a dialog whether it runs modally or was only shown.
#pragma once

#include <wx/dialog.h>

namespace gh {

// A modal dialog ends its loop with `result`; a dialog that was only shown
// (tests, the screenshot tool) keeps `result` as its return code and hides.
inline void EndDialogWith(wxDialog& dialog, int result) {
    if (dialog.IsModal()) {
        dialog.EndModal(result);
    } else {
        dialog.SetReturnCode(result);
        dialog.Hide();
    }
}

}  // namespace gh
