// The windows' pictures at the display's scaling. The pictures are made for
// 100%; on Windows at 150% or 200% a window's layout grows with its DPI
// (FromDIP), and its pictures must grow with it or they sit small in large
// places. GTK scales whole windows itself, so there FromDIP changes nothing
// and neither does this.
#pragma once

#include <wx/bitmap.h>

class wxWindow;

namespace gh {

class CHoverButton;

// `bitmap` at `size`: whole multiples keep the pixels sharp, other factors
// are smoothed. An invalid bitmap stays invalid.
wxBitmap ScaledTo(const wxBitmap& bitmap, const wxSize& size);

// `bitmap` as large as `window`'s DPI makes a picture made for 96 DPI.
wxBitmap ScaledForDisplay(const wxWindow& window, const wxBitmap& bitmap);

// `bitmap` grown as far as `layoutScale` (how much a window's layout grew
// from its 100% size), but never further than the DPI: for pictures that
// must keep fitting controls laid out in font units, since a font grows a
// little less than the DPI. At 100% it stays as it is.
wxBitmap ScaledWithLayout(const wxWindow& window, const wxBitmap& bitmap, double layoutScale);

// The button's pictures at its DPI, and the button at their size.
void ScaleForDisplay(CHoverButton& button);

}  // namespace gh
