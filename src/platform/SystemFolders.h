// Where the system says the launcher is and where the player's documents
// are. The command line's replacements for them are not kept here: they
// make the run's folders (game/GameFolders.h), which are handed on.
#pragma once

#include <string>

namespace gh::platform {

// The launcher's own executable path as the system reports it
// (GetModuleFileNameW; /proc/self/exe).
std::wstring LauncherPath();

// The player's documents folder, without a trailing separator. Windows:
// SHGetSpecialFolderPathW(CSIDL_PERSONAL, create); empty when that fails.
// Linux: XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR of
// ~/.config/user-dirs.dirs, else $HOME/Documents.
std::wstring DocumentsFolder();

// The separator the system reports paths with ('\\' on Windows, '/' on Linux).
wchar_t NativeSeparator();

// `path` made absolute against the current folder, as the system would
// resolve it now (Windows: GetFullPathNameW; POSIX: the current folder in
// front of a path that does not start with '/'). Nothing is looked up.
std::wstring AbsolutePath(const std::wstring& path);

}  // namespace gh::platform
