#include "platform/SystemFolders.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <vector>

namespace gh::platform {

std::wstring LauncherPath() {
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return buffer;
}

std::wstring DocumentsFolder() {
    wchar_t buffer[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PERSONAL, TRUE);  // empty on failure
    return buffer;
}

wchar_t NativeSeparator() { return L'\\'; }

std::wstring AbsolutePath(const std::wstring& path) {
    if (path.empty()) return path;
    const DWORD n = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (n == 0) return path;
    std::vector<wchar_t> full(n);
    const DWORD written = GetFullPathNameW(path.c_str(), n, full.data(), nullptr);
    return written > 0 && written < n ? std::wstring(full.data(), written) : path;
}

}  // namespace gh::platform
