#include "FakeWorkshopClient.h"
#include "app/Folders.h"
#include "app/PathText.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Text.h"
#include "support/FaultSteps.h"
#include "support/TempFolder.h"
#include "workshop/WorkshopInstall.h"
#include "workshop/WorkshopNames.h"
#include "workshop/WorkshopText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace gh::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

constexpr UGCHandle kContent = 4242;

class InstallTest : public ::testing::Test {
protected:
    InstallTest() { platform::SetDocumentsFolderOverride(m_root.Path() + L"Documents"); }
    ~InstallTest() override { platform::SetDocumentsFolderOverride(L""); }

    bool Install(const std::string& name, const std::string& bytes) {
        m_client.contents[kContent] = bytes;
        return InstallDownloadedFile(m_client, DownloadResult(kContent, name, static_cast<std::int32_t>(bytes.size())));
    }

    // The game folder as the standard library sees it, in its exact case.
    fs::path GameFolder() const {
        return fs::path(m_root.Path()) / "Documents" / "My Games" / "Velmora Games" / "Emberwake 2";
    }

    std::string Read(const fs::path& path) const {
        return platform::ReadWholeFile(path.wstring(), 1 << 26).value_or("<missing>");
    }

    // Every file and folder below the temporary root, as generic relative paths.
    std::vector<std::string> Tree() const {
        std::vector<std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(fs::path(m_root.Path())))
            out.push_back(fs::relative(e.path(), fs::path(m_root.Path())).generic_string());
        std::sort(out.begin(), out.end());
        return out;
    }

    TempFolder m_root;
    CFakeWorkshopClient m_client;
};

TEST_F(InstallTest, NamesLandBelowTheDocumentsGameFolderWithTheirFolders) {
    EXPECT_TRUE(Install("mods/abc.mod", "one"));
    EXPECT_TRUE(Install("abc.mod", "two"));
    EXPECT_TRUE(Install("mods/v1.2/abc.mod", "three"));
    EXPECT_TRUE(Install("a\\b/c.mod", "four"));
    EXPECT_TRUE(Install("README", "five"));       // a bare name without a dot is a file, not a folder
    EXPECT_TRUE(Install("x.y\\z/w.mod", "six"));  // a dotted folder part with both separators
    EXPECT_EQ(Read(GameFolder() / "mods" / "abc.mod"), "one");
    EXPECT_EQ(Read(GameFolder() / "abc.mod"), "two");
    EXPECT_EQ(Read(GameFolder() / "mods" / "v1.2" / "abc.mod"), "three");
    EXPECT_EQ(Read(GameFolder() / "a" / "b" / "c.mod"), "four");
    EXPECT_EQ(Read(GameFolder() / "README"), "five");
    EXPECT_EQ(Read(GameFolder() / "x.y" / "z" / "w.mod"), "six");
    EXPECT_EQ(SyncEventText({SyncEventKind::Installed, "mods/abc.mod"}),
              L"mods/abc.mod - Updated! Writing to mod folder...");
    EXPECT_EQ(SyncEventText({SyncEventKind::CopyError, "mods/abc.mod"}), L"mods/abc.mod - Error Copying File!");
}

TEST_F(InstallTest, FoldersKeepTheGameFoldersOwnCaseAndExistingFoldersAreReused) {
    fs::create_directories(fs::path(m_root.Path()) / "Documents" / "My Games" / "Velmora Games");
    ASSERT_TRUE(Install("mods/a.mod", "a"));
    ASSERT_TRUE(Install("MODS/b.mod", "b"));
    EXPECT_THAT(Tree(), ElementsAre("Documents", "Documents/My Games", "Documents/My Games/Velmora Games",
                                    "Documents/My Games/Velmora Games/Emberwake 2",
                                    "Documents/My Games/Velmora Games/Emberwake 2/mods",
                                    "Documents/My Games/Velmora Games/Emberwake 2/mods/a.mod",
                                    "Documents/My Games/Velmora Games/Emberwake 2/mods/b.mod"));
}

TEST_F(InstallTest, ExistingFileIsReplacedWhateverItsSize) {
    fs::create_directories(GameFolder() / "mods");
    m_root.WriteFile(L"Documents/My Games/Velmora Games/Emberwake 2/mods/abc.mod", std::string(5000, 'o'));
    ASSERT_TRUE(Install("mods/abc.mod", "new"));
    EXPECT_EQ(Read(GameFolder() / "mods" / "abc.mod"), "new");
    ASSERT_TRUE(Install("mods/abc.mod", ""));
    EXPECT_EQ(Read(GameFolder() / "mods" / "abc.mod"), "") << "size 0 gives an empty file";
    EXPECT_THAT(Tree(), ::testing::Contains("Documents/My Games/Velmora Games/Emberwake 2/mods/abc.mod"));
    EXPECT_EQ(Tree().size(), 6u) << "no temporary file is left";
}

TEST_F(InstallTest, ReadOnlyTargetIsLeftAsItWas) {
    fs::create_directories(GameFolder());
    m_root.WriteFile(L"Documents/My Games/Velmora Games/Emberwake 2/locked.mod", "old");
    const fs::path target = GameFolder() / "locked.mod";
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(Install("locked.mod", "new"));
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(Tree().size(), 5u) << "no temporary file is left";
    EXPECT_TRUE(m_client.reads.empty());
}

TEST_F(InstallTest, ShortReadKeepsTheOldFileAndLeavesNoTemporaryFile) {
    fs::create_directories(GameFolder() / "mods");
    m_root.WriteFile(L"Documents/My Games/Velmora Games/Emberwake 2/mods/keep.mod", "old");
    m_client.readLimit = 3 * 1024 * 1024 / 2;
    EXPECT_FALSE(Install("mods/keep.mod", std::string(2 * 1024 * 1024, 'n')));
    EXPECT_EQ(Read(GameFolder() / "mods" / "keep.mod"), "old");
    EXPECT_EQ(Tree().size(), 6u);

    m_client.readLimit = -1;
    RemoteStorageDownloadUGCResult negative = DownloadResult(kContent, "mods/keep.mod", -5);
    EXPECT_FALSE(InstallDownloadedFile(m_client, negative));
    EXPECT_EQ(Read(GameFolder() / "mods" / "keep.mod"), "old");
}

TEST_F(InstallTest, AFailureAtAnyStepKeepsTheOldFileAndIsACopyError) {
    const fs::path mods = GameFolder() / "mods";
    const auto result = FailEveryStep(
        [&] {
            fs::create_directories(mods);
            std::ofstream(mods / "abc.mod", std::ios::binary) << "old content";
        },
        [&] { return Install("mods/abc.mod", "new content"); },
        [&](platform::FileOperation failed, std::uint32_t nth) {
            SCOPED_TRACE(testing::Message() << NameOf(failed) << " call " << nth << " failed");
            if (failed != platform::FileOperation::SyncFolder) {
                EXPECT_EQ(Read(mods / "abc.mod"), "old content");
            }
            EXPECT_EQ(std::distance(fs::directory_iterator(mods), fs::directory_iterator()), 1)
                << "a temporary file stayed";
        });
    EXPECT_TRUE(result.wrongAnswers.empty()) << result.wrongAnswers.front();
    EXPECT_TRUE(result.reached.count(platform::FileOperation::Write));
    EXPECT_EQ(Read(mods / "abc.mod"), "new content");
}

TEST_F(InstallTest, TheFirstWriteToAFolderRemovesTheTemporaryFilesOfInterruptedInstalls) {
    const fs::path mods = GameFolder() / "mods";
    fs::create_directories(mods);
    const auto leave = [&](const char* name, std::int64_t age) {
        std::ofstream(mods / name, std::ios::binary) << "half an old download";
        platform::SetFileModificationTime((mods / name).wstring(), std::time(nullptr) - age);
    };
    leave(".gatehouse-0123456789ab.tmp", 3600);  // left by a killed install an hour ago
    leave(".gatehouse-abcdefghijkl.tmp", 0);     // may belong to a writer that is still running
    leave("notes.tmp", 3600);                    // not the launcher's
    CStaleFileSweeper sweeper;
    m_client.contents[kContent] = "new";
    EXPECT_TRUE(InstallDownloadedFile(m_client, DownloadResult(kContent, "mods/abc.mod", 3), &sweeper));
    EXPECT_FALSE(fs::exists(mods / ".gatehouse-0123456789ab.tmp"));
    EXPECT_TRUE(fs::exists(mods / ".gatehouse-abcdefghijkl.tmp"));
    EXPECT_TRUE(fs::exists(mods / "notes.tmp"));
    EXPECT_EQ(Read(mods / "abc.mod"), "new");
}

TEST_F(InstallTest, ContentIsReadInBoundedPiecesAtIncreasingOffsets) {
    std::string bytes(5 * kInstallChunkSize / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
    ASSERT_TRUE(Install("mods/big.mod", bytes));
    EXPECT_EQ(Read(GameFolder() / "mods" / "big.mod"), bytes);
    ASSERT_EQ(m_client.reads.size(), 3u);
    const auto chunk = static_cast<std::int32_t>(kInstallChunkSize);
    EXPECT_EQ(m_client.reads[0].offset, 0u);
    EXPECT_EQ(m_client.reads[1].offset, kInstallChunkSize);
    EXPECT_EQ(m_client.reads[2].offset, 2 * kInstallChunkSize);
    EXPECT_EQ(m_client.reads[0].size, chunk);
    EXPECT_EQ(m_client.reads[2].size, chunk / 2);
    for (const auto& read : m_client.reads) EXPECT_EQ(read.content, kContent);
}

TEST_F(InstallTest, NamesThatLeaveTheGameFolderAreRefusedAndWriteNothing) {
    for (const char* name :
         {"/abs.mod", "\\abs.mod", "C:/evil.mod", "c:evil.mod", "mods/a:b.mod", "\\\\server\\share\\evil.mod",
          "//server/share/evil.mod", "mods\\\\evil.mod", "../evil.mod", "mods/../../evil.mod", "mods\\..\\..\\evil.mod",
          "..", "mods/.. /evil.mod", "mods/.../evil.mod", ""}) {
        EXPECT_FALSE(Install(name, "evil")) << name;
    }
    EXPECT_TRUE(Tree().empty()) << "not even a folder was created";
    EXPECT_TRUE(m_client.reads.empty());
}

TEST(WorkshopNameTest, SafeNamesStayBelowTheirFolder) {
    for (const wchar_t* name : {L"mods/abc.mod", L"abc.mod", L"a\\b/c.mod", L"./x.mod", L"mods/.hidden", L"a..b.mod",
                                L"mods//x.mod", L"mods/console.mod", L"mods/com10.mod", L"mods/nul_fix.mod"})
        EXPECT_TRUE(IsSafeWorkshopName(name)) << name;
    for (const wchar_t* name : {L"", L"/x", L"\\x", L"D:x", L"a\\\\b", L"a/../b", L"..\\b", L"a/.."})
        EXPECT_FALSE(IsSafeWorkshopName(name)) << name;
}

TEST(WorkshopNameTest, DeviceNamesAreRefusedInAnyComponentAndCase) {
    for (const wchar_t* name : {L"NUL.mod", L"con", L"mods/COM1", L"mods/lpt9.txt", L"Aux.d/x.mod", L"mods/prn .mod",
                                L"mods/CONIN$", L"conout$.log", L"mods/com\u00b9.mod", L"a\\NuL\\b.mod"})
        EXPECT_FALSE(IsSafeWorkshopName(name)) << name;
    EXPECT_FALSE(IsReservedDeviceName(L"COM0"));
    EXPECT_FALSE(IsReservedDeviceName(L"CONSOLE"));
    EXPECT_TRUE(IsReservedDeviceName(L"lpt3.tar.gz"));
}

TEST(WorkshopNameTest, PathBelowKeepsOnlyComponentsThatStayInside) {
    const wchar_t sep = platform::NativeSeparator();
    const std::wstring base = std::wstring(L"B") + sep;
    EXPECT_EQ(PathBelow(base, L"mods/x.mod"), base + L"mods" + sep + L"x.mod");
    EXPECT_EQ(PathBelow(base, L".\\mods//./x.mod"), base + L"mods" + sep + L"x.mod");
    EXPECT_EQ(PathBelow(base, L""), base);
    EXPECT_EQ(PathBelow(base, L"mods/"), base + L"mods");
    for (const wchar_t* escape : {L"..", L"mods/../..", L". .\\x", L"/etc", L"\\x", L"c:x", L"mods/nul", L"a/:b"})
        EXPECT_EQ(PathBelow(base, escape), std::nullopt) << escape;
}

TEST_F(InstallTest, NamesThatTurnIntoParentFoldersOnTheWayCreateNothingOutside) {
    // The folder step removes every copy of the game folder's lower-case text
    // from the name; "." + that text + ".\\" then leaves "..\\" behind.
    std::wstring key = ReplaceAll(ReplaceAll(ToLower(GetUserGameFolder()), L"/", L"\\"), L"\\\\", L"\\");
    std::string piece = "." + platform::WideToSystemNarrow(key) + ".\\";
    std::string name;
    for (int i = 0; i < 3; ++i) name += piece;
    name += "outside\\evil.mod";
    EXPECT_FALSE(Install(name, "evil"));
    EXPECT_FALSE(fs::exists(fs::path(m_root.Path()) / "Documents" / "outside"));
    for (const std::string& entry : Tree())
        EXPECT_TRUE(entry == "Documents" || entry.starts_with("Documents/My Games")) << entry;
}

TEST_F(InstallTest, DeviceNamesWriteNothing) {
    for (const char* name : {"NUL.mod", "mods/COM1", "mods/lpt1.txt", "CON", "mods/aux/x.mod"})
        EXPECT_FALSE(Install(name, "to a device")) << name;
    EXPECT_TRUE(Tree().empty()) << "not even a folder was created";
}

TEST(PathPartsTest, FolderAndFileNameParts) {
    EXPECT_EQ(GetFolderPart("mods/abc.mod"), "mods/");
    EXPECT_EQ(GetFolderPart("abc.mod"), "abc.mod");
    EXPECT_EQ(GetFolderPart("mods/v1.2/abc.mod"), "mods/v1.2/");
    EXPECT_EQ(GetFolderPart("a\\b/c.mod"), "a\\b/");
    EXPECT_EQ(GetFolderPart("a\\b/"), "a\\") << "a '/' at the very end does not count";
    EXPECT_EQ(GetFolderPart("a\\b\\c.mod"), "a\\b\\");
    EXPECT_EQ(GetFileNamePart(L"a\\b/c.mod"), L"b/c.mod") << "a '\\' decides before a '/'";
    EXPECT_EQ(GetFileNamePart(L"a/b/c.mod"), L"c.mod");
    EXPECT_EQ(GetFileNamePart(L"c.mod"), L"c.mod");
    EXPECT_EQ(GetFileNamePart(L"mods/"), L"");
}

TEST(PathPartsTest, ReplaceAllRepeatsFromTheStartAndAlwaysEnds) {
    EXPECT_EQ(ReplaceAll(L"a\\\\\\\\\\b\\\\c", L"\\\\", L"\\"), L"a\\b\\c");
    EXPECT_EQ(ReplaceAll(L"aaab", L"ab", L"b"), L"b") << "a replacement can make a new occurrence";
    EXPECT_EQ(ReplaceAll(L"a/b/c", L"/", L"\\"), L"a\\b\\c");
    EXPECT_EQ(ReplaceAll(L"GAMEmods", L"GAME", L""), L"mods");
    EXPECT_EQ(ReplaceAll(L"xax", L"a", L"aa"), L"xaax");
    EXPECT_EQ(ReplaceAll(L"abc", L"", L"z"), L"abc");
}

TEST_F(InstallTest, CreateFolderForPathDropsFileNamesAndNeverNestsTheGameFolder) {
    EXPECT_TRUE(CreateFolderForPath(L"one/two.txt"));
    EXPECT_TRUE(CreateFolderForPath(L"three/four/"));
    EXPECT_TRUE(CreateFolderForPath(ToLower(GetUserGameFolder()) + L"five\\"));
    EXPECT_TRUE(CreateFolderForPath(L""));
    EXPECT_TRUE(fs::is_directory(GameFolder() / "one"));
    EXPECT_FALSE(fs::exists(GameFolder() / "one" / "two.txt"));
    EXPECT_TRUE(fs::is_directory(GameFolder() / "three" / "four"));
    EXPECT_TRUE(fs::is_directory(GameFolder() / "five"));
    EXPECT_EQ(Tree().size(), 8u) << "nothing else, in particular no lower-case copy of the game folder";
}

}  // namespace
}  // namespace gh::test
