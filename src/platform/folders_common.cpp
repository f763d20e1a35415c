// The folder overrides, kept once for both systems; any thread may set or
// read them.
#include "platform/FolderOverrides.h"
#include "platform/Folders.h"

#include <mutex>

namespace gh::platform {

namespace {

std::mutex g_mutex;
std::wstring g_documentsOverride;
std::wstring g_launcherFolderOverride;

}  // namespace

void SetDocumentsFolderOverride(const std::wstring& folder) {
    std::lock_guard lock(g_mutex);
    g_documentsOverride = folder;
}

void SetLauncherFolderOverride(const std::wstring& folder) {
    std::lock_guard lock(g_mutex);
    g_launcherFolderOverride = folder;
}

namespace detail {

std::wstring DocumentsFolderOverride() {
    std::lock_guard lock(g_mutex);
    return g_documentsOverride;
}

std::wstring LauncherFolderOverride() {
    std::lock_guard lock(g_mutex);
    return g_launcherFolderOverride;
}

}  // namespace detail

}  // namespace gh::platform
