#include "workshop/LocalWorkshop.h"

#include "game/PathText.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Unicode.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <algorithm>
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
    for (const WorkshopItem& item : m_manifest.items) {
        UGCHandle handle = 0;
        if (item.contentHandle) {
            handle = *item.contentHandle;
        } else {
            while (named.count(next)) ++next;
            handle = next++;
        }
        m_itemHandles.push_back(handle);
        Content& content = m_contents[handle];
        if (content.path.empty() && !item.content.empty()) {
            content.path = CombinePath(m_folder, Utf8ToWide(item.content));
            content.fileName = item.fileName;
        }
        if (item.fail == WorkshopFailure::Download) content.failDownload = true;
    }
    m_initialized = true;
    return {};
}

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
    std::vector<Pending> due;
    auto firstLater =
        std::stable_partition(m_pending.begin(), m_pending.end(), [now](const Pending& p) { return p.due <= now; });
    std::move(m_pending.begin(), firstLater, std::back_inserter(due));
    m_pending.erase(m_pending.begin(), firstLater);
    std::sort(due.begin(), due.end(),
              [](const Pending& a, const Pending& b) { return a.due != b.due ? a.due < b.due : a.order < b.order; });
    for (Pending& p : due) {
        if (p.completes) m_completed.insert(*p.completes);
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
    m_pending.push_back(std::move(pending));
    return m_pending.back().call;
}

const WorkshopItem* CLocalWorkshop::FindItem(PublishedFileId file) const {
    for (const WorkshopItem& item : m_manifest.items)
        if (item.id == file) return &item;
    return nullptr;
}

const WorkshopItem* CLocalWorkshop::FirstItemWith(UGCHandle content) const {
    for (std::size_t i = 0; i < m_itemHandles.size(); ++i)
        if (m_itemHandles[i] == content) return &m_manifest.items[i];
    return nullptr;
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
    SubscriptionPage result;
    result.result = kResultOk;
    const std::size_t total = m_manifest.items.size();
    result.totalCount =
        static_cast<std::int32_t>(std::min<std::size_t>(total, std::numeric_limits<std::int32_t>::max()));
    std::int32_t returned = 0;
    for (std::size_t i = startIndex; i < total && returned < kEnumerateMaxResults; ++i, ++returned)
        result.fileIds[returned] = m_manifest.items[i].id;
    result.resultsReturned = returned;
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

    const std::size_t index = static_cast<std::size_t>(item - m_manifest.items.data());
    const UGCHandle handle = m_itemHandles[index];
    SetFieldText(result.fileName, item->fileName);
    SetFieldText(result.title, item->fileName);
    result.contentHandle = handle;
    const std::wstring path = item->content.empty() ? std::wstring() : CombinePath(m_folder, Utf8ToWide(item->content));
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

    std::int64_t duration = 0;
    if (m_manifest.bytesPerSecond > 0) {
        const auto bps = static_cast<std::uint64_t>(m_manifest.bytesPerSecond);
        duration = static_cast<std::int64_t>((static_cast<std::uint64_t>(*size) * 1000 + bps - 1) / bps);
    }
    if (!m_transfers.count(content)) m_transfers[content] = Transfer{Now() + latency, duration, *size};

    if (found->second.failDownload) {
        result.result = kResultFail;
        return Schedule(latency + duration, result);
    }
    result.result = kResultOk;
    result.sizeInBytes = *size;
    return Schedule(latency + duration, result, content);
}

bool CLocalWorkshop::GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) {
    const auto found = m_transfers.find(content);
    if (!m_initialized || found == m_transfers.end() || !downloaded || !expected) return false;
    const Transfer& transfer = found->second;
    const std::int64_t elapsed = Now() - transfer.start;
    std::int32_t bytes = 0;
    if (elapsed >= transfer.durationMs) {
        bytes = transfer.size;
    } else if (elapsed > 0) {
        const double share = static_cast<double>(elapsed) / static_cast<double>(transfer.durationMs);
        bytes = static_cast<std::int32_t>(std::clamp(share * transfer.size, 0.0, static_cast<double>(transfer.size)));
    }
    *downloaded = bytes;
    *expected = transfer.size;
    return true;
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
