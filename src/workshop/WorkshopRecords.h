// The records that the Workshop service's asynchronous calls complete with,
// and what its item interface tells about an item, in the program's own
// form: plain fields, independent of how a backend receives them (a
// library's packed structs, a manifest, a test).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gh {

using SteamAPICall = std::uint64_t;     // a call handle; 0 means the call will never be answered
using PublishedFileId = std::uint64_t;  // a Workshop item
using UGCHandle = std::uint64_t;        // a Workshop item's content

inline constexpr SteamAPICall kInvalidCall = 0;
inline constexpr UGCHandle kInvalidUGCHandle = ~UGCHandle{0};

// Result codes (`result`). Only kResultOk means success.
inline constexpr std::int32_t kResultOk = 1;
inline constexpr std::int32_t kResultFail = 2;
inline constexpr std::int32_t kResultFileNotFound = 9;

// The service lists at most this many subscriptions per page.
inline constexpr int kEnumerateMaxResults = 50;
// Size of a file-name field, terminating zero included.
inline constexpr std::size_t kFileNameFieldSize = 260;
inline constexpr std::size_t kTitleFieldSize = 129;

struct SubscriptionPage {
    static constexpr int kCallbackId = 1314;
    std::int32_t result = 0;
    std::int32_t resultsReturned = 0;  // entries filled in fileIds
    std::int32_t totalCount = 0;
    PublishedFileId fileIds[kEnumerateMaxResults] = {};
    std::uint32_t timesSubscribed[kEnumerateMaxResults] = {};
};

struct PublishedFileDetails {
    static constexpr int kCallbackId = 1318;
    std::int32_t result = 0;
    PublishedFileId fileId = 0;
    std::uint32_t creatorAppId = 0;
    std::uint32_t consumerAppId = 0;
    char title[kTitleFieldSize] = {};
    UGCHandle contentHandle = 0;             // the content, for UGCDownload
    std::uint32_t timeCreated = 0;           // seconds since 1970
    std::uint32_t timeUpdated = 0;           // seconds since 1970
    char fileName[kFileNameFieldSize] = {};  // 8-bit text, zero-terminated when shorter than the field
    std::int32_t fileSize = 0;
};

// The item interface's answer to an item download (a broadcast to every
// listener, not the answer to one call): for which app and which item, and
// how it went.
struct ItemDownloadResult {
    static constexpr int kCallbackId = 3406;
    std::uint32_t appId = 0;
    PublishedFileId fileId = 0;
    std::int32_t result = 0;
};

// The state flags of an item, as the item interface reports them.
inline constexpr std::uint32_t kItemSubscribed = 1;
inline constexpr std::uint32_t kItemLegacy = 2;  // published the older way: one file, fetched by content handle
inline constexpr std::uint32_t kItemInstalled = 4;
inline constexpr std::uint32_t kItemNeedsUpdate = 8;
inline constexpr std::uint32_t kItemDownloading = 16;
inline constexpr std::uint32_t kItemDownloadPending = 32;
inline constexpr std::uint32_t kItemDisabledLocally = 64;  // the player switched it off in Steam

// Where an installed item lives on this machine.
struct ItemInstallInfo {
    std::uint64_t sizeOnDisk = 0;
    std::string folder;           // UTF-8 on every system
    std::uint32_t timeStamp = 0;  // the installed version's time, seconds since 1970
};

struct DownloadedContent {
    static constexpr int kCallbackId = 1317;
    std::int32_t result = 0;
    UGCHandle contentHandle = 0;
    std::uint32_t appId = 0;
    std::int32_t sizeInBytes = 0;
    char fileName[kFileNameFieldSize] = {};
    std::uint64_t ownerSteamId = 0;
};

// The text of a fixed 8-bit field: its bytes up to the first zero, or the
// whole field when it holds none. Never reads past the field.
template <std::size_t N>
std::string FieldText(const char (&field)[N]) {
    std::size_t n = 0;
    while (n < N && field[n] != '\0') ++n;
    return std::string(field, n);
}

// Copies `text` into a fixed field, cut to N - 1 bytes, zero-terminated and
// zero-filled.
template <std::size_t N>
void SetFieldText(char (&field)[N], std::string_view text) {
    const std::size_t n = text.size() < N ? text.size() : N - 1;
    for (std::size_t i = 0; i < N; ++i) field[i] = i < n ? text[i] : '\0';
}

}  // namespace gh
