// The walk over the mods folder that finds mod files, shared by the
// catalogue's build and its ScanModFolder.
#pragma once

#include <string>
#include <vector>

namespace gh {

struct FoundModFile {
    std::wstring openPath;    // folder names and file name as the system lists them
    std::wstring recordPath;  // the same path upper-cased: the catalogue's form
};

// Depth first below `folder` (which ends with '/'): the folder's matching
// files in listing order, then each subfolder in listing order. Folders
// whose names begin with '.' are not entered; each real folder is entered
// at most once. A folder that cannot be listed contributes nothing.
void FindModFiles(const std::wstring& folder, const std::wstring& pattern, std::vector<FoundModFile>& out);

}  // namespace gh
