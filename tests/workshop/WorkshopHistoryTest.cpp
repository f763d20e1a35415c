// Earlier versions kept by the sync: the last three of each subscription,
// the files an item's update no longer has, and an update that does not
// happen when the current files cannot be kept.
#include "SyncFixture.h"

#include "platform/FaultInjection.h"
#include "platform/FileLinks.h"
#include "platform/Text.h"
#include "workshop/WorkshopHistory.h"
#include "workshop/WorkshopRecordFile.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace gh::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

// Later than any file written now, so each new Workshop time is an update.
constexpr std::uint32_t kTime = 2'000'000'000;

class HistoryTest : public SyncFixture {
protected:
    // One sync of file 7, "mods/seven.mod", at Workshop time `time` with `content`.
    SyncOutcome SyncSeven(std::uint32_t time, const std::string& content) {
        CFakeWorkshopClient client;
        CWorkshopSync sync(client, m_view, m_folders);
        EXPECT_TRUE(sync.StartSync());
        client.Deliver(client.CallFor(Kind::Enumerate, 0), EnumerateResult({7}));
        client.Deliver(client.CallFor(Kind::Details, 7), DetailsResult(7, 77, "mods/seven.mod", time, 3));
        client.contents[77] = content;
        client.Deliver(client.CallFor(Kind::Download, 77),
                       DownloadResult(77, "mods/seven.mod", static_cast<std::int32_t>(content.size())));
        EXPECT_TRUE(sync.IsFinished());
        return sync.Outcome();
    }

    WorkshopRecord Load() {
        std::vector<std::wstring> notes;
        return m_file.Load(notes);
    }

    std::string Kept(std::uint32_t entry, const std::string& path) {
        return platform::ReadWholeFile(m_file.HistoryEntryFolder(7, entry) + L"/" + AnsiToWide(path), 1 << 20)
            .value_or("<missing>");
    }

    CWorkshopRecordFile m_file{m_folders.GetUserGameFolder()};
};

TEST_F(HistoryTest, EachUpdateKeepsTheVersionItReplacesAndTheLastThreeStay) {
    for (std::uint32_t round = 1; round <= 5; ++round)
        ASSERT_EQ(SyncSeven(kTime + round, "v" + std::to_string(round)), SyncOutcome::UpToDate);
    EXPECT_EQ(ReadLocal("mods/seven.mod"), "v5");
    const WorkshopRecord record = Load();
    const auto& history = record.subscriptions.at(7).history;
    ASSERT_THAT(history, SizeIs(3));
    std::vector<std::string> kept;
    for (const HistoryEntry& entry : history) {
        kept.push_back(Kept(entry.folder, "mods/seven.mod"));
        EXPECT_THAT(entry.files, ElementsAre(::testing::Field(&RecordedFile::path, "mods/seven.mod")));
    }
    EXPECT_THAT(kept, ElementsAre("v4", "v3", "v2"));
    EXPECT_EQ(history[1].workshopTime, kTime + 3);
    EXPECT_FALSE(platform::FileExists(m_file.HistoryEntryFolder(7, 1))) << "the fourth-oldest is removed";
}

TEST_F(HistoryTest, WhenTheCurrentFileCannotBeKeptItIsNotReplaced) {
    ASSERT_EQ(SyncSeven(kTime, "v1"), SyncOutcome::UpToDate);
    const std::wstring history = m_folders.GetUserGameFolder() + L"Gatehouse/history";
    struct Case {
        const char* what;
        std::function<void()> spoil;
        std::function<void()> mend;
    };
    std::unique_ptr<platform::CScopedFileFault> fault;
    TempFolder elsewhere;
    const Case cases[] = {
        {"the history folder is a file", [&] { ASSERT_TRUE(platform::WriteFileAtomically(history, "x", 1)); },
         [&] { platform::DeleteFileAt(history); }},
#ifndef _WIN32
        {"the subscription's history folder is a link",
         [&] {
             fs::create_directories(fs::path(history));
             fs::create_directory_symlink(fs::path(elsewhere.Path()), fs::path(history + L"/7"));
         },
         [&] { platform::RemoveFolderTree(history); }},
#endif
        {"the disk is full",
         [&] {
             fault = std::make_unique<platform::CScopedFileFault>(platform::FileOperation::Link, 1,
                                                                  platform::FaultRepeat::FromThenOn);
         },
         [&] { fault.reset(); }},
    };
    std::uint32_t time = kTime;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil();
        m_view.texts.clear();
        m_view.notes.clear();
        EXPECT_EQ(SyncSeven(++time, "new"), SyncOutcome::Failed);
        c.mend();
        EXPECT_THAT(m_view.texts, ::testing::Contains(L"mods/seven.mod - Error Copying File!"));
        EXPECT_THAT(m_view.notes, ElementsAre(HasSubstr(L"could not be kept")));
        EXPECT_EQ(ReadLocal("mods/seven.mod"), "v1");
        EXPECT_THAT(Load().subscriptions.at(7).history, IsEmpty());
        EXPECT_THAT(elsewhere.Names(), IsEmpty()) << "nothing was written through the link";
    }
}

TEST_F(HistoryTest, FilesAnItemsUpdateNoLongerHasMoveIntoItsHistoryEntry) {
    TempFolder steam;
    m_client.itemInterface = true;
    m_client.subscribedItems = {7};
    m_client.itemStates[7] = kItemInstalled;
    const auto install = [&](const std::vector<std::pair<std::wstring, std::string>>& files, std::uint32_t time) {
        std::error_code ec;
        fs::remove_all(fs::path(steam.Path()) / "7", ec);
        for (const auto& [name, bytes] : files) steam.WriteFile(L"7/" + name, bytes);
        m_client.installs[7] = ItemInstallInfo{0, platform::WideToSystemName(steam / L"7"), time};
    };
    install({{L"a.mod", "a1"}, {L"gone/b.txt", "b1"}}, kTime);
    StartWithFiles({});
    m_sync.Pump(0);
    ASSERT_TRUE(m_sync.IsFinished());

    install({{L"a.mod", "a2"}}, kTime + 1);
    CWorkshopSync again(m_client, m_view, m_folders);
    ASSERT_TRUE(again.StartSync());
    m_client.Deliver(m_client.requests.back().call, EnumerateResult({}));
    again.Pump(0);
    ASSERT_EQ(again.Outcome(), SyncOutcome::UpToDate);
    EXPECT_EQ(ReadLocal("mods/workshop-items/7/a.mod"), "a2");
    EXPECT_FALSE(platform::FileExists(m_folders.GetUserGameFolder() + L"mods/workshop-items/7/gone/b.txt"));
    const WorkshopRecord record = Load();
    const auto& history = record.subscriptions.at(7).history;
    ASSERT_THAT(history, SizeIs(1));
    EXPECT_EQ(Kept(history[0].folder, "mods/workshop-items/7/a.mod"), "a1");
    EXPECT_EQ(Kept(history[0].folder, "mods/workshop-items/7/gone/b.txt"), "b1");

    // The restore brings the whole folder back, the file the update dropped
    // included, keeps the version it replaced, and holds the item.
    WorkshopRecord restoring = Load();
    ASSERT_TRUE(m_file.Lock());
    ASSERT_TRUE(RestoreFromHistory(m_file, restoring.subscriptions.at(7), 0));
    ASSERT_TRUE(m_file.Save(restoring));
    m_file.Unlock();
    EXPECT_EQ(ReadLocal("mods/workshop-items/7/a.mod"), "a1");
    EXPECT_EQ(ReadLocal("mods/workshop-items/7/gone/b.txt"), "b1");
    const WorkshopRecord afterRestore = Load();
    const RecordedSubscription& restored = afterRestore.subscriptions.at(7);
    EXPECT_TRUE(restored.held);
    ASSERT_THAT(restored.history, SizeIs(1));
    EXPECT_EQ(Kept(restored.history[0].folder, "mods/workshop-items/7/a.mod"), "a2");

    // Held, a later version of the item is not copied, and the sync still
    // ends well.
    install({{L"a.mod", "a3"}}, kTime + 2);
    CWorkshopSync held(m_client, m_view, m_folders);
    ASSERT_TRUE(held.StartSync());
    m_client.Deliver(m_client.requests.back().call, EnumerateResult({}));
    held.Pump(0);
    ASSERT_EQ(held.Outcome(), SyncOutcome::UpToDate);
    EXPECT_EQ(ReadLocal("mods/workshop-items/7/a.mod"), "a1");
    EXPECT_EQ(ReadLocal("mods/workshop-items/7/gone/b.txt"), "b1");
    EXPECT_NE(Load().subscriptions.at(7).updateWaiting, 0);
}

TEST_F(HistoryTest, FoldersALostRecordLeftCountTowardsTheThreeKept) {
    for (std::uint32_t round = 1; round <= 4; ++round)
        ASSERT_EQ(SyncSeven(kTime + round, "v" + std::to_string(round)), SyncOutcome::UpToDate);
    // The record is lost; its three entries' folders stay behind.
    ASSERT_TRUE(platform::DeleteFileAt(m_file.RecordPath()));
    ASSERT_EQ(SyncSeven(kTime + 5, "v5"), SyncOutcome::UpToDate);
    EXPECT_EQ(ReadLocal("mods/seven.mod"), "v5");
    const WorkshopRecord record = Load();
    const auto& history = record.subscriptions.at(7).history;
    ASSERT_THAT(history, SizeIs(1));
    EXPECT_EQ(Kept(history[0].folder, "mods/seven.mod"), "v4");
    EXPECT_NE(history[0].installed, 0) << "a file the record did not see installed dates from its last write";
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(m_file.HistoryFolder(7))))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_THAT(left, ElementsAre("2", "3", "4")) << "the oldest folders go first, the record's own stay";
}

}  // namespace
}  // namespace gh::test
