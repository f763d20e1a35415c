// Where the fields of the Steam client library's records lie, in bytes.
// The library packs its records (and the dispatch message that carries
// them) to 8 bytes on Windows and to 4 bytes on Linux, so a 64-bit field can
// sit at an offset that is not a multiple of 8 on Linux. Both layouts are
// computed here from the records' field lists, on every host, so that tests
// can check both; the loader uses the one of the system it was built for.
#pragma once

#include <algorithm>
#include "platform/TargetSystem.h"

#include <cstddef>

namespace gh::steam {

enum class RecordPacking : std::size_t {
    Small = 4,  // Linux (and the library's other POSIX builds)
    Large = 8,  // Windows
};

inline constexpr RecordPacking kTargetPacking =
    platform::kTargetSystem == platform::TargetSystem::Windows ? RecordPacking::Large : RecordPacking::Small;

// A C field: its size, its natural alignment, how many in a row.
struct FieldShape {
    std::size_t size = 0;
    std::size_t alignment = 1;
    std::size_t count = 1;
};

inline constexpr FieldShape kInt32Field{4, 4};  // int32, uint32 and the 4-byte enums
inline constexpr FieldShape kInt64Field{8, 8};  // uint64 handles and ids
inline constexpr FieldShape kBoolField{1, 1};
inline constexpr FieldShape kPointerField{8, 8};  // the 64-bit libraries only
constexpr FieldShape CharArray(std::size_t count) { return {1, 1, count}; }
constexpr FieldShape ArrayOf(FieldShape element, std::size_t count) { return {element.size, element.alignment, count}; }

// Lays fields out one after another as a compiler does under #pragma pack(n):
// each field at the next multiple of min(its alignment, n), the record's
// size rounded up to min(its largest alignment, n).
class CLayoutBuilder {
public:
    constexpr explicit CLayoutBuilder(RecordPacking packing) : m_pack(static_cast<std::size_t>(packing)) {}

    // Places the next field; returns its offset.
    constexpr std::size_t Add(FieldShape field) {
        const std::size_t alignment = std::min(field.alignment, m_pack);
        m_end = RoundUp(m_end, alignment);
        const std::size_t offset = m_end;
        m_end += field.size * field.count;
        m_alignment = std::max(m_alignment, alignment);
        return offset;
    }
    constexpr std::size_t Size() const { return RoundUp(m_end, m_alignment); }
    constexpr std::size_t Alignment() const { return m_alignment; }

private:
    static constexpr std::size_t RoundUp(std::size_t value, std::size_t alignment) {
        return (value + alignment - 1) / alignment * alignment;
    }

    std::size_t m_pack;
    std::size_t m_end = 0;
    std::size_t m_alignment = 1;
};

// CallbackMsg_t: one message of the manual dispatch queue.
struct CallbackMsgLayout {
    std::size_t size, hSteamUser, iCallback, pubParam, cubParam;
};

// SteamAPICallCompleted_t (703): a call result is ready.
struct CallCompletedLayout {
    std::size_t size, hAsyncCall, iCallback, cubParam;
};

// RemoteStorageEnumerateUserSubscribedFilesResult_t (1314).
struct EnumerateResultLayout {
    std::size_t size, eResult, resultsReturned, totalResultCount, publishedFileIds, timesSubscribed;
};

// RemoteStorageDownloadUGCResult_t (1317).
struct DownloadResultLayout {
    std::size_t size, eResult, hFile, appId, sizeInBytes, fileName, steamIdOwner;
};

// RemoteStorageGetPublishedFileDetailsResult_t (1318).
struct DetailsResultLayout {
    std::size_t size, eResult, publishedFileId, creatorAppId, consumerAppId, title, description, hFile, hPreviewFile,
        steamIdOwner, timeCreated, timeUpdated, visibility, banned, tags, tagsTruncated, fileName, fileSize,
        previewFileSize, url, fileType, acceptedForUse;
};

// DownloadItemResult_t (3406): an item download ended (a broadcast).
struct DownloadItemResultLayout {
    std::size_t size, appId, publishedFileId, eResult;
};

struct RecordLayouts {
    CallbackMsgLayout callbackMsg;
    CallCompletedLayout callCompleted;
    EnumerateResultLayout enumerate;
    DownloadResultLayout download;
    DetailsResultLayout details;
    DownloadItemResultLayout downloadItem;
};

// Ids and field sizes of the records, as the library defines them.
inline constexpr int kCallCompletedId = 703;
inline constexpr int kEnumerateResultId = 1314;
inline constexpr int kDownloadResultId = 1317;
inline constexpr int kDetailsResultId = 1318;
inline constexpr int kDownloadItemResultId = 3406;
inline constexpr std::size_t kEnumerateIdCount = 50;
inline constexpr std::size_t kTitleChars = 129;
inline constexpr std::size_t kDescriptionChars = 8000;
inline constexpr std::size_t kTagChars = 1025;
inline constexpr std::size_t kFileNameChars = 260;
inline constexpr std::size_t kUrlChars = 256;

// The fields in the library's declaration order.
constexpr RecordLayouts LayOutRecords(RecordPacking packing) {
    RecordLayouts l{};
    {
        CLayoutBuilder b(packing);
        l.callbackMsg.hSteamUser = b.Add(kInt32Field);
        l.callbackMsg.iCallback = b.Add(kInt32Field);
        l.callbackMsg.pubParam = b.Add(kPointerField);
        l.callbackMsg.cubParam = b.Add(kInt32Field);
        l.callbackMsg.size = b.Size();
    }
    {
        CLayoutBuilder b(packing);
        l.callCompleted.hAsyncCall = b.Add(kInt64Field);
        l.callCompleted.iCallback = b.Add(kInt32Field);
        l.callCompleted.cubParam = b.Add(kInt32Field);
        l.callCompleted.size = b.Size();
    }
    {
        CLayoutBuilder b(packing);
        l.enumerate.eResult = b.Add(kInt32Field);
        l.enumerate.resultsReturned = b.Add(kInt32Field);
        l.enumerate.totalResultCount = b.Add(kInt32Field);
        l.enumerate.publishedFileIds = b.Add(ArrayOf(kInt64Field, kEnumerateIdCount));
        l.enumerate.timesSubscribed = b.Add(ArrayOf(kInt32Field, kEnumerateIdCount));
        l.enumerate.size = b.Size();
    }
    {
        CLayoutBuilder b(packing);
        l.download.eResult = b.Add(kInt32Field);
        l.download.hFile = b.Add(kInt64Field);
        l.download.appId = b.Add(kInt32Field);
        l.download.sizeInBytes = b.Add(kInt32Field);
        l.download.fileName = b.Add(CharArray(kFileNameChars));
        l.download.steamIdOwner = b.Add(kInt64Field);
        l.download.size = b.Size();
    }
    {
        CLayoutBuilder b(packing);
        DetailsResultLayout& d = l.details;
        d.eResult = b.Add(kInt32Field);
        d.publishedFileId = b.Add(kInt64Field);
        d.creatorAppId = b.Add(kInt32Field);
        d.consumerAppId = b.Add(kInt32Field);
        d.title = b.Add(CharArray(kTitleChars));
        d.description = b.Add(CharArray(kDescriptionChars));
        d.hFile = b.Add(kInt64Field);
        d.hPreviewFile = b.Add(kInt64Field);
        d.steamIdOwner = b.Add(kInt64Field);
        d.timeCreated = b.Add(kInt32Field);
        d.timeUpdated = b.Add(kInt32Field);
        d.visibility = b.Add(kInt32Field);
        d.banned = b.Add(kBoolField);
        d.tags = b.Add(CharArray(kTagChars));
        d.tagsTruncated = b.Add(kBoolField);
        d.fileName = b.Add(CharArray(kFileNameChars));
        d.fileSize = b.Add(kInt32Field);
        d.previewFileSize = b.Add(kInt32Field);
        d.url = b.Add(CharArray(kUrlChars));
        d.fileType = b.Add(kInt32Field);
        d.acceptedForUse = b.Add(kBoolField);
        d.size = b.Size();
    }
    {
        CLayoutBuilder b(packing);
        l.downloadItem.appId = b.Add(kInt32Field);
        l.downloadItem.publishedFileId = b.Add(kInt64Field);
        l.downloadItem.eResult = b.Add(kInt32Field);
        l.downloadItem.size = b.Size();
    }
    return l;
}

inline constexpr RecordLayouts kSmallPackLayouts = LayOutRecords(RecordPacking::Small);
inline constexpr RecordLayouts kLargePackLayouts = LayOutRecords(RecordPacking::Large);

constexpr const RecordLayouts& LayoutsFor(RecordPacking packing) {
    return packing == RecordPacking::Large ? kLargePackLayouts : kSmallPackLayouts;
}

// The layouts of the library this program loads.
inline constexpr const RecordLayouts& kTargetLayouts = LayoutsFor(kTargetPacking);

}  // namespace gh::steam
