// Text on the system's clipboard.
#pragma once

#include <optional>

#include <wx/string.h>

namespace gh {

// Puts `text` on the clipboard and hands it to the system's keeping at once,
// so that it stays there once the launcher has ended: on X11 the clipboard
// manager, where one runs, takes a copy (a program's clipboard is otherwise
// only served by the program itself); on Windows the text is rendered into
// the clipboard. False when the clipboard could not be opened.
bool CopyToClipboard(const wxString& text);

// The clipboard's text; none when it holds no text or cannot be opened.
std::optional<wxString> ClipboardText();

}  // namespace gh
