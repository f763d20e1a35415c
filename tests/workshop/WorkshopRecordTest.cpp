// The Workshop record: its reader on good and bad text, the file with its
// damaged copies and its lock, and the sync that keeps it.
#include "SyncFixture.h"

#include "platform/FileLinks.h"
#include "platform/FileLock.h"
#include "platform/FolderListing.h"
#include "platform/Unicode.h"
#include "support/ForkedChild.h"
#include "workshop/JsonDepth.h"
#include "workshop/WorkshopRecord.h"
#include "workshop/WorkshopRecordFile.h"

#include <nlohmann/json.hpp>

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

constexpr std::uint32_t kTime = 1'700'000'000;

WorkshopRecord SampleRecord() {
    WorkshopRecord record;
    record.lastGameStart = 1'700'000'500;
    RecordedSubscription one;
    one.id = 7;
    one.workshopTime = kTime;
    one.installed = kTime + 5;
    one.held = true;
    one.files = {{"mods/seven.mod", 12, kTime}};
    one.mods = {{"mods/seven.mod", -42, 3}};
    one.history = {{2, kTime - 10, kTime - 20, {{"mods/seven.mod", 10, kTime - 20}}, {}}};
    RecordedSubscription two;
    two.id = 18'446'744'073'709'551'615u;
    two.route = SubscriptionRoute::Folder;
    two.subscribed = false;
    two.files = {{"mods/workshop-items/9/a.mod", 1, 2}, {"mods/workshop-items/9/sub/b.bin", 3, 4}};
    record.subscriptions = {{one.id, one}, {two.id, two}};
    return record;
}

TEST(WorkshopRecordTest, ReadsBackWhatItWritesAndRefusesDamagedOrForeignRecords) {
    const WorkshopRecord sample = SampleRecord();
    const std::string text = WorkshopRecordText(sample);
    const Result<WorkshopRecord> back = ParseWorkshopRecord(text);
    ASSERT_TRUE(back) << WideToUtf8(back.Error().Text());
    EXPECT_EQ(*back, sample);

    const std::string deep = std::string(20, '[') + std::string(20, ']');
    for (const std::string& bad :
         {text.substr(0, text.size() / 2), std::string("{\"version\": 2, \"subscriptions\": []}"),
          std::string("{\"subscriptions\": []}"), std::string("[]"), std::string("\x00\xff garbage", 10), deep,
          std::string(R"({"version":1,"subscriptions":[{"id":5,"route":"file"},{"id":5,"route":"file"}]})"),
          std::string(R"({"version":1,"subscriptions":[{"id":5,"route":"file","held":"yes"}]})"),
          std::string(R"({"version":1,"subscriptions":[{"id":5,"route":"ftp"}]})"),
          std::string(
              R"({"version":1,"subscriptions":[{"id":5,"route":"file","files":[{"path":"mods/a","size":-1}]}]})")}) {
        const Result<WorkshopRecord> parsed = ParseWorkshopRecord(bad);
        EXPECT_FALSE(parsed) << bad;
        EXPECT_FALSE(parsed.Error().Text().empty());
    }
}

TEST(WorkshopRecordTest, EntriesNamingFilesOutsideTheModsFolderAreLeftOut) {
    const std::string text = R"({"version":1,"subscriptions":[{"id":5,"route":"file","files":[
        {"path":"../../outside.txt"}, {"path":"gatehouse.sch"}, {"path":"/etc/passwd"}, {"path":"C:/x.mod"},
        {"path":"mods/../saves/a.sav"}, {"path":"mods"}, {"path":"Mods/kept.mod","size":4},
        {"path":"mods/workshop-items/5/also.mod"}, {"path":"mods/CON"}],
        "mods":[{"path":"saves/x.mod","guid":1,"version":1}]}]})";
    const Result<WorkshopRecord> parsed = ParseWorkshopRecord(text);
    ASSERT_TRUE(parsed) << WideToUtf8(parsed.Error().Text());
    const RecordedSubscription& entry = parsed->subscriptions.at(5);
    EXPECT_THAT(entry.files,
                ElementsAre(RecordedFile{"Mods/kept.mod", 4, 0}, RecordedFile{"mods/workshop-items/5/also.mod", 0, 0}));
    EXPECT_THAT(entry.mods, IsEmpty());
}

// The reader reads the record's text itself: what it takes as JSON must be
// what the JSON library takes, whatever stands in a value it does not use.
TEST(WorkshopRecordTest, TakesExactlyTheJsonTheLibraryTakes) {
    // clang-format off
    const std::string values[] = {
        "1.5", "-0", "1e400", "-1e-400", "18446744073709551616", "01", "1.", ".5", "-", "+1", "1e", "0x10",
        "\"\\ud83d\\ude00\"", "\"\\ud83d\"", "\"\\ude00\"", "\"\\ud83d\\u0041\"", "\"\\u00e9\\u0000\"", "\"\\x\"",
        "\"\\u12g4\"", "\"a\tb\"", "\"\xc3\xa9\"", "\"\xc0\xaf\"", "\"\xed\xa0\x80\"", "\"\xf4\x90\x80\x80\"",
        "\"\xe2\x82\"", "\"\x7f\"", "[1,]", "[,1]", "{\"a\":1,}", "{\"a\" 1}", "{1:2}", "[1 2]", "tru", "nul",
        "true ", "[[[[[[1]]]]]]", "[[[[[[[1]]]]]]]", "[[[[[[[[1]]]]]]]]", "/* c */ 1", "\"unterminated"};
    // clang-format on
    for (const std::string& value : values) {
        const std::string text = "{\"version\":1,\"other\":" + value + "}";
        // Inside the record's object, the value nests one level deeper than it does alone.
        const bool json = nlohmann::json::accept(text) && JsonNestingDepth(text) <= kRecordMaxDepth;
        EXPECT_EQ(static_cast<bool>(ParseWorkshopRecord(text)), json) << value;
    }
    for (const std::string& around : {std::string("\xef\xbb\xbf{\"version\":1}"),
                                      std::string("\xef\xbb{\"version\":1}"), std::string(" {\"version\":1} x"),
                                      std::string("{\"version\":1} \0 x", 17), std::string("{\"version\":1,\0}", 15)})
        EXPECT_EQ(static_cast<bool>(ParseWorkshopRecord(around)), nlohmann::json::accept(around)) << around;
}

TEST(WorkshopRecordTest, AKeyGivenTwiceCountsWithItsLastValueAndEscapesAreDecoded) {
    const Result<WorkshopRecord> parsed = ParseWorkshopRecord(R"({"version":2,"version":1,
        "subscriptions":[{"id":5,"route":"file"},{"id":5,"route":"file"}],
        "subscriptions":[{"id":5,"route":"ftp","route":"file","held":"yes","held":true,
            "files":[{"path":"../x"}],"files":[{"p\u0061th":"mods/\ud83d\ude00 \u00e9.mod","size":1,"size":2}]}]})");
    ASSERT_TRUE(parsed) << WideToUtf8(parsed.Error().Text());
    const RecordedSubscription& entry = parsed->subscriptions.at(5);
    EXPECT_TRUE(entry.held);
    EXPECT_THAT(entry.files, ElementsAre(RecordedFile{"mods/\xf0\x9f\x98\x80 \xc3\xa9.mod", 2, 0}));
    EXPECT_FALSE(ParseWorkshopRecord(R"({"version":1,"lastGameStart":1,"lastGameStart":"x"})"));
}

class RecordSyncTest : public SyncFixture {
protected:
    CWorkshopRecordFile m_file{m_folders.GetUserGameFolder()};

    WorkshopRecord Load() {
        std::vector<std::wstring> notes;
        WorkshopRecord record = m_file.Load(notes);
        EXPECT_THAT(notes, IsEmpty());
        return record;
    }

    // One sync of these single files, each as (id, name, Workshop time), all answered.
    void SyncFiles(CWorkshopSync& sync, CFakeWorkshopClient& client,
                   const std::vector<std::tuple<PublishedFileId, std::string, std::uint32_t>>& files) {
        std::vector<PublishedFileId> ids;
        for (const auto& file : files) ids.push_back(std::get<0>(file));
        ASSERT_TRUE(sync.StartSync());
        client.Deliver(client.CallFor(Kind::Enumerate, 0), EnumerateResult(ids));
        for (const auto& [id, name, time] : files) {
            client.Deliver(client.CallFor(Kind::Details, id), DetailsResult(id, id + 100, name, time, 3));
            const auto downloads = client.RequestsOf(Kind::Download);
            if (std::any_of(downloads.begin(), downloads.end(),
                            [content = id + 100](const auto& r) { return r.argument == content; })) {
                client.contents[id + 100] = "new";
                client.Deliver(client.CallFor(Kind::Download, id + 100), DownloadResult(id + 100, name, 3));
            }
        }
        ASSERT_TRUE(sync.IsFinished());
    }
};

TEST_F(RecordSyncTest, TheSyncRecordsWhatItInstalledAndWritesNothingWhenNothingChanged) {
    WriteLocal("mods/current.mod", "old", kTime);
    SyncFiles(m_sync, m_client, {{1, "mods/new.mod", kTime}, {2, "mods/current.mod", kTime}});
    WorkshopRecord record = Load();
    ASSERT_THAT(record.subscriptions, SizeIs(2));
    EXPECT_EQ(
        record.subscriptions[1].files,
        (std::vector<RecordedFile>{
            {"mods/new.mod", 3, *platform::FileModificationTime(m_folders.GetUserGameFolder() + L"mods/new.mod")}}));
    EXPECT_EQ(record.subscriptions[1].workshopTime, kTime);
    EXPECT_EQ(record.subscriptions[2].files, (std::vector<RecordedFile>{{"mods/current.mod", 3, kTime}}));

    // The same subscriptions again: nothing is downloaded, nothing written.
    ASSERT_TRUE(platform::SetFileModificationTime(m_file.RecordPath(), 1'000'000'000));
    CFakeWorkshopClient client;
    CRecordingSyncView view;
    {
        CWorkshopSync again(client, view, m_folders);
        SyncFiles(again, client, {{1, "mods/new.mod", kTime}, {2, "mods/current.mod", kTime}});
    }
    EXPECT_EQ(platform::FileModificationTime(m_file.RecordPath()), 1'000'000'000);
    EXPECT_THAT(view.notes, IsEmpty());
}

TEST_F(RecordSyncTest, ADamagedRecordIsKeptAsideCountsAsEmptyAndNeverStopsTheSync) {
    const std::string damaged = WorkshopRecordText(SampleRecord()).substr(0, 40);
    for (const std::string& bad : {damaged, std::string("{\"version\": 99}")}) {
        TempFolder documents;
        CGameFolders folders(documents.Path() + L"game", documents.Path() + L"Documents");
        CWorkshopRecordFile file(folders.GetUserGameFolder());
        ASSERT_TRUE(platform::CreateFolders(folders.GetUserGameFolder() + L"Gatehouse"));
        ASSERT_TRUE(platform::WriteFileAtomically(file.RecordPath(), bad.data(), bad.size()));
        CFakeWorkshopClient client;
        CRecordingSyncView view;
        CWorkshopSync sync(client, view, folders);
        SyncFiles(sync, client, {{3, "mods/three.mod", kTime}});
        EXPECT_EQ(sync.Outcome(), SyncOutcome::UpToDate);
        ASSERT_THAT(view.notes, SizeIs(1));
        EXPECT_THAT(view.notes[0], HasSubstr(L"workshop-record.damaged-"));
        std::vector<std::wstring> notes;
        EXPECT_THAT(file.Load(notes).subscriptions, SizeIs(1)) << "a new record stands beside the damaged one";
        std::vector<std::wstring> kept;
        std::vector<platform::TypedFolderEntry> entries;
        ASSERT_TRUE(platform::ListFolderAsIs(folders.GetUserGameFolder() + L"Gatehouse", entries));
        for (const auto& entry : entries)
            if (entry.name.rfind(L"workshop-record.damaged-", 0) == 0) kept.push_back(entry.name);
        ASSERT_THAT(kept, SizeIs(1));
        EXPECT_EQ(platform::ReadWholeFile(folders.GetUserGameFolder() + L"Gatehouse/" + kept[0], 1 << 20), bad);
    }
}

TEST_F(RecordSyncTest, TheGatehouseFolderIsMadeAgainWhenItWentSinceTheLastLock) {
    ASSERT_TRUE(m_file.Lock());
    m_file.Unlock();
    platform::RemoveFolderTree(m_folders.GetUserGameFolder() + L"Gatehouse");
    ASSERT_EQ(platform::KindAt(m_folders.GetUserGameFolder() + L"Gatehouse"), platform::PathKind::Missing);
    EXPECT_TRUE(m_file.Lock());
    EXPECT_TRUE(m_file.Save(SampleRecord()));
    m_file.Unlock();
    EXPECT_EQ(Load(), SampleRecord());
}

TEST_F(RecordSyncTest, ARecordAnotherProcessWroteDuringTheSyncIsRead) {
    // The sync's snapshot of the folders saw no record; another process
    // writes one behind its back (here: not through the platform's calls,
    // which would tell the snapshot), and the sync's merge must read it.
    ASSERT_TRUE(m_file.Lock());
    m_file.Unlock();
    const platform::CFolderSnapshot snapshot;
    ASSERT_EQ(platform::KindAt(m_file.RecordPath()), platform::PathKind::Missing);
    {
        std::ofstream other(std::filesystem::path(m_file.RecordPath()), std::ios::binary);
        other << WorkshopRecordText(SampleRecord());
    }
    const Result<WorkshopRecord> read = m_file.Read();
    ASSERT_TRUE(read) << read.Error().Text();
    EXPECT_EQ(*read, SampleRecord());
}

TEST_F(RecordSyncTest, TwoSyncsAtOnceKeepBothTheirEntries) {
    CFakeWorkshopClient client;
    CRecordingSyncView view;
    CWorkshopSync second(client, view, m_folders);
    StartWithFiles({4});
    ASSERT_TRUE(second.StartSync());
    client.Deliver(client.CallFor(Kind::Enumerate, 0), EnumerateResult({5}));
    client.Deliver(client.CallFor(Kind::Details, 5), DetailsResult(5, 105, "mods/five.mod", kTime, 3));
    AnswerDetails(4, 104, "mods/four.mod", kTime, 3);
    AnswerDownload(104, "mods/four.mod", "new");
    client.contents[105] = "new";
    client.Deliver(client.CallFor(Kind::Download, 105), DownloadResult(105, "mods/five.mod", 3));
    ASSERT_TRUE(m_sync.IsFinished() && second.IsFinished());
    const WorkshopRecord record = Load();
    EXPECT_EQ(record.subscriptions.count(4) + record.subscriptions.count(5), 2u) << "both syncs are in the record";
}

TEST_F(RecordSyncTest, AGoneSubscriptionKeepsItsFilesAndIsMarkedOnlyWhenTheWholeListWasRead) {
    SyncFiles(m_sync, m_client, {{1, "mods/one.mod", kTime}, {2, "mods/two.mod", kTime}});
    const auto syncOnly = [&](bool listFails) {
        CFakeWorkshopClient client;
        CRecordingSyncView view;
        CWorkshopSync sync(client, view, m_folders);
        ASSERT_TRUE(sync.StartSync());
        SubscriptionPage page = EnumerateResult({1});
        if (listFails) page.totalCount = 5;  // the next page never comes
        client.Deliver(client.CallFor(Kind::Enumerate, 0), page);
        if (listFails) client.Deliver(client.CallFor(Kind::Enumerate, 1), EnumerateResult({}, kResultFail));
        client.Deliver(client.CallFor(Kind::Details, 1), DetailsResult(1, 101, "mods/one.mod", kTime, 3));
        ASSERT_TRUE(sync.IsFinished());
    };
    syncOnly(true);
    EXPECT_TRUE(Load().subscriptions.at(2).subscribed) << "a list cut short says nothing of what is gone";
    syncOnly(false);
    const WorkshopRecord record = Load();
    EXPECT_FALSE(record.subscriptions.at(2).subscribed);
    EXPECT_EQ(record.changes.at(2).kind, ChangeKind::Gone);
    EXPECT_EQ(ReadLocal("mods/two.mod"), "new");
}

#ifndef _WIN32
TEST_F(RecordSyncTest, ASyncWaitsWhileAnotherProcessHoldsTheRecord) {
    CWorkshopRecordFile file(m_folders.GetUserGameFolder());
    ForkedChild other([&](ForkedChild::Channel& channel) {
        if (!file.Lock()) return kChildCannotSetUp;
        channel.Ready();
        if (!channel.WaitToContinue()) return 1;
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return 0;  // the lock ends with the process
    });
    ASSERT_TRUE(other.WaitUntilReady());
    other.Continue();
    const auto start = std::chrono::steady_clock::now();
    StartWithFiles({4});
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    EXPECT_THAT(m_view.notes, ElementsAre(HasSubstr(L"waiting")));
    EXPECT_EQ(other.Wait(), 0);
}
#endif

}  // namespace
}  // namespace gh::test
