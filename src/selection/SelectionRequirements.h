// What the mods of a selection need that the selection does not hold, and
// the plan that adds it: the requirements that can be added, with their own
// requirements in turn, each ahead of the first entry that needs it.
//
// A selection here is the mods' identities (guids) in launch order, as the
// selection file lists them; it may name a mod twice or name mods that are
// not installed. Nothing here touches a window or a file; the answers point
// into the catalogue of `rows` and are valid as long as it lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "catalogue/ModRecords.h"
#include "catalogue/ModRows.h"
#include "selection/SelectionRules.h"
#include "selection/SelectionTexts.h"

namespace gh {

// Why a requirement of a selected mod is not met by the selection.
enum class RequirementState {
    NotSelected,   // listed, usable and new enough: adding it meets the requirement
    NotInstalled,  // no row of the mod list has it: no record, or a record the list leaves out
    TooOld,        // installed in a version older than asked (selected or not)
    Blocked,       // new enough, but its own requirements are missing or too old
};

struct UnmetRequirement {
    std::int64_t neededBy = 0;                     // the mod that names the requirement
    const CModRequirement* requirement = nullptr;  // as that mod names it: guid, least version, name
    RequirementState state = RequirementState::NotInstalled;
    const ModInfo* installed = nullptr;  // the required mod's record; null when NotInstalled

    bool CanBeAdded() const { return state == RequirementState::NotSelected; }
};

// One selected mod and its direct requirements that the selection does not
// meet (in the order the mod names them, each identity once).
struct SelectedModNeeds {
    std::size_t entry = 0;  // the mod's first entry in the selection
    const ModInfo* mod = nullptr;
    std::vector<UnmetRequirement> unmet;
};

// For each installed mod of the selection (at its first entry, in launch
// order) that has direct requirements not met: a requirement is met when
// the selection holds its mod, installed in at least the version asked.
// Where in the selection the required mod stands is not asked here (see
// SelectionOrder.h). Entries that name mods that are not installed need
// nothing that is known. Empty when nothing is missing. Time linear in the
// entries plus their mods' requirements.
std::vector<SelectedModNeeds> UnmetRequirements(const CModRows& rows, std::span<const std::int64_t> selection);

// One mod that "Add them" adds.
struct RequirementAddition {
    std::int64_t guid = 0;
    const ModInfo* mod = nullptr;
    // The entry of the selection it goes ahead of: the first entry that
    // needs it, directly or through any other mods.
    std::size_t before = 0;
};

struct RequirementPlan {
    // Every mod that the selection's mods need, directly or through other
    // mods, and that can be added; each once, in the order they are
    // inserted: by the entry they go ahead of, and before that entry with
    // requirements first: each addition comes after the additions that it,
    // or another mod of its ring, needs (see SelectionOrder.h), so adding
    // puts no "loads before" mark on an addition. Additions of one ring keep
    // the order the walk found them in.
    std::vector<RequirementAddition> additions;
    // The requirements met on the way that cannot be added (not installed,
    // too old or blocked), each identity once, in the order met. The
    // requirements of a record the list leaves out are followed like those
    // of a selected mod; those of the others are not known or not usable.
    std::vector<UnmetRequirement> cannotAdd;
    // How many places the selection lacks for the additions: the entries
    // plus the additions beyond the limit. When not 0 nothing is added.
    std::size_t placesMissing = 0;

    bool Fits() const { return placesMissing == 0; }
};

// What "Add them" does for `selection`, against a limit of `limit` entries
// (every entry counts, duplicates and mods not installed too). Every mod
// is visited once, so rings and a mod that needs itself end, and a chain
// of any length costs time linear in its length.
RequirementPlan PlanRequirementAdditions(const CModRows& rows, std::span<const std::int64_t> selection,
                                         std::size_t limit = kSelectionLimit);

// `selection` with the additions of `plan`, made for this same selection,
// inserted; `selection` as it is when the plan does not fit.
std::vector<std::int64_t> WithAdditions(std::span<const std::int64_t> selection, const RequirementPlan& plan);

// The identities of the rules' selection, in launch order.
std::vector<std::int64_t> SelectionGuids(const CSelectionRules& rules);

// "Add them" on the rules' selection, whose mods are the rows of `rows`:
// the plan for it, carried out (CSelectionRules::ReplaceSelection) when it
// adds something and fits. Nothing changes otherwise.
RequirementPlan AddRequirements(CSelectionRules& rules, const CModRows& rows);

}  // namespace gh
