// The manifest of a local Workshop folder ("workshop.json"): whether a user
// is logged on, simulated latency and bandwidth, and the subscriptions.
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
    Details,   // the details result fails
    Download,  // the download result fails
    Never,     // the details request gets a zero handle and is never answered
};

struct WorkshopItem {
    PublishedFileId id = 0;
    std::string fileName;                      // UTF-8 as written, handed on as 8-bit text; at most 259 bytes
    std::string content;                       // file in the Workshop folder; empty only with Details or Never
    std::optional<std::uint32_t> timeUpdated;  // else the content file's modification time
    std::optional<UGCHandle> contentHandle;    // items with the same handle share one content
    std::optional<std::int64_t> latencyMs;     // else the manifest's
    WorkshopFailure fail = WorkshopFailure::None;
};

struct WorkshopManifest {
    bool loggedOn = true;
    std::int64_t latencyMs = 0;
    std::int64_t bytesPerSecond = 0;  // 0: downloads finish at once
    std::vector<WorkshopItem> items;  // in list order
};

// Reads a manifest from memory: a JSON object (comments allowed) with the
// optional keys loggedOn, latencyMs, bytesPerSecond and items. On failure
// the status names what is wrong and where. Keys it does not know are
// ignored.
Result<WorkshopManifest> ParseWorkshopManifest(std::string_view text);

}  // namespace gh
