// A scripted Workshop client: records every request, returns the call
// handles the test chooses (0 included), and delivers whatever record the
// test posts, at the test's moment, from inside RunCallbacks().
#pragma once

#include "workshop/CallDispatcher.h"
#include "workshop/WorkshopClient.h"

#include <cstdint>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace gh::test {

class CFakeWorkshopClient final : public IWorkshopClient {
public:
    enum class Kind { Enumerate, Details, Download };
    struct Request {
        Kind kind;
        std::uint64_t argument;  // start index, published file id or content handle
        SteamAPICall call;
    };
    struct Progress {
        bool reported = true;  // what GetUGCDownloadProgress returns
        std::int32_t downloaded = 0;
        std::int32_t expected = 0;
    };
    struct Read {
        UGCHandle content;
        std::int32_t size;
        std::uint32_t offset;
    };

    Status Init() override;
    void Shutdown() override {}
    void RunCallbacks() override;
    bool IsLoggedOn() override { return loggedOn; }
    bool HasRemoteStorage() override { return remoteStorage; }
    SteamAPICall EnumerateUserSubscribedFiles(std::uint32_t startIndex) override;
    SteamAPICall GetPublishedFileDetails(PublishedFileId file) override;
    SteamAPICall UGCDownload(UGCHandle content, std::uint32_t priority) override;
    bool GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) override;
    std::int32_t UGCRead(UGCHandle content, void* buffer, std::int32_t size, std::uint32_t offset) override;
    CCallDispatcher& CallResults() override { return m_dispatcher; }

    bool HasItemInterface() override { return itemInterface; }
    std::uint32_t AppId() override { return appId; }
    std::vector<PublishedFileId> GetSubscribedItems(std::uint32_t maxCount) override;
    std::uint32_t GetItemState(PublishedFileId file) override;
    Result<ItemInstallInfo> GetItemInstallInfo(PublishedFileId file) override;
    bool GetItemDownloadInfo(PublishedFileId file, std::uint64_t* downloaded, std::uint64_t* total) override;
    bool DownloadItem(PublishedFileId file, bool highPriority) override;

    // Broadcasts an item download's result, then RunCallbacks().
    void Broadcast(PublishedFileId file, std::int32_t result = kResultOk, std::uint32_t app = 0) {
        m_dispatcher.PostBroadcast(ItemDownloadResult{app ? app : appId, file, result});
        RunCallbacks();
    }

    // Posts a record for `call`; it reaches its handler at the next RunCallbacks().
    void Post(SteamAPICall call, const CallResultRecord& record, bool ioFailure = false) {
        m_dispatcher.Post(call, record, ioFailure);
    }
    void PostFailure(SteamAPICall call) { m_dispatcher.PostFailure(call); }
    // Post, then RunCallbacks().
    void Deliver(SteamAPICall call, const CallResultRecord& record, bool ioFailure = false) {
        Post(call, record, ioFailure);
        RunCallbacks();
    }

    // The requests of one kind, in order.
    std::vector<Request> RequestsOf(Kind kind) const;
    // The handle the last request of `kind` with `argument` returned.
    SteamAPICall CallFor(Kind kind, std::uint64_t argument) const;

    bool initResult = true;
    bool loggedOn = true;
    bool remoteStorage = true;
    std::deque<SteamAPICall> nextCalls;  // handles for the next requests; then fresh ones
    std::vector<Request> requests;
    std::map<UGCHandle, Progress> progress;  // content with no entry reports nothing
    std::map<UGCHandle, std::string> contents;
    std::int64_t readLimit = -1;  // when >= 0, bytes past this offset are never delivered
    std::vector<Read> reads;
    int runCount = 0;

    // The item interface.
    bool itemInterface = false;
    std::uint32_t appId = 480;
    std::vector<PublishedFileId> subscribedItems;
    std::map<PublishedFileId, std::uint32_t> itemStates;  // kItemSubscribed when missing
    std::map<PublishedFileId, ItemInstallInfo> installs;  // only these are installed
    std::map<PublishedFileId, std::pair<std::uint64_t, std::uint64_t>> itemProgress;
    std::set<PublishedFileId> refusedDownloads;                   // DownloadItem returns false
    std::vector<std::pair<PublishedFileId, bool>> downloadItems;  // DownloadItem calls: item, high priority

private:
    SteamAPICall NextCall();

    CCallDispatcher m_dispatcher;
    SteamAPICall m_fresh = 1000;
};

// Records of the three kinds.
SubscriptionPage EnumerateResult(const std::vector<PublishedFileId>& ids, std::int32_t eResult = kResultOk);
PublishedFileDetails DetailsResult(PublishedFileId id, UGCHandle content, const std::string& name,
                                   std::uint32_t timeUpdated, std::int32_t size, std::int32_t eResult = kResultOk);
DownloadedContent DownloadResult(UGCHandle content, const std::string& name, std::int32_t size,
                                 std::int32_t eResult = kResultOk);

}  // namespace gh::test
