#include "workshop/LocalWorkshop.h"

#include "game/PathText.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/Text.h"
#include "platform/Unicode.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace gh {

namespace {

constexpr std::wstring_view kManifestFile = L"workshop.json";

bool EndsWithSeparator(const std::wstring& path) {
    return !path.empty() && (path.back() == L'/' || path.back() == L'\\');
}

}  // namespace

CLocalWorkshop::CLocalWorkshop(std::wstring folder, Clock clock)
    : m_folder(std::move(folder)), m_clock(clock ? std::move(clock) : Clock(platform::MonotonicMilliseconds)) {
    if (!m_folder.empty() && !EndsWithSeparator(m_folder)) m_folder += L'/';
}

std::int64_t CLocalWorkshop::Now() const { return m_clock(); }

Status CLocalWorkshop::Init() {
    Shutdown();
    const std::wstring manifestPath = m_folder + std::wstring(kManifestFile);
    if (m_folder.empty() || !platform::FileExists(m_folder))
        return Status(StatusKind::NotFound, fmt::format(L"The local Workshop folder \"{}\" does not exist.", m_folder));
    if (!platform::FileExists(manifestPath))
        return Status(StatusKind::NotFound,
                      fmt::format(L"The local Workshop folder \"{}\" holds no {}.", m_folder, kManifestFile));
    const auto text = platform::ReadWholeFile(manifestPath, kManifestMaxBytes);
    if (!text)
        return Status(StatusKind::BadData,
                      fmt::format(L"The local Workshop manifest \"{}\" cannot be read or is larger than {} bytes.",
                                  manifestPath, kManifestMaxBytes));
    Result<WorkshopManifest> manifest = ParseWorkshopManifest(*text);
    if (!manifest)
        return Status(StatusKind::BadData, fmt::format(L"The local Workshop manifest \"{}\" is malformed: {}",
                                                       manifestPath, manifest.Error().Text()));
    m_manifest = std::move(*manifest);

    // Items without a handle of their own get one that no item names.
    std::set<UGCHandle> named;
    for (const WorkshopItem& item : m_manifest.items)
        if (item.contentHandle) named.insert(*item.contentHandle);
    UGCHandle next = 1;
    m_itemHandles.clear();
    m_contents.clear();
    m_itemIndex.clear();
    m_handleIndex.clear();
    m_itemStates.clear();
    m_itemTransfers.clear();
    for (const WorkshopItem& item : m_manifest.items) {
        const std::size_t index = m_itemHandles.size();
        m_itemIndex.emplace(item.id, index);
        m_itemStates.push_back(kItemSubscribed | item.state | (item.legacy ? kItemLegacy : 0));
        UGCHandle handle = 0;
        if (item.contentHandle) {
            handle = *item.contentHandle;
        } else {
            while (named.count(next)) ++next;
            handle = next++;
        }
        m_itemHandles.push_back(handle);
        m_handleIndex.emplace(handle, index);
        Content& content = m_contents[handle];
        if (content.path.empty() && !item.content.empty()) {
            content.path = PathOf(item.content);
            content.fileName = item.fileName;
        }
        if (item.fail == WorkshopFailure::Download) content.failDownload = true;
    }
    m_initialized = true;
    // Downloads the client is making already end on their own.
    for (std::size_t i = 0; i < m_manifest.items.size(); ++i)
        if (m_itemStates[i] & kItemDownloading) ScheduleItemDownload(i);
    return {};
}

std::wstring CLocalWorkshop::PathOf(const std::string& name) const { return CombinePath(m_folder, Utf8ToWide(name)); }

void CLocalWorkshop::Shutdown() {
    m_initialized = false;
    m_pending.clear();
    m_transfers.clear();
    m_completed.clear();
    m_dispatcher.DropPosted();
    m_openFile.Close();
    m_openContent = kInvalidUGCHandle;
}

void CLocalWorkshop::RunCallbacks() {
    if (!m_initialized) return;
    const std::int64_t now = Now();
    // In order of due time, then of request; what the handlers schedule waits.
    const auto firstLater = m_pending.upper_bound({now, std::numeric_limits<std::uint64_t>::max()});
    std::vector<Pending> due;
    for (auto it = m_pending.begin(); it != firstLater; ++it) due.push_back(std::move(it->second));
    m_pending.erase(m_pending.begin(), firstLater);
    for (Pending& p : due) {
        if (p.completes) m_completed.insert(*p.completes);
        if (p.installs) {
            std::uint32_t& state = m_itemStates[*p.installs];
            state = (state | kItemInstalled) & ~(kItemNeedsUpdate | kItemDownloading | kItemDownloadPending);
        }
        if (p.call == kInvalidCall)
            m_dispatcher.PostBroadcast(p.record);
        else
            m_dispatcher.Post(p.call, p.record);
    }
    m_dispatcher.DispatchPosted();
}

bool CLocalWorkshop::IsLoggedOn() { return m_initialized && m_manifest.loggedOn; }

bool CLocalWorkshop::HasRemoteStorage() { return m_initialized; }

std::int64_t CLocalWorkshop::LatencyOf(const WorkshopItem* item) const {
    return item && item->latencyMs ? *item->latencyMs : m_manifest.latencyMs;
}

SteamAPICall CLocalWorkshop::Schedule(std::int64_t delayMs, CallResultRecord record,
                                      std::optional<UGCHandle> completes) {
    Pending pending;
    pending.due = Now() + delayMs;
    pending.order = m_nextOrder++;
    pending.call = m_nextCall++;
    pending.record = std::move(record);
    pending.completes = completes;
    const SteamAPICall call = pending.call;
    m_pending.emplace(std::pair{pending.due, pending.order}, std::move(pending));
    return call;
}

const WorkshopItem* CLocalWorkshop::FindItem(PublishedFileId file) const {
    const auto found = m_itemIndex.find(file);
    return found == m_itemIndex.end() ? nullptr : &m_manifest.items[found->second];
}

const WorkshopItem* CLocalWorkshop::FirstItemWith(UGCHandle content) const {
    const auto found = m_handleIndex.find(content);
    return found == m_handleIndex.end() ? nullptr : &m_manifest.items[found->second];
}

std::optional<std::int32_t> CLocalWorkshop::ContentSize(const std::wstring& path) const {
    if (path.empty()) return std::nullopt;
    platform::CInputFile file;
    if (!file.Open(path)) return std::nullopt;
    const auto size = file.Size();
    if (!size || *size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return std::nullopt;
    return static_cast<std::int32_t>(*size);
}

SteamAPICall CLocalWorkshop::EnumerateUserSubscribedFiles(std::uint32_t startIndex) {
    if (!m_initialized) return kInvalidCall;
    const auto pageSize = static_cast<std::uint32_t>(m_manifest.pageSize);
    std::uint32_t page = startIndex / pageSize;
    SubscriptionPage result;
    if (m_manifest.failPage && *m_manifest.failPage == page) {
        result.result = kResultFail;
        return Schedule(m_manifest.latencyMs, result);
    }
    // A page repeated in place of the next one: its own ids again.
    if (m_manifest.repeatPage && *m_manifest.repeatPage + 1 == page) {
        page = *m_manifest.repeatPage;
        startIndex = page * pageSize;
    }
    std::vector<PublishedFileId> listed;
    for (const WorkshopItem& item : m_manifest.items)
        if (item.listedByRemoteStorage) listed.push_back(item.id);
    result.result = kResultOk;
    result.totalCount = m_manifest.totalCount.value_or(
        static_cast<std::int32_t>(std::min<std::size_t>(listed.size(), std::numeric_limits<std::int32_t>::max())));
    std::uint32_t returned = 0;
    for (std::size_t i = startIndex; i < listed.size() && returned < pageSize; ++i, ++returned)
        result.fileIds[returned] = listed[i];
    result.resultsReturned = static_cast<std::int32_t>(returned);
    return Schedule(m_manifest.latencyMs, result);
}

SteamAPICall CLocalWorkshop::GetPublishedFileDetails(PublishedFileId file) {
    if (!m_initialized) return kInvalidCall;
    PublishedFileDetails result;
    result.fileId = file;
    const WorkshopItem* item = FindItem(file);
    if (!item) {
        result.result = kResultFileNotFound;
        return Schedule(m_manifest.latencyMs, result);
    }
    if (item->fail == WorkshopFailure::Never) return kInvalidCall;
    if (item->kind == WorkshopItemKind::Folder) {
        // An item that lives in a folder has no single file to describe.
        result.result = kResultFileNotFound;
        return Schedule(LatencyOf(item), result);
    }

    const std::size_t index = static_cast<std::size_t>(item - m_manifest.items.data());
    const UGCHandle handle = m_itemHandles[index];
    SetFieldText(result.fileName, item->fileName);
    SetFieldText(result.title, item->fileName);
    result.contentHandle = handle;
    const std::wstring path = item->content.empty() ? std::wstring() : PathOf(item->content);
    const auto size = ContentSize(path);
    if (item->fail == WorkshopFailure::Details) {
        result.result = kResultFail;
    } else if (!size) {
        result.result = kResultFileNotFound;
    } else {
        result.result = kResultOk;
        result.fileSize = *size;
        std::int64_t updated = 0;
        if (item->timeUpdated)
            updated = *item->timeUpdated;
        else
            updated = platform::FileModificationTime(path).value_or(0);
        result.timeUpdated =
            static_cast<std::uint32_t>(std::clamp<std::int64_t>(updated, 0, std::numeric_limits<std::uint32_t>::max()));
        result.timeCreated = result.timeUpdated;
    }
    return Schedule(LatencyOf(item), result);
}

SteamAPICall CLocalWorkshop::UGCDownload(UGCHandle content, std::uint32_t /*priority*/) {
    if (!m_initialized) return kInvalidCall;
    DownloadedContent result;
    result.contentHandle = content;
    const auto found = m_contents.find(content);
    const WorkshopItem* item = FirstItemWith(content);
    if (found == m_contents.end() || !item) {
        result.result = kResultFileNotFound;
        return Schedule(m_manifest.latencyMs, result);
    }
    SetFieldText(result.fileName, found->second.fileName.empty() ? item->fileName : found->second.fileName);
    const std::int64_t latency = LatencyOf(item);
    const auto size = ContentSize(found->second.path);
    if (!size) {
        result.result = kResultFileNotFound;
        return Schedule(latency, result);
    }

    const std::int64_t duration = TransferMs(static_cast<std::uint64_t>(*size));
    if (!m_transfers.count(content))
        m_transfers[content] = Transfer{Now() + latency, duration, static_cast<std::uint64_t>(*size)};

    if (found->second.failDownload) {
        result.result = kResultFail;
        return Schedule(latency + duration, result);
    }
    result.result = kResultOk;
    result.sizeInBytes = *size;
    return Schedule(latency + duration, result, content);
}

std::int64_t CLocalWorkshop::TransferMs(std::uint64_t size) const {
    if (m_manifest.bytesPerSecond <= 0) return 0;
    const auto bps = static_cast<double>(m_manifest.bytesPerSecond);
    return static_cast<std::int64_t>(std::ceil(static_cast<double>(size) * 1000.0 / bps));
}

std::int64_t CLocalWorkshop::BytesProgress(const Transfer& transfer, std::int64_t now) {
    const std::int64_t elapsed = now - transfer.start;
    const auto size = static_cast<double>(transfer.size);
    if (elapsed >= transfer.durationMs) return static_cast<std::int64_t>(transfer.size);
    if (elapsed <= 0) return 0;
    const double share = static_cast<double>(elapsed) / static_cast<double>(transfer.durationMs);
    return static_cast<std::int64_t>(std::clamp(share * size, 0.0, size));
}

bool CLocalWorkshop::GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) {
    const auto found = m_transfers.find(content);
    if (!m_initialized || found == m_transfers.end() || !downloaded || !expected) return false;
    *downloaded = static_cast<std::int32_t>(BytesProgress(found->second, Now()));
    *expected = static_cast<std::int32_t>(found->second.size);
    return true;
}

std::vector<PublishedFileId> CLocalWorkshop::GetSubscribedItems(std::uint32_t maxCount) {
    std::vector<PublishedFileId> ids;
    if (!m_initialized) return ids;
    for (std::size_t i = 0; i < m_manifest.items.size() && ids.size() < maxCount; ++i)
        if (m_manifest.items[i].listedByItemInterface && !(m_itemStates[i] & kItemDisabledLocally))
            ids.push_back(m_manifest.items[i].id);
    return ids;
}

std::uint32_t CLocalWorkshop::GetItemState(PublishedFileId file) {
    const auto found = m_itemIndex.find(file);
    return m_initialized && found != m_itemIndex.end() ? m_itemStates[found->second] : 0;
}

namespace {

// The bytes of the regular files below `folder`, links not followed.
std::uint64_t TreeSize(const std::wstring& folder) {
    std::uint64_t size = 0;
    std::vector<std::wstring> pending{folder};
    while (!pending.empty()) {
        const std::wstring current = std::move(pending.back());
        pending.pop_back();
        std::vector<platform::TypedFolderEntry> entries;
        if (!platform::ListFolderAsIs(current, entries)) continue;
        for (const platform::TypedFolderEntry& entry : entries) {
            const std::wstring path = current + L"/" + entry.name;
            if (entry.kind == platform::EntryKind::Folder) pending.push_back(path);
            if (entry.kind != platform::EntryKind::File) continue;
            platform::CInputFile file;
            if (file.Open(path)) size += file.Size().value_or(0);
        }
    }
    return size;
}

}  // namespace

Result<ItemInstallInfo> CLocalWorkshop::GetItemInstallInfo(PublishedFileId file) {
    const auto found = m_itemIndex.find(file);
    if (!m_initialized || found == m_itemIndex.end() || !(m_itemStates[found->second] & kItemInstalled))
        return Status(StatusKind::NotFound, L"the item is not installed");
    const WorkshopItem& item = m_manifest.items[found->second];
    if (item.folder.empty()) return Status(StatusKind::NotFound, L"the item has no folder");
    ItemInstallInfo info;
    const std::wstring folder = PathOf(item.folder);
    info.folder = platform::WideToSystemName(folder);
    const std::int64_t time = item.timeUpdated ? *item.timeUpdated : platform::FileModificationTime(folder).value_or(0);
    info.timeStamp =
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(time, 0, std::numeric_limits<std::uint32_t>::max()));
    return info;
}

bool CLocalWorkshop::GetItemDownloadInfo(PublishedFileId file, std::uint64_t* downloaded, std::uint64_t* total) {
    const auto item = m_itemIndex.find(file);
    if (!m_initialized || item == m_itemIndex.end() || !downloaded || !total) return false;
    const auto found = m_itemTransfers.find(item->second);
    if (found == m_itemTransfers.end()) return false;
    *downloaded = static_cast<std::uint64_t>(BytesProgress(found->second, Now()));
    *total = found->second.size;
    return true;
}

bool CLocalWorkshop::DownloadItem(PublishedFileId file, bool /*highPriority*/) {
    const auto found = m_itemIndex.find(file);
    if (!m_initialized || found == m_itemIndex.end()) return false;
    const WorkshopItem& item = m_manifest.items[found->second];
    if (item.fail == WorkshopFailure::DownloadItem) return false;
    m_itemStates[found->second] |= kItemDownloadPending;
    ScheduleItemDownload(found->second);
    return true;
}

void CLocalWorkshop::ScheduleItemDownload(std::size_t index) {
    const WorkshopItem& item = m_manifest.items[index];
    const std::int64_t latency = LatencyOf(&item);
    const std::uint64_t size = item.folder.empty() ? 0 : TreeSize(PathOf(item.folder));
    const std::int64_t duration = TransferMs(size);
    m_itemTransfers[index] = Transfer{Now() + latency, duration, size};
    const auto broadcast = [&](std::uint32_t appId, std::int32_t outcome, std::optional<std::size_t> installs) {
        Pending pending;
        pending.due = Now() + latency + duration;
        pending.order = m_nextOrder++;
        pending.record = ItemDownloadResult{appId, item.id, outcome};
        pending.installs = installs;
        m_pending.emplace(std::pair{pending.due, pending.order}, std::move(pending));
    };
    // Another app's download of the same item is reported first.
    if (item.resultAppId) broadcast(*item.resultAppId, kResultOk, std::nullopt);
    const bool fails = item.fail == WorkshopFailure::DownloadResult || item.folder.empty();
    broadcast(m_manifest.appId, fails ? kResultFail : kResultOk, fails ? std::nullopt : std::optional(index));
}

std::int32_t CLocalWorkshop::UGCRead(UGCHandle content, void* buffer, std::int32_t size, std::uint32_t offset) {
    if (!m_initialized || !buffer || size <= 0 || !m_completed.count(content)) return 0;
    if (m_openContent != content || !m_openFile.IsOpen()) {
        m_openFile.Close();
        m_openContent = kInvalidUGCHandle;
        const auto found = m_contents.find(content);
        if (found == m_contents.end() || !m_openFile.Open(found->second.path)) return 0;
        m_openContent = content;
        m_openSize = m_openFile.Size().value_or(0);
    }
    const std::size_t count = m_openFile.ReadAt(offset, buffer, static_cast<std::size_t>(size));
    // Once the last byte was read the file is let go, so the folder's
    // owner may change it again.
    if (count < static_cast<std::size_t>(size) || offset + count >= m_openSize) {
        m_openFile.Close();
        m_openContent = kInvalidUGCHandle;
    }
    return static_cast<std::int32_t>(count);
}

}  // namespace gh
