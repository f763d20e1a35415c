// The commands that act on one Workshop subscription through the record:
// `hold` and `release`.
#pragma once

#include "cli/Console.h"
#include "game/GameFolders.h"

#include <string>

namespace gh {

// Holds (`hold` true) or releases the subscription `target` names (a mod
// file of it, or its published file id; see CWorkshopMods::Find): a sync
// leaves a held subscription at its installed version. Exit status 0 when
// the record says so afterwards; 1, with one line on standard error, for a
// mod that is not from the Workshop or a record that cannot be written.
int RunHold(const std::wstring& target, bool hold, const CGameFolders& folders, IConsole& console);

}  // namespace gh
