// One look at the file a path leads to, for deciding whether it may be
// replaced. The look is made through a descriptor, so that the file's type,
// mode, owner and whether this process may write it all describe the one
// file the name led to at that moment, for a single lookup of the path.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gh::platform::posix {

// Whether the file whose status is `st`, held by `fd` (an O_PATH descriptor
// will do) and named by `path`, may not be replaced by this process (see
// IsReadOnlyFile in Files.h).
inline bool IsReadOnlyStatus(int fd, const char* path, const struct stat& st) {
    // Marked read-only by its owner: no write permission for anyone, the
    // counterpart of the Windows attribute, honoured even where the system
    // would let this process write (root).
    if ((st.st_mode & 0222) == 0) return true;
    // The owner may write what has its owner's write bit: the system would
    // say so too. (A file system mounted read-only refuses the replacement's
    // temporary file in any case.)
    if (st.st_uid == geteuid() && (st.st_mode & S_IWUSR)) return false;
    // Otherwise as the system decides for this process's effective user and
    // groups: another user's file is not ours to replace, although a rename
    // in a folder we may change would do it. Asked of the file held, not of
    // the name again; kernels before 5.8 cannot answer that (EINVAL) and are
    // asked by the name.
    int rc = faccessat(fd, "", W_OK, AT_EACCESS | AT_EMPTY_PATH);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) rc = faccessat(AT_FDCWD, path, W_OK, AT_EACCESS);
    if (rc == 0) return false;
    return errno == EACCES || errno == EPERM || errno == EROFS;
}

// Looks at what `path` leads to, a link at its name followed: `st` gets its
// status and `readOnly` whether this process may not replace it. The
// descriptor reaches the file without opening it (O_PATH): it needs no
// permission on the file, and a pipe or a device is not opened, so nothing
// waits and no driver acts. False, with errno, when the path leads nowhere.
inline bool LookAtFile(const char* path, struct stat& st, bool& readOnly) {
    const int fd = ::open(path, O_PATH | O_CLOEXEC);
    if (fd < 0) return false;
    const bool seen = fstat(fd, &st) == 0;
    if (seen) readOnly = IsReadOnlyStatus(fd, path, st);
    const int error = errno;
    ::close(fd);
    errno = error;
    return seen;
}

}  // namespace gh::platform::posix
