// The stress tree of the performance benchmark: a game folder with a game
// of version 1.25.5.2 and a documents folder whose mods folder holds many
// mods spread evenly over many folders. Of every 100 mods 85 can be
// selected (some of them need other usable mods, some in rings that are
// whole); the rest are blocked in every way a mod can be: built for another
// game version (and older header formats that name none), a missing or an
// outdated requirement, both, the same at the end of chains of ten mods and
// inside rings of five. A few names carry quotes, backslashes, control
// characters, characters beyond the Basic Multilingual Plane and unpaired
// surrogates.
#pragma once

#include <cstdint>
#include <string>

namespace gh::bench {

struct StressCounts {
    int mods = 0;
    int folders = 0;
    int usable = 0;            // StatusOk
    int wrongGameVersion = 0;  // StatusWrongGameVersion
    int missing = 0;           // StatusMissingRequirement
    int outdated = 0;          // StatusOutdatedRequirement
    std::int64_t requirements = 0;
};

struct StressTree {
    std::wstring root;       // with a trailing '/'
    std::wstring game;       // root + "game/", holding Emberwake2.exe
    std::wstring documents;  // root + "Documents/"
    std::wstring mods;       // the mods folder below the documents game folder
    StressCounts expected;
};

// Writes the tree below `root` (created when missing) unless a tree of the
// same shape was written there before, which is then used as it is.
// False when a file could not be written.
bool MakeStressTree(const std::wstring& root, int mods, int folders, StressTree& tree);

}  // namespace gh::bench
