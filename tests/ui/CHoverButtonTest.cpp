#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/sizer.h>

#include "GuiTest.h"
#include "ui/CHoverButton.h"

namespace gh {
namespace {

using test::GuiTest;

constexpr std::array<bool, 4> kAll = {true, true, true, true};

TEST(ChooseHoverImageTest, FirstApplyingRuleWins) {
    EXPECT_EQ(ChooseHoverImage(true, false, false, kAll), HoverImage::Normal);
    EXPECT_EQ(ChooseHoverImage(true, false, true, kAll), HoverImage::Hover);
    EXPECT_EQ(ChooseHoverImage(true, true, true, kAll), HoverImage::Pressed);
    // Disabled beats pressed and hover.
    EXPECT_EQ(ChooseHoverImage(false, true, true, kAll), HoverImage::Disabled);
}

TEST(ChooseHoverImageTest, MissingImagesFallThrough) {
    const std::array<bool, 4> noHover = {true, true, false, true};
    EXPECT_EQ(ChooseHoverImage(true, false, true, noHover), HoverImage::Normal);
    const std::array<bool, 4> noDisabled = {true, true, true, false};
    EXPECT_EQ(ChooseHoverImage(false, false, false, noDisabled), HoverImage::Normal);
    EXPECT_EQ(ChooseHoverImage(false, false, true, noDisabled), HoverImage::Hover);
    EXPECT_EQ(ChooseHoverImage(false, true, true, noDisabled), HoverImage::Pressed);
    const std::array<bool, 4> onlyNormal = {true, false, false, false};
    EXPECT_EQ(ChooseHoverImage(true, true, true, onlyNormal), HoverImage::Normal);
}

// A button with one solid colour per image, so a drawn pixel tells which
// image was painted.
class HoverButtonTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        m_button = new CHoverButton(m_panel, 4242, "NO SUCH IMAGES", wxPoint(20, 20));
        for (int i = 0; i < 4; ++i) {
            m_button->SetImage(static_cast<HoverImage>(i), test::SolidBitmap(wxSize(60, 30), kColours[i]));
        }
        m_button->SetSize(60, 30);
        m_other = new CHoverButton(m_panel, 4343, "NO SUCH IMAGES", wxPoint(20, 80));
        m_other->SetImage(HoverImage::Normal, test::SolidBitmap(wxSize(60, 30), *wxBLACK));
        m_other->SetSize(60, 30);
        m_button->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { m_clicks.push_back(e.GetId()); });
        m_other->Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { m_clicks.push_back(e.GetId()); });
        test::PumpFor(50);
    }

    // The colour the button paints now.
    wxColour Painted() const {
        wxBitmap target(60, 30);
        {
            wxMemoryDC dc(target);
            m_button->DrawTo(dc);
        }
        return test::PixelAt(target, 30, 15);
    }

    wxPoint Outside() const { return test::ScreenPoint(*m_panel, wxPoint(300, 250)); }

    static inline const wxColour kColours[4] = {wxColour(200, 0, 0), wxColour(0, 0, 200), wxColour(0, 200, 0),
                                                wxColour(128, 128, 128)};
    CHoverButton* m_button = nullptr;
    CHoverButton* m_other = nullptr;
    std::vector<int> m_clicks;
};

TEST_F(HoverButtonTest, MouseOverShowsHoverImageAndLeavingClearsIt) {
    test::MoveMouseTo(Outside());
    EXPECT_EQ(Painted(), kColours[0]);
    test::MoveMouseTo(test::CentreOf(*m_button));
    EXPECT_TRUE(m_button->IsHover());
    EXPECT_EQ(Painted(), kColours[2]);
    test::MoveMouseTo(Outside());
    EXPECT_FALSE(m_button->IsHover());
    EXPECT_EQ(Painted(), kColours[0]);
}

TEST_F(HoverButtonTest, PressShowsPressedImageAndReleaseOverItClicks) {
    test::MouseDownAt(test::CentreOf(*m_button));
    EXPECT_TRUE(m_button->IsPressed());
    EXPECT_EQ(Painted(), kColours[1]);
    EXPECT_TRUE(m_clicks.empty());
    test::MouseUpAt(test::CentreOf(*m_button));
    EXPECT_EQ(Painted(), kColours[2]);
    EXPECT_THAT(m_clicks, ::testing::ElementsAre(4242));
}

TEST_F(HoverButtonTest, ReleaseAwayFromTheButtonDoesNotClick) {
    test::MouseDownAt(test::CentreOf(*m_button));
    test::MoveMouseTo(Outside());
    EXPECT_FALSE(m_button->IsPressed());
    test::MouseUpAt(Outside());
    EXPECT_TRUE(m_clicks.empty());
}

TEST_F(HoverButtonTest, DisabledButtonShowsDisabledImageEvenWhenHovered) {
    test::MoveMouseTo(test::CentreOf(*m_button));
    m_button->Disable();
    EXPECT_EQ(Painted(), kColours[3]);
    test::ClickAt(test::CentreOf(*m_button));
    EXPECT_EQ(Painted(), kColours[3]);
    EXPECT_TRUE(m_clicks.empty());
    m_button->Click();
    EXPECT_TRUE(m_clicks.empty());
}

TEST_F(HoverButtonTest, MissingImagesFallBackWhileDrawing) {
    test::MoveMouseTo(test::CentreOf(*m_button));
    m_button->SetImage(HoverImage::Hover, wxBitmap());
    EXPECT_EQ(Painted(), kColours[0]);
    m_button->SetImage(HoverImage::Disabled, wxBitmap());
    m_button->Disable();
    EXPECT_EQ(Painted(), kColours[0]);
}

TEST_F(HoverButtonTest, KeyboardReachesAndClicksTheButton) {
    m_button->SetFocus();
    test::WaitUntil([&] { return wxWindow::FindFocus() == m_button; });
    test::PressKey(WXK_SPACE);
    EXPECT_THAT(m_clicks, ::testing::ElementsAre(4242));
    test::PressKey(WXK_RETURN);
    EXPECT_THAT(m_clicks, ::testing::ElementsAre(4242, 4242));
    test::PressKey(WXK_TAB);
    EXPECT_TRUE(test::WaitUntil([&] { return wxWindow::FindFocus() == m_other; }));
    test::PressKey(WXK_SPACE);
    EXPECT_THAT(m_clicks, ::testing::ElementsAre(4242, 4242, 4343));
}

TEST_F(HoverButtonTest, TheFocusedButtonIsMarkedOnScreen) {
    test::MoveMouseTo(Outside());
    m_other->SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return m_other->HasFocus(); }));
    const wxImage unfocused = test::ScreenPixels(*m_button);
    test::PressKey(WXK_TAB);
    ASSERT_TRUE(test::WaitUntil([&] { return m_button->HasFocus(); }));
    const wxImage focused = test::ScreenPixels(*m_button);
    EXPECT_FALSE(test::SamePixels(focused, unfocused));
    // A mark, not another image: the middle still shows the button's image.
    EXPECT_EQ(wxColour(focused.GetRed(30, 15), focused.GetGreen(30, 15), focused.GetBlue(30, 15)), kColours[0]);
    m_other->SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return m_other->HasFocus(); }));
    EXPECT_TRUE(test::SamePixels(test::ScreenPixels(*m_button), unfocused));
}

TEST_F(HoverButtonTest, DisabledButtonTakesNoFocus) {
    m_button->Disable();
    EXPECT_FALSE(m_button->AcceptsFocus());
}

TEST_F(GuiTest, HoverButtonTakesTheSizeOfItsNormalImage) {
    auto* play = new CHoverButton(m_panel, wxID_ANY, "PLAY");
    EXPECT_EQ(play->GetSize(), wxSize(177, 44));
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(play->GetImage(static_cast<HoverImage>(i)).IsOk()) << i;
    }
    auto* close = new CHoverButton(m_panel, wxID_ANY, "CLOSE");
    EXPECT_EQ(close->GetSize(), wxSize(44, 43));
    auto* small = new CHoverButton(m_panel, wxID_ANY, "SPLAYM");
    EXPECT_EQ(small->GetSize(), wxSize(120, 30));
    auto* none = new CHoverButton(m_panel, wxID_ANY, "NOTHING");
    EXPECT_FALSE(none->AutoLoad("NOTHING"));
    EXPECT_FALSE(none->GetImage(HoverImage::Normal).IsOk());
}

}  // namespace
}  // namespace gh
