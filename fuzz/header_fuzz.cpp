// Any bytes as a mod file header: the reader must not crash, hang or
// allocate without bound, and the record must respect its limits.
#include "catalogue/HeaderStream.h"
#include "catalogue/ModHeaderReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gh::ModInfo info;
    gh::CMemoryByteSource source({data, size});
    gh::ReadModHeaderFrom(info, source);
    // Wide text never has more characters than the UTF-16 units it came from.
    if (info.name.size() > gh::kNameLimit || info.author.size() > gh::kAuthorLimit ||
        info.description.size() > gh::kDescriptionLimit || info.website.size() > gh::kWebsiteLimit ||
        info.downloadUrl.size() > gh::kDownloadUrlLimit)
        __builtin_trap();
    if (info.requirements.size() > 0xFFFF || info.headerStrings.size() > 0xFFFF) __builtin_trap();
    for (const auto& req : info.requirements)
        if (req.name.size() > gh::kHeaderTextMaxUnits) __builtin_trap();
    for (const auto& text : info.headerStrings)
        if (text.size() > gh::kHeaderTextMaxUnits) __builtin_trap();
    return 0;
}
