// The toolkit's screen device context keeps returning its first picture of
// the screen on this system, so the screen is read from the X server itself.
#include "ScreenGrab.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace gh::tools {

namespace {

// Position of the lowest set bit of a colour mask, and its width.
void MaskShift(unsigned long mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    if (mask == 0) {
        return;
    }
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        ++bits;
    }
}

unsigned char Channel(unsigned long pixel, unsigned long mask, int shift, int bits) {
    if (bits == 0) {
        return 0;
    }
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long max = (1UL << bits) - 1;
    return static_cast<unsigned char>(value * 255 / max);
}

}  // namespace

wxImage GrabScreenArea(const wxRect& area) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return {};
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    const wxRect screen(0, 0, attributes.width, attributes.height);
    const wxRect part = area.Intersect(screen);
    wxImage image;
    if (!part.IsEmpty()) {
        XImage* pixels = XGetImage(display, root, part.x, part.y, static_cast<unsigned>(part.width),
                                   static_cast<unsigned>(part.height), AllPlanes, ZPixmap);
        if (pixels != nullptr) {
            int rs = 0, rb = 0, gs = 0, gb = 0, bs = 0, bb = 0;
            MaskShift(pixels->red_mask, rs, rb);
            MaskShift(pixels->green_mask, gs, gb);
            MaskShift(pixels->blue_mask, bs, bb);
            image.Create(part.width, part.height);
            for (int y = 0; y < part.height; ++y) {
                for (int x = 0; x < part.width; ++x) {
                    const unsigned long pixel = XGetPixel(pixels, x, y);
                    image.SetRGB(x, y, Channel(pixel, pixels->red_mask, rs, rb),
                                 Channel(pixel, pixels->green_mask, gs, gb), Channel(pixel, pixels->blue_mask, bs, bb));
                }
            }
            XDestroyImage(pixels);
        }
    }
    XCloseDisplay(display);
    return image;
}

}  // namespace gh::tools
