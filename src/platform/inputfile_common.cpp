// The parts of reading files that are the same on every system.
#include "platform/InputFile.h"

namespace gh::platform {

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t limit) {
    CInputFile file;
    if (!file.Open(path)) return std::nullopt;
    std::string content;
    char chunk[65536];
    for (;;) {
        const std::size_t n = file.Read(chunk, sizeof chunk);
        if (n == 0) break;
        if (content.size() + n > limit) return std::nullopt;
        content.append(chunk, n);
    }
    return content;
}

}  // namespace gh::platform
