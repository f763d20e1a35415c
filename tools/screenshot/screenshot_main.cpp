// Opens each window of the launcher in a chosen state on a demo world and
// saves a picture of it, a PNG where the toolkit writes PNG (Linux) and a
// BMP where it does not (the Windows build's wx; tools/screenshots.sh turns
// those into PNGs):
//   gatehouse_screenshot WORLD OUTPUT-FOLDER
// WORLD is a folder made by gatehouse_demo (game/, documents/, workshop/).
// The start window's sync writes into WORLD's documents folder, so use a
// fresh world for every run. Needs a display (tools/screenshots.sh starts
// Xvfb when there is none).
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include "catalogue/ModRecords.h"
#include "game/GameFolders.h"
#include "game/GameVersion.h"
#include "launcher/WindowSyncTexts.h"
#include "selection/ShareCode.h"
#include "ui/CGatehouseDlg.h"
#include "ui/CSplashDialog.h"
#include "ui/Clipboard.h"
#include "workshop/LocalWorkshop.h"
#include "workshop/WorkshopText.h"
#include "workshop/steamworks/SteamworksClient.h"

#include "ScreenGrab.h"

namespace {

using namespace gh;

void Pump() {
    while (wxTheApp->Pending()) {
        wxTheApp->Dispatch();
    }
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        Pump();
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

void Settle(int ms) {
    WaitUntil([] { return false; }, ms);
}

// Copies the window's client area from the screen into `name` plus .png or .bmp.
// The window is not asked to repaint: the picture shows what the window drew
// by itself, as the player would see it. A window raised would hide a
// tooltip over it.
// Copies the window's client area as it is on the screen now, without
// waiting for anything (a menu open over it runs a loop of its own).
bool SaveClientArea(wxWindow& window, const std::wstring& name) {
    const wxImage image = tools::GrabScreenArea(wxRect(window.ClientToScreen(wxPoint(0, 0)), window.GetClientSize()));
    const bool png = wxImage::FindHandler(wxBITMAP_TYPE_PNG) != nullptr;
    const wxString file = wxString(name) + (png ? ".png" : ".bmp");
    const bool saved = image.IsOk() && image.SaveFile(file, png ? wxBITMAP_TYPE_PNG : wxBITMAP_TYPE_BMP);
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "FAILED to save", file.utf8_str().data());
    return saved;
}

bool Capture(wxWindow& window, const std::wstring& name, bool raise = true) {
    if (raise) {
        window.Raise();
    }
    Settle(300);
    return SaveClientArea(window, name);
}

// Rests the pointer on a screen point, as the player's mouse would.
void PointAt(const wxPoint& screenPoint) {
    wxUIActionSimulator().MouseMove(screenPoint);
    Settle(100);
}

wxPoint CentreOf(const wxWindow& window) {
    return window.ClientToScreen(wxPoint(window.GetClientSize().x / 2, window.GetClientSize().y / 2));
}

bool StatusIs(CSplashDialog& splash, std::wstring_view text) {
    return splash.StatusLine().GetValue().ToStdWstring() == text;
}

bool ShotsOfTheStartWindow(const CGameFolders& folders, const std::wstring& world, const std::wstring& out) {
    bool ok = true;
    {
        CLocalWorkshop workshop(world + L"workshop");
        CSplashDialog splash(&workshop, folders);
        splash.Show();
        // Downloading: a per-file progress line while a download runs.
        const bool downloading = WaitUntil(
            [&] {
                const CWorkshopSync* sync = splash.Sync();
                if (sync == nullptr) {
                    return false;
                }
                const std::wstring status = splash.StatusLine().GetValue().ToStdWstring();
                for (const CDownloadingFileData& download : sync->Downloads()) {
                    if (!download.finished && download.bytesDownloaded > 0 &&
                        status == WindowProgressLineText(download.fileName, download.bytesDownloaded,
                                                         download.bytesExpected)) {
                        return true;
                    }
                }
                return false;
            },
            20000);
        if (!downloading) {
            std::fprintf(stderr, "the start window never showed a download in progress\n");
        }
        ok &= Capture(splash, out + L"start-downloading");
        // The greyed play-with-mods button's tooltip, with the pointer
        // resting on it while the sync still runs.
        PointAt(CentreOf(splash.PlayWithModsButton()));
        PointAt(CentreOf(splash.PlayWithModsButton()) + wxPoint(2, 1));  // a pointer arrives in steps
        Settle(1500);
        ok &= Capture(splash, out + L"start-syncing-tooltip", false);
        if (splash.PlayWithModsButton().IsEnabled()) {
            std::fprintf(stderr, "the sync ended before the tooltip was taken\n");
            ok = false;
        }
        PointAt(splash.ClientToScreen(wxPoint(400, 40)));
        ok &= WaitUntil([&] { return StatusIs(splash, kTextAllUpToDate); }, 30000);
        // The sync's changes, summed up under the bar once it ended.
        if (!WaitUntil([&] { return splash.ChangesLine() != nullptr; }, 2000)) {
            std::fprintf(stderr, "the start window showed no line of what changed\n");
            ok = false;
        }
        ok &= Capture(splash, out + L"start-up-to-date-what-changed");
        if (splash.ChangesLine() != nullptr) {
            splash.OpenChangesWindow();
            Settle(300);
            ok &=
                splash.ChangesWindow() != nullptr && Capture(*splash.ChangesWindow(), out + L"start-what-changed-list");
            if (splash.ChangesWindow() != nullptr) splash.ChangesWindow()->Hide();
        }
        // The focus moved to the close button, as Tab moves it.
        splash.CloseButton().SetFocus();
        ok &= Capture(splash, out + L"start-close-focused");
        splash.Hide();
    }
    {
        // The Steam client backend, which finds no Steam library here.
        const std::unique_ptr<IWorkshopClient> steam = CreateSteamworksClient(folders.GetGameExecutablePath());
        CSplashDialog splash(steam.get(), folders);
        splash.Show();
        Settle(200);
        ok &= Capture(splash, out + L"start-steam-failed");
        splash.Hide();
    }
    return ok;
}

// The screen point in the middle of a row of a list box, found through the
// list's own hit test; the list's centre when the row is not shown.
wxPoint ListRowPoint(const wxListBox& list, int row) {
    int top = -1, bottom = -1;
    for (int y = 0; y < list.GetClientSize().y; ++y) {
        if (list.HitTest(wxPoint(20, y)) == row) {
            if (top < 0) top = y;
            bottom = y;
        }
    }
    return top < 0 ? CentreOf(list) : list.ClientToScreen(wxPoint(20, (top + bottom) / 2));
}

std::optional<std::size_t> RowNamed(const CGatehouseDlg& manager, const wchar_t* name) {
    const auto& mods = manager.Rules().Mods();
    for (std::size_t row = 0; row < mods.size(); ++row) {
        if (mods[row].name == name) return row;
    }
    std::fprintf(stderr, "the demo has no mod %ls\n", name);
    return std::nullopt;
}

bool ShotsOfTheManager(const CGameFolders& folders, const std::wstring& out) {
    bool ok = true;
    CGatehouseDlg manager(folders);
    manager.SetMessagePresenter([](const std::wstring&, const std::wstring&) {});
    manager.Show();
    Settle(300);

    // The demo's last selection lacks what Harbor Lights and Bigger Armies
    // need: the notice names it and offers to add it.
    if (!manager.NoticeLine().ShowsAction()) {
        std::fprintf(stderr, "the manager opened without Add them\n");
        ok = false;
    }
    ok &= Capture(manager, out + L"manager-add-them-notice");

    // The first blocked mod, highlighted.
    const auto& mods = manager.Rules().Mods();
    for (std::size_t row = 0; row < mods.size(); ++row) {
        if (IsBlocked(mods[row].status)) {
            manager.ModList().SetSelection(static_cast<int>(row));
            manager.OnLbnSelchangeModList();
            break;
        }
    }
    ok &= Capture(manager, out + L"manager-blocked-highlighted");

    // Core Library checked last: the mods before it that need it are
    // marked, and the pointer rests on one of them for its tooltip.
    if (const auto core = RowNamed(manager, L"Core Library")) {
        manager.ModList().SetSelection(static_cast<int>(*core));
        manager.OnLbnSelchangeModList();
        manager.ModList().ClickCheckBox(*core);
    }
    Settle(200);
    PointAt(ListRowPoint(manager.SelectedList(), 0));
    PointAt(ListRowPoint(manager.SelectedList(), 0) + wxPoint(2, 1));
    Settle(1500);
    ok &= Capture(manager, out + L"manager-order-marked-tooltip", false);
    PointAt(manager.ClientToScreen(wxPoint(10, 10)));

    // Sorted: every mod after the mods it needs.
    manager.OnBnClickedSort();
    ok &= Capture(manager, out + L"manager-sorted");

    // What Harbor Lights still needed, added; what cannot be added stays named.
    manager.OnBnClickedAddRequirements();
    ok &= Capture(manager, out + L"manager-after-add-them");

    // Another player's share code pasted: a mod that is not installed here
    // and one installed at a lower version than the code names, which the
    // notice line tells; the rest loads.
    const Result<std::string> code = EncodeShareCode({{1002, 3, "Harbor Lights"},
                                                      {1006, 1, "Black Powder"},
                                                      {1001, 5, "Core Library"},
                                                      {1010, 2, "Winter Campaign"}});
    ok &= code.IsOk() && CopyToClipboard(wxString::FromUTF8(*code));
    manager.OnBnClickedPasteShareCode();
    ok &= Capture(manager, out + L"manager-share-code-pasted");
    // The copy button's tooltip, with the pointer resting on it.
    PointAt(CentreOf(manager.Control(CGatehouseDlg::kIdCopyCode)));
    PointAt(CentreOf(manager.Control(CGatehouseDlg::kIdCopyCode)) + wxPoint(2, 1));
    Settle(1500);
    ok &= Capture(manager, out + L"manager-copy-code-tooltip", false);
    PointAt(manager.ClientToScreen(wxPoint(10, 10)));

    // Ten selected: check usable rows one by one as the player would.
    for (std::size_t row = 0; row < mods.size() && manager.Rules().Selection().size() < 10; ++row) {
        if (!IsBlocked(mods[row].status) && manager.ModList().GetCheck(row) != kChecked) {
            manager.ModList().ClickCheckBox(row);
        }
    }
    ok &= Capture(manager, out + L"manager-ten-selected");

    // River Maps, updated by the start window's sync, held from its context
    // menu: a padlock at the row's end and its tooltip; then its menu open,
    // with the release and the earlier version kept.
    if (const auto river = RowNamed(manager, L"River Maps")) {
        manager.ModList().ScrollToRow(*river);
        manager.ModList().SetSelection(static_cast<int>(*river));
        manager.OnLbnSelchangeModList();
        manager.SetMenuPresenter([](const std::vector<CGatehouseDlg::MenuEntry>&, const wxPoint&) {
            return std::optional<std::size_t>(0);  // the hold
        });
        manager.OnModListContextMenu(wxDefaultPosition);
        manager.SetMenuPresenter(nullptr);
        if (!manager.ModList().GetItem(*river).held) {
            std::fprintf(stderr, "River Maps was not held\n");
            ok = false;
        }
        const wxRect rect = manager.ModList().GetItemRect(*river);
        const wxPoint row =
            manager.ModList().ClientToScreen(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
        PointAt(row);
        PointAt(row + wxPoint(2, 1));
        Settle(1500);
        ok &= Capture(manager, out + L"manager-held-row-tooltip", false);
        PointAt(manager.ClientToScreen(wxPoint(10, 10)));
        // The menu runs a loop of its own: a timer takes the picture while
        // it is open, then closes it as Escape does.
        bool menuShot = false;
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            menuShot = SaveClientArea(manager, out + L"manager-held-context-menu");
            wxUIActionSimulator().Char(WXK_ESCAPE);
        });
        timer.StartOnce(1200);
        manager.ModList().SetFocus();
        manager.OnModListContextMenu(wxDefaultPosition);
        ok &= menuShot;
    }

    // The play button with the keyboard focus, the list scrolled to its end.
    manager.ModList().ScrollToRow(manager.ModList().GetCount() - 1);
    manager.PlayButton().SetFocus();
    ok &= Capture(manager, out + L"manager-play-focused-list-at-end");
    manager.Hide();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: gatehouse_screenshot WORLD OUTPUT-FOLDER\n");
        return 2;
    }
    std::wstring world = wxString::FromUTF8(argv[1]).ToStdWstring();
    std::wstring out = wxString::FromUTF8(argv[2]).ToStdWstring();
    if (world.back() != L'/') world += L'/';
    if (out.back() != L'/') out += L'/';

    // A failed wx check is reported, never shown as a dialog nobody closes.
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
        std::fprintf(stderr, "wx assertion %s:%d %s %s\n", file.utf8_str().data(), line, cond.utf8_str().data(),
                     msg.utf8_str().data());
    });
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "gatehouse_screenshot: cannot open a display\n");
        return 1;
    }
    wxInitAllImageHandlers();
    wxGUIEventLoop loop;
    wxEventLoopBase::SetActive(&loop);

    const CGameFolders folders(world + L"game/gatehouse", world + L"documents");
    // Both sets are taken even when the first fails.
    const bool startWindowShots = ShotsOfTheStartWindow(folders, world, out);
    const bool managerShots = ShotsOfTheManager(folders, out);
    const bool ok = startWindowShots && managerShots;

    wxEventLoopBase::SetActive(nullptr);
    wxEntryCleanup();
    return ok ? 0 : 1;
}
