#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/palette/SymbolSet.h"

namespace kanvo {
namespace {

TEST(SymbolSet, HoldsTwoHundredFortyOneSymbolsEveryTime)
{
    const auto first = loadxiuChr();
    ASSERT_EQ(first.size(), 241u);
    EXPECT_EQ(loadxiuChr(), first);
}

struct SymbolAt {
    int position; // 1-based
    const char* symbol;
};
class SymbolPositions : public ::testing::TestWithParam<SymbolAt> {};

TEST_P(SymbolPositions, AreInTheirPlace)
{
    const auto s = loadxiuChr();
    EXPECT_EQ(s[static_cast<std::size_t>(GetParam().position - 1)], GetParam().symbol);
}

INSTANTIATE_TEST_SUITE_P(Table, SymbolPositions,
    ::testing::Values(SymbolAt{1, "a"}, SymbolAt{2, "b"}, SymbolAt{3, "c"}, SymbolAt{9, "k"},
        SymbolAt{22, "z"}, SymbolAt{29, "2"}, SymbolAt{45, "/"}, SymbolAt{46, "\\"},
        SymbolAt{47, "{"}, SymbolAt{49, "A"}, SymbolAt{50, "B"}, SymbolAt{51, "D"},
        SymbolAt{73, "Z"}, SymbolAt{74, "&"}, SymbolAt{75, "["}, SymbolAt{76, "]"},
        SymbolAt{77, "人"}, SymbolAt{93, "女"}, SymbolAt{94, "不"}, SymbolAt{110, "去"},
        SymbolAt{127, "长"}, SymbolAt{157, "千"}, SymbolAt{196, "其"}, SymbolAt{241, "廿"}));

TEST(SymbolSet, FirstSeventySixAreDistinctSingleBytesWithoutLookalikes)
{
    const auto s = loadxiuChr();
    std::set<std::string> seen;
    for (int i = 0; i < 76; ++i) {
        ASSERT_EQ(s[static_cast<std::size_t>(i)].size(), 1u) << i;
        EXPECT_TRUE(seen.insert(s[static_cast<std::size_t>(i)]).second) << i;
    }
    for (const char* absent : {"i", "j", "l", "o", "C", "0", "1"})
        EXPECT_EQ(seen.count(absent), 0u) << absent;
    for (int i = 76; i < 241; ++i)
        EXPECT_EQ(s[static_cast<std::size_t>(i)].size(), 3u) << i; // one CJK character each
}

TEST(SymbolSet, ElevenCharactersOccurTwice)
{
    const auto s = loadxiuChr();
    const std::vector<std::pair<int, int>> pairs{{78, 122}, {79, 141}, {80, 142}, {83, 149}, {84, 131},
        {87, 150}, {89, 101}, {95, 167}, {103, 127}, {106, 120}, {157, 233}};
    for (const auto& [a, b] : pairs)
        EXPECT_EQ(s[static_cast<std::size_t>(a - 1)], s[static_cast<std::size_t>(b - 1)]) << a << " " << b;
    EXPECT_EQ(std::set<std::string>(s.begin(), s.end()).size(), 241u - pairs.size());
}

} // namespace
} // namespace kanvo
