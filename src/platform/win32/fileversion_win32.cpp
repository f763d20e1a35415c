#include "platform/FileVersion.h"
#include "platform/InputFile.h"

#include <windows.h>

#include <vector>

namespace gh::platform {

bool ReadFileVersion(const std::wstring& path, std::uint16_t parts[4]) {
    // The version functions load the file as a module, and the loader wants
    // backslashes; the program's canonical paths use forward slashes.
    std::wstring native = path;
    for (wchar_t& c : native)
        if (c == L'/') c = L'\\';

    // The version functions would read from a pipe or a device as well.
    if (CInputFile file; !file.Open(native)) return false;

    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(native.c_str(), &handle);
    if (size == 0) return false;
    std::vector<unsigned char> buffer(size);
    if (!GetFileVersionInfoW(native.c_str(), handle, size, buffer.data())) return false;

    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(buffer.data(), L"\\", &value, &length) || value == nullptr || length == 0) return false;
    // A root value shorter than the fixed information would be read past its end.
    if (length < sizeof(VS_FIXEDFILEINFO)) return false;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
    if (info->dwSignature != VS_FFI_SIGNATURE) return false;

    parts[0] = HIWORD(info->dwFileVersionMS);
    parts[1] = LOWORD(info->dwFileVersionMS);
    parts[2] = HIWORD(info->dwFileVersionLS);
    parts[3] = LOWORD(info->dwFileVersionLS);
    return true;
}

}  // namespace gh::platform
