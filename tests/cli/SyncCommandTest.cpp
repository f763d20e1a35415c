// `sync` as a child process against local Workshop folders written for the test.
#include "CliFixture.h"

#include "platform/FileSystem.h"
#include "platform/Unicode.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr std::uint32_t kUpdated = 1'700'000'000;

// The sync's own lines: those before the blank line that leads to what changed.
std::vector<std::string> SyncLines(const std::string& out) {
    std::vector<std::string> lines = Lines(out);
    lines.erase(std::find(lines.begin(), lines.end(), std::string()), lines.end());
    return lines;
}

class SyncCommandTest : public CliFixture {
protected:
    // Adds a subscription whose Workshop copy holds `content`.
    void Subscribe(std::uint64_t id, const std::string& fileName, const std::string& content,
                   const nlohmann::json& extra = nlohmann::json::object()) {
        const std::wstring file = L"content/" + std::to_wstring(id) + L".mod";
        m_temp.WriteFile(L"workshop/" + file, content);
        nlohmann::json item = {
            {"id", id}, {"fileName", fileName}, {"content", WideToUtf8(file)}, {"timeUpdated", kUpdated}};
        item.update(extra);
        m_manifest["items"].push_back(item);
    }

    ChildResult Sync(std::vector<std::wstring> extra = {}) {
        if (!m_manifest.contains("items")) m_manifest["items"] = nlohmann::json::array();
        m_temp.WriteFile(L"workshop/workshop.json", m_manifest.dump());
        std::vector<std::wstring> args{L"--workshop", m_temp / L"workshop", L"sync"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Gatehouse(args);
    }

    nlohmann::json m_manifest = {{"latencyMs", 10}};
};

TEST_F(SyncCommandTest, PrintsEveryStatusInOrderAndInstallsWhatIsMissingOrOlder) {
    m_temp.WriteFile(User(L"mods/current.mod"), "installed");
    ASSERT_TRUE(platform::SetFileModificationTime(m_temp / User(L"mods/current.mod"), kUpdated));
    m_temp.WriteFile(User(L"mods/older.mod"), "old copy");
    ASSERT_TRUE(platform::SetFileModificationTime(m_temp / User(L"mods/older.mod"), kUpdated - 1));
    Subscribe(1, "mods/current.mod", "workshop copy 1");
    Subscribe(2, "mods/older.mod", "workshop copy 2");
    // Slow enough for the paced refresh to build per-file progress lines,
    // which stay off an output that is not a terminal.
    Subscribe(3, "mods/new/fresh.mod", std::string(60000, 'x'));
    m_manifest["bytesPerSecond"] = 20000;

    const ChildResult run = Sync();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(
        SyncLines(run.out),
        ElementsAre("Waiting for response from Steam...", "Found 3 mod subscriptions. Checking for updates.",
                    "mods/current.mod - up to date", "mods/older.mod - Out of date.  Downloading latest version.",
                    "mods/new/fresh.mod - Not found. Installing.", "mods/older.mod - Updated! Writing to mod folder...",
                    "mods/new/fresh.mod - Updated! Writing to mod folder...", "All subscriptions up to date!"));
    EXPECT_EQ(m_temp.ReadFile(User(L"mods/current.mod")), "installed");
    EXPECT_EQ(m_temp.ReadFile(User(L"mods/older.mod")), "workshop copy 2");
    EXPECT_TRUE(m_temp.ReadFile(User(L"mods/new/fresh.mod")) == std::string(60000, 'x'));
}

TEST_F(SyncCommandTest, AWorkshopNameOutsideAsciiIsInstalledAndPrintedUnderItsOwnName) {
    // The Workshop names files in UTF-8, which the program reads as the
    // system's 8-bit text: on Windows the ANSI code page, UTF-8 only by the
    // manifest's activeCodePage, without which this name turns into
    // "Ã±andÃº.mod".
    const std::string name =
        "mods/\xC3\xB1"
        "and\xC3\xBA.mod";
    Subscribe(1, name, "content");
    const ChildResult run = Sync();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(SyncLines(run.out), ::testing::Contains(name + " - Not found. Installing."));
    EXPECT_EQ(m_temp.ReadFile(User(L"mods/\u00f1and\u00fa.mod")), "content");
}

TEST_F(SyncCommandTest, NoSubscriptionsEndsWell) {
    const ChildResult run = Sync();
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(SyncLines(run.out), ElementsAre("Waiting for response from Steam...", "No mod subscriptions found."));
}

TEST_F(SyncCommandTest, FailedRequestEndsWithStatus1) {
    Subscribe(1, "mods/a.mod", "a", {{"fail", "download"}});
    const ChildResult run = Sync();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(SyncLines(run.out),
                ElementsAre("Waiting for response from Steam...", "Found 1 mod subscriptions. Checking for updates.",
                            "mods/a.mod - Not found. Installing.", "mods/a.mod - Download timed out",
                            "Some subscriptions could not be updated."));
}

TEST_F(SyncCommandTest, RequestNeverAnsweredIsNotWaitedFor) {
    m_temp.WriteFile(User(L"mods/a.mod"), "installed");
    ASSERT_TRUE(platform::SetFileModificationTime(m_temp / User(L"mods/a.mod"), kUpdated));
    Subscribe(1, "mods/a.mod", "a");
    Subscribe(2, "mods/b.mod", "", {{"fail", "never"}});
    const ChildResult run = Sync({L"--timeout", L"60"});
    // Nothing is left to wait for, so it ends at once; but b never settled,
    // so the sync did not reach its good end.
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(SyncLines(run.out).back(), "mods/a.mod - up to date");
}

TEST_F(SyncCommandTest, RefusedNamesEndWithStatus1AndSayWhyOnStandardError) {
    m_temp.WriteFile(User(L"restart.txt"), "mods/mine.mod\n");
    Subscribe(1, "mods/good.mod", "good");
    Subscribe(2, "../escape.mod", "evil");
    Subscribe(3, "mods/NUL.mod", "device");
    Subscribe(4, "restart.txt", "mods/evil.mod\n");
    const ChildResult run = Sync();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(SyncLines(run.out), ::testing::Contains("../escape.mod - Error Copying File!"));
    EXPECT_THAT(SyncLines(run.out), ::testing::Contains("mods/NUL.mod - Error Copying File!"));
    EXPECT_THAT(SyncLines(run.out), ::testing::Contains("restart.txt - Error Copying File!"));
    EXPECT_EQ(SyncLines(run.out).back(), "Some subscriptions could not be updated.");
    EXPECT_THAT(run.err, HasSubstr("gatehouse: the Workshop name \"restart.txt\" does not lead into the mods folder; "
                                   "nothing was written\n"));
    EXPECT_THAT(run.err, HasSubstr("\"../escape.mod\" leads out of the documents game folder"));
    EXPECT_THAT(run.err, HasSubstr("\"mods/NUL.mod\" names a Windows device"));
    EXPECT_EQ(m_temp.ReadFile(User(L"mods/good.mod")), "good");
    EXPECT_EQ(m_temp.ReadFile(User(L"restart.txt")), "mods/mine.mod\n");
    EXPECT_FALSE(m_temp.Exists(L"documents/My Games/Velmora Games/escape.mod"));
}

TEST_F(SyncCommandTest, ItemsInFoldersGetALineEachTheirNotesGoToStandardErrorAndListShowsTheirMods) {
    WriteGame();
    m_temp.WriteFile(L"workshop/items/7/Harbour.mod", EncodeModFile(Mod(L"Harbour Lights", 7007)));
    m_temp.WriteFile(L"workshop/items/7/maps/harbour.map", "map");
    m_temp.WriteFile(L"workshop/items/8/readme.txt", "no mod here");
    m_temp.WriteFile(L"workshop/items/9/a.mod", "a");
    m_temp.WriteFile(L"workshop/items/9/A.MOD", "b");
    m_manifest["pageSize"] = 2;
    for (int id : {7, 8, 9})
        m_manifest["items"].push_back(
            {{"id", id}, {"kind", "folder"}, {"folder", "items/" + std::to_string(id)}, {"timeUpdated", kUpdated}});
    Subscribe(1, "mods/file.mod", "file");
    const ChildResult run = Sync();
    EXPECT_EQ(run.exitCode,
              m_temp.Exists(L"workshop/items/9/a.mod") && m_temp.ReadFile(L"workshop/items/9/a.mod") == "b"
                  ? 0    // a file system without case: one file, no clash
                  : 1);  // two names that would be one file
    const std::vector<std::string> lines = SyncLines(run.out);
    EXPECT_THAT(std::vector<std::string>(lines.begin(), lines.begin() + 2),
                ElementsAre("Waiting for response from Steam...", "Found 4 mod subscriptions. Checking for updates."));
    EXPECT_THAT(lines, ::testing::Contains("mods/workshop-items/7/ - Updated! Writing to mod folder..."));
    EXPECT_THAT(lines, ::testing::Contains("mods/workshop-items/8/ - Updated (no mod file in this item)"));
    EXPECT_EQ(lines.size(), 2u + 4u + 1u + 1u) << "one line per item, two for the downloaded file, the end";
    if (run.exitCode == 1) {
        EXPECT_THAT(lines, ::testing::Contains("mods/workshop-items/9/ - Error Copying File!"));
        EXPECT_THAT(run.err,
                    HasSubstr("gatehouse: mods/workshop-items/9/: \"A.MOD\" and \"a.mod\" differ only in case"));
    }
    EXPECT_EQ(m_temp.ReadFile(User(L"mods/workshop-items/7/maps/harbour.map")), "map");

    const ChildResult list = Gatehouse({L"list"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_THAT(list.out, HasSubstr("Harbour Lights"));
}

TEST_F(SyncCommandTest, TimeOutGivesStatus2) {
    m_manifest["latencyMs"] = 60000;
    Subscribe(1, "mods/a.mod", "a");
    const ChildResult run = Sync({L"--timeout", L"0.3"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(SyncLines(run.out), ElementsAre("Waiting for response from Steam..."));
    EXPECT_THAT(run.err, HasSubstr("did not finish"));
}

TEST_F(SyncCommandTest, UserNotLoggedOnIsReported) {
    m_manifest["loggedOn"] = false;
    const ChildResult run = Sync();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(SyncLines(run.out),
                ElementsAre("Steam initialization failed. Please check that you are logged in to Steam."));
}

TEST_F(SyncCommandTest, WorkshopWithoutManifestFailsToStart) {
    m_temp.MakeFolder(L"workshop");
    const ChildResult run = Gatehouse({L"--workshop", m_temp / L"workshop", L"sync"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.out, HasSubstr("workshop.json"));
}

TEST_F(SyncCommandTest, SteamClientThatCannotStartEndsWithStatus1) {
    const ChildResult run = Gatehouse({L"sync", L"--timeout", L"5"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(SyncLines(run.out).size(), 1u) << run.out;
}

TEST_F(SyncCommandTest, TheRecordKeepsEachFileAndTheIdentityOfEachModFile) {
    Subscribe(1, "mods/castle.mod", EncodeModFile(Mod(L"Castle", 4411, 3)));
    Subscribe(2, "mods/notes.txt", "not a mod");
    const ChildResult run = Sync();
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto record = nlohmann::json::parse(m_temp.ReadFile(User(L"Gatehouse/workshop-record.json")));
    std::map<std::uint64_t, nlohmann::json> byId;
    for (const auto& entry : record["subscriptions"]) byId[entry["id"].get<std::uint64_t>()] = entry;
    EXPECT_EQ(byId[1]["files"][0]["path"], "mods/castle.mod");
    EXPECT_EQ(byId[1]["mods"], nlohmann::json::parse(R"([{"path":"mods/castle.mod","guid":4411,"version":3}])"));
    EXPECT_EQ(byId[2]["files"][0]["size"], 9);
    EXPECT_THAT(byId[2]["mods"], IsEmpty());
}

}  // namespace
}  // namespace gh::test
