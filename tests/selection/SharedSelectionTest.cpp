#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "RecordingSelectionView.h"
#include "selection/SharedSelection.h"

namespace gh::test {
namespace {

using ::testing::ElementsAre;

class SharedSelectionTest : public ::testing::Test {
protected:
    SharedSelectionTest() {
        std::vector<ModData> mods = {MakeMod(L"Alpha", 1), MakeMod(L"Blocked", 2, StatusMissingRequirement),
                                     MakeMod(L"Core", 3), MakeMod(L"Delta", 4)};
        const std::uint32_t versions[] = {3, 5, 1, 2};
        for (std::size_t i = 0; i < mods.size(); ++i) mods[i].version = versions[i];
        m_view.AddRows(mods);
        m_rules.SetMods(mods);
    }
    void Check(std::size_t row) {
        m_view.ClickCheck(row);
        m_rules.ApplyCurrentCheck();
    }
    CRecordingSelectionView m_view;
    CSelectionRules m_rules{m_view};
};

TEST_F(SharedSelectionTest, MissingModsAreSkippedOutdatedOnesLoadRepeatsStayAndDamageChangesNothing) {
    Check(3);
    const std::vector<SharedEntry> code = {
        {1, 3, "Alpha"}, {99, 1, "Missing Mod"}, {3, 4, "Core"}, {1, 2, "Alpha"}, {2, 9, "Blocked"}};
    const std::string text = EncodeShareCode(code).Value();
    EXPECT_EQ(LoadShareCode(m_rules, text.substr(0, text.size() - 1)).Error().Kind(), StatusKind::BadData);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(3));
    EXPECT_EQ(m_view.Checks()[3], CheckState::Checked);

    const Result<SharedLoadReport> report = LoadShareCode(m_rules, text);
    ASSERT_TRUE(report);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 2, 0));
    EXPECT_THAT(m_view.Checks(), ElementsAre(CheckState::Checked, CheckState::Indeterminate, CheckState::Checked,
                                             CheckState::Unchecked));
    EXPECT_EQ(report->entries, 5u);
    EXPECT_EQ(report->loaded, 3u);
    EXPECT_THAT(report->skipped, ElementsAre(SkippedSharedEntry{1, code[1], LeftOutReason::NotInstalled, {}},
                                             SkippedSharedEntry{4, code[4], LeftOutReason::Blocked, 1}));
    EXPECT_THAT(report->outdated,
                ElementsAre(OutdatedSharedEntry{2, code[2], 2, 1, true}, OutdatedSharedEntry{4, code[4], 1, 5, false}));
    EXPECT_EQ(m_rules.LastLoad().leftOutCount, 2u);
}

TEST_F(SharedSelectionTest, ASharedSelectionLoadsBackAndTheLimitHoldsAsForAFile) {
    // Row 7 does not exist and is not shared.
    const std::vector<SharedEntry> entries = SharedEntriesOf(m_rules.Mods(), {3, 0, 7, 2, 0, 2, 2, 2, 2, 2, 2, 2, 2});
    const Result<SharedLoadReport> report = LoadShareCode(m_rules, EncodeShareCode(entries).Value());
    ASSERT_TRUE(report);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(3, 0, 2, 0, 2, 2, 2, 2, 2, 2));
    EXPECT_THAT(report->skipped, ElementsAre(SkippedSharedEntry{10, entries[10], LeftOutReason::OverLimit, 2},
                                             SkippedSharedEntry{11, entries[11], LeftOutReason::OverLimit, 2}));
    EXPECT_TRUE(report->outdated.empty());
}

}  // namespace
}  // namespace gh::test
