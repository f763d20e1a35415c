#include "workshop/WorkshopSync.h"

#include "app/Folders.h"
#include "app/PathText.h"
#include "platform/Files.h"
#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopNames.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace gh {

namespace {

template <class T>
bool Failed(const T* result, bool bIOFailure) {
    return result == nullptr || bIOFailure || result->m_eResult != kResultOk;
}

}  // namespace

CWorkshopSync::CWorkshopSync(IWorkshopClient& client, ISyncView& view)
    : m_client(client), m_view(view), m_enumerateCall(client.CallResults()) {}

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

void CWorkshopSync::OnEnumerateUserSubscribedFiles(const RemoteStorageEnumerateUserSubscribedFilesResult* result,
                                                   bool bIOFailure) {
    if (Failed(result, bIOFailure)) {
        m_failed = true;
        Report(SyncEventKind::ListFailed);
        EndSync();
        return;
    }
    // The id list holds 50 entries whatever count a client claims.
    const int count = std::clamp(result->m_nResultsReturned, 0, kEnumerateMaxResults);
    if (count == 0) {
        m_view.SetProgressRange(0, 1);
        m_view.SetProgressPos(1);
        EndSync();
        m_allSettled = true;
        Report(SyncEventKind::NoSubscriptions);
        return;
    }
    m_pendingCount = count;
    m_view.SetProgressRange(0, count);
    SyncEvent received;
    received.kind = SyncEventKind::ListReceived;
    received.count = count;
    m_view.OnSyncEvent(received);
    for (int i = 0; i < count; ++i) {
        m_detailsCalls.push_back(std::make_unique<DetailsCall>(m_client.CallResults()));
        DetailsCall& call = *m_detailsCalls.back();
        call.Set(m_client.GetPublishedFileDetails(result->m_rgPublishedFileId[i]), this,
                 &CWorkshopSync::OnGetPublishedFileDetails);
    }
}

void CWorkshopSync::OnGetPublishedFileDetails(const RemoteStorageGetPublishedFileDetailsResult* result,
                                              bool bIOFailure) {
    if (Failed(result, bIOFailure)) {
        m_failed = true;
        Report(SyncEventKind::DetailsFailed, result ? FieldText(result->m_pchFileName) : std::string());
        EndSync();  // the pending count stays: only a download can end the sync now
        return;
    }
    const std::string name = FieldText(result->m_pchFileName);
    const std::wstring wideName = AnsiToWide(name);

    // A name that would leave the documents game folder is never looked up
    // outside it; its install is refused later.
    std::optional<std::int64_t> localTime;
    if (IsSafeWorkshopName(wideName))
        if (const auto local = PathBelow(GetUserGameFolder(), wideName))
            localTime = platform::FileModificationTime(*local);

    const auto workshopTime = static_cast<std::int64_t>(result->m_rtimeUpdated);
    SyncEvent event;
    event.fileName = name;
    if (workshopTime > localTime.value_or(-1)) {
        m_downloadCalls.push_back(std::make_unique<DownloadCall>(m_client.CallResults()));
        DownloadCall& call = *m_downloadCalls.back();
        call.Set(m_client.UGCDownload(result->m_hFile, 1), this, &CWorkshopSync::OnDownloadUGC);

        CDownloadingFileData download;
        download.contentHandle = result->m_hFile;
        download.bytesExpected = std::max(result->m_nFileSize, 0);
        download.fileName = wideName;
        m_downloads.push_back(std::move(download));
        event.kind = SyncEventKind::Downloading;
        event.replacesLocalFile = localTime.has_value();
    } else {
        event.kind = SyncEventKind::UpToDate;
        --m_pendingCount;
    }
    m_view.OnSyncEvent(event);

    if (m_pendingCount == 0) FinishAll();
}

void CWorkshopSync::OnDownloadUGC(const RemoteStorageDownloadUGCResult* result, bool bIOFailure) {
    if (Failed(result, bIOFailure)) {
        m_failed = true;
        Report(SyncEventKind::DownloadFailed, result ? FieldText(result->m_pchFileName) : std::string());
        EndSync();
        return;
    }
    const std::string name = FieldText(result->m_pchFileName);
    const std::int32_t size = std::max(result->m_nSizeInBytes, 0);
    // Records that share the content handle share one install: the content
    // is taken from the client once and the file written once.
    bool installed = false;
    bool attempted = false;
    for (std::size_t i = 0; i < m_downloads.size(); ++i) {
        if (m_downloads[i].contentHandle != result->m_hFile) continue;
        if (!attempted) {
            installed = InstallDownloadedFile(m_client, *result, &m_sweeper);
            attempted = true;
            if (!installed) m_failed = true;
        }
        CDownloadingFileData& download = m_downloads[i];
        download.finished = true;
        download.bytesDownloaded = size;
        download.bytesExpected = size;
        Report(installed ? SyncEventKind::Installed : SyncEventKind::CopyError, name);
        UpdateDownloadProgress();
    }
    --m_pendingCount;

    const bool allFinished =
        std::all_of(m_downloads.begin(), m_downloads.end(), [](const CDownloadingFileData& d) { return d.finished; });
    if (allFinished) FinishAll();
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

void CWorkshopSync::EndSync() {
    m_snapshot.reset();  // a download still to come is installed without it
    m_view.EnablePlayWithMods(true);
    m_syncFinished = true;
}

void CWorkshopSync::FinishAll() {
    m_allSettled = true;
    Report(SyncEventKind::AllUpToDate);
    m_view.SetProgressPos(m_view.GetProgressUpper());
    EndSync();
}

SyncOutcome CWorkshopSync::Outcome() const {
    if (m_failed) return SyncOutcome::Failed;
    return m_allSettled ? SyncOutcome::UpToDate : SyncOutcome::Unsettled;
}

}  // namespace gh
