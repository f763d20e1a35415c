#include "platform/FolderOverrides.h"
#include "platform/Folders.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

namespace gh::platform {

std::wstring LauncherPath() {
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring self = buffer;
    std::wstring override = detail::LauncherFolderOverride();
    if (override.empty()) return self;
    const auto slash = self.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? self : self.substr(slash + 1);
    if (override.back() != L'\\' && override.back() != L'/') override += L'\\';
    return override + name;
}

std::wstring DocumentsFolder() {
    if (std::wstring folder = detail::DocumentsFolderOverride(); !folder.empty()) {
        while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
        return folder;
    }
    wchar_t buffer[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PERSONAL, TRUE);  // empty on failure
    return buffer;
}

wchar_t NativeSeparator() { return L'\\'; }

}  // namespace gh::platform
