// The folder options as the rest of the program sees them.
#pragma once

#include "launcher/LauncherOptions.h"

#include <optional>
#include <string>

namespace gh {

// Checks that each folder the options name (--documents, --game-folder,
// --workshop) exists and can be listed, then installs the documents and
// game folder replacements for the whole process. On failure nothing is
// installed and the result is a one-line error that names the folder.
std::optional<std::wstring> ApplyFolderOptions(const LauncherOptions& options);

}  // namespace gh
