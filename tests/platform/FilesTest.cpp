#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/FolderListing.h"
#include "platform/InputFile.h"
#include "platform/InputFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace gh::platform {
namespace {

using test::TempFolder;

std::vector<std::wstring> Names(const std::vector<FolderEntry>& entries) {
    std::vector<std::wstring> names;
    for (const auto& e : entries) names.push_back(e.name);
    return names;
}

TEST(ListFolderTest, MatchesPatternWithoutCaseAndReportsFolders) {
    TempFolder dir;
    dir.WriteFile(L"b.MOD", "x");
    dir.WriteFile(L"a.mod", "x");
    dir.WriteFile(L"c.txt", "x");
    dir.MakeFolder(L"d.mod");
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(dir.Path(), L"*.MOD", entries));
    ASSERT_EQ(Names(entries), (std::vector<std::wstring>{L"a.mod", L"b.MOD", L"d.mod"}));
    EXPECT_FALSE(entries[0].isFolder);
    EXPECT_TRUE(entries[2].isFolder);
}

TEST(ListFolderTest, OrdersByUpperCasedNameLikeNtfs) {
    TempFolder dir;
    // Upper-casing puts '_' (0x5F) after the letters; accented letters are
    // upper-cased too ("é" as "É" comes before "Ö"); and a character beyond
    // the Basic Multilingual Plane sorts by its surrogates, below U+FF21.
    for (const wchar_t* name : {L"_x", L"b", L"\u00D6l", L"A", L"\uFF21", L"a1", L"\U0001F600", L"Z", L"\u00E9lan"})
        dir.WriteFile(name, "");
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(dir.Path(), L"*", entries));
    std::vector<std::wstring> names;
    for (const auto& n : Names(entries))
        if (n != L"." && n != L"..") names.push_back(n);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A", L"a1", L"b", L"Z", L"_x", L"\u00E9lan", L"\u00D6l", L"\U0001F600",
                                                L"\uFF21"}));
}

TEST(ListFolderTest, MissingFolderListsNothing) {
    TempFolder dir;
    std::vector<FolderEntry> entries;
    ListFolder(dir / L"missing", L"*", entries);
    EXPECT_TRUE(entries.empty());
}

TEST(PathResolutionTest, UpperCaseCanonicalPathsReachRealFiles) {
    TempFolder dir;
    dir.WriteFile(L"My Games/Velmora/mods/Sub/file.mod", "content");
    const std::wstring canonical = dir.Path() + L"MY GAMES/VELMORA/MODS\\SUB//FILE.MOD";
    CInputFile file;
    ASSERT_TRUE(file.Open(canonical));
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 7u);
    EXPECT_EQ(std::string(buffer, 7), "content");
    EXPECT_TRUE(FileExists(canonical));
    EXPECT_TRUE(FileModificationTime(canonical).has_value());
}

TEST(PathResolutionTest, SeesFilesCreatedAfterAFolderWasListed) {
    TempFolder dir;
    dir.WriteFile(L"first.txt", "1");
    CInputFile file;
    ASSERT_TRUE(file.Open(dir.Path() + L"FIRST.TXT"));
    file.Close();
    dir.WriteFile(L"second.txt", "2");
    EXPECT_TRUE(file.Open(dir.Path() + L"SECOND.TXT"));
}

#ifndef _WIN32
// Windows matches names itself and keeps no listings.
TEST(FolderSnapshotTest, ListingsReadInASnapshotStandForItsWholeLifeAndKeepItsOwnChanges) {
    TempFolder dir;
    dir.WriteFile(L"mods/first.mod", "1");
    {
        CFolderSnapshot snapshot;
        EXPECT_TRUE(FileExists(dir / L"MODS/FIRST.MOD"));
        EXPECT_FALSE(FileModificationTime(dir / L"MODS/SECOND.MOD").has_value());
        dir.WriteFile(L"mods/second.mod", "2");  // by someone else, once the folder was listed
        EXPECT_FALSE(FileExists(dir / L"MODS/SECOND.MOD"));
        // What this process makes is known at once, in any letter case.
        ASSERT_TRUE(CreateFolders(dir / L"MODS/New/Sub"));
        EXPECT_TRUE(FileExists(dir / L"mods/NEW/sub"));
        ASSERT_TRUE(WriteFileAtomically(dir / L"MODS/NEW/Third.mod", "3", 1));
        EXPECT_TRUE(dir.Exists(L"mods/New/Third.mod"));
        EXPECT_TRUE(FileModificationTime(dir / L"mods/new/THIRD.MOD").has_value());
        // A file that went away since the listing is gone, not stale.
        std::filesystem::remove(std::filesystem::path(dir / L"mods/first.mod"));
        EXPECT_FALSE(FileExists(dir / L"MODS/FIRST.MOD"));
    }
    EXPECT_TRUE(FileExists(dir / L"MODS/SECOND.MOD"));
}
#endif

TEST(InputFolderTest, ListsAsListFolderAndOpensEntriesByTheirListedNames) {
    TempFolder dir;
    dir.WriteFile(L"b.mod", "bee");
    dir.WriteFile(L"A.mod", "ay");
    dir.MakeFolder(L"sub");
    CInputFolder folder;
    ASSERT_TRUE(folder.Open(dir.Path()));
    std::vector<FolderEntry> listed, expected;
    ASSERT_TRUE(folder.List(listed));
    ASSERT_TRUE(ListFolder(dir.Path(), L"*", expected));
    EXPECT_EQ(Names(listed), Names(expected));
    ASSERT_TRUE(folder.Identity().has_value());
    EXPECT_EQ(folder.Identity(), GetFolderIdentity(dir.Path()));
    for (std::size_t i = 0; i < listed.size(); ++i) {
        CInputFile file;
        char start[8] = {};
        std::size_t got = 0;
        const bool opened = folder.OpenEntryAndReadStart(i, file, start, sizeof start, got).IsOk();
        EXPECT_EQ(opened, !listed[i].isFolder) << i;
        const std::string read(start, got);
        if (listed[i].name == L"A.mod") {
            EXPECT_EQ(read, "ay");
        } else if (listed[i].name == L"b.mod") {
            EXPECT_EQ(read, "bee");
        }
    }
    CInputFile file;
    char start[8];
    std::size_t got = 0;
    EXPECT_FALSE(folder.OpenEntryAndReadStart(listed.size(), file, start, sizeof start, got));
    EXPECT_FALSE(CInputFolder().Open(dir / L"b.mod"));
    EXPECT_FALSE(CInputFolder().Open(dir / L"missing"));
}

TEST(InputFileTest, ReadAtAndSize) {
    TempFolder dir;
    dir.WriteFile(L"f.bin", "0123456789");
    CInputFile file;
    ASSERT_TRUE(file.Open(dir / L"f.bin"));
    EXPECT_EQ(file.Size().value_or(0), 10u);
    char buffer[4] = {};
    EXPECT_EQ(file.ReadAt(6, buffer, 4), 4u);
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_EQ(file.ReadAt(8, buffer, 4), 2u);
    EXPECT_EQ(file.ReadAt(100, buffer, 4), 0u);
    EXPECT_FALSE(file.Open(dir / L"missing.bin"));
    EXPECT_FALSE(file.Open(dir.Path()));  // a folder is not a readable file
}

TEST(AtomicFileTest, ReplacesOnlyOnCommit) {
    TempFolder dir;
    dir.WriteFile(L"target.txt", "old");
    {
        CAtomicFile file;
        ASSERT_TRUE(file.Open(dir / L"target.txt"));
        ASSERT_TRUE(file.Write("new content", 11));
        EXPECT_EQ(dir.ReadFile(L"target.txt"), "old");
        // Destroyed without Commit: the old file stays and no temporary is left.
    }
    EXPECT_EQ(dir.ReadFile(L"target.txt"), "old");
    std::vector<FolderEntry> entries;
    ListFolder(dir.Path(), L"*", entries);
    EXPECT_EQ(entries.size(), 3u) << "only ., .. and target.txt";

    ASSERT_TRUE(WriteFileAtomically(dir / L"target.txt", "new", 3));
    EXPECT_EQ(dir.ReadFile(L"target.txt"), "new");
}

TEST(AtomicFileTest, RefusesReadOnlyTargetsFoldersAndMissingFolders) {
    TempFolder dir;
    dir.WriteFile(L"locked.txt", "keep");
    std::filesystem::permissions(std::filesystem::path(dir / L"locked.txt"), std::filesystem::perms::owner_read |
                                                                                 std::filesystem::perms::group_read |
                                                                                 std::filesystem::perms::others_read);
    EXPECT_TRUE(IsReadOnlyFile(dir / L"locked.txt"));
    EXPECT_FALSE(WriteFileAtomically(dir / L"locked.txt", "new", 3));
    EXPECT_EQ(dir.ReadFile(L"locked.txt"), "keep");

    dir.MakeFolder(L"folder");
    EXPECT_FALSE(WriteFileAtomically(dir / L"folder", "x", 1));
    EXPECT_FALSE(WriteFileAtomically(dir / L"no/such/folder/f.txt", "x", 1));
}

#ifndef _WIN32

// Players link their mods folder to another disk: such a link is followed.
// A link at the file's own name is replaced, and what it pointed to stays.
TEST(AtomicFileTest, FollowsFolderLinksButReplacesALinkAtTheFileItself) {
    TempFolder dir;
    dir.WriteFile(L"other disk/mods/linked.mod", "old");
    dir.WriteFile(L"elsewhere.sch", "not ours");
    std::filesystem::create_directory_symlink(std::filesystem::path(dir / L"other disk/mods"),
                                              std::filesystem::path(dir / L"mods"));
    std::filesystem::create_symlink(std::filesystem::path(dir / L"elsewhere.sch"),
                                    std::filesystem::path(dir / L"gatehouse.sch"));

    ASSERT_TRUE(WriteFileAtomically(dir / L"MODS/LINKED.MOD", "new", 3));
    ASSERT_TRUE(WriteFileAtomically(dir / L"mods/fresh.mod", "fresh", 5));
    EXPECT_EQ(dir.ReadFile(L"other disk/mods/linked.mod"), "new");
    EXPECT_EQ(dir.ReadFile(L"other disk/mods/fresh.mod"), "fresh");
    EXPECT_TRUE(std::filesystem::is_symlink(std::filesystem::path(dir / L"mods")));

    ASSERT_TRUE(WriteFileAtomically(dir / L"gatehouse.sch", "set", 3));
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::path(dir / L"gatehouse.sch")));
    EXPECT_EQ(dir.ReadFile(L"gatehouse.sch"), "set");
    EXPECT_EQ(dir.ReadFile(L"elsewhere.sch"), "not ours");
}

#endif

TEST(CreateFoldersTest, CreatesParentsAndReusesExistingFoldersOfAnyCase) {
    TempFolder dir;
    dir.MakeFolder(L"My Games");
    ASSERT_TRUE(CreateFolders(dir.Path() + L"MY GAMES/a/b\\c"));
    EXPECT_TRUE(dir.Exists(L"My Games/a/b/c"));
    EXPECT_TRUE(CreateFolders(dir.Path() + L"My Games/a"));  // exists already
    dir.WriteFile(L"file", "x");
    EXPECT_FALSE(CreateFolders(dir.Path() + L"file/sub"));
}

TEST(FileTimesTest, ModificationTimeRoundTripsAndMissingFileHasNone) {
    TempFolder dir;
    dir.WriteFile(L"f", "x");
    ASSERT_TRUE(SetFileModificationTime(dir / L"f", 1733700000));
    EXPECT_EQ(FileModificationTime(dir / L"f"), std::optional<std::int64_t>(1733700000));
    EXPECT_FALSE(FileModificationTime(dir / L"missing").has_value());
    EXPECT_TRUE(DeleteFileAt(dir / L"f"));
    EXPECT_FALSE(FileExists(dir / L"f"));
}

TEST(FolderIdentityTest, SameFolderThroughTwoPathsHasOneIdentity) {
    TempFolder dir;
    dir.MakeFolder(L"a/b");
    auto direct = GetFolderIdentity(dir / L"a/b");
    auto roundabout = GetFolderIdentity(dir / L"a/b/../b");
    auto other = GetFolderIdentity(dir / L"a");
    ASSERT_TRUE(direct && roundabout && other);
    EXPECT_EQ(*direct, *roundabout);
    EXPECT_FALSE(*direct == *other);
}

}  // namespace
}  // namespace gh::platform

#include "platform/Wildcard.h"

namespace gh::platform {
namespace {

TEST(FilePatternTest, MatchesLikeTheWindowsDirectoryFunctions) {
    EXPECT_TRUE(MatchesFilePattern(L"a.mod", L"*.MOD"));
    EXPECT_FALSE(MatchesFilePattern(L"a.mod.bak", L"*.MOD"));
    EXPECT_FALSE(MatchesFilePattern(L"a.modx", L"*.MOD"));
    EXPECT_TRUE(MatchesFilePattern(L"abc", L"a?c"));
    // "*.*" matches every name, with or without a dot.
    EXPECT_TRUE(MatchesFilePattern(L"Sub", L"*.*"));
    EXPECT_TRUE(MatchesFilePattern(L"v1.2", L"*.*"));
    EXPECT_TRUE(MatchesFilePattern(L"..", L"*.*"));
    EXPECT_TRUE(MatchesFilePattern(L"readme", L"readme.*"));
    EXPECT_FALSE(MatchesFilePattern(L"readme", L"*.txt"));
}

TEST(ListFolderTest, StarDotStarListsFoldersWithoutADot) {
    test::TempFolder dir;
    dir.MakeFolder(L"Sub");
    dir.MakeFolder(L"v1.2");
    std::vector<FolderEntry> entries;
    ASSERT_TRUE(ListFolder(dir.Path(), L"*.*", entries));
    std::vector<std::wstring> names;
    for (const auto& e : entries)
        if (e.name != L"." && e.name != L"..") names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Sub", L"v1.2"}));
}

}  // namespace
}  // namespace gh::platform
