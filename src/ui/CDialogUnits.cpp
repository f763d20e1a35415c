#include "ui/CDialogUnits.h"

#include <cmath>

#include <wx/window.h>

namespace gh {

namespace {

// MulDiv rounding: the exact quotient rounded half away from zero.
int MulDivRound(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

CDialogUnits CDialogUnits::ForWindow(const wxWindow& window) {
    // The average width over the Latin letters, as the dialog manager measures it.
    const wxSize extent = window.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (extent.x / 26 + 1) / 2;
    const int baseY = window.GetCharHeight();
    return {baseX > 0 ? baseX : 6, baseY > 0 ? baseY : 13};
}

CDialogUnits CDialogUnits::Reference(double scale) {
    if (!(scale > 0)) {
        scale = 1.0;
    }
    return {static_cast<int>(std::lround(6 * scale)), static_cast<int>(std::lround(13 * scale))};
}

int CDialogUnits::X(int x) const { return MulDivRound(x, m_baseX, 4); }

int CDialogUnits::Y(int y) const { return MulDivRound(y, m_baseY, 8); }

}  // namespace gh
