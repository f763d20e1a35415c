// A reader of the version resource of a Windows executable (PE32 and PE32+),
// for systems that have no file-version functions of their own. Every offset
// and size is checked against the source: a damaged or hostile file yields
// false, never a crash, a hang or an unbounded allocation.
#pragma once

#include "platform/ByteSource.h"

#include <cstdint>

namespace gh::platform {

// Finds the version resource (type 16), its VS_VERSIONINFO block and the
// fixed file information (signature 0xFEEF04BD) and returns the file version
// in `parts` (major, minor, build, revision). `parts` is written only on success.
bool ReadPeFileVersion(IByteSource& source, std::uint16_t parts[4]);

}  // namespace gh::platform
