// Where the launcher is and where the player's documents are, with the
// process-wide replacements that the command line and the tests use.
#pragma once

#include <string>

namespace gh::platform {

// The launcher's own executable path as the system reports it
// (GetModuleFileNameW; /proc/self/exe). With a launcher-folder replacement it
// is that folder followed by the executable's own file name.
std::wstring LauncherPath();

// The player's documents folder, without a trailing separator. Windows:
// SHGetSpecialFolderPathW(CSIDL_PERSONAL, create); empty when that fails.
// Linux: XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR of
// ~/.config/user-dirs.dirs, else $HOME/Documents.
std::wstring DocumentsFolder();

// Replacements for the two folders above; an empty text removes one.
void SetDocumentsFolderOverride(const std::wstring& folder);
void SetLauncherFolderOverride(const std::wstring& folder);

// The separator the system reports paths with ('\\' on Windows, '/' on Linux).
wchar_t NativeSeparator();

}  // namespace gh::platform
