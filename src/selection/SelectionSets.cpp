#include "selection/SelectionSets.h"

#include "app/Folders.h"

namespace gh {

std::wstring SelectionSetInitialFolder() { return GetUserGameFolder(); }

// An empty path means the default file to the file functions; a set button
// must never reach that file by accident.
SelectionFileResult LoadSelectionSet(CSelectionRules& rules, const std::wstring& chosenPath) {
    if (chosenPath.empty()) return SelectionFileResult::Unreadable;
    return LoadSelectionFile(rules, chosenPath);
}

Status SaveSelectionSet(const CSelectionRules& rules, const std::wstring& chosenPath) {
    if (chosenPath.empty()) return Status(StatusKind::NotFound, L"no file was chosen");
    return SaveSelectionFile(rules, chosenPath);
}

}  // namespace gh
