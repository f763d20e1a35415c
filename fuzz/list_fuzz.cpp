// Any bytes as a mods folder, read, judged and listed as `list` and `list
// --json` do: the bytes are cut into mod headers (each preceded by its
// 16-bit length), so the fuzzer shapes requirement chains, cycles, cut
// headers and duplicate identities across files. Nothing may crash, the
// output must stay bounded by the input (a row names each missing or
// outdated mod once), the JSON must be valid, and neither listing may hold
// a raw control, bidirectional control or separator from the headers'
// texts: those are escaped.
#include "catalogue/ModCatalogue.h"
#include "catalogue/ModHeaderReader.h"
#include "catalogue/ModRows.h"
#include "cli/ListCommand.h"
#include "cli/ModListJson.h"
#include "launcher/OutsideText.h"
#include "platform/ByteSource.h"
#include "platform/Unicode.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<gh::ModInfo> records;
    std::size_t at = 0;
    while (at + 2 <= size && records.size() < 64) {
        const std::size_t length = std::min<std::size_t>(data[at] | (data[at + 1] << 8), size - at - 2);
        gh::ModInfo& info = records.emplace_back();
        gh::platform::CMemoryByteSource source({data + at + 2, length});
        gh::ReadModHeaderFrom(info, source);
        info.filePath = L"MODS/" + std::to_wstring(records.size()) + L".MOD";
        at += 2 + length;
    }
    const gh::CModCatalogue catalogue(std::move(records));
    const std::optional<gh::GameVersionParts> game = gh::GameVersionParts{1, 25, 5, 2};
    const gh::CModRows rows(catalogue, game);

    // Each row names at most every distinct requirement of the catalogue.
    std::size_t requirements = 0;
    for (std::size_t i = 0; i < catalogue.Count(); ++i) requirements += catalogue.At(i).requirements.size();
    for (std::size_t row = 0; row < rows.RowCount(); ++row)
        if (rows.ProblemsOf(row).size() > requirements) __builtin_trap();

    const std::string json = gh::ModListJson(rows, game);
    const std::wstring text = gh::ModListText(rows, game);
    if (json.empty() || text.empty()) __builtin_trap();
    if (!nlohmann::json::accept(json)) __builtin_trap();
    // The JSON's own line ends and the listing's are the only raw ones.
    for (const std::wstring& shown : {gh::Utf8ToWide(json), text})
        for (const wchar_t c : shown)
            if (c != L'\n' && gh::IsShownEscaped(static_cast<char32_t>(c))) __builtin_trap();
    return 0;
}
