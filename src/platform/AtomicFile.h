// Replacing a file whole or not at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include "platform/Status.h"

namespace gh::platform {

// Replaces a file atomically: content goes to a temporary file in the target's
// folder and is renamed over the target by Commit() only after it was fully
// written and forced to the disk. Until then, and on every failure before the
// rename, the target is untouched; the temporary file is removed on every
// failure and when the object is destroyed without a successful Commit().
// Commit() returns true only once the
// replacement will survive a power cut (POSIX: the folder is synced after the
// rename; Windows: the move is written through); should that last step fail,
// the new file is in place but false is returned. A file replaced keeps its
// permissions (POSIX: its mode bits, and its owner where that may be given);
// a new file gets the usual mode of a new file (0666 less the umask).
// Open() refuses a target that exists and is read-only (IsReadOnlyFile) or
// is not a regular file. A link at the target's name is replaced by the new
// file, never written through; links among the folders of the path are
// followed.
//
// A process that is ended while it writes leaves no temporary file, even
// when it is killed outright: on Linux the content goes to a file without a
// name (O_TMPFILE) that is given one only just before the rename; on Windows
// the temporary file is marked to be deleted when it is closed, a mark taken
// off only just before the rename. Where neither is available the temporary
// file has a name from the start, and SIGINT, SIGTERM and SIGHUP remove it
// before the process ends as the signal would have ended it (POSIX); what a
// harder end leaves, RemoveStaleTemporaryFiles removes later.
class CAtomicFile {
public:
    CAtomicFile() = default;
    ~CAtomicFile();
    CAtomicFile(const CAtomicFile&) = delete;
    CAtomicFile& operator=(const CAtomicFile&) = delete;

    bool Open(const std::wstring& target);
    bool Write(const void* data, std::size_t size);
    bool Commit();
    void Abort();
    // Why the last Open, Write or Commit failed, in the system's words
    // ("No space left on device", "Permission denied"); success while
    // nothing failed.
    const Status& Error() const { return m_error; }

private:
    // Records why the step failed (from the system's last error unless
    // given) and returns false.
    bool Fail();
    bool Fail(Status status);
    // Records the system's last error, then aborts (POSIX).
    bool FailAndAbort();

    Status m_error;
    std::intptr_t m_handle = -1;
    std::wstring m_target;
    std::wstring m_temp;
    bool m_failed = false;
    bool m_unnamed = false;  // the content has no name yet (Linux) or is deleted when closed (Windows)
    int m_cleanupSlot = -1;  // its registration for removal by a signal (POSIX, named files)
    // The file replaced, as Open() found it (POSIX: its mode bits, owner and
    // group, which the new file takes over).
    bool m_replacing = false;
    std::uint32_t m_oldMode = 0;
    std::uint32_t m_oldOwner = 0;
    std::uint32_t m_oldGroup = 0;
};

// Writes `bytes` to `target` through CAtomicFile; on failure, why.
Status WriteFileAtomically(const std::wstring& target, const void* bytes, std::size_t size);

}  // namespace gh::platform
