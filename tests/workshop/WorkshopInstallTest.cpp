#include "FakeWorkshopClient.h"
#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/FileSystem.h"
#include "platform/InputFile.h"
#include "platform/SystemFolders.h"
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
    bool Install(const std::string& name, const std::string& bytes) {
        m_client.contents[kContent] = bytes;
        return InstallDownloadedFile(m_client, DownloadResult(kContent, name, static_cast<std::int32_t>(bytes.size())),
                                     UserGameFolder());
    }

    std::wstring UserGameFolder() const {
        return CGameFolders(m_root.Path() + L"game/gatehouse", m_root.Path() + L"Documents").GetUserGameFolder();
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

TEST_F(InstallTest, NamesLandBelowTheModsFolderWithTheirFolders) {
    EXPECT_TRUE(Install("mods/abc.mod", "one"));
    EXPECT_TRUE(Install("MODS\\x.mod", "two"));
    EXPECT_TRUE(Install("mods/v1.2/abc.mod", "three"));
    EXPECT_TRUE(Install("mods\\b/c.mod", "four"));
    EXPECT_TRUE(Install("./mods//README", "five"));    // a bare name without a dot is a file, not a folder
    EXPECT_TRUE(Install("Mods/x.y\\z/w.mod", "six"));  // a dotted folder part with both separators
    EXPECT_EQ(Read(GameFolder() / "mods" / "abc.mod"), "one");
    EXPECT_EQ(Read(GameFolder() / "mods" / "x.mod"), "two");
    EXPECT_EQ(Read(GameFolder() / "mods" / "v1.2" / "abc.mod"), "three");
    EXPECT_EQ(Read(GameFolder() / "mods" / "b" / "c.mod"), "four");
    EXPECT_EQ(Read(GameFolder() / "mods" / "README"), "five");
    EXPECT_EQ(Read(GameFolder() / "mods" / "x.y" / "z" / "w.mod"), "six");
    EXPECT_EQ(SyncEventText({SyncEventKind::Installed, "mods/abc.mod"}),
              L"mods/abc.mod - Updated! Writing to mod folder...");
    EXPECT_EQ(SyncEventText({SyncEventKind::CopyError, "mods/abc.mod"}), L"mods/abc.mod - Error Copying File!");
}

TEST_F(InstallTest, NamesOutsideTheModsFolderNeitherReplaceThePlayersFilesNorCreateAnything) {
    const fs::path saves = GameFolder() / "modsave";
    fs::create_directories(saves);
    for (const char* own : {"gatehouse.sch", "Favourites.sch", "restart.txt", "modsave/x.sav"})
        std::ofstream(GameFolder() / own, std::ios::binary) << "the player's own";
    const std::vector<std::string> before = Tree();
    for (const char* name :
         {"gatehouse.sch", "Favourites.sch", "restart.txt", "modsave/x.sav", "abc.mod", "a\\b/c.mod", "mods", "mods/",
          "./mods", "mods/x/", "mods\\x\\", "mods/x/.", "modsx/a.mod", "mods./a.mod"}) {
        EXPECT_FALSE(Install(name, "workshop")) << name;
    }
    EXPECT_EQ(Tree(), before) << "nothing was created or replaced";
    for (const char* own : {"gatehouse.sch", "Favourites.sch", "restart.txt", "modsave/x.sav"})
        EXPECT_EQ(Read(GameFolder() / own), "the player's own") << own;
    EXPECT_TRUE(m_client.reads.empty());
}

TEST_F(InstallTest, SharedContentIsReadOnceAndWrittenUnderEveryName) {
    std::string bytes(3 * kInstallChunkSize / 2, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13 + i / 1000);
    fs::create_directories(GameFolder() / "mods");
    m_root.WriteFile(L"Documents/My Games/Velmora Games/Emberwake 2/mods/locked.mod", "old");
    fs::permissions(GameFolder() / "mods" / "locked.mod", fs::perms::all, fs::perm_options::remove);
    fs::permissions(GameFolder() / "mods" / "locked.mod", fs::perms::owner_read, fs::perm_options::add);
    m_client.contents[kContent] = bytes;
    const auto size = static_cast<std::int32_t>(bytes.size());
    const std::vector<bool> written = InstallDownloadedFiles(
        m_client, DownloadResult(kContent, "ignored.mod", size),
        {"mods/one.mod", "restart.txt", "mods/sub/two.mod", "MODS/ONE.mod", "mods/locked.mod"}, UserGameFolder());
    EXPECT_THAT(written, ElementsAre(true, false, true, true, false));
    EXPECT_EQ(Read(GameFolder() / "mods" / "one.mod"), bytes);
    EXPECT_EQ(Read(GameFolder() / "mods" / "sub" / "two.mod"), bytes);
    EXPECT_EQ(Read(GameFolder() / "mods" / "locked.mod"), "old");
    EXPECT_FALSE(fs::exists(GameFolder() / "restart.txt"));
    EXPECT_EQ(m_client.reads.size(), 2u) << "each piece is read once for every file";
    EXPECT_EQ(std::distance(fs::directory_iterator(GameFolder() / "mods"), fs::directory_iterator()), 3)
        << "one.mod, locked.mod and sub: no temporary file and no second spelling of one.mod";
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
    fs::create_directories(GameFolder() / "mods");
    m_root.WriteFile(L"Documents/My Games/Velmora Games/Emberwake 2/mods/locked.mod", "old");
    const fs::path target = GameFolder() / "mods" / "locked.mod";
    fs::permissions(target, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(Install("mods/locked.mod", "new"));
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(Tree().size(), 6u) << "no temporary file is left";
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
    DownloadedContent negative = DownloadResult(kContent, "mods/keep.mod", -5);
    EXPECT_FALSE(InstallDownloadedFile(m_client, negative, UserGameFolder()));
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
    EXPECT_TRUE(
        InstallDownloadedFile(m_client, DownloadResult(kContent, "mods/abc.mod", 3), UserGameFolder(), &sweeper));
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

TEST(WorkshopNameTest, OnlyFilesBelowTheModsFolderAreAcceptedAndEachRefusalHasItsReason) {
    using P = WorkshopNameProblem;
    const auto judged = [](std::initializer_list<const wchar_t*> names, P problem) {
        for (const wchar_t* name : names) EXPECT_EQ(JudgeWorkshopName(name), problem) << name;
    };
    judged({L"mods/x.mod", L"MODS\\x.mod", L"./Mods//a/b.mod"}, P::None);
    judged({L"abc.mod", L"mods", L"./mods", L"modsave/x.sav", L"mods /x.mod", L"m\u00f6ds/x.mod"},
           P::OutsideModsFolder);
    judged(
        {L"", L"mods/", L"mods/x\\", L"mods/x/.", L"mods/x/ ", L"mods/ /x.mod", L"mods/x/ . /y.mod", L"mods/. /x.mod"},
        P::NoFileName);
    judged({L"mods/../x.mod", L"/mods/x.mod", L"c:mods/x.mod"}, P::LeavesGameFolder);
    judged({L"mods/nul.mod"}, P::DeviceName);
    judged({L"mods/workshop-items/5/a.mod", L"Mods\\Workshop-Items\\x.mod", L"mods/./workshop-items. /x.mod"},
           P::ItemFolders);
    judged({L"mods/workshop-items-old/x.mod", L"mods/x/workshop-items/y.mod"}, P::None);
    EXPECT_EQ(WorkshopFilePath(L"B/", L"abc.mod"), std::nullopt);
}

TEST(WorkshopNameTest, ItemFilesStayInTheirItemsFolderComponentByComponent) {
    using P = WorkshopNameProblem;
    const wchar_t sep = platform::NativeSeparator();
    const std::wstring base = std::wstring(L"B") + sep;
    const std::wstring folder = base + L"mods" + sep + L"workshop-items" + sep + L"77" + sep;
    EXPECT_EQ(ItemFilePath(base, 77, {L"sub", L"a.mod"}), folder + L"sub" + sep + L"a.mod");
    EXPECT_EQ(ItemFilePath(base, 77, {L"a\\b.mod"}), folder + L"a" + sep + L"b.mod") << "'\\' separates";
    const struct {
        std::vector<std::wstring> relative;
        P problem;
    } refused[] = {
        {{L".."}, P::NoFileName},      {{L"sub", L". ."}, P::NoFileName}, {{L"a\\..\\b"}, P::NoFileName},
        {{}, P::NoFileName},           {{L"c:x"}, P::LeavesGameFolder},   {{L"x", L"a:b.mod"}, P::LeavesGameFolder},
        {{L"CON.txt"}, P::DeviceName}, {{L"sub", L"nul"}, P::DeviceName},
    };
    for (const auto& r : refused) {
        P problem = P::None;
        EXPECT_EQ(ItemFilePath(base, 77, r.relative, &problem), std::nullopt);
        EXPECT_EQ(problem, r.problem);
    }
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

TEST_F(InstallTest, DeviceNamesWriteNothing) {
    for (const char* name : {"NUL.mod", "mods/COM1", "mods/lpt1.txt", "CON", "mods/aux/x.mod"})
        EXPECT_FALSE(Install(name, "to a device")) << name;
    EXPECT_TRUE(Tree().empty()) << "not even a folder was created";
}

}  // namespace
}  // namespace gh::test
