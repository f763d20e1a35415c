// The restart list "restart.txt" in the documents game folder: written by
// something outside the launcher, read once when the manager opens, then
// deleted. Text as for the selection file; a sequence of white-space
// separated tokens in which "[MODS]" starts the entries and "[/MODS]" or the
// end of the text ends them. An entry token has at least 17 characters,
// "GUID" at positions 11 to 14 and the decimal guid from position 16 on.
#pragma once

#include <string_view>

#include "selection/SelectionRules.h"

namespace gh {

enum class RestartListResult {
    Blank,        // nothing but white space: left in place
    NoModsBlock,  // no "[MODS]" token: to be deleted, selection untouched
    Applied,      // the selection was replaced: to be deleted
};

// Applies a restart list's bytes. On Applied the selection holds every usable
// mod the entries name, in order, duplicates kept and with no limit; the
// rows' checks are not cleared first; the loaded rows are checked; the play
// and save-set buttons are enabled only if the limit is kept. Entries whose
// number names no usable mod or does not fit in 64 bits are skipped.
RestartListResult ApplyRestartListText(CSelectionRules& rules, std::string_view bytes);

// Reads the restart list at `path` (CGameFolders::GetRestartListPath()).
// Returns true when it
// replaced the selection; the list then stays until ConsumeRestartList,
// which the launcher calls once the selection built from it is safe in the
// selection file (or the player closed the manager), so that a failed write
// loses nothing. A missing or unreadable list (over kMaxSelectionFileBytes
// included) and a blank one are left in place; a list without "[MODS]" is
// deleted at once, as nothing in it can be used.
bool ReadRestartList(CSelectionRules& rules, const std::wstring& path);

// Deletes the restart list at `path`: it has been used.
void ConsumeRestartList(const std::wstring& path);

}  // namespace gh
