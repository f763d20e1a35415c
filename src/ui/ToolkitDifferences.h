// What the two toolkits the windows are built with do differently, behind
// one header: ToolkitDifferences_gtk.cpp for wxGTK, ToolkitDifferences_msw.cpp
// for wxMSW, chosen in CMakeLists.txt and nowhere else.
#pragma once

#include <wx/string.h>

#include <string>

class wxWindow;

namespace gh {

// Keeps `window`'s scroll bars on screen while its content is longer than its
// view, so that the player sees that a list goes on. GTK overlays scroll bars
// on the content and shows them only while the pointer moves over it; Windows
// always shows them.
void KeepScrollBarsVisible(wxWindow& window);

// Lets `button`'s tooltip show while the button is disabled, as it does while
// it is enabled. GTK shows a disabled window's tooltip itself. Windows sends
// the pointer's moves over a disabled window to its parent, so there the
// parent carries, while the button is disabled, a tooltip of the button's
// text over the button's place (the parent must have no tooltip of its own).
void ShowToolTipWhileDisabled(wxWindow& button);

// What a control is given to draw `text`, which may hold the marks that
// isolate outside text from its neighbours (U+2066 to U+2069). GTK and
// Windows draw those marks as nothing, as they should; Wine's text drawing
// shows each as a box, so under Wine they are left out (a name's own
// direction controls are shown escaped in any case).
wxString ShownText(const std::wstring& text);

}  // namespace gh
