// A reader of the version resource of a Windows executable (PE32 and PE32+),
// for systems that have no file-version functions of their own. Every offset
// and size is checked against the source: a damaged or hostile file yields
// false, never a crash, a hang or an unbounded allocation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gh::platform {

// Random access to the bytes of a file (or a buffer, in tests and fuzzing).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes at `offset`; returns how many were read.
    virtual std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) = 0;
};

// Finds the version resource (type 16), its VS_VERSIONINFO block and the
// fixed file information (signature 0xFEEF04BD) and returns the file version
// in `parts` (major, minor, build, revision). `parts` is written only on success.
bool ReadPeFileVersion(ByteSource& source, std::uint16_t parts[4]);

}  // namespace gh::platform
