#include "launcher/TypeAheadSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gh {
namespace {

class TypeAheadTest : public ::testing::Test {
protected:
    std::optional<std::size_t> Type(wchar_t c, std::int64_t at) {
        const auto row = m_search.Type(c, at, m_rows.size(), m_current, [&](std::size_t r) { return m_rows[r]; });
        if (row) m_current = row;
        return row;
    }

    std::vector<std::wstring> m_rows{L"Alpha", L"bravo", L"Bridge", L"Brine", L"charlie", L"\u00c9lan"};
    std::optional<std::size_t> m_current;
    CTypeAheadSearch m_search;
};

TEST_F(TypeAheadTest, LettersTypedTogetherNarrowTheSearchWithoutRegardToCase) {
    EXPECT_EQ(Type(L'B', 0), 1u);
    EXPECT_EQ(Type(L'r', 100), 1u) << "\"br\" still matches the current row";
    EXPECT_EQ(Type(L'i', 200), 2u);
    EXPECT_EQ(Type(L'n', 300), 3u);
    EXPECT_EQ(m_search.Typed(), L"Brin");
    EXPECT_EQ(Type(L'x', 400), std::nullopt) << "nothing starts with \"brinx\"";
    EXPECT_EQ(m_current, 3u);
    EXPECT_EQ(Type(L'\u00e9', 3000), 5u) << "accented letters fold too";
}

TEST_F(TypeAheadTest, TheSameLetterAgainStepsThroughItsRowsAndGoesRound) {
    EXPECT_EQ(Type(L'b', 0), 1u);
    EXPECT_EQ(Type(L'b', 100), 2u);
    EXPECT_EQ(Type(L'b', 200), 3u);
    EXPECT_EQ(Type(L'b', 300), 1u);
}

TEST_F(TypeAheadTest, APauseStartsANewSearchFromTheRowAfterTheCurrentOne) {
    EXPECT_EQ(Type(L'b', 0), 1u);
    EXPECT_EQ(Type(L'c', 2000), 4u);
    EXPECT_EQ(m_search.Typed(), L"c");
    EXPECT_EQ(Type(L'a', 4000), 0u) << "the search goes round to the top";
    CTypeAheadSearch empty;
    EXPECT_EQ(empty.Type(L'a', 0, 0, std::nullopt, [](std::size_t) { return std::wstring(); }), std::nullopt);
}

}  // namespace
}  // namespace gh
