#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/SystemFolders.h"

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

TEST(GameFoldersTest, GameFolderIsTheLauncherFolderInCanonicalForm) {
    const CGameFolders folders(L"D:\\Play\\Game\\Gatehouse.exe", L"");
    EXPECT_EQ(folders.GetGameFolder(), L"D:/PLAY/GAME/");
    // The game is started as the system reported the launcher's path.
    EXPECT_EQ(folders.GetGameExecutablePath(), L"D:\\Play\\Game\\Emberwake2.exe");
}

TEST(GameFoldersTest, DocumentsGameFolderAndItsFiles) {
    const std::wstring sep(1, platform::NativeSeparator());
    const std::wstring base = L"/docs" + sep + L"My Games" + sep + L"Velmora Games" + sep + L"Emberwake 2" + sep;
    for (const wchar_t* documents : {L"/docs", L"/docs/"}) {
        const CGameFolders folders(L"/game/gatehouse", documents);
        EXPECT_EQ(folders.GetUserGameFolder(), base);
        EXPECT_EQ(folders.GetSelectionFilePath(), base + L"gatehouse.sch");
        EXPECT_EQ(folders.GetRestartListPath(), base + L"restart.txt");
        EXPECT_EQ(folders.GetModsFolderForPlayer(), base + L"mods" + sep);
        EXPECT_EQ(folders.GetSavesFolderForPlayer(), base + L"modsave" + sep);
        EXPECT_EQ(folders.GetModsFolderToScan(), L"/DOCS/MY GAMES/VELMORA GAMES/EMBERWAKE 2/MODS/");
    }
}

}  // namespace
}  // namespace gh
