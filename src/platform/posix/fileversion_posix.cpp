#include "platform/ByteSource.h"
#include "platform/FileVersion.h"
#include "platform/InputFile.h"
#include "platform/PeVersionReader.h"

namespace gh::platform {

bool ReadFileVersion(const std::wstring& path, std::uint16_t parts[4]) {
    CInputFile file;
    if (!file.Open(path)) return false;
    CFileByteSource source(file);
    return ReadPeFileVersion(source, parts);
}

}  // namespace gh::platform
