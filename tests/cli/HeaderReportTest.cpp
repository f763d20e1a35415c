// `inspect`: a mod file's header as the launcher reads it, and the warnings
// a mod author needs, on its own and as the built executable prints it.
#include "CliFixture.h"
#include "cli/HeaderReport.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <algorithm>

namespace gh::test {
namespace {

using ::testing::HasSubstr;

constexpr GameVersionParts kGame{1, 25, 5, 2};

ModFile CleanMod() {
    ModFile mod;
    mod.name = u"Harbor Lights";
    mod.author = u"Lio Marsh";
    mod.description = u"Lit harbours.";
    mod.website = u"https://example.org";
    mod.downloadUrl = u"https://example.org/get";
    mod.guid = 1002;
    mod.version = 3;
    std::copy_n(std::begin({std::uint16_t{1}, std::uint16_t{25}, std::uint16_t{5}, std::uint16_t{2}}), 4,
                mod.gameVersion);
    mod.requirements = {{u"Core Library", 1001, 2}};
    mod.headerStrings = {u"tag"};
    mod.content = "content";
    return mod;
}

class InspectTest : public CliFixture {
protected:
    std::vector<std::string> Codes(const ModFile& mod, std::optional<GameVersionParts> game = kGame) {
        m_temp.WriteFile(L"x.mod", EncodeModFile(mod));
        const ModInspection inspection = InspectModFile(m_temp / L"x.mod", game);
        EXPECT_TRUE(inspection.readable);
        std::vector<std::string> codes;
        for (const InspectWarning& warning : inspection.warnings) codes.push_back(warning.code);
        return codes;
    }
};

TEST_F(InspectTest, ACleanFileHasNoWarnings) {
    EXPECT_TRUE(Codes(CleanMod()).empty());
    m_temp.WriteFile(L"x.mod", EncodeModFile(CleanMod()));
    const ModInspection inspection = InspectModFile(m_temp / L"x.mod", kGame);
    EXPECT_EQ(inspection.info.name, "Harbor Lights");
    EXPECT_EQ(inspection.notes.formatVersion, 4);
    EXPECT_EQ(inspection.notes.name.storedUnits, 13);
    EXPECT_FALSE(inspection.notes.endedEarly);
    EXPECT_EQ(inspection.fileBytes, EncodeModFile(CleanMod()).size());
    EXPECT_EQ(inspection.notes.headerBytes, inspection.fileBytes - 7) << "the content is not header";
}

TEST_F(InspectTest, EachSurpriseHasItsWarning) {
    using List = std::vector<std::string>;
    ModFile mod = CleanMod();
    mod.name = std::u16string(300, u'n');
    EXPECT_EQ(Codes(mod), List{"text-cut"});
    mod = CleanMod();
    mod.description = std::u16string(600, u'd');
    EXPECT_THAT(Codes(mod), ::testing::Contains("text-too-long"));
    mod = CleanMod();
    mod.formatVersion = 7;
    EXPECT_EQ(Codes(mod), List{"unknown-format"});
    mod = CleanMod();
    mod.guid = -1;
    EXPECT_EQ(Codes(mod), List{"no-identity"});
    mod = CleanMod();
    mod.requirements = {{u"me", 1002, 1}, {u"any", 5, 0}};
    EXPECT_EQ(Codes(mod), (List{"requires-itself", "requirement-version-0"}));
    mod = CleanMod();
    mod.gameVersion[2] = 6;
    EXPECT_EQ(Codes(mod), List{"other-game-version"});
    EXPECT_EQ(Codes(CleanMod(), std::nullopt), List{"game-version-unknown"});
    mod = CleanMod();
    mod.formatVersion = 2;
    EXPECT_EQ(Codes(mod), List{"no-game-version"});
    mod = CleanMod();
    mod.requirementCount = 65535;
    mod.headerStrings.clear();
    mod.content.clear();
    EXPECT_EQ(Codes(mod), List{"cut-short"});
}

TEST_F(InspectTest, AFileCutAtEveryByteReadsWithoutHarm) {
    const std::string whole = EncodeModFile(CleanMod());
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        m_temp.WriteFile(L"cut.mod", whole.substr(0, cut));
        const ModInspection inspection = InspectModFile(m_temp / L"cut.mod", kGame);
        ASSERT_TRUE(inspection.readable) << cut;
        const bool cutShort = std::any_of(inspection.warnings.begin(), inspection.warnings.end(),
                                          [](const InspectWarning& w) { return w.code == "cut-short"; });
        EXPECT_EQ(cutShort, cut < whole.size() - CleanMod().content.size()) << cut;
    }
}

TEST_F(InspectTest, TheExecutablePrintsTextAndJsonAndFailsOnlyWhenTheFileCannotBeRead) {
    WriteGame();
    ModFile mod = CleanMod();
    mod.name = std::u16string(300, u'n');
    m_temp.WriteFile(L"outside/author's.mod", EncodeModFile(mod));

    const ChildResult text = Gatehouse({L"inspect", m_temp / L"outside/author's.mod"});
    EXPECT_EQ(text.exitCode, 0) << text.err;
    EXPECT_THAT(text.out, HasSubstr("Identity (guid): 1002\n"));
    EXPECT_THAT(text.out, HasSubstr("(255 of 300 characters kept)"));
    EXPECT_THAT(text.out, HasSubstr("  1. \"Core Library\": guid 1001, version 2 or later\n"));
    EXPECT_THAT(text.out, HasSubstr("  - the name is cut to 255 of its 300 characters\n"));

    const ChildResult json = Gatehouse({L"inspect", L"--json", m_temp / L"outside/author's.mod"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto parsed = nlohmann::json::parse(json.out);
    EXPECT_EQ(parsed["guid"], 1002);
    EXPECT_EQ(parsed["name"]["length"], 255);
    EXPECT_EQ(parsed["name"]["storedLength"], 300);
    EXPECT_EQ(parsed["requirements"][0]["guid"], 1001);
    EXPECT_EQ(parsed["warnings"][0]["code"], "text-cut");

    const ChildResult missing = Gatehouse({L"inspect", m_temp / L"no such.mod"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_THAT(missing.err, HasSubstr("cannot be read"));
    EXPECT_EQ(Gatehouse({L"inspect"}).exitCode, 2);
    EXPECT_EQ(m_temp.ReadFile(L"outside/author's.mod"), EncodeModFile(mod)) << "inspect writes nothing";
}

}  // namespace
}  // namespace gh::test
