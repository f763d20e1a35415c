#include "app/CGatehouseApp.h"

#include <wx/image.h>
#include <wx/init.h>
#include <wx/msgdlg.h>

#include "app/WindowedLauncher.h"
#include "cli/WorkshopChoice.h"
#include "selection/SelectionFile.h"

namespace gh {

int ToStartupResult(int dialogResult) {
    switch (dialogResult) {
        case wxID_OK:
            return kDialogOk;
        case wxID_CANCEL:
            return kDialogCancel;
        default:
            return dialogResult;
    }
}

CWindowedStartupHost::CWindowedStartupHost(CliOptions options) : m_options(std::move(options)) {}

CWindowedStartupHost::~CWindowedStartupHost() {
    // The manager goes first, as it was made last.
    m_manager.reset();
}

int CWindowedStartupHost::RunStartWindow(bool& playWithMods) {
    m_client = CreateWorkshopClient(m_options);
    // The window and its sync end here; no result is handled once it closed.
    CSplashDialog splash(m_client.get(), playWithMods);
    if (onStartWindowOpen) {
        splash.CallAfter([this, &splash] { onStartWindowOpen(splash); });
    }
    return ToStartupResult(splash.ShowModal());
}

int CWindowedStartupHost::RunModManager() {
    m_manager = std::make_unique<CGatehouseDlg>();
    if (wxTheApp != nullptr) {
        wxTheApp->SetTopWindow(m_manager.get());
    }
    if (onManagerOpen) {
        m_manager->CallAfter([this] { onManagerOpen(*m_manager); });
    }
    const int result = ToStartupResult(m_manager->ShowModal());
    if (wxTheApp != nullptr && wxTheApp->GetTopWindow() == m_manager.get()) {
        wxTheApp->SetTopWindow(nullptr);
    }
    return result;
}

void CWindowedStartupHost::SaveSelection() {
    if (m_manager) {
        // A failed write does not stop the launch.
        SaveSelectionFile(m_manager->Rules(), std::wstring());
    }
}

bool CWindowedStartupHost::StartGame(const std::wstring* parameters) {
    return StartGameExecutable(parameters, m_options.runner);
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
        CWindowedStartupHost host(m_options);
        RunStartupSequence(host, m_bPlayWithMods);
    }
    // False on every path: the process ends as soon as this returns.
    return false;
}

int RunWindowedLauncher(const CliOptions& options, IConsole& console) {
    static char name[] = "gatehouse";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    wxApp::SetInstance(new CGatehouseApp(options));
    if (!wxEntryStart(argc, argv)) {
        console.Err(L"gatehouse: no display to show the windows on; the commands list, sync and play work "
                    L"without one (see gatehouse --help)\n");
        return 1;
    }
    wxTheApp->CallOnInit();
    wxEntryCleanup();
    return 0;
}

}  // namespace gh
