#include "GuiTest.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/rawbmp.h>
#include <wx/utils.h>

#include "ScreenGrab.h"

namespace gh::test {

void Pump() {
    wxTheApp->ProcessPendingEvents();
    DispatchWaitingMessages();
    wxTheApp->ProcessPendingEvents();
    wxTheApp->ProcessIdle();
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Pump();
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() > end) {
            return done();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void PumpFor(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        Pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

wxBitmap SolidBitmap(const wxSize& size, const wxColour& colour) {
    wxImage image(size);
    image.SetRGB(wxRect(size), colour.Red(), colour.Green(), colour.Blue());
    return wxBitmap(image);
}

wxColour PixelAt(const wxBitmap& bitmap, int x, int y) {
    const wxImage image = bitmap.ConvertToImage();
    return {image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

wxImage ScreenPixels(const wxWindow& window) {
    PumpFor(100);
    return ScreenPixels(wxRect(window.ClientToScreen(wxPoint(0, 0)), window.GetClientSize()));
}

wxImage ScreenPixels(const wxRect& area) { return tools::GrabScreenArea(area); }

bool IsOneColour(const wxImage& image) {
    const unsigned char* pixel = image.GetData();
    const std::size_t bytes = static_cast<std::size_t>(image.GetWidth()) * image.GetHeight() * 3;
    for (std::size_t i = 3; i < bytes; ++i) {
        if (pixel[i] != pixel[i % 3]) return false;
    }
    return true;
}

bool SamePixels(const wxImage& a, const wxImage& b) {
    return a.GetSize() == b.GetSize() &&
           std::equal(a.GetData(), a.GetData() + static_cast<std::size_t>(a.GetWidth()) * a.GetHeight() * 3,
                      b.GetData());
}

wxPoint CentreOf(const wxWindow& window) {
    const wxSize size = window.GetClientSize();
    return window.ClientToScreen(wxPoint(size.x / 2, size.y / 2));
}

wxPoint ScreenPoint(const wxWindow& window, const wxPoint& clientPoint) { return window.ClientToScreen(clientPoint); }

void ShowAndSettle(wxTopLevelWindow& window) {
    window.Show();
    window.Raise();
    WaitUntil([&] { return window.IsShownOnScreen(); });
    // Without a window manager the keyboard follows the pointer: rest it on
    // the window's own surface.
    MoveMouseTo(window.ClientToScreen(wxPoint(2, 2)));
    PumpFor(100);
}

void GuiTest::SetUp() {
    m_frame = new wxFrame(nullptr, wxID_ANY, "test", wxPoint(40, 40), wxSize(480, 360));
    m_panel = new wxPanel(m_frame);
    ShowAndSettle(*m_frame);
}

void GuiTest::TearDown() {
    if (m_frame != nullptr) {
        m_frame->Destroy();
        m_frame = nullptr;
        PumpFor(20);
    }
}

namespace {

class CTestApp : public wxApp {
public:
    bool OnInit() override { return true; }

    // A failed wx check fails the test instead of opening a dialog.
    void OnAssertFailure(const wxChar* file, int line, const wxChar* func, const wxChar* cond,
                         const wxChar* msg) override {
        ADD_FAILURE_AT(wxString(file).utf8_str().data(), line)
            << "wx assertion in " << wxString(func) << ": " << wxString(cond) << " " << wxString(msg);
    }
};

// Starts wx once for the whole run; only when tests run, so listing them
// needs no display.
class CWxEnvironment : public ::testing::Environment {
public:
    CWxEnvironment(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    void SetUp() override {
        wxApp::SetInstance(new CTestApp);
        ASSERT_TRUE(wxEntryStart(m_argc, m_argv)) << "cannot open a display: run under tools/with-display.sh";
        ASSERT_TRUE(wxTheApp->CallOnInit());
        // Pending() and Dispatch() act only through an active loop; the tests
        // pump this one by hand (modal windows run their own inside it).
        m_loop = new wxGUIEventLoop;
        wxEventLoopBase::SetActive(m_loop);
    }

    void TearDown() override {
        wxEventLoopBase::SetActive(nullptr);
        delete m_loop;
        wxTheApp->OnExit();
        wxEntryCleanup();
    }

private:
    int m_argc;
    char** m_argv;
    wxEventLoopBase* m_loop = nullptr;
};

}  // namespace

}  // namespace gh::test

// Under LeakSanitizer: the font, desktop-bus and GLib libraries keep caches
// for the life of the process that they never free. Their stacks end inside
// those libraries, so these patterns do not hide leaks of the program's own.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:g_malloc\n";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new gh::test::CWxEnvironment(argc, argv));
    return RUN_ALL_TESTS();
}
