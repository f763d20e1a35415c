// The parts of the file interface that are the same on every system.
#include "platform/Files.h"
#include "platform/SystemError.h"

namespace gh::platform {

Status WriteFileAtomically(const std::wstring& target, const void* bytes, std::size_t size) {
    AtomicFile file;
    if (file.Open(target) && file.Write(bytes, size) && file.Commit()) return {};
    return file.Error();
}

bool AtomicFile::Fail() { return Fail(SystemErrorStatus(LastSystemError())); }

bool AtomicFile::Fail(Status status) {
    m_error = std::move(status);
    return false;
}

std::optional<std::string> ReadWholeFile(const std::wstring& path, std::size_t limit) {
    InputFile file;
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
