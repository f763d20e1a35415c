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

#include <algorithm>

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

TEST_P(SteamEndToEndTest, BringsItemsInFoldersUpToDatePageByPage) {
    m_workshop.WriteContent(L"files/legacy.mod", "legacy");
    m_workshop.WriteContent(L"items/1/one.mod", "one");
    m_workshop.WriteContent(L"items/1/maps/one.map", std::string(70'000, 'm'));
    m_workshop.WriteContent(L"items/2/two.mod", "two");
    m_workshop.WriteContent(L"items/3/three.txt", "three");
    m_workshop.WriteContent(L"items/4/four.mod", "four");
    m_workshop.WriteManifest(R"({
      "pageSize": 2, "bytesPerSecond": 5000000,
      "items": [
        { "id": 10, "fileName": "mods/legacy.mod", "content": "files/legacy.mod", "timeUpdated": 1733700000 },
        { "id": 11, "kind": "folder", "folder": "items/1", "timeUpdated": 1733700000, "listedBy": ["remoteStorage"] },
        { "id": 12, "kind": "folder", "folder": "items/2", "state": ["installed", "needsUpdate"], "resultAppId": 99,
          "timeUpdated": 1733700000 },
        { "id": 13, "kind": "folder", "folder": "items/3", "state": [], "listedBy": ["ugc"], "timeUpdated": 1733700000 },
        { "id": 14, "kind": "folder", "folder": "items/4", "state": ["installed", "disabled"] },
        { "id": 15, "kind": "folder", "folder": "items/4", "state": ["downloading"], "timeUpdated": 1733700000 },
        { "id": 16, "kind": "folder", "folder": "items/4", "state": [], "fail": "downloadResult" }
      ]
    })");
    WriteLocal(L"mods/workshop-items/11/one.mod", "stale", kTime - 1);

    CSteamworksClient client(std::nullopt, m_folders.GetGameExecutablePath());
    CRecordingSyncView view;
    ASSERT_TRUE(client.Init());
    const bool items = client.HasItemInterface();
    client.Shutdown();
    RunSync(client, view);

    EXPECT_EQ(ReadLocal(L"mods/legacy.mod"), "legacy");
    EXPECT_THAT(view.texts, Contains(L"mods/legacy.mod - Updated! Writing to mod folder..."));
    EXPECT_EQ(view.LastText(), L"Some subscriptions could not be updated.");
    EXPECT_EQ(m_report.protocolErrors, 0) << m_report.firstProtocolError;
    if (!items) {
        // Without the item interface every item goes the single-file way,
        // which these items have none of.
        EXPECT_EQ(std::count(view.texts.begin(), view.texts.end(), L" - File detail request timed out"), 5);
        EXPECT_EQ(ReadLocal(L"mods/workshop-items/11/one.mod"), "stale");
        return;
    }
    EXPECT_EQ(ReadLocal(L"mods/workshop-items/11/one.mod"), "one");
    EXPECT_EQ(ReadLocal(L"mods/workshop-items/11/maps/one.map"), std::string(70'000, 'm'));
    EXPECT_EQ(ReadLocal(L"mods/workshop-items/12/two.mod"), "two");
    EXPECT_EQ(ReadLocal(L"mods/workshop-items/13/three.txt"), "three");
    EXPECT_EQ(ReadLocal(L"mods/workshop-items/14/four.mod"), "<missing>");
    EXPECT_EQ(ReadLocal(L"mods/workshop-items/15/four.mod"), "four");
    EXPECT_EQ(ReadLocal(L"mods/workshop-items/16/four.mod"), "<missing>");
    for (const wchar_t* line : {L"mods/workshop-items/11/ - Updated! Writing to mod folder...",
                                L"mods/workshop-items/12/ - Not found. Installing.",
                                L"mods/workshop-items/12/ - Updated! Writing to mod folder...",
                                L"mods/workshop-items/13/ - Updated (no mod file in this item)",
                                L"mods/workshop-items/14/ - Disabled in Steam",
                                L"mods/workshop-items/15/ - Updated! Writing to mod folder...",
                                L"mods/workshop-items/16/ - Download timed out"})
        EXPECT_THAT(view.texts, Contains(line));
    EXPECT_EQ(m_report.itemDownloads, 3) << "12, 13 and 16; 15 downloads already";
    EXPECT_EQ(m_report.itemDownloadsAgain, 0);
    EXPECT_EQ(m_report.itemDownloadsHighPriority, 0);
}

INSTANTIATE_TEST_SUITE_P(LibraryGenerations, SteamEndToEndTest,
                         ::testing::Values("full", "ugc021", "ugc020", "ugc018", "ugc017", "ugc016", "ugc015", "older",
                                           "nougc", "polling", "sdk142"),
                         [](const auto& param) { return std::string(param.param); });

}  // namespace
}  // namespace gh::test
