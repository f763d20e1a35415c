#include <cstdlib>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/dcmemory.h>

#include "GuiTest.h"
#include "ui/CModCheckListBox.h"

namespace gh {
namespace {

using test::GuiTest;
using ::testing::ElementsAre;

const wxColour kBlack(0, 0, 0);
const wxColour kAmber(100, 70, 0);
const wxColour kRed(150, 0, 0);

class CheckListTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        m_list = new CModCheckListBox(m_panel, 1000, wxPoint(10, 10), wxSize(220, 200));
        m_list->AddColoredString("First", kBlack);
        m_list->AddColoredString("Second", kAmber);
        m_list->AddColoredString("Third", kRed);
        m_list->AddColoredString("Fourth", kBlack);
        // The parent records what it sees, with the check state at that moment.
        m_panel->Bind(wxEVT_LISTBOX,
                      [this](wxCommandEvent& e) { m_events.push_back("select " + std::to_string(e.GetInt())); });
        m_panel->Bind(wxEVT_CHECKLISTBOX, [this](wxCommandEvent& e) {
            m_events.push_back("check " + std::to_string(e.GetInt()) + "=" +
                               std::to_string(m_list->GetCheck(static_cast<size_t>(e.GetInt()))));
        });
        test::PumpFor(50);
    }

    wxPoint BoxOf(size_t row) const {
        const wxRect area = m_list->CheckBoxArea(row);
        return test::ScreenPoint(*m_list, wxPoint(area.x + area.width / 2, area.y + area.height / 2));
    }

    wxPoint TextOf(size_t row) const {
        const wxRect rect = m_list->GetItemRect(row);
        return test::ScreenPoint(*m_list, wxPoint(rect.x + rect.width - 30, rect.y + rect.height / 2));
    }

    CModCheckListBox* m_list = nullptr;
    std::vector<std::string> m_events;
};

TEST_F(CheckListTest, RowsKeepTheirOrderTextAndColour) {
    ASSERT_EQ(m_list->GetCount(), 4u);
    EXPECT_EQ(m_list->GetString(1), "Second");
    EXPECT_EQ(m_list->GetItem(2).textColor, kRed);
    EXPECT_EQ(m_list->GetItem(2).backColor, *wxWHITE);
    EXPECT_EQ(m_list->GetCheck(0), kUnchecked);
}

TEST_F(CheckListTest, ManyRowsAddedAtOnceFollowTheRowsBeforeThemAndLookLikeThem) {
    std::vector<ModListItem> items;
    for (int i = 0; i < 10000; ++i) {
        items.push_back({L"Row " + std::to_wstring(i), i % 2 ? kRed : kAmber, kBlack});
    }
    m_list->AddColoredStrings(std::move(items));
    ASSERT_EQ(m_list->GetCount(), 10004u);
    EXPECT_EQ(m_list->GetString(3), "Fourth");
    EXPECT_EQ(m_list->GetString(10003), "Row 9999");
    EXPECT_EQ(m_list->GetItem(10003).textColor, kRed);
    EXPECT_EQ(m_list->GetItem(10003).backColor, *wxWHITE);  // always white, whatever was given
    EXPECT_EQ(m_list->GetCheck(10003), kUnchecked);
    m_list->SetCheck(10003, kChecked);
    EXPECT_EQ(m_list->GetCheck(10003), kChecked);
    // Every row is as high as the first, and the last one can be reached.
    m_list->ScrollToRow(10003);
    test::PumpFor(30);
    EXPECT_EQ(m_list->GetItemRect(10003).height, m_list->GetItemRect(m_list->GetVisibleRowsBegin()).height);
    EXPECT_TRUE(m_list->IsVisible(10003));
}

TEST_F(CheckListTest, ClickOnBoxTogglesThenSelectsThenReportsTheCheck) {
    test::ClickAt(BoxOf(2));
    EXPECT_THAT(m_events, ElementsAre("select 2", "check 2=1"));
    EXPECT_EQ(m_list->GetSelection(), 2);
    // The row is current already: no second selection event.
    m_events.clear();
    test::ClickAt(BoxOf(2));
    EXPECT_THAT(m_events, ElementsAre("check 2=0"));
}

TEST_F(CheckListTest, IndeterminateBoxBecomesUncheckedBeforeTheParentSeesIt) {
    m_list->SetCheck(1, kIndeterminate);
    test::ClickAt(BoxOf(1));
    EXPECT_THAT(m_events, ElementsAre("select 1", "check 1=0"));
}

TEST_F(CheckListTest, ClickOnTheTextOnlySelects) {
    test::ClickAt(TextOf(3));
    EXPECT_THAT(m_events, ElementsAre("select 3"));
    EXPECT_EQ(m_list->GetCheck(3), kUnchecked);
}

TEST_F(CheckListTest, SpaceTogglesTheCurrentRowWithoutSelecting) {
    test::ClickAt(TextOf(0));
    m_events.clear();
    test::PressKey(WXK_SPACE);
    EXPECT_THAT(m_events, ElementsAre("check 0=1"));
    test::PressKey(WXK_SPACE);
    EXPECT_THAT(m_events, ElementsAre("check 0=1", "check 0=0"));
    EXPECT_EQ(m_list->GetSelection(), 0);
}

TEST_F(CheckListTest, ArrowKeysMoveTheCurrentRowWithSelectionEvents) {
    test::ClickAt(TextOf(0));
    m_events.clear();
    test::PressKey(WXK_DOWN);
    EXPECT_THAT(m_events, ElementsAre("select 1"));
}

// A list longer than its window, for finding rows by keyboard.
class LongCheckListTest : public CheckListTest {
protected:
    void SetUp() override {
        CheckListTest::SetUp();
        std::vector<ModListItem> items;
        for (int i = 0; i < 100; ++i) items.push_back({L"Filler " + std::to_wstring(i), kBlack, *wxWHITE});
        items.push_back({L"blue Moon", kBlack, *wxWHITE});
        items.push_back({L"Brass Band", kBlack, *wxWHITE});
        items.push_back({L"Bronze", kBlack, *wxWHITE});
        m_list->AddColoredStrings(std::move(items));
        test::ClickAt(TextOf(0));
        m_events.clear();
    }
};

TEST_F(LongCheckListTest, TypingMovesToTheNextRowStartingWithTheLettersAndScrollsToIt) {
    test::PressKey('B');  // the first row after the current one starting with b, in any case
    EXPECT_EQ(m_list->GetSelection(), 104);
    EXPECT_TRUE(m_list->IsVisible(104));
    test::PressKey('B');  // the same letter again steps on
    EXPECT_EQ(m_list->GetSelection(), 105);
    test::PressKey('B');
    EXPECT_EQ(m_list->GetSelection(), 106);
    test::PressKey('B');  // and goes round to the top
    EXPECT_EQ(m_list->GetSelection(), 104);
    EXPECT_THAT(m_events, ElementsAre("select 104", "select 105", "select 106", "select 104"));

    test::PumpFor(static_cast<int>(CTypeAheadSearch::kPauseMs) + 200);  // the pause starts a new search
    m_events.clear();
    for (int key : {'B', 'R', 'O'}) test::PressKey(key);
    EXPECT_EQ(m_list->GetSelection(), 106);
    test::PressKey('X');  // "brox" matches nothing: the highlight stays
    EXPECT_EQ(m_list->GetSelection(), 106);
    EXPECT_THAT(m_events, ElementsAre("select 105", "select 106"));
    EXPECT_EQ(m_list->GetCheck(106), kUnchecked);

    test::PumpFor(static_cast<int>(CTypeAheadSearch::kPauseMs) + 200);
    test::PressKey('S');
    EXPECT_EQ(m_list->GetSelection(), 1);  // "Second", round from the bottom
    EXPECT_TRUE(m_list->IsVisible(1));
}

TEST_F(LongCheckListTest, ItsScrollBarShowsWithoutThePointerOverIt) {
    m_list->SetSelection(wxNOT_FOUND);  // a highlighted row spans the list's width
    test::MoveMouseTo(test::ScreenPoint(*m_panel, wxPoint(400, 300)));
    test::PumpFor(2000);  // scroll bars that show only under the pointer have faded by now
    // Near the right edge, below the slider, the bar's trough shows where
    // without it the rows' white would.
    const wxRect list = m_list->GetScreenRect();
    const wxImage trough = test::ScreenPixels(wxRect(list.GetRight() - 6, list.y + list.height * 3 / 4, 1, 1));
    EXPECT_NE(wxColour(trough.GetRed(0, 0), trough.GetGreen(0, 0), trough.GetBlue(0, 0)), *wxWHITE);
}

TEST_F(LongCheckListTest, HomeEndAndPageKeysMoveWithSelectionEvents) {
    test::PressKey(WXK_END);
    EXPECT_EQ(m_list->GetSelection(), 106);
    EXPECT_TRUE(m_list->IsVisible(106));
    test::PressKey(WXK_PAGEUP);
    const int pagedUp = m_list->GetSelection();
    EXPECT_LT(pagedUp, 106);
    EXPECT_GT(pagedUp, 106 - 30);
    test::PressKey(WXK_HOME);
    EXPECT_EQ(m_list->GetSelection(), 0);
    test::PressKey(WXK_PAGEDOWN);
    EXPECT_GT(m_list->GetSelection(), 0);
    EXPECT_TRUE(m_list->IsVisible(m_list->GetSelection()));
    ASSERT_EQ(m_events.size(), 4u);
    EXPECT_EQ(m_events[0], "select 106");
    EXPECT_EQ(m_events[2], "select 0");
}

TEST_F(CheckListTest, DoubleClickOnBoxTogglesTwice) {
    test::DoubleClickAt(BoxOf(3));
    EXPECT_THAT(m_events, ElementsAre("select 3", "check 3=1", "check 3=0"));
    EXPECT_EQ(m_list->GetCheck(3), kUnchecked);
}

TEST_F(CheckListTest, SetCheckRaisesNothingAndIgnoresBadInput) {
    m_list->SetCheck(0, kChecked);
    m_list->SetCheck(1, kIndeterminate);
    m_list->SetCheck(2, 7);
    m_list->SetCheck(99, kChecked);
    test::PumpFor(30);
    EXPECT_TRUE(m_events.empty());
    EXPECT_EQ(m_list->GetCheck(0), kChecked);
    EXPECT_EQ(m_list->GetCheck(1), kIndeterminate);
    EXPECT_EQ(m_list->GetCheck(2), kUnchecked);
    EXPECT_EQ(m_list->GetCheck(99), kUnchecked);
}

TEST(ToggledCheckTest, IndeterminateGoesToUnchecked) {
    EXPECT_EQ(ToggledCheck(kUnchecked), kChecked);
    EXPECT_EQ(ToggledCheck(kChecked), kUnchecked);
    EXPECT_EQ(ToggledCheck(kIndeterminate), kUnchecked);
}

// Drawing: rows are painted off screen and their pixels read back.
class CheckListDrawingTest : public CheckListTest {
protected:
    wxBitmap Draw(size_t row, bool selected) {
        wxBitmap target(200, 24);
        {
            wxMemoryDC dc(target);
            dc.SetFont(m_list->GetFont());
            m_list->DrawRow(dc, wxRect(0, 0, 200, 24), row, selected);
        }
        return target;
    }

    static int Distance(const wxColour& a, const wxColour& b) {
        return std::abs(a.Red() - b.Red()) + std::abs(a.Green() - b.Green()) + std::abs(a.Blue() - b.Blue());
    }

    // The pixel of the text area nearest to `colour`.
    int NearestInText(const wxBitmap& bitmap, const wxColour& colour) {
        const int start = m_list->CheckBoxArea(0).width + 5;
        int best = 1000;
        for (int y = 0; y < 24; ++y) {
            for (int x = start; x < start + 60; ++x) {
                best = std::min(best, Distance(test::PixelAt(bitmap, x, y), colour));
            }
        }
        return best;
    }
};

TEST_F(CheckListDrawingTest, UnselectedRowIsItsColourOnWhite) {
    const wxBitmap amber = Draw(1, false);
    EXPECT_EQ(test::PixelAt(amber, 195, 2), *wxWHITE);
    EXPECT_LT(NearestInText(amber, kAmber), 40);
    const wxBitmap red = Draw(2, false);
    EXPECT_LT(NearestInText(red, kRed), 40);
    EXPECT_EQ(test::PixelAt(red, 195, 2), *wxWHITE);
}

TEST_F(CheckListDrawingTest, SelectedRowIsWhiteOnItsColour) {
    const wxBitmap red = Draw(2, true);
    EXPECT_EQ(test::PixelAt(red, 195, 2), kRed);
    EXPECT_LT(NearestInText(red, *wxWHITE), 40);
    const wxBitmap black = Draw(0, true);
    EXPECT_EQ(test::PixelAt(black, 195, 2), kBlack);
    EXPECT_LT(NearestInText(black, *wxWHITE), 40);
}

TEST_F(CheckListDrawingTest, TheThreeCheckStatesLookDifferent) {
    auto box = [&](int state) {
        m_list->SetCheck(0, state);
        const wxBitmap bitmap = Draw(0, false);
        const wxRect area = m_list->CheckBoxArea(0);
        return bitmap.GetSubBitmap(wxRect(0, 0, area.width, 24)).ConvertToImage();
    };
    auto same = [](const wxImage& a, const wxImage& b) {
        return std::equal(a.GetData(), a.GetData() + a.GetWidth() * a.GetHeight() * 3, b.GetData());
    };
    const wxImage unchecked = box(kUnchecked);
    const wxImage checked = box(kChecked);
    const wxImage indeterminate = box(kIndeterminate);
    EXPECT_FALSE(same(unchecked, checked));
    EXPECT_FALSE(same(unchecked, indeterminate));
    EXPECT_FALSE(same(checked, indeterminate));
}

}  // namespace
}  // namespace gh
