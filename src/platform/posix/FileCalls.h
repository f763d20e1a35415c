// The POSIX calls that change files, each behind the fault-injection seam
// (FaultInjection.h): a planned failure returns as the system call would,
// with errno EIO, and the call is not made.
#pragma once

#include "platform/FaultInjection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace gh::platform::posix {

inline bool Injected(FileOperation operation) {
    if (!InjectedFailure(operation)) return false;
    errno = EIO;
    return true;
}

// Creates a file that does not exist yet (O_CREAT | O_EXCL are added).
inline int CreateNewFile(const char* path, int flags, mode_t mode) {
    return Injected(FileOperation::OpenForWrite) ? -1 : ::open(path, flags | O_CREAT | O_EXCL, mode);
}

#ifdef O_TMPFILE
// A file without a name in `folder`, which goes when it is closed unless it
// was given a name first (LinkUnnamedFile). File systems without such files
// refuse it (EOPNOTSUPP, or EISDIR or EINVAL from kernels that predate it).
inline int OpenUnnamedFile(const char* folder, int flags, mode_t mode) {
    return Injected(FileOperation::OpenForWrite) ? -1 : ::open(folder, flags | O_TMPFILE, mode);
}

// Gives the unnamed file open as `fd` the name `path`, a new one (EEXIST
// when it is taken): the first half of putting it in place, so it counts as
// the rename's step. Through /proc, which any process may do; without /proc,
// AT_EMPTY_PATH, which the kernel may keep to privileged processes.
inline int LinkUnnamedFile(int fd, const char* path) {
    if (Injected(FileOperation::Rename)) return -1;
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    if (::linkat(AT_FDCWD, proc, AT_FDCWD, path, AT_SYMLINK_FOLLOW) == 0) return 0;
    if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0) return -1;
    return ::linkat(fd, "", AT_FDCWD, path, AT_EMPTY_PATH);
}
#endif

inline ssize_t WriteSome(int fd, const void* data, std::size_t size) {
    return Injected(FileOperation::Write) ? -1 : ::write(fd, data, size);
}

inline int SyncFile(int fd) { return Injected(FileOperation::Flush) ? -1 : ::fsync(fd); }

inline int RenameFile(const char* from, const char* to) {
    return Injected(FileOperation::Rename) ? -1 : ::rename(from, to);
}

inline int LinkFile(const char* from, const char* to) { return Injected(FileOperation::Link) ? -1 : ::link(from, to); }

inline int MakeFolder(const char* path, mode_t mode) {
    return Injected(FileOperation::CreateFolder) ? -1 : ::mkdir(path, mode);
}

// Forces the entries of `folder` (a rename, a new name) to the disk, so
// that they survive a power cut. A file system that cannot sync folders
// (EINVAL), or a folder that may be changed but not read, counts as synced:
// nothing more can be done there.
inline int SyncFolder(const char* folder) {
    if (Injected(FileOperation::SyncFolder)) return -1;
    const int fd = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno == EACCES ? 0 : -1;
    int rc = ::fsync(fd);
    if (rc != 0 && (errno == EINVAL || errno == ENOTSUP)) rc = 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return rc;
}

}  // namespace gh::platform::posix
