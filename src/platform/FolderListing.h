// The entries of a folder, and paths spelled as the file system spells them.
// Paths are wide text in either separator style; on Linux every component
// is matched by its exact name first and otherwise without regard to case,
// so the upper-case canonical paths of the program reach the same files as
// on Windows. Names keep every byte the system gave them (platform/Text.h):
// what a listing returns opens again.
#pragma once

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

}  // namespace gh::platform
