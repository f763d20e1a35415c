#include "launcher/StartupSequence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gh {
namespace {

// Records every step of the run in order, with scripted window results.
class CRecordingHost : public IStartupHost {
public:
    StartChoice startChoice = StartChoice::Play;
    ManagerChoice managerChoice = ManagerChoice::Play;
    bool gameStarts = true;
    Status saved;
    std::vector<std::wstring> steps;

    StartChoice RunStartWindow() override {
        steps.push_back(L"start window");
        return startChoice;
    }
    ManagerChoice RunModManager() override {
        steps.push_back(L"manager");
        return managerChoice;
    }
    Status SaveSelection() override {
        steps.push_back(L"save selection");
        return saved;
    }
    void ReportSaveFailure(const std::wstring& reason) override { steps.push_back(L"save failed " + reason); }
    bool StartGame(const std::wstring* parameters) override {
        steps.push_back(parameters ? L"game " + *parameters : L"game");
        return gameStarts;
    }
    void ReportStartFailure(const std::wstring& text) override { steps.push_back(L"message " + text); }
    void ShutdownSteam() override { steps.push_back(L"shutdown"); }
};

using Steps = std::vector<std::wstring>;

TEST(StartupSequenceTest, PlayStartsTheGameWithoutParametersOrSelectionFile) {
    CRecordingHost host;
    RunStartupSequence(host);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"game", L"shutdown"}));
}

TEST(StartupSequenceTest, PlayWithModsThenPlayWritesTheSelectionFirst) {
    CRecordingHost host;
    host.startChoice = StartChoice::PlayWithMods;
    RunStartupSequence(host);
    EXPECT_EQ(host.steps,
              (Steps{L"start window", L"manager", L"save selection", L"game MODSCHEME=GATEHOUSE.SCH", L"shutdown"}));
}

TEST(StartupSequenceTest, ASelectionFileThatCannotBeWrittenStartsNoGame) {
    CRecordingHost host;
    host.startChoice = StartChoice::PlayWithMods;
    host.saved = Status(StatusKind::NoSpace, L"No space left on device");
    RunStartupSequence(host);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"manager", L"save selection", L"save failed No space left on device",
                                 L"shutdown"}));
}

TEST(StartupSequenceTest, ClosingTheManagerStartsNothing) {
    CRecordingHost host;
    host.startChoice = StartChoice::PlayWithMods;
    host.managerChoice = ManagerChoice::Close;
    RunStartupSequence(host);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"manager", L"shutdown"}));
}

TEST(StartupSequenceTest, ClosingTheStartWindowLeavesSteamAlone) {
    CRecordingHost host;
    host.startChoice = StartChoice::Close;
    RunStartupSequence(host);
    EXPECT_EQ(host.steps, (Steps{L"start window"}));
}

TEST(StartupSequenceTest, AnUnexpectedStartWindowResultShutsSteamDown) {
    CRecordingHost host;
    host.startChoice = StartChoice::Unexpected;
    RunStartupSequence(host);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"shutdown"}));
}

TEST(StartupSequenceTest, AFailedGameStartIsReportedOnceThenSteamShutsDown) {
    CRecordingHost host;
    host.gameStarts = false;
    host.startChoice = StartChoice::PlayWithMods;
    RunStartupSequence(host);
    EXPECT_EQ(host.steps, (Steps{L"start window", L"manager", L"save selection", L"game MODSCHEME=GATEHOUSE.SCH",
                                 L"message Unable to start program", L"shutdown"}));
}

}  // namespace
}  // namespace gh
