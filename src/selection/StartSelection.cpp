#include "selection/StartSelection.h"

#include "selection/RestartList.h"
#include "selection/SelectionFile.h"

namespace gh {

StartSelectionSource LoadStartSelection(CSelectionRules& rules, const CGameFolders& folders) {
    if (ReadRestartList(rules, folders.GetRestartListPath())) return StartSelectionSource::RestartList;
    if (LoadSelectionFile(rules, folders.GetSelectionFilePath()) == SelectionFileResult::Loaded)
        return StartSelectionSource::SelectionFile;
    return StartSelectionSource::None;
}

}  // namespace gh
