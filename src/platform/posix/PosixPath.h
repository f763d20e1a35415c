// Path resolution shared by the POSIX sources: wide path text to the real
// file system path, matching each component by its exact name first and
// otherwise without regard to case. Folder listings are cached so that a
// scan over thousands of files does not list a folder per file; a cached
// listing that no longer fits is listed again, except within a snapshot
// (CFolderSnapshot), where a listing read in it is taken as complete.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace gh::platform::posix {

// Wide text to a native path: the name's own bytes (WideToSystemName), '\'
// turned into '/'.
std::string ToNativeText(const std::wstring& path);

// The real path for `path`. Components that exist in no letter case are
// kept as given, so the result can name a file or folder to be created;
// `missing` (when given) tells whether one did not exist. Outside a
// snapshot the path as spelled is looked at first (and `missing` is false
// when it exists); within one only the cached listings are asked.
std::string ResolvePath(const std::wstring& path, bool* missing = nullptr);
// The same for a native path, by its components only.
std::string ResolveComponents(const std::string& native, bool* missing);

bool InSnapshot();
void BeginSnapshot();
void EndSnapshot();

// Within a snapshot, whether the listing read in it shows `nativePath` as a
// folder (true) or as missing (false); none when it cannot say (a file, a
// link, a type the listing does not give, or no listing).
std::optional<bool> KnownFolder(const std::string& nativePath);

// The names in `folder`: within a snapshot from its listing, otherwise
// from a new one.
std::vector<std::string> ListedNames(const std::string& folder);

// After this process made `nativePath` (a file or a folder): the cached
// listing of its folder gains the name, so it need not be read again.
void NoteNewName(const std::string& nativePath, bool isFolder);
// Forgets the cached listing of the folder that holds `nativePath` and of
// `nativePath` itself, after this process changed them.
void ForgetFolder(const std::string& nativePath);
void ForgetAllFolders();

// The folder that holds `path` ("." for a bare name, "/" for a name in the root).
std::string ParentOf(const std::string& path);

// ASCII-only upper-casing, the same folding the program's canonical paths use.
std::string FoldCase(const std::string& name);

}  // namespace gh::platform::posix
