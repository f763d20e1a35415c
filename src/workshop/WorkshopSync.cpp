#include "workshop/WorkshopSync.h"

#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/Clock.h"
#include "platform/FileLinks.h"
#include "platform/FileSystem.h"
#include "platform/Unicode.h"
#include "workshop/WorkshopHistory.h"
#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopItemCopy.h"
#include "workshop/WorkshopNames.h"
#include "workshop/WorkshopText.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace gh {

namespace {

template <class T>
bool Failed(const T* result, bool ioFailure) {
    return result == nullptr || ioFailure || result->result != kResultOk;
}

}  // namespace

CWorkshopSync::CWorkshopSync(IWorkshopClient& client, ISyncView& view, const CGameFolders& folders)
    : m_client(client),
      m_view(view),
      m_folders(folders),
      m_enumerateCall(client.CallResults()),
      m_recordFile(folders.GetUserGameFolder()) {}

CWorkshopSync::~CWorkshopSync() {
    // A sync ended early (a time-out, a window closed) keeps what it did.
    SaveRecord(true);
    m_itemResults.reset();
    m_downloadCalls.clear();
    m_detailsCalls.clear();
    m_downloads.clear();
    m_enumerateCall.Cancel();
}

void CWorkshopSync::Report(SyncEventKind kind, std::string fileName) {
    SyncEvent event;
    event.kind = kind;
    event.fileName = std::move(fileName);
    m_view.OnSyncEvent(event);
}

bool CWorkshopSync::StartSync() {
    if (!m_client.IsLoggedOn() || !m_client.HasRemoteStorage()) {
        m_failed = true;
        Report(SyncEventKind::LoggedOff);
        return false;
    }
    Report(SyncEventKind::WaitingForList);
    if (const Status locked = m_recordFile.Lock([this] { NoteWaitingForRecord(); }); locked) {
        std::vector<std::wstring> notes;
        m_record = m_recordFile.Load(notes);
        m_recordFile.Unlock();
        for (const std::wstring& note : notes) m_view.OnSyncNote(note);
    } else {
        NoteRecordFailure(L"The Workshop record could not be read (" + locked.Text() + L").");
    }
    m_lastRecordWrite = platform::MonotonicMilliseconds();
    m_snapshot.emplace();
    if (m_client.HasItemInterface()) {
        m_itemInterface = true;
        m_appId = m_client.AppId();
        m_itemList = m_client.GetSubscribedItems(static_cast<std::uint32_t>(kMaxSubscriptions));
        if (m_itemList.size() > kMaxSubscriptions) m_itemList.resize(kMaxSubscriptions);
        m_itemResults.emplace(m_client.CallResults(),
                              [this](const ItemDownloadResult& result) { OnItemDownloaded(result); });
    }
    RequestPage(0);
    return true;
}

void CWorkshopSync::RequestPage(std::uint32_t startIndex) {
    m_listing = true;
    m_enumerateCall.Set(m_client.EnumerateUserSubscribedFiles(startIndex), this,
                        &CWorkshopSync::OnEnumerateUserSubscribedFiles);
}

void CWorkshopSync::OnEnumerateUserSubscribedFiles(const SubscriptionPage* result, bool ioFailure) {
    if (m_syncFinished) return;
    const bool first = !m_pageSeen;
    m_pageSeen = true;
    m_listing = false;
    std::vector<PublishedFileId> itemList = first ? std::move(m_itemList) : std::vector<PublishedFileId>();
    m_itemList.clear();
    if (Failed(result, ioFailure)) {
        m_failed = true;
        Report(SyncEventKind::ListFailed);
        // The item interface's list was seen all the same; without it
        // nothing is waited for.
        if (itemList.empty()) {
            if (first) EndSync();
            FinishWhenSettled();
            return;
        }
        m_view.SetProgressRange(0, static_cast<int>(itemList.size()));
        for (PublishedFileId id : itemList) AddSubscription(id);
        FinishWhenSettled();
        return;
    }
    // The id list holds 50 entries whatever count a client claims.
    const int count = std::clamp(result->resultsReturned, 0, kEnumerateMaxResults);
    const PublishedFileId* ids = result->fileIds;
    if (first) {
        m_listTotal = std::max<std::int64_t>(result->totalCount, count);
        // The total: what the first page says, or as many as both lists
        // are known to hold together, whichever is more.
        std::unordered_set<PublishedFileId> known(ids, ids + count);
        known.insert(itemList.begin(), itemList.end());
        const std::int64_t total = std::max<std::int64_t>(m_listTotal, static_cast<std::int64_t>(known.size()));
        if (total == 0) {
            m_view.SetProgressRange(0, 1);
            m_view.SetProgressPos(1);
            m_listComplete = true;
            MarkGoneSubscriptions();
            EndSync();
            m_settled = true;
            Report(SyncEventKind::NoSubscriptions);
            return;
        }
        SyncEvent received;
        received.kind = SyncEventKind::ListReceived;
        received.count = static_cast<int>(std::min<std::int64_t>(total, std::numeric_limits<int>::max()));
        m_view.SetProgressRange(0, static_cast<int>(std::min<std::int64_t>(total, kMaxSubscriptions)));
        m_view.OnSyncEvent(received);
    }
    std::size_t fresh = 0;
    for (int i = 0; i < count; ++i) {
        if (!m_paged.insert(ids[i]).second) continue;
        ++fresh;
        AddSubscription(ids[i]);
    }
    for (PublishedFileId id : itemList) AddSubscription(id);

    // The next page starts where this one ended; the listing ends at the
    // total, at a page that brings nothing new, or when the list is full.
    m_nextStart += static_cast<std::uint32_t>(count);
    const bool complete = static_cast<std::int64_t>(m_paged.size()) >= m_listTotal;
    m_listComplete = complete && !m_cut;
    if (!complete && m_subscriptions.size() >= kMaxSubscriptions) m_cut = true;
    if (m_cut) {
        m_failed = true;
        SyncEvent cut;
        cut.kind = SyncEventKind::ListCut;
        cut.count = static_cast<int>(kMaxSubscriptions);
        m_view.OnSyncEvent(cut);
    } else if (!complete && fresh == 0) {
        m_failed = true;
        Report(SyncEventKind::ListFailed);
    } else if (!complete) {
        RequestPage(m_nextStart);
    }
    FinishWhenSettled();
}

void CWorkshopSync::AddSubscription(PublishedFileId id) {
    if (m_byId.count(id)) return;  // in both lists, or on two pages
    if (m_subscriptions.size() >= kMaxSubscriptions) {
        m_cut = true;
        return;
    }
    const std::size_t index = m_subscriptions.size();
    m_subscriptions.push_back(Subscription{id});
    m_byId.emplace(id, index);
    ++m_pendingCount;
    if (!m_itemInterface) {
        RequestDetails(index);
        return;
    }
    const std::uint32_t state = m_client.GetItemState(id);
    if (state & kItemLegacy) {
        m_subscriptions[index].disabled = (state & kItemDisabledLocally) != 0;
        RequestDetails(index);
        return;
    }
    StartItemFolder(index, state);
}

void CWorkshopSync::RequestDetails(std::size_t subscription) {
    m_detailsCalls.push_back(std::make_unique<DetailsCall>(m_client.CallResults()));
    m_detailsCalls.back()->Set(m_client.GetPublishedFileDetails(m_subscriptions[subscription].id),
                               [this, subscription](const PublishedFileDetails* details, bool failed) {
                                   OnGetPublishedFileDetails(subscription, details, failed);
                               });
}

void CWorkshopSync::StartItemFolder(std::size_t subscription, std::uint32_t state) {
    Subscription& item = m_subscriptions[subscription];
    const std::string name = ItemFolderName(item.id);
    if (state & kItemDisabledLocally) {
        Settle(subscription, false);
        Report(SyncEventKind::Disabled, name);
        return;
    }
    const bool busy = (state & (kItemDownloading | kItemDownloadPending)) != 0;
    if (IsHeld(subscription)) {
        // Nothing is downloaded or copied for it; a later version is noted
        // as waiting.
        const RecordedSubscription& recorded = m_record.subscriptions.at(item.id);
        std::int64_t later = 0;
        if (state & (kItemNeedsUpdate | kItemDownloading | kItemDownloadPending)) later = recorded.workshopTime + 1;
        if (const Result<ItemInstallInfo> install = m_client.GetItemInstallInfo(item.id);
            install && static_cast<std::int64_t>(install->timeStamp) > recorded.workshopTime)
            later = static_cast<std::int64_t>(install->timeStamp);
        Settle(subscription, false);
        Report(later ? SyncEventKind::Held : SyncEventKind::UpToDate, name);
        if (later) NoteUpdateWaiting(subscription, later);
        return;
    }
    if ((state & kItemInstalled) && !(state & kItemNeedsUpdate) && !busy) {
        item.step = Step::Copying;
        m_copyQueue.push_back(subscription);
        return;
    }
    // A download the client is making already is not asked for again: its
    // result is awaited all the same. High priority would pause the
    // client's other downloads, item after item.
    if (!busy && !m_client.DownloadItem(item.id, false)) {
        Settle(subscription, true);
        Report(SyncEventKind::DownloadFailed, name);
        return;
    }
    CDownloadingFileData download;
    download.fileName = AnsiToWide(name);
    download.workshopName = name;
    download.subscription = subscription;
    download.itemFolder = true;
    item.download = m_downloads.size();
    m_downloads.push_back(std::move(download));
    item.step = Step::AwaitingItem;
    ++m_itemsAwaited;
    SyncEvent event;
    event.kind = SyncEventKind::Downloading;
    event.fileName = name;
    event.replacesLocalFile = platform::FileExists(m_folders.GetUserGameFolder() + AnsiToWide(name));
    m_view.OnSyncEvent(event);
}

void CWorkshopSync::OnItemDownloaded(const ItemDownloadResult& result) {
    // Results for other apps, and for items this sync does not await, are
    // not its business.
    if (m_syncFinished || result.appId != m_appId) return;
    const auto found = m_byId.find(result.fileId);
    if (found == m_byId.end()) return;
    const std::size_t subscription = found->second;
    Subscription& item = m_subscriptions[subscription];
    if (item.step != Step::AwaitingItem) return;
    --m_itemsAwaited;
    CDownloadingFileData& download = m_downloads[item.download];
    download.finished = true;
    if (result.result != kResultOk) {
        Settle(subscription, true);
        Report(SyncEventKind::DownloadFailed, download.workshopName);
        FinishWhenSettled();
        return;
    }
    download.bytesDownloaded = download.bytesExpected;
    item.step = Step::Copying;
    m_copyQueue.push_back(subscription);
}

void CWorkshopSync::CopyDueItems() {
    if (m_copyQueue.empty()) return;
    const std::int64_t start = platform::MonotonicMilliseconds();
    while (!m_copyQueue.empty() && !m_syncFinished) {
        const std::size_t subscription = m_copyQueue.front();
        m_copyQueue.pop_front();
        CopyItem(subscription);
        if (platform::MonotonicMilliseconds() - start >= kCopyBudgetMs) break;
    }
    FinishWhenSettled();
}

void CWorkshopSync::CopyItem(std::size_t subscription) {
    const PublishedFileId id = m_subscriptions[subscription].id;
    const std::string name = ItemFolderName(id);
    SyncEvent event;
    event.fileName = name;
    std::vector<std::wstring> notes;
    bool failed = true;
    if (Result<ItemInstallInfo> install = m_client.GetItemInstallInfo(id); !install) {
        event.kind = SyncEventKind::CopyError;
        notes.push_back(ItemNotInstalledNote(name, install.Error().Text()));
    } else {
        m_subscriptions[subscription].workshopTime = static_cast<std::int64_t>(install->timeStamp);
        // The item's files as they are go to the history right before the
        // first of them is replaced.
        std::wstring itemFolder = m_folders.GetUserGameFolder() + AnsiToWide(name);
        itemFolder.pop_back();
        bool kept = false;
        const auto keep = [&]() -> Status {
            const std::vector<std::wstring> current = FilesBelow(itemFolder);
            if (current.empty()) return {};
            Status status = KeepCurrentFiles(subscription, current);
            kept = status.IsOk();
            return status;
        };
        ItemCopyReport report = CopyItemFolder(*install, id, m_folders.GetUserGameFolder(), &m_sweeper, keep);
        if (kept && report.outcome == ItemCopyReport::Outcome::Updated) RemoveFilesNotIn(itemFolder, report.targets);
        notes = std::move(report.notes);
        failed = report.outcome == ItemCopyReport::Outcome::Failed;
        if (!failed)
            RecordFiles(subscription, SubscriptionRoute::Folder, report.targets,
                        report.outcome == ItemCopyReport::Outcome::Updated);
        switch (report.outcome) {
            case ItemCopyReport::Outcome::UpToDate: event.kind = SyncEventKind::UpToDate; break;
            case ItemCopyReport::Outcome::Updated:
                event.kind = report.hasModFile ? SyncEventKind::Installed : SyncEventKind::InstalledWithoutModFile;
                break;
            case ItemCopyReport::Outcome::Failed: event.kind = SyncEventKind::CopyError; break;
        }
    }
    Settle(subscription, failed);
    m_view.OnSyncEvent(event);
    for (const std::wstring& note : notes) m_view.OnSyncNote(note);
    if (m_subscriptions[subscription].download != kNoDownload) UpdateDownloadProgress();
}

void CWorkshopSync::OnGetPublishedFileDetails(std::size_t subscription, const PublishedFileDetails* result,
                                              bool ioFailure) {
    if (m_syncFinished || m_subscriptions[subscription].step != Step::AwaitingDetails) return;
    if (m_subscriptions[subscription].disabled) {
        // Asked for its name only: an item the player disabled is left as it is.
        Settle(subscription, false);
        Report(SyncEventKind::Disabled, result ? FieldText(result->fileName) : std::string());
        FinishWhenSettled();
        return;
    }
    if (Failed(result, ioFailure)) {
        Settle(subscription, true);
        Report(SyncEventKind::DetailsFailed, result ? FieldText(result->fileName) : std::string());
        FinishWhenSettled();
        return;
    }
    const std::string name = FieldText(result->fileName);
    const std::wstring wideName = AnsiToWide(name);

    // A name that is refused is never looked up on disk; its install is
    // refused later.
    std::optional<std::int64_t> localTime;
    if (const auto local = WorkshopFilePath(m_folders.GetUserGameFolder(), wideName))
        localTime = platform::FileModificationTime(*local);

    const auto workshopTime = static_cast<std::int64_t>(result->timeUpdated);
    m_subscriptions[subscription].workshopTime = workshopTime;
    SyncEvent event;
    event.fileName = name;
    if (workshopTime > localTime.value_or(-1) && localTime && IsHeld(subscription)) {
        event.kind = SyncEventKind::Held;
        Settle(subscription, false);
        NoteUpdateWaiting(subscription, workshopTime);
    } else if (workshopTime > localTime.value_or(-1)) {
        const std::size_t record = m_downloads.size();
        CDownloadingFileData download;
        download.contentHandle = result->contentHandle;
        download.bytesExpected = std::max<std::int64_t>(result->fileSize, 0);
        download.fileName = wideName;
        download.workshopName = name;
        download.subscription = subscription;
        m_downloads.push_back(std::move(download));
        m_subscriptions[subscription].step = Step::Downloading;

        m_downloadCalls.push_back(std::make_unique<DownloadCall>(m_client.CallResults()));
        m_downloadCalls.back()->Set(m_client.UGCDownload(result->contentHandle, 1),
                                    [this, record](const DownloadedContent* downloaded, bool failed) {
                                        OnDownloadUGC(record, downloaded, failed);
                                    });
        event.kind = SyncEventKind::Downloading;
        event.replacesLocalFile = localTime.has_value();
    } else {
        event.kind = SyncEventKind::UpToDate;
        Settle(subscription, false);
        if (const auto local = WorkshopFilePath(m_folders.GetUserGameFolder(), wideName))
            RecordFiles(subscription, SubscriptionRoute::File, {*local}, false);
    }
    m_view.OnSyncEvent(event);
    FinishWhenSettled();
}

void CWorkshopSync::OnDownloadUGC(std::size_t record, const DownloadedContent* result, bool ioFailure) {
    // A record finished already was written from another result of its content.
    if (m_syncFinished || m_downloads[record].finished) return;
    if (Failed(result, ioFailure)) {
        CDownloadingFileData& download = m_downloads[record];
        download.finished = true;
        Settle(download.subscription, true);
        Report(SyncEventKind::DownloadFailed, result ? FieldText(result->fileName) : std::string());
        FinishWhenSettled();
        return;
    }
    // Every record of this content not finished yet gets its own file
    // written, under its own name; the content is read from the client once.
    // A file that is there goes to the history first; one that cannot be
    // kept is not replaced.
    std::vector<std::size_t> records;
    std::vector<std::string> names;
    std::vector<bool> kept;
    std::vector<std::pair<std::size_t, Status>> notKept;
    for (std::size_t i = 0; i < m_downloads.size(); ++i) {
        if (m_downloads[i].finished || m_downloads[i].contentHandle != result->contentHandle) continue;
        const auto local = WorkshopFilePath(m_folders.GetUserGameFolder(), m_downloads[i].fileName);
        const bool present = local && platform::KindAt(*local) == platform::PathKind::File;
        if (present) {
            if (Status status = KeepCurrentFiles(m_downloads[i].subscription, {*local}); !status) {
                notKept.emplace_back(i, std::move(status));
                continue;
            }
        }
        records.push_back(i);
        names.push_back(m_downloads[i].workshopName);
        kept.push_back(present);
    }
    const std::int64_t size = std::max<std::int64_t>(result->sizeInBytes, 0);
    for (const auto& [refused, status] : notKept) {
        CDownloadingFileData& download = m_downloads[refused];
        download.finished = true;
        Settle(download.subscription, true);
        Report(SyncEventKind::CopyError, download.workshopName);
        m_view.OnSyncNote(HistoryNotKeptNote(download.workshopName, status.Text()));
    }
    const std::vector<bool> written =
        names.empty() ? std::vector<bool>()
                      : InstallDownloadedFiles(m_client, *result, names, m_folders.GetUserGameFolder(), &m_sweeper);
    for (std::size_t k = 0; k < records.size(); ++k) {
        CDownloadingFileData& download = m_downloads[records[k]];
        download.finished = true;
        download.bytesDownloaded = size;
        download.bytesExpected = size;
        if (!written[k] && kept[k]) {
            // The old file stayed: the history entry kept for it would only repeat it.
            DropNewestHistoryEntry(m_recordFile, m_record.subscriptions[m_subscriptions[download.subscription].id]);
            NoteRecordChanged(m_subscriptions[download.subscription].id);
        }
        Settle(download.subscription, !written[k]);
        if (written[k])
            if (const auto local = WorkshopFilePath(m_folders.GetUserGameFolder(), download.fileName))
                RecordFiles(download.subscription, SubscriptionRoute::File, {*local}, true);
        SyncEvent event;
        event.kind = written[k] ? SyncEventKind::Installed : SyncEventKind::CopyError;
        event.fileName = download.workshopName;
        if (!written[k]) event.refusal = JudgeWorkshopName(download.fileName);
        m_view.OnSyncEvent(event);
        UpdateDownloadProgress();
    }
    // A result that brought other content than its request asked for leaves
    // that request's file without content: it failed.
    if (CDownloadingFileData& own = m_downloads[record]; !own.finished) {
        own.finished = true;
        Settle(own.subscription, true);
        Report(SyncEventKind::DownloadFailed, own.workshopName);
    }
    FinishWhenSettled();
}

void CWorkshopSync::UpdateDownloadProgress() {
    // Each count may come close to the largest 64-bit number, so the sums are
    // kept in floating point; the bar needs only their proportion.
    double sumDownloaded = 0;
    double sumExpected = 0;
    constexpr auto kLargest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    for (CDownloadingFileData& download : m_downloads) {
        // Counts that the client did not report never enter a record.
        if (download.itemFolder) {
            std::uint64_t downloaded = 0;
            std::uint64_t total = 0;
            if (!download.finished &&
                m_client.GetItemDownloadInfo(m_subscriptions[download.subscription].id, &downloaded, &total)) {
                download.bytesDownloaded =
                    std::max(download.bytesDownloaded, static_cast<std::int64_t>(std::min(downloaded, kLargest)));
                download.bytesExpected =
                    std::max(download.bytesExpected, static_cast<std::int64_t>(std::min(total, kLargest)));
            }
        } else {
            std::int32_t downloaded = 0;
            std::int32_t expected = 0;
            if (m_client.GetUGCDownloadProgress(download.contentHandle, &downloaded, &expected)) {
                download.bytesDownloaded = std::max<std::int64_t>(download.bytesDownloaded, downloaded);
                download.bytesExpected = std::max<std::int64_t>(download.bytesExpected, expected);
            }
        }
        download.bytesDownloaded = std::min(download.bytesDownloaded, download.bytesExpected);
        sumDownloaded += static_cast<double>(download.bytesDownloaded);
        sumExpected += static_cast<double>(download.bytesExpected);
    }
    if (sumExpected > 0) {
        // The bar counts in int; sizes of many large files are scaled down together.
        constexpr double kBarMax = std::numeric_limits<int>::max();
        const double scale = sumExpected > kBarMax ? kBarMax / sumExpected : 1.0;
        m_view.SetProgressRange(0, static_cast<int>(std::min(sumExpected * scale, kBarMax)));
        m_view.SetProgressPos(static_cast<int>(std::min(sumDownloaded * scale, kBarMax)));
    }

    if (m_syncFinished || m_downloads.empty()) return;
    if (m_progressTick < 0) {
        ++m_progressTick;
        return;
    }
    // Each unfinished download's line stays for five refreshes; the lines
    // rotate over the unfinished downloads.
    const std::size_t count = m_downloads.size();
    if (static_cast<std::size_t>(m_progressTick / 5) >= count) m_progressTick = 0;
    int wraps = 0;
    while (m_downloads[static_cast<std::size_t>(m_progressTick / 5)].finished) {
        ++m_progressTick;
        if (static_cast<std::size_t>(m_progressTick / 5) >= count) {
            m_progressTick = 0;
            if (++wraps == 2) return;
        }
    }
    const CDownloadingFileData& shown = m_downloads[static_cast<std::size_t>(m_progressTick / 5)];
    m_view.OnDownloadProgress(shown.fileName, shown.bytesDownloaded, shown.bytesExpected);
    ++m_progressTick;
    if (static_cast<std::size_t>(m_progressTick / 5) >= count) m_progressTick = 0;
}

void CWorkshopSync::PaceProgress(std::int64_t nowFileTime) {
    if (m_pendingCount > 0 && nowFileTime > m_lastProgressTime + kProgressInterval) {
        UpdateDownloadProgress();
        m_lastProgressTime = nowFileTime;
    }
}

void CWorkshopSync::Pump(std::int64_t nowFileTime) {
    m_client.RunCallbacks();
    CopyDueItems();
    SaveRecord(false);
    PaceProgress(nowFileTime);
}

std::string CWorkshopSync::RecordPathOf(const std::wstring& file) const {
    const std::wstring& base = m_folders.GetUserGameFolder();
    std::wstring relative = file.compare(0, base.size(), base) == 0 ? file.substr(base.size()) : file;
    for (wchar_t& c : relative)
        if (c == L'\\') c = L'/';
    return WideToUtf8(relative);
}

void CWorkshopSync::RecordFiles(std::size_t subscription, SubscriptionRoute route,
                                const std::vector<std::wstring>& files, bool installed) {
    const Subscription& item = m_subscriptions[subscription];
    auto [entry, fresh] = m_record.subscriptions.try_emplace(item.id);
    RecordedSubscription& recorded = entry->second;
    // A subscription found up to date that the record knows as it is
    // changes nothing: no look at its files, no write.
    if (!installed && !fresh && recorded.route == route && recorded.subscribed &&
        recorded.workshopTime == item.workshopTime)
        return;
    recorded.id = item.id;
    recorded.route = route;
    recorded.workshopTime = item.workshopTime;
    Resubscribed(recorded);
    // What the player will be told changed since the last game start.
    const bool known = !recorded.files.empty() || !recorded.history.empty();
    std::vector<RecordedMod> before =
        !recorded.mods.empty() || recorded.history.empty() ? recorded.mods : recorded.history.front().mods;
    if (installed || fresh) recorded.installed = SecondsSince1970();
    if (installed) recorded.updateWaiting = 0;
    recorded.files.clear();
    recorded.mods.clear();
    for (const std::wstring& file : files) {
        RecordedFile entryFile;
        entryFile.path = RecordPathOf(file);
        if (const auto stamp = platform::FileStampAt(file)) {
            entryFile.size = stamp->size;
            entryFile.modified = stamp->modified;
        }
        if (m_modReader)
            if (const std::optional<ModIdentity> mod = m_modReader(file))
                recorded.mods.push_back(RecordedMod{entryFile.path, mod->guid, mod->version});
        recorded.files.push_back(std::move(entryFile));
    }
    if (installed) {
        const auto [change, first] = m_record.changes.try_emplace(item.id);
        if (first || change->second.kind == ChangeKind::Gone) {
            change->second.kind = known ? ChangeKind::Updated : ChangeKind::New;
            change->second.from = std::move(before);
        }
        change->second.to = recorded.mods;
    }
    NoteRecordChanged(item.id);
}

void CWorkshopSync::Resubscribed(RecordedSubscription& recorded) {
    if (recorded.subscribed) return;
    recorded.subscribed = true;
    if (const auto change = m_record.changes.find(recorded.id);
        change != m_record.changes.end() && change->second.kind == ChangeKind::Gone)
        m_record.changes.erase(change);
    NoteRecordChanged(recorded.id);
}

void CWorkshopSync::MarkGoneSubscriptions() {
    for (auto& [id, recorded] : m_record.subscriptions) {
        if (!recorded.subscribed || m_byId.count(id)) continue;
        recorded.subscribed = false;
        const auto [change, first] = m_record.changes.try_emplace(id);
        // One that came since the last game start is gone all the same:
        // its files are still in mods/.
        if (first || change->second.kind == ChangeKind::New) change->second.from = recorded.mods;
        change->second.kind = ChangeKind::Gone;
        change->second.to.clear();
        NoteRecordChanged(id);
    }
}

bool CWorkshopSync::IsHeld(std::size_t subscription) const {
    const auto found = m_record.subscriptions.find(m_subscriptions[subscription].id);
    return found != m_record.subscriptions.end() && found->second.held;
}

void CWorkshopSync::NoteUpdateWaiting(std::size_t subscription, std::int64_t workshopTime) {
    RecordedSubscription& recorded = m_record.subscriptions.at(m_subscriptions[subscription].id);
    Resubscribed(recorded);
    if (recorded.updateWaiting == workshopTime) return;
    recorded.updateWaiting = workshopTime;
    NoteRecordChanged(recorded.id);
}

void CWorkshopSync::NoteRecordChanged(PublishedFileId id) {
    m_recordDirty = true;
    m_recordChanged.insert(id);
}

Status CWorkshopSync::KeepCurrentFiles(std::size_t subscription, const std::vector<std::wstring>& files) {
    const PublishedFileId id = m_subscriptions[subscription].id;
    const auto [entry, fresh] = m_record.subscriptions.try_emplace(id);
    RecordedSubscription& recorded = entry->second;
    recorded.id = id;
    std::vector<RecordedMod> mods = recorded.mods;
    if (fresh && m_modReader) {
        for (const std::wstring& file : files)
            if (const std::optional<ModIdentity> mod = m_modReader(file))
                mods.push_back(RecordedMod{RecordPathOf(file), mod->guid, mod->version});
    }
    Status status = KeepInHistory(m_recordFile, recorded, files, std::move(mods));
    if (!status && fresh) {
        m_record.subscriptions.erase(entry);
        return status;
    }
    if (status) NoteRecordChanged(id);
    return status;
}

void CWorkshopSync::RemoveFilesNotIn(const std::wstring& itemFolder, const std::vector<std::wstring>& targets) {
    const auto key = [](std::wstring path) {
        for (wchar_t& c : path) {
            if (c == L'\\') c = L'/';
            if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        }
        return path;
    };
    std::set<std::wstring> current;
    for (const std::wstring& target : targets) current.insert(key(target));
    for (const std::wstring& file : FilesBelow(itemFolder))
        if (!current.count(key(file))) platform::DeleteFileAt(file);
}

void CWorkshopSync::SaveRecord(bool force) {
    if (!m_recordDirty) return;
    const std::int64_t now = platform::MonotonicMilliseconds();
    if (!force && now - m_lastRecordWrite < kRecordWriteIntervalMs) return;
    m_lastRecordWrite = now;
    // Under the lock, the record as it is on disk now takes this sync's
    // changes: another sync's, written meanwhile, stay.
    if (const Status locked = m_recordFile.Lock([this] { NoteWaitingForRecord(); }); !locked) {
        NoteRecordFailure(L"The Workshop record could not be written: " + locked.Text());
        return;
    }
    std::vector<std::wstring> notes;
    WorkshopRecord current = m_recordFile.Load(notes);
    for (const std::wstring& note : notes) m_view.OnSyncNote(note);
    for (const PublishedFileId id : m_recordChanged) {
        current.subscriptions[id] = m_record.subscriptions[id];
        if (const auto change = m_record.changes.find(id); change != m_record.changes.end())
            current.changes[id] = change->second;
        else
            current.changes.erase(id);
    }
    m_record = std::move(current);
    const Status saved = m_recordFile.Save(m_record);
    m_recordFile.Unlock();
    if (!saved) {
        NoteRecordFailure(L"The Workshop record could not be written: " + saved.Text());
        return;
    }
    m_recordDirty = false;
    m_recordChanged.clear();
}

void CWorkshopSync::NoteWaitingForRecord() {
    if (std::exchange(m_recordWaitNoted, true)) return;
    m_view.OnSyncNote(L"Another sync is using the Workshop record; waiting for it.");
}

void CWorkshopSync::NoteRecordFailure(const std::wstring& note) {
    if (std::exchange(m_recordFailed, true)) return;
    m_view.OnSyncNote(note);
}

bool CWorkshopSync::HasPendingRequests() const {
    const auto active = [](const auto& call) { return call->IsActive(); };
    return m_enumerateCall.IsActive() || m_itemsAwaited > 0 || !m_copyQueue.empty() ||
           std::any_of(m_detailsCalls.begin(), m_detailsCalls.end(), active) ||
           std::any_of(m_downloadCalls.begin(), m_downloadCalls.end(), active);
}

void CWorkshopSync::Settle(std::size_t subscription, bool failed) {
    Step& step = m_subscriptions[subscription].step;
    if (step == Step::Settled) return;
    step = Step::Settled;
    --m_pendingCount;
    if (failed) m_failed = true;
}

void CWorkshopSync::FinishWhenSettled() {
    if (m_pendingCount > 0 || m_listing || m_syncFinished) return;
    m_settled = true;
    // Only a list read to its end tells which subscriptions are gone.
    if (m_listComplete && !m_cut) MarkGoneSubscriptions();
    Report(m_failed ? SyncEventKind::SomeFailed : SyncEventKind::AllUpToDate);
    m_view.SetProgressPos(m_view.GetProgressUpper());
    EndSync();
}

void CWorkshopSync::EndSync() {
    m_snapshot.reset();
    SaveRecord(true);
    m_view.EnablePlayWithMods(true);
    m_syncFinished = true;
    // Whatever is still outstanding (a second download of content that was
    // written already) would change nothing: it is no longer waited for.
    m_enumerateCall.Cancel();
    for (auto& call : m_detailsCalls) call->Cancel();
    for (auto& call : m_downloadCalls) call->Cancel();
    m_itemResults.reset();
    m_itemsAwaited = 0;
    m_copyQueue.clear();
}

SyncOutcome CWorkshopSync::Outcome() const {
    if (m_failed) return SyncOutcome::Failed;
    return m_settled ? SyncOutcome::UpToDate : SyncOutcome::Unsettled;
}

}  // namespace gh
