// Feeds arbitrary text to the share code reader. It may not read out of
// bounds or crash; a text it refuses has a fault and a message, and a text
// it reads is, white space aside, exactly the code its entries encode to, so
// no two codes read the same. Loading what it read keeps the selection's
// rules: only usable rows, at most 10 entries, every entry accounted for.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/ModRecords.h"
#include "selection/HeadlessSelectionView.h"
#include "selection/SelectionTexts.h"
#include "selection/ShareCode.h"
#include "selection/SharedSelection.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

std::vector<gh::ModData> Rows() {
    std::vector<gh::ModData> rows;
    for (const std::int64_t guid : {0, 1, 2, 7, 42}) {
        gh::ModData mod;
        mod.guid = guid;
        mod.version = static_cast<std::uint32_t>(guid);
        rows.push_back(mod);
    }
    rows[3].status = gh::StatusMissingRequirement;
    return rows;
}

std::string WithoutWhiteSpace(std::string_view text) {
    std::string out;
    for (const char c : text)
        if (std::string_view(" \t\r\n\v\f").find(c) == std::string_view::npos) out.push_back(c);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const gh::ShareCodeReading reading = gh::ReadShareCode(text);
    if (reading.fault != gh::ShareCodeFault::None) {
        Require(reading.entries.empty());
        Require(!gh::ShareCodeStatus(reading).Text().empty());
        return 0;
    }

    Require(reading.entries.size() <= gh::kShareCodeMaxEntries);
    const gh::Result<std::string> code = gh::EncodeShareCode(reading.entries);
    Require(code.IsOk());
    Require(*code == WithoutWhiteSpace(text));
    const gh::Result<std::vector<gh::SharedEntry>> again = gh::DecodeShareCode(*code);
    Require(again.IsOk() && *again == reading.entries);

    gh::CHeadlessSelection selection(Rows());
    const gh::SharedLoadReport report = gh::LoadSharedEntries(selection.Rules(), reading.entries);
    const std::vector<std::uint32_t>& rows = selection.Rules().Selection();
    Require(rows.size() <= gh::kSelectionLimit && rows.size() == report.loaded);
    Require(report.loaded + report.skipped.size() == reading.entries.size());
    for (const std::uint32_t row : rows) Require(!gh::IsBlocked(selection.Rules().Mods()[row].status));
    return 0;
}
