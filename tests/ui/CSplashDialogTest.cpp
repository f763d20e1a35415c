#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <wx/tooltip.h>

#include "GuiTest.h"
#include "launcher/WorkshopChanges.h"
#include "launcher/WorkshopChoice.h"
#include "support/CGameWorld.h"
#include "support/TempFolder.h"
#include "ui/CSplashDialog.h"
#include "ui/ToolkitDifferences.h"
#include "workshop/LocalWorkshop.h"
#include "workshop/WorkshopText.h"

namespace gh {
namespace {

using test::CGameWorld;
using test::TempFolder;

// The start window against a local Workshop folder, with the documents
// folder in a temporary folder. Windows are shown, not run modally, so the
// test drives them between its own event pumps.
class SplashTest : public ::testing::Test {
protected:
    void TearDown() override {
        m_splash.reset();
        test::PumpFor(20);
    }

    // A Workshop with one subscription of `bytes` bytes, sent at
    // `bytesPerSecond` after `latencyMs`.
    void WriteWorkshop(std::size_t bytes, int bytesPerSecond, int latencyMs = 50) {
        m_workshopFolder.WriteFile(L"files/river.mod", std::string(bytes, 'R'));
        m_workshopFolder.WriteFile(L"workshop.json", "{ \"latencyMs\": " + std::to_string(latencyMs) +
                                                         ", \"bytesPerSecond\": " + std::to_string(bytesPerSecond) +
                                                         R"(, "items": [ { "id": 7, "fileName": "mods/river.mod",
                                                         "content": "files/river.mod", "timeUpdated": 1733700000 } ] })");
    }

    void Open(IWorkshopClient* client) {
        // The window before goes first: under Wine a window shown while
        // another one that had the focus is destroyed stays inactive.
        m_splash.reset();
        m_splash = std::make_unique<CSplashDialog>(client, m_world.Folders());
        test::ShowAndSettle(*m_splash);
    }

    std::wstring Status() const { return m_splash->StatusLine().GetValue().ToStdWstring(); }

    CGameWorld m_world;
    TempFolder m_workshopFolder;
    CLocalWorkshop m_workshop{m_workshopFolder.Path()};
    std::unique_ptr<CSplashDialog> m_splash;
};

TEST_F(SplashTest, LaysOutThePictureButtonsStatusLineAndBar) {
    Open(nullptr);
    EXPECT_EQ(m_splash->GetClientSize(), wxSize(800, 257));
    EXPECT_EQ(m_splash->PlayButton().GetRect(), wxRect(47, 107, 177, 44));
    EXPECT_EQ(m_splash->PlayWithModsButton().GetRect(), wxRect(47, 159, 177, 44));
    EXPECT_EQ(m_splash->CloseButton().GetRect(), wxRect(756, 0, 44, 43));
    EXPECT_TRUE(m_splash->StatusLine().IsShown());
    EXPECT_TRUE(m_splash->ProgressBar().IsShown());
    EXPECT_EQ(m_splash->StatusLine().GetPosition(), wxPoint(0, 215));
    EXPECT_EQ(m_splash->ProgressBar().GetPosition(), wxPoint(0, 234));
    ASSERT_NE(m_splash->PlayButton().GetToolTip(), nullptr);
    EXPECT_EQ(m_splash->PlayButton().GetToolTip()->GetTip(), "Play Emberwake II");
    ASSERT_NE(m_splash->PlayWithModsButton().GetToolTip(), nullptr);
    EXPECT_EQ(m_splash->PlayWithModsButton().GetToolTip()->GetTip(), "Manage mods and play Emberwake II with mods");
    EXPECT_EQ(m_splash->CloseButton().GetToolTip(), nullptr);
}

TEST_F(SplashTest, SyncRunsWithoutInputAndHoldsPlayWithModsUntilItEnds) {
    WriteWorkshop(3000, 6000, 200);
    Open(&m_workshop);
    EXPECT_FALSE(m_splash->PlayWithModsButton().IsEnabled());
    EXPECT_TRUE(m_splash->PlayButton().IsEnabled());
    EXPECT_TRUE(m_splash->CloseButton().IsEnabled());
    const wxString heldTip = m_splash->PlayWithModsButton().GetToolTipText();
    // Nothing but the window's own timer drives the sync from here.
    ASSERT_TRUE(test::WaitUntil([&] { return Status() == kTextAllUpToDate; }, 10000)) << Status();
    EXPECT_TRUE(m_splash->PlayWithModsButton().IsEnabled());
    // While held, the tip said why; now it says what the button does again.
    EXPECT_NE(heldTip, m_splash->PlayWithModsButton().GetToolTipText());
    EXPECT_EQ(m_splash->PlayWithModsButton().GetToolTipText(), "Manage mods and play Emberwake II with mods");
    EXPECT_EQ(m_splash->ProgressBar().GetValue(), m_splash->ProgressBar().GetRange());
    EXPECT_EQ(m_splash->GetProgressUpper(), 3000);
    EXPECT_EQ(m_world.ReadUserFile(L"mods/river.mod"), std::string(3000, 'R'));
}

TEST_F(SplashTest, AfterTheSyncALineTellsWhatChangedAndOpensTheListBesideTheWindow) {
    WriteWorkshop(3000, 1'000'000, 10);
    Open(&m_workshop);
    ASSERT_TRUE(test::WaitUntil([&] { return m_splash->ChangesLine() != nullptr; }, 10000)) << Status();
    const wxGenericHyperlinkCtrl& line = *m_splash->ChangesLine();
    EXPECT_TRUE(line.GetLabel().StartsWith("1 new ")) << line.GetLabel();
    EXPECT_GT(line.GetRect().GetTop(), m_splash->ProgressBar().GetRect().GetBottom());
    EXPECT_LE(line.GetRect().GetBottom(), m_splash->GetClientSize().y);

    // The W key opens the list; the start window stays usable and keeps
    // pumping.
    test::PressKey('W');
    ASSERT_NE(m_splash->ChangesWindow(), nullptr);
    ASSERT_TRUE(test::WaitUntil([&] { return m_splash->ChangesWindow()->IsShown(); }));
    EXPECT_FALSE(m_splash->ChangesWindow()->IsModal());
    EXPECT_TRUE(m_splash->IsEnabled());
    EXPECT_NE(m_splash->ChangesWindow()->List().GetValue().Find("river.mod"), wxNOT_FOUND);
    test::PressKey(WXK_ESCAPE);
    ASSERT_TRUE(test::WaitUntil([&] { return !m_splash->ChangesWindow()->IsShown(); }));
    EXPECT_TRUE(m_splash->IsShown()) << "Escape in the list closes only the list";
    test::ClickAt(test::CentreOf(line));
    EXPECT_TRUE(test::WaitUntil([&] { return m_splash->ChangesWindow()->IsShown(); }));

    // Once the game was started, nothing has changed since: no line.
    NoteGameStarted(m_world.UserGameFolder());
    CLocalWorkshop again(m_workshopFolder.Path());
    Open(&again);
    ASSERT_TRUE(test::WaitUntil([&] { return Status() == kTextAllUpToDate; }, 10000)) << Status();
    test::PumpFor(100);
    EXPECT_EQ(m_splash->ChangesLine(), nullptr);
    EXPECT_EQ(m_splash->GetClientSize(), wxSize(800, 257));
}

TEST_F(SplashTest, TheHeldButtonsTooltipShowsUnderThePointer) {
    Open(nullptr);
    m_splash->EnablePlayWithMods(false);  // as the sync holds it
    const CHoverButton& button = m_splash->PlayWithModsButton();
    const wxRect below(button.GetScreenRect().GetBottomLeft() + wxPoint(-60, 4), wxSize(400, 40));
    const wxImage before = test::ScreenPixels(below);
    // Arriving, the pointer moves more than once.
    test::MoveMouseTo(test::CentreOf(button));
    test::MoveMouseTo(test::CentreOf(button) + wxPoint(2, 1));
    EXPECT_TRUE(test::WaitUntil([&] { return !test::SamePixels(before, test::ScreenPixels(below)); }, 4000));
}

TEST_F(SplashTest, AnErrorIsNotCoveredByASuccessLine) {
    m_workshopFolder.WriteFile(L"files/river.mod", "R");
    m_workshopFolder.WriteFile(L"workshop.json", R"({ "latencyMs": 50, "items": [
        { "id": 7, "fileName": "mods/river.mod", "content": "files/river.mod", "timeUpdated": 1733700000 },
        { "id": 8, "fileName": "gatehouse.sch", "content": "files/river.mod", "timeUpdated": 1733700000 } ] })");
    Open(&m_workshop);
    ASSERT_TRUE(test::WaitUntil([&] { return Status() == kTextSomeFailed; }, 10000)) << Status();
    EXPECT_TRUE(m_splash->PlayWithModsButton().IsEnabled());
    EXPECT_EQ(m_world.ReadUserFile(L"mods/river.mod"), "R");
    test::PumpFor(200);
    EXPECT_EQ(Status(), kTextSomeFailed) << "nothing comes after the final line";
}

TEST_F(SplashTest, ShowsTheDownloadProgressLine) {
    WriteWorkshop(4000, 1000);
    Open(&m_workshop);
    // The per-file line appears after ten paced refreshes (about two seconds),
    // its name isolated from the sizes after it.
    EXPECT_TRUE(test::WaitUntil(
        [&] {
            return Status().find(ShownText(L"\u2068mods/river.mod\u2069 - ").ToStdWstring()) == 0 &&
                   Status().find(L"/3.91 KB") != std::wstring::npos;
        },
        6000))
        << Status();
    EXPECT_GT(m_splash->ProgressBar().GetValue(), 0);
}

TEST_F(SplashTest, NoSubscriptionsFillTheBar) {
    m_workshopFolder.WriteFile(L"workshop.json", R"({ "items": [] })");
    Open(&m_workshop);
    ASSERT_TRUE(test::WaitUntil([&] { return Status() == kTextNoSubscriptions; }));
    EXPECT_EQ(m_splash->ProgressBar().GetValue(), m_splash->ProgressBar().GetRange());
    EXPECT_TRUE(m_splash->PlayWithModsButton().IsEnabled());
}

TEST_F(SplashTest, FailedClientStartKeepsEveryButtonEnabled) {
    Open(nullptr);
    EXPECT_EQ(Status(), kTextSteamClientFailed);
    EXPECT_TRUE(m_splash->PlayWithModsButton().IsEnabled());
    EXPECT_TRUE(m_splash->PlayButton().IsEnabled());
    EXPECT_EQ(m_splash->Sync(), nullptr);
}

TEST_F(SplashTest, BrokenLocalWorkshopIsReportedInTheStatusLine) {
    // No manifest at all.
    Open(&m_workshop);
    EXPECT_NE(Status().find(L"workshop.json"), std::wstring::npos) << Status();
    EXPECT_TRUE(m_splash->PlayWithModsButton().IsEnabled());
}

TEST_F(SplashTest, LoggedOffUserGetsTheLoginText) {
    m_workshopFolder.WriteFile(L"workshop.json", R"({ "loggedOn": false, "items": [] })");
    Open(&m_workshop);
    EXPECT_EQ(Status(), kTextSteamInitFailed);
    EXPECT_TRUE(m_splash->PlayWithModsButton().IsEnabled());
}

TEST_F(SplashTest, EnterPlaysWithoutMods) {
    Open(nullptr);
    test::PressKey(WXK_RETURN);
    EXPECT_FALSE(m_splash->IsShown());
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_OK);
    EXPECT_FALSE(m_splash->PlayWithModsChosen());
}

TEST_F(SplashTest, TabVisitsOnlyTheButtonsAndTheFocusedOneTakesEnterOrSpace) {
    Open(nullptr);
    m_splash->PlayButton().SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return m_splash->PlayButton().HasFocus(); }));
    test::ClickAt(test::CentreOf(m_splash->StatusLine()));
    EXPECT_TRUE(m_splash->PlayButton().HasFocus()) << "the status line took the focus";
    for (CHoverButton* next : {&m_splash->CloseButton(), &m_splash->PlayWithModsButton(), &m_splash->PlayButton(),
                               &m_splash->CloseButton()}) {
        test::PressKey(WXK_TAB);
        EXPECT_TRUE(test::WaitUntil([&] { return next->HasFocus(); })) << wxString(next->GetLabel());
    }
    test::PressKey(WXK_RETURN);
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_CANCEL);

    Open(nullptr);
    m_splash->PlayWithModsButton().SetFocus();
    ASSERT_TRUE(test::WaitUntil([&] { return m_splash->PlayWithModsButton().HasFocus(); }));
    test::PressKey(WXK_SPACE);
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_OK);
    EXPECT_TRUE(m_splash->PlayWithModsChosen());
}

TEST_F(SplashTest, EscapeCloses) {
    Open(nullptr);
    test::PressKey(WXK_ESCAPE);
    EXPECT_FALSE(m_splash->IsShown());
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_CANCEL);
}

TEST_F(SplashTest, TheWindowsCloseCommandCloses) {
    Open(nullptr);
    m_splash->Close();
    test::Pump();
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_CANCEL);
}

TEST_F(SplashTest, ButtonsClickedWithTheMouse) {
    Open(nullptr);
    test::ClickAt(test::CentreOf(m_splash->PlayWithModsButton()));
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_OK);
    EXPECT_TRUE(m_splash->PlayWithModsChosen());

    Open(nullptr);
    test::ClickAt(test::CentreOf(m_splash->CloseButton()));
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_CANCEL);

    Open(nullptr);
    test::ClickAt(test::CentreOf(m_splash->PlayButton()));
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_OK);
    EXPECT_FALSE(m_splash->PlayWithModsChosen());
}

TEST_F(SplashTest, PlayDuringADownloadEndsAtOnceAndWritesNothing) {
    WriteWorkshop(100000, 1000);
    Open(&m_workshop);
    ASSERT_TRUE(test::WaitUntil([&] { return m_splash->Sync() && !m_splash->Sync()->Downloads().empty(); }));
    test::ClickAt(test::CentreOf(m_splash->PlayButton()));
    EXPECT_EQ(m_splash->GetReturnCode(), wxID_OK);
    EXPECT_FALSE(m_splash->PlayWithModsChosen());
    m_splash.reset();  // drops the requests still outstanding
    test::PumpFor(200);
    EXPECT_FALSE(m_world.UserFileExists(L"mods/river.mod"));
}

TEST_F(SplashTest, DragOnTheBackgroundMovesTheWindowButNotFromAButton) {
    Open(nullptr);
    const wxPoint start = m_splash->GetScreenPosition();
    const wxPoint grip = test::ScreenPoint(*m_splash, wxPoint(400, 40));
    test::MouseDownAt(grip);
    EXPECT_TRUE(m_splash->IsDragging());
    test::MoveMouseTo(grip + wxPoint(30, 10));
    test::MoveMouseTo(grip + wxPoint(60, 20));
    test::MouseUpAt(grip + wxPoint(60, 20));
    EXPECT_FALSE(m_splash->IsDragging());
    ASSERT_TRUE(test::WaitUntil([&] { return m_splash->GetScreenPosition() == start + wxPoint(60, 20); }))
        << m_splash->GetScreenPosition().x << "," << m_splash->GetScreenPosition().y;

    const wxPoint moved = m_splash->GetScreenPosition();
    const wxPoint onButton = test::CentreOf(m_splash->PlayButton());
    test::MouseDownAt(onButton);
    EXPECT_FALSE(m_splash->IsDragging());
    test::MoveMouseTo(onButton + wxPoint(0, 150));
    test::MouseUpAt(onButton + wxPoint(0, 150));
    EXPECT_EQ(m_splash->GetScreenPosition(), moved);
    EXPECT_TRUE(m_splash->IsShown()) << "a press that leaves the button is no click";
}

// The real modal loop: Enter ends it with wxID_OK.
TEST_F(SplashTest, ModalRunEndsWithThePlayersChoice) {
    CSplashDialog splash(nullptr, m_world.Folders());
    splash.CallAfter([&] {
        test::WaitUntil([&] { return splash.IsShownOnScreen(); });
        test::MoveMouseTo(splash.ClientToScreen(wxPoint(2, 2)));
        test::PressKey(WXK_RETURN);
        // Ended, the window is hidden; wxMSW still counts it modal until
        // ShowModal returns.
        if (splash.IsShown()) {
            ADD_FAILURE() << "Enter did not end the window";
            splash.EndModal(wxID_ABORT);
        }
    });
    EXPECT_EQ(splash.ShowModal(), wxID_OK);
    EXPECT_FALSE(splash.PlayWithModsChosen());
}

}  // namespace
}  // namespace gh
