// The local Workshop manifest reader on arbitrary bytes: it must return an
// answer for every input, and an accepted manifest must hold only values
// within the documented bounds. The Workshop names it yields (and the input
// itself, taken as a name) must be written below the mods folder or not at
// all.
#include "platform/SystemFolders.h"
#include "workshop/WorkshopManifest.h"
#include "workshop/WorkshopNames.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool IsModsFolder(std::wstring_view component) {
    if (component.size() != 4) return false;
    for (std::size_t i = 0; i < 4; ++i)
        if ((component[i] | 0x20) != L"mods"[i]) return false;
    return true;
}

// A path WorkshopFilePath gives must be the base, then "mods" in some case,
// then at least one more component, none of which can lead back up, name a
// drive or stream, or be no name at all on Windows.
void CheckLandsBelowMods(std::wstring_view name) {
    const wchar_t separator = gh::platform::NativeSeparator();
    const std::wstring base = std::wstring(L"G") + separator;
    const auto path = gh::WorkshopFilePath(base, name);
    if (path.has_value() != (gh::JudgeWorkshopName(name) == gh::WorkshopNameProblem::None)) std::abort();
    if (!path) return;
    if (path->compare(0, base.size(), base) != 0) std::abort();
    std::wstring_view rest = std::wstring_view(*path).substr(base.size());
    std::size_t count = 0;
    while (true) {
        const std::size_t end = rest.find_first_of(L"/\\");
        const std::wstring_view component = rest.substr(0, end);
        if (count == 0 && !IsModsFolder(component)) std::abort();
        if (component.find_first_not_of(L". ") == std::wstring_view::npos) std::abort();
        if (component.find(L':') != std::wstring_view::npos) std::abort();
        ++count;
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    if (count < 2) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckLandsBelowMods(std::wstring(text.begin(), text.end()));
    const gh::Result<gh::WorkshopManifest> parsed = gh::ParseWorkshopManifest(text);
    if (!parsed) {
        if (parsed.Error().Text().empty()) std::abort();
        return 0;
    }
    const gh::WorkshopManifest& manifest = *parsed;
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
        CheckLandsBelowMods(std::wstring(item.fileName.begin(), item.fileName.end()));
    }
    return 0;
}
