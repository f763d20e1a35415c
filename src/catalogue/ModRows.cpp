#include "catalogue/ModRows.h"

namespace gh {

namespace {

bool BuiltFor(const ModInfo& mod, const std::optional<GameVersionParts>& game) {
    return game && mod.gameVersion[0] == game->major && mod.gameVersion[1] == game->minor &&
           mod.gameVersion[2] == game->build && mod.gameVersion[3] == game->revision;
}

}  // namespace

CModRows::CModRows(const CModCatalogue& catalogue) : CModRows(catalogue, InstalledGameVersion()) {}

CModRows::CModRows(const CModCatalogue& catalogue, const std::optional<GameVersionParts>& gameVersion)
    : m_catalogue(catalogue), m_graph(catalogue) {
    const std::size_t count = catalogue.Count();
    m_records.reserve(count);
    m_rows.reserve(count);
    for (std::size_t position = 0; position < count; ++position) {
        const ModInfo& mod = catalogue.At(position);
        if (mod.name == L"EDITOR") continue;
        ModData row;
        row.name = mod.name;
        row.author = mod.author;
        row.website = mod.website;
        row.downloadUrl = mod.downloadUrl;
        row.description = mod.description;
        row.gameVersionText =
            FormatVersion(mod.gameVersion[0], mod.gameVersion[1], mod.gameVersion[2], mod.gameVersion[3]);
        row.guid = mod.guid;
        row.version = mod.version;
        row.status = BuiltFor(mod, gameVersion) ? StatusOk : StatusWrongGameVersion;
        // A requirement problem outranks the game version, and a missing
        // requirement outranks an outdated one.
        const CRequirementGraph::Closure closure = m_graph.ClosureOf(position);
        if (closure.missing)
            row.status = StatusMissingRequirement;
        else if (closure.outdated)
            row.status = StatusOutdatedRequirement;
        m_records.push_back(position);
        m_rows.push_back(std::move(row));
    }
}

std::vector<const HiddenModFile*> CModRows::HiddenBy(std::size_t row) const {
    std::vector<const HiddenModFile*> hidden;
    const std::int64_t guid = RecordOf(row).guid;
    for (const HiddenModFile& file : m_catalogue.Hidden())
        if (file.guid == guid) hidden.push_back(&file);
    return hidden;
}

std::span<const RequirementProblem> CModRows::ProblemsOf(std::size_t row) const {
    return m_graph.ProblemsOf(m_records[row]);
}

std::vector<ModData> BuildModRows(const CModCatalogue& catalogue) { return CModRows(catalogue).TakeRows(); }

}  // namespace gh
