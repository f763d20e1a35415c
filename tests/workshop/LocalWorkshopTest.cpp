#include "platform/FileSystem.h"
#include "platform/Text.h"
#include "support/TempFolder.h"
#include "workshop/CallResult.h"
#include "workshop/LocalWorkshop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace gh {
namespace {

using test::TempFolder;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A local Workshop on a clock the test moves, with every delivered record noted.
class LocalWorkshopTest : public ::testing::Test {
protected:
    void Write(const std::string& manifest) { m_folder.WriteFile(L"workshop.json", manifest); }

    void Start() { ASSERT_TRUE(m_workshop.Init()); }

    // Waits for `call`, noting `label` when its record arrives, with a "!"
    // when the call failed.
    template <class T>
    void Expect(SteamAPICall call, std::string label, std::function<void(const T*)> check = {}) {
        auto result = std::make_shared<CCallResult<T>>(m_workshop.CallResults());
        result->Set(call, [this, label, check](const T* r, bool failed) {
            m_arrived.push_back(label + (failed || r->result != kResultOk ? "!" : ""));
            if (check) check(r);
        });
        m_keep.push_back(result);
    }

    void RunAt(std::int64_t now) {
        m_now = now;
        m_workshop.RunCallbacks();
    }

    TempFolder m_folder;
    std::int64_t m_now = 1000;
    CLocalWorkshop m_workshop{m_folder.Path(), [this] { return m_now; }};
    std::vector<std::string> m_arrived;
    std::vector<std::shared_ptr<void>> m_keep;
};

TEST_F(LocalWorkshopTest, StartFailsForMissingUnreadableOrMalformedFolders) {
    CLocalWorkshop missing(m_folder.Path() + L"nowhere");
    EXPECT_THAT(missing.Init().Text(), HasSubstr(L"does not exist"));

    EXPECT_THAT(m_workshop.Init().Text(), HasSubstr(L"holds no workshop.json"));

    Write("{ \"items\": [ { \"id\": 1 } ] }");
    EXPECT_THAT(m_workshop.Init().Text(), HasSubstr(L"is malformed: item 0: \"fileName\" is missing"));
    EXPECT_FALSE(m_workshop.IsLoggedOn());
    EXPECT_FALSE(m_workshop.HasRemoteStorage());
    EXPECT_EQ(m_workshop.EnumerateUserSubscribedFiles(0), kInvalidCall);

    Write(std::string(kManifestMaxBytes + 10, ' '));
    EXPECT_THAT(m_workshop.Init().Text(), HasSubstr(L"larger than"));

    Write("{\"loggedOn\": false}");
    Start();
    EXPECT_FALSE(m_workshop.IsLoggedOn());
    EXPECT_TRUE(m_workshop.HasRemoteStorage());
}

TEST_F(LocalWorkshopTest, ListsTheFirstFiftyItemsInOrder) {
    std::string items;
    for (int i = 0; i < 60; ++i)
        items += (i ? "," : "") + std::string("{\"id\": ") + std::to_string(100 + i) +
                 ", \"fileName\": \"f\", \"content\": \"c\"}";
    Write("{\"items\": [" + items + "]}");
    Start();
    std::vector<PublishedFileId> first, rest;
    Expect<SubscriptionPage>(m_workshop.EnumerateUserSubscribedFiles(0), "page", [&](const auto* r) {
        EXPECT_EQ(r->resultsReturned, 50);
        EXPECT_EQ(r->totalCount, 60);
        first.assign(r->fileIds, r->fileIds + r->resultsReturned);
    });
    Expect<SubscriptionPage>(m_workshop.EnumerateUserSubscribedFiles(55), "tail",
                             [&](const auto* r) { rest.assign(r->fileIds, r->fileIds + r->resultsReturned); });
    RunAt(1000);
    EXPECT_THAT(m_arrived, ElementsAre("page", "tail"));
    ASSERT_EQ(first.size(), 50u);
    EXPECT_EQ(first.front(), 100u);
    EXPECT_EQ(first.back(), 149u);
    EXPECT_THAT(rest, ElementsAre(155u, 156u, 157u, 158u, 159u));
}

TEST_F(LocalWorkshopTest, PagesAsTheManifestSaysWithItsFaults) {
    std::string items;
    for (int i = 0; i < 12; ++i)
        items += (i ? "," : "") + std::string("{\"id\": ") + std::to_string(100 + i) +
                 ", \"fileName\": \"f\", \"content\": \"c\"" + (i == 11 ? ", \"listedBy\": [\"ugc\"]" : "") + "}";
    Write(R"({"pageSize": 5, "totalCount": 40, "repeatPage": 0, "failPage": 2, "items": [)" + items + "]}");
    Start();
    std::vector<std::vector<PublishedFileId>> pages;
    for (std::uint32_t start : {0u, 5u, 10u})
        Expect<SubscriptionPage>(m_workshop.EnumerateUserSubscribedFiles(start), std::to_string(start),
                                 [&](const auto* r) {
                                     if (r->result != kResultOk) return;
                                     EXPECT_EQ(r->totalCount, 40);
                                     pages.emplace_back(r->fileIds, r->fileIds + r->resultsReturned);
                                 });
    RunAt(1000);
    EXPECT_THAT(m_arrived, ElementsAre("0", "5", "10!"));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_THAT(pages[0], ElementsAre(100u, 101u, 102u, 103u, 104u));
    EXPECT_EQ(pages[1], pages[0]) << "the page after the repeated one is the repeated one";
}

TEST_F(LocalWorkshopTest, ServesItemsInFoldersAndTheirDownloads) {
    m_folder.WriteFile(L"items/a/x.mod", "0123456789");
    m_folder.WriteFile(L"items/a/sub/y.txt", "yy");
    Write(R"({"appId": 734120, "latencyMs": 100, "bytesPerSecond": 6, "items": [
        {"id": 1, "kind": "folder", "folder": "items/a", "timeUpdated": 1733700000},
        {"id": 2, "kind": "folder", "folder": "items/a", "state": ["installed", "disabled"]},
        {"id": 3, "kind": "folder", "folder": "items/a", "state": [], "resultAppId": 5},
        {"id": 4, "kind": "folder", "folder": "items/a", "state": ["needsUpdate"], "fail": "downloadResult"},
        {"id": 5, "kind": "folder", "folder": "items/a", "state": [], "fail": "downloadItem"},
        {"id": 6, "fileName": "mods/f.mod", "content": "items/a/x.mod", "listedBy": ["remoteStorage"]}]})");
    Start();
    EXPECT_EQ(m_workshop.AppId(), 734120u);
    EXPECT_THAT(m_workshop.GetSubscribedItems(100), ElementsAre(1u, 3u, 4u, 5u));
    EXPECT_THAT(m_workshop.GetSubscribedItems(2), ElementsAre(1u, 3u));
    EXPECT_EQ(m_workshop.GetItemState(1), kItemSubscribed | kItemInstalled);
    EXPECT_EQ(m_workshop.GetItemState(6), kItemSubscribed | kItemInstalled | kItemLegacy);
    EXPECT_EQ(m_workshop.GetItemState(9), 0u);
    const Result<ItemInstallInfo> install = m_workshop.GetItemInstallInfo(1);
    ASSERT_TRUE(install);
    EXPECT_EQ(platform::SystemNameToWide(install->folder), m_folder / L"items/a");
    EXPECT_EQ(install->timeStamp, 1733700000u);
    EXPECT_FALSE(m_workshop.GetItemInstallInfo(3));

    std::vector<ItemDownloadResult> results;
    CCallback<ItemDownloadResult> listener(m_workshop.CallResults(),
                                           [&](const ItemDownloadResult& r) { results.push_back(r); });
    EXPECT_FALSE(m_workshop.DownloadItem(5, false));
    EXPECT_TRUE(m_workshop.DownloadItem(3, false));
    EXPECT_TRUE(m_workshop.DownloadItem(4, false));
    std::uint64_t done = 0, total = 0;
    RunAt(1100 + 1000);  // latency, then one second of twelve bytes at six a second
    ASSERT_TRUE(m_workshop.GetItemDownloadInfo(3, &done, &total));
    EXPECT_EQ(total, 12u);
    EXPECT_EQ(done, 6u);
    EXPECT_TRUE(results.empty());
    RunAt(1100 + 2000);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].appId, 5u) << "the other app's result comes first";
    EXPECT_EQ(results[1].appId, 734120u);
    EXPECT_EQ(results[1].result, kResultOk);
    EXPECT_EQ(results[2].fileId, 4u);
    EXPECT_EQ(results[2].result, kResultFail);
    EXPECT_TRUE(m_workshop.GetItemInstallInfo(3)) << "installed once its download ended";
    EXPECT_EQ(m_workshop.GetItemState(4), kItemSubscribed | kItemNeedsUpdate | kItemDownloadPending);
}

TEST_F(LocalWorkshopTest, ResultsWaitForTheirLatencyAndEqualDelaysKeepRequestOrder) {
    m_folder.WriteFile(L"c/a.mod", "aaaa");
    Write(R"({"latencyMs": 50, "items": [
        {"id": 1, "fileName": "a.mod", "content": "c/a.mod"},
        {"id": 2, "fileName": "b.mod", "content": "c/a.mod", "latencyMs": 10},
        {"id": 3, "fileName": "c.mod", "content": "c/a.mod"}]})");
    Start();
    using Details = PublishedFileDetails;
    Expect<Details>(m_workshop.GetPublishedFileDetails(3), "3");
    Expect<Details>(m_workshop.GetPublishedFileDetails(1), "1");
    Expect<Details>(m_workshop.GetPublishedFileDetails(2), "2");
    Expect<SubscriptionPage>(m_workshop.EnumerateUserSubscribedFiles(0), "list");
    RunAt(1009);
    EXPECT_TRUE(m_arrived.empty());
    RunAt(1010);
    EXPECT_THAT(m_arrived, ElementsAre("2"));
    RunAt(1049);
    EXPECT_EQ(m_arrived.size(), 1u);
    RunAt(5000);  // long after: still in order of due time, then of request
    EXPECT_THAT(m_arrived, ElementsAre("2", "3", "1", "list"));
}

TEST_F(LocalWorkshopTest, DetailsDescribeTheContentAndFailuresAsAsked) {
    m_folder.WriteFile(L"files/a.mod", "0123456789");
    m_folder.WriteFile(L"files/b.mod", "bb");
    ASSERT_TRUE(platform::SetFileModificationTime(m_folder / L"files/b.mod", 1600000000));
    Write(R"({"items": [
        {"id": 1, "fileName": "mods/a.mod", "content": "files/a.mod", "timeUpdated": 1733700000, "contentHandle": 77},
        {"id": 2, "fileName": "mods/b.mod", "content": "files/b.mod"},
        {"id": 3, "fileName": "mods/shared.mod", "content": "files/b.mod", "contentHandle": 77},
        {"id": 4, "fileName": "mods/bad.mod", "fail": "details"},
        {"id": 5, "fileName": "mods/never.mod", "fail": "never"},
        {"id": 6, "fileName": "mods/lost.mod", "content": "files/missing.mod"}]})");
    Start();
    using Details = PublishedFileDetails;
    std::vector<Details> got;
    const auto keep = [&](const Details* r) { got.push_back(r ? *r : Details{}); };
    for (PublishedFileId id : {1, 2, 3, 4, 6, 99})
        Expect<Details>(m_workshop.GetPublishedFileDetails(id), std::to_string(id), keep);
    EXPECT_EQ(m_workshop.GetPublishedFileDetails(5), kInvalidCall);
    RunAt(1000);
    EXPECT_THAT(m_arrived, ElementsAre("1", "2", "3", "4!", "6!", "99!"));
    ASSERT_EQ(got.size(), 6u);
    EXPECT_EQ(FieldText(got[0].fileName), "mods/a.mod");
    EXPECT_EQ(got[0].contentHandle, 77u);
    EXPECT_EQ(got[0].timeUpdated, 1733700000u);
    EXPECT_EQ(got[0].fileSize, 10);
    EXPECT_EQ(got[1].timeUpdated, 1600000000u) << "the content file's time by default";
    EXPECT_NE(got[1].contentHandle, 77u);
    EXPECT_EQ(got[2].contentHandle, 77u) << "shared content handle";
    EXPECT_EQ(got[3].result, kResultFail);
    EXPECT_EQ(FieldText(got[3].fileName), "mods/bad.mod");
    EXPECT_NE(got[4].result, kResultOk);
    EXPECT_NE(got[5].result, kResultOk);
}

TEST_F(LocalWorkshopTest, DownloadsReportProgressAndContentIsReadableOnlyWhenDone) {
    m_folder.WriteFile(L"big.bin", std::string(4000, 'x') + "tail");
    m_folder.WriteFile(L"small.bin", "s");
    Write(R"({"latencyMs": 100, "bytesPerSecond": 2002, "items": [
        {"id": 1, "fileName": "mods/big.mod", "content": "big.bin", "contentHandle": 5},
        {"id": 2, "fileName": "mods/other.mod", "content": "big.bin", "contentHandle": 5},
        {"id": 3, "fileName": "mods/fails.mod", "content": "small.bin", "fail": "download"}]})");
    Start();
    std::int32_t down = -1, expected = -1;
    EXPECT_FALSE(m_workshop.GetUGCDownloadProgress(5, &down, &expected)) << "nothing requested yet";
    EXPECT_EQ(down, -1);

    using Download = DownloadedContent;
    Download done;
    Expect<Download>(m_workshop.UGCDownload(5, 1), "big", [&](const Download* r) { done = *r; });
    Expect<Download>(m_workshop.UGCDownload(m_workshop.ContentHandleOf(2), 1), "fails");

    RunAt(1100);  // latency over, transfer begins
    ASSERT_TRUE(m_workshop.GetUGCDownloadProgress(5, &down, &expected));
    EXPECT_EQ(down, 0);
    EXPECT_EQ(expected, 4004);
    RunAt(2100);
    ASSERT_TRUE(m_workshop.GetUGCDownloadProgress(5, &down, &expected));
    EXPECT_EQ(down, 2002);
    char buffer[8] = {};
    EXPECT_EQ(m_workshop.UGCRead(5, buffer, 4, 0), 0) << "not downloaded yet";
    EXPECT_THAT(m_arrived, ElementsAre("fails!"));

    RunAt(3100);
    EXPECT_THAT(m_arrived, ElementsAre("fails!", "big"));
    EXPECT_EQ(done.sizeInBytes, 4004);
    EXPECT_EQ(done.contentHandle, 5u);
    EXPECT_EQ(FieldText(done.fileName), "mods/big.mod") << "the first item with the handle names it";
    ASSERT_TRUE(m_workshop.GetUGCDownloadProgress(5, &down, &expected));
    EXPECT_EQ(down, 4004);
    EXPECT_EQ(m_workshop.UGCRead(5, buffer, 8, 3998), 6);
    EXPECT_EQ(std::string(buffer, 6), "xxtail");
    EXPECT_EQ(m_workshop.UGCRead(5, buffer, 8, 4004), 0);
    EXPECT_EQ(m_workshop.UGCRead(m_workshop.ContentHandleOf(2), buffer, 1, 0), 0)
        << "a failed download is not readable";
}

TEST_F(LocalWorkshopTest, ShutdownDropsEverythingOutstanding) {
    m_folder.WriteFile(L"a", "a");
    Write(R"({"items": [{"id": 1, "fileName": "a", "content": "a"}]})");
    Start();
    Expect<PublishedFileDetails>(m_workshop.GetPublishedFileDetails(1), "1");
    m_workshop.Shutdown();
    RunAt(99999);
    EXPECT_TRUE(m_arrived.empty());
    EXPECT_EQ(m_workshop.GetPublishedFileDetails(1), kInvalidCall);
}

}  // namespace
}  // namespace gh
