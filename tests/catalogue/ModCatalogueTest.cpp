#include "catalogue/ModCatalogue.h"

#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/FolderListing.h"
#include "platform/SystemFolders.h"
#include "support/ModFileWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>

namespace gh::test {
namespace {

namespace fs = std::filesystem;

fs::path FsPath(const std::wstring& text) {
    std::wstring copy = text;
#ifndef _WIN32
    for (wchar_t& c : copy)
        if (c == L'\\') c = L'/';
#endif
    return fs::path(copy);
}

// A path spelled with the system's separators and each folder's stored name.
std::wstring SpelledOnDisk(const std::wstring& path) {
    const std::size_t cut = path.find_last_of(L"/\\");
    std::wstring file =
        platform::ExactCasePath(path.substr(0, cut)) + platform::NativeSeparator() + path.substr(cut + 1);
    for (wchar_t& c : file)
        if (c == L'/' || c == L'\\') c = platform::NativeSeparator();
    return file;
}

class ModCatalogueTest : public ::testing::Test {
protected:
    // The catalogue reads the mods folder by its canonical, upper-case path,
    // as it does for the player's documents folder, and names each file as
    // the system spells it.
    std::wstring ModsFolder() const { return NormalizeSlashes(ToUpper(m_temp.Path() + L"mods/")); }
    std::wstring OnDisk(const std::wstring& relative) const {
        return SpelledOnDisk(m_temp.Path() + L"mods/" + relative);
    }

    void Mod(const std::wstring& relative, std::int64_t guid, std::uint16_t version, const std::u16string& name = u"") {
        ModFile mod;
        mod.guid = guid;
        mod.version = version;
        mod.name = name.empty() ? Units(relative) : name;
        ASSERT_TRUE(WriteModFile(m_temp / (L"mods/" + relative), mod));
    }

    std::vector<std::wstring> Paths(const CModCatalogue& catalogue) const {
        std::vector<std::wstring> paths;
        for (std::size_t i = 0; i < catalogue.Count(); ++i) paths.push_back(catalogue.At(i).filePath);
        return paths;
    }

    TempFolder m_temp;
};

TEST_F(ModCatalogueTest, FilesComeBeforeSubfoldersDepthFirstInListingOrder) {
    Mod(L"b.MOD", 2, 1);
    Mod(L"a.MOD", 1, 1);
    Mod(L".hidden.MOD", 9, 1);  // a dot file is a file like any other
    Mod(L"sub2/c.MOD", 3, 1);
    Mod(L"Sub1/f.MOD", 6, 1);
    Mod(L"Sub1/deeper/e.MOD", 5, 1);
    Mod(L"Sub1/d.MOD", 4, 1);
    m_temp.WriteFile(L"mods/notes.txt", "not a mod");

    CModCatalogue catalogue(ModsFolder());
    EXPECT_EQ(Paths(catalogue), (std::vector<std::wstring>{OnDisk(L".hidden.MOD"), OnDisk(L"a.MOD"), OnDisk(L"b.MOD"),
                                                           OnDisk(L"Sub1/d.MOD"), OnDisk(L"Sub1/f.MOD"),
                                                           OnDisk(L"Sub1/deeper/e.MOD"), OnDisk(L"sub2/c.MOD")}));
    ASSERT_NE(catalogue.FindByGuid(5), nullptr);
    EXPECT_EQ(catalogue.FindByGuid(5)->name, "Sub1/deeper/e.MOD");
    EXPECT_EQ(catalogue.PositionOf(5), 5);
}

TEST_F(ModCatalogueTest, OnlyModFilesAreReadAndOnlyTheExactSkippedNamesAreLeftOut) {
    Mod(L"x.mod", 1, 1);
    Mod(L"Zeta/y.MOD", 2, 1);
    Mod(L"alpha/z.Mod", 3, 1);
    // Files the file managers leave behind are never read, even when they
    // would match; other names match by their extension in any case.
    m_temp.WriteFile(L"mods/Thumbs.db", "x");
    m_temp.WriteFile(L"mods/.get_date.dat", "x");
    m_temp.WriteFile(L"mods/readme.txt", "x");
    m_temp.WriteFile(L"mods/x.mod.bak", "x");
    m_temp.MakeFolder(L"mods/.git");
    Mod(L".git/hidden.mod", 4, 1);

    CModCatalogue catalogue(ModsFolder());
    EXPECT_EQ(Paths(catalogue),
              (std::vector<std::wstring>{OnDisk(L"x.mod"), OnDisk(L"alpha/z.Mod"), OnDisk(L"Zeta/y.MOD")}));
}

TEST_F(ModCatalogueTest, HighestVersionWinsInThePlaceOfTheFirst) {
    for (bool newerFirst : {false, true}) {
        TempFolder temp;
        const std::wstring mods = NormalizeSlashes(ToUpper(temp.Path() + L"mods/"));
        auto mod = [&](const wchar_t* name, std::int64_t guid, std::uint16_t version) {
            ModFile file;
            file.guid = guid;
            file.version = version;
            file.name = Units(name);
            ASSERT_TRUE(WriteModFile(temp / (std::wstring(L"mods/") + name), file));
        };
        mod(L"1.mod", 10, 1);
        mod(L"2.mod", 77, newerFirst ? 5 : 3);
        mod(L"3.mod", 20, 1);
        mod(L"4.mod", 77, newerFirst ? 3 : 5);
        CModCatalogue catalogue(mods);
        ASSERT_EQ(catalogue.Count(), 3u) << "newer first: " << newerFirst;
        EXPECT_EQ(catalogue.At(1).guid, 77);
        EXPECT_EQ(catalogue.At(1).version, 5);
        EXPECT_EQ(catalogue.At(1).name, newerFirst ? "2.mod" : "4.mod");
        EXPECT_EQ(catalogue.FindByGuid(77), &catalogue.At(1));
    }
}

TEST_F(ModCatalogueTest, FilesWithAListedIdentityAreReportedAsHidden) {
    // Three files of one identity in three folders: the highest version is
    // listed in the place of the first found; the two others are hidden, in
    // the order they were met, whatever order the versions come in.
    for (const auto& versions : {std::array<std::uint16_t, 3>{1, 5, 3}, std::array<std::uint16_t, 3>{5, 1, 3},
                                 std::array<std::uint16_t, 3>{3, 1, 5}}) {
        TempFolder temp;
        const std::wstring mods = NormalizeSlashes(ToUpper(temp.Path() + L"mods/"));
        const wchar_t* folders[] = {L"a/", L"b/", L"c/"};
        for (int i = 0; i < 3; ++i) {
            ModFile file;
            file.guid = 42;
            file.version = versions[static_cast<std::size_t>(i)];
            file.name = Units(std::wstring(L"copy ") + folders[i]);
            ASSERT_TRUE(WriteModFile(temp / (std::wstring(L"mods/") + folders[i] + L"x.mod"), file));
        }
        CModCatalogue catalogue(mods);
        ASSERT_EQ(catalogue.Count(), 1u);
        ASSERT_EQ(catalogue.Hidden().size(), 2u);
        std::vector<std::uint16_t> hiddenVersions;
        for (const HiddenModFile& hidden : catalogue.Hidden()) {
            EXPECT_EQ(hidden.guid, 42);
            EXPECT_NE(hidden.file, catalogue.At(0).filePath);
            EXPECT_EQ(hidden.name.substr(0, 5), "copy ");
            hiddenVersions.push_back(hidden.version);
        }
        EXPECT_EQ(catalogue.At(0).version, 5);
        // Each comparison in folder order hides its loser at that moment: the
        // lower of the first two, then the lower of the winner and the third.
        EXPECT_EQ(hiddenVersions, (std::vector<std::uint16_t>{1, 3}));
    }
}

TEST_F(ModCatalogueTest, EqualVersionsKeepTheFirstAndUnreadableFilesShareNoIdentity) {
    Mod(L"a.mod", 7, 4, u"first");
    Mod(L"b.mod", 7, 4, u"second");
    m_temp.WriteFile(L"mods/c.mod", "");      // no guid: -1
    m_temp.WriteFile(L"mods/d.mod", "\x02");  // no guid either, still version 0
    CModCatalogue catalogue(ModsFolder());
    ASSERT_EQ(catalogue.Count(), 2u);
    EXPECT_EQ(catalogue.At(0).name, "first");
    EXPECT_EQ(catalogue.At(1).guid, -1);
    EXPECT_EQ(catalogue.At(1).filePath, OnDisk(L"c.mod"));
}

TEST_F(ModCatalogueTest, LowerCaseExtensionAndFolderNamedLikeAModFile) {
    Mod(L"lower.mod", 1, 1);
    Mod(L"Pack.MOD/inner.MOD", 2, 1);
    CModCatalogue catalogue(ModsFolder());
    EXPECT_EQ(Paths(catalogue), (std::vector<std::wstring>{OnDisk(L"lower.mod"), OnDisk(L"Pack.MOD/inner.MOD")}));
}

TEST_F(ModCatalogueTest, DotFoldersAreNotEntered) {
    Mod(L".cache/a.mod", 1, 1);
    Mod(L"ok/.svn/b.mod", 2, 1);
    Mod(L"ok/c.mod", 3, 1);
    CModCatalogue catalogue(ModsFolder());
    EXPECT_EQ(Paths(catalogue), (std::vector<std::wstring>{OnDisk(L"ok/c.mod")}));
}

TEST_F(ModCatalogueTest, EmptyOrMissingFolderGivesAnEmptyCatalogue) {
    {
        CModCatalogue missing(ModsFolder());
        EXPECT_EQ(missing.Count(), 0u);
        EXPECT_EQ(missing.FindByGuid(-1), nullptr);
        EXPECT_EQ(missing.FindByGuid(0), nullptr);
    }
    m_temp.MakeFolder(L"mods/empty");
    m_temp.WriteFile(L"mods/empty/readme.txt", "x");
    CModCatalogue empty(ModsFolder());
    EXPECT_EQ(empty.Count(), 0u);
}

TEST_F(ModCatalogueTest, ThePlayersCatalogueReadsTheDocumentsModsFolder) {
    ModFile mod;
    mod.guid = 42;
    mod.name = u"from documents";
    ASSERT_TRUE(WriteModFile(m_temp / L"docs/My Games/Velmora Games/Emberwake 2/mods/x.mod", mod));
    const CModCatalogue catalogue(CGameFolders(m_temp / L"game/gatehouse", m_temp / L"docs").GetModsFolderToScan());
    ASSERT_EQ(catalogue.Count(), 1u);
    EXPECT_EQ(catalogue.At(0).name, "from documents");
    EXPECT_EQ(catalogue.At(0).filePath, SpelledOnDisk(m_temp / L"docs/My Games/Velmora Games/Emberwake 2/mods/x.mod"));
}

TEST_F(ModCatalogueTest, FolderLinksIntoTheTreeAreEnteredOnce) {
    Mod(L"a/one.mod", 1, 1);
    Mod(L"b/two.mod", 2, 1);
    m_temp.MakeFolder(L"outside");
    Mod(L"../outside/three.mod", 3, 1);
    std::error_code ec;
    fs::create_directory_symlink(FsPath(m_temp / L"mods"), FsPath(m_temp / L"mods/a/loop"), ec);
    if (ec) GTEST_SKIP() << "folder links cannot be made here: " << ec.message();
    fs::create_directory_symlink(FsPath(m_temp / L"outside"), FsPath(m_temp / L"mods/b/link1"), ec);
    fs::create_directory_symlink(FsPath(m_temp / L"outside"), FsPath(m_temp / L"mods/b/link2"), ec);
    ASSERT_FALSE(ec);

    CModCatalogue catalogue(ModsFolder());
    EXPECT_EQ(Paths(catalogue),
              (std::vector<std::wstring>{OnDisk(L"a/one.mod"), OnDisk(L"b/two.mod"), OnDisk(L"b/link1/three.mod")}));
}

TEST_F(ModCatalogueTest, BrokenLinkGivesADefaultRecord) {
    std::error_code ec;
    m_temp.MakeFolder(L"mods");
    fs::create_symlink(FsPath(m_temp / L"nowhere.mod"), FsPath(m_temp / L"mods/broken.mod"), ec);
    if (ec) GTEST_SKIP() << "links cannot be made here: " << ec.message();
    Mod(L"good.mod", 5, 1);
    CModCatalogue catalogue(ModsFolder());
    ASSERT_EQ(catalogue.Count(), 2u);
    EXPECT_EQ(catalogue.At(0).guid, -1);
    EXPECT_EQ(catalogue.At(0).filePath, OnDisk(L"broken.mod"));  // named although it could not be opened
    EXPECT_FALSE(catalogue.At(0).readError.empty());
    EXPECT_EQ(catalogue.At(1).guid, 5);
}

TEST_F(ModCatalogueTest, NamesThatDifferOnlyInCaseAreReadFromTheirOwnFiles) {
    Mod(L"dup.mod", 1, 1, u"lower");
    if (fs::exists(FsPath(m_temp / L"mods/DUP.MOD"))) GTEST_SKIP() << "file names ignore case here";
    Mod(L"DUP.MOD", 2, 1, u"upper");
    CModCatalogue catalogue(ModsFolder());
    ASSERT_EQ(catalogue.Count(), 2u);
    EXPECT_EQ(catalogue.At(0).name, "upper");
    EXPECT_EQ(catalogue.At(1).name, "lower");
    EXPECT_EQ(catalogue.At(0).filePath, OnDisk(L"DUP.MOD"));
    EXPECT_EQ(catalogue.At(1).filePath, OnDisk(L"dup.mod"));
}

TEST(ModCatalogueRecords, RecordsGivenInOrderFollowTheSameRule) {
    auto record = [](std::int64_t guid, std::uint16_t version, const char* name) {
        ModInfo info;
        info.guid = guid;
        info.version = version;
        info.name = name;
        return info;
    };
    CModCatalogue catalogue(
        {record(1, 1, "a"), record(2, 3, "b"), record(2, 5, "c"), record(2, 5, "d"), record(1, 0, "e")});
    ASSERT_EQ(catalogue.Count(), 2u);
    EXPECT_EQ(catalogue.At(0).name, "a");
    EXPECT_EQ(catalogue.At(1).name, "c");
    EXPECT_EQ(catalogue.FindByGuid(2)->name, "c");
    EXPECT_EQ(catalogue.PositionOf(3), -1);
}

}  // namespace
}  // namespace gh::test
