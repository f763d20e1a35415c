#include "selection/StartSelection.h"

#include "selection/RestartList.h"
#include "selection/SelectionFile.h"

namespace gh {

StartSelectionSource LoadStartSelection(CSelectionRules& rules) {
    if (ReadRestartList(rules)) return StartSelectionSource::RestartList;
    if (LoadSelectionFile(rules, std::wstring()) == SelectionFileResult::Loaded)
        return StartSelectionSource::SelectionFile;
    return StartSelectionSource::None;
}

}  // namespace gh
