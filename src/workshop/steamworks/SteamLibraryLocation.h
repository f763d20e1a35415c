// Where the game's copy of the Steam client library is.
#pragma once

#include "platform/TargetSystem.h"

#include <optional>
#include <string>
#include <string_view>

namespace gh::steam {

// The 64-bit library's file name on the system this program was built for.
inline constexpr std::wstring_view kSteamLibraryFileName =
    platform::kTargetSystem == platform::TargetSystem::Windows ? L"steam_api64.dll" : L"libsteam_api.so";

// The library beside `gameExecutable` (in the game folder), else the one
// the system's library search path finds; none when there is neither.
std::optional<std::wstring> FindSteamLibrary(const std::wstring& gameExecutable);

}  // namespace gh::steam
