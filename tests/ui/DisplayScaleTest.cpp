#include <gtest/gtest.h>
#include <wx/image.h>

#include "GuiTest.h"
#include "ui/DisplayScale.h"

namespace gh {
namespace {

// Two pixels side by side: red on the left, blue on the right.
wxBitmap RedBlue() {
    wxImage image(2, 1);
    image.SetRGB(0, 0, 255, 0, 0);
    image.SetRGB(1, 0, 0, 0, 255);
    return wxBitmap(image);
}

TEST(DisplayScaleTest, DoublingKeepsEveryPixelSharp) {
    // Pixel art at 200% must not be smeared: each pixel becomes a 2 x 2 block.
    const wxBitmap scaled = ScaledTo(RedBlue(), wxSize(4, 2));
    ASSERT_EQ(scaled.GetSize(), wxSize(4, 2));
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(test::PixelAt(scaled, 0, y), *wxRED);
        EXPECT_EQ(test::PixelAt(scaled, 1, y), *wxRED);
        EXPECT_EQ(test::PixelAt(scaled, 2, y), *wxBLUE);
        EXPECT_EQ(test::PixelAt(scaled, 3, y), *wxBLUE);
    }
}

TEST(DisplayScaleTest, OtherFactorsAreSmoothedAndNothingStaysUnscaled) {
    // At 150% a pixel cannot become whole pixels; the edge is blended rather
    // than one colour taking a column more than the other.
    const wxBitmap scaled = ScaledTo(RedBlue(), wxSize(3, 1));
    ASSERT_EQ(scaled.GetSize(), wxSize(3, 1));
    const wxColour middle = test::PixelAt(scaled, 1, 0);
    EXPECT_GT(middle.Red(), 0);
    EXPECT_GT(middle.Blue(), 0);

    EXPECT_EQ(ScaledTo(RedBlue(), wxSize(2, 1)).GetSize(), wxSize(2, 1));
    EXPECT_FALSE(ScaledTo(wxBitmap(), wxSize(4, 4)).IsOk());
}

}  // namespace
}  // namespace gh
