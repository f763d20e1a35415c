#include "selection/SelectionRequirements.h"

#include <optional>
#include <unordered_set>

namespace gh {

namespace {

using GuidSet = std::unordered_set<std::int64_t>;

GuidSet Selected(std::span<const std::int64_t> selection) { return GuidSet(selection.begin(), selection.end()); }

// How the requirement `requirement` of the mod `neededBy` stands against the
// selection; nothing when the selection meets it.
std::optional<UnmetRequirement> Judge(const CModRows& rows, const GuidSet& selected, std::int64_t neededBy,
                                      const CModRequirement& requirement) {
    UnmetRequirement unmet{neededBy, &requirement};
    const std::ptrdiff_t position = rows.Catalogue().PositionOf(requirement.guid);
    if (position < 0) return unmet;  // NotInstalled
    const ModInfo& record = rows.Catalogue().At(static_cast<std::size_t>(position));
    if (record.version < requirement.version) {
        unmet.state = RequirementState::TooOld;
    } else if (selected.contains(requirement.guid)) {
        return std::nullopt;
    } else if (!IsListed(record)) {
        return unmet;  // NotInstalled: the player cannot choose it
    } else {
        const CRequirementGraph::Closure closure = rows.Graph().ClosureOf(static_cast<std::size_t>(position));
        unmet.state = closure.missing || closure.outdated ? RequirementState::Blocked : RequirementState::NotSelected;
    }
    unmet.installed = &record;
    return unmet;
}

}  // namespace

std::vector<SelectedModNeeds> UnmetRequirements(const CModRows& rows, std::span<const std::int64_t> selection) {
    const GuidSet selected = Selected(selection);
    std::vector<SelectedModNeeds> needs;
    GuidSet seenMods, reported;
    for (std::size_t entry = 0; entry < selection.size(); ++entry) {
        const std::int64_t guid = selection[entry];
        const ModInfo* mod = rows.Catalogue().FindByGuid(guid);
        if (!mod || !seenMods.insert(guid).second) continue;
        SelectedModNeeds mine{entry, mod, {}};
        reported.clear();
        for (const CModRequirement& requirement : mod->requirements) {
            std::optional<UnmetRequirement> unmet = Judge(rows, selected, guid, requirement);
            if (unmet && reported.insert(requirement.guid).second) mine.unmet.push_back(*unmet);
        }
        if (!mine.unmet.empty()) needs.push_back(std::move(mine));
    }
    return needs;
}

// One depth-first walk per entry, in launch order, over the requirements
// that can be added; each mod is entered once over all walks. A mod is
// taken into the plan when its walk leaves it, so after everything it
// needs that was not taken before (only the mods of a ring it belongs to
// can still be on the way), and the first entry whose walk reaches it is
// the first entry that needs it.
RequirementPlan PlanRequirementAdditions(const CModRows& rows, std::span<const std::int64_t> selection,
                                         std::size_t limit) {
    const GuidSet selected = Selected(selection);
    RequirementPlan plan;
    GuidSet entered, reported;
    struct Step {
        const ModInfo* mod;
        std::size_t next;  // the next of its requirements to look at
    };
    std::vector<Step> walk;
    for (std::size_t entry = 0; entry < selection.size(); ++entry) {
        const ModInfo* root = rows.Catalogue().FindByGuid(selection[entry]);
        if (!root || !entered.insert(selection[entry]).second) continue;
        walk.push_back({root, 0});
        while (!walk.empty()) {
            Step& step = walk.back();
            if (step.next == step.mod->requirements.size()) {
                if (walk.size() > 1) plan.additions.push_back({step.mod->guid, step.mod, entry});
                walk.pop_back();
                continue;
            }
            const CModRequirement& requirement = step.mod->requirements[step.next++];
            const std::optional<UnmetRequirement> unmet = Judge(rows, selected, step.mod->guid, requirement);
            if (!unmet) continue;
            if (!unmet->CanBeAdded()) {
                if (reported.insert(requirement.guid).second) plan.cannotAdd.push_back(*unmet);
            } else if (entered.insert(requirement.guid).second) {
                walk.push_back({unmet->installed, 0});  // `step` is not used after this
            }
        }
    }
    const std::size_t total = selection.size() + plan.additions.size();
    if (!plan.additions.empty() && total > limit) plan.placesMissing = total - limit;
    return plan;
}

std::vector<std::int64_t> WithAdditions(std::span<const std::int64_t> selection, const RequirementPlan& plan) {
    if (!plan.Fits()) return {selection.begin(), selection.end()};
    std::vector<std::int64_t> result;
    result.reserve(selection.size() + plan.additions.size());
    auto addition = plan.additions.begin();
    for (std::size_t entry = 0; entry < selection.size(); ++entry) {
        for (; addition != plan.additions.end() && addition->before == entry; ++addition)
            result.push_back(addition->guid);
        result.push_back(selection[entry]);
    }
    return result;
}

std::vector<std::int64_t> SelectionGuids(const CSelectionRules& rules) {
    std::vector<std::int64_t> guids;
    guids.reserve(rules.Selection().size());
    for (const std::uint32_t row : rules.Selection())
        if (row < rules.Mods().size()) guids.push_back(rules.Mods()[row].guid);
    return guids;
}

}  // namespace gh
