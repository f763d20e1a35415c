// The Workshop service as the sync and the install reach it. Backends: the
// Steam client library, a local Workshop folder, scripted fakes in tests.
// Everything runs on one thread. Asynchronous calls return a call handle;
// their records reach CCallResult objects bound to CallResults(), and only
// from inside RunCallbacks().
#pragma once

#include "platform/Status.h"
#include "workshop/CallDispatcher.h"
#include "workshop/WorkshopRecords.h"

#include <cstdint>
#include <string>

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

    // Where this client's call results register.
    virtual CCallDispatcher& CallResults() = 0;
};

}  // namespace gh
