// The "Load Mod Selection Set" and "Save Mod Selection Set" buttons, apart
// from their file dialogs: what the dialogs are opened with, and what happens
// with the path the player chose.
#pragma once

#include <string>

#include "selection/SelectionFile.h"
#include "selection/SelectionRules.h"

namespace gh {

// File-dialog filter in the "label|patterns|...||" form.
inline constexpr wchar_t kSelectionSetFilter[] = L"SCH files (*.sch)|*.sch|All Files (*.*)|*.*||";
inline constexpr wchar_t kSelectionSetDefaultExtension[] = L"*.sch";

// Loads the chosen set as LoadSelectionFile does. An empty path (no choice)
// is Unreadable and changes nothing: it never stands for the default file.
SelectionFileResult LoadSelectionSet(CSelectionRules& rules, const std::wstring& chosenPath);

// The path a set is written to: `chosenPath` with ".sch" added when its
// file name does not end in it (in any case), so that every saved set shows
// in the Load dialog, whose filter is "*.sch".
std::wstring WithSetExtension(const std::wstring& chosenPath);

// The set's name for people: the file name without its folder and without
// ".sch".
std::wstring SetDisplayName(const std::wstring& path);

// Writes the selection to WithSetExtension(chosenPath), replacing a file of
// that name without asking (the window asks first). An empty path writes
// nothing.
Status SaveSelectionSet(const CSelectionRules& rules, const std::wstring& chosenPath);

}  // namespace gh
