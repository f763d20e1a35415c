// The file version of an executable's version resource.
#pragma once

#include <cstdint>
#include <string>

namespace gh::platform {

// The four parts of the fixed file information's file version (not the
// product version), most significant first. Windows: GetFileVersionInfoSizeW,
// GetFileVersionInfoW and VerQueryValueW on "\"; Linux: the PE reader of our
// own. False for a missing file, no version resource or a damaged one.
bool ReadFileVersion(const std::wstring& path, std::uint16_t parts[4]);

}  // namespace gh::platform
