#include "platform/PeVersionReader.h"

namespace gh::platform {

// Placeholder until the reader lands; no version is found.
bool ReadPeFileVersion(ByteSource&, std::uint16_t[4]) { return false; }

}  // namespace gh::platform
