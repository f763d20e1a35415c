// The whole sync through the real loader: the stand-in library lies beside
// a stand-in game, is found there, started, and serves a Workshop folder;
// the sync writes into a temporary documents folder.
#include "RecordingSyncView.h"
#include "SteamworksTestSupport.h"
#include "game/GameFolders.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "support/TempFolder.h"
#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopSync.h"
#include "workshop/steamworks/SteamLibraryLocation.h"
#include "workshop/steamworks/SteamworksClient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gh::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::int64_t kTime = 1'733'700'000;
const std::string kBig(2 * kInstallChunkSize + kInstallChunkSize / 2, 'B');  // read in three chunks

class SteamEndToEndTest : public ::testing::TestWithParam<const char*> {
protected:
    SteamEndToEndTest() {
        m_game.WriteFile(L"Emberwake2.exe", "not really a game");
        CopyFileTo(StandInLibrary(GetParam()), m_game.Path() + std::wstring(steam::kSteamLibraryFileName));
        m_environment.Set(L"GATEHOUSE_STANDIN_WORKSHOP", m_workshop.Path());
    }

    void WriteLocal(const std::wstring& name, const std::string& bytes, std::int64_t time) {
        m_documents.WriteFile(L"Documents/My Games/Velmora Games/Emberwake 2/" + name, bytes);
        ASSERT_TRUE(platform::SetFileModificationTime(m_folders.GetUserGameFolder() + name, time));
    }
    std::string ReadLocal(const std::wstring& name) {
        return platform::ReadWholeFile(m_folders.GetUserGameFolder() + name, 8 << 20).value_or("<missing>");
    }

    // Starts the client and the sync as the start window does and pumps
    // them as its loop does, until no request waits or ten seconds passed.
    void RunSync(CSteamworksClient& client, CRecordingSyncView& view) {
        ASSERT_TRUE(client.Init());
        EXPECT_EQ(client.LibraryPath(), m_game.Path() + std::wstring(steam::kSteamLibraryFileName));
        {
            CWorkshopSync sync(client, view, m_folders);
            ASSERT_TRUE(sync.StartSync());
            view.EnablePlayWithMods(false);
            const std::int64_t deadline = platform::MonotonicMilliseconds() + 10'000;
            while (sync.HasPendingRequests() && platform::MonotonicMilliseconds() < deadline) {
                sync.Pump(platform::SystemTimeAsFileTime());
                platform::SleepMilliseconds(5);
            }
            EXPECT_FALSE(sync.HasPendingRequests());
        }
        m_report = ReadStandInReport(client.LibraryPath());
        client.Shutdown();
    }

    CScopedEnvironment m_environment;
    TempFolder m_game;
    TempFolder m_documents;
    CGameFolders m_folders{m_game.Path() + L"gatehouse", m_documents.Path() + L"Documents"};
    CStandInWorkshop m_workshop;
    StandInReport m_report{};
};

TEST_P(SteamEndToEndTest, BringsSubscriptionsUpToDate) {
    m_workshop.WriteContent(L"files/big.mod", kBig);
    m_workshop.WriteContent(L"files/old.mod", "fresh old");
    m_workshop.WriteContent(L"files/same.mod", "workshop same");
    m_workshop.WriteContent(L"files/deep.mod", "deep");
    m_workshop.WriteManifest(R"({
      "bytesPerSecond": 20000000,
      "items": [
        { "id": 11, "fileName": "mods/big.mod", "content": "files/big.mod", "timeUpdated": 1733700000 },
        { "id": 12, "fileName": "mods/old.mod", "content": "files/old.mod", "timeUpdated": 1733700000, "latencyMs": 50 },
        { "id": 13, "fileName": "mods/same.mod", "content": "files/same.mod", "timeUpdated": 1733700000 },
        { "id": 14, "fileName": "mods/sub/deep.mod", "content": "files/deep.mod", "timeUpdated": 1733700000 }
      ]
    })");
    WriteLocal(L"mods/old.mod", "stale", kTime - 100);
    WriteLocal(L"mods/same.mod", "local same", kTime);

    CSteamworksClient client(std::nullopt, m_folders.GetGameExecutablePath());
    CRecordingSyncView view;
    RunSync(client, view);

    EXPECT_EQ(ReadLocal(L"mods/big.mod"), kBig);
    EXPECT_EQ(ReadLocal(L"mods/old.mod"), "fresh old");
    EXPECT_EQ(ReadLocal(L"mods/same.mod"), "local same");
    EXPECT_EQ(ReadLocal(L"mods/sub/deep.mod"), "deep");
    EXPECT_EQ(view.LastText(), L"All subscriptions up to date!");
    EXPECT_TRUE(view.playWithModsEnabled);
    EXPECT_EQ(view.pos, view.upper);
    EXPECT_THAT(view.texts, Contains(L"Found 4 mod subscriptions. Checking for updates."));
    EXPECT_THAT(view.texts, Contains(L"mods/big.mod - Not found. Installing."));
    EXPECT_THAT(view.texts, Contains(L"mods/old.mod - Out of date.  Downloading latest version."));
    EXPECT_THAT(view.texts, Contains(L"mods/same.mod - up to date"));
    EXPECT_THAT(view.texts, Contains(L"mods/sub/deep.mod - Updated! Writing to mod folder..."));

    EXPECT_EQ(m_report.protocolErrors, 0) << m_report.firstProtocolError;
    EXPECT_EQ(m_report.reads, 3 + 1 + 1) << "the big file in three chunks, the others in one";
    EXPECT_EQ(m_report.resultsFetched, 1 + 4 + 3);
    EXPECT_EQ(m_report.starts, 1);
}

TEST_P(SteamEndToEndTest, FailedAndWrongSizedResultsAreReportedAndLoseNothing) {
    m_environment.Set(L"GATEHOUSE_STANDIN_FAULT", L"size:1317");
    m_workshop.WriteContent(L"files/old.mod", "fresh old");
    m_workshop.WriteManifest(R"({ "items": [
        { "id": 21, "fileName": "mods/old.mod", "content": "files/old.mod", "timeUpdated": 1733700000 },
        { "id": 22, "fileName": "mods/nodetails.mod", "fail": "details" } ] })");
    WriteLocal(L"mods/old.mod", "stale", kTime - 100);

    CSteamworksClient client(std::nullopt, m_folders.GetGameExecutablePath());
    CRecordingSyncView view;
    RunSync(client, view);

    EXPECT_EQ(ReadLocal(L"mods/old.mod"), "stale");
    // A refused record carries no name to show.
    EXPECT_THAT(view.texts, Contains(L" - Download timed out"));
    EXPECT_THAT(view.texts, Contains(L"mods/nodetails.mod - File detail request timed out"));
    EXPECT_THAT(view.texts, Not(Contains(HasSubstr(L"Updated!"))));
    EXPECT_EQ(m_report.reads, 0);
    EXPECT_EQ(m_report.protocolErrors, 0) << m_report.firstProtocolError;
}

TEST_P(SteamEndToEndTest, ALoggedOffUserGetsTheLoginText) {
    m_workshop.WriteManifest(R"({ "loggedOn": false, "items": [] })");
    CSteamworksClient client(std::nullopt, m_folders.GetGameExecutablePath());
    CRecordingSyncView view;
    ASSERT_TRUE(client.Init());
    CWorkshopSync sync(client, view, m_folders);
    EXPECT_FALSE(sync.StartSync());
    EXPECT_EQ(view.LastText(), L"Steam initialization failed. Please check that you are logged in to Steam.");
    client.Shutdown();
}

INSTANTIATE_TEST_SUITE_P(LibraryGenerations, SteamEndToEndTest, ::testing::Values("full", "older", "polling"),
                         [](const auto& param) { return std::string(param.param); });

}  // namespace
}  // namespace gh::test
