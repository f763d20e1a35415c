// Any bytes as a mod file, inspected as `inspect` inspects it: the verdict
// follows the header's format and identity alone, a file that is no mod file
// gets reasons and no warnings, and whatever the bytes, the report is one
// valid JSON document with the same verdict and text without raw controls.
#include "cli/HeaderReport.h"
#include "launcher/OutsideText.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gh::platform::CMemoryByteSource source({data, size});
    const gh::ModInspection inspection = gh::InspectModHeader(source, size, gh::GameVersionParts{1, 25, 5, 2});
    const gh::HeaderNotes& notes = inspection.notes;
    const bool known = notes.formatVersion >= 1 && notes.formatVersion <= 4;
    if (inspection.readable != (known && notes.hasIdentity)) __builtin_trap();
    if (inspection.readable != inspection.problems.empty()) __builtin_trap();
    if (!inspection.readable && !inspection.warnings.empty()) __builtin_trap();
    // The shortest header that reaches its identity: two counts, two
    // 32-bit values and five empty texts before the 8 bytes of the guid.
    if (notes.hasIdentity && size < 4 + 8 + 5 * 2 + 8) __builtin_trap();

    const auto json = nlohmann::json::parse(gh::InspectionJson(L"x.mod", inspection), nullptr, false);
    if (json.is_discarded() || json["readable"] != inspection.readable ||
        json["problems"].size() != inspection.problems.size() || json.contains("guid") != inspection.readable)
        __builtin_trap();
    const std::wstring text = gh::InspectionText(L"x.mod", inspection);
    if (text.empty() == inspection.readable) __builtin_trap();
    for (const wchar_t c : text)
        if (c != L'\n' && gh::IsShownEscaped(static_cast<char32_t>(c))) __builtin_trap();
    return 0;
}
