// The sync with a client that has the item interface: the union of both
// lists, the route each item's state chooses, item download results, and
// copies from real item folders into a real documents folder.
#include "SyncFixture.h"

#include "platform/Text.h"
#include "workshop/WorkshopItemCopy.h"

#include <gmock/gmock.h>

#include <filesystem>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace gh::test {
namespace {

namespace fs = std::filesystem;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr std::uint32_t kTime = 1'700'000'000;

class ItemFolderSyncTest : public SyncFixture {
protected:
    ItemFolderSyncTest() { m_client.itemInterface = true; }

    // An item folder as the client keeps it, with `files` (relative name, bytes).
    void Install(PublishedFileId id, const std::vector<std::pair<std::wstring, std::string>>& files,
                 std::uint32_t time = kTime) {
        const std::wstring folder = L"steam/" + std::to_wstring(id);
        m_steam.MakeFolder(folder);
        for (const auto& [name, bytes] : files) m_steam.WriteFile(folder + L"/" + name, bytes);
        m_client.installs[id] = ItemInstallInfo{0, platform::WideToSystemName(m_steam / folder), time};
    }

    void Pump() { m_sync.Pump(133'000'000'000'000'000); }

    std::string ReadItem(PublishedFileId id, const std::string& name) { return ReadLocal(ItemFolderName(id) + name); }

    TempFolder m_steam;
};

TEST_F(ItemFolderSyncTest, EachItemTakesTheRouteItsStateChooses) {
    m_client.itemStates = {{1, kItemLegacy | kItemInstalled},
                           {2, kItemInstalled},
                           {3, kItemInstalled | kItemNeedsUpdate},
                           {4, kItemInstalled | kItemDownloading},
                           {5, kItemDownloadPending},
                           {6, kItemInstalled | kItemDisabledLocally},
                           {7, kItemSubscribed},
                           {8, kItemSubscribed}};
    m_client.subscribedItems = {2, 3, 4, 5, 7, 8};  // the first page lists 1, 2 and 6
    m_client.refusedDownloads = {7};
    Install(2, {{L"two.mod", "two"}});
    ASSERT_TRUE(m_sync.StartSync());
    m_client.Deliver(m_client.CallFor(Kind::Enumerate, 0), EnumerateResult({1, 2, 6}));
    EXPECT_THAT(
        std::vector<std::wstring>(m_view.texts.begin(), m_view.texts.end()),
        ElementsAre(L"Waiting for response from Steam...", L"Found 8 mod subscriptions. Checking for updates.",
                    L"mods/workshop-items/6/ - Disabled in Steam", L"mods/workshop-items/3/ - Not found. Installing.",
                    L"mods/workshop-items/4/ - Not found. Installing.",
                    L"mods/workshop-items/5/ - Not found. Installing.", L"mods/workshop-items/7/ - Download timed out",
                    L"mods/workshop-items/8/ - Not found. Installing."));
    EXPECT_EQ(m_client.RequestsOf(Kind::Details).size(), 1u) << "only the legacy item";
    EXPECT_THAT(m_client.downloadItems,
                ElementsAre(std::pair<PublishedFileId, bool>{3, false}, std::pair<PublishedFileId, bool>{7, false},
                            std::pair<PublishedFileId, bool>{8, false}));
    Pump();
    EXPECT_EQ(m_view.LastText(), L"mods/workshop-items/2/ - Updated! Writing to mod folder...");
    EXPECT_EQ(ReadItem(2, "two.mod"), "two");

    // Results of another app, or for items not awaited, change nothing.
    Install(3, {{L"three.mod", "three"}});
    const std::size_t shown = m_view.texts.size();
    m_client.Broadcast(3, kResultOk, m_client.appId + 1);
    m_client.Broadcast(2);
    Pump();
    EXPECT_EQ(m_view.texts.size(), shown);

    m_client.Broadcast(3);
    m_client.Broadcast(4, kResultFail);
    Install(5, {{L"five.txt", "five"}});
    m_client.Broadcast(5);
    Install(8, {{L"eight.mod", "eight"}});
    m_client.Broadcast(8);
    // Copies take a share of each pump's time, so a slow disk may need more
    // than one pump for all of them, as the window's timer gives it.
    for (int pumps = 0; pumps < 100 && m_view.texts.size() < shown + 4; ++pumps) Pump();
    EXPECT_THAT(
        std::vector<std::wstring>(m_view.texts.begin() + static_cast<std::ptrdiff_t>(shown), m_view.texts.end()),
        ElementsAre(L"mods/workshop-items/4/ - Download timed out",
                    L"mods/workshop-items/3/ - Updated! Writing to mod folder...",
                    L"mods/workshop-items/5/ - Updated (no mod file in this item)",
                    L"mods/workshop-items/8/ - Updated! Writing to mod folder..."));
    EXPECT_FALSE(m_sync.IsFinished()) << "the legacy item's details are outstanding";
    WriteLocal("mods/one.mod", "1", kTime);
    AnswerDetails(1, 11, "mods/one.mod", kTime);
    EXPECT_EQ(m_view.LastText(), L"Some subscriptions could not be updated.");
    EXPECT_EQ(ReadItem(3, "three.mod"), "three");
    EXPECT_EQ(ReadItem(5, "five.txt"), "five");
    EXPECT_FALSE(m_sync.HasPendingRequests());
}

TEST_F(ItemFolderSyncTest, ADisabledLegacyItemIsNamedByItsDetailsAndIsNoFailure) {
    m_client.itemStates = {{1, kItemLegacy | kItemInstalled | kItemDisabledLocally}};
    StartWithFiles({1});
    m_client.Deliver(m_client.CallFor(Kind::Details, 1), DetailsResult(1, 11, "mods/off.mod", kTime, 5, kResultFail));
    EXPECT_THAT(std::vector<std::wstring>(m_view.texts.end() - 2, m_view.texts.end()),
                ElementsAre(L"mods/off.mod - Disabled in Steam", L"All subscriptions up to date!"));
    EXPECT_TRUE(m_client.RequestsOf(Kind::Download).empty());
}

TEST_F(ItemFolderSyncTest, FilesAreCopiedWhenTheItemIsNewerThanTheLocalCopy) {
    struct Case {
        std::uint32_t localTime;  // of the local copy of a.mod; 0: none
        const wchar_t* line;
        const char* content;
    };
    const Case cases[] = {
        {0, L"mods/workshop-items/9/ - Updated! Writing to mod folder...", "new"},
        {kTime - 1, L"mods/workshop-items/9/ - Updated! Writing to mod folder...", "new"},
        {kTime, L"mods/workshop-items/9/ - up to date", "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.localTime);
        CFakeWorkshopClient client;
        client.itemInterface = true;
        client.subscribedItems = {9};
        client.itemStates[9] = kItemInstalled;
        Install(9, {{L"a.mod", "new"}, {L"deep/er/b.dat", "b"}});
        client.installs = m_client.installs;
        std::error_code ec;
        fs::remove_all(fs::path(m_folders.GetUserGameFolder()), ec);
        if (c.localTime) {
            WriteLocal("mods/workshop-items/9/a.mod", "old", c.localTime);
            WriteLocal("mods/workshop-items/9/deep/er/b.dat", "b", c.localTime);
        }
        CRecordingSyncView view;
        CWorkshopSync sync(client, view, m_folders);
        ASSERT_TRUE(sync.StartSync());
        client.Deliver(client.CallFor(Kind::Enumerate, 0), EnumerateResult({}));
        sync.Pump(0);
        EXPECT_THAT(view.texts, Contains(c.line));
        EXPECT_EQ(ReadItem(9, "a.mod"), c.content);
        EXPECT_EQ(ReadItem(9, "deep/er/b.dat"), "b");
        EXPECT_EQ(sync.Outcome(), SyncOutcome::UpToDate);
    }
}

// Notes the view received.
class CNotingView final : public ISyncView {
public:
    void OnSyncEvent(const SyncEvent& event) override { texts.push_back(SyncEventText(event)); }
    void OnSyncNote(const std::wstring& note) override { notes.push_back(note); }
    void OnDownloadProgress(const std::wstring&, std::int64_t, std::int64_t) override {}
    void SetProgressRange(int, int) override {}
    void SetProgressPos(int) override {}
    int GetProgressUpper() const override { return 1; }
    void EnablePlayWithMods(bool) override {}
    std::vector<std::wstring> texts;
    std::vector<std::wstring> notes;
};

TEST_F(ItemFolderSyncTest, AFileThatFailsMakesTheItemACopyErrorAndTheOthersAreCopied) {
    Install(9, {{L"a.mod", "a"}, {L"locked.mod", "new"}, {L"z.mod", "z"}});
    WriteLocal("mods/workshop-items/9/locked.mod", "old", kTime - 10);
    const std::wstring locked = m_folders.GetUserGameFolder() + L"mods/workshop-items/9/locked.mod";
    fs::permissions(fs::path(locked), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ItemCopyReport report = CopyItemFolder(m_client.installs[9], 9, m_folders.GetUserGameFolder());
    fs::permissions(fs::path(locked), fs::perms::owner_all);
    EXPECT_EQ(report.outcome, ItemCopyReport::Outcome::Failed);
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_THAT(report.notes[0], HasSubstr(L"mods/workshop-items/9/: \"locked.mod\" could not be written"));
    EXPECT_EQ(ReadItem(9, "a.mod"), "a");
    EXPECT_EQ(ReadItem(9, "locked.mod"), "old");
    EXPECT_EQ(ReadItem(9, "z.mod"), "z");
}

#if !defined(_WIN32)
TEST_F(ItemFolderSyncTest, LinksPipesAndNamesThatDifferOnlyInCaseAreNotCopied) {
    // Links and pipes are skipped with a note; the rest is copied.
    Install(9, {{L"a.mod", "a"}, {L"sub/b.mod", "b"}, {L"bad:name.mod", "c"}});
    const std::wstring folder = m_steam / L"steam/9/";
    fs::create_symlink("/etc/hostname", fs::path(folder + L"link.mod"));
    fs::create_directory_symlink("/etc", fs::path(folder + L"sub/etc"));
    ASSERT_EQ(mkfifo(platform::WideToSystemName(folder + L"pipe.mod").c_str(), 0600), 0);
    m_client.subscribedItems = {9};
    m_client.itemStates[9] = kItemInstalled;
    CNotingView view;
    CWorkshopSync sync(m_client, view, m_folders);
    ASSERT_TRUE(sync.StartSync());
    m_client.Deliver(m_client.CallFor(Kind::Enumerate, 0), EnumerateResult({}));
    sync.Pump(0);
    EXPECT_THAT(view.texts, Contains(L"mods/workshop-items/9/ - Error Copying File!"));
    EXPECT_THAT(view.notes, ElementsAre(HasSubstr(L"\"link.mod\" is a link, a pipe or a device"),
                                        HasSubstr(L"\"pipe.mod\" is a link, a pipe or a device"),
                                        HasSubstr(L"\"sub/etc\" is a link, a pipe or a device"),
                                        HasSubstr(L"\"bad:name.mod\" was not written: its name leads out")));
    EXPECT_EQ(ReadItem(9, "a.mod"), "a");
    EXPECT_EQ(ReadItem(9, "sub/b.mod"), "b");
    EXPECT_EQ(ReadItem(9, "link.mod"), "<missing>");
    EXPECT_EQ(ReadItem(9, "sub/etc/hostname"), "<missing>");

    // Two names that would be one file: nothing of the item is written.
    Install(10, {{L"x.mod", "x"}, {L"Same.mod", "1"}, {L"SAME.mod", "2"}});
    const ItemCopyReport report = CopyItemFolder(m_client.installs[10], 10, m_folders.GetUserGameFolder());
    EXPECT_EQ(report.outcome, ItemCopyReport::Outcome::Failed);
    EXPECT_THAT(report.notes, ElementsAre(HasSubstr(L"differ only in case")));
    EXPECT_EQ(ReadItem(10, "x.mod"), "<missing>");
}
#endif

TEST_F(ItemFolderSyncTest, AnItemWithoutAnInstallFolderIsACopyError) {
    m_client.subscribedItems = {9};
    m_client.itemStates[9] = kItemInstalled;
    CNotingView view;
    CWorkshopSync sync(m_client, view, m_folders);
    ASSERT_TRUE(sync.StartSync());
    m_client.Deliver(m_client.CallFor(Kind::Enumerate, 0), EnumerateResult({}));
    sync.Pump(0);
    EXPECT_THAT(
        view.texts,
        ElementsAre(L"Waiting for response from Steam...", L"Found 1 mod subscriptions. Checking for updates.",
                    L"mods/workshop-items/9/ - Error Copying File!", L"Some subscriptions could not be updated."));
    EXPECT_THAT(view.notes, ElementsAre(L"mods/workshop-items/9/: nothing was copied: not installed"));
}

TEST_F(ItemFolderSyncTest, AFailedFirstPageStillHandlesTheItemInterfacesList) {
    m_client.subscribedItems = {9};
    m_client.itemStates[9] = kItemInstalled;
    Install(9, {{L"a.mod", "a"}});
    ASSERT_TRUE(m_sync.StartSync());
    m_client.PostFailure(m_client.CallFor(Kind::Enumerate, 0));
    m_client.RunCallbacks();
    EXPECT_FALSE(m_sync.IsFinished());
    Pump();
    EXPECT_THAT(std::vector<std::wstring>(m_view.texts.begin() + 1, m_view.texts.end()),
                ElementsAre(L"Mod subscription request timed out",
                            L"mods/workshop-items/9/ - Updated! Writing to mod folder...",
                            L"Some subscriptions could not be updated."));
    EXPECT_EQ(ReadItem(9, "a.mod"), "a");
}

TEST_F(ItemFolderSyncTest, ProgressCountsItemBytesBeyondTwoGibibytes) {
    m_client.itemStates[9] = kItemSubscribed;
    StartWithFiles({9});
    constexpr std::uint64_t kGiB = 1ULL << 30;
    m_client.itemProgress[9] = {3 * kGiB / 2, 3 * kGiB};
    for (int i = 0; i < 11; ++i) m_sync.UpdateDownloadProgress();
    EXPECT_EQ(m_view.LastText(), L"mods/workshop-items/9/ - 1.50 GB/3.00 GB");
    EXPECT_EQ(m_sync.Downloads()[0].bytesExpected, static_cast<std::int64_t>(3 * kGiB));
    EXPECT_NEAR(static_cast<double>(m_view.pos) / m_view.upper, 0.5, 0.001);
}

}  // namespace
}  // namespace gh::test
