// Keeping a file under a second name, and moving it to a new one: for the
// earlier versions of the Workshop's files, which are kept beside the
// current ones without copying their bytes where the disk allows.
#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <optional>
#include <string>

namespace gh::platform {

// A file's size and modification time (seconds since 1970).
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
};
// None when the path names no regular file (a link is followed).
std::optional<FileStamp> FileStampAt(const std::wstring& path);

// Gives the file `from` the new name `to` as well: a hard link, or where
// the file system cannot link (another disk, a file system without links)
// a copy with the same bytes and modification time, made through
// CAtomicFile. A failure, with nothing at `to`, when `to` exists or neither
// can be made (a full disk, a folder that may not be written).
Status LinkOrCopyFile(const std::wstring& from, const std::wstring& to);

// Moves the file `from` to the new name `to` on the same disk; refuses to
// replace anything at `to`. On failure `from` stays where it was.
Status MoveFileToNewName(const std::wstring& from, const std::wstring& to);

// Removes the folder `folder` and everything below it, without following
// links (a link is removed, never what it leads to). True when nothing is
// left at its name.
bool RemoveFolderTree(const std::wstring& folder);

// What stands at `path` itself: a link is a link, wherever it leads.
enum class PathKind { Missing, File, Folder, Link, Other };
PathKind KindAt(const std::wstring& path);

namespace detail {
// The copy LinkOrCopyFile falls back to: `to` must not exist.
Status CopyFileKeepingTime(const std::wstring& from, const std::wstring& to);
}  // namespace detail

}  // namespace gh::platform
