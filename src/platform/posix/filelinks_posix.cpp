#include "platform/FileLinks.h"
#include "platform/SystemError.h"
#include "platform/posix/FileCalls.h"
#include "platform/posix/PosixPath.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace gh::platform {

namespace {

// Errors by which a file system says it keeps no second names for files.
bool CannotLink(int error) {
    return error == EXDEV || error == EPERM || error == ENOTSUP || error == EOPNOTSUPP || error == EMLINK ||
           error == ENOSYS;
}

// Removes `path`, a folder not entered through a link, and what it holds.
bool RemoveTree(const std::string& path, int depth) {
    if (depth > 256) return false;
    DIR* dir = ::opendir(path.c_str());
    if (!dir) return false;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    bool ok = true;
    for (const std::string& name : names) {
        const std::string child = path + "/" + name;
        struct stat st {};
        if (::lstat(child.c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode))
            ok = RemoveTree(child, depth + 1) && ok;
        else
            ok = ::unlink(child.c_str()) == 0 && ok;
    }
    return ::rmdir(path.c_str()) == 0 && ok;
}

}  // namespace

std::optional<FileStamp> FileStampAt(const std::wstring& path) {
    struct stat st {};
    if (::stat(posix::ResolvePath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtime)};
}

Status LinkOrCopyFile(const std::wstring& from, const std::wstring& to) {
    const std::string source = posix::ResolvePath(from);
    const std::string target = posix::ResolvePath(to);
    if (posix::LinkFile(source.c_str(), target.c_str()) == 0) {
        posix::NoteNewName(target, false);
        if (posix::SyncFolder(posix::ParentOf(target).c_str()) != 0) return SystemErrorStatus(errno);
        return {};
    }
    const int error = errno;
    if (!CannotLink(error)) return SystemErrorStatus(error);
    return detail::CopyFileKeepingTime(from, to);
}

Status MoveFileToNewName(const std::wstring& from, const std::wstring& to) {
    const std::string source = posix::ResolvePath(from);
    const std::string target = posix::ResolvePath(to);
    // A link to the new name, then the old name gone: never over a file.
    if (posix::LinkFile(source.c_str(), target.c_str()) != 0) {
        const int error = errno;
        if (!CannotLink(error) || error == EXDEV) return SystemErrorStatus(error);
        struct stat st {};
        if (::lstat(target.c_str(), &st) == 0) return SystemErrorStatus(EEXIST);
        if (posix::RenameFile(source.c_str(), target.c_str()) != 0) return SystemErrorStatus(errno);
    } else if (::unlink(source.c_str()) != 0) {
        const int error = errno;
        ::unlink(target.c_str());
        return SystemErrorStatus(error);
    }
    posix::ForgetFolder(source);
    posix::NoteNewName(target, false);
    if (posix::SyncFolder(posix::ParentOf(target).c_str()) != 0 ||
        posix::SyncFolder(posix::ParentOf(source).c_str()) != 0)
        return SystemErrorStatus(errno);
    return {};
}

bool RemoveFolderTree(const std::wstring& folder) {
    const std::string real = posix::ResolvePath(folder);
    struct stat st {};
    if (::lstat(real.c_str(), &st) != 0) return errno == ENOENT;
    const bool ok = S_ISDIR(st.st_mode) ? RemoveTree(real, 0) : ::unlink(real.c_str()) == 0;
    posix::ForgetAllFolders();
    return ok;
}

PathKind KindAt(const std::wstring& path) {
    struct stat st {};
    if (::lstat(posix::ResolvePath(path).c_str(), &st) != 0) return PathKind::Missing;
    if (S_ISLNK(st.st_mode)) return PathKind::Link;
    if (S_ISDIR(st.st_mode)) return PathKind::Folder;
    if (S_ISREG(st.st_mode)) return PathKind::File;
    return PathKind::Other;
}

}  // namespace gh::platform
