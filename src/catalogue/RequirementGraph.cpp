#include "catalogue/RequirementGraph.h"

#include <algorithm>
#include <limits>

namespace gh {

CRequirementGraph::CRequirementGraph(const CModCatalogue& catalogue) : m_catalogue(catalogue) {
    ResolveRequirements();
    ComputeClosures();
    m_visited.assign(m_catalogue.Count(), 0);
    m_listed.assign(m_catalogue.Count(), 0);
}

void CRequirementGraph::ResolveRequirements() {
    const std::size_t count = m_catalogue.Count();
    m_firstEdge.assign(count + 1, 0);
    for (std::size_t r = 0; r < count; ++r)
        m_firstEdge[r + 1] = m_firstEdge[r] + m_catalogue.At(r).requirements.size();
    m_targets.resize(m_firstEdge[count]);
    m_own.assign(count, 0);
    for (std::size_t r = 0; r < count; ++r) {
        const auto& requirements = m_catalogue.At(r).requirements;
        for (std::size_t i = 0; i < requirements.size(); ++i) {
            const std::ptrdiff_t target = m_catalogue.PositionOf(requirements[i].guid);
            m_targets[m_firstEdge[r] + i] = static_cast<std::int32_t>(target);
            if (target < 0) m_own[r] |= kMissing;
            else if (m_catalogue.At(static_cast<std::size_t>(target)).version < requirements[i].version) m_own[r] |= kOutdated;
        }
    }
}

// A check from a record finds exactly the problems of the records it can
// reach. Records that reach each other (a strongly connected component)
// share one answer, and the components form an acyclic graph, so one
// Tarjan pass, which completes every component after all components it
// reaches, gives every record's answer in linear time.
void CRequirementGraph::ComputeClosures() {
    const std::size_t count = m_catalogue.Count();
    constexpr std::uint32_t kUnset = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> order(count, kUnset);  // discovery index
    std::vector<std::uint32_t> low(count, 0);
    std::vector<std::uint32_t> component(count, kUnset);
    std::vector<std::uint32_t> open;  // records discovered, not yet in a component
    std::vector<std::pair<std::size_t, std::size_t>> calls;  // record, next edge
    m_closure.assign(count, 0);
    std::uint32_t discovered = 0;
    std::uint32_t components = 0;

    auto discover = [&](std::size_t r) {
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
                if (target == kNotInstalled) continue;
                const auto t = static_cast<std::size_t>(target);
                if (order[t] == kUnset) discover(t);
                else if (component[t] == kUnset) low[r] = std::min(low[r], order[t]);  // still open
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
            const std::uint32_t id = components++;
            std::uint8_t flags = 0;
            for (auto it = first; it != open.end(); ++it) component[*it] = id;
            for (auto it = first; it != open.end(); ++it) {
                flags |= m_own[*it];
                for (std::size_t e = m_firstEdge[*it]; e < m_firstEdge[*it + 1]; ++e) {
                    const std::int32_t target = m_targets[e];
                    if (target != kNotInstalled && component[target] != id) flags |= m_closure[target];
                }
            }
            for (auto it = first; it != open.end(); ++it) m_closure[*it] = flags;
            open.erase(first, open.end());
        }
    }
}

CRequirementGraph::Closure CRequirementGraph::ClosureOf(std::size_t position) const {
    const std::uint8_t flags = m_closure[position];
    return {(flags & kMissing) != 0, (flags & kOutdated) != 0};
}

std::uint32_t CRequirementGraph::NextEpoch() const {
    if (++m_epoch == 0) {
        std::fill(m_visited.begin(), m_visited.end(), 0);
        std::fill(m_listed.begin(), m_listed.end(), 0);
        m_epoch = 1;
    }
    return m_epoch;
}

void CRequirementGraph::CheckRequirements(std::size_t position, std::vector<const ModInfo*>& outdated,
                                          std::vector<CModRequirement>& missing) const {
    // A record whose closure is clean adds nothing to either list, and
    // neither does anything it reaches: the walk skips it.
    if (m_closure[position] == 0) return;
    const std::uint32_t epoch = NextEpoch();
    for (const ModInfo* record : outdated) {
        const std::ptrdiff_t p = m_catalogue.PositionOf(record->guid);
        if (p >= 0 && &m_catalogue.At(static_cast<std::size_t>(p)) == record) m_listed[static_cast<std::size_t>(p)] = epoch;
    }
    std::vector<std::pair<std::size_t, std::size_t>> stack{{position, m_firstEdge[position]}};
    m_visited[position] = epoch;
    while (!stack.empty()) {
        const std::size_t r = stack.back().first;
        const std::size_t e = stack.back().second;
        if (e == m_firstEdge[r + 1]) {
            stack.pop_back();
            continue;
        }
        ++stack.back().second;
        const CModRequirement& req = m_catalogue.At(r).requirements[e - m_firstEdge[r]];
        const std::int32_t target = m_targets[e];
        if (target == kNotInstalled) {
            missing.push_back(req);
            continue;
        }
        const auto t = static_cast<std::size_t>(target);
        const ModInfo& found = m_catalogue.At(t);
        if (found.version < req.version && m_listed[t] != epoch) {
            m_listed[t] = epoch;
            outdated.push_back(&found);
        }
        if (m_closure[t] != 0 && m_visited[t] != epoch) {
            m_visited[t] = epoch;
            stack.emplace_back(t, m_firstEdge[t]);
        }
    }
}

}  // namespace gh
