// Any bytes as a mod file header: the reader must not crash, hang or
// allocate beyond what the bytes hold, and the record must respect its limits.
#include "catalogue/HeaderStream.h"
#include "catalogue/ModHeaderReader.h"
#include "platform/Unicode.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gh::ModInfo info;
    gh::platform::CMemoryByteSource source({data, size});
    gh::ReadModHeaderFrom(info, source);
    // The texts are valid UTF-8 (reading them as text changes nothing), of at
    // most three bytes per UTF-16 unit they came from.
    const auto check = [](const std::string& text, std::size_t limit) {
        if (text.size() > 3 * limit || gh::WideToUtf8(gh::Utf8ToWide(text)) != text) __builtin_trap();
    };
    check(info.name, gh::kNameLimit);
    check(info.author, gh::kAuthorLimit);
    check(info.description, gh::kDescriptionLimit);
    check(info.website, gh::kWebsiteLimit);
    check(info.downloadUrl, gh::kDownloadUrlLimit);
    // Entries kept are bounded by the bytes that hold them (a requirement
    // takes at least 10, a text at least 2), not by the counts: of those
    // past the end one is kept and the rest counted.
    if (info.requirements.size() > size / 10 + 2 || info.headerStrings.size() > size / 2 + 2) __builtin_trap();
    for (const auto& req : info.requirements) check(req.name, gh::kHeaderTextMaxUnits);
    for (const auto& text : info.headerStrings) check(text, gh::kHeaderTextMaxUnits);
    return 0;
}
