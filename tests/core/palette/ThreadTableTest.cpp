#include <algorithm>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/palette/ThreadTable.h"

namespace kanvo {
namespace {

ThreadTable loaded()
{
    ThreadTable t;
    t.loadColor();
    return t;
}

// Entry index of a thread number, found by scanning the table.
int indexOfNumber(const ThreadTable& t, int number)
{
    for (int i = 1; i <= ThreadTable::kThreads; ++i)
        if (t.dmc(i).cindex == number)
            return i;
    return 0;
}

TEST(ThreadTable, EmptyUntilLoaded)
{
    const ThreadTable t;
    for (int i = 0; i <= 501; ++i)
        EXPECT_EQ(t.dmc(i), ThreadColor{}) << i;
}

TEST(ThreadTable, ThreadNumbersAscendFrom150To3866ThenWhite)
{
    const ThreadTable t = loaded();
    EXPECT_EQ(t.dmc(1).cindex, 150);
    EXPECT_EQ(t.dmc(451).cindex, 3866);
    EXPECT_EQ(t.dmc(452).cindex, 5200);
    for (int i = 2; i <= 452; ++i)
        EXPECT_LT(t.dmc(i - 1).cindex, t.dmc(i).cindex) << "entry " << i;
}

TEST(ThreadTable, BlackAndWhite)
{
    const ThreadTable t = loaded();
    EXPECT_EQ(t.dmc(34), (ThreadColor{0, 310}));
    EXPECT_EQ(t.dmc(452), (ThreadColor{0xFFFFFF, 5200}));
}

TEST(ThreadTable, EntriesBeyondTheThreadsAndOutOfRangeReadAsZero)
{
    const ThreadTable t = loaded();
    EXPECT_EQ(t.dmc(0), ThreadColor{});
    EXPECT_EQ(t.dmc(-1), ThreadColor{});
    EXPECT_EQ(t.dmc(501), ThreadColor{});
    for (int i = 453; i <= 500; ++i)
        EXPECT_EQ(t.dmc(i), ThreadColor{}) << i;
    int nonZero = 0;
    for (int i = 1; i <= 452; ++i)
        nonZero += t.dmc(i).cindex != 0 ? 1 : 0;
    EXPECT_EQ(nonZero, 452);
}

// Copied by hand from the colour card (RRGGBB) and turned into 0x00BBGGRR by hand.
struct CardCase {
    int entry;
    int number;
    std::int32_t color;
};
class ThreadTableCard : public ::testing::TestWithParam<CardCase> {};

TEST_P(ThreadTableCard, MatchesTheCard)
{
    const ThreadTable t = loaded();
    const CardCase c = GetParam();
    EXPECT_EQ(t.dmc(c.entry).cindex, c.number);
    EXPECT_EQ(t.dmc(c.entry).color, c.color);
}

INSTANTIATE_TEST_SUITE_P(Entries, ThreadTableCard,
    ::testing::Values(CardCase{1, 150, 0x4902AB},     // 150 AB0249
        CardCase{8, 157, 0xE6C8BD},                   // 157 BDC8E6
        CardCase{29, 300, 0x002F6F},                  // 300 6F2F00
        CardCase{33, 309, 0x4F37CB},                  // 309 CB374F
        CardCase{35, 311, 0x574106},                  // 311 064157
        CardCase{80, 444, 0x00CFFF},                  // 444 FFCF00
        CardCase{303, 3011, 0x3C7A70},               // 3011 707A3C (first after 996)
        CardCase{449, 3864, 0xA1BACE},                // 3864 CEBAA1
        CardCase{450, 3865, 0xF8FBFC},                // 3865 FCFBF8
        CardCase{451, 3866, 0xF0F6FA}));              // 3866 FAF6F0

TEST(ThreadTable, ExactlySevenColoursOccurTwice)
{
    const ThreadTable t = loaded();
    std::map<std::int32_t, std::vector<int>> byColor;
    for (int i = 1; i <= 452; ++i)
        byColor[t.dmc(i).color].push_back(t.dmc(i).cindex);
    std::set<std::pair<int, int>> pairs;
    for (const auto& [color, numbers] : byColor) {
        ASSERT_LE(numbers.size(), 2u);
        if (numbers.size() == 2)
            pairs.insert({numbers[0], numbers[1]});
    }
    // As listed on the card: 504 and 3813 share B7D7C2 (503 is 8EB8A4).
    const std::set<std::pair<int, int>> expected{{407, 3773}, {504, 3813}, {731, 732}, {740, 971},
        {776, 3326}, {781, 782}, {806, 3760}};
    EXPECT_EQ(pairs, expected);
    EXPECT_EQ(t.dmc(indexOfNumber(t, 731)).color, 0x3A969B);
}

TEST(ThreadTable, LoadColorIsIdempotentAndTouchesNothingElse)
{
    ThreadTable t = loaded();
    ASSERT_TRUE(t.set(480, ThreadColor{0x123456, 9999}));
    const ThreadTable before = t;
    t.loadColor();
    t.loadColor();
    EXPECT_EQ(t, before);
    EXPECT_EQ(t.dmc(480), (ThreadColor{0x123456, 9999}));
}

TEST(ThreadTable, SetRefusesIndicesOutsideTheTable)
{
    ThreadTable t;
    EXPECT_FALSE(t.set(0, ThreadColor{1, 1}));
    EXPECT_FALSE(t.set(501, ThreadColor{1, 1}));
    EXPECT_TRUE(t.set(500, ThreadColor{1, 1}));
    EXPECT_EQ(t.dmc(500), (ThreadColor{1, 1}));
}

TEST(ThreadTable, LoadedTableIsTheCard)
{
    EXPECT_EQ(loadedThreadTable(), loaded());
}

} // namespace
} // namespace kanvo
