// Files and folders by their paths: whether they exist, their times, their
// folders made and their files deleted.
// Paths are wide text in either separator style; on Linux every component
// is matched by its exact name first and otherwise without regard to case,
// so the upper-case canonical paths of the program reach the same files as
// on Windows. Names keep every byte the system gave them (platform/Text.h):
// what a listing returns opens again.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace gh::platform {

// Identity of a real folder (device and inode; volume and file index), so a
// walk can enter each real folder once even through links.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};
std::optional<FolderIdentity> GetFolderIdentity(const std::wstring& folder);

// Modification time in whole seconds since 1970 (st_mtime), or none when the
// file's status cannot be read.
std::optional<std::int64_t> FileModificationTime(const std::wstring& path);

bool FileExists(const std::wstring& path);  // a file or a folder
// Exists and may not be replaced by this process: marked read-only (no write
// permission bit for anyone; the Windows attribute), or not writable as the
// system decides for this process (POSIX: effective access, so another
// user's file counts; Windows: it cannot be opened for writing and deleting
// with the sharing a replacement needs, so a file another process holds
// without sharing counts).
bool IsReadOnlyFile(const std::wstring& path);
bool DeleteFileAt(const std::wstring& path);
// The folder and its missing parents; true if it exists afterwards and the
// folders made here will survive a power cut.
bool CreateFolders(const std::wstring& path);
bool SetFileModificationTime(const std::wstring& path, std::int64_t secondsSince1970);

}  // namespace gh::platform
