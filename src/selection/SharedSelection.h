// A selection and share codes, both ways: the entries a selection shares,
// and the load of a code's entries into the selection by the rules of a
// selection file, with a report of what the player's mods lack.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "catalogue/ModRecords.h"
#include "platform/Status.h"
#include "selection/SelectionRules.h"
#include "selection/ShareCode.h"

namespace gh {

// The entries of `selection` (row indexes into `mods`), in its order: each
// row's guid, version and name. Indexes that name no row are left out, as
// the selection file leaves them out. Names are not cut here
// (EncodeShareCode does).
std::vector<SharedEntry> SharedEntriesOf(const std::vector<ModData>& mods, const std::vector<std::uint32_t>& selection);

// An entry of a code that the load did not take.
struct SkippedSharedEntry {
    std::size_t position = 0;  // the entry's place in the code, from 0
    SharedEntry entry;         // as the code names it
    LeftOutReason reason = LeftOutReason::NotInstalled;
    std::optional<std::uint32_t> row;  // the installed mod's row, if there is one

    bool operator==(const SkippedSharedEntry&) const = default;
};

// An entry whose mod is installed at a lower version than the code names.
struct OutdatedSharedEntry {
    std::size_t position = 0;
    SharedEntry entry;  // entry.version is the version the code names
    std::uint32_t row = 0;
    std::uint32_t installedVersion = 0;
    bool loaded = false;  // false when it was also skipped (blocked, over the limit)

    bool operator==(const OutdatedSharedEntry&) const = default;
};

struct SharedLoadReport {
    std::size_t entries = 0;                    // entries of the code
    std::size_t loaded = 0;                     // entries now in the selection
    std::vector<SkippedSharedEntry> skipped;    // in the code's order
    std::vector<OutdatedSharedEntry> outdated;  // in the code's order
};

// Loads `entries` as a selection file's entries are loaded: the selection is
// replaced by the usable mods they name, in their order, up to
// kSelectionLimit entries, repeated identities kept; the rows checked before
// are cleared, the loaded ones checked, the play and save-set buttons
// enabled. Mods that are not installed, or blocked, or past the limit are
// skipped and the rest still loads; an installed mod of a lower version than
// the code names still loads and is reported as outdated. The rules'
// LastLoad() tells of the same load as for a file.
SharedLoadReport LoadSharedEntries(CSelectionRules& rules, const std::vector<SharedEntry>& entries);

// Reads `code` and loads its entries. A code that cannot be read changes
// nothing (selection, checks, buttons), and the status says what is wrong
// with it (ShareCodeStatus).
Result<SharedLoadReport> LoadShareCode(CSelectionRules& rules, std::string_view code);
Result<SharedLoadReport> LoadShareCode(CSelectionRules& rules, std::wstring_view code);

}  // namespace gh
