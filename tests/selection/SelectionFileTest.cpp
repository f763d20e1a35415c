#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "RecordingSelectionView.h"
#include "SelectionTestFiles.h"
#include "selection/DecimalText.h"
#include "selection/SelectionFile.h"
#include "selection/SelectionSets.h"
#include "support/FaultSteps.h"

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr wchar_t kGameFolder[] = L"My Games/Velmora Games/Emberwake 2/";

std::string Entry(const std::string& number) { return "\t<INTEGER64>MODGUID:" + number + "\r\n"; }

class SelectionFileTest : public ::testing::Test {
protected:
    SelectionFileTest() {
        // Rows: three usable mods (one with the top bit set), a blocked one,
        // one built for another game version, and two more usable ones.
        Fill({MakeMod(L"Alpha", 11), MakeMod(L"Negative", -5000000000), MakeMod(L"Lowest", kMin),
              MakeMod(L"Blocked", 44, StatusMissingRequirement), MakeMod(L"Older", 55, StatusWrongGameVersion),
              MakeMod(L"Highest", kMax), MakeMod(L"Zero", 0)});
    }
    void Fill(std::vector<ModData> mods) {
        m_view.AddRows(mods);
        m_rules.SetMods(std::move(mods));
    }
    void Select(const std::vector<std::uint32_t>& rows) {
        for (const std::uint32_t r : rows) m_rules.AddToSelection(r);
    }
    std::wstring Set(const std::wstring& name) const { return m_temp / name; }
    SelectionFileResult LoadBytes(const std::string& bytes) {
        m_temp.WriteFile(L"set.sch", bytes);
        return LoadSelectionFile(m_rules, Set(L"set.sch"));
    }
    std::string DefaultFile() const { return m_temp.ReadFile(std::wstring(kGameFolder) + L"gatehouse.sch"); }

    TempFolder m_temp;
    CDocumentsFolder m_documents{m_temp};
    CRecordingSelectionView m_view;
    CSelectionRules m_rules{m_view};
};

TEST(DecimalTextTest, Int64ToTextIsPlainSignedDecimal) {
    EXPECT_EQ(Int64ToText(0), L"0");
    EXPECT_EQ(Int64ToText(-1), L"-1");
    EXPECT_EQ(Int64ToText(1234567890123), L"1234567890123");
    EXPECT_EQ(Int64ToText(kMax), L"9223372036854775807");
    EXPECT_EQ(Int64ToText(kMin), L"-9223372036854775808");
}

TEST(DecimalTextTest, TextToInt64ReadsLikeTheRuntimeAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(TextToInt64(u" \t+42abc"), 42);
    EXPECT_EQ(TextToInt64(u"-17 9"), -17);
    EXPECT_EQ(TextToInt64(u""), 0);
    EXPECT_EQ(TextToInt64(u"abc"), 0);
    EXPECT_EQ(TextToInt64(u"-"), 0);
    EXPECT_EQ(TextToInt64(u"- 5"), 0);
    EXPECT_EQ(TextToInt64(u"00000000000000000000000000042"), 42);
    EXPECT_EQ(TextToInt64(u"9223372036854775807"), kMax);
    EXPECT_EQ(TextToInt64(u"-9223372036854775808"), kMin);
    EXPECT_EQ(TextToInt64(u"9223372036854775808"), std::nullopt);
    EXPECT_EQ(TextToInt64(u"-9223372036854775809"), std::nullopt);
    EXPECT_EQ(TextToInt64(u"18446744073709551617"), std::nullopt);  // wraps to 1 if unchecked
    EXPECT_EQ(TextToInt64(std::u16string(5000, u'9')), std::nullopt);
}

TEST_F(SelectionFileTest, TheDefaultFileHoldsExactlyTheseBytes) {
    Select({1, 0, 2});
    ASSERT_TRUE(SaveSelectionFile(m_rules, m_documents.SelectionFile()));
    const std::string expected =
        Utf16LeAscii("[MODS]\r\n" + Entry("-5000000000") + Entry("11") + Entry("-9223372036854775808") + "[/MODS]\r\n");
    EXPECT_EQ(DefaultFile(), expected);
    EXPECT_EQ(DefaultFile().substr(0, 2), "\xFF\xFE");
}

TEST_F(SelectionFileTest, AnEmptySelectionWritesTwoLinesAndALongOneIsWrittenWhole) {
    ASSERT_TRUE(SaveSelectionFile(m_rules, Set(L"empty.sch")));
    EXPECT_EQ(m_temp.ReadFile(L"empty.sch"), Utf16LeAscii("[MODS]\r\n[/MODS]\r\n"));

    m_rules.BeginLoad(true);
    for (int i = 0; i < 12; ++i) m_rules.AppendLoaded(0);
    ASSERT_TRUE(SaveSelectionFile(m_rules, Set(L"twelve.sch")));
    std::string body = "[MODS]\r\n";
    for (int i = 0; i < 12; ++i) body += Entry("11");
    EXPECT_EQ(m_temp.ReadFile(L"twelve.sch"), Utf16LeAscii(body + "[/MODS]\r\n"));
}

TEST_F(SelectionFileTest, ASavedSelectionReadsBackInOrderWithItsExtremeGuids) {
    Select({5, 2, 1, 4, 6});
    ASSERT_TRUE(SaveSelectionFile(m_rules, Set(L"round.sch")));

    CRecordingSelectionView view;
    CSelectionRules other(view);
    view.AddRows(m_rules.Mods());
    other.SetMods(m_rules.Mods());
    ASSERT_EQ(LoadSelectionFile(other, Set(L"round.sch")), SelectionFileResult::Loaded);
    EXPECT_EQ(other.Selection(), m_rules.Selection());
    EXPECT_THAT(view.Checks(),
                ElementsAre(CheckState::Unchecked, CheckState::Checked, CheckState::Checked, CheckState::Indeterminate,
                            CheckState::Checked, CheckState::Checked, CheckState::Checked));
    EXPECT_THAT(view.SelectedRows(), ElementsAre(L"Highest", L"Lowest", L"Negative", L"Older", L"Zero"));
    EXPECT_EQ(view.CurrentSelectedRow(), std::nullopt);

    // Written again, the file comes out byte for byte the same.
    ASSERT_TRUE(SaveSelectionFile(other, Set(L"again.sch")));
    EXPECT_EQ(m_temp.ReadFile(L"again.sch"), m_temp.ReadFile(L"round.sch"));
}

TEST_F(SelectionFileTest, FilesWrittenElsewhereLoadInEveryEncodingAndLayout) {
    const std::string lines = "[MODS]\r\n" + Entry("11") + "    <INTEGER64>MODGUID:55\r\n" +  // spaces for the TAB
                              "<INTEGER64>MODGUID:-5000000000\r\n" +                          // no TAB at all
                              "\r\n\r\n  \r\n" +                                              // blank lines
                              "\tXXXXXXXXXXXXXXXXXXX0\r\n" +                                  // any 19 characters
                              "\t<I64>MODGUID:11\r\n" +                                       // too short: skipped
                              "[/MODS]\r\n" + Entry("9223372036854775807");                   // after the end
    const std::vector<std::uint32_t> expected = {0, 4, 1, 6};

    EXPECT_EQ(LoadBytes(Utf16LeAscii(lines)), SelectionFileResult::Loaded);
    EXPECT_EQ(m_rules.Selection(), expected);
    EXPECT_EQ(LoadBytes(Utf16LeAscii(lines, false)), SelectionFileResult::Loaded);
    EXPECT_EQ(m_rules.Selection(), expected);
    EXPECT_EQ(LoadBytes("\xEF\xBB\xBF" + lines), SelectionFileResult::Loaded);
    EXPECT_EQ(m_rules.Selection(), expected);

    // LF alone ends lines too, and the file may end without a line end.
    EXPECT_EQ(LoadBytes(Utf16LeAscii("[MODS]\n\t<INTEGER64>MODGUID:11\n\t<INTEGER64>MODGUID:55")),
              SelectionFileResult::Loaded);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 4));
}

TEST_F(SelectionFileTest, OnlyTheFirstTenUsableEntriesLoadAndDuplicatesStay) {
    std::string lines = "[MODS]\r\n" + Entry("44") + Entry("999") + Entry("99999999999999999999");
    for (int i = 0; i < 6; ++i) lines += Entry("11") + Entry("0");
    EXPECT_EQ(LoadBytes(Utf16LeAscii(lines + "[/MODS]\r\n")), SelectionFileResult::Loaded);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0, 6, 0, 6, 0, 6, 0, 6, 0, 6));
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
    // What was left out, and why, for the player to be told.
    const SelectionLoadReport& report = m_rules.LastLoad();
    EXPECT_EQ(report.entries, 14u);
    EXPECT_EQ(report.Loaded(), 10u);
    std::vector<std::pair<std::int64_t, LeftOutReason>> leftOut;
    for (const LeftOutEntry& entry : report.leftOut) leftOut.emplace_back(entry.guid, entry.reason);
    EXPECT_THAT(leftOut, ElementsAre(std::pair{44, LeftOutReason::Blocked}, std::pair{999, LeftOutReason::NotInstalled},
                                     std::pair{11, LeftOutReason::OverLimit}, std::pair{0, LeftOutReason::OverLimit}));
}

TEST(SelectionSetNameTest, ASetIsWrittenWithItsExtensionWhateverItsNameAsks) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"/sets/My Ten", L"/sets/My Ten.sch"},   {L"/sets/My Ten.sch", L"/sets/My Ten.sch"},
        {L"C:\\sets\\A.SCH", L"C:\\sets\\A.SCH"}, {L"/sets/v1.2", L"/sets/v1.2.sch"},
        {L"/sets.sch/x", L"/sets.sch/x.sch"},     {L"/sets/.sch", L"/sets/.sch.sch"},
    };
    for (const auto& [chosen, written] : cases) EXPECT_EQ(WithSetExtension(chosen), written) << chosen;
    EXPECT_EQ(SetDisplayName(L"C:\\sets\\Favourites.Sch"), L"Favourites");
}

TEST_F(SelectionFileTest, ALoadClearsOldChecksButKeepsIndeterminateRows) {
    Select({0, 2});
    m_view.SetCheck(0, CheckState::Checked);
    m_view.SetCheck(2, CheckState::Checked);
    m_view.EnablePlayAndSaveSet(false);
    EXPECT_EQ(LoadBytes(Utf16LeAscii("[MODS]\r\n" + Entry("-5000000000") + Entry("44") + "[/MODS]\r\n")),
              SelectionFileResult::Loaded);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(1));
    EXPECT_THAT(m_view.Checks(), ElementsAre(CheckState::Unchecked, CheckState::Checked, CheckState::Unchecked,
                                             CheckState::Indeterminate, CheckState::Unchecked, CheckState::Unchecked,
                                             CheckState::Unchecked));
    EXPECT_THAT(m_view.SelectedRows(), ElementsAre(L"Negative"));
    EXPECT_TRUE(m_view.PlayAndSaveSetEnabled());
}

TEST_F(SelectionFileTest, AFileThatIsNotASelectionChangesNothing) {
    Select({0});
    m_view.EnablePlayAndSaveSet(false);
    m_view.ClearCalls();

    EXPECT_EQ(LoadBytes(""), SelectionFileResult::NotASelection);
    EXPECT_EQ(LoadBytes(Utf16LeAscii(" \r\n\t ")), SelectionFileResult::NotASelection);
    EXPECT_EQ(LoadBytes(Utf16LeAscii("[mods]\r\n" + Entry("11"))), SelectionFileResult::NotASelection);
    EXPECT_EQ(LoadBytes(Utf16LeAscii("[MODS][/MODS]\r\n")), SelectionFileResult::NotASelection);
    EXPECT_EQ(LoadBytes("[MODS]\r\n\t<INTEGER64>MODGUID:11\r\n"), SelectionFileResult::NotASelection);  // 8-bit
    EXPECT_EQ(LoadSelectionFile(m_rules, Set(L"missing.sch")), SelectionFileResult::Unreadable);
    m_temp.MakeFolder(L"folder.sch");
    EXPECT_NE(LoadSelectionFile(m_rules, Set(L"folder.sch")), SelectionFileResult::Loaded);

    EXPECT_THAT(m_rules.Selection(), ElementsAre(0));
    EXPECT_THAT(m_view.Calls(), IsEmpty());
}

TEST_F(SelectionFileTest, LongLinesAndOversizedFilesAreHandledSafely) {
    // A line far longer than any entry: its number starts at position 19 and
    // runs on with digits, so it fits no 64-bit value.
    const std::string longDigits = "[MODS]\r\n\t<INTEGER64>MODGUID:" + std::string(100000, '1') + "\r\n" + Entry("11");
    EXPECT_EQ(LoadBytes(Utf16LeAscii(longDigits)), SelectionFileResult::Loaded);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0));

    const std::string longTail = "[MODS]\r\n\t<INTEGER64>MODGUID:55" + std::string(100000, 'x') + "\r\n";
    EXPECT_EQ(LoadBytes(Utf16LeAscii(longTail)), SelectionFileResult::Loaded);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(4));

    std::string huge = Utf16LeAscii("[MODS]\r\n" + Entry("11"));
    huge.resize(kMaxSelectionFileBytes + 2, ' ');
    EXPECT_EQ(LoadBytes(huge), SelectionFileResult::Unreadable);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(4));
}

TEST_F(SelectionFileTest, AFailedWriteLeavesThePreviousFileAndNoTemporaryFiles) {
    const std::string old = Utf16LeAscii("[MODS]\r\n" + Entry("11") + "[/MODS]\r\n");
    m_temp.WriteFile(L"kept.sch", old);
    const std::filesystem::path kept(Set(L"kept.sch"));
    std::filesystem::permissions(kept,
                                 std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    Select({1, 2});
    EXPECT_FALSE(SaveSelectionFile(m_rules, Set(L"kept.sch")));
    EXPECT_EQ(m_temp.ReadFile(L"kept.sch"), old);

    m_temp.MakeFolder(L"folder.sch");
    EXPECT_FALSE(SaveSelectionFile(m_rules, Set(L"folder.sch")));
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(Set(L"folder.sch"))));
    EXPECT_FALSE(SaveSelectionFile(m_rules, Set(L"no such folder/set.sch")));
    EXPECT_FALSE(m_temp.Exists(L"no such folder"));

    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(m_temp.Path())))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    EXPECT_THAT(names, ElementsAre(L"My Games", L"folder.sch", L"kept.sch"));
}

TEST_F(SelectionFileTest, AFailureAtAnyStepOfASaveKeepsTheOldFileWhole) {
    // The default file and a set file alike: whichever file operation fails,
    // the previous file stays byte for byte and no temporary file is left.
    const std::string old = Utf16LeAscii("[MODS]\r\n" + Entry("11") + "[/MODS]\r\n");
    Select({1, 2});
    const std::string saved =
        Utf16LeAscii("[MODS]\r\n" + Entry("-5000000000") + Entry("-9223372036854775808") + "[/MODS]\r\n");
    for (const std::wstring& relative : {std::wstring(kGameFolder) + L"gatehouse.sch", std::wstring(L"sets/a.sch")}) {
        SCOPED_TRACE(std::string(relative.begin(), relative.end()));
        const std::wstring path = m_temp / relative;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        const auto result = FailEveryStep(
            [&] { m_temp.WriteFile(relative, old); },
            [&] {
                return (relative.starts_with(L"sets") ? SaveSelectionSet(m_rules, path)
                                                      : SaveSelectionFile(m_rules, m_documents.SelectionFile()))
                    .IsOk();
            },
            [&](platform::FileOperation failed, std::uint32_t nth) {
                SCOPED_TRACE(testing::Message() << NameOf(failed) << " call " << nth << " failed");
                if (failed != platform::FileOperation::SyncFolder) {
                    EXPECT_EQ(m_temp.ReadFile(relative), old);
                }
                EXPECT_EQ(
                    std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()),
                    1)
                    << "a temporary file stayed";
            });
        EXPECT_TRUE(result.wrongAnswers.empty()) << result.wrongAnswers.front();
        EXPECT_TRUE(result.reached.count(platform::FileOperation::Rename));
        EXPECT_EQ(m_temp.ReadFile(relative), saved);
    }
}

TEST_F(SelectionFileTest, SavingReplacesAnExistingFileWhole) {
    m_temp.WriteFile(L"set.sch", std::string(5000, 'z'));
    Select({0});
    ASSERT_TRUE(SaveSelectionSet(m_rules, Set(L"set.sch")));
    EXPECT_EQ(m_temp.ReadFile(L"set.sch"), Utf16LeAscii("[MODS]\r\n" + Entry("11") + "[/MODS]\r\n"));
}

TEST_F(SelectionFileTest, AnEmptyPathNeverReachesTheDefaultFile) {
    const std::string defaultFile = Utf16LeAscii("[MODS]\r\n" + Entry("55") + "[/MODS]\r\n");
    m_temp.WriteFile(std::wstring(kGameFolder) + L"gatehouse.sch", defaultFile);
    Select({0});

    EXPECT_EQ(LoadSelectionSet(m_rules, std::wstring()), SelectionFileResult::Unreadable);
    EXPECT_THAT(m_rules.Selection(), ElementsAre(0));
    EXPECT_FALSE(SaveSelectionSet(m_rules, std::wstring()));
    EXPECT_FALSE(SaveSelectionFile(m_rules, std::wstring()));
    EXPECT_EQ(DefaultFile(), defaultFile);
}

}  // namespace
}  // namespace gh::test
