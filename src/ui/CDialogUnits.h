// Dialog units: the layout measure of the windows' templates, turned into
// pixels from a font's base units as the system's dialog manager does.
#pragma once

#include <wx/gdicmn.h>

class wxWindow;

namespace gh {

class CDialogUnits {
public:
    // baseX: average character width; baseY: character height (pixels).
    CDialogUnits(int baseX, int baseY) : m_baseX(baseX), m_baseY(baseY) {}

    // The base units of the window's current font.
    static CDialogUnits ForWindow(const wxWindow& window);

    // The base units of the templates' own font at 96 dots per inch (6 x 13),
    // scaled by `scale`: the units in which the start window's picture and
    // layout were made, so they match pixel for pixel at scale 1.
    static CDialogUnits Reference(double scale = 1.0);

    // x * baseX / 4 and y * baseY / 8, rounded half away from zero.
    int X(int x) const;
    int Y(int y) const;
    wxPoint Point(int x, int y) const { return {X(x), Y(y)}; }
    wxSize Size(int width, int height) const { return {X(width), Y(height)}; }
    wxRect Rect(int x, int y, int width, int height) const { return {Point(x, y), Size(width, height)}; }

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

private:
    int m_baseX;
    int m_baseY;
};

}  // namespace gh
