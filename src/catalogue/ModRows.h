// The mod manager's rows: every listed mod of the catalogue with its texts
// and its status, built in one place for the windows and the command line.
#pragma once

#include "app/GameVersion.h"
#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRecords.h"
#include "catalogue/RequirementGraph.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace gh {

class CModRows {
public:
    // Rows judged against the running game's version (GetGameVersion).
    explicit CModRows(const CModCatalogue& catalogue);
    // Rows judged against `gameVersion`; none means the game's version could
    // not be read, so no mod matches it.
    CModRows(const CModCatalogue& catalogue, const std::optional<GameVersionParts>& gameVersion);

    // One row per record in catalogue order, leaving out records named
    // exactly "EDITOR" (they still satisfy requirements). Each row's status:
    // StatusWrongGameVersion unless the record's gameVersion equals the
    // game's in all four parts; then StatusMissingRequirement if the
    // mod's requirement report names a missing mod, else
    // StatusOutdatedRequirement if it names an outdated one.
    const std::vector<ModData>& Rows() const { return m_rows; }
    // Hands the rows over; Rows() is empty afterwards, RecordOf and
    // ProblemsOf still answer by row index.
    std::vector<ModData> TakeRows() { return std::move(m_rows); }
    std::size_t RowCount() const { return m_records.size(); }

    // The catalogue record row `row` was built from.
    const ModInfo& RecordOf(std::size_t row) const { return m_catalogue.At(m_records[row]); }

    const CModCatalogue& Catalogue() const { return m_catalogue; }

    // The files that row `row`'s record hides: other files with its identity.
    std::vector<const HiddenModFile*> HiddenBy(std::size_t row) const;

    // What keeps row `row` from being selectable (CRequirementGraph::ProblemsOf):
    // empty unless the row is blocked. Valid as long as the rows live.
    std::span<const RequirementProblem> ProblemsOf(std::size_t row) const;

private:
    const CModCatalogue& m_catalogue;
    CRequirementGraph m_graph;
    std::vector<std::size_t> m_records;  // catalogue position per row
    std::vector<ModData> m_rows;
};

// The rows alone, judged against the running game's version.
std::vector<ModData> BuildModRows(const CModCatalogue& catalogue);

}  // namespace gh
