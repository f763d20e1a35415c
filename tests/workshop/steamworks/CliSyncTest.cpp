// `gatehouse sync` without --workshop, run through the command line's own
// entry point: it finds the stand-in library in the game folder that
// --game-folder names and syncs through it; with no library it reports
// the failed start and ends with status 1.
#include "../../cli/RecordingConsole.h"
#include "SteamworksTestSupport.h"
#include "cli/CliMain.h"
#include "game/GameFolders.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "support/TempFolder.h"
#include "workshop/steamworks/SteamLibraryLocation.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gh::test {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

class SteamCliSyncTest : public ::testing::Test {
protected:
    SteamCliSyncTest() {
        m_root.MakeFolder(L"game");
        m_root.MakeFolder(L"documents");
        m_root.WriteFile(L"game/Emberwake2.exe", "not really a game");
        m_environment.Set(L"GATEHOUSE_STANDIN_WORKSHOP", m_workshop.Path());
        m_environment.Set(L"LD_LIBRARY_PATH", std::nullopt);
    }

    int Gatehouse(const std::vector<std::wstring>& command) {
        std::vector<std::wstring> args{L"--documents", m_root / L"documents", L"--game-folder", m_root / L"game"};
        args.insert(args.end(), command.begin(), command.end());
        ::testing::internal::CaptureStderr();
        const int status = RunCommandLine(args, m_console,
                                          [](const LauncherOptions&, const CGameFolders&) { return GuiResult::Shown; });
        m_stderr = ::testing::internal::GetCapturedStderr();
        return status;
    }

    std::string ReadUser(const std::wstring& name) const {
        return platform::ReadWholeFile(m_root / (L"documents/My Games/Velmora Games/Emberwake 2/" + name), 1 << 20)
            .value_or("<missing>");
    }

    CScopedEnvironment m_environment;
    TempFolder m_root;
    CStandInWorkshop m_workshop;
    CRecordingConsole m_console;
    std::string m_stderr;
};

TEST_F(SteamCliSyncTest, SyncsThroughTheLibraryInTheGameFolder) {
    CopyFileTo(StandInLibrary("full"), m_root / (L"game/" + std::wstring(steam::kSteamLibraryFileName)));
    m_workshop.WriteContent(L"c/a.mod", "workshop a");
    m_workshop.WriteManifest(R"({ "items": [
        { "id": 31, "fileName": "mods/a.mod", "content": "c/a.mod", "timeUpdated": 1733700000 } ] })");

    EXPECT_EQ(Gatehouse({L"sync", L"--timeout", L"20"}), 0) << m_console.out << m_console.err;
    // The sync's own lines, then after a blank line what changed.
    EXPECT_EQ(m_console.out.substr(0, m_console.out.find(L"\n\n") + 1),
              L"Waiting for response from Steam...\n"
              L"Found 1 mod subscriptions. Checking for updates.\n"
              L"mods/a.mod - Not found. Installing.\n"
              L"mods/a.mod - Updated! Writing to mod folder...\n"
              L"All subscriptions up to date!\n");
    EXPECT_EQ(ReadUser(L"mods/a.mod"), "workshop a");
    EXPECT_EQ(m_stderr, "");

    // The library beside the game does not disturb the other commands.
    m_console.out.clear();
    EXPECT_EQ(Gatehouse({L"list"}), 0) << m_console.err;
}

TEST_F(SteamCliSyncTest, WithoutTheLibraryTheStartFailsAndSaysWhy) {
    EXPECT_EQ(Gatehouse({L"sync"}), 1);
    EXPECT_THAT(m_console.out, StartsWith(L"The Steam client failed to start: "));
    EXPECT_THAT(m_console.out, HasSubstr(std::wstring(steam::kSteamLibraryFileName)));
    EXPECT_EQ(std::count(m_console.out.begin(), m_console.out.end(), L'\n'), 1) << "one status line";
    EXPECT_THAT(m_stderr, HasSubstr("SteamAPI_Init() failed\n"));
}

}  // namespace
}  // namespace gh::test
