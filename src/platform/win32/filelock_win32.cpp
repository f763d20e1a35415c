#include "platform/FileLock.h"
#include "platform/SystemError.h"
#include "platform/win32/Win32Path.h"

#include <windows.h>

namespace gh::platform {

Result<bool> CFileLock::Take(const std::wstring& path, bool wait) {
    Release();
    HANDLE h = CreateFileW(win32::WithBackslashes(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return SystemErrorStatus(LastSystemError());
    OVERLAPPED at{};
    const DWORD flags = LOCKFILE_EXCLUSIVE_LOCK | (wait ? 0 : LOCKFILE_FAIL_IMMEDIATELY);
    if (!LockFileEx(h, flags, 0, 1, 0, &at)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return false;
        return SystemErrorStatus(static_cast<int>(error));
    }
    m_handle = reinterpret_cast<std::intptr_t>(h);
    return true;
}

void CFileLock::Release() {
    if (m_handle == kNone) return;
    // Closing the handle releases its lock.
    CloseHandle(win32::AsHandle(m_handle));
    m_handle = kNone;
}

}  // namespace gh::platform
