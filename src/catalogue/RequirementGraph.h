// The requirements of all of a catalogue's records, resolved once, so that
// the status of every listed mod costs time linear in mods plus
// requirements, whatever chains, shared requirements or cycles they form.
#pragma once

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRecords.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gh {

class CRequirementGraph {
public:
    // What a requirement check from one mod would find: whether its
    // `missing` list and its `outdated` list would be non-empty.
    struct Closure {
        bool missing = false;
        bool outdated = false;
    };

    // Resolves every requirement of every record of `catalogue` and computes
    // each record's Closure. The catalogue must outlive the graph.
    explicit CRequirementGraph(const CModCatalogue& catalogue);

    // The Closure of the record at `position` in catalogue order: the same
    // answer as CheckRequirements from that record.
    Closure ClosureOf(std::size_t position) const;

    // The lists of CheckRequirements (RequirementCheck.h) for the record at
    // `position`, in the same order, appended to the caller's lists; it only
    // walks the mods whose closure holds a problem. Uses scratch space
    // inside the graph: not for concurrent use.
    void CheckRequirements(std::size_t position, std::vector<const ModInfo*>& outdated,
                           std::vector<CModRequirement>& missing) const;

private:
    static constexpr std::uint8_t kMissing = 1;
    static constexpr std::uint8_t kOutdated = 2;
    static constexpr std::int32_t kNotInstalled = -1;

    void ResolveRequirements();
    void ComputeClosures();
    std::uint32_t NextEpoch() const;

    const CModCatalogue& m_catalogue;
    // Requirement i of record r leads to m_targets[m_firstEdge[r] + i]: a
    // position in the catalogue, or kNotInstalled.
    std::vector<std::size_t> m_firstEdge;
    std::vector<std::int32_t> m_targets;
    std::vector<std::uint8_t> m_own;      // problems of the record's own requirements
    std::vector<std::uint8_t> m_closure;  // problems anywhere below the record, itself included

    // Marks of the current check: a slot holds the epoch that set it.
    mutable std::vector<std::uint32_t> m_visited;
    mutable std::vector<std::uint32_t> m_listed;
    mutable std::uint32_t m_epoch = 0;
};

}  // namespace gh
