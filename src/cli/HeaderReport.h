// `inspect FILE.MOD [--json]`: a mod file's header exactly as the launcher
// reads it, with warnings for what will surprise a player. For mod authors;
// works on any path and writes nothing.
#pragma once

#include "catalogue/ModHeaderReader.h"
#include "catalogue/ModRecords.h"
#include "cli/Console.h"
#include "game/GameFolders.h"
#include "game/GameVersion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gh {

struct InspectWarning {
    std::string code;   // stable, for scripts: "text-cut", "text-too-long", "unknown-format", ...
    std::wstring text;  // for people
};

struct ModInspection {
    bool readable = false;  // the file could be opened and read
    ModInfo info;
    HeaderNotes notes;
    std::uint64_t fileBytes = 0;
    std::vector<InspectWarning> warnings;
};

// Reads the header at `path` and lists the warnings: a text cut at its
// limit, a text longer than a field can hold (its rest is read as the next
// fields), an unknown format, no identity, a requirement on the mod itself,
// a requirement with version 0, a game version other than `installedGame`,
// a file cut short.
ModInspection InspectModFile(const std::wstring& path, const std::optional<GameVersionParts>& installedGame);

// Prints the inspection (as JSON with `json`). 0 when the file was read, 1
// when it could not be (a line on standard error says so).
int RunInspect(const std::wstring& path, bool json, const CGameFolders& folders, IConsole& console);

}  // namespace gh
