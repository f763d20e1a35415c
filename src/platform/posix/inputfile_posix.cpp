#include "platform/Files.h"
#include "platform/posix/PosixPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gh::platform {

using posix::ResolvePath;

namespace {

// Opens `path` for reading only if it is a regular file. The open itself
// never waits: a pipe without a writer, or a device, would otherwise hold
// the program at open() or at the first read for ever. Anything that is not
// a regular file fails with errno EINVAL, as an unreadable file does.
int OpenRegularFile(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    // The kernel ignores O_NONBLOCK for regular files, but a FUSE file
    // system is told of it and might answer a read with EAGAIN, which would
    // read as the end of the file: clear it.
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::wstring& path) {
    Close();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = OpenRegularFile(ResolvePath(path).c_str());
        if (fd >= 0) {
            m_handle = fd;
            return true;
        }
        if (errno != ENOENT) return false;
        posix::ForgetAllFolders();  // a cached listing may be stale; look once more
    }
    return false;
}

bool InputFile::OpenAndReadStart(const std::wstring& path, void* buffer, std::size_t size, std::size_t& got) {
    Close();
    got = 0;
    // The path as spelled first, without the name matching; only a name that
    // is not there goes the way of Open.
    const int fd = OpenRegularFile(posix::ToNativeText(path).c_str());
    if (fd < 0) {
        if (errno != ENOENT || !Open(path)) return false;
    } else {
        m_handle = fd;
    }
    got = ReadAt(0, buffer, size);
    return true;
}

std::size_t InputFile::Read(void* buffer, std::size_t size) {
    if (m_handle == kNone) return 0;
    std::size_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < size) {
        const ssize_t n = ::read(static_cast<int>(m_handle), bytes + total, size - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<std::size_t>(n);
    }
    return total;
}

std::size_t InputFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (m_handle == kNone) return 0;
    std::size_t total = 0;
    auto* bytes = static_cast<char*>(buffer);
    while (total < size) {
        const ssize_t n =
            ::pread(static_cast<int>(m_handle), bytes + total, size - total, static_cast<off_t>(offset + total));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        total += static_cast<std::size_t>(n);
    }
    return total;
}

std::optional<std::uint64_t> InputFile::Size() {
    struct stat st {};
    if (m_handle == kNone || fstat(static_cast<int>(m_handle), &st) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

void InputFile::Close() {
    if (m_handle != kNone) ::close(static_cast<int>(m_handle));
    m_handle = kNone;
}
}  // namespace gh::platform
