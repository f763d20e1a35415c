#include "platform/Files.h"
#include "platform/posix/PosixPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace gh::platform {

using posix::ResolvePath;

InputFile::~InputFile() { Close(); }

bool InputFile::Open(const std::wstring& path) {
    Close();
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string real = ResolvePath(path);
        const int fd = ::open(real.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            struct stat st {};
            if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
                ::close(fd);
                return false;
            }
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
    // The path as spelled first, and no status call: a folder shows itself
    // when it is read (EISDIR). Anything else goes the way of Open. Not
    // blocking, so a pipe in a scanned folder cannot stall the scan.
    const int fd = ::open(posix::ToNativeText(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (!Open(path)) return false;
        got = ReadAt(0, buffer, size);
        return true;
    }
    m_handle = fd;
    auto* bytes = static_cast<char*>(buffer);
    while (got < size) {
        const ssize_t n = ::pread(fd, bytes + got, size - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EISDIR) {
            Close();
            got = 0;
            return false;
        }
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
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
        const ssize_t n = ::pread(static_cast<int>(m_handle), bytes + total, size - total,
                                  static_cast<off_t>(offset + total));
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
