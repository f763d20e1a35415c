// The Steam client library's records as the library itself declares them:
// C structs under the system's packing (8 on Windows, 4 elsewhere). The
// stand-in fills these; the checks below tie them to the loader's layout
// tables and to the sizes the library is known to have.
#pragma once

#include "workshop/steamworks/SteamRecordLayout.h"

#include <cstddef>
#include <cstdint>

namespace gh::standin {

#if defined(_WIN32)
#pragma pack(push, 8)
#else
#pragma pack(push, 4)
#endif

struct CallbackMsg_t {
    std::int32_t m_hSteamUser;
    std::int32_t m_iCallback;
    std::uint8_t* m_pubParam;
    std::int32_t m_cubParam;
};

struct SteamAPICallCompleted_t {
    std::uint64_t m_hAsyncCall;
    std::int32_t m_iCallback;
    std::uint32_t m_cubParam;
};

struct SteamServersConnected_t {
    std::uint8_t m_unused;
};

struct RemoteStorageEnumerateUserSubscribedFilesResult_t {
    std::int32_t m_eResult;
    std::int32_t m_nResultsReturned;
    std::int32_t m_nTotalResultCount;
    std::uint64_t m_rgPublishedFileId[50];
    std::uint32_t m_rgRTimeSubscribed[50];
};

struct RemoteStorageDownloadUGCResult_t {
    std::int32_t m_eResult;
    std::uint64_t m_hFile;
    std::uint32_t m_nAppID;
    std::int32_t m_nSizeInBytes;
    char m_pchFileName[260];
    std::uint64_t m_ulSteamIDOwner;
};

struct RemoteStorageGetPublishedFileDetailsResult_t {
    std::int32_t m_eResult;
    std::uint64_t m_nPublishedFileId;
    std::uint32_t m_nCreatorAppID;
    std::uint32_t m_nConsumerAppID;
    char m_rgchTitle[129];
    char m_rgchDescription[8000];
    std::uint64_t m_hFile;
    std::uint64_t m_hPreviewFile;
    std::uint64_t m_ulSteamIDOwner;
    std::uint32_t m_rtimeCreated;
    std::uint32_t m_rtimeUpdated;
    std::int32_t m_eVisibility;
    bool m_bBanned;
    char m_rgchTags[1025];
    bool m_bTagsTruncated;
    char m_pchFileName[260];
    std::int32_t m_nFileSize;
    std::int32_t m_nPreviewFileSize;
    char m_rgchURL[256];
    std::int32_t m_eFileType;
    bool m_bAcceptedForUse;
};

struct DownloadItemResult_t {
    std::uint32_t m_unAppID;
    std::uint64_t m_nPublishedFileId;
    std::int32_t m_eResult;
};

#pragma pack(pop)

inline constexpr int kSteamServersConnectedId = 101;
inline constexpr int kDownloadItemResultId = 3406;

// The sizes the library's records have on this system.
#if defined(_WIN32)
static_assert(sizeof(CallbackMsg_t) == 24 && sizeof(RemoteStorageEnumerateUserSubscribedFilesResult_t) == 616 &&
              sizeof(RemoteStorageDownloadUGCResult_t) == 296 &&
              sizeof(RemoteStorageGetPublishedFileDetailsResult_t) == 9760);
#else
static_assert(sizeof(CallbackMsg_t) == 20 && sizeof(RemoteStorageEnumerateUserSubscribedFilesResult_t) == 612 &&
              sizeof(RemoteStorageDownloadUGCResult_t) == 288 &&
              sizeof(RemoteStorageGetPublishedFileDetailsResult_t) == 9748);
#endif
static_assert(sizeof(SteamAPICallCompleted_t) == 16);
#if defined(_WIN32)
static_assert(sizeof(DownloadItemResult_t) == 24);
#else
static_assert(sizeof(DownloadItemResult_t) == 16);
#endif

// The loader reads the records this library writes.
namespace layout = gh::steam;
inline constexpr const layout::RecordLayouts& kLayouts = layout::kTargetLayouts;
static_assert(kLayouts.callbackMsg.size == sizeof(CallbackMsg_t));
static_assert(kLayouts.callbackMsg.iCallback == offsetof(CallbackMsg_t, m_iCallback));
static_assert(kLayouts.callbackMsg.pubParam == offsetof(CallbackMsg_t, m_pubParam));
static_assert(kLayouts.callbackMsg.cubParam == offsetof(CallbackMsg_t, m_cubParam));
static_assert(kLayouts.callCompleted.cubParam == offsetof(SteamAPICallCompleted_t, m_cubParam));
static_assert(kLayouts.enumerate.size == sizeof(RemoteStorageEnumerateUserSubscribedFilesResult_t));
static_assert(kLayouts.enumerate.publishedFileIds ==
              offsetof(RemoteStorageEnumerateUserSubscribedFilesResult_t, m_rgPublishedFileId));
static_assert(kLayouts.download.size == sizeof(RemoteStorageDownloadUGCResult_t));
static_assert(kLayouts.download.hFile == offsetof(RemoteStorageDownloadUGCResult_t, m_hFile));
static_assert(kLayouts.download.steamIdOwner == offsetof(RemoteStorageDownloadUGCResult_t, m_ulSteamIDOwner));
static_assert(kLayouts.details.size == sizeof(RemoteStorageGetPublishedFileDetailsResult_t));
static_assert(kLayouts.details.hFile == offsetof(RemoteStorageGetPublishedFileDetailsResult_t, m_hFile));
static_assert(kLayouts.details.timeUpdated == offsetof(RemoteStorageGetPublishedFileDetailsResult_t, m_rtimeUpdated));
static_assert(kLayouts.details.fileName == offsetof(RemoteStorageGetPublishedFileDetailsResult_t, m_pchFileName));
static_assert(kLayouts.details.fileSize == offsetof(RemoteStorageGetPublishedFileDetailsResult_t, m_nFileSize));
static_assert(kLayouts.downloadItem.size == sizeof(DownloadItemResult_t));
static_assert(kLayouts.downloadItem.publishedFileId == offsetof(DownloadItemResult_t, m_nPublishedFileId));
static_assert(kLayouts.downloadItem.eResult == offsetof(DownloadItemResult_t, m_eResult));

}  // namespace gh::standin
