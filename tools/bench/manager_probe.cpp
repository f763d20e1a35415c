// Opens the real mod manager on a documents and a game folder and measures,
// from inside the process, what the player waits for:
//   gatehouse_manager_probe --documents DIR --game-folder DIR [--spawned-at NS] [--repeat N] [--walk DIR]
// and prints one line of "key=value" figures in milliseconds:
//   walk_ms       with --walk, a plain walk of DIR first, through the C++
//                 library (every folder listed, every file opened and its
//                 first 4 KiB read): the yardstick where gatehouse_bench's
//                 own walk cannot run, as for the Windows build under Wine;
//   click_ms      from the play click (the manager's construction, catalogue
//                 included) to the window shown, its list painted once and
//                 every event that followed handled;
//   construct_ms  of that, the manager's construction: catalogue, rows,
//                 the list filled and the start selection loaded;
//   start_ms      the same end from the moment the parent started this
//                 process (NS on the steady clock, which all processes share);
//   highlight_ms  the Down key in the list: the highlight moves, the info
//                 pane is filled, the window repainted (median of N, and
//                 highlight_max_ms the slowest);
//   check_ms      the Space key on a usable row: checked or cleared, the
//                 selected-order list rebuilt, repainted (likewise);
//   scroll_ms     the list scrolled by a page and repainted (likewise).
// Each comes with the processor time this process spent on it (*_cpu_ms,
// medians), which a busy machine does not inflate as it does the clock.
// Needs a display (tools/with-display.sh gives one).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>

#include "catalogue/ModRecords.h"
#include "launcher/FolderOptions.h"
#include "ui/CGatehouseDlg.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// This process's processor time: unlike the clock on the wall, it does not
// grow while other programs on a busy machine have the processor. The X
// server's own work is not in it. (The Windows C library's clock() counts
// the wall's time instead, so there both figures are the wall's.)
double CpuMilliseconds() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void Pump() {
    wxTheApp->ProcessPendingEvents();
    while (wxTheApp->Pending()) {
        wxTheApp->Dispatch();
    }
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

double PlainWalkMilliseconds(const std::string& folder) {
    namespace fs = std::filesystem;
    const Clock::time_point start = Clock::now();
    std::error_code error;
    char buffer[4096];
    for (fs::recursive_directory_iterator it(fs::u8path(folder), error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        std::ifstream file(it->path(), std::ios::binary);
        file.read(buffer, sizeof buffer);
    }
    return Milliseconds(Clock::now() - start);
}

struct Spread {
    double median = 0;
    double max = 0;
};

Spread SpreadOf(std::vector<double> values) {
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.back()};
}

// Delivers a key press to the list as the toolkit would after its own
// keyboard handling.
void PressKey(wxWindow& window, int keyCode) {
    wxKeyEvent event(wxEVT_KEY_DOWN);
    event.m_keyCode = keyCode;
    event.SetEventObject(&window);
    event.SetId(window.GetId());
    window.GetEventHandler()->ProcessEvent(event);
}

// Times `action` followed by a synchronous repaint of the window and the
// handling of everything it queued.
struct Cost {
    double wall = 0;
    double cpu = 0;
};

template <class Action>
Cost Timed(wxWindow& window, Action action) {
    const Clock::time_point start = Clock::now();
    const double cpuStart = CpuMilliseconds();
    action();
    window.Update();
    Pump();
    return {Milliseconds(Clock::now() - start), CpuMilliseconds() - cpuStart};
}

struct Costs {
    std::vector<double> wall, cpu;
    void Add(const Cost& cost) {
        wall.push_back(cost.wall);
        cpu.push_back(cost.cpu);
    }
};

}  // namespace

int main(int argc, char** argv) {
    gh::LauncherOptions options;
    long long spawnedAt = -1;
    int repeat = 20;
    std::string walkFolder;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const std::string value = argv[i + 1];
        if (arg == "--documents") {
            options.documents = wxString::FromUTF8(value).ToStdWstring();
        } else if (arg == "--game-folder") {
            options.gameFolder = wxString::FromUTF8(value).ToStdWstring();
        } else if (arg == "--spawned-at") {
            spawnedAt = std::atoll(value.c_str());
        } else if (arg == "--walk") {
            walkFolder = value;
        } else if (arg == "--repeat") {
            repeat = std::max(1, std::atoi(value.c_str()));
        }
    }
    wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
        std::fprintf(stderr, "wx assertion %s:%d %s %s\n", file.utf8_str().data(), line, cond.utf8_str().data(),
                     msg.utf8_str().data());
    });
    int wxArgc = 1;
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(wxArgc, argv)) {
        std::fprintf(stderr, "gatehouse_manager_probe: cannot open a display\n");
        return 1;
    }
    wxInitAllImageHandlers();
    wxGUIEventLoop loop;
    wxEventLoopBase::SetActive(&loop);
    const gh::Result<gh::CGameFolders> folders = gh::MakeGameFolders(options);
    if (!folders) {
        std::fprintf(stderr, "gatehouse_manager_probe: %s\n", wxString(folders.Error().Text()).utf8_str().data());
        return 1;
    }

    const double walkMs = walkFolder.empty() ? -1 : PlainWalkMilliseconds(walkFolder);
    const Clock::time_point click = Clock::now();
    const double clickCpu = CpuMilliseconds();
    auto* manager = new gh::CGatehouseDlg(*folders);
    const Clock::time_point constructed = Clock::now();
    manager->SetMessagePresenter([](const std::wstring&, const std::wstring&) {});
    gh::CModCheckListBox& list = manager->ModList();
    bool painted = false;
    list.Bind(wxEVT_PAINT, [&painted](wxPaintEvent& event) {
        painted = true;
        event.Skip();
    });
    manager->Show();
    const Clock::time_point giveUp = Clock::now() + std::chrono::minutes(5);
    while (!painted && Clock::now() < giveUp) {
        Pump();
        if (!painted) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    Pump();
    const Clock::time_point ready = Clock::now();
    const double readyCpu = CpuMilliseconds();
    if (!painted) {
        std::fprintf(stderr, "gatehouse_manager_probe: the list was never painted\n");
        return 1;
    }

    const std::size_t rows = list.GetCount();
    Costs highlight, check, scroll;
    if (rows > 1) {
        list.SetFocus();
        list.SetSelection(0);
        manager->OnLbnSelchangeModList();
        Pump();
        for (int i = 0; i < repeat; ++i) {
            if (static_cast<std::size_t>(list.GetSelection()) + 1 >= rows) {
                list.SetSelection(0);
            }
            highlight.Add(Timed(*manager, [&] { PressKey(list, WXK_DOWN); }));
        }
        // A usable row far down the list, current, then checked and cleared in turn.
        const auto& mods = manager->Rules().Mods();
        std::size_t usable = rows / 2;
        while (usable + 1 < rows && gh::IsBlocked(mods[usable].status)) {
            ++usable;
        }
        list.SetSelection(static_cast<int>(usable));
        manager->OnLbnSelchangeModList();
        Pump();
        for (int i = 0; i < repeat; ++i) {
            check.Add(Timed(*manager, [&] { PressKey(list, WXK_SPACE); }));
        }
        list.ScrollToRow(0);
        Pump();
        for (int i = 0; i < repeat; ++i) {
            if (list.GetVisibleRowsEnd() >= rows) {
                list.ScrollToRow(0);
                Pump();
            }
            scroll.Add(Timed(list, [&] { list.ScrollPages(1); }));
        }
    }
    const Spread h = SpreadOf(highlight.wall), c = SpreadOf(check.wall), s = SpreadOf(scroll.wall);
    const double start =
        spawnedAt < 0
            ? -1
            : Milliseconds(ready.time_since_epoch() - std::chrono::nanoseconds(static_cast<long long>(spawnedAt)));
    std::printf(
        "probe walk_ms=%.2f rows=%zu click_ms=%.2f click_cpu_ms=%.2f construct_ms=%.2f start_ms=%.2f highlight_ms=%.3f "
        "highlight_max_ms=%.3f highlight_cpu_ms=%.3f check_ms=%.3f check_max_ms=%.3f check_cpu_ms=%.3f "
        "scroll_ms=%.3f scroll_max_ms=%.3f scroll_cpu_ms=%.3f\n",
        walkMs, rows, Milliseconds(ready - click), readyCpu - clickCpu, Milliseconds(constructed - click), start,
        h.median, h.max, SpreadOf(highlight.cpu).median, c.median, c.max, SpreadOf(check.cpu).median, s.median, s.max,
        SpreadOf(scroll.cpu).median);
    std::fflush(stdout);

    manager->Destroy();
    Pump();
    wxEventLoopBase::SetActive(nullptr);
    wxEntryCleanup();
    return 0;
}
