#include "ui/CSplashDialog.h"

#include <algorithm>

#include <wx/dcclient.h>

#include "launcher/OutsideText.h"
#include "launcher/RecordedModReader.h"
#include "launcher/WindowSyncTexts.h"
#include "launcher/WorkshopChanges.h"
#include "launcher/WorkshopChoice.h"
#include "platform/Clock.h"
#include "platform/Process.h"
#include "ui/Accessibility.h"
#include "ui/CDialogUnits.h"
#include "ui/DisplayScale.h"
#include "ui/EndDialog.h"
#include "ui/ResourceImages.h"
#include "ui/ToolkitDifferences.h"
#include "workshop/WorkshopText.h"

namespace gh {

namespace {

// The picture and the layout were made for the templates' reference font, so
// the window is laid out in those units whatever font the system uses, then
// scaled as the display is (FromDIP: by the DPI on Windows; GTK scales
// itself).
const CDialogUnits kUnits = CDialogUnits::Reference();

constexpr const char* kTipPlayWithMods = "Manage mods and play Emberwake II with mods";
constexpr const char* kTipPlayWithModsAfterSync = "Available when the Workshop sync has finished";

// The status line shows text and is never typed in, so it takes no focus,
// from the keyboard or the mouse, and shows no caret. It stays a read-only
// text control, which screen readers read as one.
class CStatusLine : public wxTextCtrl {
public:
    CStatusLine(wxWindow* parent, wxWindowID id, const wxPoint& pos, const wxSize& size)
        : wxTextCtrl(parent, id, wxEmptyString, pos, size, wxTE_READONLY | wxBORDER_SIMPLE) {
        SetCanFocus(false);
        // The system's control would take the focus on a click.
        for (const auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK, wxEVT_MIDDLE_DOWN, wxEVT_MIDDLE_DCLICK,
                                wxEVT_RIGHT_DOWN, wxEVT_RIGHT_DCLICK}) {
            Bind(type, [](wxMouseEvent&) {});
        }
        Bind(wxEVT_CONTEXT_MENU, [](wxContextMenuEvent&) {});
    }

    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }
};

}  // namespace

CSplashDialog::CSplashDialog(IWorkshopClient* client, const CGameFolders& folders)
    : wxDialog(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      m_client(client),
      m_folders(folders),
      m_pumpTimer(this) {
    SetIcons(LoadApplicationIcons());
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxBLACK);
    m_background = LoadResourceBitmap(kSplashBackground);
    m_background = ScaledForDisplay(*this, m_background);
    SetClientSize(FromDIP(kUnits.Size(533, 158)));

    // Creation order is the tab order: play, close, play with mods.
    m_btnPlay = new CHoverButton(this, kIdPlay, "PLAY", FromDIP(kUnits.Point(31, 66)));
    m_btnClose = new CHoverButton(this, kIdClose, "CLOSE", FromDIP(kUnits.Point(504, 0)));
    m_btnPlayMods = new CHoverButton(this, kIdPlayWithMods, "PLAYM", FromDIP(kUnits.Point(31, 98)));
    for (CHoverButton* button : {m_btnPlay, m_btnClose, m_btnPlayMods}) {
        ScaleForDisplay(*button);
    }
    m_statusEdit = new CStatusLine(this, kIdStatus, FromDIP(kUnits.Point(0, 132)), FromDIP(kUnits.Size(533, 12)));
    m_progress = new wxGauge(this, kIdProgress, 100, FromDIP(kUnits.Point(0, 144)), FromDIP(kUnits.Size(533, 14)),
                             wxGA_HORIZONTAL | wxGA_SMOOTH | wxBORDER_SIMPLE);
    m_statusEdit->Hide();
    m_progress->Hide();

    m_btnPlay->SetToolTip("Play Emberwake II");
    m_btnPlayMods->SetToolTip(kTipPlayWithMods);
    // The buttons show their captions only as images.
    ExposeName(*m_btnPlay, "Play");
    ExposeName(*m_btnPlayMods, "Play with mods");
    ExposeName(*m_btnClose, "Close");

    Bind(wxEVT_INIT_DIALOG, &CSplashDialog::OnInitDialog, this);
    Bind(wxEVT_PAINT, &CSplashDialog::OnPaint, this);
    Bind(wxEVT_CHAR_HOOK, &CSplashDialog::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CSplashDialog::OnCloseWindow, this);
    Bind(wxEVT_LEFT_DOWN, &CSplashDialog::OnLButtonDown, this);
    Bind(wxEVT_LEFT_UP, &CSplashDialog::OnLButtonUp, this);
    Bind(wxEVT_MOTION, &CSplashDialog::OnMouseMove, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CSplashDialog::OnCaptureLost, this);
    Bind(wxEVT_TIMER, &CSplashDialog::OnPumpTimer, this, m_pumpTimer.GetId());
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnPlay(); }, kIdPlay);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnPlayWithMods(); }, kIdPlayWithMods);
    Bind(
        wxEVT_BUTTON, [this](wxCommandEvent&) { OnCloseButton(); }, kIdClose);
    Centre();
}

CSplashDialog::~CSplashDialog() {
    m_pumpTimer.Stop();
    if (HasCapture()) {
        ReleaseMouse();
    }
    m_sync.reset();
}

void CSplashDialog::OnInitDialog(wxInitDialogEvent&) {
    // Showing the window again (a second modal run) starts nothing twice.
    if (m_opened) {
        return;
    }
    m_opened = true;
    m_statusEdit->Show();
    m_progress->Show();
    StartClientAndSync();
    // Whether the client started or not, the focus starts on play, where
    // Enter plays.
    m_btnPlay->SetFocus();
}

void CSplashDialog::StartClientAndSync() {
    if (m_client == nullptr) {
        platform::DebugOutput(L"SteamAPI_Init() failed\n");
        SetStatusText(std::wstring(kTextSteamClientFailed));
        return;
    }
    if (const Status started = m_client->Init(); !started) {
        // The reason may quote the client library or a manifest's file names.
        SetStatusText(started.Text().empty() ? std::wstring(kTextSteamClientFailed) : EscapedText(started.Text()));
        return;
    }
    m_sync = std::make_unique<CWorkshopSync>(*m_client, *this, m_folders);
    m_sync->SetModIdentityReader(RecordedModReader());
    if (m_sync->StartSync()) {
        EnablePlayWithMods(false);
    }
    // Results are pumped on a timer, not only when input reaches the window,
    // so the sync never waits for the mouse to move.
    m_pumpTimer.Start(kPumpIntervalMs);
}

void CSplashDialog::SetStatusText(std::wstring text) {
    m_statusEdit->ChangeValue(ShownText(text));
    m_statusEdit->SetInsertionPoint(0);
}

void CSplashDialog::OnSyncEvent(const SyncEvent& event) { SetStatusText(WindowSyncEventText(event)); }

void CSplashDialog::OnDownloadProgress(const std::wstring& fileName, std::int64_t downloaded, std::int64_t expected) {
    SetStatusText(WindowProgressLineText(fileName, downloaded, expected));
}

void CSplashDialog::SetProgressRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
    // The bar counts from zero and needs a positive range.
    m_progress->SetRange(std::max(1, upper - lower));
}

void CSplashDialog::SetProgressPos(int pos) {
    const int range = m_progress->GetRange();
    m_progress->SetValue(std::clamp(pos - m_lower, 0, range));
}

void CSplashDialog::EnablePlayWithMods(bool enable) {
    m_btnPlayMods->Enable(enable);
    // Only the sync holds the button; while it does, the tip says so.
    m_btnPlayMods->SetToolTip(enable ? kTipPlayWithMods : kTipPlayWithModsAfterSync);
}

void CSplashDialog::OnPlay() {
    m_bPlayWithMods = false;
    Finish(wxID_OK);
}

void CSplashDialog::OnPlayWithMods() {
    m_bPlayWithMods = true;
    Finish(wxID_OK);
}

void CSplashDialog::OnCloseButton() { Finish(wxID_CANCEL); }

void CSplashDialog::Finish(int result) {
    // No result is handled once the window has ended.
    m_pumpTimer.Stop();
    if (m_changesWindow) {
        m_changesWindow->Destroy();
    }
    if (HasCapture()) {
        ReleaseMouse();
    }
    m_dragging = false;
    EndDialogWith(*this, result);
}

void CSplashDialog::PumpOnce() {
    if (m_sync) {
        m_sync->Pump(platform::SystemTimeAsFileTime());
        if (m_sync->IsFinished() && !m_changesLooked) {
            m_changesLooked = true;
            ShowChangesLine();
        }
    }
}

void CSplashDialog::ShowChangesLine() {
    const std::wstring summary = ChangesSummary(m_sync->Record());
    if (summary.empty()) {
        return;
    }
    m_changesText = ChangesText(m_sync->Record());
    // The window grows by the line, below its picture.
    SetClientSize(FromDIP(kUnits.Size(533, 170)));
    m_changesLine = new wxGenericHyperlinkCtrl(this, kIdChanges, summary + L" \u2014 what changed", wxEmptyString,
                                               FromDIP(kUnits.Point(4, 159)), FromDIP(kUnits.Size(525, 10)),
                                               wxHL_ALIGN_LEFT | wxBORDER_NONE);
    m_changesLine->SetBackgroundColour(*wxBLACK);
    const wxColour link(240, 200, 120);
    m_changesLine->SetNormalColour(link);
    m_changesLine->SetHoverColour(wxColour(255, 230, 170));
    m_changesLine->SetVisitedColour(link);
    m_changesLine->SetToolTip("Show what changed since the game was last started (W)");
    // Its own handling would open an address; it has none, it opens the list.
    m_changesLine->Bind(wxEVT_HYPERLINK, [this](wxHyperlinkEvent&) { OpenChangesWindow(); });
    // In the tab order after the play buttons, where Tab reaches it last.
    m_changesLine->MoveAfterInTabOrder(m_btnPlayMods);
    Refresh();
}

void CSplashDialog::OpenChangesWindow() {
    if (m_changesLine == nullptr) {
        return;
    }
    if (!m_changesWindow) {
        m_changesWindow = new CChangesWindow(this, m_changesText);
    }
    m_changesWindow->Show();
    m_changesWindow->Raise();
}

void CSplashDialog::OnPumpTimer(wxTimerEvent&) { PumpOnce(); }

void CSplashDialog::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
    if (m_background.IsOk()) {
        dc.DrawBitmap(m_background, 0, 0, false);
    }
}

void CSplashDialog::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            // The focused button takes Enter, as it takes Space; with the
            // focus on none of them, Enter plays.
            if (dynamic_cast<CHoverButton*>(wxWindow::FindFocus()) != nullptr) {
                event.Skip();
                return;
            }
            if (m_changesLine != nullptr && wxWindow::FindFocus() == m_changesLine) {
                OpenChangesWindow();
                return;
            }
            OnPlay();
            return;
        case 'W':
            if (m_changesLine != nullptr && (event.GetModifiers() & ~wxMOD_ALT) == 0) {
                OpenChangesWindow();
                return;
            }
            event.Skip();
            return;
        case WXK_ESCAPE: OnCloseButton(); return;
        default: event.Skip();
    }
}

void CSplashDialog::OnCloseWindow(wxCloseEvent&) { OnCloseButton(); }

void CSplashDialog::OnLButtonDown(wxMouseEvent& event) {
    // Presses on the buttons go to the buttons; this is the background.
    m_cursorStart = wxGetMousePosition();
    m_windowStart = GetScreenPosition();
    m_dragging = true;
    if (!HasCapture()) {
        CaptureMouse();
    }
    event.Skip();
}

void CSplashDialog::OnMouseMove(wxMouseEvent& event) {
    if (m_dragging) {
        const wxPoint cursor = wxGetMousePosition();
        Move(m_windowStart + (cursor - m_cursorStart), wxSIZE_USE_EXISTING);
    }
    event.Skip();
}

void CSplashDialog::OnLButtonUp(wxMouseEvent& event) {
    m_dragging = false;
    if (HasCapture()) {
        ReleaseMouse();
    }
    event.Skip();
}

void CSplashDialog::OnCaptureLost(wxMouseCaptureLostEvent&) { m_dragging = false; }

}  // namespace gh
