#include "FakeWorkshopClient.h"

#include <algorithm>
#include <cstring>

namespace gh::test {

Status CFakeWorkshopClient::Init() {
    if (!initResult) return Status(StatusKind::Failed, L"fake client refused to start");
    return {};
}

void CFakeWorkshopClient::RunCallbacks() {
    ++runCount;
    m_dispatcher.DispatchPosted();
}

SteamAPICall CFakeWorkshopClient::NextCall() {
    if (nextCalls.empty()) return m_fresh++;
    const SteamAPICall call = nextCalls.front();
    nextCalls.pop_front();
    return call;
}

SteamAPICall CFakeWorkshopClient::EnumerateUserSubscribedFiles(std::uint32_t startIndex) {
    requests.push_back({Kind::Enumerate, startIndex, NextCall()});
    return requests.back().call;
}

SteamAPICall CFakeWorkshopClient::GetPublishedFileDetails(PublishedFileId file) {
    requests.push_back({Kind::Details, file, NextCall()});
    return requests.back().call;
}

SteamAPICall CFakeWorkshopClient::UGCDownload(UGCHandle content, std::uint32_t /*priority*/) {
    requests.push_back({Kind::Download, content, NextCall()});
    return requests.back().call;
}

bool CFakeWorkshopClient::GetUGCDownloadProgress(UGCHandle content, std::int32_t* downloaded, std::int32_t* expected) {
    const auto found = progress.find(content);
    if (found == progress.end()) return false;
    // A query that reports failure still scribbles over its outputs.
    *downloaded = found->second.downloaded;
    *expected = found->second.expected;
    return found->second.reported;
}

std::int32_t CFakeWorkshopClient::UGCRead(UGCHandle handle, void* buffer, std::int32_t size, std::uint32_t offset) {
    reads.push_back({handle, size, offset});
    const auto found = contents.find(handle);
    if (found == contents.end() || size <= 0) return 0;
    std::int64_t end = std::min<std::int64_t>(static_cast<std::int64_t>(offset) + size,
                                              static_cast<std::int64_t>(found->second.size()));
    if (readLimit >= 0) end = std::min(end, readLimit);
    if (end <= static_cast<std::int64_t>(offset)) return 0;
    const auto count = static_cast<std::size_t>(end - offset);
    std::memcpy(buffer, found->second.data() + offset, count);
    return static_cast<std::int32_t>(count);
}

std::vector<PublishedFileId> CFakeWorkshopClient::GetSubscribedItems(std::uint32_t maxCount) {
    return {subscribedItems.begin(), subscribedItems.begin() + std::min<std::size_t>(maxCount, subscribedItems.size())};
}

std::uint32_t CFakeWorkshopClient::GetItemState(PublishedFileId file) {
    const auto found = itemStates.find(file);
    return found == itemStates.end() ? kItemSubscribed : found->second;
}

Result<ItemInstallInfo> CFakeWorkshopClient::GetItemInstallInfo(PublishedFileId file) {
    const auto found = installs.find(file);
    if (found == installs.end()) return Status(StatusKind::NotFound, L"not installed");
    return found->second;
}

bool CFakeWorkshopClient::GetItemDownloadInfo(PublishedFileId file, std::uint64_t* downloaded, std::uint64_t* total) {
    const auto found = itemProgress.find(file);
    if (found == itemProgress.end()) return false;
    *downloaded = found->second.first;
    *total = found->second.second;
    return true;
}

bool CFakeWorkshopClient::DownloadItem(PublishedFileId file, bool highPriority) {
    downloadItems.emplace_back(file, highPriority);
    return !refusedDownloads.count(file);
}

std::vector<CFakeWorkshopClient::Request> CFakeWorkshopClient::RequestsOf(Kind kind) const {
    std::vector<Request> out;
    std::copy_if(requests.begin(), requests.end(), std::back_inserter(out),
                 [kind](const Request& r) { return r.kind == kind; });
    return out;
}

SteamAPICall CFakeWorkshopClient::CallFor(Kind kind, std::uint64_t argument) const {
    for (auto it = requests.rbegin(); it != requests.rend(); ++it)
        if (it->kind == kind && it->argument == argument) return it->call;
    return kInvalidCall;
}

SubscriptionPage EnumerateResult(const std::vector<PublishedFileId>& ids, std::int32_t eResult) {
    SubscriptionPage r;
    r.result = eResult;
    r.totalCount = static_cast<std::int32_t>(ids.size());
    r.resultsReturned = static_cast<std::int32_t>(std::min<std::size_t>(ids.size(), kEnumerateMaxResults));
    for (int i = 0; i < r.resultsReturned; ++i) r.fileIds[i] = ids[static_cast<std::size_t>(i)];
    return r;
}

PublishedFileDetails DetailsResult(PublishedFileId id, UGCHandle content, const std::string& name,
                                   std::uint32_t timeUpdated, std::int32_t size, std::int32_t eResult) {
    PublishedFileDetails r;
    r.result = eResult;
    r.fileId = id;
    r.contentHandle = content;
    r.timeUpdated = timeUpdated;
    r.fileSize = size;
    SetFieldText(r.fileName, name);
    return r;
}

DownloadedContent DownloadResult(UGCHandle content, const std::string& name, std::int32_t size, std::int32_t eResult) {
    DownloadedContent r;
    r.result = eResult;
    r.contentHandle = content;
    r.sizeInBytes = size;
    SetFieldText(r.fileName, name);
    return r;
}

}  // namespace gh::test
