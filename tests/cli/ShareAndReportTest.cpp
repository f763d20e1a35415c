// share, import, play --code and report as child processes, on worlds of
// real mod files: a selection carried from one player's mods to another's,
// damaged codes, and the report on the demo world.
#include "CliFixture.h"

#include <gmock/gmock.h>

#include "platform/Unicode.h"

#include <string>
#include <vector>

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::SizeIs;

constexpr std::int64_t kAlpha = 11;
constexpr std::int64_t kCore = 12;
constexpr std::int64_t kDelta = 13;
constexpr std::int64_t kBlocked = 14;

class ShareAndReportTest : public CliFixture {
protected:
    void SetUp() override {
        WriteGame();
        InstallMod(L"Alpha.mod", Mod(L"Alpha", kAlpha, 3));
        InstallMod(L"Core/Core Library.mod", Mod(L"Core Library", kCore, 4));
        InstallMod(L"Sub Folder/Delta.mod", Mod(L"Delta", kDelta, 1));
        m_temp.WriteFile(User(L"Favourites.sch"), SelectionBytes({kAlpha, kCore, kDelta, kAlpha}));
    }

    // A second player's documents: Alpha as it is, Core Library older, no
    // Delta, and a mod that needs what is not there.
    std::vector<std::wstring> OtherPlayer() {
        const std::wstring mods = L"other/My Games/Velmora Games/Emberwake 2/mods/";
        EXPECT_TRUE(WriteModFile(m_temp / (mods + L"a.mod"), Mod(L"Alpha", kAlpha, 3)));
        EXPECT_TRUE(WriteModFile(m_temp / (mods + L"c.mod"), Mod(L"Core Library", kCore, 2)));
        ModFile blocked = Mod(L"Blocked", kBlocked);
        blocked.requirements.push_back({u"Nowhere", 99, 1});
        EXPECT_TRUE(WriteModFile(m_temp / (mods + L"b.mod"), blocked));
        return {L"--documents", m_temp / L"other"};
    }

    std::string Share() {
        const ChildResult run = Gatehouse({L"share", m_temp / User(L"Favourites.sch")});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const std::vector<std::string> lines = Lines(run.out);
        EXPECT_THAT(lines, SizeIs(1));
        return lines.empty() ? std::string() : lines.front();
    }

    static std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }
};

TEST_F(ShareAndReportTest, ACodeCarriesTheOrderToAnotherPlayerAndNamesWhatTheirModsLack) {
    const std::wstring code = Wide(Share());
    std::vector<std::wstring> args = OtherPlayer();
    args.insert(args.end(), {L"import", code, L"--save", m_temp / L"imported"});
    const ChildResult imported = Gatehouse(args);
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    // Only what loads is saved, repeats kept; what did not load is named
    // with its identity, and the older Core Library is told.
    EXPECT_THAT(SelectionGuids(m_temp.ReadFile(L"imported.sch")), ElementsAre(kAlpha, kCore, kAlpha));
    ASSERT_THAT(Lines(imported.err), SizeIs(2)) << imported.err;
    EXPECT_THAT(Lines(imported.err)[0], HasSubstr("Core Library"));
    EXPECT_THAT(Lines(imported.err)[0], HasSubstr("4"));
    EXPECT_THAT(Lines(imported.err)[1], HasSubstr("Delta (mod 13)"));

    // play --code starts the game with the same selection.
    const std::wstring runner = CopyStandIn(m_temp, L"runner/standin");
    args = OtherPlayer();
    args.insert(args.end(), {L"--runner", runner, L"play", L"--code", code});
    const ChildResult played = Gatehouse(args);
    ASSERT_EQ(played.exitCode, 0) << played.err;
    EXPECT_EQ(played.err, imported.err);
    EXPECT_THAT(SelectionGuids(m_temp.ReadFile(L"other/My Games/Velmora Games/Emberwake 2/gatehouse.sch")),
                ElementsAre(kAlpha, kCore, kAlpha));
    EXPECT_THAT(RecordedArguments(WaitForRecord(m_temp, L"runner")), SizeIs(2));
}

TEST_F(ShareAndReportTest, ADamagedCodeChangesNothingAndSaysWhatIsWrong) {
    const std::string code = Share();
    std::string flipped = code;
    flipped[10] = flipped[10] == 'A' ? 'B' : 'A';
    m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({kCore}));
    const std::wstring runner = CopyStandIn(m_temp, L"runner/standin");
    for (const std::string& damaged : {code.substr(0, code.size() - 3), flipped, "GH2-" + code.substr(4), code + "AA",
                                       std::string("Favourites.sch")}) {
        const ChildResult imported = Gatehouse({L"import", Wide(damaged), L"--save", m_temp / L"imported.sch"});
        EXPECT_EQ(imported.exitCode, 1) << damaged;
        EXPECT_THAT(Lines(imported.err), SizeIs(1)) << imported.err;
        EXPECT_FALSE(m_temp.Exists(L"imported.sch"));

        const ChildResult played = Gatehouse({L"--runner", runner, L"play", L"--code", Wide(damaged)});
        EXPECT_EQ(played.exitCode, 1) << damaged;
        EXPECT_THAT(played.err, HasSubstr(Lines(imported.err).front().substr(0, 30)));
    }
    EXPECT_THAT(SelectionGuids(m_temp.ReadFile(User(L"gatehouse.sch"))), ElementsAre(kCore));
    EXPECT_TRUE(WaitForRecord(m_temp, L"runner", std::chrono::milliseconds(300)).empty());
    EXPECT_EQ(Gatehouse({L"import", L"--save", m_temp / L"imported.sch"}).exitCode, 2);
}

// Codes are bytes of their own: the Linux and the Windows build make the same
// code of the same mods and read each other's. This code was made by the
// Linux build (and agrees with an encoder written from the format alone);
// the Windows build's tests run this under Wine, where the names are wide
// text of 16-bit units.
TEST_F(ShareAndReportTest, CodesAreTheSameOnEverySystem) {
    const std::wstring mods = L"both/My Games/Velmora Games/Emberwake 2/";
    ASSERT_TRUE(WriteModFile(m_temp / (mods + L"mods/u.mod"), Mod(L"Über Ströme 川", -7205759403792793600, 65535)));
    ASSERT_TRUE(WriteModFile(m_temp / (mods + L"mods/z.mod"), Mod(L"Zed", 42, 2)));
    const std::string set = SelectionBytes({42, -7205759403792793600, 42});
    m_temp.WriteFile(mods + L"set.sch", set);
    const std::string kLinuxCode =
        "GH1-AyoAAAAAAAAAAgAAAANaZWQAAAAAAAAAnP__AAARw5xiZXIgU3Ryw7ZtZSDlt50qAAAAAAAAAAIAAAADWmVkz6XlLw";

    const ChildResult shared = Gatehouse({L"--documents", m_temp / L"both", L"share", m_temp / (mods + L"set.sch")});
    ASSERT_EQ(shared.exitCode, 0) << shared.err;
    EXPECT_EQ(shared.out, kLinuxCode + "\n");

    const ChildResult imported =
        Gatehouse({L"--documents", m_temp / L"both", L"import", Wide(kLinuxCode), L"--save", m_temp / L"imported.sch"});
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(m_temp.ReadFile(L"imported.sch"), set);
}

TEST_F(ShareAndReportTest, TheReportOnTheDemoNamesFilesBelowTheModsFolderAndNoFullPath) {
    ASSERT_EQ(RunChild(BuiltProgram(GH_DEMO_EXE), {m_temp / L"demo"}).exitCode, 0);
    // The temporary folder's own name stands in every full path, whatever
    // its drive or separators.
    std::wstring root = m_temp.Path();
    root.pop_back();
    const std::string leaf = WideToUtf8(root.substr(root.find_last_of(L"/\\") + 1));
    const std::wstring demo = m_temp / L"demo/";
    const std::wstring favourites = demo + L"documents/My Games/Velmora Games/Emberwake 2/Favourites.sch";
    std::vector<std::string> reports;
    for (const std::vector<std::wstring>& command :
         {std::vector<std::wstring>{L"report"}, std::vector<std::wstring>{L"report", L"--markdown", favourites}}) {
        std::vector<std::wstring> args = {L"--documents", demo + L"documents", L"--game-folder", demo + L"game"};
        args.insert(args.end(), command.begin(), command.end());
        const ChildResult run = RunChild(BuiltProgram(GH_GATEHOUSE_EXE), args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_THAT(run.out, Not(HasSubstr(leaf))) << run.out;
        EXPECT_THAT(run.out, HasSubstr("Emberwake II 1.25.5.2"));
        // The mods that cannot be used, with what they lack.
        EXPECT_THAT(run.out, HasSubstr("Black Powder"));
        reports.push_back(run.out);
    }
    // The last selection holds a mod in a folder of its own.
    EXPECT_THAT(reports[0], HasSubstr("mods/Campaigns/Winter Campaign.mod"));
}

}  // namespace
}  // namespace gh::test
