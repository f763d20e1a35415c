// `inspect FILE.MOD [--json]`: a mod file's header exactly as the launcher
// reads it, with warnings for what will surprise a player, or the reason why
// the file is no mod file the launcher can read. For mod authors; works on
// any path and writes nothing.
#pragma once

#include "catalogue/ModHeaderReader.h"
#include "catalogue/ModRecords.h"
#include "cli/Console.h"
#include "game/GameFolders.h"
#include "game/GameVersion.h"
#include "platform/ByteSource.h"
#include "platform/Status.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gh {

// One finding about a file: a warning, or a reason why it cannot be read.
struct InspectFinding {
    std::string code;   // stable, for scripts: "text-cut", "unknown-format", "not-found", ...
    std::wstring text;  // for people
};

struct ModInspection {
    // Opened, with a header format of 1 to 4 and an identity: a file the
    // launcher reads as a mod file. Otherwise `problems` says why not.
    bool readable = false;
    Status opened;  // why the file could not be opened; success when it was
    ModInfo info;
    HeaderNotes notes;
    std::uint64_t fileBytes = 0;
    std::vector<InspectFinding> problems;  // empty when readable
    std::vector<InspectFinding> warnings;  // only for a readable file
};

// Reads the header at `path` and judges it. A file that cannot be opened
// has the system's reason as its problem ("not-found", "denied",
// "not-a-file", else "cannot-open"); one whose header format is not 1 to 4
// ("unknown-format") or that ends before its identity ("ends-before-identity")
// is no mod file this launcher can read. A readable file gets warnings: a
// text cut at its limit, a text longer than a field can hold (its rest is
// read as the next fields), no identity, the name "EDITOR" (never listed),
// a requirement on the mod itself, a requirement with version 0, a game
// version other than `installedGame`, a file cut short.
ModInspection InspectModFile(const std::wstring& path, const std::optional<GameVersionParts>& installedGame);

// The same for the `fileBytes` bytes of `source`: all but the opening.
ModInspection InspectModHeader(platform::IByteSource& source, std::uint64_t fileBytes,
                               const std::optional<GameVersionParts>& installedGame);

// What `inspect` prints on standard output for `path`: the fields and
// warnings as text (nothing for a file it cannot read, whose reasons go to
// standard error), or one JSON object that holds "file", "readable" and
// "problems", and for a readable file the fields and "warnings" too.
std::wstring InspectionText(const std::wstring& path, const ModInspection& inspection);
std::string InspectionJson(const std::wstring& path, const ModInspection& inspection);

// Prints the inspection (as JSON with `json`), judged against the game
// version of `folders`. 0 when the file is a mod file the launcher can
// read; 1 when it is not, or cannot be opened, and a line on standard error
// says why.
int RunInspect(const std::wstring& path, bool json, const CGameFolders& folders, IConsole& console);

}  // namespace gh
