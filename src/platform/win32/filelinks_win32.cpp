#include "platform/FileLinks.h"
#include "platform/SystemError.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

#include <vector>

namespace gh::platform {

using win32::WithBackslashes;

namespace {

// Errors by which a file system says it keeps no second names for files.
bool CannotLink(DWORD error) {
    return error == ERROR_NOT_SAME_DEVICE || error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_TOO_MANY_LINKS || error == ERROR_CALL_NOT_IMPLEMENTED;
}

constexpr std::int64_t kFileTimeTo1970 = 116444736000000000LL;

bool RemoveTree(const std::wstring& folder, int depth) {
    if (depth > 256) return false;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    bool ok = true;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = folder + L"\\" + name;
            const DWORD attributes = data.dwFileAttributes;
            if (attributes & FILE_ATTRIBUTE_READONLY)
                SetFileAttributesW(child.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
                ok = RemoveDirectoryW(child.c_str()) && ok;  // the junction or link only
            else if (attributes & FILE_ATTRIBUTE_DIRECTORY)
                ok = RemoveTree(child, depth + 1) && ok;
            else
                ok = DeleteFileW(child.c_str()) && ok;
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return RemoveDirectoryW(folder.c_str()) && ok;
}

}  // namespace

std::optional<FileStamp> FileStampAt(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WithBackslashes(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
    const std::int64_t time =
        (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return FileStamp{size, (time - kFileTimeTo1970) / 10'000'000};
}

Status LinkOrCopyFile(const std::wstring& from, const std::wstring& to) {
    if (win32::LinkFile(WithBackslashes(from).c_str(), WithBackslashes(to).c_str())) return {};
    const DWORD error = GetLastError();
    if (!CannotLink(error)) return SystemErrorStatus(static_cast<int>(error));
    return detail::CopyFileKeepingTime(from, to);
}

Status MoveFileToNewName(const std::wstring& from, const std::wstring& to) {
    if (win32::MoveToNewName(WithBackslashes(from).c_str(), WithBackslashes(to).c_str())) return {};
    return SystemErrorStatus(LastSystemError());
}

bool RemoveFolderTree(const std::wstring& folder) {
    const std::wstring path = WithBackslashes(folder);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return DeleteFileW(path.c_str()) != 0;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveDirectoryW(path.c_str()) != 0;
    return RemoveTree(path, 0);
}

PathKind KindAt(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(WithBackslashes(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::Missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return PathKind::Link;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Folder;
    if (attributes & FILE_ATTRIBUTE_DEVICE) return PathKind::Other;
    return PathKind::File;
}

}  // namespace gh::platform
