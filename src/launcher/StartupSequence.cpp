#include "launcher/StartupSequence.h"

#include "game/GameFolders.h"
#include "launcher/WorkshopChanges.h"
#include "platform/Process.h"

namespace gh {

namespace {

void StartGameOrReport(IStartupHost& host, const std::wstring* parameters) {
    if (!host.StartGame(parameters)) host.ReportStartFailure(kUnableToStartProgram);
}

}  // namespace

void RunStartupSequence(IStartupHost& host) {
    switch (host.RunStartWindow()) {
        case StartChoice::Close: return;  // nothing started, Steam left as it is
        case StartChoice::Unexpected: host.ShutdownSteam(); return;
        case StartChoice::Play:
            StartGameOrReport(host, nullptr);
            host.ShutdownSteam();
            return;
        case StartChoice::PlayWithMods: break;
    }
    if (host.RunModManager() != ManagerChoice::Play) {
        host.ShutdownSteam();
        return;
    }
    // The game reads the selection from the file: started with an older
    // file, it would run with other mods than the player chose.
    if (const Status saved = host.SaveSelection(); !saved) {
        host.ReportSaveFailure(saved.Text());
        host.ShutdownSteam();
        return;
    }
    const std::wstring parameters = kModSchemeParameter;
    StartGameOrReport(host, &parameters);
    host.ShutdownSteam();
}

bool StartGameExecutable(const CGameFolders& folders, const std::wstring* parameters, const std::wstring& runner) {
    if (!platform::StartProgram(folders.GetGameExecutablePath(), parameters, runner)) return false;
    NoteGameStarted(folders.GetUserGameFolder());
    return true;
}

}  // namespace gh
