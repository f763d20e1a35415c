// A Workshop served from a local folder that holds "workshop.json" (see
// WorkshopManifest.h) and the content files and item folders it names: for
// the demo, the command line's --workshop and end-to-end tests. It answers
// like the service, through both of its interfaces, with simulated latency,
// bandwidth, paging and failures.
#pragma once

#include "platform/InputFile.h"
#include "workshop/CallDispatcher.h"
#include "workshop/WorkshopClient.h"
#include "workshop/WorkshopManifest.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace gh {

class CLocalWorkshop final : public IWorkshopClient {
public:
    // Milliseconds on a monotonic scale; platform::MonotonicMilliseconds unless a test gives its own.
    using Clock = std::function<std::int64_t()>;

    explicit CLocalWorkshop(std::wstring folder, Clock clock = {});

    // Reads the manifest. Fails, with a message that names the folder or
    // the manifest and the fault, when the folder or the manifest is
    // missing, cannot be read, is larger than 4 MiB or is malformed.
    Status Init() override;
    void Shutdown() override;
    // Delivers every result whose time has come, earliest first; results
    // due at the same time in the order they were requested.
    void RunCallbacks() override;

    bool IsLoggedOn() override;  // the manifest's loggedOn
    bool HasRemoteStorage() override;

    // Results come after the manifest's latencyMs (an item's own latencyMs
    // for its details and download). A download takes its size divided by
    // bytesPerSecond on top. Pages hold pageSize items of those listed by
    // remote storage, with the manifest's paging faults.
    SteamAPICall EnumerateUserSubscribedFiles(std::uint32_t startIndex) override;
    SteamAPICall GetPublishedFileDetails(PublishedFileId file) override;
    SteamAPICall UGCDownload(UGCHandle content, std::uint32_t priority) override;
    // Counts grow with the time since the transfer began; false for content never requested.
    bool GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) override;
    // Reads the content file in place, once its download result was delivered.
    std::int32_t UGCRead(UGCHandle content, void* buffer, std::int32_t size, std::uint32_t offset) override;
    CCallDispatcher& CallResults() override { return m_dispatcher; }

    // The item interface: always there. Items the manifest names
    // "downloading" finish their download on their own, as from Init.
    bool HasItemInterface() override { return m_initialized; }
    std::uint32_t AppId() override { return m_manifest.appId; }
    // The items listed by "ugc" that are not disabled.
    std::vector<PublishedFileId> GetSubscribedItems(std::uint32_t maxCount) override;
    std::uint32_t GetItemState(PublishedFileId file) override;
    // The item's folder in the Workshop folder, and its timeUpdated (else
    // the folder's modification time).
    Result<ItemInstallInfo> GetItemInstallInfo(PublishedFileId file) override;
    bool GetItemDownloadInfo(PublishedFileId file, std::uint64_t* downloaded, std::uint64_t* total) override;
    bool DownloadItem(PublishedFileId file, bool highPriority) override;

    const WorkshopManifest& Manifest() const { return m_manifest; }
    // The content handle of the item at `index` in the manifest (after Init).
    UGCHandle ContentHandleOf(std::size_t index) const { return m_itemHandles.at(index); }

private:
    struct Content {
        std::wstring path;     // empty when no item with this handle names content
        std::string fileName;  // the name the download result reports
        bool failDownload = false;
    };
    struct Transfer {
        std::int64_t start = 0;  // when bytes begin to flow
        std::int64_t durationMs = 0;
        std::uint64_t size = 0;
    };
    struct Pending {
        std::int64_t due = 0;
        std::uint64_t order = 0;
        SteamAPICall call = kInvalidCall;  // none for a broadcast
        CallResultRecord record;
        std::optional<UGCHandle> completes;   // content readable once delivered
        std::optional<std::size_t> installs;  // an item installed once delivered
    };

    std::int64_t Now() const;
    std::int64_t LatencyOf(const WorkshopItem* item) const;
    SteamAPICall Schedule(std::int64_t delayMs, CallResultRecord record, std::optional<UGCHandle> completes = {});
    void ScheduleItemDownload(std::size_t index);
    std::int64_t TransferMs(std::uint64_t size) const;
    const WorkshopItem* FindItem(PublishedFileId file) const;
    const WorkshopItem* FirstItemWith(UGCHandle content) const;
    std::wstring PathOf(const std::string& name) const;
    // The content file's size, if it can be opened and fits the records.
    std::optional<std::int32_t> ContentSize(const std::wstring& path) const;
    static std::int64_t BytesProgress(const Transfer& transfer, std::int64_t now);

    std::wstring m_folder;  // with a trailing separator
    Clock m_clock;
    bool m_initialized = false;
    WorkshopManifest m_manifest;
    std::vector<UGCHandle> m_itemHandles;
    std::unordered_map<PublishedFileId, std::size_t> m_itemIndex;  // the first item of each id
    std::unordered_map<UGCHandle, std::size_t> m_handleIndex;      // the first item of each content
    std::vector<std::uint32_t> m_itemStates;                       // kItem* flags, as downloads change them
    std::map<std::size_t, Transfer> m_itemTransfers;               // by item
    std::map<UGCHandle, Content> m_contents;
    std::map<UGCHandle, Transfer> m_transfers;
    std::set<UGCHandle> m_completed;
    std::map<std::pair<std::int64_t, std::uint64_t>, Pending> m_pending;  // by due time, then request order
    SteamAPICall m_nextCall = 1;
    std::uint64_t m_nextOrder = 0;
    CCallDispatcher m_dispatcher;

    UGCHandle m_openContent = kInvalidUGCHandle;
    platform::CInputFile m_openFile;
    std::uint64_t m_openSize = 0;
};

}  // namespace gh
