#include "platform/InputFile.h"
#include "platform/SystemError.h"
#include "platform/posix/PosixPath.h"
#include "platform/posix/ReadOnlyOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gh::platform {

using posix::ResolvePath;

namespace posix {

int OpenRegularFileAt(int folder, const char* path, bool listedRegular) {
    // The open never waits: a pipe without a writer, or a device, would
    // otherwise hold the program at open() or at its first read for ever.
    const int fd = ::openat(folder, path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0 || listedRegular) return fd;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // O_NONBLOCK stays set: the kernel ignores it for regular files, and the
    // reads below deal with the one exception (see ReadFully).
    return fd;
}

namespace {

// A FUSE file system is told of O_NONBLOCK and might answer a read of a
// regular file with EAGAIN, which must not read as the end of the file.
// Only then is the flag cleared (two calls that every other file is
// spared) and the read made again; a file that still answers so has ended,
// as any read error ends it.
bool ClearedNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && (flags & O_NONBLOCK) && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

template <typename ReadCall>
std::size_t ReadLoop(int fd, void* buffer, std::size_t size, ReadCall read) {
    std::size_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < size) {
        const ssize_t n = read(bytes + total, size - total, total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && ClearedNonBlocking(fd)) continue;
        if (n <= 0) break;
        total += static_cast<std::size_t>(n);
    }
    return total;
}

}  // namespace

std::size_t ReadFully(int fd, void* buffer, std::size_t size) {
    return ReadLoop(fd, buffer, size, [fd](char* at, std::size_t n, std::size_t) { return ::read(fd, at, n); });
}

std::size_t ReadFullyAt(int fd, std::uint64_t offset, void* buffer, std::size_t size) {
    return ReadLoop(fd, buffer, size, [fd, offset](char* at, std::size_t n, std::size_t done) {
        return ::pread(fd, at, n, static_cast<off_t>(offset + done));
    });
}

}  // namespace posix

CInputFile::~CInputFile() { Close(); }

Status posix::OpenFailure() {
    // OpenRegularFileAt says EINVAL for what it refuses itself.
    return errno == EINVAL ? NotARegularFileStatus() : SystemErrorStatus(errno);
}

Status CInputFile::Open(const std::wstring& path) {
    Close();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = posix::OpenRegularFileAt(AT_FDCWD, ResolvePath(path).c_str());
        if (fd >= 0) {
            m_handle = fd;
            return {};
        }
        if (errno != ENOENT || attempt == 1) break;
        posix::ForgetAllFolders();  // a cached listing may be stale; look once more
    }
    return posix::OpenFailure();
}

Status CInputFile::OpenAndReadStart(const std::wstring& path, void* buffer, std::size_t size, std::size_t& got) {
    Close();
    got = 0;
    // The path as spelled first, without the name matching; only a name that
    // is not there goes the way of Open.
    const int fd = posix::OpenRegularFileAt(AT_FDCWD, posix::ToNativeText(path).c_str());
    if (fd < 0) {
        if (errno != ENOENT) return posix::OpenFailure();
        if (Status opened = Open(path); !opened) return opened;
    } else {
        m_handle = fd;
    }
    got = ReadAt(0, buffer, size);
    return {};
}

std::size_t CInputFile::Read(void* buffer, std::size_t size) {
    return m_handle == kNone ? 0 : posix::ReadFully(static_cast<int>(m_handle), buffer, size);
}

std::size_t CInputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    return m_handle == kNone ? 0 : posix::ReadFullyAt(static_cast<int>(m_handle), offset, buffer, size);
}

std::optional<std::uint64_t> CInputFile::Size() {
    struct stat st {};
    if (m_handle == kNone || fstat(static_cast<int>(m_handle), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

void CInputFile::Close() {
    if (m_handle != kNone) ::close(static_cast<int>(m_handle));
    m_handle = kNone;
}
}  // namespace gh::platform
