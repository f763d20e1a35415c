// `report [SET.sch | --last] [--markdown]`: the list for a bug report
// (launcher/BugReport) on standard output.
#pragma once

#include "cli/Console.h"
#include "game/GameFolders.h"

#include <optional>
#include <string>

namespace gh {

// The report on a saved set, or without one on the selection the manager
// opens with; 1 when the set cannot be loaded.
int RunReport(const std::optional<std::wstring>& setPath, bool markdown, const CGameFolders& folders,
              IConsole& console);

}  // namespace gh
