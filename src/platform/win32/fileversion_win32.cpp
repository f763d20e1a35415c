#include "platform/FileVersion.h"

// Placeholder until the Win32 reader lands: the helper writing the version
// reader replaces this file.
namespace gh::platform {
bool ReadFileVersion(const std::wstring&, std::uint16_t[4]) { return false; }
}  // namespace gh::platform
