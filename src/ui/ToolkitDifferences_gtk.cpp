#include "ui/ToolkitDifferences.h"

#include <dlfcn.h>

#include <wx/window.h>

namespace gh {

namespace {

// GTK's own calls, taken from the GTK the toolkit has loaded, so that building
// the windows needs no GTK headers. Null where this GTK lacks one.
struct GtkCalls {
    using GetType = unsigned long (*)();
    using IsA = int (*)(void* instance, unsigned long type);
    using SetOverlayScrolling = void (*)(void* scrolledWindow, int overlay);

    GetType scrolledWindowType = nullptr;
    IsA isA = nullptr;
    SetOverlayScrolling setOverlayScrolling = nullptr;

    GtkCalls() {
        void* gtk = dlopen("libgtk-3.so.0", RTLD_LAZY | RTLD_NOLOAD);
        if (gtk == nullptr) {
            return;
        }
        scrolledWindowType = reinterpret_cast<GetType>(dlsym(gtk, "gtk_scrolled_window_get_type"));
        isA = reinterpret_cast<IsA>(dlsym(gtk, "g_type_check_instance_is_a"));
        setOverlayScrolling =
            reinterpret_cast<SetOverlayScrolling>(dlsym(gtk, "gtk_scrolled_window_set_overlay_scrolling"));
    }
};

}  // namespace

void KeepScrollBarsVisible(wxWindow& window) {
    static const GtkCalls gtk;
    // A window with scroll bars is a GtkScrolledWindow around its content.
    void* widget = window.GetHandle();
    if (widget != nullptr && gtk.scrolledWindowType && gtk.isA && gtk.setOverlayScrolling &&
        gtk.isA(widget, gtk.scrolledWindowType()) != 0) {
        gtk.setOverlayScrolling(widget, 0);
    }
}

void ShowToolTipWhileDisabled(wxWindow&) {}

wxString ShownText(const std::wstring& text) { return wxString(text); }

}  // namespace gh
