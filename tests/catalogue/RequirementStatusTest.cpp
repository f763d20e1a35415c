#include "catalogue/ModRows.h"
#include "catalogue/RequirementGraph.h"

#include "game/GameFolders.h"
#include "game/PathText.h"
#include "platform/SystemFolders.h"
#include "support/ModFileWriter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <set>
#include <tuple>

namespace gh::test {
namespace {

constexpr GameVersionParts kGame{1, 2, 3, 4};

struct Req {
    std::int64_t guid;
    std::uint16_t version;
};

ModInfo Mod(std::int64_t guid, std::uint16_t version, std::vector<Req> requirements = {},
            std::array<std::uint16_t, 4> gameVersion = {1, 2, 3, 4}, std::string name = "") {
    ModInfo info;
    info.guid = guid;
    info.version = version;
    std::copy(gameVersion.begin(), gameVersion.end(), info.gameVersion);
    info.name = name.empty() ? "mod " + std::to_string(guid) : name;
    for (const Req& r : requirements)
        info.requirements.push_back({r.guid, r.version, "needs " + std::to_string(r.guid)});
    return info;
}

std::vector<std::int32_t> Statuses(const CModCatalogue& catalogue, std::optional<GameVersionParts> game = kGame) {
    CModRows rows(catalogue, game);
    std::vector<std::int32_t> out;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) out.push_back(rows.StatusOf(row));
    return out;
}

TEST(ModStatus, GameVersionMustMatchInAllFourParts) {
    CModCatalogue catalogue(
        {Mod(1, 1), Mod(2, 1, {}, {1, 2, 3, 5}), Mod(3, 1, {}, {2, 2, 3, 4}), Mod(4, 1, {}, {0, 0, 0, 0})});
    EXPECT_EQ(Statuses(catalogue), (std::vector<std::int32_t>{StatusOk, StatusWrongGameVersion, StatusWrongGameVersion,
                                                              StatusWrongGameVersion}));
    EXPECT_EQ(Statuses(catalogue, std::nullopt), std::vector<std::int32_t>(4, StatusWrongGameVersion));
}

TEST(ModStatus, RequirementProblemsOutrankTheGameVersionAndMissingOutranksOutdated) {
    CModCatalogue catalogue({
        Mod(1, 1, {{2, 2}}),                            // Y too old: outdated
        Mod(2, 1),                                      // Y keeps its own status
        Mod(3, 1, {{4, 1}}),                            // needs Z through W: missing
        Mod(4, 1, {{99, 0}}),                           // W needs what is not installed
        Mod(5, 1, {{6, 2}}),                            // equal versions satisfy
        Mod(6, 2), Mod(7, 1, {{99, 0}}, {9, 9, 9, 9}),  // wrong game and missing: missing
        Mod(8, 1, {{2, 5}, {98, 0}}),                   // outdated and missing: missing
        Mod(9, 1, {{2, 9}}, {9, 9, 9, 9}),              // wrong game and outdated: outdated
    });
    EXPECT_EQ(Statuses(catalogue),
              (std::vector<std::int32_t>{StatusOutdatedRequirement, StatusOk, StatusMissingRequirement,
                                         StatusMissingRequirement, StatusOk, StatusOk, StatusMissingRequirement,
                                         StatusMissingRequirement, StatusOutdatedRequirement}));
}

TEST(ModStatus, EditorRecordsAreNotListedButSatisfyRequirements) {
    CModCatalogue catalogue({Mod(1, 1, {}, {0, 0, 0, 0}, "EDITOR"), Mod(2, 1, {{1, 1}}),
                             Mod(3, 1, {}, {1, 2, 3, 4}, "editor"), Mod(4, 1, {{1, 2}})});
    CModRows rows(catalogue, kGame);
    ASSERT_EQ(rows.RowCount(), 3u);
    EXPECT_EQ(rows.RecordOf(0).guid, 2);
    EXPECT_EQ(rows.StatusOf(0), StatusOk);
    EXPECT_EQ(rows.RecordOf(1).name, "editor");
    EXPECT_EQ(rows.StatusOf(2), StatusOutdatedRequirement);
    EXPECT_EQ(&rows.RecordOf(2), &catalogue.At(3));
}

TEST(ModStatus, RowsCarryTheRecordsTexts) {
    ModInfo info = Mod(-5, 65535, {}, {10, 0, 65535, 7});
    info.author = "author";
    info.website = "web";
    info.downloadUrl = "down";
    info.description = "desc";
    CModCatalogue catalogue({info});
    const ModData row = CModRows(catalogue, kGame).DisplayRecord(0);
    EXPECT_EQ(row.name, L"mod -5");
    EXPECT_EQ(row.author, L"author");
    EXPECT_EQ(row.website, L"web");
    EXPECT_EQ(row.downloadUrl, L"down");
    EXPECT_EQ(row.description, L"desc");
    EXPECT_EQ(row.gameVersionText, L"10.0.65535.7");
    EXPECT_EQ(row.guid, -5);
    EXPECT_EQ(row.version, 65535u);
}

TEST(ModStatus, CyclesEnd) {
    CModCatalogue catalogue({
        Mod(1, 1, {{1, 1}}),                       // needs itself, satisfied
        Mod(2, 1, {{2, 2}}),                       // needs a newer self
        Mod(3, 1, {{4, 1}}),                       // 3 <-> 4, fine
        Mod(4, 1, {{3, 1}}), Mod(5, 1, {{6, 1}}),  // 5 -> 6 -> 7 -> 5, 7 misses something
        Mod(6, 1, {{7, 1}}), Mod(7, 1, {{5, 1}, {99, 1}}),
        Mod(8, 1, {{6, 1}}),  // reaches the missing one through the cycle
    });
    EXPECT_EQ(Statuses(catalogue), (std::vector<std::int32_t>{StatusOk, StatusOutdatedRequirement, StatusOk, StatusOk,
                                                              StatusMissingRequirement, StatusMissingRequirement,
                                                              StatusMissingRequirement, StatusMissingRequirement}));
}

// The report split by kind, as the list and the JSON show it.
struct Report {
    std::vector<const CModRequirement*> missing;
    std::vector<const ModInfo*> outdated;
};
Report Split(std::span<const RequirementProblem> problems) {
    Report report;
    for (const RequirementProblem& problem : problems) {
        if (problem.installed)
            report.outdated.push_back(problem.installed);
        else
            report.missing.push_back(problem.requirement);
    }
    return report;
}

TEST(ModStatus, ReportsNameEachMissingModAndEachOutdatedModOnce) {
    CModCatalogue catalogue({Mod(1, 1, {{50, 3}, {2, 2}, {3, 1}}), Mod(2, 1), Mod(3, 1, {{50, 4}, {2, 3}, {1, 1}})});
    CModRows rows(catalogue, kGame);
    const auto problems = rows.ProblemsOf(0);
    ASSERT_EQ(problems.size(), 2u);
    // The first requirement met names the missing mod; the highest version asked is kept beside it.
    EXPECT_EQ(problems[0].installed, nullptr);
    EXPECT_EQ(problems[0].requirement, &catalogue.At(0).requirements[0]);
    EXPECT_EQ(problems[0].highestVersion, 4);
    EXPECT_EQ(problems[1].installed, &catalogue.At(1));
    EXPECT_EQ(problems[1].requirement, &catalogue.At(0).requirements[1]);
    EXPECT_EQ(problems[1].highestVersion, 3);
    EXPECT_TRUE(rows.ProblemsOf(1).empty());
    // Mods that need each other share one report.
    EXPECT_EQ(rows.ProblemsOf(2).data(), problems.data());
}

TEST(ModStatus, ACutHeaderRepeatingOneRequirementGivesOneLine) {
    // A file that claims 65,535 requirements but ends after the first repeats
    // that entry to the end; a chain of such mods still names it once per row.
    std::vector<ModInfo> mods;
    for (int i = 0; i < 10; ++i) {
        ModInfo mod = Mod(i, 1, {{i + 1, 1}});
        mod.requirements.resize(65535, mod.requirements.back());
        if (i == 9) mod.requirements.assign(65535, {404, 1, "gone"});
        mods.push_back(std::move(mod));
    }
    CModCatalogue catalogue(std::move(mods));
    CModRows rows(catalogue, kGame);
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const auto problems = rows.ProblemsOf(row);
        ASSERT_EQ(problems.size(), 1u) << "row " << row;
        EXPECT_EQ(problems[0].requirement->guid, 404);
    }
}

TEST(ModStatus, UnreadableGameVersionMakesEveryModWrong) {
    TempFolder temp;  // holds no game executable
    const CGameFolders folders(temp.Path() + L"gatehouse", temp.Path());
    CModCatalogue catalogue({Mod(1, 1), Mod(2, 1, {{3, 1}})});
    std::vector<std::int32_t> fromGame;
    for (const ModData& row : CModRows(catalogue, folders.GameVersion()).DisplayRecords())
        fromGame.push_back(row.status);
    EXPECT_EQ(fromGame, (std::vector<std::int32_t>{StatusWrongGameVersion, StatusMissingRequirement}));
}

TEST(ModStatus, RowsFromFilesOfEveryFormat) {
    TempFolder temp;
    auto write = [&](const wchar_t* name, std::uint16_t format, std::int64_t guid, std::uint16_t version,
                     std::vector<ModFileRequirement> requirements) {
        ModFile mod;
        mod.formatVersion = format;
        mod.guid = guid;
        mod.version = version;
        std::copy_n(std::begin({std::uint16_t{1}, std::uint16_t{2}, std::uint16_t{3}, std::uint16_t{4}}), 4,
                    mod.gameVersion);
        mod.requirements = std::move(requirements);
        mod.name = Units(name);
        ASSERT_TRUE(WriteModFile(temp / (std::wstring(L"mods/") + name), mod));
    };
    write(L"a.mod", 4, 1, 1, {{u"b", 2, 3}});  // b is installed in version 2: outdated
    write(L"b.mod", 2, 2, 2, {});              // format 2: game version 0.0.0.0
    write(L"c.mod", 1, 3, 0, {{u"b", 2, 9}});  // format 1 keeps no requirement version: satisfied
    write(L"d.mod", 3, 4, 1, {{u"x", 77, 0}});
    ModFile damaged;
    damaged.guid = 5;
    ASSERT_TRUE(WriteModFile(temp / L"mods/e.mod", damaged, 7));  // ends inside its first text
    CModCatalogue catalogue(NormalizeSlashes(ToUpper(temp.Path() + L"mods/")));
    CModRows rows(catalogue, kGame);
    ASSERT_EQ(rows.RowCount(), 5u);
    EXPECT_EQ(rows.StatusOf(0), StatusOutdatedRequirement);
    EXPECT_EQ(rows.StatusOf(1), StatusWrongGameVersion);
    EXPECT_EQ(rows.DisplayRecord(1).gameVersionText, L"0.0.0.0");
    EXPECT_EQ(rows.StatusOf(2), StatusWrongGameVersion);
    EXPECT_EQ(rows.StatusOf(3), StatusMissingRequirement);
    EXPECT_EQ(rows.RecordOf(4).guid, -1);
    EXPECT_EQ(rows.StatusOf(4), StatusWrongGameVersion);  // its game version was not reached
}

// --- against straightforward checks on random graphs -------------------

// The check as a plain recursive walk that visits each mod once; missing
// requirements are kept once per guid (the first met), with the highest
// version asked.
struct Expected {
    std::vector<const CModRequirement*> missing;
    std::vector<const ModInfo*> outdated;
    std::map<std::int64_t, std::uint16_t> highest;
};

void VisitOnce(const CModCatalogue& catalogue, const ModInfo& mod, std::set<const ModInfo*>& visited, Expected& out) {
    visited.insert(&mod);
    for (const CModRequirement& req : mod.requirements) {
        const ModInfo* found = nullptr;
        for (std::size_t i = 0; i < catalogue.Count() && !found; ++i)
            if (catalogue.At(i).guid == req.guid) found = &catalogue.At(i);
        if (!found) {
            const bool seen = std::any_of(out.missing.begin(), out.missing.end(),
                                          [&](const CModRequirement* m) { return m->guid == req.guid; });
            if (!seen) out.missing.push_back(&req);
            out.highest[req.guid] = std::max(out.highest[req.guid], req.version);
            continue;
        }
        if (found->version < req.version) {
            if (std::find(out.outdated.begin(), out.outdated.end(), found) == out.outdated.end())
                out.outdated.push_back(found);
            out.highest[req.guid] = std::max(out.highest[req.guid], req.version);
        }
        if (!visited.count(found)) VisitOnce(catalogue, *found, visited, out);
    }
}

std::vector<ModInfo> RandomMods(std::mt19937& rng, bool acyclic) {
    const int count = 1 + static_cast<int>(rng() % 30);
    std::vector<ModInfo> mods;
    for (int i = 0; i < count; ++i) {
        const std::int64_t guid = acyclic ? i : static_cast<std::int64_t>(rng() % (count + 3));
        std::vector<Req> requirements;
        const int n = static_cast<int>(rng() % 5);
        for (int k = 0; k < n; ++k) {
            // Without cycles a mod needs only later mods or ones not installed.
            const std::int64_t target = acyclic ? i + 1 + static_cast<std::int64_t>(rng() % (count + 2 - i))
                                                : static_cast<std::int64_t>(rng() % (count + 5));
            requirements.push_back({target, static_cast<std::uint16_t>(rng() % 4)});
        }
        const std::array<std::uint16_t, 4> game =
            rng() % 3 ? std::array<std::uint16_t, 4>{1, 2, 3, 4} : std::array<std::uint16_t, 4>{1, 2, 3, 3};
        mods.push_back(Mod(guid, static_cast<std::uint16_t>(rng() % 4), requirements, game, rng() % 8 ? "" : "EDITOR"));
    }
    return mods;
}

std::int32_t ExpectedStatus(const ModInfo& mod, const Expected& expected) {
    if (!expected.missing.empty()) return StatusMissingRequirement;
    if (!expected.outdated.empty()) return StatusOutdatedRequirement;
    const bool match =
        mod.gameVersion[0] == 1 && mod.gameVersion[1] == 2 && mod.gameVersion[2] == 3 && mod.gameVersion[3] == 4;
    return match ? StatusOk : StatusWrongGameVersion;
}

std::set<std::int64_t> Guids(const std::vector<const CModRequirement*>& list) {
    std::set<std::int64_t> guids;
    for (const CModRequirement* req : list) guids.insert(req->guid);
    return guids;
}

// Checks every record's report against the walk; with `exactOrder` the
// order too (records in a cycle share one report, whose order is that of the
// walk from the first of them found).
void CheckAgainstWalk(const CModCatalogue& catalogue, bool exactOrder, const std::string& where) {
    CRequirementGraph graph(catalogue);
    CModRows rows(catalogue, kGame);
    std::size_t row = 0;
    for (std::size_t p = 0; p < catalogue.Count(); ++p) {
        const ModInfo& mod = catalogue.At(p);
        std::set<const ModInfo*> visited;
        Expected expected;
        VisitOnce(catalogue, mod, visited, expected);
        const Report report = Split(graph.ProblemsOf(p));
        if (exactOrder) {
            EXPECT_EQ(report.missing, expected.missing) << where << " mod " << p;
            EXPECT_EQ(report.outdated, expected.outdated) << where << " mod " << p;
        } else {
            EXPECT_EQ(Guids(report.missing), Guids(expected.missing)) << where << " mod " << p;
            EXPECT_EQ(std::set<const ModInfo*>(report.outdated.begin(), report.outdated.end()),
                      std::set<const ModInfo*>(expected.outdated.begin(), expected.outdated.end()))
                << where << " mod " << p;
        }
        for (const RequirementProblem& problem : graph.ProblemsOf(p))
            EXPECT_EQ(problem.highestVersion, expected.highest[problem.requirement->guid]) << where << " mod " << p;
        EXPECT_EQ(graph.ClosureOf(p).missing, !expected.missing.empty());
        EXPECT_EQ(graph.ClosureOf(p).outdated, !expected.outdated.empty());
        if (mod.name == "EDITOR") continue;
        ASSERT_LT(row, rows.RowCount());
        EXPECT_EQ(&rows.RecordOf(row), &mod);
        EXPECT_EQ(rows.StatusOf(row), ExpectedStatus(mod, expected)) << where << " mod " << p;
        ++row;
    }
    EXPECT_EQ(row, rows.RowCount());
}

TEST(ModStatusAgainstReference, RandomGraphsWithCycles) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 400; ++round)
        CheckAgainstWalk(CModCatalogue(RandomMods(rng, false)), false, "round " + std::to_string(round));
}

TEST(ModStatusAgainstReference, RandomGraphsWithoutCyclesInTheWalksOrder) {
    std::mt19937 rng(77);
    for (int round = 0; round < 400; ++round)
        CheckAgainstWalk(CModCatalogue(RandomMods(rng, true)), true, "round " + std::to_string(round));
}

TEST(ModStatusAgainstReference, LongChainsAndLaddersAreJudgedWhole) {
    // A chain of 10,000 mods each needing the next; the last one misses its own.
    std::vector<ModInfo> chain;
    for (int i = 0; i < 10000; ++i) chain.push_back(Mod(i, 1, {{i + 1, 1}}));
    CModCatalogue chained(std::move(chain));
    EXPECT_EQ(Statuses(chained), std::vector<std::int32_t>(10000, StatusMissingRequirement));
    CModRows chainRows(chained, kGame);
    ASSERT_EQ(chainRows.ProblemsOf(0).size(), 1u);
    EXPECT_EQ(chainRows.ProblemsOf(0)[0].requirement->guid, 10000);

    // 40 levels of two mods, each needing both mods of the next level; the
    // bottom level needs a newer version of one of the top level.
    std::vector<ModInfo> ladder;
    const int levels = 40;
    for (int level = 0; level < levels; ++level)
        for (int side = 0; side < 2; ++side) {
            const std::int64_t guid = 2 * level + side;
            ladder.push_back(level + 1 < levels ? Mod(guid, 1, {{2 * (level + 1), 1}, {2 * (level + 1) + 1, 1}})
                                                : Mod(guid, 1, {{0, 2}}));
        }
    CModCatalogue laddered(std::move(ladder));
    EXPECT_EQ(Statuses(laddered), std::vector<std::int32_t>(2 * levels, StatusOutdatedRequirement));
    CRequirementGraph graph(laddered);
    const Report report = Split(graph.ProblemsOf(1));
    EXPECT_EQ(report.outdated, (std::vector<const ModInfo*>{&laddered.At(0)}));
    EXPECT_TRUE(report.missing.empty());
}

}  // namespace
}  // namespace gh::test
