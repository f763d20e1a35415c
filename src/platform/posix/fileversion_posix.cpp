#include "platform/FileVersion.h"
#include "platform/Files.h"
#include "platform/PeVersionReader.h"

namespace gh::platform {

namespace {

class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::wstring& path) { m_ok = m_file.Open(path); }
    bool ok() const { return m_ok; }
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        return m_file.ReadAt(offset, buffer, size);
    }

private:
    InputFile m_file;
    bool m_ok = false;
};

}  // namespace

bool ReadFileVersion(const std::wstring& path, std::uint16_t parts[4]) {
    FileSource source(path);
    if (!source.ok()) return false;
    return ReadPeFileVersion(source, parts);
}

}  // namespace gh::platform
