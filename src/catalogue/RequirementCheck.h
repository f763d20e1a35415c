// The requirement check of one mod: which mods it needs, directly or
// through the mods those need, are not installed or are too old.
#pragma once

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRecords.h"

#include <vector>

namespace gh {

// Walks `mod`'s requirements depth first, in file order, and the
// requirements of every installed mod reached, to any depth. For each
// requirement of a visited mod: if no record of `catalogue` has its guid, a
// copy of it is appended to `missing` (a mod that is not installed has no
// known requirements); otherwise the installed record is appended to
// `outdated` when its version is lower than the requirement asks and it is
// not in `outdated` yet. Each mod is visited at most once per check, so
// requirement cycles end and shared requirements are walked once; for
// cycle-free requirements the lists say the same as walking every path.
// Both lists are appended to, never emptied.
void CheckRequirements(const CModCatalogue& catalogue, const ModInfo& mod, std::vector<const ModInfo*>& outdated,
                       std::vector<CModRequirement>& missing);

// The same against the current catalogue. With no current catalogue
// nothing is installed, so every requirement of `mod` is missing.
void CheckRequirements(const ModInfo* mod, std::vector<const ModInfo*>& outdated, std::vector<CModRequirement>& missing);

}  // namespace gh
