// The gui as a module of its own (Linux): the executable loads it only when
// the gui opens, so the terminal commands start without loading the
// toolkit's libraries. The module holds the gui alone; every layer below it
// is the executable's own copy, which the executable exports to it.
#include "game/GameFolders.h"
#include "launcher/LauncherOptions.h"
#include "ui/GuiLauncher.h"

// 1 when the gui was shown, 0 when no display could be opened.
extern "C" __attribute__((visibility("default"))) int GatehouseRunGui(const gh::LauncherOptions* options,
                                                                      const gh::CGameFolders* folders) {
    return gh::RunGuiLauncher(*options, *folders) ? 1 : 0;
}
