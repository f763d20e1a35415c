#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingSelectionView.h"
#include "selection/SelectionRules.h"

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr auto U = CheckState::Unchecked;
constexpr auto C = CheckState::Checked;
constexpr auto I = CheckState::Indeterminate;

std::wstring Name(std::size_t i) { return L"Mod " + std::to_wstring(i); }

std::vector<ModData> UsableMods(std::size_t count) {
    std::vector<ModData> mods;
    for (std::size_t i = 0; i < count; ++i) mods.push_back(MakeMod(Name(i), 100 + static_cast<std::int64_t>(i)));
    return mods;
}

class SelectionRulesTest : public ::testing::Test {
protected:
    void Fill(std::vector<ModData> mods) {
        m_view.AddRows(mods);
        m_rules.SetMods(std::move(mods));
    }
    // The player clicks a row's check box; the mod list then raises its event.
    void Click(std::size_t row) {
        m_view.ClickCheck(row);
        m_rules.ApplyCurrentCheck();
    }
    void ClickRows(std::size_t first, std::size_t count) {
        for (std::size_t r = first; r < first + count; ++r) Click(r);
    }
    // Puts a selection in place the way a file load does (duplicates and
    // more than 10 entries possible).
    void Load(const std::vector<std::uint32_t>& rows) {
        m_rules.BeginLoad(true);
        for (const std::uint32_t r : rows) m_rules.AppendLoaded(r);
        m_rules.FinishLoad();
    }
    void Remove(std::size_t selectedRow) {
        m_view.HighlightSelectedRow(selectedRow);
        m_rules.RemoveCurrent();
    }

    CRecordingSelectionView m_view;
    CSelectionRules m_rules{m_view};
};

TEST_F(SelectionRulesTest, FillingTheListHoldsBlockedRowsAtIndeterminate) {
    Fill({MakeMod(L"A", 1), MakeMod(L"B", 2, StatusMissingRequirement), MakeMod(L"C", 3, StatusWrongGameVersion),
          MakeMod(L"D", 4, StatusOutdatedRequirement)});
    EXPECT_THAT(m_view.Checks(), ElementsAre(U, I, U, I));
    EXPECT_THAT(m_rules.Selection(), IsEmpty());
}

TEST_F(SelectionRulesTest, CheckingAddsAtTheEndHighlightsItAndShowsTheCount) {
    Fill(UsableMods(12));
    ClickRows(0, 9);
    m_view.ClearCalls();

    Click(11);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 1, 2, 3, 4, 5, 6, 7, 8, 11));
    EXPECT_EQ(m_view.SelectedRows().back(), Name(11));
    EXPECT_EQ(m_view.SelectedRows().size(), 10u);
    EXPECT_EQ(m_view.CurrentSelectedRow(), 9u);
    EXPECT_EQ(m_view.NameText(), L"10 mods selected!");
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
    EXPECT_THAT(m_view.Messages(), IsEmpty());
}

TEST_F(SelectionRulesTest, TheEleventhCheckIsRefusedWithTheLimitMessage) {
    Fill(UsableMods(12));
    ClickRows(0, 10);
    const std::vector<std::wstring> listBefore = m_view.SelectedRows();
    m_view.ClearCalls();

    Click(10);
    EXPECT_THAT(m_view.Calls(), ElementsAre(L"ShowMessage 10 mod maximum limit reached!", L"SetCheck 10 0"));
    EXPECT_EQ(m_view.Checks()[10], U);
    EXPECT_EQ(m_rules.Selection().size(), 10u);
    EXPECT_EQ(m_view.SelectedRows(), listBefore);
    EXPECT_EQ(m_view.NameText(), L"10 mods selected!");  // from the tenth check, not touched since
}

TEST_F(SelectionRulesTest, BlockedModsGoBackToIndeterminateSilently) {
    Fill({MakeMod(L"A", 1), MakeMod(L"Missing", 2, StatusMissingRequirement),
          MakeMod(L"Outdated", 3, StatusOutdatedRequirement)});
    Click(0);
    m_view.ClearCalls();

    for (const std::size_t row : {1u, 2u}) {
        Click(row);  // the click turned Indeterminate into Unchecked first
        EXPECT_EQ(m_view.Checks()[row], I);
    }
    EXPECT_THAT(m_view.Calls(), ElementsAre(L"SetCheck 1 2", L"SetCheck 2 2"));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0));
}

TEST_F(SelectionRulesTest, AModBuiltForAnotherGameVersionIsSelectable) {
    Fill({MakeMod(L"Old", 7, StatusWrongGameVersion)});
    Click(0);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0));
    EXPECT_EQ(m_view.Checks()[0], C);
    EXPECT_EQ(m_view.NameText(), L"1 mods selected!");
}

TEST_F(SelectionRulesTest, ClearingACheckRemovesTheEntryAndShowsTheCount) {
    Fill(UsableMods(3));
    ClickRows(0, 3);
    Click(1);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 2));
    EXPECT_THAT(m_view.SelectedRows(), ElementsAre(Name(0), Name(2)));
    EXPECT_EQ(m_view.CurrentSelectedRow(), std::nullopt);
    EXPECT_EQ(m_view.NameText(), L"2 mods selected!");
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
}

TEST_F(SelectionRulesTest, WithoutACurrentModRowACheckChangeDoesNothing) {
    Fill(UsableMods(2));
    m_rules.ApplyCurrentCheck();
    m_view.HighlightModRow(5);  // a row the rules do not know
    m_rules.ApplyCurrentCheck();
    EXPECT_THAT(m_view.Calls(), IsEmpty());
}

TEST_F(SelectionRulesTest, OverTheLimitEachClearReportsUntilTenRemain) {
    Fill(UsableMods(12));
    Load({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    EXPECT_FALSE(m_view.PlayAndSaveSetEnabled());
    m_view.SetNameText(L"Mod 3");  // what highlighting a row would have put there
    m_view.ClearCalls();

    Click(3);
    EXPECT_THAT(m_view.Messages(),
                ElementsAre(L"You now have 11 mods selected.\n\nPlease remove 1 mod before launching Emberwake 2."));
    EXPECT_FALSE(m_view.PlayAndSaveSetEnabled());
    EXPECT_EQ(m_view.NameText(), L"Mod 3");
    EXPECT_EQ(m_view.Calls().back(), L"EnablePlayAndSaveSet 0");

    Click(4);
    EXPECT_EQ(m_view.Messages().size(), 1u);
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
    EXPECT_EQ(m_view.NameText(), L"10 mods selected!");
}

TEST_F(SelectionRulesTest, RemoveButtonLeavesTheButtonsAsTheyWereUntilTheNextCheckChange) {
    Fill(UsableMods(13));
    Load({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    Remove(0);
    Remove(0);
    EXPECT_EQ(m_rules.Selection().size(), 10u);
    EXPECT_FALSE(m_view.PlayAndSaveSetEnabled());
    EXPECT_THAT(m_view.Messages(), IsEmpty());

    Click(5);  // a check change that removes an entry
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
    EXPECT_EQ(m_view.NameText(), L"9 mods selected!");
}

TEST_F(SelectionRulesTest, MovesAtTheEdgesOrWithoutAHighlightDoNothing) {
    Fill(UsableMods(3));
    ClickRows(0, 3);
    m_view.ClearCalls();

    m_view.HighlightSelectedRow(std::nullopt);
    m_rules.MoveUp();
    m_rules.MoveDown();
    m_rules.RemoveCurrent();
    m_view.HighlightSelectedRow(0);
    m_rules.MoveUp();
    m_view.HighlightSelectedRow(2);
    m_rules.MoveDown();
    m_view.HighlightSelectedRow(7);  // beyond the list
    m_rules.MoveUp();
    m_rules.MoveDown();
    m_rules.RemoveCurrent();

    EXPECT_THAT(m_view.Calls(), IsEmpty());
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 1, 2));
}

TEST_F(SelectionRulesTest, MovesSwapNeighboursAndKeepTheMovedModHighlighted) {
    Fill(UsableMods(3));
    ClickRows(0, 3);

    m_view.HighlightSelectedRow(2);
    m_rules.MoveUp();
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 2, 1));
    EXPECT_THAT(m_view.SelectedRows(), ElementsAre(Name(0), Name(2), Name(1)));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 1u);

    m_rules.MoveUp();
    EXPECT_THAT(m_rules.Selection(), ElementsAre(2, 0, 1));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 0u);

    m_rules.MoveDown();
    m_rules.MoveDown();
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 1, 2));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 2u);
}

TEST_F(SelectionRulesTest, ADraggedEntryMovesToWhereItIsDroppedByTheButtonsRules) {
    Fill(UsableMods(5));
    ClickRows(0, 5);
    EXPECT_TRUE(m_rules.MoveEntry(4, 1));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 4, 1, 2, 3));
    EXPECT_THAT(m_view.SelectedRows(), ElementsAre(Name(0), Name(4), Name(1), Name(2), Name(3)));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 1u);
    EXPECT_TRUE(m_rules.MoveEntry(0, 4));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(4, 1, 2, 3, 0));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 4u);
    EXPECT_TRUE(m_rules.MoveEntry(2, 2));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(4, 1, 2, 3, 0));

    m_view.ClearCalls();
    EXPECT_FALSE(m_rules.MoveEntry(5, 0));
    EXPECT_FALSE(m_rules.MoveEntry(0, 5));
    EXPECT_THAT(m_view.Calls(), IsEmpty());
}

TEST_F(SelectionRulesTest, DraggingOneOfTwoEntriesOfAModMovesThatEntry) {
    // A loaded set may name a mod twice; the entry dragged is the one that moves.
    Fill(UsableMods(3));
    m_rules.BeginLoad(true);
    for (std::uint32_t row : {0u, 1u, 0u, 2u}) m_rules.AppendLoaded(row);
    m_rules.FinishLoad();
    EXPECT_TRUE(m_rules.MoveEntry(2, 3));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 1, 2, 0));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 3u);
}

TEST_F(SelectionRulesTest, MoveDownWithOneEntryDoesNothing) {
    Fill(UsableMods(1));
    Click(0);
    m_view.HighlightSelectedRow(0);
    m_view.ClearCalls();
    m_rules.MoveDown();
    m_rules.MoveUp();
    EXPECT_THAT(m_view.Calls(), IsEmpty());
}

TEST_F(SelectionRulesTest, RemoveHighlightsTheEntryThatTookThePlaceOrTheNewLast) {
    Fill(UsableMods(3));
    ClickRows(0, 3);

    Remove(2);  // the last of three
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 1));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 1u);
    EXPECT_EQ(m_view.Checks()[2], U);

    Click(2);
    Remove(1);  // the middle one: row 2 moves into its place
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 2));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 1u);
    EXPECT_THAT(m_view.Checks(), ElementsAre(C, U, C));

    Click(1);
    Remove(0);  // the first one: the entry after it is highlighted
    EXPECT_THAT(m_rules.Selection(), ElementsAre(2, 1));
    EXPECT_EQ(m_view.CurrentSelectedRow(), 0u);

    Remove(0);
    Remove(0);
    EXPECT_THAT(m_rules.Selection(), IsEmpty());
    EXPECT_THAT(m_view.SelectedRows(), IsEmpty());
    EXPECT_EQ(m_view.CurrentSelectedRow(), std::nullopt);
    EXPECT_THAT(m_view.Checks(), ElementsAre(U, U, U));
    EXPECT_THAT(m_view.Messages(), IsEmpty());
}

TEST_F(SelectionRulesTest, DuplicateEntriesAreTakenOutOneAtATime) {
    Fill(UsableMods(3));
    Load({1, 0, 1});
    EXPECT_THAT(m_view.SelectedRows(), ElementsAre(Name(1), Name(0), Name(1)));

    Click(1);  // clears the row: only the first entry goes
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 1));
    EXPECT_EQ(m_view.Checks()[1], U);
    EXPECT_EQ(m_view.NameText(), L"2 mods selected!");

    m_view.EnablePlayAndSaveSet(false);
    Click(1);  // checked again: still present, so nothing is added
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 1));
    EXPECT_EQ(m_view.NameText(), L"2 mods selected!");
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());

    // Remove clears the row even though another entry for it remains.
    Load({2, 2});
    Remove(1);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(2));
    EXPECT_EQ(m_view.Checks()[2], U);
    EXPECT_EQ(m_view.CurrentSelectedRow(), 0u);
}

TEST_F(SelectionRulesTest, TheRulesNeverAcceptARowTheListDoesNotHave) {
    Fill(UsableMods(2));
    EXPECT_FALSE(m_rules.AddToSelection(2));
    EXPECT_FALSE(m_rules.RemoveFromSelection(0));
    EXPECT_TRUE(m_rules.AddToSelection(1));
    EXPECT_FALSE(m_rules.AddToSelection(1));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(1));
}

TEST_F(SelectionRulesTest, FindUsableRowTakesTheFirstUnblockedMatch) {
    Fill({MakeMod(L"A", 5, StatusMissingRequirement), MakeMod(L"B", 6), MakeMod(L"C", 5, StatusWrongGameVersion),
          MakeMod(L"D", 5)});
    EXPECT_EQ(m_rules.FindUsableRow(5), 2u);
    EXPECT_EQ(m_rules.FindUsableRow(6), 1u);
    EXPECT_EQ(m_rules.FindUsableRow(7), std::nullopt);
}

}  // namespace
}  // namespace gh::test
