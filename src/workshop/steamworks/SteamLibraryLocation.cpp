#include "workshop/steamworks/SteamLibraryLocation.h"

#include "app/Folders.h"
#include "platform/Files.h"
#include "platform/Library.h"

namespace gh::steam {

std::optional<std::wstring> FindSteamLibrary() {
    // The game ships its own copy next to its executable: the launcher
    // loads that one, so both talk to Steam through the same version.
    const std::wstring game = GetGameExecutablePath();
    const std::size_t cut = game.find_last_of(L"/\\");
    if (cut != std::wstring::npos) {
        const std::wstring beside = game.substr(0, cut + 1) + std::wstring(kSteamLibraryFileName);
        if (platform::FileExists(beside)) return beside;
    }
    return platform::FindLibraryOnSearchPath(std::wstring(kSteamLibraryFileName));
}

}  // namespace gh::steam
