#include "selection/SelectionOrder.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>
#include <unordered_map>
#include <unordered_set>

#include "selection/SelectionRequirements.h"

namespace gh {

namespace {

constexpr std::uint32_t kNoUnit = std::numeric_limits<std::uint32_t>::max();

// The entries of a selection grouped into units (the selected mods of one
// ring of the requirement engine, or one mod), and what each unit needs.
struct Units {
    std::vector<std::ptrdiff_t> positionOf;         // per entry: in the catalogue, or -1
    std::vector<std::uint32_t> unitOf;              // per entry: kNoUnit when not installed
    std::vector<std::vector<std::size_t>> entries;  // per unit, in selection order
    std::vector<std::vector<std::uint32_t>> needs;  // per unit: the other units it needs, each once
};

Units Resolve(const CModRows& rows, std::span<const std::int64_t> selection) {
    const CModCatalogue& catalogue = rows.Catalogue();
    Units units;
    units.positionOf.resize(selection.size());
    units.unitOf.assign(selection.size(), kNoUnit);
    std::unordered_map<std::uint32_t, std::uint32_t> unitOfGroup;
    std::unordered_map<std::int64_t, std::uint32_t> unitOfMod;
    for (std::size_t entry = 0; entry < selection.size(); ++entry) {
        const std::ptrdiff_t position = catalogue.PositionOf(selection[entry]);
        units.positionOf[entry] = position;
        if (position < 0) continue;
        const auto group = rows.Graph().GroupOf(static_cast<std::size_t>(position));
        const auto [unit, added] = unitOfGroup.try_emplace(group, static_cast<std::uint32_t>(units.entries.size()));
        if (added) units.entries.emplace_back();
        units.unitOf[entry] = unit->second;
        units.entries[unit->second].push_back(entry);
        unitOfMod.try_emplace(selection[entry], unit->second);
    }
    units.needs.resize(units.entries.size());
    std::vector<std::uint32_t> seenBy(units.entries.size(), kNoUnit);
    std::unordered_set<std::int64_t> modsDone;
    for (std::uint32_t unit = 0; unit < units.entries.size(); ++unit) {
        for (const std::size_t entry : units.entries[unit]) {
            if (!modsDone.insert(selection[entry]).second) continue;
            const auto position = static_cast<std::size_t>(units.positionOf[entry]);
            for (const CModRequirement& requirement : catalogue.At(position).requirements) {
                const auto needed = unitOfMod.find(requirement.guid);
                if (needed == unitOfMod.end() || needed->second == unit || seenBy[needed->second] == unit) continue;
                seenBy[needed->second] = unit;
                units.needs[unit].push_back(needed->second);
            }
        }
    }
    return units;
}

}  // namespace

std::vector<OrderMark> OrderMarks(const CModRows& rows, std::span<const std::int64_t> selection) {
    const Units units = Resolve(rows, selection);
    std::vector<OrderMark> marks(selection.size());
    std::vector<std::size_t> later;
    std::unordered_set<std::int64_t> named;
    for (std::size_t entry = 0; entry < selection.size(); ++entry) {
        if (units.positionOf[entry] < 0) continue;
        OrderMark& mark = marks[entry];
        mark.inRing = rows.Graph().InRing(static_cast<std::size_t>(units.positionOf[entry]));
        later.clear();
        for (const std::uint32_t needed : units.needs[units.unitOf[entry]])
            for (auto it = units.entries[needed].rbegin(); it != units.entries[needed].rend() && *it > entry; ++it)
                later.push_back(*it);
        std::sort(later.begin(), later.end());
        named.clear();
        for (const std::size_t other : later)
            if (named.insert(selection[other]).second) mark.loadsBefore.push_back(other);
    }
    return marks;
}

std::vector<std::size_t> SortedOrder(const CModRows& rows, std::span<const std::int64_t> selection) {
    const Units units = Resolve(rows, selection);
    const std::size_t unitCount = units.entries.size();
    // A unit waits for the units it needs to be placed whole; its entries
    // are then taken one after the other, each when it is the earliest
    // entry that can be taken.
    std::vector<std::size_t> waitingFor(unitCount), placed(unitCount, 0);
    std::vector<std::vector<std::uint32_t>> neededBy(unitCount);
    for (std::uint32_t unit = 0; unit < unitCount; ++unit) {
        waitingFor[unit] = units.needs[unit].size();
        for (const std::uint32_t needed : units.needs[unit]) neededBy[needed].push_back(unit);
    }
    std::priority_queue<std::size_t, std::vector<std::size_t>, std::greater<>> ready;
    for (std::uint32_t unit = 0; unit < unitCount; ++unit)
        if (waitingFor[unit] == 0) ready.push(units.entries[unit].front());

    std::vector<std::size_t> order;
    order.reserve(selection.size());
    // Entries of mods that are not installed follow the entry before them.
    const auto takeFollowers = [&](std::size_t from) {
        for (; from < selection.size() && units.unitOf[from] == kNoUnit; ++from) order.push_back(from);
    };
    takeFollowers(0);
    while (!ready.empty()) {
        const std::size_t entry = ready.top();
        ready.pop();
        order.push_back(entry);
        takeFollowers(entry + 1);
        const std::uint32_t unit = units.unitOf[entry];
        if (++placed[unit] < units.entries[unit].size()) {
            ready.push(units.entries[unit][placed[unit]]);
            continue;
        }
        for (const std::uint32_t waiting : neededBy[unit])
            if (--waitingFor[waiting] == 0) ready.push(units.entries[waiting].front());
    }
    return order;
}

bool SortSelection(CSelectionRules& rules, const CModRows& rows) {
    const std::vector<std::int64_t> selection = SelectionGuids(rules);
    const std::vector<std::size_t> order = SortedOrder(rows, selection);
    if (std::is_sorted(order.begin(), order.end())) return false;
    return rules.ReplaceSelection(Reordered<std::int64_t>(selection, order));
}

}  // namespace gh
