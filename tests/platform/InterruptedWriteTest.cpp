// A writer ended from outside in the middle of replacing a file leaves the
// old file whole and nothing beside it: each writer runs in a process of its
// own, which is ended while its temporary file is half written.
#include "platform/AtomicFile.h"
#include "platform/FolderListing.h"
#include "platform/TemporaryFileName.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cstdlib>
#else
#include "support/ForkedChild.h"

#include <signal.h>
#include <unistd.h>
#endif

namespace gh::platform {
namespace {

using test::TempFolder;

#ifndef _WIN32

// The child's part: opens the replacement, writes a megabyte of it, says so
// and waits to be ended. Exits 0 if it is let go on and commits.
int HalfWrite(const std::wstring& target, bool named, test::ForkedChild::Channel& channel) {
    detail::UseNamedTemporaryFilesForTesting(named);
    CAtomicFile file;
    const std::string chunk(1 << 16, 'n');
    if (!file.Open(target)) return test::kChildCannotSetUp;
    for (int i = 0; i < 16; ++i)
        if (!file.Write(chunk.data(), chunk.size())) return test::kChildCannotSetUp;
    channel.Ready();
    channel.WaitToContinue();
    return file.Write("end", 3) && file.Commit() ? 0 : 3;
}

TEST(InterruptedWriteTest, AWriterEndedBySignalLeavesOnlyTheIntactTarget) {
    struct Case {
        int signal;
        bool named;  // the way where no unnamed file can be had
    };
    for (const Case c : {Case{SIGTERM, false}, Case{SIGINT, false}, Case{SIGKILL, false}, Case{SIGTERM, true},
                         Case{SIGINT, true}, Case{SIGHUP, true}}) {
        SCOPED_TRACE(testing::Message() << "signal " << c.signal << (c.named ? ", named file" : ""));
        TempFolder dir;
        dir.WriteFile(L"big.mod", "old");
        test::ForkedChild writer(
            [&](test::ForkedChild::Channel& channel) { return HalfWrite(dir / L"big.mod", c.named, channel); });
        ASSERT_TRUE(writer.WaitUntilReady());
        writer.Signal(c.signal);
        EXPECT_EQ(writer.Wait(), 128 + c.signal) << "ended as the signal ends a process";
        EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"big.mod"});
        EXPECT_EQ(dir.ReadFile(L"big.mod"), "old");
    }
}

TEST(InterruptedWriteTest, TheCleanupHandsTheSignalToAHandlerThatWasThereBefore) {
    struct sigaction current {};
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &current), 0);
    if (current.sa_handler != SIG_DFL) GTEST_SKIP() << "this process handles SIGTERM already";
    TempFolder dir;
    dir.WriteFile(L"big.mod", "old");
    test::ForkedChild writer([&](test::ForkedChild::Channel& channel) {
        // As a library the process loaded might: its own way to end.
        struct sigaction own {};
        own.sa_handler = [](int) { _exit(42); };
        sigaction(SIGTERM, &own, nullptr);
        return HalfWrite(dir / L"big.mod", true, channel);
    });
    ASSERT_TRUE(writer.WaitUntilReady());
    writer.Signal(SIGTERM);
    EXPECT_EQ(writer.Wait(), 42);
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"big.mod"});
}

TEST(InterruptedWriteTest, AnIgnoredSignalLeavesTheWriterItsFile) {
    TempFolder dir;
    dir.WriteFile(L"big.mod", "old");
    test::ForkedChild writer([&](test::ForkedChild::Channel& channel) {
        signal(SIGHUP, SIG_IGN);  // as nohup starts a program
        return HalfWrite(dir / L"big.mod", true, channel);
    });
    ASSERT_TRUE(writer.WaitUntilReady());
    writer.Signal(SIGHUP);
    writer.Continue();
    EXPECT_EQ(writer.Wait(), 0);
    EXPECT_EQ(dir.ReadFile(L"big.mod"), std::string(1 << 20, 'n') + "end");
    EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"big.mod"});
}

#else

constexpr const wchar_t* kFolderVariable = L"GATEHOUSE_HALF_WRITE_FOLDER";

// This program, started again by the test below as its writer: before any
// test runs, it writes a megabyte of a replacement of big.mod in the folder
// it is given (with its trailing separator), makes the file "ready" there
// and waits to be ended.
const bool g_halfWriter = [] {
    wchar_t folder[1024];
    const DWORD n = GetEnvironmentVariableW(kFolderVariable, folder, 1024);
    if (n == 0 || n >= 1024) return false;
    CAtomicFile file;
    const std::string chunk(1 << 20, 'n');
    if (!file.Open(std::wstring(folder) + L"big.mod") || !file.Write(chunk.data(), chunk.size()) ||
        !WriteFileAtomically(std::wstring(folder) + L"ready", "r", 1))
        ExitProcess(77);
    Sleep(60000);
    ExitProcess(3);
}();

TEST(InterruptedWriteTest, AWriterEndedByTaskkillLeavesOnlyTheIntactTarget) {
    TempFolder dir;
    dir.WriteFile(L"big.mod", "old");
    wchar_t self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=-*";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION writer{};
    SetEnvironmentVariableW(kFolderVariable, dir.Path().c_str());
    const BOOL started =
        CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &writer);
    SetEnvironmentVariableW(kFolderVariable, nullptr);
    ASSERT_TRUE(started);
    for (int i = 0; i < 1000 && !dir.Exists(L"ready") && WaitForSingleObject(writer.hProcess, 20) == WAIT_TIMEOUT;
         ++i) {
    }
    const bool ready = dir.Exists(L"ready");
    if (ready) {
        EXPECT_EQ(_wsystem((L"taskkill /F /PID " + std::to_wstring(writer.dwProcessId)).c_str()), 0);
    }
    const bool ended = WaitForSingleObject(writer.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(writer.hProcess, 9);
    CloseHandle(writer.hThread);
    CloseHandle(writer.hProcess);
    ASSERT_TRUE(ready && ended) << "the writer did not get going, or did not end";
    EXPECT_EQ(dir.Names(), (std::vector<std::wstring>{L"big.mod", L"ready"}));
    EXPECT_EQ(dir.ReadFile(L"big.mod"), "old");
}

#endif

}  // namespace
}  // namespace gh::platform
