#include "platform/SystemError.h"

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
    wchar_t buffer[512] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(code),
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer / sizeof buffer[0], nullptr);
    std::wstring text(buffer, length);
    // The system's texts end with a full stop and a line end.
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty()) text = L"system error " + std::to_wstring(code);
    return Status(kind, text);
}

}  // namespace gh::platform
