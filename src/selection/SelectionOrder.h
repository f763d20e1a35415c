// The launch order of a selection against its mods' requirements: which
// entries load before a mod they need, and the one sort that fixes that.
//
// A selection here is the mods' identities (guids) in launch order; it may
// name a mod twice or name mods that are not installed. The rules, which
// the marks and the sort share:
//
// - Only requirements between mods of the selection count, whatever their
//   versions; requirements on mods outside it are UnmetRequirements' business.
// - A ring is a group of mods that need each other, directly or through any
//   installed mods (CRequirementGraph::GroupOf), or a mod that needs itself.
//   The selected mods of one ring count as one unit: every entry of the
//   unit needs what any of its mods needs outside the ring, every entry that
//   needs one of its mods needs all of the unit, and the requirements inside
//   the ring are not asked for, as no order can meet them.
// - A mod that the selection names twice is one mod in two places: both
//   entries belong to its unit, so both come after what it needs, and the
//   entries that need it come after both.
// - An entry whose mod is not installed takes part in no requirement.
//
// A working order is one in which every entry comes after every entry it
// needs; that is, no entry carries a "loads before" mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "catalogue/ModRows.h"
#include "selection/SelectionRules.h"

namespace gh {

struct OrderMark {
    // The entries after this one that it needs, one per mod (the first of
    // that mod's entries after this one), in launch order: the mark "loads
    // before Core Library, which it needs". Empty in a working order.
    std::vector<std::size_t> loadsBefore;
    // Its mod is part of a ring (see above), whether or not the ring's other
    // mods are selected: no order meets all of the ring's requirements, and
    // the sort keeps the ring's selected entries in the order they have.
    bool inRing = false;
};

// One mark per entry of `selection`. Time linear in the entries and their
// mods' requirements, plus n log n in the entries each entry loads before.
std::vector<OrderMark> OrderMarks(const CModRows& rows, std::span<const std::int64_t> selection);

// The sorted order, as positions into `selection`: the entry placed i-th is
// selection[result[i]]. Built by one rule: repeatedly take the earliest
// entry whose needed entries have all been placed, where the entries of a
// unit are taken in their order in `selection`. So:
// - the result is a working order, and a working order is kept exactly as
//   it is (sorting twice changes nothing more);
// - the sort is stable: an entry moves behind a later entry only when it
//   needs, directly or through the entries it waits for, an entry at or
//   after that later one; entries with no requirements keep their order;
// - a ring's entries keep their order among themselves, and entries that
//   have nothing to do with the ring may stay between them;
// - an entry whose mod is not installed moves with the entry before it in
//   `selection`: it stays right after that entry (after the other such
//   entries that followed it), and at the front when nothing preceded it.
// Time O(n log n) in the entries plus linear in their mods' requirements.
std::vector<std::size_t> SortedOrder(const CModRows& rows, std::span<const std::int64_t> selection);

// "Sort" on the rules' selection, whose mods are the rows of `rows`: puts it
// in the sorted order (CSelectionRules::ReplaceSelection). False, and
// nothing changes, when it is in a working order already.
bool SortSelection(CSelectionRules& rules, const CModRows& rows);

// `items` (one per entry of the selection) in the order of `order`.
template <class T>
std::vector<T> Reordered(std::span<const T> items, std::span<const std::size_t> order) {
    std::vector<T> result;
    result.reserve(order.size());
    for (const std::size_t position : order) result.push_back(items[position]);
    return result;
}

}  // namespace gh
