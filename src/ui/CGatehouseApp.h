// The application object of the windowed launcher and the host that runs
// the start-up sequence with the real windows.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/app.h>

#include "game/GameFolders.h"
#include "launcher/LauncherOptions.h"
#include "launcher/StartupSequence.h"
#include "ui/CGatehouseDlg.h"
#include "ui/CSplashDialog.h"
#include "workshop/WorkshopClient.h"

namespace gh {

// Shows the start window and the manager modally, writes the selection and
// starts the game, as RunStartupSequence asks. Owns the Workshop client (made
// from the options when the start window opens) and the manager, which
// outlives its window until the host goes, so its selection can be written.
class CWindowedStartupHost final : public IStartupHost {
public:
    // The folders must outlive the host.
    CWindowedStartupHost(LauncherOptions options, const CGameFolders& folders);
    ~CWindowedStartupHost() override;
    CWindowedStartupHost(const CWindowedStartupHost&) = delete;
    CWindowedStartupHost& operator=(const CWindowedStartupHost&) = delete;

    StartChoice RunStartWindow() override;
    ManagerChoice RunModManager() override;
    Status SaveSelection() override;
    // A message box with "Unable to save file: gatehouse.sch", the reason,
    // an empty caption and an OK button.
    void ReportSaveFailure(const std::wstring& reason) override;
    bool StartGame(const std::wstring* parameters) override;
    // A message box with the text, an empty caption and an OK button.
    void ReportStartFailure(const std::wstring& text) override;
    void ShutdownSteam() override;

    // Called once each window is open, inside its modal loop (tests, tools).
    std::function<void(CSplashDialog&)> onStartWindowOpen;
    std::function<void(CGatehouseDlg&)> onManagerOpen;
    // Replaces the message boxes of ReportStartFailure and ReportSaveFailure (tests).
    std::function<void(const std::wstring& text, const std::wstring& caption)> failurePresenter;

    const CGatehouseDlg* Manager() const { return m_manager.get(); }

private:
    LauncherOptions m_options;
    const CGameFolders& m_folders;
    std::unique_ptr<IWorkshopClient> m_client;
    std::unique_ptr<CGatehouseDlg> m_manager;
};

// The one application object: its start-up runs the whole sequence and
// returns false, so the process ends as soon as the windows are done.
class CGatehouseApp : public wxApp {
public:
    CGatehouseApp(LauncherOptions options, const CGameFolders& folders)
        : m_options(std::move(options)), m_folders(folders) {}

    bool OnInit() override;

private:
    LauncherOptions m_options;
    const CGameFolders& m_folders;
};

// How a window's wx result reads to the sequence: wxID_OK is the play button
// that ended it (play with mods when `playWithMods`), wxID_CANCEL is a close,
// anything else is unexpected.
StartChoice StartChoiceFor(int dialogResult, bool playWithMods);
ManagerChoice ManagerChoiceFor(int dialogResult);

}  // namespace gh
