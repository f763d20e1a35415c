// Reading the screen on Windows: a copy of the screen's device context into
// a bitmap of our own, read back as 32-bit rows. Under Wine the screen is the
// X display, so this shows what the display shows.
#include "ScreenGrab.h"

#include <windows.h>

#include <vector>

namespace gh::tools {

wxImage GrabScreenArea(const wxRect& area) {
    const wxRect screen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    const wxRect part = area.Intersect(screen);
    if (part.IsEmpty()) {
        return {};
    }
    HDC screenDc = GetDC(nullptr);
    HDC memoryDc = CreateCompatibleDC(screenDc);
    HBITMAP bitmap = CreateCompatibleBitmap(screenDc, part.width, part.height);
    HGDIOBJ old = SelectObject(memoryDc, bitmap);
    const bool copied = BitBlt(memoryDc, 0, 0, part.width, part.height, screenDc, part.x, part.y, SRCCOPY) != FALSE;
    SelectObject(memoryDc, old);

    // Top-down rows of blue, green, red and an unused byte.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = part.width;
    info.bmiHeader.biHeight = -part.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(part.width) * part.height * 4);
    const bool read = copied && GetDIBits(memoryDc, bitmap, 0, static_cast<UINT>(part.height), pixels.data(), &info,
                                          DIB_RGB_COLORS) == part.height;
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(nullptr, screenDc);
    if (!read) {
        return {};
    }

    wxImage image(part.width, part.height);
    unsigned char* out = image.GetData();
    for (std::size_t i = 0, n = static_cast<std::size_t>(part.width) * part.height; i < n; ++i) {
        out[3 * i] = pixels[4 * i + 2];
        out[3 * i + 1] = pixels[4 * i + 1];
        out[3 * i + 2] = pixels[4 * i];
    }
    return image;
}

}  // namespace gh::tools
