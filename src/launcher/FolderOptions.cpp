#include "launcher/FolderOptions.h"

#include "platform/Files.h"
#include "platform/Folders.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <vector>

namespace gh {

namespace {

std::optional<std::wstring> CheckFolder(const wchar_t* option, const std::optional<std::wstring>& folder) {
    if (!folder) return std::nullopt;
    // A folder that opens for reading is one that can be listed; only when
    // it does not are the two failures told apart.
    platform::CInputFolder open;
    if (open.Open(*folder)) return std::nullopt;
    if (!platform::FileExists(*folder)) return fmt::format(L"the folder \"{}\" ({}) does not exist", *folder, option);
    std::vector<platform::FolderEntry> entries;
    if (!platform::ListFolder(*folder, L"*", entries))
        return fmt::format(L"\"{}\" ({}) is not a folder that can be read", *folder, option);
    return std::nullopt;
}

}  // namespace

std::optional<std::wstring> ApplyFolderOptions(const LauncherOptions& options) {
    if (auto error = CheckFolder(L"--documents", options.documents)) return error;
    if (auto error = CheckFolder(L"--game-folder", options.gameFolder)) return error;
    if (auto error = CheckFolder(L"--workshop", options.workshop)) return error;
    if (options.documents) platform::SetDocumentsFolderOverride(*options.documents);
    if (options.gameFolder) platform::SetLauncherFolderOverride(*options.gameFolder);
    return std::nullopt;
}

}  // namespace gh
