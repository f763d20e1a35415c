#include "platform/SystemError.h"
#include "platform/Text.h"

#include <cerrno>
#include <cstring>

namespace gh::platform {

int LastSystemError() { return errno; }

Status SystemErrorStatus(int code) {
    StatusKind kind = StatusKind::Failed;
    switch (code) {
        case ENOENT:
        case ENOTDIR: kind = StatusKind::NotFound; break;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY: kind = StatusKind::Denied; break;
        case EISDIR:
        case ENXIO:
        case ENODEV: kind = StatusKind::WrongType; break;
        case ENOSPC:
        case EDQUOT:
        case EFBIG: kind = StatusKind::NoSpace; break;
        default: break;
    }
    if (code == 0) return Status(kind, L"the system gave no reason");
    char buffer[256] = {};
    // The GNU strerror_r returns its text, which may not be in the buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    return Status(kind, SystemNarrowToWide(text ? text : "unknown error"));
}

}  // namespace gh::platform
