// A file is replaced only where this process may write it, and the new file
// keeps the old one's permissions.
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include "platform/Unicode.h"
#include "support/ForkedChild.h"

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace gh::platform {
namespace {

using test::TempFolder;

#ifndef _WIN32

mode_t ModeOf(const std::wstring& path) {
    struct stat st {};
    return stat(WideToUtf8(path).c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(WritePermissionTest, AnotherUsersFileIsReplacedOnlyWhereThisUserMayWriteIt) {
    if (geteuid() != 0) GTEST_SKIP() << "making a file of another user takes root";
    TempFolder dir;
    ASSERT_EQ(chmod(WideToUtf8(dir.Path()).c_str(), 0777), 0);
    dir.WriteFile(L"theirs.mod", "root's content");
    ASSERT_EQ(chmod(WideToUtf8(dir / L"theirs.mod").c_str(), 0644), 0);
    dir.WriteFile(L"open.mod", "root's content");
    ASSERT_EQ(chmod(WideToUtf8(dir / L"open.mod").c_str(), 0666), 0);

    const int result = test::RunInChild([&] {
        // Down to the unprivileged user "nobody", for whom no permission is overridden.
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) return test::kChildCannotSetUp;
        // The folder is this user's to change: a new file of its own goes in.
        if (!WriteFileAtomically(dir / L"mine.mod", "mine", 4)) return test::kChildCannotSetUp;
        if (IsReadOnlyFile(dir / L"mine.mod")) return 1;
        if (!IsReadOnlyFile(dir / L"theirs.mod")) return 2;
        CAtomicFile file;
        if (file.Open(dir / L"THEIRS.MOD")) return 3;
        if (WriteFileAtomically(dir / L"theirs.mod", "mine", 4)) return 4;
        // Another user's file that anyone may write is this user's to replace.
        if (!WriteFileAtomically(dir / L"open.mod", "mine", 4)) return 5;
        return 0;
    });
    if (result == test::kChildCannotSetUp) GTEST_SKIP() << "cannot act as the user nobody (65534) here";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(dir.ReadFile(L"theirs.mod"), "root's content");
    EXPECT_EQ(ModeOf(dir / L"theirs.mod"), 0644u);
}

TEST(WritePermissionTest, AReplacedFileKeepsItsModeAndANewFileGetsTheUsualOne) {
    TempFolder dir;
    const mode_t previous = umask(027);
    dir.WriteFile(L"private.sch", "old");
    dir.WriteFile(L"shared.sch", "old");
    dir.WriteFile(L"write-only.sch", "old");
    chmod(WideToUtf8(dir / L"private.sch").c_str(), 0600);
    chmod(WideToUtf8(dir / L"shared.sch").c_str(), 0664);
    // Replacing a file takes no permission to read it.
    chmod(WideToUtf8(dir / L"write-only.sch").c_str(), 0200);
    const bool replacedPrivate = WriteFileAtomically(dir / L"private.sch", "new", 3).IsOk();
    const bool replacedShared = WriteFileAtomically(dir / L"shared.sch", "new", 3).IsOk();
    const bool replacedWriteOnly = WriteFileAtomically(dir / L"write-only.sch", "new", 3).IsOk();
    const bool wroteNew = WriteFileAtomically(dir / L"new.sch", "new", 3).IsOk();
    umask(previous);
    ASSERT_TRUE(replacedPrivate && replacedShared && replacedWriteOnly && wroteNew);
    EXPECT_EQ(ModeOf(dir / L"private.sch"), 0600u);
    EXPECT_EQ(ModeOf(dir / L"shared.sch"), 0664u);
    EXPECT_EQ(ModeOf(dir / L"write-only.sch"), 0200u);
    EXPECT_EQ(ModeOf(dir / L"new.sch"), 0666u & ~027u);
    EXPECT_EQ(dir.ReadFile(L"private.sch"), "new");
}

#else

TEST(WritePermissionTest, AFileThatAnotherHandleKeepsFromChangeIsLeftAlone) {
    TempFolder dir;
    dir.WriteFile(L"held.mod", "held");
    // As the game holds a mod it reads: others may read it, nothing more.
    HANDLE holder = CreateFileW((dir / L"held.mod").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(IsReadOnlyFile(dir / L"held.mod"));
    CAtomicFile file;
    EXPECT_FALSE(file.Open(dir / L"held.mod"));
    CloseHandle(holder);
    EXPECT_EQ(dir.ReadFile(L"held.mod"), "held");
    EXPECT_FALSE(IsReadOnlyFile(dir / L"held.mod"));
    EXPECT_TRUE(WriteFileAtomically(dir / L"held.mod", "new", 3));
    EXPECT_EQ(dir.ReadFile(L"held.mod"), "new");
}

#endif

}  // namespace
}  // namespace gh::platform
