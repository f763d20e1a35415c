// Random access to bytes for the binary readers (the mod header reader, the
// PE version reader): a file, or a block of memory in tests and fuzzing.
#pragma once

#include "platform/InputFile.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace gh::platform {

class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Copies up to `size` bytes from `offset` and returns how many it copied:
    // fewer than asked only at the end of the bytes (or on a read error), 0
    // past it.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// Bytes held by the caller; they must outlive the source.
class CMemoryByteSource final : public IByteSource {
public:
    explicit CMemoryByteSource(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

private:
    std::span<const std::uint8_t> m_bytes;
};

// An open file. `start` may hold the file's first bytes when they were read
// already (as many as were asked for, unless the file is shorter, which
// `fileEndsInStart` says); they are served without a read. The caller keeps
// the file and those bytes alive.
class CFileByteSource final : public IByteSource {
public:
    explicit CFileByteSource(CInputFile& file, std::span<const std::uint8_t> start = {}, bool fileEndsInStart = false)
        : m_file(file), m_start(start), m_fileEndsInStart(fileEndsInStart) {}
    std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override;

private:
    CInputFile& m_file;
    std::span<const std::uint8_t> m_start;
    bool m_fileEndsInStart;
};

}  // namespace gh::platform
