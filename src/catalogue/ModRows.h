// The mod manager's rows: every listed mod of the catalogue with its status,
// built in one place for the windows and the command line.
#pragma once

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRecords.h"
#include "catalogue/RequirementGraph.h"
#include "game/GameVersion.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace gh {

// Whether the manager and `list` show a record: all but those named exactly
// "EDITOR", which still satisfy other mods' requirements.
bool IsListed(const ModInfo& mod);

class CModRows {
public:
    // Rows judged against `gameVersion` (CGameFolders::GameVersion); none
    // means the game's version could not be read, so no mod matches it.
    CModRows(const CModCatalogue& catalogue, const std::optional<GameVersionParts>& gameVersion);

    // One row per record in catalogue order, leaving out records named
    // exactly "EDITOR" (they still satisfy requirements). A row holds only
    // its record's position and its status; its texts stay in the record
    // and are copied only when a display record is asked for, so that
    // 10,000 rows cost no more memory than a few bytes each.
    std::size_t RowCount() const { return m_rows.size(); }

    // Row `row`'s status: StatusWrongGameVersion unless the record's
    // gameVersion equals the game's in all four parts; then
    // StatusMissingRequirement if the mod's requirement report names a
    // missing mod, else StatusOutdatedRequirement if it names an outdated one.
    std::int32_t StatusOf(std::size_t row) const { return m_rows[row].status; }

    // The catalogue record row `row` was built from.
    const ModInfo& RecordOf(std::size_t row) const { return m_catalogue.At(m_rows[row].position); }

    // Row `row`'s display record: copies of its record's texts, its
    // "%d.%d.%d.%d" game version and its status.
    ModData DisplayRecord(std::size_t row) const;
    // Every row's display record, in row order (each call copies them all).
    std::vector<ModData> DisplayRecords() const;

    const CModCatalogue& Catalogue() const { return m_catalogue; }
    // The requirements of every record of the catalogue, resolved.
    const CRequirementGraph& Graph() const { return m_graph; }

    // The files that row `row`'s record hides: other files with its identity.
    std::vector<const HiddenModFile*> HiddenBy(std::size_t row) const;

    // What keeps row `row` from being selectable (CRequirementGraph::ProblemsOf):
    // empty unless the row is blocked. Valid as long as the rows live.
    std::span<const RequirementProblem> ProblemsOf(std::size_t row) const;

private:
    struct Row {
        std::uint32_t position = 0;  // in the catalogue
        std::int32_t status = StatusOk;
    };

    const CModCatalogue& m_catalogue;
    CRequirementGraph m_graph;
    std::vector<Row> m_rows;
};

}  // namespace gh
