// The local Workshop manifest reader on arbitrary bytes: it must return an
// answer for every input, and an accepted manifest must hold only values
// within the documented bounds.
#include "workshop/WorkshopManifest.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    gh::WorkshopManifest manifest;
    std::string error;
    if (!gh::ParseWorkshopManifest(text, manifest, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (manifest.latencyMs < 0 || manifest.latencyMs > gh::kManifestMaxLatencyMs || manifest.bytesPerSecond < 0)
        std::abort();
    for (const gh::WorkshopItem& item : manifest.items) {
        if (item.fileName.size() >= gh::kFileNameFieldSize) std::abort();
        if (item.contentHandle && (*item.contentHandle == 0 || *item.contentHandle == gh::kInvalidUGCHandle))
            std::abort();
        if (item.latencyMs && (*item.latencyMs < 0 || *item.latencyMs > gh::kManifestMaxLatencyMs)) std::abort();
        if (item.content.empty() && item.fail != gh::WorkshopFailure::Details &&
            item.fail != gh::WorkshopFailure::Never)
            std::abort();
    }
    return 0;
}
