// The installed game's version: four parts, printed "%d.%d.%d.%d". It is
// read from the game executable by CGameFolders::GameVersion.
#pragma once

#include <cstdint>
#include <string>

namespace gh {

struct GameVersionParts {
    std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
};

// "%d.%d.%d.%d".
std::wstring FormatVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d);

}  // namespace gh
