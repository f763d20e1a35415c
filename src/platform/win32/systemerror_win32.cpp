#include "platform/SystemError.h"
#include "platform/win32/SystemErrorText.h"

#include <windows.h>

#include <string>

namespace gh::platform {

int LastSystemError() { return static_cast<int>(GetLastError()); }

Status SystemErrorStatus(int code) {
    StatusKind kind = StatusKind::Failed;
    switch (static_cast<DWORD>(code)) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE: kind = StatusKind::NotFound; break;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION: kind = StatusKind::Denied; break;
        case ERROR_DIRECTORY: kind = StatusKind::WrongType; break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: kind = StatusKind::NoSpace; break;
        default: break;
    }
    if (code == 0) return Status(kind, L"the system gave no reason");
    std::wstring text = win32::SystemErrorText(static_cast<DWORD>(code));
    // The system's texts end with a full stop, which the player's line adds or not.
    if (!text.empty() && text.back() == L'.') text.pop_back();
    return Status(kind, text);
}

}  // namespace gh::platform
