#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "core/colour/Ciede2000.h"
#include "core/colour/ColourSpace.h"
#include "core/edit/ChartRegion.h"
#include "tests/core/edit/ChartEditTestSupport.h"

namespace kanvo {
namespace {

using test::chartOf;

std::vector<CellPos> sorted(std::vector<CellPos> cells)
{
    std::sort(cells.begin(), cells.end(), [](CellPos a, CellPos b) { return a.x != b.x ? a.x < b.x : a.y < b.y; });
    return cells;
}

TEST(ChartRegionTest, LineVisitsNeighbouringCellsFromEndToEnd)
{
    const ChartModel chart = chartOf({"AAAAA", "AAAAA", "AAAAA"});
    EXPECT_EQ(ChartRegion::line(chart, {0, 0}, {3, 1}), (std::vector<CellPos>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
    EXPECT_EQ(ChartRegion::line(chart, {2, 2}, {2, 0}), (std::vector<CellPos>{{2, 2}, {2, 1}, {2, 0}}));
    EXPECT_EQ(ChartRegion::line(chart, {1, 1}, {1, 1}), (std::vector<CellPos>{{1, 1}}));
    // the part of a line outside the chart is dropped
    EXPECT_EQ(ChartRegion::line(chart, {3, 2}, {6, 2}), (std::vector<CellPos>{{3, 2}, {4, 2}}));
}

TEST(ChartRegionTest, ConnectedTakesFourNeighboursOfTheSameThreadOnly)
{
    const ChartModel chart = chartOf({
        "AAB.",
        "BAB.",
        "BBA.",
    });
    // (2, 2) touches the region only diagonally
    EXPECT_EQ(sorted(ChartRegion::connected(chart, {0, 0})), (std::vector<CellPos>{{0, 0}, {1, 0}, {1, 1}}));
    EXPECT_EQ(sorted(ChartRegion::connected(chart, {2, 2})), (std::vector<CellPos>{{2, 2}}));
    EXPECT_EQ(sorted(ChartRegion::connected(chart, {3, 1})), (std::vector<CellPos>{{3, 0}, {3, 1}, {3, 2}}));
    EXPECT_TRUE(ChartRegion::connected(chart, {4, 0}).empty());
    EXPECT_TRUE(ChartRegion::connected(chart, {-1, 0}).empty());
}

TEST(ChartRegionTest, RectangleIsClippedToTheChart)
{
    const ChartModel chart = chartOf({"AAA", "AAA"});
    EXPECT_EQ(CellRect::spanning({2, 1}, {1, 0}), (CellRect{1, 0, 2, 2}));
    EXPECT_EQ(ChartRegion::rectangle(chart, CellRect{1, 0, 5, 5}),
        (std::vector<CellPos>{{1, 0}, {1, 1}, {2, 0}, {2, 1}}));
    EXPECT_TRUE(ChartRegion::rectangle(chart, CellRect{3, 0, 2, 2}).empty());
}

TEST(ChartRegionTest, BorderThreadIsTheMostCommonOnTheOutermostCells)
{
    // border: A 7 times, B 3 times, C 2 times; C fills the inside
    EXPECT_EQ(ChartRegion::borderThread(chartOf({"AAAB", "ACCB", "CAAB"})), test::threadOfLetter('A'));
    // a tie of A (thread 5) and B (thread 17) goes to the lower thread index
    EXPECT_EQ(ChartRegion::borderThread(chartOf({"BBAA", "BCCA", "B..A"})), test::threadOfLetter('A'));
    EXPECT_EQ(ChartRegion::borderThread(chartOf({"...", ".A.", "..."})), std::nullopt);
}

struct BackgroundCase {
    const char* name;
    std::vector<std::string> rows;
    std::vector<std::string> background; // 'x' marks a cell of the region
};

class BackgroundRegionTest : public ::testing::TestWithParam<BackgroundCase> {};

TEST_P(BackgroundRegionTest, CellsJoinedToTheBorderThroughTheColourOrEmptyCells)
{
    const BackgroundCase& c = GetParam();
    const ChartModel chart = chartOf(c.rows);
    const ThreadTable& table = loadedThreadTable();
    std::vector<CellPos> expected;
    for (int x = 0; x < chart.gw; ++x)
        for (int y = 0; y < chart.gh; ++y)
            if (c.background[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == 'x')
                expected.push_back({x, y});
    const ColorValue reference = table.colorOf(test::threadOfLetter('A'));
    EXPECT_EQ(sorted(ChartRegion::background(chart, table, reference, 0.0)), expected);
}

INSTANTIATE_TEST_SUITE_P(Charts, BackgroundRegionTest,
    ::testing::Values(
        // the A enclosed by B is not background
        BackgroundCase{"Ring", {"AAAAA", "ABBBA", "ABABA", "ABBBA", "AAAAA"},
            {"xxxxx", "x...x", "x...x", "x...x", "xxxxx"}},
        // empty padding on the right joins the A next to it to the border
        BackgroundCase{"ThroughPadding", {"BBBB..", "BAAA..", "BBBB.."}, {"......", ".xxx..", "......"}},
        // diagonal contact does not join
        BackgroundCase{"Diagonal", {"BBBB", "BBAB", "BABB", "BBBB"}, {"....", "....", "....", "...."}},
        // the region reaches the border on the bottom row only, away from its corners
        BackgroundCase{"BottomEdgeOnly", {"BBBBB", "BBABB", "BAAAB", "BBABB"},
            {".....", "..x..", ".xxx.", "..x.."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChartRegionTest, BackgroundToleranceTakesNearThreadsInCiede2000)
{
    // B and C beside A on the border: a tolerance above both differences takes them, one
    // between the two takes the nearer only, and a negative tolerance takes nothing.
    const ChartModel chart = chartOf({"ABC"});
    const ThreadTable& table = loadedThreadTable();
    const ColorValue a = table.colorOf(test::threadOfLetter('A'));
    const double toB = Ciede2000::difference(ColourSpace::labOf(a), ColourSpace::labOf(table.colorOf(test::threadOfLetter('B'))));
    const double toC = Ciede2000::difference(ColourSpace::labOf(a), ColourSpace::labOf(table.colorOf(test::threadOfLetter('C'))));
    ASSERT_NE(toB, toC);
    const double high = std::max(toB, toC) + 0.01;
    const double between = (toB + toC) / 2;
    EXPECT_EQ(ChartRegion::background(chart, table, a, high).size(), 3u);
    const auto some = sorted(ChartRegion::background(chart, table, a, between));
    EXPECT_EQ(some, (std::vector<CellPos>{{0, 0}, toB < toC ? CellPos{1, 0} : CellPos{2, 0}}));
    EXPECT_TRUE(ChartRegion::background(chart, table, a, -1.0).empty());
}

} // namespace
} // namespace kanvo
