// A lock that one process holds at a time: an exclusive lock on a lock file,
// which the system releases when its holder ends, however it ends.
#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <string>

namespace gh::platform {

// Each object is a holder of its own, so two objects of one process on the
// same file exclude each other as two processes would (POSIX: flock() on
// an open file of its own; Windows: LockFileEx on a handle of its own). The
// lock file is created when missing and left in place.
class CFileLock {
public:
    CFileLock() = default;
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    // Takes the lock on `path`, waiting while another holder has it.
    Status Acquire(const std::wstring& path);
    // Takes the lock when no other holder has it; false, without waiting,
    // when one has. A failure when the lock file cannot be opened.
    Result<bool> TryAcquire(const std::wstring& path);
    void Release();
    bool IsHeld() const { return m_handle != kNone; }

private:
    static constexpr std::intptr_t kNone = -1;
    Result<bool> Take(const std::wstring& path, bool wait);
    std::intptr_t m_handle = kNone;
};

}  // namespace gh::platform
