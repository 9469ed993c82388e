// The layers of a chart (part stitches, back stitches, knots, beads): per-thread tallies,
// geometry, and the chart's threads, legend and symbols once layers hold threads of their own.
#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "core/palette/ColorIndex.h"
#include "core/palette/ThreadTable.h"
#include "core/project/ChartProject.h"
#include "core/stitch/LayerTally.h"
#include "core/stitch/StitchGeometry.h"

namespace kanvo {
namespace {

const ThreadTable& table() { return loadedThreadTable(); }

StitchLayers sampleLayers()
{
    StitchLayers l;
    l.parts = {{0, 0, kHalfSlash, 34}, {1, 0, kTopLeft, 34}, {2, 0, kHalfBackslash | kTopRight, 5}};
    l.backs = {{{0, 0}, {3, 4}, 7}, {{1, 1}, {2, 2}, 34}, {{0, 0.5}, {0, 2}, 7}};
    l.ornaments = {{{1.5, 1.5}, OrnamentKind::Knot, 9}, {{0.25, 3}, OrnamentKind::Bead, 34},
        {{1, 1}, OrnamentKind::Knot, 0}};
    return l;
}

TEST(LayerTally, CountsEveryKindPerThreadInOrderOfFirstUse)
{
    const LayerTally tally(sampleLayers());
    // Part stitches first (34, then 5), then back stitches (7; 34 is known), then knots (9).
    EXPECT_EQ(tally.threads(), (std::vector<int>{34, 5, 7, 9}));
    const LayerTally::Counts& black = tally.of(34);
    EXPECT_EQ(black.partStitches, 2);
    EXPECT_EQ(black.corners, 3); // a half (2 corners) and a quarter (1)
    EXPECT_DOUBLE_EQ(black.halves(), 1.5);
    EXPECT_EQ(black.backStitches, 1);
    EXPECT_DOUBLE_EQ(black.backLength, std::sqrt(2.0));
    EXPECT_EQ(black.knots, 0);
    EXPECT_EQ(black.beads, 1);
    EXPECT_EQ(tally.of(5).corners, 3);                  // a three-quarter stitch
    EXPECT_EQ(tally.of(7).backStitches, 2);
    EXPECT_DOUBLE_EQ(tally.of(7).backLength, 5 + 1.5);  // a 3-4-5 diagonal and 1.5 cells down
    EXPECT_EQ(tally.of(9).knots, 1);
    // The knot without a thread counts in the total only.
    EXPECT_EQ(tally.total().knots, 2);
    EXPECT_EQ(tally.total().partStitches, 3);
    EXPECT_EQ(tally.total().corners, 6);
    EXPECT_DOUBLE_EQ(tally.total().backLength, 6.5 + std::sqrt(2.0));
    for (const int t : {0, 1, 500, 501, -3}) {
        EXPECT_FALSE(tally.uses(t)) << t;
        EXPECT_EQ(tally.of(t).knots, 0) << t;
    }
}

struct PointCase {
    double x;
    double y;
    bool inside; // on a chart of 4 x 3 cells
};

void PrintTo(const PointCase& c, std::ostream* out) { *out << c.x << "," << c.y; }

class PointInside : public testing::TestWithParam<PointCase> {};

TEST_P(PointInside, OnTheChartWithItsEdges)
{
    EXPECT_EQ(StitchGeometry::inside(StitchPoint{GetParam().x, GetParam().y}, 4, 3), GetParam().inside);
}

INSTANTIATE_TEST_SUITE_P(Points, PointInside,
    testing::Values(PointCase{0, 0, true}, PointCase{4, 3, true}, PointCase{11.6875 / 4, 2.5, true},
        PointCase{-0.001, 1, false}, PointCase{4.5, 1, false}, PointCase{1, 3.0001, false},
        PointCase{std::numeric_limits<double>::quiet_NaN(), 1, false}));

TEST(StitchGeometry, PartStitchesNeedACellAndAPartialMask)
{
    EXPECT_TRUE(StitchGeometry::inside(PartStitch{3, 2, kTopLeft, 1}, 4, 3));
    EXPECT_TRUE(StitchGeometry::inside(PartStitch{0, 0, kHalfSlash | kTopLeft, 1}, 4, 3));
    EXPECT_FALSE(StitchGeometry::inside(PartStitch{4, 0, kTopLeft, 1}, 4, 3));
    EXPECT_FALSE(StitchGeometry::inside(PartStitch{0, -1, kTopLeft, 1}, 4, 3));
    EXPECT_FALSE(StitchGeometry::inside(PartStitch{0, 0, 0, 1}, 4, 3));
    EXPECT_FALSE(StitchGeometry::inside(PartStitch{0, 0, 15, 1}, 4, 3)); // a full cross
    EXPECT_FALSE(StitchGeometry::inside(PartStitch{0, 0, 16 | kTopLeft, 1}, 4, 3));
    EXPECT_EQ(StitchGeometry::cornerCount(kHalfBackslash | kBottomLeft), 3);
}

TEST(StitchGeometry, RemovingWhatLiesOutsideKeepsTheOrderOfTheRest)
{
    StitchLayers l = sampleLayers();
    // On a chart of 2 x 3: the part stitch in column 2, the back stitch to (3, 4) and the bead
    // at y 3... which is the bottom edge, so it stays.
    EXPECT_EQ(StitchGeometry::removeOutside(l, 2, 3), 2);
    EXPECT_EQ(l.parts, (std::vector<PartStitch>{{0, 0, kHalfSlash, 34}, {1, 0, kTopLeft, 34}}));
    EXPECT_EQ(l.backs, (std::vector<BackStitch>{{{1, 1}, {2, 2}, 34}, {{0, 0.5}, {0, 2}, 7}}));
    EXPECT_EQ(l.ornaments.size(), 3u);
}

// keepSymbols: positions kept, clashes and newcomers to the lowest free position.
TEST(KeepSymbols, KeepsPositionsAndFillsGapsFromTheLowest)
{
    ChartModel m;
    m.colorList = {10, 20, 30, 40, 20, 0};
    m.chrIndex.assign(ChartModel::kThreadSlots, 0);
    m.chrIndex[10] = 1;
    m.chrIndex[20] = 3; // 2 was freed by a thread that left
    m.chrIndex[40] = 3; // claims 20's position: 20 came first
    m.chrIndex[50] = 5; // not in the chart: cleared
    keepSymbols(m);
    EXPECT_EQ(m.chrIndex[10], 1);
    EXPECT_EQ(m.chrIndex[20], 3);
    EXPECT_EQ(m.chrIndex[30], 2);
    EXPECT_EQ(m.chrIndex[40], 4);
    EXPECT_EQ(m.chrIndex[50], 0);
    EXPECT_EQ(m.colorList, (std::vector<int>{10, 30, 20, 40})); // symbol order
}

void setCell(ChartModel& m, int x, int y, int thread)
{
    m.colorIndex[static_cast<std::size_t>(x) * ChartModel::kMatrixSide + static_cast<std::size_t>(y)] = thread;
}

// A chart of 3 x 2: row 0 holds 34, 34 and an empty cell, row 1 thread 5 and two empty cells; a
// back stitch in thread 7 and a knot in thread 9 have no full stitch at all.
ChartModel layeredChart()
{
    ChartModel m;
    m.gw = 3;
    m.gh = 2;
    m.colorIndex.assign(static_cast<std::size_t>(ChartModel::kMatrixSide) * ChartModel::kMatrixSide, 0);
    setCell(m, 0, 0, 34);
    setCell(m, 1, 0, 34);
    setCell(m, 0, 1, 5);
    m.layers.backs = {{{0, 0}, {3, 2}, 7}};
    m.layers.ornaments = {{{1.5, 0.5}, OrnamentKind::Knot, 9}};
    return m;
}

TEST(CompleteChart, ThreadsOfTheLayersAreThreadsOfTheChart)
{
    ChartModel m = layeredChart();
    completeChart(m, 2, table());
    EXPECT_EQ(m.colorList, (std::vector<int>{34, 5, 7, 9}));
    EXPECT_EQ(m.colorCount, 4);
    EXPECT_EQ(m.symbolOf(34), "a");
    EXPECT_EQ(m.symbolOf(5), "b");
    EXPECT_EQ(m.symbolOf(7), "c");
    EXPECT_EQ(m.symbolOf(9), "d");
    // The legend: 34 (2 crosses); 5 has one cross, under the threshold of 2, and no layer; 7 and
    // 9 follow with no crosses, in order of first use.
    ASSERT_EQ(m.threadList.size(), 3u);
    EXPECT_EQ(m.threadList[0].index, 34);
    EXPECT_EQ(m.threadList[0].count, 2);
    EXPECT_EQ(m.threadList[1].index, 7);
    EXPECT_EQ(m.threadList[1].count, 0);
    EXPECT_EQ(m.threadList[1].name, "156     "); // the card runs 150, 151, ...: entry 7 is 156
    EXPECT_EQ(m.threadList[2].index, 9);
    EXPECT_EQ(m.maxColor, 3);
    EXPECT_EQ(m.stitchCount(), 3);
    // A rare thread with a layer of its own is listed after the others, with its crosses.
    m.layers.parts = {{2, 1, kHalfSlash, 5}};
    completeChart(m, 2, table());
    ASSERT_EQ(m.threadList.size(), 4u);
    EXPECT_EQ(m.threadList[1].index, 5);
    EXPECT_EQ(m.threadList[1].count, 1);
}

TEST(CompleteChart, AThreadThatLeavesMovesNoOtherSymbol)
{
    ChartModel m = layeredChart();
    completeChart(m, 0, table());
    setCell(m, 0, 0, 0);
    setCell(m, 1, 0, 0); // 34 filled away
    completeChart(m, 0, table());
    EXPECT_EQ(m.colorList, (std::vector<int>{5, 7, 9}));
    EXPECT_EQ(m.symbolOf(34), "");
    EXPECT_EQ(m.symbolOf(5), "b");
    EXPECT_EQ(m.symbolOf(7), "c");
    EXPECT_EQ(m.symbolOf(9), "d");
    // A newcomer takes the freed "a"; the back stitch's thread keeps "c" without a cross.
    setCell(m, 2, 1, 11);
    completeChart(m, 0, table());
    EXPECT_EQ(m.symbolOf(11), "a");
    EXPECT_EQ(m.colorList, (std::vector<int>{11, 5, 7, 9}));
    // The last back stitch gone, its thread leaves and frees "c".
    m.layers.backs.clear();
    completeChart(m, 0, table());
    EXPECT_EQ(m.colorList, (std::vector<int>{11, 5, 9}));
    EXPECT_EQ(m.symbolOf(9), "d");
}

} // namespace
} // namespace kanvo
