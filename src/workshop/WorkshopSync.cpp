#include "workshop/WorkshopSync.h"

#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/FileSystem.h"
#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopNames.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace gh {

namespace {

template <class T>
bool Failed(const T* result, bool ioFailure) {
    return result == nullptr || ioFailure || result->result != kResultOk;
}

}  // namespace

CWorkshopSync::CWorkshopSync(IWorkshopClient& client, ISyncView& view, const CGameFolders& folders)
    : m_client(client), m_view(view), m_folders(folders), m_enumerateCall(client.CallResults()) {}

CWorkshopSync::~CWorkshopSync() {
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
    m_snapshot.emplace();
    // Only the first page: the sync looks at no more than 50 subscriptions.
    m_enumerateCall.Set(m_client.EnumerateUserSubscribedFiles(0), this, &CWorkshopSync::OnEnumerateUserSubscribedFiles);
    return true;
}

void CWorkshopSync::OnEnumerateUserSubscribedFiles(const SubscriptionPage* result, bool ioFailure) {
    if (Failed(result, ioFailure)) {
        // Nothing else was asked, so nothing else is waited for.
        m_failed = true;
        Report(SyncEventKind::ListFailed);
        EndSync();
        return;
    }
    // The id list holds 50 entries whatever count a client claims.
    const int count = std::clamp(result->resultsReturned, 0, kEnumerateMaxResults);
    if (count == 0) {
        m_view.SetProgressRange(0, 1);
        m_view.SetProgressPos(1);
        EndSync();
        m_settled = true;
        Report(SyncEventKind::NoSubscriptions);
        return;
    }
    m_pendingCount = count;
    m_steps.assign(static_cast<std::size_t>(count), Step::AwaitingDetails);
    m_view.SetProgressRange(0, count);
    SyncEvent received;
    received.kind = SyncEventKind::ListReceived;
    received.count = count;
    m_view.OnSyncEvent(received);
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        m_detailsCalls.push_back(std::make_unique<DetailsCall>(m_client.CallResults()));
        m_detailsCalls.back()->Set(m_client.GetPublishedFileDetails(result->fileIds[i]),
                                   [this, i](const PublishedFileDetails* details, bool failed) {
                                       OnGetPublishedFileDetails(i, details, failed);
                                   });
    }
}

void CWorkshopSync::OnGetPublishedFileDetails(std::size_t subscription, const PublishedFileDetails* result,
                                              bool ioFailure) {
    if (m_syncFinished || m_steps[subscription] != Step::AwaitingDetails) return;
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
    SyncEvent event;
    event.fileName = name;
    if (workshopTime > localTime.value_or(-1)) {
        const std::size_t record = m_downloads.size();
        CDownloadingFileData download;
        download.contentHandle = result->contentHandle;
        download.bytesExpected = std::max(result->fileSize, 0);
        download.fileName = wideName;
        download.workshopName = name;
        download.subscription = subscription;
        m_downloads.push_back(std::move(download));
        m_steps[subscription] = Step::Downloading;

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
    std::vector<std::size_t> records;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < m_downloads.size(); ++i) {
        if (m_downloads[i].finished || m_downloads[i].contentHandle != result->contentHandle) continue;
        records.push_back(i);
        names.push_back(m_downloads[i].workshopName);
    }
    const std::vector<bool> written =
        InstallDownloadedFiles(m_client, *result, names, m_folders.GetUserGameFolder(), &m_sweeper);
    const std::int32_t size = std::max(result->sizeInBytes, 0);
    for (std::size_t k = 0; k < records.size(); ++k) {
        CDownloadingFileData& download = m_downloads[records[k]];
        download.finished = true;
        download.bytesDownloaded = size;
        download.bytesExpected = size;
        Settle(download.subscription, !written[k]);
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
    std::int64_t sumDownloaded = 0;
    std::int64_t sumExpected = 0;
    for (CDownloadingFileData& download : m_downloads) {
        std::int32_t downloaded = 0;
        std::int32_t expected = 0;
        // Counts that the client did not report never enter a record.
        if (m_client.GetUGCDownloadProgress(download.contentHandle, &downloaded, &expected)) {
            download.bytesDownloaded = std::max(download.bytesDownloaded, downloaded);
            download.bytesExpected = std::max(download.bytesExpected, expected);
        }
        download.bytesDownloaded = std::min(download.bytesDownloaded, download.bytesExpected);
        sumDownloaded += download.bytesDownloaded;
        sumExpected += download.bytesExpected;
    }
    if (sumExpected > 0) {
        // The bar counts in int; sizes of many large files are scaled down together.
        while (sumExpected > std::numeric_limits<int>::max()) {
            sumExpected >>= 1;
            sumDownloaded >>= 1;
        }
        m_view.SetProgressRange(0, static_cast<int>(sumExpected));
        m_view.SetProgressPos(static_cast<int>(sumDownloaded));
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
    PaceProgress(nowFileTime);
}

bool CWorkshopSync::HasPendingRequests() const {
    const auto active = [](const auto& call) { return call->IsActive(); };
    return m_enumerateCall.IsActive() || std::any_of(m_detailsCalls.begin(), m_detailsCalls.end(), active) ||
           std::any_of(m_downloadCalls.begin(), m_downloadCalls.end(), active);
}

void CWorkshopSync::Settle(std::size_t subscription, bool failed) {
    if (m_steps[subscription] == Step::Settled) return;
    m_steps[subscription] = Step::Settled;
    --m_pendingCount;
    if (failed) m_failed = true;
}

void CWorkshopSync::FinishWhenSettled() {
    if (m_pendingCount > 0 || m_syncFinished) return;
    m_settled = true;
    Report(m_failed ? SyncEventKind::SomeFailed : SyncEventKind::AllUpToDate);
    m_view.SetProgressPos(m_view.GetProgressUpper());
    EndSync();
}

void CWorkshopSync::EndSync() {
    m_snapshot.reset();
    m_view.EnablePlayWithMods(true);
    m_syncFinished = true;
    // Whatever is still outstanding (a second download of content that was
    // written already) would change nothing: it is no longer waited for.
    m_enumerateCall.Cancel();
    for (auto& call : m_detailsCalls) call->Cancel();
    for (auto& call : m_downloadCalls) call->Cancel();
}

SyncOutcome CWorkshopSync::Outcome() const {
    if (m_failed) return SyncOutcome::Failed;
    return m_settled ? SyncOutcome::UpToDate : SyncOutcome::Unsettled;
}

}  // namespace gh
