#include "catalogue/ModFolderScan.h"

#include "app/PathText.h"
#include "platform/Files.h"
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

// The upper-casing of ToUpper, one character at a time.
wchar_t FoldCase(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

std::wstring WithTrailingSlash(std::wstring path) {
    if (path.empty() || (path.back() != L'/' && path.back() != L'\\')) path += L'/';
    return path;
}

}  // namespace

void FindModFiles(const std::wstring& folder, const std::wstring& pattern, const FoundModFile& found) {
    // `folder` is the caller's spelling, which the record paths keep; `real`
    // is the file system's, which is opened and listed. Each folder is held
    // open while its files are read, and they are opened relative to it, so
    // that no platform call matches names or walks the path again for each
    // of thousands of files.
    struct Pending {
        std::wstring folder;
        std::wstring real;
    };
    // An explicit stack rather than recursion, so no folder depth can
    // exhaust the call stack; subfolders are pushed in reverse to keep the
    // depth-first order.
    std::vector<Pending> pending{{folder, WithTrailingSlash(platform::ExactCasePath(folder))}};
    std::set<std::pair<std::uint64_t, std::uint64_t>> entered;
    std::vector<platform::FolderEntry> entries;
    std::vector<std::wstring> subfolders;
    platform::CInputFolder open;
    while (!pending.empty()) {
        const Pending current = std::move(pending.back());
        pending.pop_back();
        if (!open.Open(current.real)) continue;  // a folder that cannot be listed contributes nothing
        // A folder reached again through a link is the same real folder:
        // entering it once is what ends link loops.
        if (auto identity = open.Identity())
            if (!entered.emplace(identity->volume, identity->index).second) continue;
        const std::wstring upperFolder = ToUpper(current.folder);
        // One listing serves both the files and the subfolders.
        entries.clear();
        open.List(entries);
        subfolders.clear();
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const platform::FolderEntry& entry = entries[i];
            if (entry.isFolder) {
                if (IsEnteredFolderName(entry.name)) subfolders.push_back(entry.name);
            } else if (!IsSkippedFileName(entry.name) && platform::MatchesFilePattern(entry.name, pattern)) {
                // ToUpper(folder + name), built in one piece.
                std::wstring record;
                record.reserve(upperFolder.size() + entry.name.size());
                record += upperFolder;
                for (wchar_t c : entry.name) record.push_back(FoldCase(c));
                found(open, i, std::move(record));
            }
        }
        for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it)
            pending.push_back({current.folder + *it + L"/", current.real + *it + L"/"});
    }
}

}  // namespace gh
