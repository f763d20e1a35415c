// What the lock does the same on every system; taking and releasing it is
// the system's (filelock_<system>.cpp).
#include "platform/FileLock.h"

namespace gh::platform {

CFileLock::~CFileLock() { Release(); }

Status CFileLock::Acquire(const std::wstring& path) {
    const Result<bool> taken = Take(path, true);
    return taken ? Status() : taken.Error();
}

Result<bool> CFileLock::TryAcquire(const std::wstring& path) { return Take(path, false); }

}  // namespace gh::platform
