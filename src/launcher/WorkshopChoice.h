// Which Workshop client the launcher talks to: the local Workshop named by
// --workshop, otherwise the Steam client.
#pragma once

#include "game/GameFolders.h"
#include "launcher/LauncherOptions.h"
#include "workshop/WorkshopClient.h"

#include <memory>
#include <string_view>

namespace gh {

// What the start window shows when the Steam client library cannot be started.
inline constexpr std::wstring_view kTextSteamClientFailed =
    L"The Steam client failed to start. Workshop subscriptions were not checked.";

// The client for these options, not started yet (Init is the caller's).
// Null when the Steam client is wanted and this build has no Steam client
// library to load: the caller then goes the way of a failed start.
std::unique_ptr<IWorkshopClient> CreateWorkshopClient(const LauncherOptions& options, const CGameFolders& folders);

}  // namespace gh
