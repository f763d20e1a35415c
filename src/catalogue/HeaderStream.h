// Forward-only reading of a mod file header's little-endian fields over a
// byte source (an open file or a block of memory), with a buffer so a header
// of a few hundred bytes costs one read.
#pragma once

#include "platform/ByteSource.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace gh {

// Most headers are a few hundred bytes: the first read of a header asks for
// no more than this, later ones for a whole buffer.
inline constexpr std::size_t kHeaderFirstReadSize = 2048;

// Reads fields one after the other. A field is taken only when all its bytes
// are there: a read that meets the end of the bytes leaves its destination
// unchanged, returns false and ends the stream, so every later read fails
// too. Nothing here allocates.
class CHeaderStream {
public:
    explicit CHeaderStream(platform::IByteSource& source) : m_source(source) {}
    CHeaderStream(const CHeaderStream&) = delete;
    CHeaderStream& operator=(const CHeaderStream&) = delete;

    bool ReadU16(std::uint16_t& value);
    bool ReadU32(std::uint32_t& value);
    bool ReadU64(std::uint64_t& value);
    bool ReadI64(std::int64_t& value);

    // Copies up to `count` whole 16-bit units into `units` and returns how
    // many it copied; fewer than `count` only at the end of the bytes (a
    // lone last byte is not a unit).
    std::size_t ReadUnits(char16_t* units, std::size_t count);

    // Passes over `size` bytes without looking at them; false when the bytes
    // end first. Costs no read however large `size` is.
    bool Skip(std::uint64_t size);

    bool AtEnd() const { return m_ended; }
    // Bytes consumed from the source so far (at the end, all there were).
    std::uint64_t Position() const { return m_bufferOffset + m_pos; }

private:
    // Makes at least `size` bytes (at most the buffer's size) available at
    // m_pos, reading more as needed; false when the source has fewer.
    bool Fill(std::size_t size);
    bool Take(void* out, std::size_t size);

    static constexpr std::size_t kBufferSize = 8192;

    platform::IByteSource& m_source;
    std::array<std::uint8_t, kBufferSize> m_buffer;  // only bytes below m_size are read
    std::uint64_t m_bufferOffset = 0;                // source offset of m_buffer[0]
    std::size_t m_pos = 0;                           // next byte in m_buffer
    std::size_t m_size = 0;                          // valid bytes in m_buffer
    bool m_readBefore = false;
    bool m_sourceDone = false;  // the source returned less than asked
    bool m_ended = false;
};

}  // namespace gh
