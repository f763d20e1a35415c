// Path resolution shared by the POSIX sources: wide path text to the real
// file system path, matching each component by its exact name first and
// otherwise without regard to case. Folder listings are cached so that a
// scan over thousands of files does not list a folder per file; a cached
// listing that no longer fits is listed again.
#pragma once

#include <string>

namespace gh::platform::posix {

// Wide text to a native path: the name's own bytes (WideToSystemName), '\'
// turned into '/'.
std::string ToNativeText(const std::wstring& path);

// The real path for `path`. Components that exist in no letter case are
// kept as given, so the result can name a file or folder to be created.
std::string ResolvePath(const std::wstring& path);

// Forgets the cached listing of the folder that holds `nativePath` and of
// `nativePath` itself, after this process changed them.
void ForgetFolder(const std::string& nativePath);
void ForgetAllFolders();

// The folder that holds `path` ("." for a bare name, "/" for a name in the root).
std::string ParentOf(const std::string& path);

// ASCII-only upper-casing, the same folding the program's canonical paths use.
std::string FoldCase(const std::string& name);

}  // namespace gh::platform::posix
