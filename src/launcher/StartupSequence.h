// The launcher's whole run, from the start window's choice to the game start,
// over the small interface that the windowed and the terminal front ends
// implement. Every path ends here; the process ends when it returns.
#pragma once

#include "game/GameFolders.h"
#include "platform/Status.h"

#include <string>

namespace gh {

inline constexpr wchar_t kModSchemeParameter[] = L"MODSCHEME=GATEHOUSE.SCH";
inline constexpr wchar_t kUnableToStartProgram[] = L"Unable to start program";
inline constexpr wchar_t kUnableToSaveSelection[] = L"Unable to save file: gatehouse.sch";

// How the player left the start window: one of its play buttons, or closed
// it (the close button, Escape, the window's close command). Unexpected
// stands for any other way a window can end.
enum class StartChoice { Play, PlayWithMods, Close, Unexpected };

// How the player left the mod manager: its play button (or Enter), or closed it.
enum class ManagerChoice { Play, Close };

class IStartupHost {
public:
    virtual ~IStartupHost() = default;
    // Shows the start window modally and says how the player left it.
    virtual StartChoice RunStartWindow() = 0;
    // Shows the mod manager modally and says how the player left it.
    virtual ManagerChoice RunModManager() = 0;
    // Writes the manager's selection to the default selection file. The
    // game is started only when it was written: the game reads that file.
    virtual Status SaveSelection() = 0;
    // Tells the player that the selection file could not be written
    // (kUnableToSaveSelection and `reason`), and waits.
    virtual void ReportSaveFailure(const std::wstring& reason) = 0;
    // Starts the game without waiting; `parameters` is null without mods.
    virtual bool StartGame(const std::wstring* parameters) = 0;
    // Tells the player that the game could not be started, and waits.
    virtual void ReportStartFailure(const std::wstring& text) = 0;
    virtual void ShutdownSteam() = 0;
};

// Runs the sequence. The Steam interface is shut down after the game start
// (successful or not), after the manager was closed without playing, after
// a selection file that could not be written (the game is then not
// started) and after an unexpected start-window result; not when the
// player closed the start window.
void RunStartupSequence(IStartupHost& host);

// Starts the game executable next to the launcher
// (CGameFolders::GetGameExecutablePath), with `runner` in front of it when
// one is given (Linux). Once it started, the Workshop record notes the
// start, which is where its list of what changed begins again.
bool StartGameExecutable(const CGameFolders& folders, const std::wstring* parameters, const std::wstring& runner);

}  // namespace gh
