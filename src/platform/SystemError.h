// The system's error codes as the program's Status: errno on POSIX,
// GetLastError() on Windows, worded as the system words them.
#pragma once

#include "platform/Status.h"

namespace gh::platform {

// The error code the last failed system call of this thread left.
int LastSystemError();

// The status for `code`, with the system's own text for it (for example
// "No space left on device") and the kind it belongs to. `code` 0 is a
// failure whose cause the system did not tell.
Status SystemErrorStatus(int code);

// The status a file that is not a regular file gets where one is needed: a
// folder, a pipe, a device.
inline Status NotARegularFileStatus() { return Status(StatusKind::WrongType, L"it is not a regular file"); }

}  // namespace gh::platform
