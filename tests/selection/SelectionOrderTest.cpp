#include "selection/SelectionOrder.h"
#include "selection/SelectionRequirements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

namespace gh::test {
namespace {

// Mods are letters. "A>BC" is mod A needing B and C; "B^" in a requirement
// asks B in version 2 (every mod has version 1); "E!" is a record named
// EDITOR. A letter with no record is a mod that is not installed.
CModCatalogue Catalogue(const std::string& shape) {
    std::vector<ModInfo> records;
    std::istringstream words(shape);
    for (std::string word; words >> word;) {
        ModInfo& mod = records.emplace_back();
        mod.guid = word[0];
        mod.version = 1;
        mod.name = word.find('!') != std::string::npos ? "EDITOR" : std::string(1, word[0]);
        for (std::size_t i = 2; word.size() > 1 && i < word.size(); ++i)
            if (word[i] != '^') mod.requirements.push_back({word[i], std::uint16_t(1 + (word[i + 1] == '^')), ""});
    }
    return CModCatalogue(std::move(records));
}

std::vector<std::int64_t> Guids(const std::string& letters) { return {letters.begin(), letters.end()}; }
std::string Letters(const std::vector<std::int64_t>& guids) { return {guids.begin(), guids.end()}; }

// Each entry's mark: the mods it loads before, '*' when in a ring, '-' for none.
std::string Marks(const std::vector<OrderMark>& marks, const std::vector<std::int64_t>& selection) {
    std::string text;
    for (const OrderMark& mark : marks) {
        for (const std::size_t entry : mark.loadsBefore) text += char(selection[entry]);
        text += mark.inRing ? "* " : (mark.loadsBefore.empty() ? "- " : " ");
    }
    return text;
}

std::string States(const std::vector<UnmetRequirement>& unmet) {
    std::string text;
    for (const UnmetRequirement& r : unmet) text += {char(r.requirement->guid), "snob"[int(r.state)]};
    return text;
}

struct Case {
    const char *catalogue, *selection, *sorted, *marks, *unmet, *added, *cannotAdd;
    std::size_t placesMissing;
};

TEST(SelectionOrderTest, SortMarksAndAdditionsFollowTheRules) {
    const Case cases[] = {
        // a ring of two keeps its order and goes whole before what needs it
        {"A>B B>A C>A", "CBA", "BAC", "BA * * ", "", "CBA", "", 0},
        {"A>B B>A X", "AXB", "AXB", "* - * ", "", "AXB", "", 0},
        {"A>B B>C C>D D>E E>A F>C", "FCEADB", "CEADBF", "CEADB * * * * * ", "", "FCEADB", "", 0},
        {"A>B B>C C>D D>E E>A", "A", "A", "* ", "A:Bs", "EDCBA", "", 0},
        // chains longer than the limit: added while they fit, else nothing
        {"A>B B>C C>D D>E E>F F>G G>H H>I I>J J>K K>L L", "C", "C", "- ", "C:Ds", "LKJIHGFEDC", "", 0},
        {"A>B B>C C>D D>E E>F F>G G>H H>I I>J J>K K>L L", "A", "A", "- ", "A:Bs", "A", "", 2},
        {"A>B B>C C>D D>E E>F F>G G>H H>I I>J J>K K>L L", "LKJIHGFEDCBA", "LKJIHGFEDCBA", "- - - - - - - - - - - - ",
         "", "LKJIHGFEDCBA", "", 0},
        {"A>B B>C C>D D>E E>F F>G G>H H>I I>J J>K K>L L", "ABCDEFGHIJKL", "LKJIHGFEDCBA", "B C D E F G H I J K L - ",
         "", "ABCDEFGHIJKL", "", 0},
        // a mod that needs itself
        {"A>A B>A", "BA", "AB", "A * ", "", "BA", "", 0},
        // mods that are not installed follow the entry before them
        {"A>B B", "xAyB", "xBAy", "- B - - ", "", "xAyB", "", 0},
        {"A>Bz B>y", "Az", "Az", "- - ", "A:Bbzn", "Az", "Bbzn", 0},
        // the same mod twice: mods that need it follow both
        {"A>B B C", "ABCB", "BCBA", "B - - - ", "", "ABCB", "", 0},
        {"A>B B", "AA", "AA", "- - ", "A:Bs", "BAA", "", 0},
        // ten mods that need three more
        {"A>K B>L C>M D E F G H I J K L M", "ABCDEFGHIJ", "ABCDEFGHIJ", "- - - - - - - - - - ", "A:Ks B:Ls C:Ms",
         "ABCDEFGHIJ", "", 3},
        // a working order stays as it is
        {"A B>A C>B D", "ABDC", "ABDC", "- - - - ", "", "ABDC", "", 0},
        // additions go before the first entry that needs them, requirements first
        {"A>C B>D C>D D", "BA", "BA", "- - ", "B:Ds A:Cs", "DBCA", "", 0},
        {"A>BC B>C C", "A", "A", "- ", "A:BsCs", "CBA", "", 0},
        {"A>BC B>A C", "A", "A", "* ", "A:BsCs", "CBA", "", 0},   // after what its ring needs
        {"A>B B>C C", "AB", "BA", "B - ", "B:Cs", "CAB", "", 0},  // A needs C through B
        // what cannot be added: too old, the list leaves it out
        {"A>B^ B", "AB", "BA", "B - ", "A:Bo", "AB", "Bo", 0},
        {"A>E E!", "A", "A", "- ", "A:En", "A", "En", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.catalogue) + " / " + c.selection);
        const CModCatalogue catalogue = Catalogue(c.catalogue);
        const CModRows rows(catalogue, std::nullopt);
        const std::vector<std::int64_t> selection = Guids(c.selection);
        EXPECT_EQ(Letters(Reordered<std::int64_t>(selection, SortedOrder(rows, selection))), c.sorted);
        EXPECT_EQ(Marks(OrderMarks(rows, selection), selection), c.marks);
        std::string unmet;
        for (const SelectedModNeeds& needs : UnmetRequirements(rows, selection))
            unmet += (unmet.empty() ? "" : " ") + std::string(1, char(needs.mod->guid)) + ":" + States(needs.unmet);
        EXPECT_EQ(unmet, c.unmet);
        const RequirementPlan plan = PlanRequirementAdditions(rows, selection);
        EXPECT_EQ(Letters(WithAdditions(selection, plan)), c.added);
        EXPECT_EQ(States(plan.cannotAdd), c.cannotAdd);
        EXPECT_EQ(plan.placesMissing, c.placesMissing);
    }
}

// The sort against a brute-force reference on random graphs: of all orders
// in which every entry follows what it needs (rings found by a reachability
// matrix, not by the engine) and each ring keeps its order, the sort must
// give the one that is earliest entry by entry, which is what "take the
// earliest entry that can be taken" means; and a mark is left only where
// the sort changes the order.
TEST(SelectionOrderTest, RandomSelectionsSortAsTheBruteForceReferenceDoes) {
    std::mt19937 random(25);
    for (int round = 0; round < 400; ++round) {
        std::string shape, letters;
        bool direct[6][6] = {}, reach[6][6] = {};
        for (int m = 0; m < 6; ++m) {
            shape += std::string(1, char('A' + m)) + ">";
            for (int r = 0; r < 6; ++r)
                if (random() % 5 == 0) shape += char('A' + r), direct[m][r] = reach[m][r] = true;
            shape += random() % 4 ? " " : "x ";
        }
        for (int k = 0; k < 6; ++k)
            for (int i = 0; i < 6; ++i)
                for (int j = 0; j < 6; ++j) reach[i][j] |= reach[i][k] && reach[k][j];
        for (int e = int(random() % 8); e > 0; --e) letters += "ABCDEFx"[random() % 7];
        const CModCatalogue catalogue = Catalogue(shape);
        const CModRows rows(catalogue, std::nullopt);
        const std::vector<std::int64_t> selection = Guids(letters);
        SCOPED_TRACE(shape + "/ " + letters);

        const auto ring = [&](char a, char b) {
            return a == b || (reach[a - 'A'][b - 'A'] && reach[b - 'A'][a - 'A']);
        };
        const auto follows = [&](std::size_t i, std::size_t j) {  // entry i must come after entry j
            if (ring(letters[i], letters[j])) return i > j;
            for (const char x : letters)
                for (const char y : letters)
                    if (x != 'x' && y != 'x' && direct[x - 'A'][y - 'A'] && ring(letters[i], x) && ring(letters[j], y))
                        return true;
            return false;
        };
        std::vector<std::size_t> order, expected;
        for (std::size_t i = 0; i < letters.size(); ++i)
            if (letters[i] != 'x') order.push_back(i);
        const auto works = [&] {
            for (std::size_t p = 0; p < order.size(); ++p)
                for (std::size_t q = p + 1; q < order.size(); ++q)
                    if (follows(order[p], order[q])) return false;
            return true;
        };
        while (!works() && std::next_permutation(order.begin(), order.end())) {
        }
        for (std::size_t i = 0; i < letters.size() && letters[i] == 'x'; ++i) expected.push_back(i);
        for (const std::size_t i : order)
            for (std::size_t j = i; j == i || (j < letters.size() && letters[j] == 'x'); ++j) expected.push_back(j);
        const std::vector<std::size_t> sorted = SortedOrder(rows, selection);
        EXPECT_EQ(sorted, expected);

        const auto unmarked = [&](const std::vector<std::int64_t>& mods) {
            const std::vector<OrderMark> marks = OrderMarks(rows, mods);
            return std::all_of(marks.begin(), marks.end(), [](const OrderMark& m) { return m.loadsBefore.empty(); });
        };
        EXPECT_EQ(unmarked(selection), std::is_sorted(sorted.begin(), sorted.end()));
        EXPECT_TRUE(unmarked(Reordered<std::int64_t>(selection, sorted)));
    }
}

}  // namespace
}  // namespace gh::test
