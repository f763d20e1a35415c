#include "workshop/steamworks/SteamRecordDecoder.h"

#include <cstring>
#include <type_traits>

namespace gh::steam {

static_assert(kFileNameFieldSize == kFileNameChars && kTitleFieldSize == kTitleChars,
              "the program's records keep the library's text fields whole");
static_assert(kEnumerateMaxResults == static_cast<int>(kEnumerateIdCount));
static_assert(sizeof(std::uintptr_t) == 8, "the layouts describe the 64-bit libraries");

namespace {

// The library writes its records in the machine's own byte order, and both
// systems it runs on are little-endian; memcpy keeps the unaligned reads
// of the 4-byte packing well defined.
template <class T>
T ReadAt(ByteSpan bytes, std::size_t offset) {
    static_assert(std::is_trivially_copyable_v<T>);
    T value{};
    if (offset <= bytes.size() && sizeof(T) <= bytes.size() - offset)
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

template <std::size_t N>
void ReadChars(ByteSpan bytes, std::size_t offset, char (&field)[N]) {
    std::memset(field, 0, N);
    if (offset <= bytes.size() && N <= bytes.size() - offset) std::memcpy(field, bytes.data() + offset, N);
}

}  // namespace

bool DecodeCallbackMessage(ByteSpan bytes, const CallbackMsgLayout& layout, CallbackMessage& out) {
    if (bytes.size() != layout.size) return false;
    out.user = ReadAt<std::int32_t>(bytes, layout.hSteamUser);
    out.callbackId = ReadAt<std::int32_t>(bytes, layout.iCallback);
    out.param = reinterpret_cast<const std::byte*>(ReadAt<std::uintptr_t>(bytes, layout.pubParam));
    out.paramSize = ReadAt<std::int32_t>(bytes, layout.cubParam);
    return true;
}

bool DecodeCallCompleted(ByteSpan record, const CallCompletedLayout& layout, CallCompleted& out) {
    if (record.size() < layout.size) return false;
    out.call = ReadAt<std::uint64_t>(record, layout.hAsyncCall);
    out.callbackId = ReadAt<std::int32_t>(record, layout.iCallback);
    out.resultSize = ReadAt<std::uint32_t>(record, layout.cubParam);
    return true;
}

bool DecodeEnumerateResult(ByteSpan record, const EnumerateResultLayout& layout, SubscriptionPage& out) {
    if (record.size() != layout.size) return false;
    out = {};
    out.result = ReadAt<std::int32_t>(record, layout.eResult);
    out.resultsReturned = ReadAt<std::int32_t>(record, layout.resultsReturned);
    out.totalCount = ReadAt<std::int32_t>(record, layout.totalResultCount);
    for (std::size_t i = 0; i < kEnumerateIdCount; ++i) {
        out.fileIds[i] = ReadAt<std::uint64_t>(record, layout.publishedFileIds + i * 8);
        out.timesSubscribed[i] = ReadAt<std::uint32_t>(record, layout.timesSubscribed + i * 4);
    }
    return true;
}

bool DecodeDownloadResult(ByteSpan record, const DownloadResultLayout& layout, DownloadedContent& out) {
    if (record.size() != layout.size) return false;
    out = {};
    out.result = ReadAt<std::int32_t>(record, layout.eResult);
    out.contentHandle = ReadAt<std::uint64_t>(record, layout.hFile);
    out.appId = ReadAt<std::uint32_t>(record, layout.appId);
    out.sizeInBytes = ReadAt<std::int32_t>(record, layout.sizeInBytes);
    ReadChars(record, layout.fileName, out.fileName);
    out.ownerSteamId = ReadAt<std::uint64_t>(record, layout.steamIdOwner);
    return true;
}

bool DecodeDetailsResult(ByteSpan record, const DetailsResultLayout& layout, PublishedFileDetails& out) {
    if (record.size() != layout.size) return false;
    out = {};
    out.result = ReadAt<std::int32_t>(record, layout.eResult);
    out.fileId = ReadAt<std::uint64_t>(record, layout.publishedFileId);
    out.creatorAppId = ReadAt<std::uint32_t>(record, layout.creatorAppId);
    out.consumerAppId = ReadAt<std::uint32_t>(record, layout.consumerAppId);
    ReadChars(record, layout.title, out.title);
    out.contentHandle = ReadAt<std::uint64_t>(record, layout.hFile);
    out.timeCreated = ReadAt<std::uint32_t>(record, layout.timeCreated);
    out.timeUpdated = ReadAt<std::uint32_t>(record, layout.timeUpdated);
    ReadChars(record, layout.fileName, out.fileName);
    out.fileSize = ReadAt<std::int32_t>(record, layout.fileSize);
    return true;
}

bool DecodeDownloadItemResult(ByteSpan record, const DownloadItemResultLayout& layout, ItemDownloadResult& out) {
    if (record.size() != layout.size) return false;
    out = {};
    out.appId = ReadAt<std::uint32_t>(record, layout.appId);
    out.fileId = ReadAt<std::uint64_t>(record, layout.publishedFileId);
    out.result = ReadAt<std::int32_t>(record, layout.eResult);
    return true;
}

std::optional<CallResultRecord> DecodeCallResult(int callbackId, ByteSpan record, const RecordLayouts& layouts) {
    switch (callbackId) {
        case kEnumerateResultId: {
            SubscriptionPage result;
            if (DecodeEnumerateResult(record, layouts.enumerate, result)) return CallResultRecord(result);
            break;
        }
        case kDownloadResultId: {
            DownloadedContent result;
            if (DecodeDownloadResult(record, layouts.download, result)) return CallResultRecord(result);
            break;
        }
        case kDetailsResultId: {
            PublishedFileDetails result;
            if (DecodeDetailsResult(record, layouts.details, result)) return CallResultRecord(result);
            break;
        }
        default: break;
    }
    return std::nullopt;
}

std::size_t CallResultSize(int callbackId, const RecordLayouts& layouts) {
    switch (callbackId) {
        case kEnumerateResultId: return layouts.enumerate.size;
        case kDownloadResultId: return layouts.download.size;
        case kDetailsResultId: return layouts.details.size;
        default: return 0;
    }
}

}  // namespace gh::steam
