// The start-up sequence's host on a terminal: the command line stands in
// for the player's choices in the start window and the mod manager.
#pragma once

#include "cli/Console.h"
#include "cli/PlayCommand.h"
#include "launcher/StartupSequence.h"
#include "selection/HeadlessSelectionView.h"
#include "selection/StartSelection.h"

#include <memory>

namespace gh {

class CTerminalStartupHost final : public IStartupHost {
public:
    // The console and the folders must outlive the host.
    CTerminalStartupHost(PlayRequest request, const CGameFolders& folders, IConsole& console);

    // Chooses play, or play with mods when there is a selection source.
    StartChoice RunStartWindow() override;
    // Builds the manager's rows and loads the selection into an empty one.
    // A set that cannot be read or does not begin with "[MODS]", and a
    // selection over the limit, are reported and end the run (Close); a
    // restart list then stays for the next start. With withRequirements the
    // mods the selection's mods need are added; when they do not fit in
    // the limit, that is reported and ends the run too, as the player asked
    // for a game with them. Then each selected mod whose requirements the
    // selection still does not hold gets one line on standard error.
    ManagerChoice RunModManager() override;
    // Writes "gatehouse.sch"; once it holds a selection built from the
    // restart list, the list is used up.
    Status SaveSelection() override;
    void ReportSaveFailure(const std::wstring& reason) override;
    bool StartGame(const std::wstring* parameters) override;
    void ReportStartFailure(const std::wstring& text) override;
    // Nothing: the terminal's play never starts the Steam client.
    void ShutdownSteam() override {}

    // 0 when the game was started, 1 otherwise.
    int ExitStatus() const { return m_gameStarted ? 0 : 1; }
    // The selection that was loaded (after RunModManager), or null.
    const CHeadlessSelection* Selection() const { return m_selection.get(); }

private:
    PlayRequest m_request;
    const CGameFolders& m_folders;
    IConsole& m_console;
    std::unique_ptr<CHeadlessSelection> m_selection;
    StartSelectionSource m_source = StartSelectionSource::None;
    bool m_gameStarted = false;
};

}  // namespace gh
