// The local Workshop manifest reader on arbitrary bytes: it must return an
// answer for every input, and an accepted manifest must hold only values
// within the documented bounds. The Workshop names it yields (and the input
// itself, taken as a name) must be written below the mods folder or not at
// all, never into the item folders; the input's lines, taken as the
// components of a file in an item's folder, must land in that item's folder
// or nowhere.
#include "platform/SystemFolders.h"
#include "workshop/WorkshopManifest.h"
#include "workshop/WorkshopNames.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

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
    // The second component never names the item folders, in any spelling Windows reads as theirs.
    std::wstring_view second = std::wstring_view(*path).substr(base.size() + 5);
    second = second.substr(0, second.find_first_of(L"/\\"));
    while (!second.empty() && (second.back() == L'.' || second.back() == L' ')) second.remove_suffix(1);
    if (second.size() == 14) {
        bool same = true;
        for (std::size_t i = 0; i < 14; ++i) same = same && (second[i] | 0x20) == L"workshop-items"[i];
        if (same) std::abort();
    }
}

void CheckLandsInItsItemFolder(std::string_view text) {
    std::vector<std::wstring> components;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        components.emplace_back(line.begin(), line.end());
        start = end + 1;
    }
    const wchar_t separator = gh::platform::NativeSeparator();
    const std::wstring base = std::wstring(L"G") + separator;
    const std::wstring folder = base + L"mods" + separator + L"workshop-items" + separator + L"42" + separator;
    const auto path = gh::ItemFilePath(base, 42, components);
    if (!path) return;
    if (path->compare(0, folder.size(), folder) != 0 || path->size() == folder.size()) std::abort();
    std::wstring_view rest = std::wstring_view(*path).substr(folder.size());
    while (true) {
        const std::size_t end = rest.find_first_of(L"/\\");
        const std::wstring_view component = rest.substr(0, end);
        if (component.find_first_not_of(L". ") == std::wstring_view::npos) std::abort();
        if (component.find(L':') != std::wstring_view::npos || gh::IsReservedDeviceName(component)) std::abort();
        if (end == std::wstring_view::npos) break;
        rest.remove_prefix(end + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckLandsBelowMods(std::wstring(text.begin(), text.end()));
    CheckLandsInItsItemFolder(text);
    const gh::Result<gh::WorkshopManifest> parsed = gh::ParseWorkshopManifest(text);
    if (!parsed) {
        if (parsed.Error().Text().empty()) std::abort();
        return 0;
    }
    const gh::WorkshopManifest& manifest = *parsed;
    if (manifest.latencyMs < 0 || manifest.latencyMs > gh::kManifestMaxLatencyMs || manifest.bytesPerSecond < 0)
        std::abort();
    if (manifest.appId == 0 || manifest.pageSize < 1 || manifest.pageSize > gh::kManifestMaxPageSize ||
        (manifest.totalCount && *manifest.totalCount < 0))
        std::abort();
    for (const gh::WorkshopItem& item : manifest.items) {
        const bool folder = item.kind == gh::WorkshopItemKind::Folder;
        if (folder && item.folder.empty()) std::abort();
        if (!item.listedByRemoteStorage && !item.listedByItemInterface) std::abort();
        if (item.state & ~(gh::kItemInstalled | gh::kItemNeedsUpdate | gh::kItemDownloading | gh::kItemDisabledLocally))
            std::abort();
        if (item.fileName.size() >= gh::kFileNameFieldSize) std::abort();
        if (item.contentHandle && (*item.contentHandle == 0 || *item.contentHandle == gh::kInvalidUGCHandle))
            std::abort();
        if (item.latencyMs && (*item.latencyMs < 0 || *item.latencyMs > gh::kManifestMaxLatencyMs)) std::abort();
        if (!folder && item.content.empty() && item.fail != gh::WorkshopFailure::Details &&
            item.fail != gh::WorkshopFailure::Never)
            std::abort();
        CheckLandsBelowMods(std::wstring(item.fileName.begin(), item.fileName.end()));
    }
    return 0;
}
