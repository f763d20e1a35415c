#include "app/StartupSequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gh {
namespace {

// Records every step of the run in order, with scripted window results.
class RecordingHost : public IStartupHost {
public:
    int startResult = kDialogOk;
    bool startSetsPlayWithMods = false;
    int managerResult = kDialogOk;
    bool gameStarts = true;
    std::vector<std::wstring> steps;

    int RunStartWindow(bool& playWithMods) override {
        steps.push_back(L"start window");
        if (startResult == kDialogOk) playWithMods = startSetsPlayWithMods;
        return startResult;
    }
    int RunModManager() override {
        steps.push_back(L"manager");
        return managerResult;
    }
    void SaveSelection() override { steps.push_back(L"save selection"); }
    bool StartGame(const std::wstring* parameters) override {
        steps.push_back(parameters ? L"game " + *parameters : L"game");
        return gameStarts;
    }
    void ReportStartFailure(const std::wstring& text) override { steps.push_back(L"message " + text); }
    void ShutdownSteam() override { steps.push_back(L"shutdown"); }
};

using Steps = std::vector<std::wstring>;

TEST(StartupSequenceTest, PlayStartsTheGameWithoutParametersOrSelectionFile) {
    RecordingHost host;
    bool playWithMods = true;  // a stale flag must not matter once play set it
    RunStartupSequence(host, playWithMods);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"game", L"shutdown"}));
}

TEST(StartupSequenceTest, PlayWithModsThenPlayWritesTheSelectionFirst) {
    RecordingHost host;
    host.startSetsPlayWithMods = true;
    bool playWithMods = false;
    RunStartupSequence(host, playWithMods);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"manager", L"save selection", L"game MODSCHEME=GATEHOUSE.SCH",
                                 L"shutdown"}));
}

TEST(StartupSequenceTest, ClosingTheManagerStartsNothing) {
    RecordingHost host;
    host.startSetsPlayWithMods = true;
    host.managerResult = kDialogCancel;
    bool playWithMods = false;
    RunStartupSequence(host, playWithMods);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"manager", L"shutdown"}));
}

TEST(StartupSequenceTest, ClosingTheStartWindowLeavesSteamAlone) {
    RecordingHost host;
    host.startResult = kDialogCancel;
    bool playWithMods = false;
    RunStartupSequence(host, playWithMods);
    EXPECT_EQ(host.steps, (Steps{L"start window"}));
}

TEST(StartupSequenceTest, AnUnexpectedStartWindowResultShutsSteamDown) {
    RecordingHost host;
    host.startResult = -1;
    bool playWithMods = false;
    RunStartupSequence(host, playWithMods);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"shutdown"}));
}

TEST(StartupSequenceTest, AFailedGameStartIsReportedOnceThenSteamShutsDown) {
    RecordingHost host;
    host.gameStarts = false;
    host.startSetsPlayWithMods = true;
    bool playWithMods = false;
    RunStartupSequence(host, playWithMods);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"manager", L"save selection", L"game MODSCHEME=GATEHOUSE.SCH",
                                 L"message Unable to start program", L"shutdown"}));
}

}  // namespace
}  // namespace gh
