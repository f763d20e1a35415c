// The selection the manager opens with: the restart list when it applies,
// otherwise the default selection file.
#pragma once

#include "game/GameFolders.h"
#include "selection/SelectionRules.h"

namespace gh {

enum class StartSelectionSource {
    None,           // neither applied: the selection is as it was (empty at start)
    RestartList,    // the restart list replaced the selection; ConsumeRestartList once it is used
    SelectionFile,  // the default selection file replaced the selection
};

// Call once the mod list is filled (CSelectionRules::SetMods). Runs
// ReadRestartList on the folders' restart list and, only when that returns
// false, LoadSelectionFile on their default selection file.
StartSelectionSource LoadStartSelection(CSelectionRules& rules, const CGameFolders& folders);

}  // namespace gh
