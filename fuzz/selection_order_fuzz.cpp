// Builds a catalogue and a selection from the bytes (requirements on mods
// that are not installed, too old or named EDITOR, rings, a mod needing
// itself, entries twice) and holds the requirement rules of a selection to
// their promises: the sort gives a permutation that carries no "loads
// before" mark and that it keeps as it is, it changes an order only where
// a mark was, and "Add them" stays within the limit or adds nothing, adds
// each mod once and after the additions it needs, and leaves nothing that
// could be added.
#include <cstdint>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "selection/SelectionOrder.h"
#include "selection/SelectionRequirements.h"
#include "selection/SelectionTexts.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

class CBytes {
public:
    CBytes(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    // The next byte, or 0 past the end.
    std::uint8_t Next() { return m_next < m_size ? m_data[m_next++] : 0; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_next = 0;
};

// Spreads small numbers over the whole range of identities.
std::int64_t Guid(std::uint8_t index) { return static_cast<std::int64_t>(index * 0x9E3779B97F4A7C15ULL); }

bool AllUnmarked(const gh::CModRows& rows, const std::vector<std::int64_t>& selection) {
    for (const gh::OrderMark& mark : gh::OrderMarks(rows, selection))
        if (!mark.loadsBefore.empty()) return false;
    return true;
}

bool IsIdentity(const std::vector<std::size_t>& order) {
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i] != i) return false;
    return true;
}

void CheckSort(const gh::CModRows& rows, const std::vector<std::int64_t>& selection) {
    const std::vector<std::size_t> order = gh::SortedOrder(rows, selection);
    Require(order.size() == selection.size());
    std::vector<bool> taken(selection.size(), false);
    for (const std::size_t entry : order) {
        Require(entry < selection.size() && !taken[entry]);
        taken[entry] = true;
    }
    const std::vector<std::int64_t> sorted = gh::Reordered<std::int64_t>(selection, order);
    Require(AllUnmarked(rows, sorted));
    Require(IsIdentity(gh::SortedOrder(rows, sorted)));
    Require(IsIdentity(order) == AllUnmarked(rows, selection));
}

void CheckAdditions(const gh::CModRows& rows, const std::vector<std::int64_t>& selection) {
    const gh::RequirementPlan plan = gh::PlanRequirementAdditions(rows, selection);
    const std::vector<std::int64_t> result = gh::WithAdditions(selection, plan);
    const std::size_t wanted = selection.size() + plan.additions.size();
    if (!plan.Fits()) {
        Require(wanted > gh::kSelectionLimit && plan.placesMissing == wanted - gh::kSelectionLimit);
        Require(result == selection);
        return;
    }
    Require(plan.additions.empty() || wanted <= gh::kSelectionLimit);
    Require(result.size() == wanted);
    const std::unordered_set<std::int64_t> selected(selection.begin(), selection.end());
    std::unordered_set<std::int64_t> added;
    std::size_t before = 0;
    for (const gh::RequirementAddition& addition : plan.additions) {
        Require(!selected.contains(addition.guid) && added.insert(addition.guid).second);
        Require(addition.before >= before && addition.before < selection.size());
        before = addition.before;
        const std::ptrdiff_t position = rows.Catalogue().PositionOf(addition.guid);
        Require(position >= 0 && gh::IsListed(*addition.mod));
        const auto closure = rows.Graph().ClosureOf(static_cast<std::size_t>(position));
        Require(!closure.missing && !closure.outdated);
    }
    // Each addition after the additions it needs, and nothing left to add.
    const std::vector<gh::OrderMark> marks = gh::OrderMarks(rows, result);
    for (std::size_t entry = 0; entry < result.size(); ++entry)
        if (added.contains(result[entry]))
            for (const std::size_t later : marks[entry].loadsBefore) Require(!added.contains(result[later]));
    for (const gh::SelectedModNeeds& needs : gh::UnmetRequirements(rows, result))
        for (const gh::UnmetRequirement& unmet : needs.unmet) Require(!unmet.CanBeAdded());
    Require(gh::PlanRequirementAdditions(rows, result).additions.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CBytes bytes(data, size);
    const std::uint8_t mods = 1 + bytes.Next() % 32;
    const auto index = [&](std::uint8_t byte) { return static_cast<std::uint8_t>(byte % (mods + 4)); };
    std::vector<gh::ModInfo> records(mods);
    for (std::uint8_t m = 0; m < mods; ++m) {
        const std::uint8_t flags = bytes.Next();
        records[m].guid = Guid(m);
        records[m].version = 1 + (flags & 3);
        records[m].name = (flags & 4) ? "EDITOR" : "mod";
        for (int r = bytes.Next() % 5; r > 0; --r) {
            const std::uint8_t requirement = bytes.Next();
            records[m].requirements.push_back({Guid(index(requirement)), std::uint16_t(requirement >> 6), "needed"});
        }
    }
    std::vector<std::int64_t> selection(bytes.Next() % 40);
    for (std::int64_t& entry : selection) entry = Guid(index(bytes.Next()));

    const gh::CModCatalogue catalogue(std::move(records));
    const gh::CModRows rows(catalogue, std::nullopt);
    CheckSort(rows, selection);
    CheckAdditions(rows, selection);
    return 0;
}
