// What an interrupted replacement leaves is removed later, and nothing else:
// never a file a running writer still owns, never a link, a folder or a
// file of another shape, never anything outside the one folder.
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/TemporaryFileName.h"
#include "platform/TemporaryFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/Unicode.h"
#include "support/ForkedChild.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gh::platform {
namespace {

using test::TempFolder;

void MakeStale(const std::wstring& path) {
    ASSERT_TRUE(SetFileModificationTime(path, static_cast<std::int64_t>(std::time(nullptr)) - 3600));
}

TEST(StaleTemporaryFilesTest, OnlyOldFilesOfTheTemporaryShapeInTheFolderItselfAreRemoved) {
    TempFolder dir;
    const std::wstring stale = L".gatehouse-ffffffffffff.tmp";
    for (const std::wstring& name :
         {stale, std::wstring(L".gatehouse-abcdefabcdef"), std::wstring(L"x.tmp"),
          std::wstring(L".gatehouse-short.tmp"), std::wstring(L"sub/.gatehouse-dddddddddddd.tmp")}) {
        dir.WriteFile(name, "left over");
        MakeStale(dir / name);
    }
    dir.WriteFile(L".gatehouse-eeeeeeeeeeee.tmp", "just made");  // its writer may not hold it yet
    dir.MakeFolder(L".gatehouse-aaaaaaaaaaaa.tmp");
    dir.WriteFile(L"mod.mod", "a mod");

    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), 1u);
    EXPECT_FALSE(dir.Exists(stale));
    for (const wchar_t* kept :
         {L".gatehouse-abcdefabcdef", L"x.tmp", L".gatehouse-short.tmp", L"sub/.gatehouse-dddddddddddd.tmp",
          L".gatehouse-eeeeeeeeeeee.tmp", L".gatehouse-aaaaaaaaaaaa.tmp", L"mod.mod"})
        EXPECT_TRUE(dir.Exists(kept)) << "removed " << testing::PrintToString(std::wstring(kept));
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir / L"missing"), 0u);
}

#ifndef _WIN32

TEST(StaleTemporaryFilesTest, AWriterKilledMidWriteLeavesAFileThatIsRemovedOnceStale) {
    TempFolder dir;
    dir.WriteFile(L"big.mod", "old");
    test::ForkedChild writer([&](test::ForkedChild::Channel& channel) {
        // As an older launcher wrote, or where no unnamed file can be had:
        // kill -9 leaves the named file behind.
        detail::UseNamedTemporaryFilesForTesting(true);
        CAtomicFile file;
        const std::string chunk(1 << 16, 'x');
        if (!file.Open(dir / L"big.mod")) return 1;
        for (int i = 0; i < 16; ++i)
            if (!file.Write(chunk.data(), chunk.size())) return 2;
        channel.Ready();
        channel.WaitToContinue();  // killed here, in the middle of the install
        return 3;
    });
    ASSERT_TRUE(writer.WaitUntilReady());
    writer.Kill();
    ASSERT_EQ(writer.Wait(), 128 + SIGKILL);

    const auto left = dir.Names(L".gatehouse-*.tmp");
    ASSERT_EQ(left.size(), 1u) << "the killed writer left no temporary file: nothing to test";
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), 0u) << "a file just made may belong to a writer yet to lock it";
    MakeStale(dir / left[0]);
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), 1u);
    EXPECT_TRUE(dir.Names(L".gatehouse-*.tmp").empty());
    EXPECT_EQ(dir.ReadFile(L"big.mod"), "old");
}

TEST(StaleTemporaryFilesTest, ALiveWritersFileStaysHoweverOldItLooks) {
    TempFolder dir;
    test::ForkedChild writer([&](test::ForkedChild::Channel& channel) {
        detail::UseNamedTemporaryFilesForTesting(true);
        CAtomicFile file;
        if (!file.Open(dir / L"gatehouse.sch") || !file.Write("new ", 4)) return 1;
        channel.Ready();
        if (!channel.WaitToContinue()) return 2;
        return file.Write("set", 3) && file.Commit() ? 0 : 3;
    });
    ASSERT_TRUE(writer.WaitUntilReady());
    const auto left = dir.Names(L".gatehouse-*.tmp");
    ASSERT_EQ(left.size(), 1u);
    MakeStale(dir / left[0]);
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), 0u);
    EXPECT_TRUE(dir.Exists(left[0]));
    writer.Continue();
    EXPECT_EQ(writer.Wait(), 0) << "the writer lost its temporary file";
    EXPECT_EQ(dir.ReadFile(L"gatehouse.sch"), "new set");
}

TEST(StaleTemporaryFilesTest, LinksAndPipesOfTheTemporaryShapeAreLeftAlone) {
    TempFolder dir;
    dir.WriteFile(L"elsewhere/victim.mod", "keep");
    MakeStale(dir / L"elsewhere/victim.mod");
    const std::string link = WideToUtf8(dir / L".gatehouse-bbbbbbbbbbbb.tmp");
    ASSERT_EQ(symlink(WideToUtf8(dir / L"elsewhere/victim.mod").c_str(), link.c_str()), 0);
    ASSERT_EQ(mkfifo(WideToUtf8(dir / L".gatehouse-cccccccccccc.tmp").c_str(), 0644), 0);
    MakeStale(dir / L".gatehouse-cccccccccccc.tmp");

    EXPECT_EQ(test::RunInChild([&] { return static_cast<int>(RemoveStaleTemporaryFiles(dir.Path())); }, 10), 0);
    struct stat st {};
    EXPECT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(dir.ReadFile(L"elsewhere/victim.mod"), "keep");
    EXPECT_TRUE(dir.Exists(L".gatehouse-cccccccccccc.tmp"));
}

#else

TEST(StaleTemporaryFilesTest, AFileAWriterStillHoldsStays) {
    TempFolder dir;
    {
        // CAtomicFile's own temporary file cannot be deleted while it is written.
        CAtomicFile file;
        ASSERT_TRUE(file.Open(dir / L"gatehouse.sch"));
        const auto left = dir.Names(L".gatehouse-*.tmp");
        ASSERT_EQ(left.size(), 1u);
        EXPECT_FALSE(DeleteFileAt(dir / left[0]));
        EXPECT_TRUE(file.Write("x", 1) && file.Commit());
    }
    // A stale one held open as the writer holds its own: sharing nothing.
    const std::wstring name = L".gatehouse-ffffffffffff.tmp";
    dir.WriteFile(name, "left over");
    MakeStale(dir / name);
    HANDLE holder =
        CreateFileW((dir / name).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), 0u);
    CloseHandle(holder);
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), 1u);
    EXPECT_TRUE(dir.Names(L".gatehouse-*.tmp").empty());
}

#endif

}  // namespace
}  // namespace gh::platform
