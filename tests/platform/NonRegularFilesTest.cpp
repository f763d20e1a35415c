// Whatever a path names, a reader of outside files gets a regular file or a
// plain failure, at once: a pipe or a device where a selection set, the
// Workshop manifest or a mod is expected must not stall the program.
#include "platform/AtomicFile.h"
#include "platform/Environment.h"
#include "platform/FileSystem.h"
#include "platform/FileVersion.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/InputFolder.h"
#include "platform/Library.h"
#include "platform/Process.h"
#include "platform/SystemFolders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/Unicode.h"
#include "support/ForkedChild.h"

#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gh::platform {
namespace {

using test::TempFolder;

// Every way the program reads a file; each must refuse `path`. Returns the
// number of the first reader that did not, or 0.
int FirstReaderThatAccepts(const std::wstring& path) {
    CInputFile file;
    if (file.Open(path)) return 1;
    char start[64];
    std::size_t got = 99;
    if (file.OpenAndReadStart(path, start, sizeof start, got) || got != 0) return 2;
    if (ReadWholeFile(path, 1 << 20)) return 3;
    std::uint16_t parts[4];
    if (ReadFileVersion(path, parts)) return 4;
    return 0;
}

// Opens every entry of `folder` the way a scan does; returns 1 + the index
// of the first entry other than "." and ".." that opened, or 0.
std::size_t FirstEntryThatOpens(const std::wstring& folder) {
    CInputFolder open;
    std::vector<FolderEntry> entries;
    if (!open.Open(folder) || !open.List(entries)) return 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        CInputFile file;
        char start[64];
        std::size_t got = 99;
        if (entries[i].name == L"." || entries[i].name == L"..") continue;
        if (open.OpenEntryAndReadStart(i, file, start, sizeof start, got) || got != 0) return i + 1;
    }
    return 0;
}

#ifndef _WIN32

TEST(NonRegularFilesTest, PipesAndDevicesAreRefusedWithoutBlocking) {
    TempFolder dir;
    const std::string fifo = WideToUtf8(dir / L"gatehouse.sch");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);

    // In a child, so that a reader that blocks shows as a failure, not a hang.
    const int result = test::RunInChild(
        [&] {
            // By the canonical upper-case path too, which goes through the name matching.
            for (const std::wstring& path :
                 {dir / L"gatehouse.sch", dir / L"GATEHOUSE.SCH", std::wstring(L"/dev/zero")})
                if (int reader = FirstReaderThatAccepts(path)) return reader;
            // A scan opens what its folder lists by the listing's names.
            if (FirstEntryThatOpens(dir.Path()) != 0) return 5;
            // A pipe put where the listing saw a regular file is read for
            // what it holds, nothing, and does not wait for a writer.
            {
                dir.MakeFolder(L"swapped");
                dir.WriteFile(L"swapped/a.mod", "header");
                CInputFolder open;
                std::vector<FolderEntry> entries;
                if (!open.Open(dir / L"swapped") || !open.List(entries)) return 7;
                const auto entry = std::find_if(entries.begin(), entries.end(),
                                                [](const FolderEntry& e) { return e.name == L"a.mod"; });
                if (entry == entries.end()) return 7;
                const std::string swapped = WideToUtf8(dir / L"swapped/a.mod");
                if (::unlink(swapped.c_str()) != 0 || ::mkfifo(swapped.c_str(), 0644) != 0) return 8;
                CInputFile file;
                char start[64];
                std::size_t got = 99;
                open.OpenEntryAndReadStart(static_cast<std::size_t>(entry - entries.begin()), file, start, sizeof start,
                                           got);
                if (got != 0) return 9;
            }
            // A pipe at a name to be replaced is refused, and looking at it waits for no writer.
            if (WriteFileAtomically(dir / L"GATEHOUSE.SCH", "x", 1)) return 6;
            // The game executable and the Steam client library.
            if (StartProgram(dir / L"gatehouse.sch", nullptr)) return 10;
            CSharedLibrary library;
            if (library.Open(dir / L"gatehouse.sch")) return 11;
            // The folder list of the desktop, read from the user's settings.
            const std::wstring settings = dir.Path() + L"config";
            CreateFolders(settings);
            ::mkfifo(WideToUtf8(settings + L"/user-dirs.dirs").c_str(), 0644);
            SetEnvironmentText(L"XDG_CONFIG_HOME", settings);
            SetEnvironmentText(L"XDG_DOCUMENTS_DIR", std::nullopt);
            SetEnvironmentText(L"HOME", L"/home/player");
            if (DocumentsFolder() != L"/home/player/Documents") return 12;
            return 0;
        },
        10);
    EXPECT_EQ(result, 0) << "a result above 128 is the signal that ended a blocked reader (14: its time ran out)";
}

#else

TEST(NonRegularFilesTest, DevicesAndPipesAreRefused) {
    EXPECT_EQ(FirstReaderThatAccepts(L"NUL"), 0);
    EXPECT_EQ(FirstReaderThatAccepts(L"\\\\.\\NUL"), 0);
    // A pipe with a server that never writes: reading it would wait for ever.
    const std::wstring name = L"\\\\.\\pipe\\gatehouse-test-" + std::to_wstring(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     PIPE_UNLIMITED_INSTANCES, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FirstReaderThatAccepts(name), 0);
    CloseHandle(server);
}

#endif

TEST(NonRegularFilesTest, FoldersAreRefusedAndRegularFilesStillRead) {
    TempFolder dir;
    dir.MakeFolder(L"sets");
    EXPECT_EQ(FirstReaderThatAccepts(dir / L"sets"), 0);
    EXPECT_EQ(FirstEntryThatOpens(dir.Path()), 0u);
    dir.WriteFile(L"sets/a.sch", "content");
    CInputFile file;
    char start[16] = {};
    std::size_t got = 0;
    ASSERT_TRUE(file.OpenAndReadStart(dir / L"SETS/A.SCH", start, sizeof start, got));
    EXPECT_EQ(std::string(start, got), "content");
    EXPECT_EQ(ReadWholeFile(dir / L"sets/a.sch", 100), std::optional<std::string>("content"));
}

}  // namespace
}  // namespace gh::platform
