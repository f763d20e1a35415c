// hold and release, with sync and list, as child processes against a local
// Workshop written for the test: the files, the record and what list says
// agree after every step.
#include "CliFixture.h"

#include "platform/Unicode.h"
#include "support/CGameWorld.h"
#include "workshop/WorkshopRecordFile.h"

#include <gmock/gmock.h>
#include <filesystem>
#include <nlohmann/json.hpp>

namespace gh::test {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using Json = nlohmann::json;

// Later than any file written now, so each new Workshop time is an update.
constexpr std::uint32_t kTime = 2'000'000'000;

class WorkshopCommandsTest : public CliFixture {
protected:
    // The Workshop's copy of subscription 11, mods/castle.mod, at `time`.
    void Publish(std::uint16_t version, std::uint32_t time) {
        m_temp.WriteFile(L"workshop/castle.mod", EncodeModFile(Mod(L"Castle", 4411, version)));
        const Json item = {
            {"id", 11}, {"fileName", "mods/castle.mod"}, {"content", "castle.mod"}, {"timeUpdated", time}};
        m_temp.WriteFile(L"workshop/workshop.json", Json{{"items", {item}}}.dump());
    }

    ChildResult Run(std::vector<std::wstring> args) {
        args.insert(args.begin(), {L"--workshop", m_temp / L"workshop"});
        return Gatehouse(args);
    }

    // The castle's entry in list --json.
    Json CastleInList() {
        const ChildResult list = Run({L"list", L"--json"});
        EXPECT_EQ(list.exitCode, 0) << list.err;
        const Json parsed = Json::parse(list.out);
        for (const Json& mod : parsed["mods"])
            if (mod["guid"] == 4411) return mod;
        return nullptr;
    }
};

TEST_F(WorkshopCommandsTest, AHeldSubscriptionStaysAtItsVersionUntilItIsReleased) {
    WriteGame();
    Publish(1, kTime);
    ASSERT_EQ(Run({L"sync"}).exitCode, 0);

    const ChildResult held = Run({L"hold", L"mods/castle.mod"});
    EXPECT_EQ(held.exitCode, 0) << held.err;
    EXPECT_THAT(held.out, HasSubstr("Held mods/castle.mod (Workshop item 11)"));

    Publish(2, kTime + 10);
    const ChildResult sync = Run({L"sync"});
    EXPECT_EQ(sync.exitCode, 0) << "a held subscription is no failure";
    EXPECT_THAT(Lines(sync.out), Contains("mods/castle.mod - Held at the installed version."));
    EXPECT_EQ(CastleInList()["version"], 1);
    EXPECT_EQ(CastleInList()["workshop"],
              Json::parse(R"({"id":11,"subscribed":true,"held":true,"updateWaiting":true,"history":[]})"));
    EXPECT_THAT(Run({L"list"}).out, HasSubstr("workshop 11: held at the installed version, an update is waiting"));

    EXPECT_THAT(Lines(Run({L"changes"}).out),
                Contains("  held with an update waiting: mods/castle.mod (Workshop item 11): version 1"));
    // The list for a bug report says so of the selected mod.
    m_temp.WriteFile(User(L"gatehouse.sch"), test::SelectionFileBytes({4411}));
    EXPECT_THAT(Run({L"report", L"--last"}).out, HasSubstr("Castle (identity 4411): held"));

    EXPECT_EQ(Run({L"release", L"11"}).exitCode, 0);
    const ChildResult update = Run({L"sync"});
    EXPECT_EQ(update.exitCode, 0);
    EXPECT_EQ(CastleInList()["version"], 2);
    // After the sync's own lines, what changed since the game was last started.
    EXPECT_THAT(Lines(update.out), Contains("  new: mods/castle.mod (Workshop item 11): version 2"))
        << "installed first since the record was begun";
    const Json changes = Json::parse(Run({L"changes", L"--json"}).out);
    EXPECT_EQ(changes["since"], nullptr);
    EXPECT_EQ(changes["changes"], Json::parse(R"([{"kind":"new","id":11,"name":"mods/castle.mod","from":[],
        "to":[{"path":"mods/castle.mod","guid":4411,"version":2}]}])"));
    Json workshop = CastleInList()["workshop"];
    ASSERT_EQ(workshop["history"].size(), 1u);
    const Json record = Json::parse(m_temp.ReadFile(User(L"Gatehouse/workshop-record.json")));
    EXPECT_EQ(workshop["history"][0]["installed"],
              DateText(record["subscriptions"][0]["history"][0]["installed"].get<std::int64_t>()));
    workshop["history"][0].erase("installed");
    EXPECT_EQ(workshop, Json::parse(R"({"id":11,"subscribed":true,"held":false,"updateWaiting":false,
        "history":[{"entry":1,"mods":[{"guid":4411,"version":1}]}]})"));
}

TEST_F(WorkshopCommandsTest, OnlyWorkshopSubscriptionsCanBeHeldOrReleased) {
    WriteGame();
    Publish(1, kTime);
    ASSERT_EQ(Run({L"sync"}).exitCode, 0);
    InstallMod(L"own.mod", Mod(L"Own", 5, 1));
    struct Case {
        std::vector<std::wstring> args;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{L"hold", L"own.mod"}, 1, "gatehouse: \"own.mod\" is not a mod from the Workshop, so it cannot be held"},
        {{L"release", L"mods/own.mod"}, 1, "is not a mod from the Workshop, so it cannot be released"},
        {{L"hold", L"99"}, 1, "Workshop item 99 is not among the subscriptions synced here"},
        {{L"hold"}, 2, "hold needs a mod file or a Workshop id"},
    };
    for (const Case& c : cases) {
        const ChildResult run = Run(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.message;
        EXPECT_THAT(run.err, HasSubstr(c.message));
    }
    EXPECT_EQ(CastleInList()["workshop"]["held"], false);
}

TEST_F(WorkshopCommandsTest, ARestorePutsAnEarlierVersionBackHoldsItAndCanBeUndone) {
    WriteGame();
    for (std::uint16_t version = 1; version <= 3; ++version) {
        Publish(version, kTime + version);
        ASSERT_EQ(Run({L"sync"}).exitCode, 0);
    }
    const ChildResult history = Run({L"history", L"castle.mod"});
    EXPECT_EQ(history.exitCode, 0) << history.err;
    EXPECT_THAT(history.out, HasSubstr("  1    installed "));
    EXPECT_THAT(history.out, HasSubstr("  mods/castle.mod version 2 (guid 4411)\n  2    installed "));
    EXPECT_THAT(history.out, ::testing::EndsWith("  mods/castle.mod version 1 (guid 4411)\n"));

    const ChildResult restore = Run({L"restore", L"11", L"2"});
    EXPECT_EQ(restore.exitCode, 0) << restore.err;
    EXPECT_THAT(restore.out, HasSubstr("It is held now"));
    EXPECT_EQ(CastleInList()["version"], 1);
    EXPECT_EQ(CastleInList()["workshop"]["held"], true);
    EXPECT_THAT(Lines(Run({L"sync"}).out), Contains("mods/castle.mod - Held at the installed version."));
    EXPECT_EQ(CastleInList()["version"], 1) << "the next sync does not undo a restore";

    // The version the restore replaced is the newest earlier one now.
    EXPECT_EQ(Run({L"restore", L"castle.mod"}).exitCode, 0);
    EXPECT_EQ(CastleInList()["version"], 3);

    InstallMod(L"own.mod", Mod(L"Own", 5, 1));
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::wstring>, std::string>>{
             {{L"restore", L"11", L"4"}, "has no earlier version 4"},
             {{L"restore", L"own.mod"}, "is not a mod from the Workshop, so it cannot be restored"},
             {{L"history", L"own.mod"}, "is not a mod from the Workshop, so it has no history"}}) {
        const ChildResult run = Run(args);
        EXPECT_EQ(run.exitCode, 1) << message;
        EXPECT_THAT(run.err, HasSubstr(message));
    }
    EXPECT_EQ(CastleInList()["version"], 3);
}

TEST_F(WorkshopCommandsTest, AWithdrawnItemKeepsItsFilesAndADamagedRecordLosesNothing) {
    WriteGame();
    // Day 1: the castle and the tower (12) are subscribed.
    m_temp.WriteFile(L"workshop/tower.mod", EncodeModFile(Mod(L"Tower", 4412, 1)));
    Publish(1, kTime);
    Json manifest = Json::parse(m_temp.ReadFile(L"workshop/workshop.json"));
    const Json castleOnly = manifest;
    manifest["items"].push_back(
        {{"id", 12}, {"fileName", "mods/tower.mod"}, {"content", "tower.mod"}, {"timeUpdated", kTime}});
    m_temp.WriteFile(L"workshop/workshop.json", manifest.dump());
    ASSERT_EQ(Run({L"sync"}).exitCode, 0);
    const auto towerInList = [&] {
        const Json list = Json::parse(Run({L"list", L"--json"}).out);
        for (const Json& mod : list["mods"])
            if (mod["guid"] == 4412) return mod;
        return Json();
    };
    ASSERT_EQ(towerInList()["workshop"]["subscribed"], true);

    // Day 2: the tower is withdrawn. Its file stays, and list, changes and
    // the record all call it gone.
    m_temp.WriteFile(L"workshop/workshop.json", castleOnly.dump());
    const ChildResult sync = Run({L"sync"});
    EXPECT_EQ(sync.exitCode, 0) << sync.err;
    EXPECT_TRUE(m_temp.Exists(User(L"mods/tower.mod")));
    EXPECT_EQ(towerInList()["workshop"]["subscribed"], false);
    EXPECT_THAT(Run({L"list"}).out, HasSubstr("workshop 12: no longer subscribed"));
    const Json gone = Json::parse(Run({L"changes", L"--json"}).out)["changes"];
    EXPECT_THAT(
        gone,
        Contains(::testing::Truly([](const Json& change) { return change["kind"] == "gone" && change["id"] == 12; })));
    const Json record = Json::parse(m_temp.ReadFile(User(L"Gatehouse/workshop-record.json")));
    EXPECT_EQ(record["subscriptions"][1]["subscribed"], false);

    // Day 3: the record is damaged. It is kept aside, a line says so, the
    // sync goes on, and no mod file is lost.
    m_temp.WriteFile(User(L"Gatehouse/workshop-record.json"), "{\"version\": 1, \"subscriptions\": [");
    const ChildResult damaged = Run({L"sync"});
    EXPECT_EQ(damaged.exitCode, 0) << damaged.err;
    EXPECT_THAT(damaged.err, HasSubstr("damaged"));
    EXPECT_TRUE(m_temp.Exists(User(L"mods/castle.mod")));
    EXPECT_TRUE(m_temp.Exists(User(L"mods/tower.mod")));
    EXPECT_EQ(CastleInList()["workshop"]["id"], 11) << "the sync recorded the castle anew";
    EXPECT_EQ(towerInList()["workshop"], nullptr) << "the lost record's tower is no longer known";
    bool keptAside = false;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(m_temp / User(L"Gatehouse"))))
        keptAside |= entry.path().filename().wstring().rfind(L"workshop-record.damaged-", 0) == 0;
    EXPECT_TRUE(keptAside);
}

TEST_F(WorkshopCommandsTest, AGameStartBeginsTheListOfWhatChangedAnew) {
    WriteGame();
    Publish(1, kTime);
    ASSERT_EQ(Run({L"sync"}).exitCode, 0);
    ASSERT_EQ(Json::parse(Run({L"changes", L"--json"}).out)["changes"].size(), 1u);
    const std::wstring runner = CopyStandIn(m_temp, L"runner/standin");
    ASSERT_EQ(Run({L"--runner", runner, L"play"}).exitCode, 0);
    ASSERT_FALSE(WaitForRecord(m_temp, L"runner").empty());
    const Json changes = Json::parse(Run({L"changes", L"--json"}).out);
    EXPECT_TRUE(changes["since"].is_string());
    EXPECT_EQ(changes["changes"], Json::array());
    EXPECT_THAT(Run({L"changes"}).out, HasSubstr("Nothing changed since the game was last started"));
}

}  // namespace
}  // namespace gh::test
