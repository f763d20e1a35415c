#include "platform/TemporaryFileName.h"
#include "platform/TemporaryFiles.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace gh::platform {

namespace {

// Long enough for any writer to have its temporary file open: the same
// margin on both systems, although a Windows writer holds its file from
// the moment it is made.
constexpr std::uint64_t kStaleAfter = 60ULL * 10000000ULL;  // in 100 ns units

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

std::size_t RemoveStaleTemporaryFiles(const std::wstring& folder) {
    std::wstring base = win32::WithBackslashes(folder);
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((base + L".gatehouse-*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    FILETIME nowTime;
    GetSystemTimeAsFileTime(&nowTime);
    const std::uint64_t now = Ticks(nowTime);
    std::size_t removed = 0;
    do {
        // Files only, never a link or a mount point; the pattern also matches
        // short 8.3 names, so the long name is checked again.
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE))
            continue;
        if (!detail::IsTemporaryFileName(std::wstring_view(data.cFileName))) continue;
        if (Ticks(data.ftLastWriteTime) + kStaleAfter > now) continue;
        // Fails while a writer has the file open: it shares no deletion.
        if (DeleteFileW((base + data.cFileName).c_str())) ++removed;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return removed;
}

}  // namespace gh::platform
