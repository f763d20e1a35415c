// Feeds arbitrary bytes to the PE version reader: it must never read out of
// bounds, loop without end or allocate by a size taken from the input.
#include "platform/PeVersionReader.h"

#include <cstring>

namespace {

class BufferSource final : public gh::platform::ByteSource {
public:
    BufferSource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override {
        if (offset >= m_size) return 0;
        const std::size_t count = size < m_size - offset ? size : static_cast<std::size_t>(m_size - offset);
        std::memcpy(buffer, m_data + offset, count);
        return count;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BufferSource source(data, size);
    std::uint16_t parts[4] = {};
    gh::platform::ReadPeFileVersion(source, parts);
    return 0;
}
