// `inspect`: a mod file's header as the launcher reads it, and the warnings
// a mod author needs, on its own and as the built executable prints it.
#include "CliFixture.h"
#include "cli/HeaderReport.h"
#include "platform/InputFile.h"
#include "platform/Unicode.h"

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
        for (const InspectFinding& warning : inspection.warnings) codes.push_back(warning.code);
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
    mod.description = std::u16string(512, u'd') + u'\0';  // the rest reads as an empty website
    EXPECT_THAT(Codes(mod), ::testing::Contains("text-too-long"));
    mod = CleanMod();
    mod.guid = -1;
    EXPECT_EQ(Codes(mod), List{"no-identity"});
    mod = CleanMod();
    mod.name = u"EDITOR";
    EXPECT_EQ(Codes(mod), List{"unlisted-name"});
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

TEST_F(InspectTest, AFileCutAtEveryByteIsAModFileOnlyFromItsIdentityOn) {
    ModFileLayout layout;
    const std::string whole = EncodeModFile(CleanMod(), &layout);
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        m_temp.WriteFile(L"cut.mod", whole.substr(0, cut));
        const ModInspection inspection = InspectModFile(m_temp / L"cut.mod", kGame);
        ASSERT_EQ(inspection.readable, cut >= layout.guid.end) << cut;
        if (!inspection.readable) {
            ASSERT_EQ(inspection.problems.size(), 1u) << cut;
            EXPECT_EQ(inspection.problems[0].code, "ends-before-identity") << cut;
            continue;
        }
        const bool cutShort = std::any_of(inspection.warnings.begin(), inspection.warnings.end(),
                                          [](const InspectFinding& w) { return w.code == "cut-short"; });
        EXPECT_EQ(cutShort, cut < whole.size() - CleanMod().content.size()) << cut;
    }
}

TEST_F(InspectTest, TheExecutablePrintsTextAndJson) {
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

    EXPECT_EQ(Gatehouse({L"inspect"}).exitCode, 2);
    EXPECT_EQ(m_temp.ReadFile(L"outside/author's.mod"), EncodeModFile(mod)) << "inspect writes nothing";
}

// What is no mod file this launcher can read fails with its reasons, the
// same in the error line and in the JSON; a readable file says nothing there.
TEST_F(InspectTest, EveryVerdictReachesTheExitStatusTheErrorLineAndTheJson) {
    WriteGame();
    ModFile format7 = CleanMod(), format0 = CleanMod(), overlong = CleanMod(), editor = CleanMod();
    format7.formatVersion = 7;
    format0.formatVersion = 0;
    overlong.description = std::u16string(600, u'd');  // its rest is read where the identity was
    editor.name = u"EDITOR";
    ModFileLayout layout;
    const std::string whole = EncodeModFile(CleanMod(), &layout);
    m_temp.WriteFile(L"notes.mod", "vm\n");
    m_temp.WriteFile(L"format7.mod", EncodeModFile(format7));
    m_temp.WriteFile(L"format0.mod", EncodeModFile(format0));
    m_temp.WriteFile(L"cut.mod", whole.substr(0, layout.guid.end - 1));
    m_temp.WriteFile(L"overlong.mod", EncodeModFile(overlong));
    m_temp.WriteFile(L"editor.mod", EncodeModFile(editor));
    m_temp.MakeFolder(L"folder.mod");
    const std::string notAMod = "is not a mod file this launcher can read: ", unopened = "cannot be read: ";
    const struct {
        const wchar_t* file;
        std::vector<std::string> codes;  // the problems, or the warnings of a readable file
        const std::string* says;         // nullptr for a readable file
    } cases[] = {
        {L"notes.mod", {"unknown-format", "ends-before-identity"}, &notAMod},
        {L"format7.mod", {"unknown-format"}, &notAMod},
        {L"format0.mod", {"unknown-format"}, &notAMod},
        {L"cut.mod", {"ends-before-identity"}, &notAMod},
        {L"overlong.mod", {"ends-before-identity", "text-too-long"}, &notAMod},
        {L"nothere.mod", {"not-found"}, &unopened},
        {L"folder.mod", {"not-a-file"}, &unopened},
        {L"editor.mod", {"unlisted-name"}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.file));
        const ChildResult text = Gatehouse({L"inspect", m_temp / c.file});
        const ChildResult json = Gatehouse({L"inspect", L"--json", m_temp / c.file});
        EXPECT_EQ(text.exitCode, c.says ? 1 : 0) << text.err;
        EXPECT_EQ(json.exitCode, text.exitCode);
        const auto parsed = nlohmann::json::parse(json.out);
        EXPECT_EQ(parsed["readable"], c.says == nullptr);
        std::vector<std::string> codes;
        std::string reasons;
        for (const auto& finding : parsed[c.says ? "problems" : "warnings"]) {
            codes.push_back(finding["code"]);
            if (c.says) reasons += (reasons.empty() ? "" : "; ") + finding["text"].get<std::string>();
        }
        EXPECT_EQ(codes, c.codes);
        if (!c.says) {
            EXPECT_EQ(text.err, "");
            continue;
        }
        EXPECT_EQ(text.out, "");
        EXPECT_FALSE(parsed.contains("guid")) << "no fields are made up for a file that is none";
        EXPECT_THAT(text.err, HasSubstr("\" " + *c.says + reasons + "\n"));
        EXPECT_EQ(json.err, text.err);
        if (c.says == &unopened) {  // the system's own words
            EXPECT_EQ(reasons, WideToUtf8(platform::CInputFile().Open(m_temp / c.file).Text()));
        }
    }
}

}  // namespace
}  // namespace gh::test
