// `sort SET.sch`: puts a saved set in the one sorted order the manager's
// Sort button gives, in which every mod loads after the mods it needs.
#pragma once

#include "cli/Console.h"
#include "game/GameFolders.h"

#include <string>

namespace gh {

// Reads the set at `setPath` with every entry it names (mods that are not
// installed, repeated or past the limit too) and sorts it against the
// mods folder's mods (SortedOrder). A set that changes is rewritten whole
// (atomically, in the selection file's format); a set in a working order
// already is not touched. Either way standard output gets the order, one
// numbered entry per line. A set that cannot be read or is not a selection,
// and a write that fails, are reported on standard error, change nothing
// and give 1; otherwise 0.
int RunSort(const std::wstring& setPath, const CGameFolders& folders, IConsole& console);

}  // namespace gh
