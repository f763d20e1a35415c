#include "workshop/steamworks/SteamLibraryLocation.h"

#include "platform/FileSystem.h"
#include "platform/Library.h"

namespace gh::steam {

std::optional<std::wstring> FindSteamLibrary(const std::wstring& gameExecutable) {
    // The game ships its own copy next to its executable: the launcher
    // loads that one, so both talk to Steam through the same version.
    const std::size_t cut = gameExecutable.find_last_of(L"/\\");
    if (cut != std::wstring::npos) {
        const std::wstring beside = gameExecutable.substr(0, cut + 1) + std::wstring(kSteamLibraryFileName);
        if (platform::FileExists(beside)) return beside;
    }
    return platform::FindLibraryOnSearchPath(std::wstring(kSteamLibraryFileName));
}

}  // namespace gh::steam
