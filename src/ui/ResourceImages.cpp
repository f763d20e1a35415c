#include "ui/ResourceImages.h"

#include <wx/icon.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "ui/EmbeddedResources.h"

namespace gh {

namespace {

wxImage LoadResourceImage(const wxString& name) {
    const EmbeddedResource* resource = FindEmbeddedResource(name.utf8_str().data());
    if (resource == nullptr) {
        return {};
    }
    // The handler may not be registered yet when no image was loaded before.
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    wxMemoryInputStream stream(resource->data, resource->size);
    wxImage image;
    if (!image.LoadFile(stream, wxBITMAP_TYPE_PNG)) {
        return {};
    }
    return image;
}

}  // namespace

wxBitmap LoadResourceBitmap(const wxString& name) {
    wxImage image = LoadResourceImage(name);
    return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

wxIconBundle LoadApplicationIcons() {
    wxIconBundle icons;
    for (int size : {16, 32, 48, 64}) {
        wxBitmap bitmap = LoadResourceBitmap(wxString::Format("APP%d", size));
        if (bitmap.IsOk()) {
            wxIcon icon;
            icon.CopyFromBitmap(bitmap);
            icons.AddIcon(icon);
        }
    }
    return icons;
}

}  // namespace gh
