// Finding, loading and starting the Steam library: the start entry point
// each library variant offers, the interfaces, the failures the player
// sees in the status line, and shutting down once.
#include "SteamworksTestSupport.h"
#include "platform/Environment.h"
#include "platform/SystemFolders.h"
#include "support/TempFolder.h"
#include "workshop/steamworks/SteamLibraryLocation.h"
#include "workshop/steamworks/SteamworksClient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace gh::test {
namespace {

using steam::StartEntry;
using ::testing::HasSubstr;
using ::testing::StartsWith;

constexpr wchar_t kFailedPrefix[] = L"The Steam client failed to start: ";

class SteamStartTest : public ::testing::Test {
protected:
    SteamStartTest() {
        m_workshop.WriteManifest(R"({ "items": [] })");
        m_environment.Set(L"GATEHOUSE_STANDIN_WORKSHOP", m_workshop.Path());
    }
    // A game executable in `folder`, beside which the library is looked for.
    static std::wstring GameIn(const TempFolder& folder) { return folder.Path() + L"Emberwake2.exe"; }

    // Init's result, its error text and what went to standard error.
    struct Outcome {
        bool started = false;
        std::wstring error;
        std::string debugOutput;
    };
    static Outcome Start(CSteamworksClient& client) {
        Outcome outcome;
        ::testing::internal::CaptureStderr();
        const Status started = client.Init();
        outcome.started = started.IsOk();
        outcome.error = started.Text();
        outcome.debugOutput = ::testing::internal::GetCapturedStderr();
        return outcome;
    }

    CScopedEnvironment m_environment;
    CStandInWorkshop m_workshop;
};

struct StartCase {
    const char* variant;
    StartEntry entry;
    int reported;        // the stand-in's number for the call it received
    bool itemInterface;  // ISteamUGC through its own accessor, with manual dispatch
};

TEST_F(SteamStartTest, StartsWithTheNewestEntryPointTheLibraryExports) {
    const StartCase cases[] = {
        {"full", StartEntry::InitFlat, 1, true},         {"initflat", StartEntry::InitFlat, 1, true},
        {"internal", StartEntry::InternalInit, 2, true}, {"init", StartEntry::Init, 3, true},
        {"initsafe", StartEntry::InitSafe, 4, true},     {"older", StartEntry::Init, 3, true},
        {"ugc015", StartEntry::Init, 3, true},           {"ugc016", StartEntry::Init, 3, true},
        {"ugc017", StartEntry::Init, 3, true},           {"ugc018", StartEntry::InternalInit, 2, true},
        {"ugc020", StartEntry::InitFlat, 1, true},       {"ugc021", StartEntry::InitFlat, 1, true},
        {"nougc", StartEntry::InitFlat, 1, false},       {"polling", StartEntry::Init, 3, false},
        {"sdk142", StartEntry::Init, 3, false},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.variant);
        CSteamworksClient client(StandInLibrary(c.variant));
        const Outcome outcome = Start(client);
        ASSERT_TRUE(outcome.started) << testing::PrintToString(outcome.error);
        EXPECT_EQ(client.StartEntryUsed(), c.entry);
        const bool polling = std::string(c.variant) == "polling" || std::string(c.variant) == "sdk142";
        EXPECT_EQ(client.Route(), polling ? steam::DispatchRoute::Polling : steam::DispatchRoute::Manual);
        EXPECT_TRUE(client.IsLoggedOn());
        EXPECT_TRUE(client.HasRemoteStorage());
        EXPECT_EQ(client.HasItemInterface(), c.itemInterface);
        EXPECT_EQ(client.AppId(), c.itemInterface ? 734120u : 0u);
        EXPECT_EQ(outcome.debugOutput, "");
        const StandInReport report = ReadStandInReport(client.LibraryPath());
        EXPECT_EQ(report.startEntry, c.reported);
        EXPECT_EQ(report.versionListGiven, 0);
        client.Shutdown();
        EXPECT_EQ(ReadStandInReport(client.LibraryPath()).protocolErrors, 0)
            << ReadStandInReport(client.LibraryPath()).firstProtocolError;
    }
}

TEST_F(SteamStartTest, ALibraryWithoutAStartEntryPointIsAStartFailure) {
    CSteamworksClient client(StandInLibrary("nostart"));
    const Outcome outcome = Start(client);
    EXPECT_FALSE(outcome.started);
    EXPECT_THAT(outcome.error, StartsWith(kFailedPrefix));
    EXPECT_THAT(outcome.error, HasSubstr(L"does not export a start entry point"));
    EXPECT_EQ(outcome.debugOutput, "SteamAPI_Init() failed\n");
    EXPECT_FALSE(client.IsLoggedOn());
    EXPECT_EQ(client.EnumerateUserSubscribedFiles(0), kInvalidCall);
    client.Shutdown();  // nothing was started: nothing to stop
}

TEST_F(SteamStartTest, NoLibraryOrAnUnloadableOneIsAStartFailure) {
    TempFolder game;
    m_environment.Set(L"LD_LIBRARY_PATH", std::nullopt);
    {
        CSteamworksClient client(std::nullopt, GameIn(game));
        const Outcome outcome = Start(client);
        EXPECT_FALSE(outcome.started);
        EXPECT_THAT(outcome.error, StartsWith(kFailedPrefix));
        EXPECT_THAT(outcome.error, HasSubstr(std::wstring(steam::kSteamLibraryFileName) +
                                             L" is neither beside the game nor on the library search path"));
        EXPECT_EQ(outcome.debugOutput, "SteamAPI_Init() failed\n");
    }
    // Present but not a library of this machine.
    game.WriteFile(std::wstring(steam::kSteamLibraryFileName), std::string(4096, 'Z'));
    {
        CSteamworksClient client(std::nullopt, GameIn(game));
        const Outcome outcome = Start(client);
        EXPECT_FALSE(outcome.started);
        EXPECT_THAT(outcome.error, HasSubstr(L"could not be loaded: "));
        EXPECT_GT(outcome.error.size(), std::wstring(kFailedPrefix).size() + 40) << "the system's reason is kept";
        EXPECT_EQ(outcome.debugOutput, "SteamAPI_Init() failed\n");
    }
}

TEST_F(SteamStartTest, KeepsTheLibrarysOwnReasonForTheStatusLine) {
    m_environment.Set(L"SteamAppId", std::nullopt);
    CSteamworksClient flat(StandInLibrary("full"));
    Outcome outcome = Start(flat);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.error,
              std::wstring(kFailedPrefix) + L"No appID found. Start the program from Steam, or set SteamAppId.");

    // The old start calls give no text: the reason is built from what is known.
    CSteamworksClient old(StandInLibrary("init"));
    outcome = Start(old);
    EXPECT_FALSE(outcome.started);
    EXPECT_EQ(outcome.error,
              std::wstring(kFailedPrefix) +
                  L"SteamAPI_Init reported failure (SteamAppId is not set: start the launcher from Steam)");

    m_environment.Set(L"SteamAppId", kTestAppId);
    m_environment.Set(L"GATEHOUSE_STANDIN_WORKSHOP", std::nullopt);
    outcome = Start(old);
    EXPECT_EQ(outcome.error, std::wstring(kFailedPrefix) + L"Steam is not running");
}

TEST_F(SteamStartTest, AnUnterminatedReasonIsReadWithinItsBuffer) {
    m_environment.Set(L"GATEHOUSE_STANDIN_FAULT", L"start");
    CSteamworksClient client(StandInLibrary("initflat"));
    const Outcome outcome = Start(client);
    EXPECT_FALSE(outcome.started);
    ASSERT_THAT(outcome.error, StartsWith(kFailedPrefix));
    const std::wstring reason = outcome.error.substr(std::wstring(kFailedPrefix).size());
    EXPECT_EQ(reason.find_first_not_of(L"x."), std::wstring::npos);
    EXPECT_LE(outcome.error.size(), 512u);
    EXPECT_EQ(outcome.debugOutput, "SteamAPI_Init() failed\n");
}

TEST_F(SteamStartTest, LoadsTheLibraryBesideTheGameElseFromTheSearchPath) {
    TempFolder game;
    const std::wstring beside = game.Path() + std::wstring(steam::kSteamLibraryFileName);
    CopyFileTo(StandInLibrary("older"), beside);
    {
        CSteamworksClient client(std::nullopt, GameIn(game));
        ASSERT_TRUE(Start(client).started);
        EXPECT_EQ(client.LibraryPath(), beside);
        client.Shutdown();
    }

    TempFolder empty;
    const std::wstring folder = StandInLibrary("initflat").substr(0, StandInLibrary("initflat").find_last_of(L"/\\"));
#if defined(_WIN32)
    m_environment.Set(L"PATH", folder + L";" + platform::GetEnvironmentText(L"PATH").value_or(L""));
#else
    m_environment.Set(L"LD_LIBRARY_PATH", L"/nonexistent:" + folder);
#endif
    CSteamworksClient client(std::nullopt, GameIn(empty));
    ASSERT_TRUE(Start(client).started);
    EXPECT_EQ(client.StartEntryUsed(), StartEntry::InitFlat);
    client.Shutdown();
}

TEST_F(SteamStartTest, InterfacesTheLibraryDoesNotHaveAreNotAvailable) {
    CSteamworksClient client(StandInLibrary("nointerfaces"));
    ASSERT_TRUE(Start(client).started);
    EXPECT_FALSE(client.IsLoggedOn());
    EXPECT_FALSE(client.HasRemoteStorage());
    EXPECT_EQ(client.EnumerateUserSubscribedFiles(0), kInvalidCall);
    std::int32_t done = -1;
    std::int32_t expected = -1;
    EXPECT_FALSE(client.GetUGCDownloadProgress(1, &done, &expected));
    char buffer[4];
    EXPECT_EQ(client.UGCRead(1, buffer, 4, 0), 0);
    client.Shutdown();
    EXPECT_EQ(ReadStandInReport(client.LibraryPath()).protocolErrors, 0);
}

TEST_F(SteamStartTest, ShutsTheLibraryDownOnceAndMayStartItAgain) {
    CSteamworksClient client(StandInLibrary("full"));
    ASSERT_TRUE(Start(client).started);
    EXPECT_TRUE(Start(client).started);  // already started: not started twice
    client.Shutdown();
    client.Shutdown();
    StandInReport report = ReadStandInReport(client.LibraryPath());
    EXPECT_EQ(report.starts, 1);
    EXPECT_EQ(report.shutdowns, 1);
    EXPECT_FALSE(client.IsLoggedOn());
    EXPECT_EQ(client.EnumerateUserSubscribedFiles(0), kInvalidCall);

    ASSERT_TRUE(Start(client).started);
    client.Shutdown();
    report = ReadStandInReport(client.LibraryPath());
    EXPECT_EQ(report.starts, 2);
    EXPECT_EQ(report.shutdowns, 2);
    EXPECT_EQ(report.protocolErrors, 0) << report.firstProtocolError;
}

TEST_F(SteamStartTest, CompletesTheGameIdFromTheAppId) {
    CSteamworksClient client(StandInLibrary("full"));
    ASSERT_TRUE(Start(client).started);
    EXPECT_EQ(platform::GetEnvironmentText(L"SteamAppId"), std::wstring(kTestAppId));
    EXPECT_EQ(platform::GetEnvironmentText(L"SteamGameId"), std::wstring(kTestAppId));
    client.Shutdown();

    m_environment.Set(L"SteamGameId", L"12345");
    ASSERT_TRUE(Start(client).started);
    EXPECT_EQ(platform::GetEnvironmentText(L"SteamGameId"), L"12345");  // Steam's own value stays
    client.Shutdown();
}

}  // namespace
}  // namespace gh::test
