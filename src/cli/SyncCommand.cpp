#include "cli/SyncCommand.h"

#include "cli/TerminalSyncView.h"
#include "cli/TerminalText.h"
#include "launcher/RecordedModReader.h"
#include "launcher/WorkshopChanges.h"
#include "launcher/WorkshopChoice.h"
#include "platform/Clock.h"
#include "workshop/WorkshopClient.h"
#include "workshop/WorkshopRecordFile.h"
#include "workshop/WorkshopSync.h"

#include <fmt/format.h>
#include <fmt/xchar.h>

#include <optional>

namespace gh {

namespace {

// How long the loop sleeps between turns: short against the 0.2-second
// pacing of the progress refresh, long enough to leave the processor alone.
constexpr int kTurnMs = 10;

}  // namespace

int RunSync(IWorkshopClient* client, const CGameFolders& folders, std::int64_t timeoutMs, IConsole& console) {
    CTerminalSyncView view(console, console.OutputIsTerminal());
    if (!client) {
        view.SetStatusText(std::wstring(kTextSteamClientFailed));
        return kSyncFailed;
    }
    if (const Status started = client->Init(); !started) {
        view.SetStatusText(started.Text());
        return kSyncFailed;
    }

    bool timedOut = false;
    SyncOutcome outcome = SyncOutcome::Failed;
    std::optional<WorkshopRecord> record;
    {
        CWorkshopSync sync(*client, view, folders);
        sync.SetModIdentityReader(RecordedModReader());
        if (sync.StartSync()) {
            const std::int64_t deadline = platform::MonotonicMilliseconds() + timeoutMs;
            while (sync.HasPendingRequests()) {
                if (platform::MonotonicMilliseconds() >= deadline) {
                    timedOut = true;
                    break;
                }
                sync.Pump(platform::SystemTimeAsFileTime());
                if (sync.HasPendingRequests()) platform::SleepMilliseconds(kTurnMs);
            }
        }
        view.Finish();
        outcome = sync.Outcome();
        if (sync.IsFinished()) record = sync.Record();
    }
    // After the sync's own lines, what changed since the game was last
    // started: the record as the sync left it, read again only when the sync
    // did not end (it writes what it did when it is destroyed).
    if (!record) record = CWorkshopRecordFile(folders.GetUserGameFolder()).Peek();
    if (!record->changes.empty() || !record->subscriptions.empty())
        console.Out(L"\n" + TerminalSafeLines(ChangesText(*record)));
    client->Shutdown();
    if (timedOut) {
        console.Err(fmt::format(L"gatehouse: the Workshop sync did not finish within {} seconds\n",
                                static_cast<double>(timeoutMs) / 1000.0));
        return kSyncTimedOut;
    }
    return outcome == SyncOutcome::UpToDate ? kSyncDone : kSyncFailed;
}

int RunSyncCommand(const LauncherOptions& options, const CGameFolders& folders, std::int64_t timeoutMs,
                   IConsole& console) {
    const std::unique_ptr<IWorkshopClient> client = CreateWorkshopClient(options, folders);
    return RunSync(client.get(), folders, timeoutMs, console);
}

}  // namespace gh
