#include "platform/Folders.h"

#include <windows.h>
#include <shlobj.h>

#include <mutex>

namespace gh::platform {

namespace {

std::mutex g_mutex;
std::wstring g_documentsOverride;
std::wstring g_launcherFolderOverride;

}  // namespace

std::wstring LauncherPath() {
    wchar_t buffer[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring self = buffer;
    std::wstring override;
    {
        std::lock_guard lock(g_mutex);
        override = g_launcherFolderOverride;
    }
    if (override.empty()) return self;
    const auto slash = self.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? self : self.substr(slash + 1);
    if (override.back() != L'\\' && override.back() != L'/') override += L'\\';
    return override + name;
}

std::wstring DocumentsFolder() {
    {
        std::lock_guard lock(g_mutex);
        if (!g_documentsOverride.empty()) {
            std::wstring folder = g_documentsOverride;
            while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
            return folder;
        }
    }
    wchar_t buffer[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PERSONAL, TRUE);  // empty on failure
    return buffer;
}

void SetDocumentsFolderOverride(const std::wstring& folder) {
    std::lock_guard lock(g_mutex);
    g_documentsOverride = folder;
}

void SetLauncherFolderOverride(const std::wstring& folder) {
    std::lock_guard lock(g_mutex);
    g_launcherFolderOverride = folder;
}

wchar_t NativeSeparator() { return L'\\'; }

}  // namespace gh::platform
