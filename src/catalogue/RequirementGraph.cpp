#include "catalogue/RequirementGraph.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace gh {

CRequirementGraph::CRequirementGraph(const CModCatalogue& catalogue) : m_catalogue(catalogue) {
    ResolveRequirements();
    ComputeReports();
}

void CRequirementGraph::ResolveRequirements() {
    const std::size_t count = m_catalogue.Count();
    m_firstEdge.assign(count + 1, 0);
    for (std::size_t r = 0; r < count; ++r) m_firstEdge[r + 1] = m_firstEdge[r] + m_catalogue.At(r).requirements.size();
    m_targets.resize(m_firstEdge[count]);
    // Every guid that no record has gets a number of its own, so a report can
    // name each missing mod once.
    std::unordered_map<std::int64_t, std::int32_t> missing;
    for (std::size_t r = 0; r < count; ++r) {
        const auto& requirements = m_catalogue.At(r).requirements;
        for (std::size_t i = 0; i < requirements.size(); ++i) {
            const std::ptrdiff_t target = m_catalogue.PositionOf(requirements[i].guid);
            if (target >= 0) {
                m_targets[m_firstEdge[r] + i] = static_cast<std::int32_t>(target);
                continue;
            }
            const auto [it, inserted] =
                missing.try_emplace(requirements[i].guid, static_cast<std::int32_t>(missing.size()));
            m_targets[m_firstEdge[r] + i] = -1 - it->second;
        }
    }
    m_missingGuids = missing.size();
}

// A report names what a depth-first walk from a record meets. Records that
// reach each other (a strongly connected component) meet the same mods, and
// the components form an acyclic graph, so one Tarjan pass, which completes
// every component after all components it reaches, builds each component's
// report from its own requirements and the finished reports of the
// components they lead to: each report is built once, in time linear in its
// length and the requirements of its members.
void CRequirementGraph::ComputeReports() {
    const std::size_t count = m_catalogue.Count();
    constexpr std::uint32_t kUnset = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> order(count, kUnset);  // discovery index
    std::vector<std::uint32_t> low(count, 0);
    m_componentOf.assign(count, kUnset);
    std::vector<std::uint32_t> open;                         // records discovered, not yet in a component
    std::vector<std::pair<std::size_t, std::size_t>> calls;  // record, next edge
    std::uint32_t discovered = 0;

    // Where a target already stands in the report being built: valid while
    // its stamp is the component's.
    std::vector<std::uint32_t> installedStamp(count, 0), missingStamp(m_missingGuids, 0), splicedStamp;
    std::vector<std::size_t> installedSlot(count, 0), missingSlot(m_missingGuids, 0);
    std::uint32_t stamp = 0;
    std::size_t reportStart = 0;

    const auto add = [&](std::int32_t key, const CModRequirement* requirement, const ModInfo* installed,
                         std::uint16_t version) {
        const auto index = static_cast<std::size_t>(key >= 0 ? key : -1 - key);
        std::uint32_t& seen = key >= 0 ? installedStamp[index] : missingStamp[index];
        std::size_t& slot = key >= 0 ? installedSlot[index] : missingSlot[index];
        if (seen == stamp) {
            RequirementProblem& problem = m_problems[slot];
            problem.highestVersion = std::max(problem.highestVersion, version);
            return;
        }
        seen = stamp;
        slot = m_problems.size();
        m_problems.push_back({requirement, installed, version});
        m_problemKeys.push_back(key);
    };

    const auto finishComponent = [&](std::vector<std::uint32_t>::iterator first) {
        const auto id = static_cast<std::uint32_t>(m_reportStart.size());
        std::uint8_t flags = 0;
        for (auto it = first; it != open.end(); ++it) m_componentOf[*it] = id;
        stamp = id + 1;
        splicedStamp.push_back(0);
        m_reportStart.push_back(reportStart);
        for (auto it = first; it != open.end(); ++it) {
            const ModInfo& member = m_catalogue.At(*it);
            for (std::size_t e = m_firstEdge[*it]; e < m_firstEdge[*it + 1]; ++e) {
                const CModRequirement& requirement = member.requirements[e - m_firstEdge[*it]];
                const std::int32_t target = m_targets[e];
                if (target < 0) {
                    add(target, &requirement, nullptr, requirement.version);
                    continue;
                }
                const auto t = static_cast<std::size_t>(target);
                const ModInfo& found = m_catalogue.At(t);
                if (found.version < requirement.version) add(target, &requirement, &found, requirement.version);
                const std::uint32_t other = m_componentOf[t];
                if (other == id) flags |= kRing;  // a requirement inside the group
                if (other == id || splicedStamp[other] == stamp) continue;
                splicedStamp[other] = stamp;
                for (std::size_t p = m_reportStart[other]; p < m_reportStart[other + 1]; ++p) {
                    const RequirementProblem problem = m_problems[p];  // a copy: the vector may grow
                    add(m_problemKeys[p], problem.requirement, problem.installed, problem.highestVersion);
                }
            }
        }
        for (std::size_t p = reportStart; p < m_problems.size(); ++p)
            flags |= m_problems[p].installed ? kOutdated : kMissing;
        m_closure.push_back(flags);
        reportStart = m_problems.size();  // where the next report starts, and this one ends
    };

    const auto discover = [&](std::size_t r) {
        order[r] = low[r] = discovered++;
        open.push_back(static_cast<std::uint32_t>(r));
        calls.emplace_back(r, m_firstEdge[r]);
    };

    for (std::size_t start = 0; start < count; ++start) {
        if (order[start] != kUnset) continue;
        discover(start);
        while (!calls.empty()) {
            const std::size_t r = calls.back().first;
            if (calls.back().second < m_firstEdge[r + 1]) {
                const std::int32_t target = m_targets[calls.back().second++];
                if (target < 0) continue;
                const auto t = static_cast<std::size_t>(target);
                if (order[t] == kUnset)
                    discover(t);
                else if (m_componentOf[t] == kUnset)
                    low[r] = std::min(low[r], order[t]);  // still open
                continue;
            }
            calls.pop_back();
            if (!calls.empty()) {
                const std::size_t parent = calls.back().first;
                low[parent] = std::min(low[parent], low[r]);
            }
            if (low[r] != order[r]) continue;
            // r roots a component: its members are the open records from r on.
            const auto first = std::find(open.rbegin(), open.rend(), static_cast<std::uint32_t>(r)).base() - 1;
            finishComponent(first);
            open.erase(first, open.end());
        }
    }
    m_reportStart.push_back(reportStart);
    m_problemKeys = {};  // needed only while the reports are built
}

CRequirementGraph::Closure CRequirementGraph::ClosureOf(std::size_t position) const {
    const std::uint8_t flags = m_closure[m_componentOf[position]];
    return {(flags & kMissing) != 0, (flags & kOutdated) != 0};
}

bool CRequirementGraph::InRing(std::size_t position) const { return (m_closure[m_componentOf[position]] & kRing) != 0; }

std::span<const RequirementProblem> CRequirementGraph::ProblemsOf(std::size_t position) const {
    const std::uint32_t component = m_componentOf[position];
    return {m_problems.data() + m_reportStart[component], m_reportStart[component + 1] - m_reportStart[component]};
}

}  // namespace gh
