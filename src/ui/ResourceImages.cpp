#include "ui/ResourceImages.h"

#include <wx/icon.h>
#include <wx/imagbmp.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "ui/EmbeddedResources.h"

namespace gh {

namespace {

// The name under which the application icon (res/windows/gatehouse.ico) is embedded.
constexpr const char* kApplicationIcon = "gatehouse";

// wx registers only the BMP reader by default; the ICO reader is added once,
// when the icon is first read.
void EnsureIconReader() {
    if (wxImage::FindHandler(wxBITMAP_TYPE_ICO) == nullptr) {
        wxImage::AddHandler(new wxICOHandler);
    }
}

}  // namespace

wxBitmap LoadResourceBitmap(const wxString& name) {
    const EmbeddedResource* resource = FindEmbeddedResource(name.utf8_str().data());
    if (resource == nullptr) {
        return {};
    }
    wxMemoryInputStream stream(resource->data, resource->size);
    wxImage image;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_BMP)) {
        return {};
    }
    return wxBitmap(image);
}

wxIconBundle LoadApplicationIcons() {
    wxIconBundle icons;
    const EmbeddedResource* resource = FindEmbeddedResource(kApplicationIcon);
    if (resource == nullptr) {
        return icons;
    }
    EnsureIconReader();
    wxMemoryInputStream counter(resource->data, resource->size);
    const int count = wxImage::GetImageCount(counter, wxBITMAP_TYPE_ICO);
    for (int index = 0; index < count; ++index) {
        wxMemoryInputStream stream(resource->data, resource->size);
        wxImage image;
        if (image.LoadFile(stream, wxBITMAP_TYPE_ICO, index)) {
            wxIcon icon;
            icon.CopyFromBitmap(wxBitmap(image));
            icons.AddIcon(icon);
        }
    }
    return icons;
}

}  // namespace gh
