#include "catalogue/ModRows.h"

#include "platform/Unicode.h"

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
    m_rows.reserve(count);
    for (std::size_t position = 0; position < count; ++position) {
        const ModInfo& mod = catalogue.At(position);
        if (!IsListed(mod)) continue;
        std::int32_t status = BuiltFor(mod, gameVersion) ? StatusOk : StatusWrongGameVersion;
        // A requirement problem outranks the game version, and a missing
        // requirement outranks an outdated one.
        const CRequirementGraph::Closure closure = m_graph.ClosureOf(position);
        if (closure.missing)
            status = StatusMissingRequirement;
        else if (closure.outdated)
            status = StatusOutdatedRequirement;
        m_rows.push_back({static_cast<std::uint32_t>(position), status});
    }
}

ModData CModRows::DisplayRecord(std::size_t row) const {
    const ModInfo& mod = RecordOf(row);
    ModData data;
    data.name = Utf8ToWide(mod.name);
    data.author = Utf8ToWide(mod.author);
    data.website = Utf8ToWide(mod.website);
    data.downloadUrl = Utf8ToWide(mod.downloadUrl);
    data.description = Utf8ToWide(mod.description);
    data.gameVersionText =
        FormatVersion(mod.gameVersion[0], mod.gameVersion[1], mod.gameVersion[2], mod.gameVersion[3]);
    data.guid = mod.guid;
    data.version = mod.version;
    data.status = m_rows[row].status;
    return data;
}

std::vector<const HiddenModFile*> CModRows::HiddenBy(std::size_t row) const {
    std::vector<const HiddenModFile*> hidden;
    const std::int64_t guid = RecordOf(row).guid;
    for (const HiddenModFile& file : m_catalogue.Hidden())
        if (file.guid == guid) hidden.push_back(&file);
    return hidden;
}

std::vector<ModData> CModRows::DisplayRecords() const {
    std::vector<ModData> records;
    records.reserve(m_rows.size());
    for (std::size_t row = 0; row < m_rows.size(); ++row) records.push_back(DisplayRecord(row));
    return records;
}

std::span<const RequirementProblem> CModRows::ProblemsOf(std::size_t row) const {
    return m_graph.ProblemsOf(m_rows[row].position);
}

std::vector<ModData> BuildModRows(const CModCatalogue& catalogue) { return CModRows(catalogue).DisplayRecords(); }

}  // namespace gh
