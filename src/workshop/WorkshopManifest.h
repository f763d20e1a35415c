// The manifest of a local Workshop folder ("workshop.json"): whether a user
// is logged on, the app, simulated latency, bandwidth and paging, and the
// subscriptions, each a single file or an item that lives in a folder.
// 4 MiB hold 10,000 items with room to spare.
#pragma once

#include "platform/Status.h"
#include "workshop/WorkshopRecords.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gh {

inline constexpr std::size_t kManifestMaxBytes = 4 << 20;
inline constexpr int kManifestMaxDepth = 32;
inline constexpr std::int64_t kManifestMaxLatencyMs = 24LL * 60 * 60 * 1000;

enum class WorkshopFailure {
    None,
    Details,         // the details result fails
    Download,        // the download result fails
    Never,           // the details request gets a zero handle and is never answered
    DownloadItem,    // the item download is refused at once (DownloadItem returns false)
    DownloadResult,  // the item download's result fails
};

enum class WorkshopItemKind {
    File,    // one file, fetched by its content handle
    Folder,  // an item that lives in a folder
};

struct WorkshopItem {
    PublishedFileId id = 0;
    WorkshopItemKind kind = WorkshopItemKind::File;
    std::string fileName;                      // UTF-8 as written, handed on as 8-bit text; at most 259 bytes
    std::string content;                       // file in the Workshop folder; empty only with Details or Never
    std::string folder;                        // a folder item's installed content, in the Workshop folder
    std::optional<std::uint32_t> timeUpdated;  // else the content file's (or folder's) modification time
    std::optional<UGCHandle> contentHandle;    // items with the same handle share one content
    std::optional<std::int64_t> latencyMs;     // else the manifest's
    WorkshopFailure fail = WorkshopFailure::None;
    std::uint32_t state = kItemInstalled;      // kItemInstalled, kItemNeedsUpdate, kItemDownloading,
                                               // kItemDisabledLocally
    bool legacy = true;                        // by default: a file is, a folder item is not
    bool listedByRemoteStorage = true;         // on the remote-storage pages
    bool listedByItemInterface = true;         // on the item interface's list
    std::optional<std::uint32_t> resultAppId;  // a download result for this other app comes first
};

inline constexpr int kManifestMaxPageSize = 50;

struct WorkshopManifest {
    bool loggedOn = true;
    std::uint32_t appId = 1;
    std::int64_t latencyMs = 0;
    std::int64_t bytesPerSecond = 0;  // 0: downloads finish at once
    int pageSize = kManifestMaxPageSize;
    std::optional<std::int32_t> totalCount;   // the total the first page reports, if not the real one
    std::optional<std::uint32_t> repeatPage;  // this page is answered again in place of the next
    std::optional<std::uint32_t> failPage;    // the request for this page fails
    std::vector<WorkshopItem> items;          // in list order
};

// Reads a manifest from memory: a JSON object (comments allowed) with the
// optional keys loggedOn, appId, latencyMs, bytesPerSecond, pageSize,
// totalCount, repeatPage, failPage and items (docs/architecture.md has the
// format). On failure the status names what is wrong and where. Keys it
// does not know are ignored.
Result<WorkshopManifest> ParseWorkshopManifest(std::string_view text);

}  // namespace gh
