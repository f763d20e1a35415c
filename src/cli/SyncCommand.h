// `sync [--timeout SECONDS]`: the start window's Workshop sync in the terminal.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "game/GameFolders.h"

#include <cstdint>

namespace gh {

class IWorkshopClient;

// Exit statuses of sync.
inline constexpr int kSyncDone = 0;      // every subscription is up to date, or there are none
inline constexpr int kSyncFailed = 1;    // the client did not start, or a request or an install failed
inline constexpr int kSyncTimedOut = 2;  // requests still unanswered when the time ran out

// Starts `client` (null: the Steam client could not be loaded) and runs the
// sync, pumping the client and the paced progress refresh until no call is
// waiting for an answer or `timeoutMs` has passed. Prints every status
// text; returns one of the exit statuses above. Shuts a started client down.
int RunSync(IWorkshopClient* client, const CGameFolders& folders, std::int64_t timeoutMs, IConsole& console);

// The same with the client the options choose.
int RunSyncCommand(const LauncherOptions& options, const CGameFolders& folders, std::int64_t timeoutMs,
                   IConsole& console);

}  // namespace gh
