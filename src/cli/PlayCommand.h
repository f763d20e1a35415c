// `play [SET.sch | --last | --code CODE] [--with-requirements]`: the
// launcher's run without windows. The start-up sequence runs as in the
// windowed launcher, with the command line standing in for the player's
// choices: play without mods, or play with the selection of a saved set, of
// a share code, or the one the mod manager would open with, and, when
// asked, the mods its mods need added as the manager's "Add them" adds them.
#pragma once

#include "cli/Console.h"
#include "game/GameFolders.h"

#include <string>

namespace gh {

struct PlayRequest {
    enum class Source {
        None,  // no selection: the game starts without mods, nothing is written
        Set,   // a saved set, loaded as "Load Mod Selection Set" loads it
        Last,  // the restart list if it applies (then deleted), else "gatehouse.sch"
        Code,  // a share code, loaded as a set is loaded
    };
    Source source = Source::None;
    std::wstring setPath;  // with Source::Set
    std::wstring code;     // with Source::Code
    std::wstring runner;   // see StartGameExecutable
    bool withRequirements = false;
};

// Runs the sequence with a terminal host; returns the exit status.
int RunPlay(const PlayRequest& request, const CGameFolders& folders, IConsole& console);

}  // namespace gh
