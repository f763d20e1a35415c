// `sort`, and what `play` says and adds about the mods the selection's mods
// need, through the executable: Harbor needs Core and Tools, Tools needs
// Core, Ring A and Ring B need each other, and ten mods need nothing.
#include "CliFixture.h"

#include <gmock/gmock.h>

namespace gh::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr std::int64_t kHarbor = 1, kCore = 2, kTools = 3, kRingA = 4, kRingB = 5, kFiller = 10;

class RequirementCommandsTest : public CliFixture {
protected:
    void SetUp() override {
        WriteGame();
        m_runner = CopyStandIn(m_temp, L"runner/standin");
        const auto needing = [](const wchar_t* name, std::int64_t guid, std::vector<ModFileRequirement> needs) {
            ModFile mod = Mod(name, guid);
            mod.requirements = std::move(needs);
            return mod;
        };
        InstallMod(L"harbor.mod", needing(L"Harbor", kHarbor, {{u"Core", kCore, 1}, {u"Tools", kTools, 1}}));
        InstallMod(L"core.mod", Mod(L"Core", kCore));
        InstallMod(L"tools.mod", needing(L"Tools", kTools, {{u"Core", kCore, 1}}));
        InstallMod(L"a.mod", needing(L"Ring A", kRingA, {{u"Ring B", kRingB, 1}}));
        InstallMod(L"b.mod", needing(L"Ring B", kRingB, {{u"Ring A", kRingA, 1}}));
        for (std::int64_t i = 0; i < 10; ++i)
            InstallMod(L"f" + std::to_wstring(i) + L".mod", Mod(L"Filler", kFiller + i));
    }

    ChildResult Play(const std::vector<std::int64_t>& set, bool withRequirements) {
        m_temp.WriteFile(L"set.sch", SelectionBytes(set));
        std::vector<std::wstring> args{L"--runner", m_runner, L"play", m_temp / L"set.sch"};
        if (withRequirements) args.push_back(L"--with-requirements");
        return Gatehouse(args);
    }

    std::wstring m_runner;
};

TEST_F(RequirementCommandsTest, SortRewritesTheSetInTheOrderThatWorksAndLeavesAWorkingOneAlone) {
    // Mod 777 is not installed: it stays right after the entry before it.
    m_temp.WriteFile(L"set.sch", SelectionBytes({kTools, 777, kHarbor, kCore, kRingB, kRingA}));
    const ChildResult run = Gatehouse({L"sort", m_temp / L"set.sch"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(m_temp.ReadFile(L"set.sch"), SelectionBytes({kCore, kTools, 777, kHarbor, kRingB, kRingA}));
    const std::string ring = " (belongs to a ring of mods that need each other, which keep their order)";
    EXPECT_THAT(Lines(run.out), ElementsAre("1. Core", "2. Tools", "3. mod 777 (not installed)", "4. Harbor",
                                            "5. Ring B" + ring, "6. Ring A" + ring));

    // A set in a working order keeps its very bytes, whatever it spells.
    const std::string working = SelectionBytes({kCore, kCore, kHarbor}, L"[MODS]", L"\t<INTEGER64>OTHERID:");
    m_temp.WriteFile(L"set.sch", working);
    const ChildResult again = Gatehouse({L"sort", m_temp / L"set.sch"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(m_temp.ReadFile(L"set.sch"), working);
    EXPECT_THAT(Lines(again.out), ElementsAre("1. Core", "2. Core", "3. Harbor"));

    // What is not a selection is refused and not touched.
    m_temp.WriteFile(L"other.sch", SelectionBytes({kHarbor, kCore}, L"[SETS]"));
    const ChildResult refused = Gatehouse({L"sort", m_temp / L"other.sch"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(Lines(refused.err).size(), 1u) << refused.err;
    EXPECT_EQ(m_temp.ReadFile(L"other.sch"), SelectionBytes({kHarbor, kCore}, L"[SETS]"));
}

TEST_F(RequirementCommandsTest, PlayWarnsOfWhatIsNotSelectedAndWithRequirementsAddsIt) {
    const ChildResult warned = Play({kFiller, kHarbor, kTools}, false);
    ASSERT_EQ(warned.exitCode, 0) << warned.err;
    EXPECT_THAT(Lines(warned.err), ElementsAre("gatehouse: Harbor needs Core", "gatehouse: Tools needs Core"));
    EXPECT_THAT(SelectionGuids(m_temp.ReadFile(User(L"gatehouse.sch"))), ElementsAre(kFiller, kHarbor, kTools));

    const ChildResult added = Play({kFiller, kHarbor}, true);
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_THAT(SelectionGuids(m_temp.ReadFile(User(L"gatehouse.sch"))), ElementsAre(kFiller, kCore, kTools, kHarbor));
    EXPECT_THAT(added.out, HasSubstr("with 4 mods"));
}

TEST_F(RequirementCommandsTest, WithRequirementsPastTheLimitStartsNothing) {
    std::vector<std::int64_t> ten{kHarbor};
    for (std::int64_t i = 0; i < 9; ++i) ten.push_back(kFiller + i);
    m_temp.WriteFile(User(L"gatehouse.sch"), SelectionBytes({kCore}));
    const ChildResult run = Play(ten, true);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.err, HasSubstr("gatehouse: Harbor needs Core and Tools\n"));
    EXPECT_THAT(run.err, HasSubstr("2 places are missing"));
    EXPECT_THAT(SelectionGuids(m_temp.ReadFile(User(L"gatehouse.sch"))), ElementsAre(kCore));
    EXPECT_TRUE(WaitForRecord(m_temp, L"runner", std::chrono::milliseconds(300)).empty());
}

}  // namespace
}  // namespace gh::test
