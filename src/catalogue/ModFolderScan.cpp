#include "catalogue/ModFolderScan.h"

#include "platform/FolderListing.h"
#include "platform/InputFolder.h"
#include "platform/SystemFolders.h"
#include "platform/Wildcard.h"

#include <set>
#include <utility>
#include <vector>

namespace gh {

namespace {

bool IsSkippedFileName(const std::wstring& name) {
    return name.empty() || name == L"Thumbs.db" || name == L".get_date.dat";
}

bool IsEnteredFolderName(const std::wstring& name) { return !name.empty() && name.front() != L'.'; }

std::wstring WithTrailingSeparator(std::wstring path) {
    if (path.empty() || (path.back() != L'/' && path.back() != L'\\')) path += platform::NativeSeparator();
    return path;
}

}  // namespace

void FindModFiles(const std::wstring& folder, const std::wstring& pattern, const FoundModFile& found) {
    // Each folder is spelled as the file system spells it, which is what is
    // opened and listed and what the records show people. Each folder is
    // held open while its files are read, and they are opened relative to
    // it, so that no platform call matches names or walks the path again for
    // each of thousands of files.
    const wchar_t separator = platform::NativeSeparator();
    // An explicit stack rather than recursion, so no folder depth can
    // exhaust the call stack; subfolders are pushed in reverse to keep the
    // depth-first order.
    std::vector<std::wstring> pending{WithTrailingSeparator(platform::ExactCasePath(folder))};
    std::set<std::pair<std::uint64_t, std::uint64_t>> entered;
    std::vector<platform::FolderEntry> entries;
    std::vector<std::wstring> subfolders;
    platform::CInputFolder open;
    while (!pending.empty()) {
        const std::wstring current = std::move(pending.back());
        pending.pop_back();
        if (!open.Open(current)) continue;  // a folder that cannot be listed contributes nothing
        // A folder reached again through a link is the same real folder:
        // entering it once is what ends link loops.
        if (auto identity = open.Identity())
            if (!entered.emplace(identity->volume, identity->index).second) continue;
        // One listing serves both the files and the subfolders.
        entries.clear();
        open.List(entries);
        subfolders.clear();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const platform::FolderEntry& entry = entries[i];
            if (entry.isFolder) {
                if (IsEnteredFolderName(entry.name)) subfolders.push_back(entry.name);
            } else if (!IsSkippedFileName(entry.name) && platform::MatchesFilePattern(entry.name, pattern)) {
                std::wstring record;
                record.reserve(current.size() + entry.name.size());
                record += current;
                record += entry.name;
                found(open, i, std::move(record));
            }
        }
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) pending.push_back(current + *it + separator);
    }
}

}  // namespace gh
