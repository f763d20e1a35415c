// The sync against a local Workshop folder, writing into a temporary
// documents folder, pumped the way the command line's sync pumps it.
#include "RecordingSyncView.h"
#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
#include "support/TempFolder.h"
#include "workshop/LocalWorkshop.h"
#include "workshop/WorkshopSync.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

namespace gh::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;

constexpr std::int64_t kTime = 1'733'700'000;

class EndToEndSyncTest : public ::testing::Test {
protected:
    void WriteLocal(const std::wstring& name, const std::string& bytes, std::int64_t time) {
        m_root.WriteFile(L"Documents/My Games/Velmora Games/Emberwake 2/" + name, bytes);
        ASSERT_TRUE(platform::SetFileModificationTime(m_folders.GetUserGameFolder() + name, time));
    }

    std::string ReadLocal(const std::wstring& name) {
        return platform::ReadWholeFile(m_folders.GetUserGameFolder() + name, 1 << 20).value_or("<missing>");
    }

    // Starts the sync and pumps until no request is left, 100 ms of Workshop
    // time and 0.25 s of system time per turn.
    void RunSync() {
        ASSERT_TRUE(m_workshop.Init());
        ASSERT_TRUE(m_sync.StartSync());
        m_view.EnablePlayWithMods(false);
        std::int64_t fileTime = 133'000'000'000'000'000;
        for (int turn = 0; turn < 1000 && m_sync.HasPendingRequests(); ++turn) {
            m_now += 100;
            fileTime += 2'500'000;
            m_sync.Pump(fileTime);
        }
        EXPECT_FALSE(m_sync.HasPendingRequests());
    }

    std::vector<std::string> Tree() const {
        std::vector<std::string> out;
        // The launcher's own folder (the Workshop record) has tests of its own.
        for (const auto& e : fs::recursive_directory_iterator(fs::path(m_root.Path()))) {
            const std::string path = fs::relative(e.path(), fs::path(m_root.Path())).generic_string();
            if (e.is_regular_file() && path.find("/Gatehouse/") == std::string::npos) out.push_back(path);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    TempFolder m_root;
    CGameFolders m_folders{m_root.Path() + L"game/gatehouse", m_root.Path() + L"Documents"};
    TempFolder m_workshopFolder;
    std::int64_t m_now = 0;
    CLocalWorkshop m_workshop{m_workshopFolder.Path(), [this] { return m_now; }};
    CRecordingSyncView m_view;
    CWorkshopSync m_sync{m_workshop, m_view, m_folders};
};

TEST_F(EndToEndSyncTest, BringsSubscriptionsUpToDate) {
    m_workshopFolder.WriteFile(L"files/new.mod", std::string(3000, 'N'));
    m_workshopFolder.WriteFile(L"files/old.mod", "fresh old");
    m_workshopFolder.WriteFile(L"files/same.mod", "workshop same");
    m_workshopFolder.WriteFile(L"files/shared.mod", "shared");
    m_workshopFolder.WriteFile(L"workshop.json", R"({
      "bytesPerSecond": 1000,
      "items": [
        { "id": 1, "fileName": "mods/new.mod", "content": "files/new.mod", "timeUpdated": 1733700000 },
        { "id": 2, "fileName": "mods/old.mod", "content": "files/old.mod", "timeUpdated": 1733700000, "latencyMs": 4000 },
        { "id": 3, "fileName": "mods/same.mod", "content": "files/same.mod", "timeUpdated": 1733700000, "latencyMs": 4000 },
        { "id": 4, "fileName": "mods/shared.mod", "content": "files/shared.mod", "contentHandle": 9, "latencyMs": 4000 },
        { "id": 5, "fileName": "mods/shared.mod", "content": "files/shared.mod", "contentHandle": 9, "latencyMs": 4000 }
      ]
    })");
    WriteLocal(L"mods/old.mod", "stale", kTime - 100);
    WriteLocal(L"mods/same.mod", "local same", kTime);

    RunSync();

    EXPECT_EQ(ReadLocal(L"mods/new.mod"), std::string(3000, 'N'));
    EXPECT_EQ(ReadLocal(L"mods/old.mod"), "fresh old");
    EXPECT_EQ(ReadLocal(L"mods/same.mod"), "local same");
    EXPECT_EQ(ReadLocal(L"mods/shared.mod"), "shared");
    EXPECT_TRUE(m_view.playWithModsEnabled);
    EXPECT_EQ(m_view.LastText(), L"All subscriptions up to date!");
    EXPECT_EQ(m_view.pos, m_view.upper);

    // The list, then the first file alone (its details come first); while it
    // downloads the per-file line shows its progress.
    std::vector<std::wstring> texts = m_view.texts;
    ASSERT_GE(texts.size(), 4u);
    EXPECT_THAT(std::vector<std::wstring>(texts.begin(), texts.begin() + 3),
                ElementsAre(L"Waiting for response from Steam...", L"Found 5 mod subscriptions. Checking for updates.",
                            L"mods/new.mod - Not found. Installing."));
    EXPECT_THAT(texts, Contains(L"mods/new.mod - 1000 B/2.93 KB"));
    EXPECT_THAT(texts, Contains(L"mods/new.mod - Updated! Writing to mod folder..."));
    EXPECT_THAT(texts, Contains(L"mods/old.mod - Out of date.  Downloading latest version."));
    EXPECT_THAT(texts, Contains(L"mods/same.mod - up to date"));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), L"mods/shared.mod - Updated! Writing to mod folder..."), 2)
        << "the first result settles both subscriptions; the second finds nothing left to do";
    EXPECT_EQ(std::count(texts.begin(), texts.end(), L"All subscriptions up to date!"), 1);
    EXPECT_THAT(Tree(), ElementsAre("Documents/My Games/Velmora Games/Emberwake 2/mods/new.mod",
                                    "Documents/My Games/Velmora Games/Emberwake 2/mods/old.mod",
                                    "Documents/My Games/Velmora Games/Emberwake 2/mods/same.mod",
                                    "Documents/My Games/Velmora Games/Emberwake 2/mods/shared.mod"));
}

TEST_F(EndToEndSyncTest, FailuresKeepOldFilesAndWriteNothingOutside) {
    m_workshopFolder.WriteFile(L"c/evil.mod", "evil");
    m_workshopFolder.WriteFile(L"c/broken.mod", "broken new");
    m_workshopFolder.WriteFile(L"workshop.json", R"({
      "items": [
        { "id": 1, "fileName": "mods/broken.mod", "content": "c/broken.mod", "timeUpdated": 1733700000, "fail": "download" },
        { "id": 2, "fileName": "../../escape.mod", "content": "c/evil.mod" },
        { "id": 3, "fileName": "mods/silent.mod", "fail": "never" },
        { "id": 4, "fileName": "mods/nodetails.mod", "fail": "details" }
      ]
    })");
    WriteLocal(L"mods/broken.mod", "old broken", kTime - 1);

    RunSync();

    EXPECT_THAT(
        m_view.texts,
        ElementsAre(L"Waiting for response from Steam...", L"Found 4 mod subscriptions. Checking for updates.",
                    L"mods/broken.mod - Out of date.  Downloading latest version.",
                    L"../../escape.mod - Not found. Installing.", L"mods/nodetails.mod - File detail request timed out",
                    L"mods/broken.mod - Download timed out", L"../../escape.mod - Error Copying File!"));
    EXPECT_EQ(ReadLocal(L"mods/broken.mod"), "old broken");
    EXPECT_FALSE(m_view.playWithModsEnabled) << "mods/silent.mod never has its last word";
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::Failed);
    EXPECT_THAT(Tree(), ElementsAre("Documents/My Games/Velmora Games/Emberwake 2/mods/broken.mod"));
}

TEST_F(EndToEndSyncTest, EverySubscriptionOfBothKindsOnEveryPageHasItsLastWord) {
    // Six kinds of subscription, ten of each, on pages of seven; one page fails.
    constexpr int kCount = 60;
    std::string items;
    std::vector<std::string> expected;  // files below the documents game folder
    std::map<std::string, std::wstring> lastWord;
    for (int i = 0; i < kCount; ++i) {
        const std::string id = std::to_string(1000 + i);
        const std::string file = "mods/f" + id + ".mod";
        const std::string folder = "mods/workshop-items/" + id + "/";
        std::string item = "{\"id\": " + id + ", \"timeUpdated\": 1733700000, ";
        switch (i % 6) {
            case 0:  // a file, up to date
                WriteLocal(AnsiToWide(file), "local " + id, kTime);
                item += "\"fileName\": \"" + file + "\", \"content\": \"c/" + id + "\"";
                lastWord[file] = L" - up to date";
                expected.push_back(file);
                break;
            case 1:  // a file, missing
                item += "\"fileName\": \"" + file + "\", \"content\": \"c/" + id + "\"";
                lastWord[file] = L" - Updated! Writing to mod folder...";
                expected.push_back(file);
                break;
            case 2:  // a folder, installed
            case 3:  // a folder, to be updated
                item += "\"kind\": \"folder\", \"folder\": \"i/" + id + "\"" +
                        (i % 6 == 3 ? ", \"state\": [\"needsUpdate\"]" : "");
                lastWord[folder] = L" - Updated! Writing to mod folder...";
                expected.push_back(folder + "a.mod");
                expected.push_back(folder + "sub/b.bin");
                break;
            case 4:  // a folder whose download fails
                item +=
                    "\"kind\": \"folder\", \"folder\": \"i/" + id + "\", \"state\": [], \"fail\": \"downloadResult\"";
                lastWord[folder] = L" - Download timed out";
                break;
            case 5:  // a folder the player disabled: not on the item list, so unseen past the failed page
                item += "\"kind\": \"folder\", \"folder\": \"i/" + id + "\", \"state\": [\"installed\", \"disabled\"]";
                if (i < 5 * 7) lastWord[folder] = L" - Disabled in Steam";
                break;
        }
        items += (i ? ",\n" : "") + item + "}";
        m_workshopFolder.WriteFile(AnsiToWide("c/" + id), "workshop " + id);
        m_workshopFolder.WriteFile(AnsiToWide("i/" + id + "/a.mod"), "a " + id);
        m_workshopFolder.WriteFile(AnsiToWide("i/" + id + "/sub/b.bin"), std::string(100 + i, static_cast<char>(i)));
    }
    m_workshopFolder.WriteFile(L"workshop.json",
                               R"({"pageSize": 7, "failPage": 5, "latencyMs": 30, "items": [)" + items + "]}");

    RunSync();

    EXPECT_EQ(m_view.LastText(), L"Some subscriptions could not be updated.");
    EXPECT_EQ(m_sync.Outcome(), SyncOutcome::Failed);
    EXPECT_THAT(m_view.texts, Contains(L"Mod subscription request timed out"));
    EXPECT_EQ(m_sync.SubscriptionCount(), lastWord.size()) << "the item list covers the pages not listed";
    for (const auto& [name, word] : lastWord) {
        const std::wstring prefix = AnsiToWide(name) + L" - ";
        const auto last = std::find_if(m_view.texts.rbegin(), m_view.texts.rend(),
                                       [&](const std::wstring& t) { return t.rfind(prefix, 0) == 0; });
        ASSERT_NE(last, m_view.texts.rend()) << name;
        EXPECT_EQ(*last, AnsiToWide(name) + word);
    }
    std::vector<std::string> tree;
    for (const std::string& file : expected) tree.push_back("Documents/My Games/Velmora Games/Emberwake 2/" + file);
    std::sort(tree.begin(), tree.end());
    EXPECT_EQ(Tree(), tree) << "nothing is written anywhere else";
    for (int i = 0; i < kCount; ++i) {
        const std::string id = std::to_string(1000 + i);
        if (i % 6 == 1) {
            EXPECT_EQ(ReadLocal(AnsiToWide("mods/f" + id + ".mod")), "workshop " + id);
        }
        if (i % 6 == 2 || i % 6 == 3) {
            EXPECT_EQ(ReadLocal(AnsiToWide("mods/workshop-items/" + id + "/a.mod")), "a " + id);
            EXPECT_EQ(ReadLocal(AnsiToWide("mods/workshop-items/" + id + "/sub/b.bin")),
                      std::string(100 + i, static_cast<char>(i)));
        }
    }
}

TEST_F(EndToEndSyncTest, LoggedOffWorkshopStopsAtTheStart) {
    m_workshopFolder.WriteFile(L"workshop.json", "{ \"loggedOn\": false }");
    ASSERT_TRUE(m_workshop.Init());
    EXPECT_FALSE(m_sync.StartSync());
    EXPECT_THAT(m_view.texts,
                ElementsAre(L"Steam initialization failed. Please check that you are logged in to Steam."));
    EXPECT_FALSE(m_sync.HasPendingRequests());
}

}  // namespace
}  // namespace gh::test
