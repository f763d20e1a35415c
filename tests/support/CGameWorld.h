// A game folder and a documents folder in a temporary folder, and the run's
// folders that lead there, for one test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/GameFolders.h"
#include "support/ModFileWriter.h"
#include "support/TempFolder.h"

namespace gh::test {

class CGameWorld {
public:
    // The game executable carries version 1.25.5.2 unless `withGame` is false.
    explicit CGameWorld(bool withGame = true);
    CGameWorld(const CGameWorld&) = delete;
    CGameWorld& operator=(const CGameWorld&) = delete;

    // A mod file below the mods folder, built for the game's version.
    struct Mod {
        std::wstring name;
        std::int64_t guid = 0;
        std::uint16_t version = 1;
        std::vector<ModFileRequirement> requirements;
        bool otherGameVersion = false;
        std::wstring website = L"https://example.org/mods";
        std::wstring downloadUrl = L"https://example.org/mods/get";
        std::wstring file;  // its path below the mods folder; name + ".mod" when empty
    };
    void AddMod(const Mod& mod);

    // The documents game folder (with a trailing separator) and a file in it.
    std::wstring UserGameFolder() const;
    void WriteUserFile(const std::wstring& relative, const std::string& bytes) const;
    std::string ReadUserFile(const std::wstring& relative) const;
    bool UserFileExists(const std::wstring& relative) const;

    const TempFolder& Root() const { return m_root; }
    // The folders of a launcher in the game folder with these documents.
    const CGameFolders& Folders() const { return m_folders; }

private:
    TempFolder m_root;
    CGameFolders m_folders;
};

// A selection file's bytes (UTF-16 LE with its mark, CR LF) for these guids.
std::string SelectionFileBytes(const std::vector<std::int64_t>& guids);
// A restart list's bytes in the same encoding: "[MODS]", one
// "<INTEGER64>GUID:<guid>" token per line, "[/MODS]".
std::string RestartListBytes(const std::vector<std::int64_t>& guids);

}  // namespace gh::test
