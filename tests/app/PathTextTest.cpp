#include "app/Folders.h"
#include "app/PathText.h"
#include "platform/Folders.h"

#include <gtest/gtest.h>

namespace gh {
namespace {

TEST(PathTextTest, NormalizeSlashesTurnsBackslashesAndCollapsesRuns) {
    EXPECT_EQ(NormalizeSlashes(L"X\\\\\\Y//Z"), L"X/Y/Z");
    EXPECT_EQ(NormalizeSlashes(L"//server\\share"), L"/server/share");
    EXPECT_EQ(NormalizeSlashes(L""), L"");
}

TEST(PathTextTest, CaseMappingChangesOnlyAsciiLetters) {
    EXPECT_EQ(ToUpper(L"abc\u00e9z/1"), L"ABC\u00e9Z/1");
    EXPECT_EQ(ToLower(L"ABC\u00c9Z"), L"abc\u00c9z");
}

TEST(PathTextTest, CombinePathKeepsAbsoluteAndNetworkPaths) {
    EXPECT_EQ(CombinePath(L"B/", L"mods/x.mod"), L"B/mods/x.mod");
    EXPECT_EQ(CombinePath(L"B/", L"D:\\x.mod"), L"D:\\x.mod");
    EXPECT_EQ(CombinePath(L"B/", L":x"), L"B/:x");
    EXPECT_EQ(CombinePath(L"B/", L""), L"");
    EXPECT_EQ(CombinePath(L"B/", L"\\\\server\\share\\x.mod"), L"\\\\server\\share\\x.mod");
}

class FoldersTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::SetLauncherFolderOverride(L"");
        platform::SetDocumentsFolderOverride(L"");
        ResetFolderCachesForTesting();
    }
};

TEST_F(FoldersTest, GameFolderIsTheLauncherFolderInCanonicalFormAndKeptOnce) {
    ResetFolderCachesForTesting();
    platform::SetLauncherFolderOverride(L"D:\\Play\\Game");
    EXPECT_EQ(GetGameFolder(), L"D:/PLAY/GAME/");
    platform::SetLauncherFolderOverride(L"E:\\Elsewhere");
    EXPECT_EQ(GetGameFolder(), L"D:/PLAY/GAME/");  // built once per process
}

TEST_F(FoldersTest, GameExecutableKeepsTheReportedLetterCase) {
    platform::SetLauncherFolderOverride(L"D:\\Apps\\Launcher");
    EXPECT_EQ(GetGameExecutablePath(), L"D:\\Apps\\Launcher\\Emberwake2.exe");
}

TEST_F(FoldersTest, DocumentsGameFolderAndItsFiles) {
    const std::wstring sep(1, platform::NativeSeparator());
    platform::SetDocumentsFolderOverride(L"/docs");
    const std::wstring base = L"/docs" + sep + L"My Games" + sep + L"Velmora Games" + sep + L"Emberwake 2" + sep;
    EXPECT_EQ(GetUserGameFolder(), base);
    EXPECT_EQ(GetSelectionFilePath(), base + L"gatehouse.sch");
    EXPECT_EQ(GetRestartListPath(), base + L"restart.txt");
    EXPECT_EQ(GetModsFolderForPlayer(), base + L"mods" + sep);
    EXPECT_EQ(GetSavesFolderForPlayer(), base + L"modsave" + sep);
}

}  // namespace
}  // namespace gh
