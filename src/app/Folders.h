// Where the launcher finds and puts things: the game folder, the documents
// game folder and the files kept there, and 8-bit names as wide text.
#pragma once

#include <string>
#include <string_view>

namespace gh {

// The launcher's own folder in canonical form with a trailing '/': for a
// launcher in D:\Play\Game it is "D:/PLAY/GAME/". Built once per process.
std::wstring GetGameFolder();

// The documents game folder in platform form with a trailing separator:
// the documents folder followed by "\My Games\Velmora Games\Emberwake 2\"
// (Windows) or "/My Games/Velmora Games/Emberwake 2/" (Linux). Computed at
// every call; never creates anything.
std::wstring GetUserGameFolder();

// The game executable to start: the launcher's path as the system reports
// it, cut before its last separator, followed by "Emberwake2.exe".
std::wstring GetGameExecutablePath();

// Files and folders of the documents game folder.
std::wstring GetModsFolderForPlayer();   // "mods" + separator
std::wstring GetSavesFolderForPlayer();  // "modsave" + separator
std::wstring GetSelectionFilePath();     // "gatehouse.sch"
std::wstring GetRestartListPath();       // "restart.txt"

// 8-bit text in the system's code page to wide text, as long as the
// conversion yields; invalid bytes become U+FFFD.
std::wstring AnsiToWide(std::string_view narrow);

// Forgets the cached game folder and game version (tests only).
void ResetFolderCachesForTesting();

}  // namespace gh
