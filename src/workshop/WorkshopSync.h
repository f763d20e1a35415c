// The subscription sync: lists the player's subscribed Workshop files, asks
// for each file's details, downloads every file that is missing below the
// documents game folder or older there than on the Workshop, installs it,
// and reports each step through the view. Driven by results that the
// client delivers inside Pump() (or the owner's own RunCallbacks call).
//
// Each subscription ends with one last word: up to date, updated, not
// written, or timed out (its details or its download). The sync settles once
// every subscription listed has its last word, and then shows one final line
// ("All subscriptions up to date!" only when none failed) and gives back the
// play-with-mods button. A failed list request ends it at once. Once it has
// ended, nothing outstanding is waited for, installed or shown.
#pragma once

#include "game/GameFolders.h"
#include "platform/FolderListing.h"
#include "workshop/CallResult.h"
#include "workshop/SyncView.h"
#include "workshop/WorkshopClient.h"
#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopRecords.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gh {

// One Workshop file being downloaded.
struct CDownloadingFileData {
    UGCHandle contentHandle = 0;       // matches a download result's contentHandle
    std::int32_t bytesDownloaded = 0;  // largest count reported so far, never above bytesExpected
    std::int32_t bytesExpected = 0;    // the details' fileSize, raised when the client reports more
    bool finished = false;             // its download result was handled (or its download failed)
    std::wstring fileName;             // the Workshop name as wide text, folder part included
    std::string workshopName;          // the same, as the Workshop's 8-bit text
    std::size_t subscription = 0;      // its place in the subscription list
};

// How a sync went, for a caller that must tell (the terminal's exit status).
enum class SyncOutcome {
    Unsettled,  // nothing failed, but not every subscription was settled (yet)
    UpToDate,   // every subscription is up to date on disk, or there are none
    Failed,     // no user was logged on, or a request or an install failed
                // (the sync may still be running: some failed already)
};

class CWorkshopSync {
public:
    // Pacing of the progress refresh, in 100-nanosecond units (0.2 seconds).
    static constexpr std::int64_t kProgressInterval = 2'000'000;

    // `client`, `view` and `folders` must outlive the sync.
    CWorkshopSync(IWorkshopClient& client, ISyncView& view, const CGameFolders& folders);
    // Unregisters every call not answered yet: downloads, then details,
    // then the subscription list.
    ~CWorkshopSync();
    CWorkshopSync(const CWorkshopSync&) = delete;
    CWorkshopSync& operator=(const CWorkshopSync&) = delete;

    // Checks that a user is logged on and remote storage is there, then
    // requests the subscription list. True when it was requested (the
    // caller then disables play-with-mods until the sync ends).
    bool StartSync();

    // Refreshes the download counts, the bar and the rotating per-file line.
    void UpdateDownloadProgress();

    // The paced refresh: while files are pending, at most once per
    // kProgressInterval of `nowFileTime` (100 ns units since 1601, as
    // platform::SystemTimeAsFileTime gives it).
    void PaceProgress(std::int64_t nowFileTime);

    // One turn of the owner's loop: the client's RunCallbacks, then PaceProgress.
    void Pump(std::int64_t nowFileTime);

    // Some request of this sync is registered and not answered yet. A
    // request whose handle was 0 is never answered and does not count.
    bool HasPendingRequests() const;

    // Ended: the play-with-mods button was given back, by success or failure.
    bool IsFinished() const { return m_syncFinished; }
    SyncOutcome Outcome() const;
    int PendingCount() const { return m_pendingCount; }
    const std::vector<CDownloadingFileData>& Downloads() const { return m_downloads; }

private:
    using EnumerateCall = CCallResult<SubscriptionPage>;
    using DetailsCall = CCallResult<PublishedFileDetails>;
    using DownloadCall = CCallResult<DownloadedContent>;

    // Where a subscription stands.
    enum class Step { AwaitingDetails, Downloading, Settled };

    // Result handlers, each bound to the subscription or the download record
    // its request was made for.
    void OnEnumerateUserSubscribedFiles(const SubscriptionPage* result, bool ioFailure);
    void OnGetPublishedFileDetails(std::size_t subscription, const PublishedFileDetails* result, bool ioFailure);
    void OnDownloadUGC(std::size_t record, const DownloadedContent* result, bool ioFailure);

    void Report(SyncEventKind kind, std::string fileName = {});
    // The subscription has its last word; a failure makes the outcome one.
    void Settle(std::size_t subscription, bool failed);
    // Once every subscription is settled: the final line, the bar filled, the end.
    void FinishWhenSettled();
    // Gives play-with-mods back and stops waiting for anything outstanding.
    void EndSync();

    IWorkshopClient& m_client;
    ISyncView& m_view;
    const CGameFolders& m_folders;

    EnumerateCall m_enumerateCall;
    std::vector<std::unique_ptr<DetailsCall>> m_detailsCalls;    // in request order
    std::vector<std::unique_ptr<DownloadCall>> m_downloadCalls;  // in request order
    std::vector<CDownloadingFileData> m_downloads;               // in request order
    std::vector<Step> m_steps;                                   // one per subscription, in list order

    std::int64_t m_lastProgressTime = 0;
    std::int32_t m_progressTick = -10;  // the first ten refreshes show no per-file line
    std::int32_t m_pendingCount = 0;    // subscriptions not settled yet
    bool m_syncFinished = false;
    bool m_settled = false;  // every subscription has its last word, or there were none
    bool m_failed = false;   // some step failed, so the outcome is a failure
    CStaleFileSweeper m_sweeper;
    // From the start to the end of the sync: each folder is listed once and
    // each file looked at once at most, however many files share a folder.
    std::optional<platform::CFolderSnapshot> m_snapshot;
};

}  // namespace gh
