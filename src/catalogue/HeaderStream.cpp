#include "catalogue/HeaderStream.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace gh {

bool CHeaderStream::Fill(std::size_t size) {
    if (m_size - m_pos >= size) return true;
    if (m_sourceDone) return false;
    // Keep the unread tail and read behind it, a whole buffer at a time.
    const std::size_t kept = m_size - m_pos;
    std::memmove(m_buffer.data(), m_buffer.data() + m_pos, kept);
    m_bufferOffset += m_pos;
    m_pos = 0;
    m_size = kept;
    const std::size_t want = m_readBefore ? kBufferSize - kept : kHeaderFirstReadSize;
    m_readBefore = true;
    const std::size_t got = m_source.ReadAt(m_bufferOffset + kept, m_buffer.data() + kept, want);
    m_size += std::min(got, want);
    if (got < want) m_sourceDone = true;
    return m_size >= size;
}

bool CHeaderStream::Take(void* out, std::size_t size) {
    if (m_ended) return false;
    if (!Fill(size)) {
        // The partial field is consumed like the rest; nothing more can follow.
        m_ended = true;
        m_pos = m_size;
        return false;
    }
    std::memcpy(out, m_buffer.data() + m_pos, size);
    m_pos += size;
    return true;
}

bool CHeaderStream::ReadU16(std::uint16_t& value) {
    std::uint8_t b[2];
    if (!Take(b, sizeof b)) return false;
    value = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
}

bool CHeaderStream::ReadU32(std::uint32_t& value) {
    std::uint8_t b[4];
    if (!Take(b, sizeof b)) return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | b[i];
    return true;
}

bool CHeaderStream::ReadU64(std::uint64_t& value) {
    std::uint8_t b[8];
    if (!Take(b, sizeof b)) return false;
    value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | b[i];
    return true;
}

bool CHeaderStream::ReadI64(std::int64_t& value) {
    std::uint64_t bits = 0;
    if (!ReadU64(bits)) return false;
    value = static_cast<std::int64_t>(bits);
    return true;
}

std::size_t CHeaderStream::ReadUnits(char16_t* units, std::size_t count) {
    std::size_t copied = 0;
    while (copied < count && !m_ended) {
        if (m_size - m_pos < 2 && !Fill(2)) {
            m_ended = true;
            m_pos = m_size;
            break;
        }
        const std::size_t n = std::min((m_size - m_pos) / 2, count - copied);
        const std::uint8_t* b = m_buffer.data() + m_pos;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(units + copied, b, 2 * n);  // the units are stored as this machine holds them
        } else {
            for (std::size_t i = 0; i < n; ++i)
                units[copied + i] = static_cast<char16_t>(b[2 * i] | (b[2 * i + 1] << 8));
        }
        copied += n;
        m_pos += 2 * n;
    }
    return copied;
}

bool CHeaderStream::Skip(std::uint64_t size) {
    if (m_ended) return false;
    if (size <= m_size - m_pos) {
        m_pos += static_cast<std::size_t>(size);
        return true;
    }
    const std::uint64_t target = m_bufferOffset + m_pos + size;
    m_bufferOffset = target;
    m_pos = 0;
    m_size = 0;
    // Past what the source already said it holds: nothing can follow.
    if (m_sourceDone) {
        m_ended = true;
        return false;
    }
    // Whether the skipped bytes all exist shows in the last one of them.
    std::uint8_t last = 0;
    if (m_source.ReadAt(target - 1, &last, 1) != 1) {
        m_ended = true;
        return false;
    }
    return true;
}

}  // namespace gh
