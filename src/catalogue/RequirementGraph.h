// The requirement engine: the requirements of all of a catalogue's records,
// resolved once, so that the status of every listed mod and the report of
// what keeps it from being selectable cost time linear in mods plus
// requirements (plus the size of the reports), whatever chains, shared
// requirements or cycles they form.
#pragma once

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRecords.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace gh {

// One mod that a mod needs, directly or through the mods it needs, and that
// is not installed or is installed in a version older than asked.
struct RequirementProblem {
    // The first requirement met that names the mod, walking the requirements
    // depth first in file order: its name and least version are the ones a
    // report shows.
    const CModRequirement* requirement = nullptr;
    // The installed record that is too old; null when no record has the guid.
    const ModInfo* installed = nullptr;
    // The highest least version that any of the mods reached asks of it.
    std::uint16_t highestVersion = 0;
};

class CRequirementGraph {
public:
    // Whether a mod's report holds a requirement that is not installed, and
    // whether it holds one that is too old.
    struct Closure {
        bool missing = false;
        bool outdated = false;
    };

    // Resolves every requirement of every record of `catalogue` and computes
    // each record's report. The catalogue must outlive the graph.
    explicit CRequirementGraph(const CModCatalogue& catalogue);

    Closure ClosureOf(std::size_t position) const;

    // The group of the record at `position`: the records that need each
    // other, directly or through other records, share one group. A group's
    // number is higher than the number of every other group its records
    // need, so ordering records by group puts requirements first.
    std::uint32_t GroupOf(std::size_t position) const { return m_componentOf[position]; }
    // Whether the record is part of a ring: its group holds another record,
    // or it requires itself.
    bool InRing(std::size_t position) const;

    // Everything that keeps the record at `position` (catalogue order) from
    // being selectable: each mod it needs, to any depth, that is missing or
    // too old, named once (a missing mod by its guid, an outdated one by its
    // record), in the order a depth-first walk in file order meets them.
    // Records that need each other share one report. Empty when the record
    // can be selected as far as its requirements go.
    std::span<const RequirementProblem> ProblemsOf(std::size_t position) const;

private:
    static constexpr std::uint8_t kMissing = 1;
    static constexpr std::uint8_t kOutdated = 2;
    static constexpr std::uint8_t kRing = 4;

    void ResolveRequirements();
    void ComputeReports();

    const CModCatalogue& m_catalogue;
    // Requirement i of record r leads to m_targets[m_firstEdge[r] + i]: a
    // position in the catalogue, or -1 - k for the k-th guid no record has.
    std::vector<std::size_t> m_firstEdge;
    std::vector<std::int32_t> m_targets;
    std::size_t m_missingGuids = 0;

    // Each component of records that reach each other has one report:
    // m_problems[m_reportStart[c] .. m_reportStart[c + 1]).
    std::vector<std::uint32_t> m_componentOf;
    std::vector<std::size_t> m_reportStart;
    std::vector<RequirementProblem> m_problems;
    std::vector<std::int32_t> m_problemKeys;  // the target (as in m_targets) each problem names
    std::vector<std::uint8_t> m_closure;      // per component
};

}  // namespace gh
