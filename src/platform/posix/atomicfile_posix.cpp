#include "platform/AtomicFile.h"
#include "platform/SystemError.h"
#include "platform/TemporaryFileName.h"
#include "platform/TemporaryFiles.h"
#include "platform/Text.h"
#include "platform/posix/FileCalls.h"
#include "platform/posix/FileLook.h"
#include "platform/posix/PosixPath.h"
#include "platform/posix/TemporaryFileCleanup.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

namespace gh::platform {

using posix::ParentOf;
using posix::ResolvePath;

namespace {

// The new file takes the old one's place with its permission bits and,
// where this process may give them away (root; a group it is in), its owner
// and group. A file system without modes (FAT) that refuses fchmod passes
// when the mode is what it would have been anyway.
bool TakeOverModeAndOwner(int fd, uid_t owner, gid_t group, mode_t mode) {
    struct stat now {};
    if (fstat(fd, &now) != 0) return false;
    if ((now.st_uid != owner || now.st_gid != group) && fchown(fd, owner, group) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), group) != 0) {
        // Neither: the new file stays this process's own, as any file it writes.
    }
    const mode_t wanted = mode & 0777;
    if (fchmod(fd, wanted) == 0) return true;
    return fstat(fd, &now) == 0 && (now.st_mode & 0777) == wanted;
}

std::atomic<bool> g_namedForTesting{false};

#ifdef O_TMPFILE
// Whether the file system refused an unnamed file for want of them, so that
// a named one is the way to go there.
bool UnnamedFilesUnavailable(int error) {
    return error == EOPNOTSUPP || error == ENOTSUP || error == EISDIR || error == EINVAL || error == ENOSYS;
}

// The unnamed file can be given a name later (LinkUnnamedFile).
bool CanBeNamedLater(int fd) {
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    struct stat st {};
    return stat(proc, &st) == 0;
}
#endif

}  // namespace

namespace detail {
void UseNamedTemporaryFilesForTesting(bool named) { g_namedForTesting.store(named); }
}  // namespace detail

CAtomicFile::~CAtomicFile() { Abort(); }

bool CAtomicFile::Open(const std::wstring& target) {
    Abort();
    m_error = {};
    bool missing = false;
    const std::string real = ResolvePath(target, &missing);
    // What the name reaches now, whatever a listing or an earlier look
    // said: a link to a file is replaced by the new file (never written
    // through), but the file it reaches must be one this process may write;
    // a folder, a pipe or a device is never replaced. One look, through a
    // descriptor, kept for Commit(); none when the snapshot's listing shows
    // the name missing.
    m_replacing = false;
    struct stat st {};
    bool readOnly = false;
    if (!missing && posix::LookAtFile(real.c_str(), st, readOnly)) {
        if (S_ISDIR(st.st_mode)) return Fail(SystemErrorStatus(EISDIR));
        if (!S_ISREG(st.st_mode)) return Fail(NotARegularFileStatus());
        if (readOnly) return Fail(SystemErrorStatus(EACCES));
        m_replacing = true;
        m_oldMode = st.st_mode;
        m_oldOwner = st.st_uid;
        m_oldGroup = st.st_gid;
    } else if (!missing && errno != ENOENT) {
        return Fail();
    }
    const std::string folder = ParentOf(real);
    m_target = SystemNameToWide(real);
    m_failed = false;
#ifdef O_TMPFILE
    if (!g_namedForTesting.load()) {
        // Created with the mode every new file gets (0666 less the umask).
        const int fd = posix::OpenUnnamedFile(folder.c_str(), O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0 && CanBeNamedLater(fd)) {
            // Held, as a named one is, for the moment it has a name.
            flock(fd, LOCK_EX | LOCK_NB);
            m_handle = fd;
            m_unnamed = true;
            return true;
        }
        if (fd >= 0) {
            ::close(fd);
        } else if (!UnnamedFilesUnavailable(errno)) {
            return Fail();
        }
    }
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = folder + "/" + detail::NewTemporaryFileName();
        // The file and its registration for removal by a signal come into
        // being together.
        const posix::CCleanupSignalsBlocked blocked;
        // A name that is new: never an existing file, link or pipe.
        const int fd = posix::CreateNewFile(temp.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            // Held for the file's whole life, so RemoveStaleTemporaryFiles
            // leaves it alone. A file system without locks refuses the
            // cleaner's lock as well. Someone else holding a file made just
            // now can only be a cleaner misled by the clock: take another name.
            if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
                unlink(temp.c_str());
                ::close(fd);
                continue;
            }
            m_handle = fd;
            m_temp = SystemNameToWide(temp);
            m_cleanupSlot = posix::RegisterForCleanup(temp);
            return true;
        }
        if (errno != EEXIST) return Fail();
    }
    return Fail(SystemErrorStatus(EEXIST));
}

bool CAtomicFile::Write(const void* data, std::size_t size) {
    if (m_handle < 0 || m_failed) return m_error.IsOk() ? Fail(SystemErrorStatus(EBADF)) : false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = posix::WriteSome(static_cast<int>(m_handle), bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_failed = true;
            return n == 0 ? Fail(SystemErrorStatus(ENOSPC)) : Fail();
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CAtomicFile::Commit() {
    if (m_handle < 0 || m_failed) {
        Abort();
        return m_error.IsOk() ? Fail(SystemErrorStatus(EBADF)) : false;
    }
    const int fd = static_cast<int>(m_handle);
    const std::string target = WideToSystemName(m_target);
    // A file replaced keeps its permissions: a private file stays private.
    // The content reaches the disk before it takes the old file's place.
    if ((m_replacing && !TakeOverModeAndOwner(fd, m_oldOwner, m_oldGroup, m_oldMode)) || posix::SyncFile(fd) != 0) {
        return FailAndAbort();
    }
#ifdef O_TMPFILE
    if (m_unnamed) {
        // The content gets a name only now, for the moment of the rename.
        const std::string folder = ParentOf(target);
        bool named = false;
        for (int attempt = 0; attempt < 100 && !named; ++attempt) {
            const std::string temp = folder + "/" + detail::NewTemporaryFileName();
            if (posix::LinkUnnamedFile(fd, temp.c_str()) == 0) {
                m_temp = SystemNameToWide(temp);
                named = true;
            } else if (errno != EEXIST) {
                break;
            }
        }
        if (!named) return FailAndAbort();
    }
#endif
    const std::string temp = WideToSystemName(m_temp);
    {
        // The name is no longer to be removed once it is the target's.
        const posix::CCleanupSignalsBlocked blocked;
        if (posix::RenameFile(temp.c_str(), target.c_str()) != 0) return FailAndAbort();
        posix::ReleaseCleanup(m_cleanupSlot);
        m_cleanupSlot = -1;
    }
    m_handle = -1;
    m_temp.clear();
    m_unnamed = false;
    const bool closed = ::close(fd) == 0;
    posix::NoteNewName(target, false);
    // The new name lasts only once the folder is on the disk too. A failure
    // here is reported although the new file is in place already.
    if (posix::SyncFolder(ParentOf(target).c_str()) != 0 || !closed) return Fail();
    return true;
}

bool CAtomicFile::FailAndAbort() {
    Status error = SystemErrorStatus(errno);
    Abort();
    return Fail(std::move(error));
}

void CAtomicFile::Abort() {
    // Deleted while still held, then closed; an unnamed file goes with its
    // descriptor.
    if (!m_temp.empty()) {
        const posix::CCleanupSignalsBlocked blocked;
        unlink(WideToSystemName(m_temp).c_str());
        posix::ReleaseCleanup(m_cleanupSlot);
        m_cleanupSlot = -1;
    }
    m_temp.clear();
    m_unnamed = false;
    if (m_handle >= 0) ::close(static_cast<int>(m_handle));
    m_handle = -1;
}

}  // namespace gh::platform
