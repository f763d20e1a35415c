// The gatehouse executable as a child process: help and errors, and `list`
// on mod folders written for the test.
#include "CliFixture.h"
#include "platform/Environment.h"

#include <gmock/gmock.h>
#include <algorithm>
#include <nlohmann/json.hpp>

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

using Json = nlohmann::json;

// A path as the program prints it, with '/' for the system's separator.
std::string Slashed(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

TEST_F(CliFixture, HelpAndVersionGoToStandardOutput) {
    const ChildResult help = RunChild(BuiltProgram(GH_GATEHOUSE_EXE), {L"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_THAT(help.out, StartsWith("Usage: gatehouse [options]"));
    EXPECT_THAT(help.out, HasSubstr("play [SET.sch | --last"));
    EXPECT_THAT(help.err, IsEmpty());

    const ChildResult version = RunChild(BuiltProgram(GH_GATEHOUSE_EXE), {L"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_THAT(version.out, StartsWith("gatehouse "));
}

TEST_F(CliFixture, UnknownOptionsAndCommandsPrintTheUsageToStandardErrorWithStatus2) {
    for (const std::vector<std::wstring>& args : std::vector<std::vector<std::wstring>>{
             {L"--bogus"}, {L"launch"}, {L"list", L"--last"}, {L"sync", L"--timeout", L"soon"}, {L"--documents"}}) {
        const ChildResult run = RunChild(BuiltProgram(GH_GATEHOUSE_EXE), args);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_THAT(run.err, StartsWith("gatehouse: "));
        EXPECT_THAT(run.err, HasSubstr("Usage: gatehouse"));
        EXPECT_THAT(run.out, IsEmpty());
    }
}

TEST_F(CliFixture, FolderThatDoesNotExistIsNamedInOneLine) {
    const std::wstring missing = m_temp / L"no such folder";
    for (const wchar_t* option : {L"--documents", L"--game-folder", L"--workshop"}) {
        const ChildResult run = RunChild(BuiltProgram(GH_GATEHOUSE_EXE), {option, missing, L"list"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_THAT(Lines(run.err), ElementsAre(HasSubstr("no such folder")));
        EXPECT_THAT(run.out, IsEmpty());
    }
}

TEST_F(CliFixture, NoCommandWithoutWindowsPointsToTheCommands) {
    // Without a display (or in a build without windows) there is nothing to
    // open: a one-line error that names what does work, and exit status 1.
#ifdef _WIN32
    GTEST_SKIP() << "Windows always has a desktop to open the windows on; without an X display Wine shows "
                    "them nowhere and the run would wait for a player";
#endif
    const auto display = platform::GetEnvironmentText(L"DISPLAY");
    const auto wayland = platform::GetEnvironmentText(L"WAYLAND_DISPLAY");
    platform::SetEnvironmentText(L"DISPLAY", std::nullopt);
    platform::SetEnvironmentText(L"WAYLAND_DISPLAY", std::nullopt);
    const ChildResult run = Gatehouse({});
    platform::SetEnvironmentText(L"DISPLAY", display);
    platform::SetEnvironmentText(L"WAYLAND_DISPLAY", wayland);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr("the commands list, sync and play"));
#ifdef GH_WITH_GUI
    // The gui's module loaded (every symbol it needs from the executable was
    // there) and found no display.
    EXPECT_THAT(run.err, HasSubstr("no display")) << run.err;
#endif
}

// Mods in every status, an "EDITOR" record and a mod in a subfolder.
class ListTest : public CliFixture {
protected:
    static constexpr std::int64_t kTopBitGuid = -9000000000000000000;

    void SetUp() override {
        WriteGame();
        ModFile alpha = Mod(L"Alpha", 11, 3);
        alpha.author = u"Ada";
        alpha.description = u"First mod";
        alpha.website = u"https://example.org/alpha";
        alpha.downloadUrl = u"https://example.org/alpha/get";
        InstallMod(L"Alpha.mod", alpha);
        ModFile beta = Mod(L"Beta", 12);
        beta.gameVersion[1] = 24;
        InstallMod(L"Beta.mod", beta);
        ModFile delta = Mod(L"Delta", 14);
        delta.requirements.push_back({u"Alpha as Delta knows it", 11, 5});
        InstallMod(L"Delta.mod", delta);
        InstallMod(L"Editor.mod", Mod(L"EDITOR", 13));
        ModFile epsilon = Mod(L"Epsilon", 15);
        epsilon.requirements.push_back({u"The editor", 13, 1});
        InstallMod(L"Epsilon.mod", epsilon);
        ModFile gamma = Mod(L"Gamma", 16);
        gamma.requirements.push_back({u"Missing One", 99, 2});
        gamma.requirements.push_back({u"Alpha", 11, 9});
        InstallMod(L"Gamma.mod", gamma);
        InstallMod(L"sub/Zeta.mod", Mod(L"Zeta \u00e9\u4e16", kTopBitGuid, 7));
    }
};

TEST_F(ListTest, JsonHoldsTheManagerRowsInOrderWithTheirProblems) {
    const ChildResult run = Gatehouse({L"list", L"--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json root = Json::parse(run.out);
    EXPECT_EQ(root.at("gameVersion"), "1.25.5.2");
    const Json& mods = root.at("mods");
    std::vector<std::string> names;
    for (const Json& mod : mods) names.push_back(mod.at("name"));
    EXPECT_THAT(names, ElementsAre("Alpha", "Beta", "Delta", "Epsilon", "Gamma", "Zeta \u00e9\u4e16"));

    const Json& alpha = mods[0];
    EXPECT_EQ(alpha.at("author"), "Ada");
    EXPECT_EQ(alpha.at("version"), 3);
    EXPECT_EQ(alpha.at("gameVersion"), "1.25.5.2");
    EXPECT_EQ(alpha.at("guid"), 11);
    EXPECT_EQ(alpha.at("status"), 0);
    EXPECT_EQ(alpha.at("statusText"), "OK");
    EXPECT_EQ(alpha.at("description"), "First mod");
    EXPECT_EQ(alpha.at("website"), "https://example.org/alpha");
    EXPECT_EQ(alpha.at("downloadUrl"), "https://example.org/alpha/get");
    EXPECT_THAT(Slashed(alpha.at("file")), EndsWith("/mods/Alpha.mod"));
    EXPECT_TRUE(alpha.at("missing").empty());
    EXPECT_TRUE(alpha.at("outdated").empty());

    EXPECT_EQ(mods[1].at("status"), 1);
    EXPECT_EQ(mods[1].at("statusText"), "Compiled for outdated Game Ver.");
    EXPECT_EQ(mods[1].at("gameVersion"), "1.24.5.2");

    EXPECT_EQ(mods[2].at("status"), 3);
    EXPECT_EQ(mods[2].at("statusText"), "-Requires Update-");
    EXPECT_EQ(mods[2].at("outdated"), Json::parse(R"([{"guid": 11, "version": 3, "name": "Alpha"}])"));

    EXPECT_EQ(mods[3].at("status"), 0) << "a requirement met by the EDITOR record counts as installed";

    // A missing requirement hides an outdated one in the status, not in the lists.
    EXPECT_EQ(mods[4].at("status"), 2);
    EXPECT_EQ(mods[4].at("statusText"), "-Requires Missing Dependencies-");
    EXPECT_EQ(mods[4].at("missing"), Json::parse(R"([{"guid": 99, "version": 2, "name": "Missing One"}])"));
    EXPECT_EQ(mods[4].at("outdated"), Json::parse(R"([{"guid": 11, "version": 3, "name": "Alpha"}])"));

    EXPECT_EQ(mods[5].at("guid"), kTopBitGuid);
    EXPECT_THAT(Slashed(mods[5].at("file")), EndsWith("/mods/sub/Zeta.mod"));
}

TEST_F(ListTest, JsonGameVersionIsNullWhenTheGameCannotBeRead) {
    m_temp.WriteFile(L"game/Emberwake2.exe", "no version here");
    const ChildResult run = Gatehouse({L"list", L"--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Json root = Json::parse(run.out);
    EXPECT_TRUE(root.at("gameVersion").is_null());
    EXPECT_EQ(root.at("mods")[0].at("status"), 1);
}

TEST_F(ListTest, TextShowsStatusAndNamesTheProblems) {
    const ChildResult run = Gatehouse({L"list"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Emberwake II Version 1.25.5.2");
    // Each row names its file last; its problems follow on lines of their own.
    const auto row =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("Gamma"); });
    ASSERT_LE(row + 3, lines.end());
    EXPECT_THAT(Slashed(row[0]), ::testing::ContainsRegex("-Requires Missing Dependencies- +.*/mods/Gamma.mod$"));
    EXPECT_EQ(row[1], "    missing: Missing One (version 2 or later)");
    EXPECT_EQ(row[2], "    outdated: Alpha (version 3 installed)");
    const auto delta =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("Delta"); });
    ASSERT_LE(delta + 2, lines.end());
    EXPECT_THAT(Slashed(delta[0]), ::testing::ContainsRegex("-Requires Update- +.*/mods/Delta.mod$"));
    EXPECT_EQ(delta[1], "    outdated: Alpha (version 3 installed)");
    EXPECT_THAT(run.out, Not(HasSubstr("EDITOR")));
}

TEST_F(CliFixture, HiddenFilesWithAListedIdentityAreNamedAfterTheRows) {
    WriteGame();
    InstallMod(L"a/Old.mod", Mod(L"Old copy", 7, 2));
    InstallMod(L"b/New.mod", Mod(L"New copy", 7, 4));
    InstallMod(L"c/Same.mod", Mod(L"Same version", 7, 4));
    const ChildResult run = Gatehouse({L"list"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 5u) << run.out;
    EXPECT_THAT(lines[2], ::testing::StartsWith("New copy"));
    EXPECT_THAT(lines[3], ::testing::StartsWith("hidden: "));
    EXPECT_THAT(Slashed(lines[3]), HasSubstr("/mods/a/Old.mod (Old copy, version 2) has the same identity as "));
    EXPECT_THAT(Slashed(lines[3]), ::testing::EndsWith("/mods/b/New.mod"));
    EXPECT_THAT(Slashed(lines[4]), HasSubstr("/mods/c/Same.mod (Same version, version 4) has the same identity as "));
    EXPECT_THAT(Slashed(lines[4]), ::testing::EndsWith("/mods/b/New.mod"));

    const ChildResult json = Gatehouse({L"list", L"--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const Json root = Json::parse(json.out);
    ASSERT_EQ(root.at("mods").size(), 1u);
    const Json& hidden = root.at("hidden");
    ASSERT_EQ(hidden.size(), 2u);
    EXPECT_THAT(Slashed(hidden[0].at("file")), ::testing::EndsWith("/mods/a/Old.mod"));
    EXPECT_EQ(hidden[0].at("name"), "Old copy");
    EXPECT_EQ(hidden[0].at("version"), 2);
    EXPECT_EQ(hidden[0].at("guid"), 7);
    EXPECT_EQ(hidden[0].at("sameAs"), root.at("mods")[0].at("file"));
    EXPECT_THAT(Slashed(hidden[1].at("file")), ::testing::EndsWith("/mods/c/Same.mod"));
    EXPECT_EQ(hidden[1].at("sameAs"), root.at("mods")[0].at("file"));
}

}  // namespace
}  // namespace gh::test
