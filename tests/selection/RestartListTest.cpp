#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingSelectionView.h"
#include "SelectionTestFiles.h"
#include "selection/HeadlessSelectionView.h"
#include "selection/RestartList.h"
#include "selection/SelectionFile.h"
#include "selection/SelectionSets.h"
#include "selection/StartSelection.h"

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr wchar_t kRestart[] = L"My Games/Velmora Games/Emberwake 2/restart.txt";
constexpr wchar_t kDefault[] = L"My Games/Velmora Games/Emberwake 2/gatehouse.sch";

std::string RestartEntry(const std::string& number) { return "<INTEGER64>GUID:" + number; }

class RestartListTest : public ::testing::Test {
protected:
    RestartListTest() {
        std::vector<ModData> mods;
        for (int i = 0; i < 14; ++i) mods.push_back(MakeMod(L"Mod " + std::to_wstring(i), 100 + i));
        mods.push_back(MakeMod(L"Blocked", 500, StatusOutdatedRequirement));
        m_view.AddRows(mods);
        m_rules.SetMods(std::move(mods));
        // A default selection file that must not be read when the restart list applies.
        m_temp.WriteFile(kDefault, Utf16LeAscii("[MODS]\r\n\t<INTEGER64>MODGUID:113\r\n[/MODS]\r\n"));
    }
    void WriteRestart(const std::string& ascii) { m_temp.WriteFile(kRestart, Utf16LeAscii(ascii)); }
    std::string TwelveEntries() const {
        std::string text = "[MODS]\r\n";
        for (int i = 0; i < 12; ++i) text += "\t" + RestartEntry(std::to_string(100 + i)) + "\r\n";
        return text + "[/MODS]\r\n";
    }
    void Click(std::size_t row) {
        m_view.ClickCheck(row);
        m_rules.ApplyCurrentCheck();
    }

    TempFolder m_temp;
    CDocumentsFolder m_documents{m_temp};
    CRecordingSelectionView m_view;
    CSelectionRules m_rules{m_view};
};

TEST_F(RestartListTest, TwelveEntriesAreAllTakenAndDisableTheButtonsUntilTenRemain) {
    WriteRestart(TwelveEntries());
    EXPECT_EQ(LoadStartSelection(m_rules, m_documents.Folders()), StartSelectionSource::RestartList);
    EXPECT_EQ(m_rules.Selection().size(), 12u);
    EXPECT_EQ(m_view.SelectedRows().size(), 12u);
    EXPECT_EQ(m_view.CurrentSelectedRow(), std::nullopt);
    EXPECT_FALSE(m_view.PlayAndSaveSetEnabled());

    Click(0);
    EXPECT_THAT(m_view.Messages(),
                ElementsAre(L"You now have 11 mods selected.\n\nPlease remove 1 mod before launching Emberwake 2."));
    EXPECT_FALSE(m_view.PlayAndSaveSetEnabled());
    Click(1);
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
    EXPECT_EQ(m_view.NameText(), L"10 mods selected!");
}

TEST_F(RestartListTest, AfterRemovingWithTheButtonASetOfTenEnablesTheButtons) {
    WriteRestart(TwelveEntries());
    ASSERT_TRUE(ReadRestartList(m_rules, m_documents.RestartList()));
    for (int i = 0; i < 2; ++i) {
        m_view.HighlightSelectedRow(0);
        m_rules.RemoveCurrent();
    }
    EXPECT_FALSE(m_view.PlayAndSaveSetEnabled());

    m_temp.WriteFile(L"ten.sch", Utf16LeAscii("[MODS]\r\n\t<INTEGER64>MODGUID:105\r\n[/MODS]\r\n"));
    EXPECT_EQ(LoadSelectionSet(m_rules, m_temp / L"ten.sch"), SelectionFileResult::Loaded);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(5));
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
}

TEST_F(RestartListTest, AListWithOnlyTheStartTokenEmptiesTheSelectionAndStaysUntilUsedUp) {
    WriteRestart("[MODS]\r\n");
    EXPECT_EQ(LoadStartSelection(m_rules, m_documents.Folders()), StartSelectionSource::RestartList);
    EXPECT_THAT(m_rules.Selection(), IsEmpty());
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
    // Until the selection built from it is written, a failure would lose it.
    EXPECT_TRUE(m_temp.Exists(kRestart));
    ConsumeRestartList(m_documents.RestartList());
    EXPECT_FALSE(m_temp.Exists(kRestart));
}

TEST_F(RestartListTest, ABlankListStaysAndTheDefaultFileIsLoaded) {
    for (const std::string& blank : {std::string(), Utf16LeAscii(""), Utf16LeAscii(" \r\n\t\v\f\r\n")}) {
        m_temp.WriteFile(kRestart, blank);
        EXPECT_EQ(LoadStartSelection(m_rules, m_documents.Folders()), StartSelectionSource::SelectionFile);
        EXPECT_TRUE(m_temp.Exists(kRestart));
        EXPECT_THAT(m_rules.Selection(), ElementsAre(13));
    }
}

TEST_F(RestartListTest, AListWithoutTheStartTokenIsDeletedAndTheDefaultFileIsLoaded) {
    WriteRestart("restart please\r\n" + RestartEntry("101") + "\r\n[/MODS]\r\n");
    EXPECT_EQ(LoadStartSelection(m_rules, m_documents.Folders()), StartSelectionSource::SelectionFile);
    EXPECT_FALSE(m_temp.Exists(kRestart));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(13));
}

TEST_F(RestartListTest, WithoutAnyFileNothingIsSelected) {
    m_temp.WriteFile(kDefault, "");
    EXPECT_EQ(LoadStartSelection(m_rules, m_documents.Folders()), StartSelectionSource::None);
    EXPECT_THAT(m_rules.Selection(), IsEmpty());
    EXPECT_THAT(m_view.Calls(), ElementsAre(L"SetCheck 14 2"));  // only the filling of the list
}

TEST_F(RestartListTest, EntryTokensAreRecognisedByTheirShapeAnywhereInTheBlock) {
    // Tokens before the block, short tokens, a token without "GUID" at 11, the
    // selection file's own entry form ("MODG" at 11), a blocked mod, an
    // unknown one, a number too long for 64 bits, a duplicate and an entry
    // after the end are all handled as the comments in the list say.
    WriteRestart(std::string("junk ") + RestartEntry("109") + " [MODS] " +  //
                 RestartEntry("101") + " GUID:102 " +                       // taken; too short
                 "<INTEGER64>guid:103 " +                                   // no "GUID" at 11
                 "<INTEGER64>MODGUID:104 " +                                // "MODG" at 11
                 "01234567890GUID-105 " +                                   // any other characters
                 RestartEntry("500") + " " + RestartEntry("77") + " " +     // blocked; not installed
                 RestartEntry("99999999999999999999") + " " +               // too long
                 RestartEntry("101") + "\v" + RestartEntry("+106") +        // duplicate; sign
                 "\f[/MODS] " + RestartEntry("107"));
    ASSERT_TRUE(ReadRestartList(m_rules, m_documents.RestartList()));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(1, 5, 1, 6));
    EXPECT_EQ(m_view.Checks()[1], CheckState::Checked);
    EXPECT_EQ(m_view.Checks()[14], CheckState::Indeterminate);
}

TEST_F(RestartListTest, AListWithoutItsEndTokenRunsToTheEndOfTheFile) {
    m_temp.WriteFile(kRestart, "\xEF\xBB\xBF[MODS]\n" + RestartEntry("103") + "\n" + RestartEntry("104"));
    ASSERT_TRUE(ReadRestartList(m_rules, m_documents.RestartList()));
    EXPECT_THAT(m_rules.Selection(), ElementsAre(3, 4));
}

TEST_F(RestartListTest, AListThatCannotBeReadStaysAndIsNotApplied) {
    std::string huge = Utf16LeAscii("[MODS] " + RestartEntry("101"));
    huge.resize(kMaxSelectionFileBytes + 2, ' ');
    m_temp.WriteFile(kRestart, huge);
    EXPECT_FALSE(ReadRestartList(m_rules, m_documents.RestartList()));
    EXPECT_TRUE(m_temp.Exists(kRestart));
    EXPECT_THAT(m_rules.Selection(), IsEmpty());
}

// What the command line does with `play SET.sch` and `play --last`: the
// manager's rows, a headless view, a load, then the default file written.
TEST_F(RestartListTest, AHeadlessSelectionLoadsASetAndWritesTheDefaultFile) {
    CHeadlessSelection headless(m_rules.Mods());
    m_temp.WriteFile(L"set.sch", Utf16LeAscii("[MODS]\n  <INTEGER64>MODGUID:104\n<INTEGER64>MODGUID:500\n"
                                              "\t<INTEGER64>MODGUID:102\n",
                                              false));
    ASSERT_EQ(LoadSelectionSet(headless.Rules(), m_temp / L"set.sch"), SelectionFileResult::Loaded);
    EXPECT_THAT(headless.View().SelectedRows(), ElementsAre(L"Mod 4", L"Mod 2"));
    EXPECT_EQ(headless.View().GetCheck(14), CheckState::Indeterminate);
    ASSERT_TRUE(SaveSelectionFile(headless.Rules(), m_documents.SelectionFile()));
    EXPECT_EQ(m_temp.ReadFile(kDefault),
              Utf16LeAscii("[MODS]\r\n\t<INTEGER64>MODGUID:104\r\n\t<INTEGER64>MODGUID:102\r\n[/MODS]\r\n"));

    WriteRestart(TwelveEntries());
    CHeadlessSelection last(m_rules.Mods());
    EXPECT_EQ(LoadStartSelection(last.Rules(), m_documents.Folders()), StartSelectionSource::RestartList);
    EXPECT_EQ(last.Rules().Selection().size(), 12u);
    EXPECT_FALSE(last.View().PlayAndSaveSetEnabled());

    // The headless view behaves as a window would under the rules.
    last.View().SetCurrentModRow(0);
    last.View().SetCheck(0, CheckState::Unchecked);
    last.Rules().ApplyCurrentCheck();
    EXPECT_THAT(last.View().Messages(),
                ElementsAre(L"You now have 11 mods selected.\n\nPlease remove 1 mod before launching Emberwake 2."));
    last.View().SetCurrentSelectedRow(10);
    last.Rules().RemoveCurrent();
    EXPECT_EQ(last.View().CurrentSelectedRow(), 9u);
    EXPECT_EQ(last.View().GetCheck(11), CheckState::Unchecked);
}

}  // namespace
}  // namespace gh::test
