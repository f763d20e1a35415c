#include "ui/CGatehouseApp.h"

#include <wx/image.h>
#include <wx/init.h>
#include <wx/msgdlg.h>

#include "launcher/WorkshopChoice.h"
#include "selection/RestartList.h"
#include "selection/SelectionFile.h"
#include "ui/GuiLauncher.h"

namespace gh {

StartChoice StartChoiceFor(int dialogResult, bool playWithMods) {
    switch (dialogResult) {
        case wxID_OK: return playWithMods ? StartChoice::PlayWithMods : StartChoice::Play;
        case wxID_CANCEL: return StartChoice::Close;
        default: return StartChoice::Unexpected;
    }
}

ManagerChoice ManagerChoiceFor(int dialogResult) {
    return dialogResult == wxID_OK ? ManagerChoice::Play : ManagerChoice::Close;
}

CWindowedStartupHost::CWindowedStartupHost(LauncherOptions options, const CGameFolders& folders)
    : m_options(std::move(options)), m_folders(folders) {}

CWindowedStartupHost::~CWindowedStartupHost() {
    // The manager goes first, as it was made last.
    m_manager.reset();
}

StartChoice CWindowedStartupHost::RunStartWindow() {
    m_client = CreateWorkshopClient(m_options, m_folders);
    // The window and its sync end here; no result is handled once it closed.
    CSplashDialog splash(m_client.get(), m_folders);
    if (onStartWindowOpen) {
        splash.CallAfter([this, &splash] { onStartWindowOpen(splash); });
    }
    const int result = splash.ShowModal();
    return StartChoiceFor(result, splash.PlayWithModsChosen());
}

ManagerChoice CWindowedStartupHost::RunModManager() {
    m_manager = std::make_unique<CGatehouseDlg>(m_folders);
    if (wxTheApp != nullptr) {
        wxTheApp->SetTopWindow(m_manager.get());
    }
    if (onManagerOpen) {
        m_manager->CallAfter([this] { onManagerOpen(*m_manager); });
    }
    const ManagerChoice result = ManagerChoiceFor(m_manager->ShowModal());
    if (wxTheApp != nullptr && wxTheApp->GetTopWindow() == m_manager.get()) {
        wxTheApp->SetTopWindow(nullptr);
    }
    // A restart list the player saw and dismissed is used up; one that led
    // to play is used up once the selection file holds what came of it.
    if (result == ManagerChoice::Close && m_manager->StartSource() == StartSelectionSource::RestartList) {
        ConsumeRestartList(m_folders.GetRestartListPath());
    }
    return result;
}

Status CWindowedStartupHost::SaveSelection() {
    if (!m_manager) {
        return Status(StatusKind::Failed, L"there is no selection");
    }
    Status saved = SaveSelectionFile(m_manager->Rules(), m_folders.GetSelectionFilePath());
    if (saved && m_manager->StartSource() == StartSelectionSource::RestartList) {
        ConsumeRestartList(m_folders.GetRestartListPath());
    }
    return saved;
}

void CWindowedStartupHost::ReportSaveFailure(const std::wstring& reason) {
    const std::wstring text = std::wstring(kUnableToSaveSelection) + L"\n\n" + reason;
    if (failurePresenter) {
        failurePresenter(text, std::wstring());
        return;
    }
    wxMessageDialog box(nullptr, wxString(text), wxEmptyString, wxOK);
    box.ShowModal();
}

bool CWindowedStartupHost::StartGame(const std::wstring* parameters) {
    return StartGameExecutable(m_folders, parameters, m_options.runner);
}

void CWindowedStartupHost::ReportStartFailure(const std::wstring& text) {
    if (failurePresenter) {
        failurePresenter(text, std::wstring());
        return;
    }
    wxMessageDialog box(nullptr, wxString(text), wxEmptyString, wxOK);
    box.ShowModal();
}

void CWindowedStartupHost::ShutdownSteam() {
    if (m_client) {
        m_client->Shutdown();
    }
}

bool CGatehouseApp::OnInit() {
    wxInitAllImageHandlers();
    {
        CWindowedStartupHost host(m_options, m_folders);
        RunStartupSequence(host);
    }
    // False on every path: the process ends as soon as this returns.
    return false;
}

bool RunGuiLauncher(const LauncherOptions& options, const CGameFolders& folders) {
    static char name[] = "gatehouse";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    wxApp::SetInstance(new CGatehouseApp(options, folders));
    if (!wxEntryStart(argc, argv)) return false;
    wxTheApp->CallOnInit();
    wxEntryCleanup();
    return true;
}

}  // namespace gh
