// Any bytes as a mod file header: the reader must not crash, hang or
// allocate beyond what the bytes hold, and the record must respect its limits.
#include "catalogue/HeaderStream.h"
#include "catalogue/ModHeaderReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gh::ModInfo info;
    gh::platform::CMemoryByteSource source({data, size});
    gh::ReadModHeaderFrom(info, source);
    // Wide text never has more characters than the UTF-16 units it came from.
    if (info.name.size() > gh::kNameLimit || info.author.size() > gh::kAuthorLimit ||
        info.description.size() > gh::kDescriptionLimit || info.website.size() > gh::kWebsiteLimit ||
        info.downloadUrl.size() > gh::kDownloadUrlLimit)
        __builtin_trap();
    // Entries kept are bounded by the bytes that hold them (a requirement
    // takes at least 10, a text at least 2), not by the counts: of those
    // past the end one is kept and the rest counted.
    if (info.requirements.size() > size / 10 + 2 || info.headerStrings.size() > size / 2 + 2) __builtin_trap();
    for (const auto& req : info.requirements)
        if (req.name.size() > gh::kHeaderTextMaxUnits) __builtin_trap();
    for (const auto& text : info.headerStrings)
        if (text.size() > gh::kHeaderTextMaxUnits) __builtin_trap();
    return 0;
}
