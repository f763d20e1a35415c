// `share [SET.sch | --last]` and `import CODE --save SET.sch`: a selection
// as a share code and back, without any server.
#pragma once

#include "cli/Console.h"
#include "game/GameFolders.h"

#include <optional>
#include <string>

namespace gh {

// Prints the share code of a saved set, or without one of the selection the
// manager opens with, as it loads with the installed mods: what the load
// leaves out is said on standard error and not shared. 1 when the set
// cannot be loaded or the selection cannot be shared (a mod without
// identity), with the reason on standard error.
int RunShare(const std::optional<std::wstring>& setPath, const CGameFolders& folders, IConsole& console);

// Loads `code` as a set file is loaded and writes what loaded to the set
// `savePath` (".sch" added when it lacks it; an existing set is replaced).
// What did not load, and the mods installed at a lower version than the
// code names, are said on standard error; the set holds only what loaded,
// so that it is what the game would be started with. A code that cannot be
// read writes nothing and gives 1, as does a set that cannot be written.
int RunImport(const std::wstring& code, const std::wstring& savePath, const CGameFolders& folders, IConsole& console);

}  // namespace gh
