// The commands that act on one Workshop subscription through the record:
// `hold`, `release`, `history` and `restore`.
#pragma once

#include "cli/Console.h"
#include "game/GameFolders.h"

#include <cstdint>
#include <string>

namespace gh {

// Holds (`hold` true) or releases the subscription `target` names (a mod
// file of it, or its published file id; see CWorkshopMods::Find): a sync
// leaves a held subscription at its installed version. Exit status 0 when
// the record says so afterwards; 1, with one line on standard error, for a
// mod that is not from the Workshop or a record that cannot be written.
int RunHold(const std::wstring& target, bool hold, const CGameFolders& folders, IConsole& console);

// What changed among the Workshop subscriptions since the game was last
// started (ChangesText, or ChangesJson with `json`). Exit status 0.
int RunChanges(bool json, const CGameFolders& folders, IConsole& console);

// Lists the earlier versions kept of the subscription `target` names,
// numbered from 1 (the newest), each with the date it was installed and its
// mod files' versions. Exit status 0, or 1 as for RunHold.
int RunHistory(const std::wstring& target, const CGameFolders& folders, IConsole& console);

// Puts version `entry` (1: the newest) of the subscription's history back
// (RestoreFromHistory): its current files go to the history first, and it
// is held, which the message says. Exit status 0; 1, with one line on
// standard error, for a mod not from the Workshop, an entry that is not
// kept, or a restore that failed.
int RunRestore(const std::wstring& target, std::uint32_t entry, const CGameFolders& folders, IConsole& console);

}  // namespace gh
