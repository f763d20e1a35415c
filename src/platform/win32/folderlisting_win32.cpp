#include "platform/FolderListing.h"
#include "platform/Wildcard.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

#include <sys/stat.h>
#include <sys/utime.h>

#include <algorithm>
#include <string>

namespace gh::platform {

using win32::WithBackslashes;

// FindFirstFileW also matches 8.3 short names ("x.modx" as "X~1.MOD");
// checking the long name again keeps both systems alike.
bool ListFolder(const std::wstring& folder, const std::wstring& pattern, std::vector<FolderEntry>& out) {
    std::wstring search = WithBackslashes(folder);
    if (!search.empty() && search.back() != L'\\') search += L'\\';
    search += pattern;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(search.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
    }
    do {
        std::wstring name = data.cFileName;
        if (!MatchesFilePattern(name, pattern)) continue;
        out.push_back({std::move(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool ListFolderAsIs(const std::wstring& folder, std::vector<TypedFolderEntry>& out) {
    std::wstring search = WithBackslashes(folder);
    if (!search.empty() && search.back() != L'\\') search += L'\\';
    search += L'*';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES;
    }
    std::vector<TypedFolderEntry> found;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD attributes = data.dwFileAttributes;
        // Of the reparse points only links lead elsewhere; others (files a
        // cloud service keeps, deduplicated files) are what they say.
        const bool link =
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            (data.dwReserved0 == IO_REPARSE_TAG_SYMLINK || data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
        EntryKind kind = EntryKind::File;
        if (link)
            kind = EntryKind::Link;
        else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            kind = EntryKind::Folder;
        else if (attributes & FILE_ATTRIBUTE_DEVICE)
            kind = EntryKind::Other;
        found.push_back({name, kind});
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    for (auto& entry : found) out.push_back(std::move(entry));
    return true;
}

std::wstring ExactCasePath(const std::wstring& path) {
    // Names ignore case here, so any spelling reaches the file; the stored
    // spelling is asked of each component's folder, for what people read.
    const std::wstring given = WithBackslashes(path);
    std::size_t start = 0;
    if (given.size() >= 2 && given[1] == L':') {
        start = 2;  // a drive
    } else if (given.rfind(L"\\\\", 0) == 0) {
        // A network share: its server and share name are kept as given.
        start = given.find(L'\\', 2);
        start = start == std::wstring::npos ? given.size() : given.find(L'\\', start + 1);
        if (start == std::wstring::npos) start = given.size();
    }
    std::wstring out = given.substr(0, start);
    while (start < given.size()) {
        if (given[start] == L'\\') {
            out += L'\\';
            ++start;
            continue;
        }
        std::size_t end = given.find(L'\\', start);
        if (end == std::wstring::npos) end = given.size();
        const std::wstring component = given.substr(start, end - start);
        WIN32_FIND_DATAW data;
        HANDLE find = component.find_first_of(L"*?") == std::wstring::npos && component != L"." && component != L".."
                          ? FindFirstFileW((out + component).c_str(), &data)
                          : INVALID_HANDLE_VALUE;
        if (find != INVALID_HANDLE_VALUE) {
            FindClose(find);
            out += data.cFileName;
        } else {
            out += component;
        }
        start = end;
    }
    return out;
}

CFolderSnapshot::CFolderSnapshot() = default;
CFolderSnapshot::~CFolderSnapshot() = default;

}  // namespace gh::platform
