#include "platform/TemporaryFileName.h"
#include "platform/TemporaryFiles.h"
#include "platform/posix/PosixPath.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <string>
#include <vector>

namespace gh::platform {

namespace {

// Long enough for any writer to lock the file it has just made.
constexpr std::time_t kStaleAfterSeconds = 60;

// Removes `name` from the folder `folder` if it is a stale temporary file.
bool RemoveIfStale(int folder, const char* name, std::time_t now) {
    // Not through a link; without waiting, should it be a pipe.
    const int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    bool removed = false;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_mtime <= now - kStaleAfterSeconds &&
        flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // No writer holds it. Delete the name only while it still is this file.
        struct stat named {};
        removed = fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == st.st_dev &&
                  named.st_ino == st.st_ino && unlinkat(folder, name, 0) == 0;
    }
    ::close(fd);  // releases the lock
    return removed;
}

}  // namespace

std::size_t RemoveStaleTemporaryFiles(const std::wstring& folder) {
    const std::string real = posix::ResolvePath(folder);
    // The names come from the listing the path matching keeps (within a
    // snapshot the one read in it, so a sync lists each folder once); the
    // folder is opened only when some name may be a temporary file.
    std::vector<std::string> candidates;
    for (std::string& name : posix::ListedNames(real))
        if (detail::IsTemporaryFileName(std::string_view(name))) candidates.push_back(std::move(name));
    if (candidates.empty()) return 0;
    const int dir = open(real.empty() ? "." : real.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return 0;
    const std::time_t now = std::time(nullptr);
    std::size_t removed = 0;
    for (const std::string& name : candidates)
        if (RemoveIfStale(dir, name.c_str(), now)) ++removed;
    ::close(dir);
    if (removed > 0) posix::ForgetFolder(real);
    return removed;
}

}  // namespace gh::platform
