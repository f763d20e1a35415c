// A failure at any single step of replacing a file or making folders leaves
// the old state as it was and is reported: the seam makes each call of each
// file operation fail in turn. The one step after the change itself, making
// the folder's new entries last (POSIX), leaves the complete new state and
// is reported all the same.
#include "platform/AtomicFile.h"
#include "platform/FaultInjection.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "support/FaultSteps.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

namespace gh::platform {
namespace {

using test::FailEveryStep;
using test::NameOf;
using test::TempFolder;

const std::string kOld("old \0 content \xFF\n", 17);

TEST(FileFaultsTest, ReplacingAFileLeavesTheOldOneWholeAtEveryFailure) {
    TempFolder dir;
    const std::wstring target = dir / L"gatehouse.sch";
    const auto [reached, wrong] = FailEveryStep(
        [&] { dir.WriteFile(L"gatehouse.sch", kOld); },
        [&] {
            CAtomicFile file;
            return file.Open(target) && file.Write("new ", 4) && file.Write("content ", 8) && file.Write("here", 4) &&
                   file.Commit();
        },
        [&](FileOperation failed, std::uint32_t nth) {
            SCOPED_TRACE(testing::Message() << NameOf(failed) << " call " << nth << " failed");
            EXPECT_EQ(dir.ReadFile(L"gatehouse.sch"), failed == FileOperation::SyncFolder ? "new content here" : kOld);
            EXPECT_EQ(dir.Names(), std::vector<std::wstring>{L"gatehouse.sch"}) << "a temporary file stayed";
        });
    EXPECT_TRUE(wrong.empty()) << wrong.front();
    EXPECT_EQ(dir.ReadFile(L"gatehouse.sch"), "new content here");
    for (FileOperation step :
         {FileOperation::OpenForWrite, FileOperation::Write, FileOperation::Flush, FileOperation::Rename})
        EXPECT_TRUE(reached.count(step)) << NameOf(step) << " was never called";
#ifndef _WIN32
    EXPECT_TRUE(reached.count(FileOperation::SyncFolder)) << "the rename was not made to last";
#endif
}

TEST(FileFaultsTest, WritingANewFileLeavesNothingAtEveryFailure) {
    TempFolder dir;
    const auto result = FailEveryStep([&] { std::filesystem::remove(std::filesystem::path(dir / L"new.mod")); },
                                      [&] { return WriteFileAtomically(dir / L"new.mod", "fresh", 5).IsOk(); },
                                      [&](FileOperation failed, std::uint32_t) {
                                          const auto expected = failed == FileOperation::SyncFolder
                                                                    ? std::vector<std::wstring>{L"new.mod"}
                                                                    : std::vector<std::wstring>{};
                                          EXPECT_EQ(dir.Names(), expected) << "a temporary or partial file stayed";
                                          if (failed == FileOperation::SyncFolder) {
                                              EXPECT_EQ(dir.ReadFile(L"new.mod"), "fresh");
                                          }
                                      });
    EXPECT_TRUE(result.wrongAnswers.empty()) << result.wrongAnswers.front();
    EXPECT_EQ(dir.ReadFile(L"new.mod"), "fresh");
}

TEST(FileFaultsTest, CreatingFoldersReportsEveryFailure) {
    TempFolder dir;
    dir.MakeFolder(L"mods");
    const auto [reached, wrong] =
        FailEveryStep([&] { std::filesystem::remove_all(std::filesystem::path(dir / L"mods/a")); },
                      [&] { return CreateFolders(dir / L"mods/a/b/c"); },
                      [&](FileOperation failed, std::uint32_t) {
                          EXPECT_EQ(dir.Exists(L"mods/a/b/c"), failed == FileOperation::SyncFolder);
                          EXPECT_TRUE(dir.Exists(L"mods"));
                      });
    EXPECT_TRUE(wrong.empty()) << wrong.front();
    EXPECT_TRUE(dir.Exists(L"mods/a/b/c"));
    EXPECT_TRUE(reached.count(FileOperation::CreateFolder));
#ifndef _WIN32
    EXPECT_TRUE(reached.count(FileOperation::SyncFolder)) << "the new folders were not made to last";
#endif
    EXPECT_FALSE(reached.count(FileOperation::OpenForWrite));
}

TEST(FileFaultsTest, PlansCountCallsFailFromThenOnAndEndWithTheirGuard) {
    TempFolder dir;
    {
        CScopedFileFault fault(FileOperation::Write, 2, FaultRepeat::FromThenOn);
        CAtomicFile file;
        ASSERT_TRUE(file.Open(dir / L"f"));
        EXPECT_TRUE(file.Write("a", 1));
        EXPECT_FALSE(file.Write("b", 1));
        EXPECT_EQ(fault.Calls(), 2u);
        CAtomicFile other;
        ASSERT_TRUE(other.Open(dir / L"g"));
        EXPECT_FALSE(other.Write("c", 1)) << "every call from the second on fails";
        EXPECT_TRUE(fault.Triggered());
    }
    EXPECT_TRUE(WriteFileAtomically(dir / L"f", "x", 1)) << "the plan ended with its guard";
}

}  // namespace
}  // namespace gh::platform
