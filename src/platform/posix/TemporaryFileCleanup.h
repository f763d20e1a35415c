// Where a temporary file must have a name while it is written (no unnamed
// files on this system or file system): should SIGINT, SIGTERM or SIGHUP end
// the process meanwhile, its handler removes the names registered here and
// then lets the signal take its course, so that the interrupted write leaves
// nothing behind. The handler does no more than unlink(): the names are kept
// ready, as the system's own bytes, in fixed slots that it only reads.
#pragma once

#include <signal.h>

#include <string>

namespace gh::platform::posix {

// Installs the handlers (once per process) and registers `path`; returns
// its slot, or -1 when every slot is taken or the path is too long for one
// (the file is then only left to the later sweep of stale temporary files).
int RegisterForCleanup(const std::string& path);
// Removes the registration of `slot` (nothing for -1).
void ReleaseCleanup(int slot);

// Blocks SIGINT, SIGTERM and SIGHUP for the life of the object, so that a
// file and its registration come and go together.
class CCleanupSignalsBlocked {
public:
    CCleanupSignalsBlocked();
    ~CCleanupSignalsBlocked();
    CCleanupSignalsBlocked(const CCleanupSignalsBlocked&) = delete;
    CCleanupSignalsBlocked& operator=(const CCleanupSignalsBlocked&) = delete;

private:
    sigset_t m_saved{};
};

}  // namespace gh::platform::posix
