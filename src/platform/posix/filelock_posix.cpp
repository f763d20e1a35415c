#include "platform/FileLock.h"
#include "platform/SystemError.h"
#include "platform/posix/PosixPath.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace gh::platform {

Result<bool> CFileLock::Take(const std::wstring& path, bool wait) {
    Release();
    const std::string real = posix::ResolvePath(path);
    const int fd = ::open(real.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return SystemErrorStatus(LastSystemError());
    posix::NoteNewName(real, false);
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return false;
        return SystemErrorStatus(error);
    }
    m_handle = fd;
    return true;
}

void CFileLock::Release() {
    if (m_handle == kNone) return;
    ::close(static_cast<int>(m_handle));  // closing the only descriptor releases the lock
    m_handle = kNone;
}

}  // namespace gh::platform
