#include "catalogue/ModFolderScan.h"

#include "app/PathText.h"
#include "catalogue/ModCatalogue.h"
#include "platform/Files.h"

#include <algorithm>
#include <set>
#include <utility>

namespace gh {

namespace {

bool IsSkippedFileName(const std::wstring& name) {
    return name.empty() || name == L"Thumbs.db" || name == L".get_date.dat";
}

void ListFiles(const std::wstring& folder, const std::wstring& pattern, std::vector<FoundModFile>& out) {
    std::vector<platform::FolderEntry> entries;
    platform::ListFolder(folder, pattern, entries);
    for (auto& entry : entries) {
        if (entry.isFolder || IsSkippedFileName(entry.name)) continue;
        std::wstring path = folder + entry.name;
        std::wstring canonical = ToUpper(path);
        out.push_back({std::move(path), std::move(canonical)});
    }
}

}  // namespace

void FindModFiles(const std::wstring& folder, const std::wstring& pattern, std::vector<FoundModFile>& out) {
    // An explicit stack rather than recursion, so no folder depth can
    // exhaust the call stack; subfolders are pushed in reverse to keep
    // the depth-first order.
    std::vector<std::wstring> pending{folder};
    std::set<std::pair<std::uint64_t, std::uint64_t>> entered;
    std::vector<std::wstring> names;
    while (!pending.empty()) {
        const std::wstring current = std::move(pending.back());
        pending.pop_back();
        // A folder reached again through a link is the same real folder:
        // entering it once is what ends link loops.
        if (auto identity = platform::GetFolderIdentity(current))
            if (!entered.emplace(identity->volume, identity->index).second) continue;
        ListFiles(current, pattern, out);
        names.clear();
        CModCatalogue::ListSubfolders(names, current);
        for (auto it = names.rbegin(); it != names.rend(); ++it) pending.push_back(current + *it + L"/");
    }
}

void CModCatalogue::ScanModFolder(const std::wstring& folder, std::vector<std::wstring>& out, const std::wstring& pattern) {
    std::vector<FoundModFile> found;
    FindModFiles(folder, pattern, found);
    out.reserve(out.size() + found.size());
    for (auto& file : found) out.push_back(std::move(file.recordPath));
}

void CModCatalogue::ListMatchingFiles(std::vector<std::wstring>& out, const std::wstring& folder, const std::wstring& pattern) {
    std::vector<FoundModFile> found;
    ListFiles(folder, pattern, found);
    for (auto& file : found) out.push_back(std::move(file.recordPath));
}

void CModCatalogue::ListSubfolders(std::vector<std::wstring>& out, const std::wstring& folder) {
    std::vector<platform::FolderEntry> entries;
    // "*" rather than "*.*": the same entries where "*.*" matches every
    // name, and names without a dot on systems where it would not.
    platform::ListFolder(folder, L"*", entries);
    for (auto& entry : entries)
        if (entry.isFolder && !entry.name.empty() && entry.name.front() != L'.') out.push_back(std::move(entry.name));
}

}  // namespace gh
