#include "catalogue/RequirementCheck.h"

#include <unordered_set>

namespace gh {

void CheckRequirements(const CModCatalogue& catalogue, const ModInfo& mod, std::vector<const ModInfo*>& outdated,
                       std::vector<CModRequirement>& missing) {
    struct Frame {
        const ModInfo* mod;
        std::size_t next;  // index of the next requirement to look at
    };
    // An explicit stack: a chain of many thousand mods must not exhaust the
    // call stack.
    std::vector<Frame> stack{{&mod, 0}};
    std::unordered_set<const ModInfo*> visited{&mod};
    std::unordered_set<const ModInfo*> listed(outdated.begin(), outdated.end());
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.mod->requirements.size()) {
            stack.pop_back();
            continue;
        }
        const CModRequirement& req = frame.mod->requirements[frame.next++];
        const ModInfo* found = catalogue.FindByGuid(req.guid);
        if (!found) {
            missing.push_back(req);
            continue;
        }
        if (found->version < req.version && listed.insert(found).second) outdated.push_back(found);
        if (visited.insert(found).second) stack.push_back({found, 0});  // `frame` is not used after this
    }
}

void CheckRequirements(const ModInfo* mod, std::vector<const ModInfo*>& outdated, std::vector<CModRequirement>& missing) {
    if (!mod) return;
    if (const CModCatalogue* catalogue = CModCatalogue::Current()) {
        CheckRequirements(*catalogue, *mod, outdated, missing);
        return;
    }
    missing.insert(missing.end(), mod->requirements.begin(), mod->requirements.end());
}

}  // namespace gh
