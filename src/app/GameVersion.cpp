#include "app/GameVersion.h"

#include "app/Folders.h"
#include "app/PathText.h"
#include "platform/FileVersion.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

namespace gh {

namespace {

struct Cache {
    bool computed = false;
    bool found = false;
    std::uint16_t parts[4] = {0, 0, 0, 0};
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

}  // namespace

bool GetGameVersion(std::uint16_t& major, std::uint16_t& minor, std::uint16_t& build, std::uint16_t& revision) {
    Cache& cache = TheCache();
    if (!cache.computed) {
        cache.computed = true;  // a failed read is not retried in this process
        std::uint16_t parts[4] = {0, 0, 0, 0};
        const std::wstring path = NormalizeSlashes(GetGameFolder() + L"/EMBERWAKE2.EXE");
        cache.found = platform::ReadFileVersion(path, parts);
        if (!cache.found) return false;  // the first failure leaves the arguments untouched
        for (int i = 0; i < 4; ++i) cache.parts[i] = parts[i];
    }
    // Later calls hand out what was kept: after a failed read, four zeros.
    major = cache.parts[0];
    minor = cache.parts[1];
    build = cache.parts[2];
    revision = cache.parts[3];
    return cache.found;
}

std::optional<GameVersionParts> InstalledGameVersion() {
    GameVersionParts parts;
    if (!GetGameVersion(parts.major, parts.minor, parts.build, parts.revision)) return std::nullopt;
    return parts;
}

std::wstring FormatVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    return fmt::format(L"{}.{}.{}.{}", a, b, c, d);
}

void ResetGameVersionForTesting() { TheCache() = Cache{}; }

}  // namespace gh
