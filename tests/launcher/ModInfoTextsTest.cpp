#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/ModCatalogue.h"
#include "catalogue/ModRows.h"
#include "launcher/ModInfoTexts.h"
#include "platform/Unicode.h"
#include "support/CGameWorld.h"

namespace gh {
namespace {

TEST(ModInfoTextsTest, StatusColours) {
    EXPECT_EQ(StatusColour(StatusOk), (Rgb{0, 0, 0}));
    EXPECT_EQ(StatusColour(StatusWrongGameVersion), (Rgb{100, 70, 0}));
    EXPECT_EQ(StatusColour(StatusMissingRequirement), (Rgb{150, 0, 0}));
    EXPECT_EQ(StatusColour(StatusOutdatedRequirement), (Rgb{150, 0, 0}));
}

TEST(ModInfoTextsTest, InfoPaneFieldsOfOneMod) {
    ModData mod;
    mod.name = L"Harbor Lights";
    mod.website = L"https://example.org/a?b=1&c=<i>2</i>";
    mod.version = 65535;
    mod.gameVersionText = L"1.25.5.2";
    mod.status = StatusOutdatedRequirement;
    const ModInfoTexts texts = InfoPaneTexts(mod);
    EXPECT_EQ(texts.name, L"Harbor Lights");
    EXPECT_EQ(texts.website, L"https://example.org/a?b=1&c=<i>2</i>");
    EXPECT_EQ(texts.version, L"65535");
    EXPECT_EQ(texts.gameVersion, L"1.25.5.2");
    EXPECT_EQ(texts.status, L"-Requires Update-");
    mod.status = StatusWrongGameVersion;
    EXPECT_EQ(InfoPaneTexts(mod).status, L"Compiled for outdated Game Ver.");
}

TEST(ModInfoTextsTest, OnlyWebAddressesMayBeOpened) {
    EXPECT_TRUE(IsWebAddress(L"http://example.org"));
    EXPECT_TRUE(IsWebAddress(L"HTTPS://example.org/mods?x=1&y=2"));
    EXPECT_FALSE(IsWebAddress(L""));
    EXPECT_FALSE(IsWebAddress(L"https://"));
    EXPECT_FALSE(IsWebAddress(L"file:///etc/passwd"));
    EXPECT_FALSE(IsWebAddress(L"C:\\Windows\\System32\\calc.exe"));
    EXPECT_FALSE(IsWebAddress(L"javascript:alert(1)"));
    EXPECT_FALSE(IsWebAddress(L"httpx://example.org"));
    EXPECT_FALSE(IsWebAddress(L" https://example.org"));
    EXPECT_FALSE(IsWebAddress(L"https://example.org/a b"));
    EXPECT_FALSE(IsWebAddress(L"https://example.org/\n--option"));
}

TEST(ModInfoTextsTest, FileDialogWildcardDropsTheClosingEntries) {
    EXPECT_EQ(DialogWildcard(L"SCH files (*.sch)|*.sch|All Files (*.*)|*.*||"),
              L"SCH files (*.sch)|*.sch|All Files (*.*)|*.*");
}

TEST(ModInfoTextsTest, VersionLineWithAndWithoutAGame) {
    test::CGameWorld world;
    EXPECT_EQ(GameVersionLine(world.Folders().GameVersion()), L"Emberwake II Version 1.25.5.2");
    test::CGameWorld noGame(false);
    EXPECT_EQ(GameVersionLine(noGame.Folders().GameVersion()), L"Emberwake II Version x.x.x.x");
}

// The tooltip names what to install, by the requiring mod's names.
TEST(ModInfoTextsTest, StatusTipNamesMissingAndOutdatedRequirements) {
    test::CGameWorld world;
    world.AddMod({L"Base", 10, 1});
    world.AddMod({L"Needy", 20, 1, {{u"Base Library", 10, 4}, {u"Ghost Pack", 30, 2}, {u"", 40, 0}}});
    world.AddMod({L"Deep", 50, 1, {{u"Needy Mod", 20, 1}}});
    world.AddMod({L"Fine", 60, 1, {{u"Base", 10, 1}}});
    CModCatalogue catalogue(world.Folders().GetModsFolderToScan());
    CModRows rows(catalogue, world.Folders().GameVersion());
    auto tipOf = [&](const std::string& name) {
        for (std::size_t row = 0; row < rows.RowCount(); ++row) {
            if (rows.RecordOf(row).name == name) {
                return StatusTipText(rows.ProblemsOf(row));
            }
        }
        return std::wstring(L"<no row>");
    };
    // Each name stands isolated from the words around it.
    const std::wstring tip =
        L"Needs \u2068Ghost Pack\u2069 version 2 or later; it is not installed\n"
        L"Needs mod 40; it is not installed\n"
        L"Needs \u2068Base Library\u2069 version 4 or later; version 1 is installed";
    EXPECT_EQ(tipOf("Needy"), tip);
    // Problems further down the chain are named by the mod that asks.
    EXPECT_EQ(tipOf("Deep"), tip);
    EXPECT_EQ(tipOf("Fine"), L"");
}

TEST(ModInfoTextsTest, StatusTipNamesTheFilesAModHides) {
    test::CGameWorld world;
    world.AddMod({L"Base", 10, 1});
    world.AddMod({L"Base again", 10, 3});
    world.AddMod({L"Other", 11, 1});
    CModCatalogue catalogue(world.Folders().GetModsFolderToScan());
    CModRows rows(catalogue, world.Folders().GameVersion());
    ASSERT_EQ(rows.RowCount(), 2u);
    const std::wstring tip = StatusTipText(rows.ProblemsOf(0), rows.HiddenBy(0));
    EXPECT_TRUE(tip.starts_with(L"Hides ")) << tip;
    EXPECT_NE(tip.find(L"(version 1): it has the same identity"), std::wstring::npos) << tip;
    EXPECT_EQ(StatusTipText(rows.ProblemsOf(1), rows.HiddenBy(1)), L"");
}

TEST(ModInfoTextsTest, StatusTipCutsLongNames) {
    test::CGameWorld world;
    world.AddMod({L"Needy", 20, 1, {{std::u16string(250, u'N'), 30, 2}}});
    CModCatalogue catalogue(world.Folders().GetModsFolderToScan());
    CModRows rows(catalogue, world.Folders().GameVersion());
    ASSERT_EQ(rows.RowCount(), 1u);
    const std::wstring tip = StatusTipText(rows.ProblemsOf(0));
    EXPECT_EQ(tip, L"Needs \u2068" + std::wstring(77, L'N') + L"\u2069... version 2 or later; it is not installed");
}

// A name cannot break its line, hide what follows or turn it round; a mod
// that needs hundreds of others lists 20 and counts the rest.
TEST(ModInfoTextsTest, StatusTipShowsNamesOnOneLineAndAtMostTwentyProblems) {
    test::CGameWorld world;
    test::CGameWorld::Mod needy{L"Needy", 1, 1};
    needy.requirements.push_back({u"evil\u202E\nlive", 2, 1});
    for (std::int64_t guid = 3; guid < 502; ++guid) needy.requirements.push_back({u"More", guid, 1});
    world.AddMod(needy);
    CModCatalogue catalogue(world.Folders().GetModsFolderToScan());
    CModRows rows(catalogue, world.Folders().GameVersion());
    const std::wstring tip = StatusTipText(rows.ProblemsOf(0));
    EXPECT_TRUE(tip.starts_with(L"Needs \u2068evil\\u202E\\u000Alive\u2069 version 1")) << WideToUtf8(tip);
    EXPECT_EQ(std::count(tip.begin(), tip.end(), L'\n'), 20);
    EXPECT_TRUE(tip.ends_with(L"\nand 480 more")) << WideToUtf8(tip);
    const std::vector<std::wstring> twenty(20, L"line");
    EXPECT_EQ(ProblemLinesText(twenty).find(L"more"), std::wstring::npos);
}

}  // namespace
}  // namespace gh
