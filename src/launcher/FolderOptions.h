// The run's folders, made from the options every front end shares.
#pragma once

#include "game/GameFolders.h"
#include "launcher/LauncherOptions.h"
#include "platform/Status.h"

namespace gh {

// Checks that each folder the options name (--documents, --game-folder,
// --workshop) exists and can be listed, then makes the run's folders: the
// system's, with --documents in place of the documents folder and
// --game-folder in place of the launcher's own folder (the launcher keeps
// its file name there). Relative folders are taken from the current folder
// now, so that every path the run shows can be used from anywhere. On
// failure the status is one line that names the folder.
Result<CGameFolders> MakeGameFolders(const LauncherOptions& options);

}  // namespace gh
