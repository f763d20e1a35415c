#include "platform/Files.h"
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

std::optional<FolderIdentity> GetFolderIdentity(const std::wstring& folder) {
    HANDLE h = CreateFileW(WithBackslashes(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = GetFileInformationByHandle(h, &info);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return win32::IdentityOf(info);
}

std::optional<std::int64_t> FileModificationTime(const std::wstring& path) {
    struct _stat64 st {};
    if (_wstat64(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(WithBackslashes(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsReadOnlyFile(const std::wstring& path) {
    const std::wstring p = WithBackslashes(path);
    const DWORD attributes = GetFileAttributesW(p.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_READONLY) return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    // As the system decides: the file must open for writing and deleting
    // while letting everyone else do anything, the access a replacement
    // needs. The file's security refuses it (another user's file), or a
    // handle open elsewhere that does not share writing and deleting (the
    // game reading it) does.
    HANDLE h = CreateFileW(p.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    CloseHandle(h);
    return false;
}

bool DeleteFileAt(const std::wstring& path) { return DeleteFileW(WithBackslashes(path).c_str()) != 0; }

bool CreateFolders(const std::wstring& path) {
    const std::wstring p = WithBackslashes(path);
    std::wstring current;
    std::size_t pos = 0;
    // Keep a drive ("C:\") or network prefix ("\\server\share\") whole.
    if (p.size() >= 2 && p[1] == L':') {
        current = p.substr(0, 2);
        pos = 2;
    } else if (p.rfind(L"\\\\", 0) == 0) {
        std::size_t shareEnd = p.find(L'\\', 2);
        if (shareEnd != std::wstring::npos) shareEnd = p.find(L'\\', shareEnd + 1);
        if (shareEnd == std::wstring::npos) shareEnd = p.size();
        current = p.substr(0, shareEnd);
        pos = shareEnd;
    }
    while (pos <= p.size()) {
        std::size_t end = p.find(L'\\', pos);
        if (end == std::wstring::npos) end = p.size();
        const std::wstring component = p.substr(pos, end - pos);
        pos = end + 1;
        if (component.empty()) {
            if (current.empty() || current.back() != L'\\') current += L'\\';
            continue;
        }
        if (!current.empty() && current.back() != L'\\') current += L'\\';
        current += component;
        const DWORD existing = GetFileAttributesW(current.c_str());
        if (existing != INVALID_FILE_ATTRIBUTES) {
            if (!(existing & FILE_ATTRIBUTE_DIRECTORY)) return false;
            continue;
        }
        if (!win32::MakeFolder(current.c_str()) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    const DWORD attributes = GetFileAttributesW(p.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool SetFileModificationTime(const std::wstring& path, std::int64_t secondsSince1970) {
    struct __utimbuf64 times {};
    times.actime = secondsSince1970;
    times.modtime = secondsSince1970;
    return _wutime64(WithBackslashes(path).c_str(), &times) == 0;
}

}  // namespace gh::platform
