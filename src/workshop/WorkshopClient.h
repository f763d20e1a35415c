// The Workshop service as the sync and the install reach it. Backends: the
// Steam client library, a local Workshop folder, scripted fakes in tests.
// Everything runs on one thread. Asynchronous calls return a call handle;
// their records reach CCallResult objects bound to CallResults(), and
// broadcasts (an item download's result) reach CCallback objects listening
// there, only from inside RunCallbacks().
//
// Two ways to an item: the remote-storage calls, which list subscriptions
// page by page and fetch items that are one file through a content handle;
// and the item interface, which lists subscriptions at once and keeps each
// item in a folder of its own on this machine. A backend may lack the
// second (HasItemInterface).
#pragma once

#include "platform/Status.h"
#include "workshop/CallDispatcher.h"
#include "workshop/WorkshopRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gh {

class IWorkshopClient {
public:
    virtual ~IWorkshopClient() = default;

    // Starts the client; on failure the status says why (for the player).
    virtual Status Init() = 0;
    // Stops the client. Calls not answered yet are never answered.
    virtual void Shutdown() = 0;
    // Delivers the records of finished calls to their call results.
    virtual void RunCallbacks() = 0;

    // A user is present and logged on.
    virtual bool IsLoggedOn() = 0;
    // The remote-storage calls below are available.
    virtual bool HasRemoteStorage() = 0;

    // Asynchronous; 0 when the call was not made (it is never answered).
    // Record: SubscriptionPage, at most 50 ids from `startIndex`.
    virtual SteamAPICall EnumerateUserSubscribedFiles(std::uint32_t startIndex) = 0;
    // Record: PublishedFileDetails.
    virtual SteamAPICall GetPublishedFileDetails(PublishedFileId file) = 0;
    // Record: DownloadedContent.
    virtual SteamAPICall UGCDownload(UGCHandle content, std::uint32_t priority) = 0;

    // Byte counts of a download; false (and nothing written) when the
    // client knows of no download of `content`.
    virtual bool GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) = 0;
    // Copies up to `size` bytes of downloaded content from `offset`;
    // returns the count copied (0 when nothing can be read).
    virtual std::int32_t UGCRead(UGCHandle content, void* buffer, std::int32_t size, std::uint32_t offset) = 0;

    // The item interface: true when every call below is available (for the
    // Steam client: a library with its own accessor for the interface and
    // manual dispatch, so that item download results can be received).
    virtual bool HasItemInterface() = 0;
    // The app this client runs for; item download results of other apps are
    // not this program's.
    virtual std::uint32_t AppId() = 0;
    // The subscribed items, at most `maxCount`, without those the player
    // disabled in Steam where the client can leave them out.
    virtual std::vector<PublishedFileId> GetSubscribedItems(std::uint32_t maxCount) = 0;
    // The kItem* flags of `file` (0 for an item the client does not know).
    virtual std::uint32_t GetItemState(PublishedFileId file) = 0;
    // Where the installed `file` lives; a failure says why there is no
    // usable answer (not installed, a folder name longer than this program
    // takes).
    virtual Result<ItemInstallInfo> GetItemInstallInfo(PublishedFileId file) = 0;
    // Byte counts of an item's download; false (and nothing written) when
    // the client reports none.
    virtual bool GetItemDownloadInfo(PublishedFileId file, std::uint64_t* downloaded, std::uint64_t* total) = 0;
    // Starts (or queues) the download of `file`; its end is broadcast as an
    // ItemDownloadResult. False when the client refused to start it (no
    // result will come).
    virtual bool DownloadItem(PublishedFileId file, bool highPriority) = 0;

    // Where this client's call results register.
    virtual CCallDispatcher& CallResults() = 0;
};

}  // namespace gh
