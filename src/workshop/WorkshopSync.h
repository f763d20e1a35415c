// The subscription sync: lists the player's subscribed Workshop items, page
// by page, and brings each up to date below the documents game folder, by
// one of two routes, and reports each step through the view. Driven by
// results that the client delivers inside Pump() (or the owner's own
// RunCallbacks call); copies from item folders are made in Pump().
//
// - Items that are one file (all items when the client has no item
//   interface; otherwise those it flags as legacy): a details request each,
//   and a download of every file that is missing below the documents game
//   folder or older there than on the Workshop, installed under its
//   Workshop name.
// - Items that live in folders (every other item): copied from the folder
//   the client keeps them in to mods/workshop-items/<id>/, once the client
//   has them installed and current; otherwise the client is asked to
//   download them first. Items the player disabled in Steam are left alone.
//
// The list is the union of the remote-storage pages and the item
// interface's own list. Pages are asked for until the total the first page
// gives is reached, up to kMaxSubscriptions; a page that fails, or that
// brings no new id before the total is reached, ends the listing as a
// failure, and the subscriptions seen are still handled.
//
// Each subscription ends with one last word: up to date, updated, not
// written, disabled, or timed out (its details or its download). The sync
// settles once the listing has ended and every subscription seen has its
// last word, and then shows one final line ("All subscriptions up to date!"
// only when nothing failed) and gives back the play-with-mods button. A
// first page that fails with nothing else to handle ends it at once. Once
// it has ended, nothing outstanding is waited for, installed or shown.
//
// The sync keeps the Workshop record (WorkshopRecordFile.h): it reads it
// when it starts, and writes what it installed, and the subscriptions it
// found up to date that the record did not know, at most once a second
// (from Pump()) and once when it ends, each time under the record's lock
// (another sync or command waits for it, and a note says so) and into the
// record as it stands on disk then, so that two syncs at once keep both
// their entries. A sync that changes nothing writes nothing. A record that
// cannot be read, locked or written is told in a note and never stops the
// sync.
//
// A subscription the record holds is not updated: where it would be
// downloaded, its line says it is held, it settles without failing, and the
// record notes the later version as waiting.
#pragma once

#include "game/GameFolders.h"
#include "platform/FolderListing.h"
#include "workshop/CallResult.h"
#include "workshop/SyncView.h"
#include "workshop/WorkshopClient.h"
#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopRecordFile.h"
#include "workshop/WorkshopRecords.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace gh {

// One Workshop file, or item that lives in a folder, being downloaded.
struct CDownloadingFileData {
    UGCHandle contentHandle = 0;       // matches a download result's contentHandle (a file)
    std::int64_t bytesDownloaded = 0;  // largest count reported so far, never above bytesExpected
    std::int64_t bytesExpected = 0;    // the details' fileSize, raised when the client reports more
    bool finished = false;             // its download result was handled (or its download failed)
    std::wstring fileName;             // the Workshop name as wide text, folder part included
    std::string workshopName;          // the same, as the Workshop's 8-bit text
    std::size_t subscription = 0;      // its place in the subscription list
    bool itemFolder = false;           // an item that lives in a folder: counted by GetItemDownloadInfo
};

// A mod file's identity and version, as its header gives them.
struct ModIdentity {
    std::int64_t guid = 0;
    std::uint32_t version = 0;
};
// Reads the identity of the file at a path the sync wrote: none for a file
// that is not a mod file or cannot be read. The Workshop layer reads no
// headers itself; the layer above hands it the catalogue's reader.
using ModIdentityReader = std::function<std::optional<ModIdentity>(const std::wstring& file)>;

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
    // The most subscriptions one sync handles, whatever the client claims.
    static constexpr std::size_t kMaxSubscriptions = 10'000;
    // Copies from item folders go on in one Pump() for at most this long
    // (and at least one item), so that the owner's window stays responsive.
    static constexpr std::int64_t kCopyBudgetMs = 50;
    // The record is written at most this often while the sync runs.
    static constexpr std::int64_t kRecordWriteIntervalMs = 1000;

    // `client`, `view` and `folders` must outlive the sync.
    CWorkshopSync(IWorkshopClient& client, ISyncView& view, const CGameFolders& folders);
    // Unregisters every call not answered yet: downloads, then details,
    // then the subscription list; writes what the record still lacks.
    ~CWorkshopSync();
    CWorkshopSync(const CWorkshopSync&) = delete;
    CWorkshopSync& operator=(const CWorkshopSync&) = delete;

    // The record then keeps, for each mod file a subscription has, its
    // identity and version as `reader` reads them.
    void SetModIdentityReader(ModIdentityReader reader) { m_modReader = std::move(reader); }

    // Checks that a user is logged on and remote storage is there, takes
    // the item interface's list where there is one, then requests the
    // first page of the subscription list. True when it was requested (the
    // caller then disables play-with-mods until the sync ends). Reads the
    // record first, waiting while another sync writes it.
    bool StartSync();

    // Refreshes the download counts, the bar and the rotating per-file line.
    void UpdateDownloadProgress();

    // The paced refresh: while files are pending, at most once per
    // kProgressInterval of `nowFileTime` (100 ns units since 1601, as
    // platform::SystemTimeAsFileTime gives it).
    void PaceProgress(std::int64_t nowFileTime);

    // One turn of the owner's loop: the client's RunCallbacks, the copies
    // from item folders that are due (for up to kCopyBudgetMs), the
    // record's write when one is due, then PaceProgress.
    void Pump(std::int64_t nowFileTime);

    // Some request of this sync is registered and not answered yet, an item
    // download's result is awaited, or a copy waits for the next Pump(). A
    // request whose handle was 0 is never answered and does not count.
    bool HasPendingRequests() const;

    // Ended: the play-with-mods button was given back, by success or failure.
    bool IsFinished() const { return m_syncFinished; }
    SyncOutcome Outcome() const;
    int PendingCount() const { return m_pendingCount; }
    // Subscriptions seen so far, in list order.
    std::size_t SubscriptionCount() const { return m_subscriptions.size(); }
    const std::vector<CDownloadingFileData>& Downloads() const { return m_downloads; }
    // The record as the sync holds it (what it read, with its changes).
    const WorkshopRecord& Record() const { return m_record; }

private:
    using EnumerateCall = CCallResult<SubscriptionPage>;
    using DetailsCall = CCallResult<PublishedFileDetails>;
    using DownloadCall = CCallResult<DownloadedContent>;
    using ItemResults = CCallback<ItemDownloadResult>;

    static constexpr std::size_t kNoDownload = static_cast<std::size_t>(-1);

    // Where a subscription stands.
    enum class Step {
        AwaitingDetails,  // a single file (or a disabled one's name): its details are asked for
        Downloading,      // a single file: its content is downloaded
        AwaitingItem,     // an item in a folder: its download's result is awaited
        Copying,          // an item in a folder: its copy waits for the next Pump()
        Settled,
    };
    struct Subscription {
        PublishedFileId id = 0;
        Step step = Step::AwaitingDetails;
        bool disabled = false;  // a single file the player disabled in Steam
        std::size_t download = kNoDownload;
        std::int64_t workshopTime = 0;  // the Workshop's time of its version
    };

    // Result handlers, each bound to the subscription or the download record
    // its request was made for.
    void OnEnumerateUserSubscribedFiles(const SubscriptionPage* result, bool ioFailure);
    void OnGetPublishedFileDetails(std::size_t subscription, const PublishedFileDetails* result, bool ioFailure);
    void OnDownloadUGC(std::size_t record, const DownloadedContent* result, bool ioFailure);
    void OnItemDownloaded(const ItemDownloadResult& result);

    void RequestPage(std::uint32_t startIndex);
    // Adds `id` unless it was seen or the list is full; starts its route.
    void AddSubscription(PublishedFileId id);
    void RequestDetails(std::size_t subscription);
    void StartItemFolder(std::size_t subscription, std::uint32_t state);
    void CopyDueItems();
    void CopyItem(std::size_t subscription);

    void Report(SyncEventKind kind, std::string fileName = {});
    // The subscription has its last word; a failure makes the outcome one.
    void Settle(std::size_t subscription, bool failed);
    // Once the listing has ended and every subscription is settled: the
    // final line, the bar filled, the end.
    void FinishWhenSettled();
    // Gives play-with-mods back and stops waiting for anything outstanding.
    void EndSync();

    // The record: what a subscription's files are now, after an install
    // (`installed`) or when found up to date.
    void RecordFiles(std::size_t subscription, SubscriptionRoute route, const std::vector<std::wstring>& files,
                     bool installed);
    // Writes the record when it changed, and (unless `force`) the last write
    // is kRecordWriteIntervalMs old.
    void SaveRecord(bool force);
    // Keeps `files`, the subscription's current files, in its history
    // before they are replaced (WorkshopHistory.h).
    Status KeepCurrentFiles(std::size_t subscription, const std::vector<std::wstring>& files);
    // The item's files that its update no longer has leave mods/: they are
    // in the history entry kept for the update.
    void RemoveFilesNotIn(const std::wstring& itemFolder, const std::vector<std::wstring>& targets);
    void NoteRecordChanged(PublishedFileId id);
    // The record's subscription is among the subscriptions again.
    void Resubscribed(RecordedSubscription& recorded);
    // Once the whole list was read: the record's subscriptions it lacks are
    // marked no longer subscribed (their files stay) and noted as gone.
    void MarkGoneSubscriptions();
    // Whether the record holds the subscription at its installed version.
    bool IsHeld(std::size_t subscription) const;
    // A held subscription has a later version on the Workshop.
    void NoteUpdateWaiting(std::size_t subscription, std::int64_t workshopTime);
    // Notes, each told once per sync.
    void NoteWaitingForRecord();
    void NoteRecordFailure(const std::wstring& note);
    // The path of a file below the documents game folder as the record names it.
    std::string RecordPathOf(const std::wstring& file) const;

    IWorkshopClient& m_client;
    ISyncView& m_view;
    const CGameFolders& m_folders;

    EnumerateCall m_enumerateCall;
    std::vector<std::unique_ptr<DetailsCall>> m_detailsCalls;    // in request order
    std::vector<std::unique_ptr<DownloadCall>> m_downloadCalls;  // in request order
    std::vector<CDownloadingFileData> m_downloads;               // in request order
    std::vector<Subscription> m_subscriptions;                   // in list order
    std::unordered_map<PublishedFileId, std::size_t> m_byId;     // -> place in m_subscriptions

    // The listing.
    bool m_listing = false;   // a page is awaited
    bool m_pageSeen = false;  // the first page has arrived (or failed)
    std::uint32_t m_nextStart = 0;
    std::int64_t m_listTotal = 0;                 // the first page's total
    std::unordered_set<PublishedFileId> m_paged;  // the ids the pages brought
    bool m_cut = false;                           // more subscriptions than kMaxSubscriptions
    bool m_listComplete = false;                  // every page of the list was read

    // The item interface, where the client has it.
    bool m_itemInterface = false;
    std::uint32_t m_appId = 0;
    std::vector<PublishedFileId> m_itemList;  // its list, until the first page
    std::optional<ItemResults> m_itemResults;
    std::size_t m_itemsAwaited = 0;       // subscriptions in Step::AwaitingItem
    std::deque<std::size_t> m_copyQueue;  // subscriptions in Step::Copying, in order

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

    CWorkshopRecordFile m_recordFile;
    ModIdentityReader m_modReader;
    WorkshopRecord m_record;
    std::set<PublishedFileId> m_recordChanged;  // subscriptions changed since the last write
    bool m_recordDirty = false;                 // changed since it was last written
    bool m_recordFailed = false;                // a read or write failed (told once)
    bool m_recordWaitNoted = false;             // the wait for another sync was told
    std::int64_t m_lastRecordWrite = 0;
};

}  // namespace gh
