// The windowed start-up sequence with the real windows, the local Workshop
// and the stand-in game as the runner, which records how it was started.
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "GuiTest.h"
#include "platform/Environment.h"
#include "platform/FaultInjection.h"
#include "support/CGameWorld.h"
#include "support/TempFolder.h"
#include "ui/CGatehouseApp.h"
#include "workshop/WorkshopText.h"

namespace gh {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_world.AddMod({L"Alpha", 101, 1});
        m_world.AddMod({L"Bravo", 102, 1});
        m_workshop.WriteFile(L"workshop.json", R"({ "latencyMs": 100, "items": [] })");
        ASSERT_TRUE(platform::SetEnvironmentText(L"GATEHOUSE_STANDIN_RECORD", RecordPath()));
        m_options.workshop = m_workshop.Path();
        m_options.runner = wxString::FromUTF8(GH_STANDIN_GAME).ToStdWstring();
        MakeHost(m_world);
    }

    void MakeHost(const test::CGameWorld& world) {
        m_host = std::make_unique<CWindowedStartupHost>(m_options, world.Folders());
        m_host->failurePresenter = [this](const std::wstring& text, const std::wstring& caption) {
            m_failures.push_back(text + L"|" + caption);
        };
    }

    void TearDown() override {
        m_host.reset();
        platform::SetEnvironmentText(L"GATEHOUSE_STANDIN_RECORD", std::nullopt);
    }

    std::wstring RecordPath() const { return m_records / L"record.txt"; }

    // What the stand-in recorded, or empty when it was not started in time.
    // The record is never empty, so the wait lasts until it reads whole: under
    // Wine a read straight after the stand-in's rename has come back empty.
    // The default is generous, as the first program started in a Wine prefix
    // can take seconds to come up on a loaded machine.
    std::string WaitForRecord(int timeoutMs = 30000) {
        std::string record;
        test::WaitUntil(
            [&] {
                record = m_records.Exists(L"record.txt") ? m_records.ReadFile(L"record.txt") : std::string();
                return !record.empty();
            },
            timeoutMs);
        return record;
    }

    void Run() { RunStartupSequence(*m_host); }

    // Clicks a window's button once the window is on screen.
    static void ClickWhenShown(wxTopLevelWindow& window, wxWindow& button) {
        test::WaitUntil([&] { return window.IsShownOnScreen(); });
        test::PumpFor(50);
        test::ClickAt(test::CentreOf(button));
    }

    test::CGameWorld m_world;
    test::TempFolder m_workshop;
    test::TempFolder m_records;
    LauncherOptions m_options;
    std::unique_ptr<CWindowedStartupHost> m_host;
    std::vector<std::wstring> m_failures;
};

TEST_F(LauncherTest, PlayStartsTheGameWithoutParameterAndWritesNoSelection) {
    m_host->onStartWindowOpen = [](CSplashDialog& splash) { ClickWhenShown(splash, splash.PlayButton()); };
    Run();
    const std::string record = WaitForRecord();
    EXPECT_THAT(record, HasSubstr("started with 1 argument\n"));
    EXPECT_THAT(record, HasSubstr("Emberwake2.exe"));
    EXPECT_FALSE(m_world.UserFileExists(L"gatehouse.sch"));
    EXPECT_TRUE(m_failures.empty());
}

TEST_F(LauncherTest, PlayWithModsWritesTheSelectionThenStartsTheGameWithIt) {
    m_host->onStartWindowOpen = [](CSplashDialog& splash) {
        // Play with mods waits for the sync to end.
        test::WaitUntil([&] { return splash.PlayWithModsButton().IsEnabled(); });
        EXPECT_EQ(splash.StatusLine().GetValue().ToStdWstring(), kTextNoSubscriptions);
        ClickWhenShown(splash, splash.PlayWithModsButton());
    };
    m_host->onManagerOpen = [](CGatehouseDlg& manager) {
        test::WaitUntil([&] { return manager.IsShownOnScreen(); });
        manager.ModList().ClickCheckBox(1);
        ClickWhenShown(manager, manager.PlayButton());
    };
    Run();
    const std::string record = WaitForRecord();
    EXPECT_THAT(record, HasSubstr("argument 2: MODSCHEME=GATEHOUSE.SCH"));
    EXPECT_EQ(m_world.ReadUserFile(L"gatehouse.sch"), test::SelectionFileBytes({102}));
}

TEST_F(LauncherTest, ASelectionThatCannotBeWrittenIsReportedAndStartsNoGame) {
    m_world.WriteUserFile(L"gatehouse.sch", test::SelectionFileBytes({101}));
    m_world.WriteUserFile(L"restart.txt", test::RestartListBytes({102}));
    m_host->onStartWindowOpen = [](CSplashDialog& splash) {
        test::WaitUntil([&] { return splash.PlayWithModsButton().IsEnabled(); });
        ClickWhenShown(splash, splash.PlayWithModsButton());
    };
    m_host->onManagerOpen = [](CGatehouseDlg& manager) { ClickWhenShown(manager, manager.PlayButton()); };
    {
        platform::CScopedFileFault fault(platform::FileOperation::Rename, 1);
        Run();
        EXPECT_TRUE(fault.Triggered());
    }
    ASSERT_EQ(m_failures.size(), 1u);
    EXPECT_THAT(m_failures[0], ::testing::StartsWith(L"Unable to save file: gatehouse.sch\n"));
    EXPECT_TRUE(WaitForRecord(500).empty());
    // A second start finds everything as it was.
    EXPECT_EQ(m_world.ReadUserFile(L"gatehouse.sch"), test::SelectionFileBytes({101}));
    EXPECT_EQ(m_world.ReadUserFile(L"restart.txt"), test::RestartListBytes({102}));
}

TEST_F(LauncherTest, ClosingTheManagerStartsNothing) {
    m_world.WriteUserFile(L"restart.txt", test::RestartListBytes({102}));
    m_host->onStartWindowOpen = [](CSplashDialog& splash) {
        test::WaitUntil([&] { return splash.PlayWithModsButton().IsEnabled(); });
        ClickWhenShown(splash, splash.PlayWithModsButton());
    };
    m_host->onManagerOpen = [](CGatehouseDlg& manager) {
        test::WaitUntil([&] { return manager.IsShownOnScreen(); });
        manager.ModList().ClickCheckBox(0);
        test::MoveMouseTo(manager.ClientToScreen(wxPoint(2, 2)));
        test::PressKey(WXK_ESCAPE);
    };
    Run();
    EXPECT_TRUE(WaitForRecord(500).empty());
    EXPECT_FALSE(m_world.UserFileExists(L"gatehouse.sch"));
    EXPECT_FALSE(m_world.UserFileExists(L"restart.txt")) << "a restart list the player dismissed is used up";
}

TEST_F(LauncherTest, ClosingTheStartWindowStartsNothing) {
    m_host->onStartWindowOpen = [](CSplashDialog& splash) { ClickWhenShown(splash, splash.CloseButton()); };
    Run();
    EXPECT_TRUE(WaitForRecord(500).empty());
    EXPECT_EQ(m_host->Manager(), nullptr);
}

TEST_F(LauncherTest, AGameThatCannotStartIsReportedOnceWithAnEmptyCaption) {
    test::CGameWorld noGame(false);
    MakeHost(noGame);
    m_host->onStartWindowOpen = [](CSplashDialog& splash) { ClickWhenShown(splash, splash.PlayButton()); };
    Run();
    EXPECT_THAT(m_failures, ::testing::ElementsAre(L"Unable to start program|"));
    EXPECT_TRUE(WaitForRecord(500).empty());
}

TEST(LauncherResultTest, WindowResultsMapToTheSequencesChoices) {
    EXPECT_EQ(StartChoiceFor(wxID_OK, false), StartChoice::Play);
    EXPECT_EQ(StartChoiceFor(wxID_OK, true), StartChoice::PlayWithMods);
    EXPECT_EQ(StartChoiceFor(wxID_CANCEL, true), StartChoice::Close);
    EXPECT_EQ(StartChoiceFor(-1, false), StartChoice::Unexpected);
    EXPECT_EQ(ManagerChoiceFor(wxID_OK), ManagerChoice::Play);
    EXPECT_EQ(ManagerChoiceFor(wxID_CANCEL), ManagerChoice::Close);
}

}  // namespace
}  // namespace gh
