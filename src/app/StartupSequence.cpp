#include "app/StartupSequence.h"

#include "app/Folders.h"
#include "platform/Process.h"

namespace gh {

namespace {

void StartGameOrReport(IStartupHost& host, const std::wstring* parameters) {
    if (!host.StartGame(parameters)) host.ReportStartFailure(kUnableToStartProgram);
}

}  // namespace

void RunStartupSequence(IStartupHost& host, bool& playWithMods) {
    const int choice = host.RunStartWindow(playWithMods);
    if (choice == kDialogCancel) return;  // closed: nothing started, Steam left as it is
    if (choice != kDialogOk) {
        host.ShutdownSteam();
        return;
    }
    if (!playWithMods) {
        StartGameOrReport(host, nullptr);
        host.ShutdownSteam();
        return;
    }
    if (host.RunModManager() != kDialogOk) {
        host.ShutdownSteam();
        return;
    }
    host.SaveSelection();
    const std::wstring parameters = kModSchemeParameter;
    StartGameOrReport(host, &parameters);
    host.ShutdownSteam();
}

bool StartGameExecutable(const std::wstring* parameters, const std::wstring& runner) {
    return platform::StartProgram(GetGameExecutablePath(), parameters, runner);
}

}  // namespace gh
