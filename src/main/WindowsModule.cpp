// The windows as a module of their own (Linux): the executable loads it only
// when the windows open, so the terminal commands start without loading the
// toolkit's libraries. The module holds its own copy of the layers below the
// windows, so it installs the folder options in its copy too.
#include "launcher/FolderOptions.h"
#include "launcher/LauncherOptions.h"
#include "ui/WindowedLauncher.h"

// 1 when the windows were shown, 0 when no display could be opened, -1 when
// the folder options could not be applied (the executable checked them
// already, so only a folder that went away in between does that).
extern "C" __attribute__((visibility("default"))) int GatehouseRunWindows(const gh::LauncherOptions* options) {
    if (gh::ApplyFolderOptions(*options)) return -1;
    return gh::RunWindowedLauncher(*options) ? 1 : 0;
}
