// The start window: a borderless picture with the play, play-with-mods and
// close buttons, a status line and a progress bar. While it is shown it
// starts the Workshop client and runs the subscription sync, which reports
// through this window (ISyncView). It holds no rule of the sync.
#pragma once

#include <memory>
#include <string>

#include <wx/bitmap.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/hyperlink.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "game/GameFolders.h"
#include "ui/CChangesWindow.h"
#include "ui/CHoverButton.h"
#include "workshop/SyncView.h"
#include "workshop/WorkshopClient.h"
#include "workshop/WorkshopSync.h"

namespace gh {

class CSplashDialog : public wxDialog, public ISyncView {
public:
    static constexpr int kIdPlayWithMods = 1015;
    static constexpr int kIdPlay = 1016;
    static constexpr int kIdClose = 1017;
    static constexpr int kIdProgress = 1024;
    static constexpr int kIdStatus = 1026;
    static constexpr int kIdChanges = 1027;
    // How often the client's results are pumped while the window is shown.
    static constexpr int kPumpIntervalMs = 50;

    // `client` (not owned, may be null when this build has no client to
    // offer) and `folders` (where the sync writes) must outlive the window;
    // the client is started when the window opens. The play buttons end the
    // window with wxID_OK, closing it ends it with wxID_CANCEL.
    CSplashDialog(IWorkshopClient* client, const CGameFolders& folders);
    // Stops the pump; the sync unregisters every request not answered yet.
    ~CSplashDialog() override;

    // Sets the status line's text.
    void SetStatusText(std::wstring text);

    // ISyncView: the status line shows each event's text, or the per-file line.
    void OnSyncEvent(const SyncEvent& event) override;
    void OnDownloadProgress(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected) override;
    void SetProgressRange(int lower, int upper) override;
    void SetProgressPos(int pos) override;
    int GetProgressUpper() const override { return m_upper; }
    void EnablePlayWithMods(bool enable) override;

    // The three buttons' commands. Enter presses the focused button (play,
    // where the focus starts) and plays when none has the focus; Escape and
    // the window's close command close.
    void OnPlay();
    void OnPlayWithMods();
    void OnCloseButton();

    // One turn of the pump: the client's callbacks, then the paced progress
    // refresh; once the sync has ended, the line of what changed. The timer
    // calls it; tests may too.
    void PumpOnce();

    // Once the sync has ended with something changed since the game was
    // last started, a line under the status and the bar sums it up ("2
    // updated, 1 new - what changed"); a click on it, Space or Enter on it,
    // or the W key opens the whole list in a window that leaves this one
    // running. Null until then.
    wxGenericHyperlinkCtrl* ChangesLine() { return m_changesLine; }
    void OpenChangesWindow();
    CChangesWindow* ChangesWindow() { return m_changesWindow.get(); }

    // The parts, for tests and the screenshot tool.
    CHoverButton& PlayButton() { return *m_btnPlay; }
    CHoverButton& PlayWithModsButton() { return *m_btnPlayMods; }
    CHoverButton& CloseButton() { return *m_btnClose; }
    wxTextCtrl& StatusLine() { return *m_statusEdit; }
    wxGauge& ProgressBar() { return *m_progress; }
    const CWorkshopSync* Sync() const { return m_sync.get(); }
    bool IsDragging() const { return m_dragging; }
    // Which play button ended the window: set by each just before it ends
    // it; a close leaves it as it was.
    bool PlayWithModsChosen() const { return m_bPlayWithMods; }

private:
    void OnInitDialog(wxInitDialogEvent& event);
    void StartClientAndSync();
    void OnPaint(wxPaintEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnCloseWindow(wxCloseEvent& event);
    void OnLButtonDown(wxMouseEvent& event);
    void OnLButtonUp(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnPumpTimer(wxTimerEvent& event);
    void Finish(int result);
    void ShowChangesLine();

    IWorkshopClient* m_client;
    const CGameFolders& m_folders;
    bool m_bPlayWithMods = false;
    std::unique_ptr<CWorkshopSync> m_sync;
    bool m_opened = false;

    wxBitmap m_background;
    wxTextCtrl* m_statusEdit = nullptr;
    wxGauge* m_progress = nullptr;
    CHoverButton* m_btnPlay = nullptr;
    CHoverButton* m_btnPlayMods = nullptr;
    CHoverButton* m_btnClose = nullptr;
    wxGenericHyperlinkCtrl* m_changesLine = nullptr;
    std::wstring m_changesText;
    wxWeakRef<CChangesWindow> m_changesWindow;
    bool m_changesLooked = false;  // the ended sync's record was looked at
    wxTimer m_pumpTimer;
    int m_lower = 0;
    int m_upper = 100;

    // Dragging the window by its background.
    bool m_dragging = false;
    wxPoint m_cursorStart;
    wxPoint m_windowStart;
};

}  // namespace gh
