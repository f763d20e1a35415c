// The installed game's version, read once per process from the file
// version of the game executable's version resource.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace gh {

struct GameVersionParts {
    std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
};

// Reads GetGameFolder() + "EMBERWAKE2.EXE" at the first call; every later
// call returns the kept result without touching the disk (a failed read is
// not retried). On failure the arguments are left untouched.
bool GetGameVersion(std::uint16_t& major, std::uint16_t& minor, std::uint16_t& build, std::uint16_t& revision);

// The installed game's version as one value; none when it cannot be read.
std::optional<GameVersionParts> InstalledGameVersion();

// "%d.%d.%d.%d".
std::wstring FormatVersion(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d);

void ResetGameVersionForTesting();

}  // namespace gh
