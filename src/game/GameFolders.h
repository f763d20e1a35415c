// Where the launcher finds and puts things, for one run: the game folder
// (the launcher's own folder, which holds the game executable), the
// documents game folder and the files kept there, and the installed game's
// version. Made once from the options (launcher/FolderOptions) and handed
// to whatever needs it; nothing here is process-wide.
#pragma once

#include "game/GameVersion.h"

#include <cstdint>
#include <optional>
#include <string>

namespace gh {

class CGameFolders {
public:
    // `launcherPath`: the launcher's executable as the system reports it
    // (its folder is the game folder). `documentsFolder`: the player's
    // documents folder; separators at its end are dropped.
    CGameFolders(std::wstring launcherPath, std::wstring documentsFolder);

    // The launcher's path and the documents folder as the system gives them
    // (platform/SystemFolders.h).
    static CGameFolders OfSystem();

    // The launcher's own folder in canonical form with a trailing '/': for
    // a launcher in D:\Play\Game it is "D:/PLAY/GAME/".
    const std::wstring& GetGameFolder() const { return m_gameFolder; }

    // The documents game folder in platform form with a trailing separator:
    // the documents folder followed by "\My Games\Velmora Games\Emberwake 2\"
    // (Windows) or "/My Games/Velmora Games/Emberwake 2/" (Linux). Nothing
    // here creates it.
    const std::wstring& GetUserGameFolder() const { return m_userGameFolder; }

    // The game executable to start: the launcher's path as the system
    // reports it, cut before its last separator, followed by "Emberwake2.exe".
    std::wstring GetGameExecutablePath() const;

    // Files and folders of the documents game folder.
    std::wstring GetModsFolderForPlayer() const;   // "mods" + separator
    std::wstring GetSavesFolderForPlayer() const;  // "modsave" + separator
    std::wstring GetSelectionFilePath() const;     // "gatehouse.sch"
    std::wstring GetRestartListPath() const;       // "restart.txt"
    // The mods folder as the catalogue scans it: the canonical form of the
    // documents game folder + "MODS\" (upper case, forward slashes, a
    // trailing '/').
    std::wstring GetModsFolderToScan() const;

    const std::wstring& LauncherPath() const { return m_launcherPath; }

    // The installed game's version: the file version of the game
    // executable's version resource (GetGameFolder() + "EMBERWAKE2.EXE"),
    // read at the first call and kept, so that the executable is read at
    // most once for these folders (a failed read is not tried again). None
    // when it cannot be read.
    std::optional<GameVersionParts> GameVersion() const;
    // The same as four parts; false when there is no version, with the
    // arguments untouched at the first call and set to zeros at later ones.
    bool GetGameVersion(std::uint16_t& major, std::uint16_t& minor, std::uint16_t& build,
                        std::uint16_t& revision) const;

private:
    std::wstring m_launcherPath;
    std::wstring m_gameFolder;
    std::wstring m_userGameFolder;
    // Read on first use; the outer optional says whether it was read.
    mutable std::optional<std::optional<GameVersionParts>> m_version;
};

}  // namespace gh
