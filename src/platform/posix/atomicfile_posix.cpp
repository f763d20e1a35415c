#include "platform/Files.h"
#include "platform/Unicode.h"
#include "platform/TemporaryFileName.h"
#include "platform/posix/FileCalls.h"
#include "platform/posix/PosixPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace gh::platform {

using posix::ParentOf;
using posix::ResolvePath;

AtomicFile::~AtomicFile() { Abort(); }

bool AtomicFile::Open(const std::wstring& target) {
    Abort();
    const std::string real = ResolvePath(target);
    struct stat st {};
    if (stat(real.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0)) return false;
    const std::string folder = ParentOf(real);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = folder + "/" + detail::NewTemporaryFileName();
        // A name that is new: never an existing file, link or pipe. Created
        // with the mode every new file gets (0666 less the umask).
        const int fd = posix::CreateNewFile(temp.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            m_handle = fd;
            m_target = Utf8ToWide(real);
            m_temp = Utf8ToWide(temp);
            m_failed = false;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (m_handle < 0 || m_failed) return false;
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = posix::WriteSome(static_cast<int>(m_handle), bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            m_failed = true;
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFile::Commit() {
    if (m_handle < 0 || m_failed) {
        Abort();
        return false;
    }
    const int fd = static_cast<int>(m_handle);
    const std::string temp = WideToUtf8(m_temp);
    const std::string target = WideToUtf8(m_target);
    // The content reaches the disk before it takes the old file's place.
    if (posix::SyncFile(fd) != 0 || posix::RenameFile(temp.c_str(), target.c_str()) != 0) {
        Abort();
        return false;
    }
    m_handle = -1;
    m_temp.clear();
    const bool closed = ::close(fd) == 0;
    posix::ForgetFolder(target);
    // The new name lasts only once the folder is on the disk too. A failure
    // here is reported although the new file is in place already.
    return posix::SyncFolder(ParentOf(target).c_str()) == 0 && closed;
}

void AtomicFile::Abort() {
    if (m_handle >= 0) ::close(static_cast<int>(m_handle));
    m_handle = -1;
    if (!m_temp.empty()) unlink(WideToUtf8(m_temp).c_str());
    m_temp.clear();
}

}  // namespace gh::platform
