// Small helpers shared by the Windows file sources.
#pragma once

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

inline std::wstring FolderOf(const std::wstring& path) {
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

}  // namespace gh::platform::win32
