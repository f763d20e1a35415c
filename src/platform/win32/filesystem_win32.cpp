#include "platform/FileSystem.h"
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
