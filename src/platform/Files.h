// File and folder access. Paths are wide text in either separator style; on
// Linux every component is matched by its exact name first and otherwise
// without regard to case, so the upper-case canonical paths of the program
// reach the same files as on Windows. Names keep every byte the system gave
// them (platform/Text.h): what a listing returns opens again.
#pragma once

#include "platform/Status.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gh::platform {

struct FolderEntry {
    std::wstring name;  // without folder, in its own letter case; a name as Text.h describes
    bool isFolder = false;
};

// Lists the entries of `folder` whose names match `pattern` (wildcards `*`
// and `?`, case ignored), as FindFirstFileW/FindNextFileW would: on Linux the
// entries come sorted by name compared after upper-casing, the order NTFS
// returns. "." and ".." are included when the pattern matches them.
// Returns false (and appends nothing) when the folder cannot be listed.
bool ListFolder(const std::wstring& folder, const std::wstring& pattern, std::vector<FolderEntry>& out);

// What a folder entry is in itself: a link is a link, wherever it leads.
enum class EntryKind {
    File,    // a regular file
    Folder,  // a real folder
    Link,    // a symbolic link (Windows: a symbolic link or a junction)
    Other,   // a pipe, a device, a socket
};

struct TypedFolderEntry {
    std::wstring name;  // as for FolderEntry
    EntryKind kind = EntryKind::File;
};

// Lists every entry of `folder` but "." and "..", each with its kind, in
// the order of their names' bytes (Linux) or UTF-16 units (Windows). The
// folder is taken exactly as spelled, without the name matching the other
// calls here make and outside any snapshot: for a folder another program
// keeps and may change meanwhile (the Steam client's item folders). False
// (and nothing appended) when it cannot be listed.
bool ListFolderAsIs(const std::wstring& folder, std::vector<TypedFolderEntry>& out);

// Identity of a real folder (device and inode; volume and file index), so a
// walk can enter each real folder once even through links.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FolderIdentity&, const FolderIdentity&) = default;
};
std::optional<FolderIdentity> GetFolderIdentity(const std::wstring& folder);

// The path spelled as the file system stores it, for the calls here and for
// people to read: every existing component becomes its stored name (on
// Linux the name the calls here would match for it, exact name first, else
// without regard to case) and the separators become the system's;
// components that do not exist stay as given. The calls here reach such a
// path without matching any names.
std::wstring ExactCasePath(const std::wstring& path);

// While an object of this class lives, the folder listings that the
// matching of names reads (Linux; see the top of this file) are taken as
// complete: a name that such a listing lacks is missing, without the folder
// being listed again, and a path is reached without a status call. For one
// operation that looks up many files that may not exist and makes its own
// changes through the calls here, which keep the listings true (the sync).
// Outside a snapshot a name not found makes its folder be listed again, in
// case another process made it since. Nothing on Windows, whose file systems
// match names themselves.
class CFolderSnapshot {
public:
    CFolderSnapshot();
    ~CFolderSnapshot();
    CFolderSnapshot(const CFolderSnapshot&) = delete;
    CFolderSnapshot& operator=(const CFolderSnapshot&) = delete;
};

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

// A file opened for reading; others may read it but not write it meanwhile
// (where the system can enforce that). Reads are unbuffered. Only a regular
// file opens: a folder, a pipe or a device fails as an unreadable file does,
// and opening never waits, so no name can stall the program.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // On failure the status says why, in the system's words where the
    // system refused ("Permission denied"), otherwise that it is not a
    // regular file.
    Status Open(const std::wstring& path);
    // Open followed by ReadAt(0, buffer, size) into `got`, for scans over
    // many files: a path spelled as the file system spells it (see
    // ExactCasePath) costs one call fewer. A failure, with nothing open and
    // `got` 0, when Open would fail.
    Status OpenAndReadStart(const std::wstring& path, void* buffer, std::size_t size, std::size_t& got);
    bool IsOpen() const { return m_handle != kNone; }
    // Reads up to `size` bytes; returns the count read, 0 at the end or on error.
    std::size_t Read(void* buffer, std::size_t size);
    // Reads up to `size` bytes at `offset` without moving the read position.
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    // The file's size in bytes, or none.
    std::optional<std::uint64_t> Size();
    void Close();

private:
    friend class CInputFolder;
    static constexpr std::intptr_t kNone = -1;
    std::intptr_t m_handle = kNone;
};

// A folder held open while its files are read, for scans over many files:
// it is listed once, and each file is opened by the name that listing gave,
// relative to the open folder, so that no path is built, converted or
// walked again for each file. Files open under InputFile's rules: regular
// files only, and opening never waits.
class CInputFolder {
public:
    CInputFolder();
    ~CInputFolder();
    CInputFolder(const CInputFolder&) = delete;
    CInputFolder& operator=(const CInputFolder&) = delete;

    // `folder` spelled as the file system spells it (see ExactCasePath).
    // False when it is not a folder that can be opened.
    bool Open(const std::wstring& folder);
    // The identity of the folder that is open (as GetFolderIdentity gives
    // it), or none.
    std::optional<FolderIdentity> Identity() const;
    // Appends every entry, as ListFolder(folder, L"*", out) would; these are
    // the entries OpenEntryAndReadStart counts. False (and nothing appended)
    // when the folder cannot be listed.
    bool List(std::vector<FolderEntry>& out);
    // Opens entry `index` of the last List() into `file` and reads its first
    // bytes, as InputFile::OpenAndReadStart does with a path.
    Status OpenEntryAndReadStart(std::size_t index, InputFile& file, void* buffer, std::size_t size, std::size_t& got);
    void Close();

private:
    struct State;  // the system's handle and the listed names
    std::unique_ptr<State> m_state;
};

// Replaces a file atomically: content goes to a temporary file in the target's
// folder and is renamed over the target by Commit() only after it was fully
// written and forced to the disk. Until then, and on every failure before the
// rename, the target is untouched; the temporary file is removed on every
// failure and when the object is destroyed without a successful Commit().
// Commit() returns true only once the
// replacement will survive a power cut (POSIX: the folder is synced after the
// rename; Windows: the move is written through); should that last step fail,
// the new file is in place but false is returned. A file replaced keeps its
// permissions (POSIX: its mode bits, and its owner where that may be given);
// a new file gets the usual mode of a new file (0666 less the umask).
// Open() refuses a target that exists and is read-only (IsReadOnlyFile) or
// is not a regular file. A link at the target's name is replaced by the new
// file, never written through; links among the folders of the path are
// followed.
//
// A process that is ended while it writes leaves no temporary file, even
// when it is killed outright: on Linux the content goes to a file without a
// name (O_TMPFILE) that is given one only just before the rename; on Windows
// the temporary file is marked to be deleted when it is closed, a mark taken
// off only just before the rename. Where neither is available the temporary
// file has a name from the start, and SIGINT, SIGTERM and SIGHUP remove it
// before the process ends as the signal would have ended it (POSIX); what a
// harder end leaves, RemoveStaleTemporaryFiles removes later.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool Open(const std::wstring& target);
    bool Write(const void* data, std::size_t size);
    bool Commit();
    void Abort();
    // Why the last Open, Write or Commit failed, in the system's words
    // ("No space left on device", "Permission denied"); success while
    // nothing failed.
    const Status& Error() const { return m_error; }

private:
    // Records why the step failed (from the system's last error unless
    // given) and returns false.
    bool Fail();
    bool Fail(Status status);
    // Records the system's last error, then aborts (POSIX).
    bool FailAndAbort();

    Status m_error;
    std::intptr_t m_handle = -1;
    std::wstring m_target;
    std::wstring m_temp;
    bool m_failed = false;
    bool m_unnamed = false;  // the content has no name yet (Linux) or is deleted when closed (Windows)
    int m_cleanupSlot = -1;  // its registration for removal by a signal (POSIX, named files)
    // The file replaced, as Open() found it (POSIX: its mode bits, owner and
    // group, which the new file takes over).
    bool m_replacing = false;
    std::uint32_t m_oldMode = 0;
    std::uint32_t m_oldOwner = 0;
    std::uint32_t m_oldGroup = 0;
};

// Removes from `folder` (that folder only, nothing below it) the temporary
// files that AtomicFile objects of processes that died left there: files
// named as AtomicFile names them (".gatehouse-" + 12 letters or digits +
// ".tmp"), regular files and not links, last written more than a minute ago,
// that no running writer holds. A writer holds its temporary file for its
// whole life (POSIX: an exclusive flock() taken right after creating it,
// which this takes without waiting before it deletes, the minute covering
// the moment between the two; Windows: its handle shares no deletion), so
// a running install never loses its file. Returns the number removed.
std::size_t RemoveStaleTemporaryFiles(const std::wstring& folder);

// Writes `bytes` to `target` through AtomicFile; on failure, why.
Status WriteFileAtomically(const std::wstring& target, const void* bytes, std::size_t size);

// Reads a whole regular file of at most `limit` bytes (through InputFile).
// None when it cannot be read or is larger.
std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t limit);

}  // namespace gh::platform
