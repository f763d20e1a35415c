// Call results through both dispatch routes of the real loader and the
// stand-in library: records arrive decoded, a record of the wrong size or a
// failed call arrives as a failure, and a zero handle is never answered.
#include "SteamworksTestSupport.h"
#include "workshop/CallResult.h"
#include "workshop/steamworks/SteamworksClient.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/Text.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace gh::test {
namespace {

constexpr PublishedFileId kBigId = 0xFEDC'BA98'7654'3210;  // every byte matters

template <class T>
struct Answer {
    bool arrived = false;
    bool failed = false;
    std::optional<T> record;
};

template <class T>
void Await(CCallResult<T>& call, SteamAPICall handle, Answer<T>& answer) {
    call.Set(handle, [&answer](const T* result, bool failed) {
        answer.arrived = true;
        answer.failed = failed;
        if (result) answer.record = *result;
    });
}

class SteamDispatchTest : public ::testing::TestWithParam<const char*> {
protected:
    SteamDispatchTest() {
        m_workshop.WriteContent(L"c/a.mod", "content of a");
        m_workshop.WriteManifest(R"({ "items": [
            { "id": 18364758544493064720, "fileName": "mods/a.mod", "content": "c/a.mod", "timeUpdated": 1733700000 },
            { "id": 2, "fileName": "mods/silent.mod", "fail": "never" } ] })");
        m_environment.Set(L"GATEHOUSE_STANDIN_WORKSHOP", m_workshop.Path());
    }

    void Start() { ASSERT_TRUE(m_client.Init()); }

    StandInReport Report() const { return ReadStandInReport(m_client.LibraryPath()); }

    CScopedEnvironment m_environment;
    CStandInWorkshop m_workshop;
    CSteamworksClient m_client{StandInLibrary(GetParam())};
};

TEST_P(SteamDispatchTest, DeliversDecodedRecordsAndReadsTheContent) {
    Start();
    CCallResult<SubscriptionPage> list(m_client.CallResults());
    Answer<SubscriptionPage> listed;
    Await(list, m_client.EnumerateUserSubscribedFiles(0), listed);
    ASSERT_TRUE(PumpUntil(m_client, [&] { return listed.arrived; }));
    ASSERT_FALSE(listed.failed);
    EXPECT_EQ(listed.record->resultsReturned, 2);
    EXPECT_EQ(listed.record->fileIds[0], kBigId);

    CCallResult<PublishedFileDetails> details(m_client.CallResults());
    Answer<PublishedFileDetails> described;
    Await(details, m_client.GetPublishedFileDetails(kBigId), described);
    ASSERT_TRUE(PumpUntil(m_client, [&] { return described.arrived; }));
    ASSERT_FALSE(described.failed);
    EXPECT_EQ(described.record->result, kResultOk);
    EXPECT_EQ(described.record->fileId, kBigId);
    EXPECT_EQ(described.record->timeUpdated, 1'733'700'000u);
    EXPECT_EQ(described.record->fileSize, 12);
    EXPECT_EQ(FieldText(described.record->fileName), "mods/a.mod");

    const UGCHandle content = described.record->contentHandle;
    CCallResult<DownloadedContent> download(m_client.CallResults());
    Answer<DownloadedContent> downloaded;
    Await(download, m_client.UGCDownload(content, 1), downloaded);
    ASSERT_TRUE(PumpUntil(m_client, [&] { return downloaded.arrived; }));
    ASSERT_FALSE(downloaded.failed);
    EXPECT_EQ(downloaded.record->contentHandle, content);
    EXPECT_EQ(downloaded.record->sizeInBytes, 12);

    std::int32_t done = 0;
    std::int32_t expected = 0;
    EXPECT_TRUE(m_client.GetUGCDownloadProgress(content, &done, &expected));
    EXPECT_EQ(expected, 12);
    EXPECT_EQ(done, 12);
    char bytes[12] = {};
    EXPECT_EQ(m_client.UGCRead(content, bytes, 7, 0), 7);
    EXPECT_EQ(m_client.UGCRead(content, bytes + 7, 5, 7), 5);
    EXPECT_EQ(std::string(bytes, 12), "content of a");
    EXPECT_EQ(m_client.UGCRead(content, bytes, 12, 0), 0) << "read to its end, the content is closed";

    m_client.Shutdown();
    const StandInReport report = Report();
    EXPECT_EQ(report.protocolErrors, 0) << report.firstProtocolError;
    EXPECT_EQ(report.resultsFetched, 3);
}

TEST_P(SteamDispatchTest, ARecordOfTheWrongSizeIsAFailedCall) {
    m_environment.Set(L"GATEHOUSE_STANDIN_FAULT", L"size:1318");
    Start();
    CCallResult<PublishedFileDetails> details(m_client.CallResults());
    Answer<PublishedFileDetails> described;
    Await(details, m_client.GetPublishedFileDetails(kBigId), described);
    ASSERT_TRUE(PumpUntil(m_client, [&] { return described.arrived; }));
    EXPECT_TRUE(described.failed);
    EXPECT_FALSE(described.record.has_value());

    // Other kinds are unaffected.
    CCallResult<SubscriptionPage> list(m_client.CallResults());
    Answer<SubscriptionPage> listed;
    Await(list, m_client.EnumerateUserSubscribedFiles(0), listed);
    ASSERT_TRUE(PumpUntil(m_client, [&] { return listed.arrived; }));
    EXPECT_FALSE(listed.failed);
    m_client.Shutdown();
    EXPECT_EQ(Report().protocolErrors, 0) << Report().firstProtocolError;
}

TEST_P(SteamDispatchTest, AFailedCallArrivesAsAFailure) {
    m_environment.Set(L"GATEHOUSE_STANDIN_FAULT", L"io:1314");
    Start();
    CCallResult<SubscriptionPage> list(m_client.CallResults());
    Answer<SubscriptionPage> listed;
    Await(list, m_client.EnumerateUserSubscribedFiles(0), listed);
    ASSERT_TRUE(PumpUntil(m_client, [&] { return listed.arrived; }));
    EXPECT_TRUE(listed.failed);
    m_client.Shutdown();
    EXPECT_EQ(Report().protocolErrors, 0) << Report().firstProtocolError;
}

TEST_P(SteamDispatchTest, AZeroHandleIsNeverAnswered) {
    EXPECT_EQ(m_client.GetPublishedFileDetails(kBigId), kInvalidCall) << "not started yet";
    Start();
    CCallResult<PublishedFileDetails> silent(m_client.CallResults());
    Answer<PublishedFileDetails> answer;
    const SteamAPICall handle = m_client.GetPublishedFileDetails(2);
    EXPECT_EQ(handle, kInvalidCall);
    Await(silent, handle, answer);
    EXPECT_FALSE(silent.IsActive());

    // Another call that is answered shows the rounds did run.
    CCallResult<SubscriptionPage> list(m_client.CallResults());
    Answer<SubscriptionPage> listed;
    Await(list, m_client.EnumerateUserSubscribedFiles(0), listed);
    ASSERT_TRUE(PumpUntil(m_client, [&] { return listed.arrived; }));
    for (int round = 0; round < 20; ++round) m_client.RunCallbacks();
    EXPECT_FALSE(answer.arrived);
    EXPECT_EQ(m_client.CallResults().RegisteredCount(), 0u);
    m_client.Shutdown();
}

TEST_P(SteamDispatchTest, CallsNotAnsweredAtShutdownAreNeverAnswered) {
    m_workshop.WriteManifest(R"({ "latencyMs": 200, "items": [] })");
    Start();
    CCallResult<SubscriptionPage> list(m_client.CallResults());
    Answer<SubscriptionPage> listed;
    Await(list, m_client.EnumerateUserSubscribedFiles(0), listed);
    m_client.RunCallbacks();
    m_client.Shutdown();
    for (int round = 0; round < 5; ++round) m_client.RunCallbacks();
    EXPECT_FALSE(listed.arrived);
    const StandInReport report = Report();
    EXPECT_EQ(report.protocolErrors, 0) << report.firstProtocolError;
}

INSTANTIATE_TEST_SUITE_P(BothRoutes, SteamDispatchTest, ::testing::Values("full", "polling"),
                         [](const auto& param) { return std::string(param.param); });

// The item interface of each accessor generation: its list, states, install
// folders and download results, through the real loader.
class SteamItemInterfaceTest : public ::testing::TestWithParam<const char*> {
protected:
    SteamItemInterfaceTest() {
        m_workshop.WriteContent(L"items/1/a.mod", "a");
        m_workshop.WriteManifest(R"({ "bytesPerSecond": 1000000000, "items": [
            { "id": 1, "kind": "folder", "folder": "items/1", "timeUpdated": 1733700000 },
            { "id": 2, "kind": "folder", "folder": "items/1", "state": ["installed", "disabled"] },
            { "id": 3, "kind": "folder", "folder": "items/1", "state": [], "resultAppId": 99 },
            { "id": 4, "kind": "folder", "folder": "items/1", "state": [], "fail": "downloadItem" },
            { "id": 5, "fileName": "mods/e.mod", "content": "items/1/a.mod", "listedBy": ["remoteStorage"] } ] })");
        m_environment.Set(L"GATEHOUSE_STANDIN_WORKSHOP", m_workshop.Path());
    }

    CScopedEnvironment m_environment;
    CStandInWorkshop m_workshop;
    CSteamworksClient m_client{StandInLibrary(GetParam())};
};

TEST_P(SteamItemInterfaceTest, ListsStatesFoldersAndDownloadResults) {
    ASSERT_TRUE(m_client.Init());
    ASSERT_TRUE(m_client.HasItemInterface());
    // The libraries with include_locally_disabled are asked to leave disabled items out.
    const bool flag = std::string(GetParam()) == "full" || std::string(GetParam()) == "ugc021";
    const std::vector<PublishedFileId> listed =
        flag ? std::vector<PublishedFileId>{1, 3, 4} : std::vector<PublishedFileId>{1, 2, 3, 4};
    EXPECT_EQ(m_client.GetSubscribedItems(100), listed);
    EXPECT_EQ(m_client.GetSubscribedItems(2), (std::vector<PublishedFileId>{1, flag ? 3u : 2u}));
    EXPECT_EQ(m_client.GetItemState(1), kItemSubscribed | kItemInstalled);
    EXPECT_EQ(m_client.GetItemState(5), kItemSubscribed | kItemInstalled | kItemLegacy);
    EXPECT_EQ(m_client.GetItemState(77), 0u);
    const Result<ItemInstallInfo> install = m_client.GetItemInstallInfo(1);
    ASSERT_TRUE(install) << install.Error().Text();
    EXPECT_EQ(platform::SystemNameToWide(install->folder), m_workshop.Path() + L"items/1");
    EXPECT_EQ(install->timeStamp, 1'733'700'000u);
    EXPECT_EQ(install->sizeOnDisk, 1u);
    EXPECT_FALSE(m_client.GetItemInstallInfo(3));

    std::vector<ItemDownloadResult> results;
    CCallback<ItemDownloadResult> listener(m_client.CallResults(),
                                           [&](const ItemDownloadResult& r) { results.push_back(r); });
    EXPECT_FALSE(m_client.DownloadItem(4, false));
    EXPECT_TRUE(m_client.DownloadItem(3, false));
    ASSERT_TRUE(PumpUntil(m_client, [&] { return results.size() == 2; }));
    EXPECT_EQ(results[0].appId, 99u);
    EXPECT_EQ(results[1].appId, m_client.AppId());
    EXPECT_EQ(results[1].fileId, 3u);
    EXPECT_EQ(results[1].result, kResultOk);
    EXPECT_TRUE(m_client.GetItemState(3) & kItemInstalled);
    m_client.Shutdown();
    const StandInReport report = ReadStandInReport(m_client.LibraryPath());
    EXPECT_EQ(report.protocolErrors, 0) << report.firstProtocolError;
    EXPECT_EQ(report.itemDownloads, 2);
}

INSTANTIATE_TEST_SUITE_P(AccessorGenerations, SteamItemInterfaceTest,
                         ::testing::Values("full", "ugc021", "ugc020", "ugc018", "ugc017", "ugc016", "ugc015", "older"),
                         [](const auto& param) { return std::string(param.param); });

class SteamItemFaultTest : public SteamItemInterfaceTest {};

TEST_P(SteamItemFaultTest, WrongSizedResultsLongFoldersAndHugeDownloads) {
    // A download larger than 2 GiB, whose counts need all 64 bits.
    m_workshop.WriteContent(L"items/big/huge.bin", "");
    std::filesystem::resize_file(std::filesystem::path(m_workshop.Path() + L"items/big/huge.bin"), 3ULL << 30);
    m_workshop.WriteManifest(R"({ "bytesPerSecond": 1000000, "items": [
        { "id": 1, "kind": "folder", "folder": "items/1" },
        { "id": 2, "kind": "folder", "folder": "items/big", "state": [] } ] })");
    m_environment.Set(L"GATEHOUSE_STANDIN_FAULT", L"size:3406,longfolder");
    ASSERT_TRUE(m_client.Init());
    const Result<ItemInstallInfo> install = m_client.GetItemInstallInfo(1);
    EXPECT_FALSE(install) << "a folder name that fills the buffer may have been cut";
    EXPECT_THAT(install.Error().Text(), ::testing::HasSubstr(L"longer than"));

    std::vector<ItemDownloadResult> results;
    CCallback<ItemDownloadResult> listener(m_client.CallResults(),
                                           [&](const ItemDownloadResult& r) { results.push_back(r); });
    ASSERT_TRUE(m_client.DownloadItem(1, false));
    ASSERT_TRUE(m_client.DownloadItem(2, false));
    std::uint64_t done = 0;
    std::uint64_t total = 0;
    ASSERT_TRUE(m_client.GetItemDownloadInfo(2, &done, &total));
    EXPECT_EQ(total, 3ULL << 30);
    // Item 1's result is due within a millisecond, but 8 bytes too long: it is dropped.
    platform::SleepMilliseconds(50);
    for (int round = 0; round < 20; ++round) m_client.RunCallbacks();
    EXPECT_TRUE(results.empty());
    m_client.Shutdown();
    const StandInReport report = ReadStandInReport(m_client.LibraryPath());
    EXPECT_EQ(report.protocolErrors, 0) << report.firstProtocolError;
    EXPECT_GT(report.messagesFreed, 1) << "the dropped message was freed all the same";
}

INSTANTIATE_TEST_SUITE_P(Newest, SteamItemFaultTest, ::testing::Values("full"),
                         [](const auto& param) { return std::string(param.param); });

}  // namespace
}  // namespace gh::test
