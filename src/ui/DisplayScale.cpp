#include "ui/DisplayScale.h"

#include <algorithm>
#include <cmath>

#include <wx/image.h>
#include <wx/window.h>

#include "ui/CHoverButton.h"

namespace gh {

wxBitmap ScaledTo(const wxBitmap& bitmap, const wxSize& size) {
    if (!bitmap.IsOk() || bitmap.GetSize() == size || size.x <= 0 || size.y <= 0) {
        return bitmap;
    }
    const bool whole = size.x % bitmap.GetWidth() == 0 && size.y % bitmap.GetHeight() == 0;
    return wxBitmap(
        bitmap.ConvertToImage().Scale(size.x, size.y, whole ? wxIMAGE_QUALITY_NEAREST : wxIMAGE_QUALITY_BICUBIC));
}

wxBitmap ScaledForDisplay(const wxWindow& window, const wxBitmap& bitmap) {
    return bitmap.IsOk() ? ScaledTo(bitmap, window.FromDIP(bitmap.GetSize())) : bitmap;
}

wxBitmap ScaledWithLayout(const wxWindow& window, const wxBitmap& bitmap, double layoutScale) {
    const double dpiScale = window.FromDIP(1000) / 1000.0;
    const double scale = std::min(dpiScale, layoutScale);
    if (!bitmap.IsOk() || dpiScale <= 1.0 || scale <= 1.0) {
        return bitmap;
    }
    return ScaledTo(bitmap, wxSize(static_cast<int>(std::lround(bitmap.GetWidth() * scale)),
                                   static_cast<int>(std::lround(bitmap.GetHeight() * scale))));
}

void ScaleForDisplay(CHoverButton& button) {
    for (HoverImage which : {HoverImage::Normal, HoverImage::Pressed, HoverImage::Hover, HoverImage::Disabled}) {
        const wxBitmap image = button.GetImage(which);
        if (image.IsOk()) {
            button.SetImage(which, ScaledForDisplay(button, image));
        }
    }
    const wxBitmap& normal = button.GetImage(HoverImage::Normal);
    if (normal.IsOk() && normal.GetSize() != button.GetSize()) {
        button.SetMinSize(normal.GetSize());
        button.SetSize(normal.GetSize());
    }
}

}  // namespace gh
