// The walk over the mods folder that finds the mod files the catalogue reads.
#pragma once

#include "platform/FolderListing.h"
#include "platform/InputFolder.h"

#include <cstddef>
#include <functional>
#include <string>

namespace gh {

// Called once per file found: the file is entry `entry` of the open
// `folder`, to open it by (CInputFolder::OpenEntryAndReadStart); `recordPath`
// is its path as the system spells it (the folder's real spelling, see
// platform::ExactCasePath, and the names as listed, joined with the
// system's separator), which the callee may take.
using FoundModFile = std::function<void(platform::CInputFolder& folder, std::size_t entry, std::wstring&& recordPath)>;

// Depth first below `folder` (which ends with '/'): the folder's files whose
// names match `pattern` (wildcards '*' and '?', ASCII letters without regard
// to case) in listing order, leaving out "Thumbs.db" and ".get_date.dat",
// then each subfolder in listing order. Folders whose names begin with '.'
// are not entered; each real folder is entered at most once. A folder that
// cannot be listed contributes nothing. Each folder is listed once.
void FindModFiles(const std::wstring& folder, const std::wstring& pattern, const FoundModFile& found);

}  // namespace gh
