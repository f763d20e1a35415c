#include "platform/ByteSource.h"

#include <algorithm>
#include <cstring>

namespace gh::platform {

std::size_t CMemoryByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (offset >= m_bytes.size()) return 0;
    const std::size_t n = std::min<std::uint64_t>(size, m_bytes.size() - offset);
    std::memcpy(buffer, m_bytes.data() + offset, n);
    return n;
}

std::size_t CFileByteSource::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    std::size_t copied = 0;
    if (offset < m_start.size()) {
        copied = std::min<std::uint64_t>(size, m_start.size() - offset);
        std::memcpy(buffer, m_start.data() + offset, copied);
        if (copied == size || m_fileEndsInStart) return copied;
    }
    return copied + m_file.ReadAt(offset + copied, static_cast<std::uint8_t*>(buffer) + copied, size - copied);
}

}  // namespace gh::platform
