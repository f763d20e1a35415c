// Every command checks that its output reached standard output: the
// executable as a child process, writing to a full device, to a closed
// descriptor and into a pipe whose reader is gone.
#include "CliFixture.h"

#include "platform/Unicode.h"

#include <gmock/gmock.h>

#include <csignal>

namespace gh::test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;

class OutputTest : public CliFixture {
protected:
    void SetUp() override {
        WriteGame();
        for (int i = 0; i < 3; ++i) InstallMod(L"mod" + std::to_wstring(i) + L".mod", Mod(L"Mod", 100 + i));
        m_temp.WriteFile(L"workshop/workshop.json", R"({"items": []})");
    }

    ChildResult Run(std::vector<std::wstring> args, ChildOutput output) {
        args.insert(args.begin(), {L"--documents", m_temp / L"documents", L"--game-folder", m_temp / L"game"});
        return RunChildWithOutput(BuiltProgram(GH_GATEHOUSE_EXE), args, output);
    }
};

TEST_F(OutputTest, OutputThatDoesNotArriveFailsEveryCommandWithItsReason) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no full device and passes no closed standard handle";
#else
    const std::wstring runner = CopyStandIn(m_temp, L"runner/standin");
    const std::vector<std::vector<std::wstring> > commands{
        {L"--help"},
        {L"--version"},
        {L"list"},
        {L"list", L"--json"},
        {L"inspect", m_temp / User(L"mods/mod0.mod")},
        {L"inspect", L"--json", m_temp / User(L"mods/mod0.mod")},
        {L"--workshop", m_temp / L"workshop", L"sync"},
        {L"--runner", runner, L"play"},
    };
    for (const auto& [output, reason] : {std::pair{ChildOutput::FullDevice, "No space left on device"},
                                         std::pair{ChildOutput::Closed, "standard output was closed"}}) {
        for (const auto& command : commands) {
            const ChildResult run = Run(command, output);
            const std::string context = WideToUtf8(command.front()) + " " + reason;
            EXPECT_EQ(run.exitCode, 1) << context;
            EXPECT_EQ(run.err, std::string("gatehouse: could not write the output: ") + reason + "\n") << context;
        }
        // A command-line error writes only to standard error, which works.
        const ChildResult usage = Run({L"--bogus"}, output);
        EXPECT_EQ(usage.exitCode, 2);
        EXPECT_THAT(usage.err, HasSubstr("unknown option --bogus"));
    }
#endif
}

TEST_F(OutputTest, ABrokenPipeEndsTheCommandQuietly) {
    const ChildResult run = Run({L"list", L"--json"}, ChildOutput::ClosedPipe);
#ifdef _WIN32
    EXPECT_EQ(run.exitCode, 1);
#else
    EXPECT_EQ(run.exitCode, 128 + SIGPIPE);
#endif
    EXPECT_THAT(run.err, IsEmpty());
}

}  // namespace
}  // namespace gh::test
