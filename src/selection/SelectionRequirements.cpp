#include "selection/SelectionRequirements.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <utility>

namespace gh {

namespace {

using GuidSet = std::unordered_set<std::int64_t>;

GuidSet Selected(std::span<const std::int64_t> selection) { return GuidSet(selection.begin(), selection.end()); }

// How one requirement of the mod `neededBy` stands against the selection:
// what is unmet about it (nothing when the selection meets it), and the
// record whose own requirements the mod needs in turn (null when no record
// meets the requirement's version, or when it is blocked and not selected).
struct Verdict {
    std::optional<UnmetRequirement> unmet;
    const ModInfo* follow = nullptr;
};

Verdict Judge(const CModRows& rows, const GuidSet& selected, std::int64_t neededBy,
              const CModRequirement& requirement) {
    UnmetRequirement unmet{neededBy, &requirement};
    const std::ptrdiff_t position = rows.Catalogue().PositionOf(requirement.guid);
    if (position < 0) return {unmet};  // NotInstalled
    const ModInfo& record = rows.Catalogue().At(static_cast<std::size_t>(position));
    if (record.version < requirement.version) {
        unmet.state = RequirementState::TooOld;
        unmet.installed = &record;
        return {unmet};
    }
    if (selected.contains(requirement.guid)) return {std::nullopt, &record};
    const CRequirementGraph::Closure closure = rows.Graph().ClosureOf(static_cast<std::size_t>(position));
    const bool blocked = closure.missing || closure.outdated;
    if (!IsListed(record)) return {unmet, blocked ? nullptr : &record};  // NotInstalled: it cannot be chosen
    unmet.state = blocked ? RequirementState::Blocked : RequirementState::NotSelected;
    unmet.installed = &record;
    return {unmet, blocked ? nullptr : &record};
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
            const Verdict verdict = Judge(rows, selected, guid, requirement);
            if (verdict.unmet && reported.insert(requirement.guid).second) mine.unmet.push_back(*verdict.unmet);
        }
        if (!mine.unmet.empty()) needs.push_back(std::move(mine));
    }
    return needs;
}

// One depth-first walk per entry, in launch order, over everything its mod
// needs that is installed in a version that will do: selected mods, mods
// that can be added, and records the list leaves out, whose requirements
// still count. Each mod is entered once over all walks, so the first entry
// whose walk reaches a mod is the first entry that needs it. A mod is taken
// into the plan when its walk leaves it, so after what it needs (but for
// the mods of its ring). Then each entry's additions are ordered by the
// engine's groups, stably: a group's number is higher than those of the
// groups it needs, so every addition comes after the additions that it or
// any mod of its ring needs, and additions of one ring stay in the order
// they were found.
RequirementPlan PlanRequirementAdditions(const CModRows& rows, std::span<const std::int64_t> selection,
                                         std::size_t limit) {
    const GuidSet selected = Selected(selection);
    RequirementPlan plan;
    GuidSet entered, reported;
    struct Step {
        const ModInfo* mod;
        bool added;
        std::size_t next;  // the next of its requirements to look at
    };
    std::vector<Step> walk;
    std::vector<std::pair<std::uint32_t, RequirementAddition>> found;  // with their groups
    for (std::size_t entry = 0; entry < selection.size(); ++entry) {
        const ModInfo* root = rows.Catalogue().FindByGuid(selection[entry]);
        if (!root || !entered.insert(selection[entry]).second) continue;
        walk.push_back({root, false, 0});
        found.clear();
        while (!walk.empty()) {
            Step& step = walk.back();
            if (step.next == step.mod->requirements.size()) {
                if (step.added) {
                    const auto position = static_cast<std::size_t>(rows.Catalogue().PositionOf(step.mod->guid));
                    found.push_back({rows.Graph().GroupOf(position), {step.mod->guid, step.mod, entry}});
                }
                walk.pop_back();
                continue;
            }
            const CModRequirement& requirement = step.mod->requirements[step.next++];
            const Verdict verdict = Judge(rows, selected, step.mod->guid, requirement);
            if (verdict.unmet && !verdict.unmet->CanBeAdded() && reported.insert(requirement.guid).second)
                plan.cannotAdd.push_back(*verdict.unmet);
            if (verdict.follow && entered.insert(requirement.guid).second)  // `step` is not used after this
                walk.push_back({verdict.follow, verdict.unmet && verdict.unmet->CanBeAdded(), 0});
        }
        std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& addition : found) plan.additions.push_back(addition.second);
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

RequirementPlan AddRequirements(CSelectionRules& rules, const CModRows& rows) {
    const std::vector<std::int64_t> selection = SelectionGuids(rules);
    RequirementPlan plan = PlanRequirementAdditions(rows, selection);
    if (!plan.additions.empty() && plan.Fits()) rules.ReplaceSelection(WithAdditions(selection, plan));
    return plan;
}

}  // namespace gh
