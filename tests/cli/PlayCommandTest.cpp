// `play` as a child process: sets and restart lists written for the test,
// and the stand-in game as the runner, recording what it was started with.
#include "CliFixture.h"

#include <gmock/gmock.h>

#include "RecordingConsole.h"
#include "cli/PlayCommand.h"
#include "platform/FaultInjection.h"
#include "platform/Unicode.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

class PlayCommandTest : public CliFixture {
protected:
    void SetUp() override {
        WriteGame();
        m_runner = CopyStandIn(m_temp, L"runner/standin");
        for (std::int64_t guid = 1; guid <= 12; ++guid)
            InstallMod(L"m" + std::to_wstring(guid) + L".mod", Mod(L"Mod", guid));
        ModFile blocked = Mod(L"Blocked", 50);
        blocked.requirements.push_back({u"Nowhere", 99, 1});
        InstallMod(L"blocked.mod", blocked);
    }

    ChildResult Play(std::vector<std::wstring> args) {
        args.insert(args.begin(), {L"--runner", m_runner, L"play"});
        return Gatehouse(args);
    }

    std::string Record() { return WaitForRecord(m_temp, L"runner"); }
    bool RunnerStayedIdle() { return WaitForRecord(m_temp, L"runner", std::chrono::milliseconds(300)).empty(); }
    std::vector<std::int64_t> Written() { return SelectionGuids(m_temp.ReadFile(User(L"gatehouse.sch"))); }

    std::wstring m_runner;
};

TEST_F(PlayCommandTest, WithoutArgumentStartsThePlainGameAndWritesNothing) {
    const ChildResult run = Play({});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> args = RecordedArguments(Record());
    ASSERT_THAT(args, SizeIs(1));
    EXPECT_THAT(args[0], EndsWith("Emberwake2.exe"));
    EXPECT_FALSE(m_temp.Exists(User(L"gatehouse.sch")));
}

TEST_F(PlayCommandTest, GameStartsInItsOwnFolderWhereverTheLauncherRuns) {
    ASSERT_EQ(Play({}).exitCode, 0);
    const std::filesystem::path game = std::filesystem::canonical(std::filesystem::path(m_temp / L"game"));
    ASSERT_NE(game, std::filesystem::canonical(std::filesystem::current_path()));
#ifdef _WIN32
    const std::string folder = game.string();
#else
    const std::string folder = game.native();
#endif
    EXPECT_THAT(Record(), HasSubstr("working folder: " + folder + "\n"));
}

TEST_F(PlayCommandTest, SetLoadsUsableModsUpToTheLimitWithDuplicates) {
    m_temp.WriteFile(L"set.sch", SelectionBytes({3, 50, 3, 99, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11}));
    m_temp.WriteFile(User(L"restart.txt"), RestartListBytes({12}));

    const ChildResult run = Play({m_temp / L"set.sch"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(Written(), ElementsAre(3, 3, 1, 2, 4, 5, 6, 7, 8, 9));
    const std::vector<std::string> args = RecordedArguments(Record());
    ASSERT_THAT(args, SizeIs(2));
    EXPECT_THAT(args[0], EndsWith("Emberwake2.exe"));
    EXPECT_EQ(args[1], "MODSCHEME=GATEHOUSE.SCH");
    EXPECT_TRUE(m_temp.Exists(User(L"restart.txt"))) << "only --last reads the restart list";
    // Nothing is left out without a word.
    EXPECT_THAT(Lines(run.err), ElementsAre("gatehouse: Blocked was left out: it needs Nowhere",
                                            "gatehouse: mod 99 was left out: it is not installed",
                                            "gatehouse: Mod was left out: the limit is 10 mods",
                                            "gatehouse: Mod was left out: the limit is 10 mods"));
}

TEST_F(PlayCommandTest, SetThatIsNotASelectionIsRefusedAndNothingHappens) {
    m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({1}));
    m_temp.WriteFile(L"other.sch", SelectionBytes({2}, L"[SETS]"));
    for (const std::wstring& set : {m_temp / L"other.sch", m_temp / L"missing.sch"}) {
        const ChildResult run = Play({set});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_THAT(Lines(run.err), SizeIs(1)) << run.err;
        EXPECT_THAT(run.err, HasSubstr(".sch"));
    }
    EXPECT_THAT(Written(), ElementsAre(1));
    EXPECT_TRUE(RunnerStayedIdle());
}

TEST_F(PlayCommandTest, LastUsesTheRestartListAndDeletesIt) {
    m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({1}));
    m_temp.WriteFile(User(L"restart.txt"), RestartListBytes({5, 6}));
    const ChildResult run = Play({L"--last"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(Written(), ElementsAre(5, 6));
    EXPECT_FALSE(m_temp.Exists(User(L"restart.txt")));
    EXPECT_THAT(RecordedArguments(Record()), SizeIs(2));
}

TEST_F(PlayCommandTest, LastWithoutRestartListUsesTheLastSelection) {
    m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({4, 50, 2}));
    const ChildResult run = Play({L"--last"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(Written(), ElementsAre(4, 2));
    EXPECT_THAT(RecordedArguments(Record()), SizeIs(2));
}

TEST_F(PlayCommandTest, SelectionOverTheLimitIsRefusedWithTheManagersMessage) {
    m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({1}));
    m_temp.WriteFile(User(L"restart.txt"), RestartListBytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    const ChildResult run = Play({L"--last"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err,
                HasSubstr("You now have 12 mods selected.\n\nPlease remove 2 mod before launching Emberwake 2."));
    EXPECT_THAT(Written(), ElementsAre(1));
    EXPECT_TRUE(m_temp.Exists(User(L"restart.txt"))) << "a run that started nothing used nothing up";
    EXPECT_TRUE(RunnerStayedIdle());
}

TEST_F(PlayCommandTest, ASelectionFileThatCannotBeWrittenStartsNoGameAndLosesNothing) {
    // The selection file as a folder, and as a file marked read-only: the
    // game would read the old selection, so it is not started.
    const std::wstring file = m_temp / User(L"gatehouse.sch");
    const std::function<void()> blockers[] = {
        [&] { m_temp.MakeFolder(User(L"gatehouse.sch")); },
        [&] {
            m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({1}));
            std::filesystem::permissions(std::filesystem::path(file), std::filesystem::perms::owner_read |
                                                                          std::filesystem::perms::group_read |
                                                                          std::filesystem::perms::others_read);
        },
    };
    for (const auto& block : blockers) {
        block();
        m_temp.WriteFile(User(L"restart.txt"), RestartListBytes({5, 6}));
        const ChildResult run = Play({L"--last"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_THAT(run.err, HasSubstr("Unable to save file: gatehouse.sch"));
        EXPECT_THAT(run.out, IsEmpty()) << "no list of mods for a game that did not start";
        EXPECT_TRUE(m_temp.Exists(User(L"restart.txt"))) << "the restart list is kept for the next start";
        EXPECT_TRUE(RunnerStayedIdle());
        std::filesystem::permissions(std::filesystem::path(file), std::filesystem::perms::owner_all);
        std::filesystem::remove_all(std::filesystem::path(file));
    }
}

TEST_F(PlayCommandTest, AWriteThatFailsAtAnyStepStartsNoGame) {
    // The command run in this process, so that the platform's writes can be
    // made to fail one step at a time.
    const CGameFolders folders(m_temp / L"game/gatehouse", m_temp / L"documents");
    m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({1}));
    m_temp.WriteFile(L"set.sch", SelectionBytes({7, 8}));
    for (const auto step : {platform::FileOperation::OpenForWrite, platform::FileOperation::Write,
                            platform::FileOperation::Flush, platform::FileOperation::Rename}) {
        platform::CScopedFileFault fault(step, 1);
        CRecordingConsole console;
        const int status = RunPlay({PlayRequest::Source::Set, m_temp / L"set.sch", m_runner}, folders, console);
        EXPECT_TRUE(fault.Triggered());
        EXPECT_EQ(status, 1);
        EXPECT_THAT(console.err, HasSubstr(L"Unable to save file: gatehouse.sch: "));
        EXPECT_EQ(console.out, L"");
        EXPECT_THAT(Written(), ElementsAre(1));
    }
    EXPECT_TRUE(RunnerStayedIdle());
}

TEST_F(PlayCommandTest, MissingGameIsUnableToStartButTheSelectionIsWritten) {
    std::filesystem::remove(std::filesystem::path(m_temp / L"game/Emberwake2.exe"));
    m_temp.WriteFile(L"set.sch", SelectionBytes({7}));
    const ChildResult run = Play({m_temp / L"set.sch"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.err), std::vector<std::string>{"Unable to start program"});
    EXPECT_THAT(run.out, IsEmpty());
    EXPECT_THAT(Written(), ElementsAre(7));
}

#ifndef _WIN32
// A Windows executable that the system cannot start goes to `wine` when
// `wine` is on the path; here "wine" is the stand-in.
TEST_F(PlayCommandTest, WindowsExecutableWithoutRunnerGoesThroughWine) {
    const std::wstring wine = CopyStandIn(m_temp, L"wine-bin/wine");
    const char* path = std::getenv("PATH");
    const ChildResult run =
        RunChild(BuiltProgram(GH_GATEHOUSE_EXE),
                 {L"--documents", m_temp / L"documents", L"--game-folder", m_temp / L"game", L"play"},
                 {{"PATH", m_temp / L"wine-bin" + (path ? L":" + Utf8ToWide(path) : L"")}});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> args = RecordedArguments(WaitForRecord(m_temp, L"wine-bin"));
    ASSERT_THAT(args, SizeIs(1));
    EXPECT_THAT(args[0], EndsWith("Emberwake2.exe"));
}
#endif

}  // namespace
}  // namespace gh::test
