// What screen readers are told about the controls that draw themselves.
//
// Where the toolkit has accessibility support (wxUSE_ACCESSIBILITY: the
// Windows build, through MSAA) each control gets an accessible object:
// buttons that show only an image are named and act as push buttons, and
// the mod list exposes every row (its name, its check state, its status)
// and tells the reader when the current row or a check changes. Where the
// toolkit has none (wxGTK 3.2), these calls do nothing; the native controls
// keep what the toolkit gives them.
#pragma once

#include <cstddef>
#include <functional>

#include <wx/string.h>
#include <wx/window.h>

namespace gh {

class CModCheckListBox;

// Whether the build can expose anything.
bool HasAccessibility();

// Names `control` for screen readers. An owner-drawn button (CHoverButton)
// also gets the role of a push button, its state, its tooltip as its
// description and a default action that clicks it; a native control keeps
// the rest of what the system says about it.
void ExposeName(wxWindow& control, const wxString& name);

// Exposes the list as a list named `name` whose items are its rows: the
// row's text as the item's name, its check state (checked, unchecked, or
// mixed for a row the player cannot choose), `statusOf(row)` as its
// description, and checking as its default action.
void ExposeModList(CModCheckListBox& list, const wxString& name, std::function<wxString(std::size_t row)> statusOf);

}  // namespace gh
