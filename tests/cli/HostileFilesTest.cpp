// What a hostile Workshop author or an unlucky player can put where the
// launcher reads: pipes in place of files, names that are not valid text,
// headers that claim far more than they hold. Nothing may hang, and what is
// printed stays bounded by what was read.
#include "CliFixture.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>

namespace gh::test {
namespace {

using ::testing::HasSubstr;

class HostileFilesTest : public CliFixture {
protected:
    HostileFilesTest() { WriteGame(); }

#ifndef _WIN32
    // A named pipe that nobody writes to: a read of it would wait for ever.
    void MakePipe(const std::wstring& relative) {
        if (const auto slash = relative.find_last_of(L'/'); slash != std::wstring::npos)
            m_temp.MakeFolder(relative.substr(0, slash));
        const std::filesystem::path path(m_temp / relative);
        ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
    }
#endif
};

#ifndef _WIN32
TEST_F(HostileFilesTest, PipesAreRefusedLikeUnreadableFilesAndNothingWaits) {
    InstallMod(L"a.mod", Mod(L"Alpha", 1));
    MakePipe(L"set.sch");
    const ChildResult set = Gatehouse({L"--runner", L"/bin/true", L"play", m_temp / L"set.sch"});
    EXPECT_EQ(set.exitCode, 1);
    EXPECT_THAT(set.err, HasSubstr("cannot be read"));

    // The default selection file and the restart list as pipes: the manager's
    // selection stays empty, and as the selection cannot be written in the
    // pipe's place, the game is not started on whatever the pipe would say.
    MakePipe(User(L"gatehouse.sch"));
    MakePipe(User(L"restart.txt"));
    const ChildResult last = Gatehouse({L"--runner", L"/bin/true", L"play", L"--last"});
    EXPECT_EQ(last.exitCode, 1);
    EXPECT_THAT(last.err, HasSubstr("Unable to save file: gatehouse.sch"));
    EXPECT_EQ(last.out, "");

    MakePipe(L"workshop/workshop.json");
    const ChildResult sync = Gatehouse({L"--workshop", m_temp / L"workshop", L"sync", L"--timeout", L"5"});
    EXPECT_EQ(sync.exitCode, 1);
    EXPECT_THAT(sync.out, HasSubstr("workshop.json"));
}

TEST_F(HostileFilesTest, NamesThatAreNotValidTextAreFoundAgain) {
    // A documents folder and a mod file whose names hold bytes that are not
    // UTF-8: they are reached by the names the system gives, and shown with
    // a replacement character.
    const std::string odd = "caf\xE9-\xFF";
    const std::filesystem::path documents = std::filesystem::path(m_temp.Path()) / odd;
    const std::filesystem::path mods = documents / "My Games" / "Velmora Games" / "Emberwake 2" / "mods" / odd;
    std::filesystem::create_directories(mods);
    ModFile mod = Mod(L"Odd Names", 77);
    ASSERT_TRUE(WriteModFile(m_temp / L"unused.mod", mod));
    std::filesystem::rename(std::filesystem::path(m_temp / L"unused.mod"), mods / (odd + ".mod"));

    const ChildResult run =
        RunChild(BuiltProgram(GH_GATEHOUSE_EXE), {L"--documents", (m_temp.Path() + L"caf\xDCE9-\xDCFF"),
                                                  L"--game-folder", m_temp / L"game", L"list", L"--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["mods"].size(), 1u);
    EXPECT_EQ(json["mods"][0]["name"], "Odd Names");
    EXPECT_THAT(json["mods"][0]["file"].get<std::string>(), HasSubstr("\xEF\xBF\xBD.mod"));
}

TEST_F(HostileFilesTest, ModFilesThatCannotBeReadAreRowsThatNameTheirFileAndWhy) {
    InstallMod(L"Alpha.mod", Mod(L"Alpha", 1));
    MakePipe(User(L"mods/Pipe.mod"));
    std::filesystem::create_symlink(std::filesystem::path(m_temp / L"nowhere"),
                                    std::filesystem::path(m_temp / User(L"mods/Dangling.mod")));
    const ChildResult json = Gatehouse({L"list", L"--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto root = nlohmann::json::parse(json.out);
    // Both unreadable files carry no identity: one is listed, one hidden.
    std::vector<nlohmann::json> entries(root["mods"].begin(), root["mods"].end());
    entries.insert(entries.end(), root["hidden"].begin(), root["hidden"].end());
    ASSERT_EQ(entries.size(), 3u) << json.out;
    for (const auto& entry : entries) {
        const std::string file = entry["file"];
        ASSERT_FALSE(file.empty()) << entry.dump();
        // Each names a file by the path the system gives it, which a script can use.
        EXPECT_TRUE(std::filesystem::is_symlink(file) || std::filesystem::exists(file)) << file;
        if (file.ends_with("Alpha.mod"))
            EXPECT_FALSE(entry.contains("readError"));
        else
            EXPECT_FALSE(entry["readError"].get<std::string>().empty()) << entry.dump();
    }
    const ChildResult text = Gatehouse({L"list"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_THAT(text.out, HasSubstr("Pipe.mod"));
    EXPECT_THAT(text.out, HasSubstr("Dangling.mod"));
    EXPECT_THAT(text.out, HasSubstr("cannot be read: "));
}
#endif

TEST_F(HostileFilesTest, CutHeadersThatRepeatOneRequirementStayTinyInTheList) {
    // Ten mods in a chain, each header cut after its first requirement while
    // claiming 65,535 of them: each row names the missing mod once.
    for (int i = 0; i < 10; ++i) {
        ModFile mod = Mod(L"Chain " + std::to_wstring(i), 100 + i);
        mod.requirements = {{u"next", i < 9 ? 101 + i : 999, 1}};
        mod.requirementCount = 65535;
        mod.headerStrings.clear();
        mod.content.clear();
        InstallMod(L"chain" + std::to_wstring(i) + L".mod", mod);
    }
    const ChildResult run = Gatehouse({L"list", L"--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_LT(run.out.size(), 20000u);
    const auto json = nlohmann::json::parse(run.out);
    ASSERT_EQ(json["mods"].size(), 10u);
    for (const auto& row : json["mods"]) {
        ASSERT_EQ(row["missing"].size(), 1u) << row.dump();
        EXPECT_EQ(row["missing"][0]["guid"], 999);
    }
}

}  // namespace
}  // namespace gh::test
