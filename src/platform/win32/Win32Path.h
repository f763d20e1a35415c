// Small helpers shared by the Windows file sources.
#pragma once

#include "platform/FileSystem.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace gh::platform::win32 {

inline HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

inline std::wstring WithBackslashes(std::wstring path) {
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

// A file's identity as GetFolderIdentity gives it: its volume and its index.
inline FolderIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

inline std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

}  // namespace gh::platform::win32
