#include "launcher/FolderOptions.h"

#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFolder.h"
#include "platform/SystemFolders.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <vector>

namespace gh {

namespace {

Status CheckFolder(const wchar_t* option, const std::optional<std::wstring>& folder) {
    if (!folder) return {};
    // A folder that opens for reading is one that can be listed; only when
    // it does not are the two failures told apart.
    platform::CInputFolder open;
    if (open.Open(*folder)) return {};
    if (!platform::FileExists(*folder))
        return Status(StatusKind::NotFound, fmt::format(L"the folder \"{}\" ({}) does not exist", *folder, option));
    std::vector<platform::FolderEntry> entries;
    if (!platform::ListFolder(*folder, L"*", entries))
        return Status(StatusKind::WrongType,
                      fmt::format(L"\"{}\" ({}) is not a folder that can be read", *folder, option));
    return {};
}

}  // namespace

Result<CGameFolders> MakeGameFolders(const LauncherOptions& options) {
    for (const auto& [option, folder] :
         {std::pair{L"--documents", &options.documents}, std::pair{L"--game-folder", &options.gameFolder},
          std::pair{L"--workshop", &options.workshop}})
        if (Status checked = CheckFolder(option, *folder); !checked) return checked;

    std::wstring launcher = platform::LauncherPath();
    if (options.gameFolder) {
        const std::size_t slash = launcher.find_last_of(L"\\/");
        const std::wstring name = slash == std::wstring::npos ? launcher : launcher.substr(slash + 1);
        std::wstring folder = platform::AbsolutePath(*options.gameFolder);
        if (folder.back() != L'/' && folder.back() != L'\\') {
            // Joined in the folder's own style: a Windows-style folder keeps '\'.
            const bool backslashes =
                folder.find(L'\\') != std::wstring::npos && folder.find(L'/') == std::wstring::npos;
            folder += backslashes ? L'\\' : platform::NativeSeparator();
        }
        launcher = folder + (name.empty() ? std::wstring(L"gatehouse") : name);
    }
    const std::wstring documents =
        options.documents ? platform::AbsolutePath(*options.documents) : platform::DocumentsFolder();
    return CGameFolders(std::move(launcher), documents);
}

}  // namespace gh
