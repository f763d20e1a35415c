// The game start on real child processes: the stand-in game records what it
// was started with beside itself.
#include "ChildProcess.h"

#include "game/GameFolders.h"
#include "launcher/StartupSequence.h"
#include "platform/SystemFolders.h"
#include "platform/Unicode.h"
#include "support/PeWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace gh {
namespace {

using test::RecordedArguments;
using test::TempFolder;
using test::WaitForRecord;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class GameStartTest : public ::testing::Test {
protected:
    // A game file that is not a program: a valid image with a version
    // resource but no code, as the demo's game.
    void WriteGameData() {
        m_temp.WriteFile(L"game/Emberwake2.exe", test::WriteVersionedPe(test::PeKind::Pe32Plus, {1, 2, 3, 4}).bytes);
    }

    TempFolder m_temp;
    // A launcher in the game folder.
    CGameFolders m_folders{m_temp / L"game/gatehouse", m_temp / L"documents"};
};

TEST_F(GameStartTest, StartsTheGameBesideTheLauncherWithAndWithoutTheParameter) {
    test::CopyStandIn(m_temp, L"game/Emberwake2.exe");

    ASSERT_TRUE(StartGameExecutable(m_folders, nullptr, L""));
    const std::string plain = WaitForRecord(m_temp, L"game");
    ASSERT_FALSE(plain.empty()) << "the game did not start";
    EXPECT_THAT(plain, HasSubstr("started with 0 arguments"));

    std::filesystem::remove(std::filesystem::path(m_temp / L"game/standin-record.txt"));
    const std::wstring parameter = kModSchemeParameter;
    ASSERT_TRUE(StartGameExecutable(m_folders, &parameter, L""));
    EXPECT_THAT(RecordedArguments(WaitForRecord(m_temp, L"game")), ElementsAre("MODSCHEME=GATEHOUSE.SCH"));
}

TEST_F(GameStartTest, RunnerGetsTheGamePathThenTheParameter) {
    WriteGameData();
    const std::wstring runner = test::CopyStandIn(m_temp, L"runner/standin");
    const std::wstring parameter = kModSchemeParameter;

    // The runner gets the game's full path in the system's own spelling.
    const std::string game =
        WideToUtf8(std::filesystem::path(m_folders.GetGameExecutablePath()).make_preferred().wstring());

    ASSERT_TRUE(StartGameExecutable(m_folders, &parameter, runner));
    EXPECT_THAT(RecordedArguments(WaitForRecord(m_temp, L"runner")), ElementsAre(game, "MODSCHEME=GATEHOUSE.SCH"));

    std::filesystem::remove(std::filesystem::path(m_temp / L"runner/standin-record.txt"));
    ASSERT_TRUE(StartGameExecutable(m_folders, nullptr, runner));
    EXPECT_THAT(RecordedArguments(WaitForRecord(m_temp, L"runner")), ElementsAre(game));
}

TEST_F(GameStartTest, MissingGameFailsWithAndWithoutRunner) {
    const std::wstring runner = test::CopyStandIn(m_temp, L"runner/standin");
    const std::wstring parameter = kModSchemeParameter;
    EXPECT_FALSE(StartGameExecutable(m_folders, nullptr, L""));
    EXPECT_FALSE(StartGameExecutable(m_folders, &parameter, L""));
    EXPECT_FALSE(StartGameExecutable(m_folders, &parameter, runner));
    // The runner is not started for a game that is not there.
    EXPECT_TRUE(WaitForRecord(m_temp, L"runner", std::chrono::milliseconds(300)).empty());
}

TEST_F(GameStartTest, RunnerThatCannotBeStartedFails) {
    WriteGameData();
    EXPECT_FALSE(StartGameExecutable(m_folders, nullptr, m_temp / L"no such runner"));
}

#ifndef _WIN32
TEST_F(GameStartTest, FileThatIsNoProgramFailsWithoutRunner) {
    m_temp.WriteFile(L"game/Emberwake2.exe", "just text, not a program");
    EXPECT_FALSE(StartGameExecutable(m_folders, nullptr, L""));
}
#endif

}  // namespace
}  // namespace gh
