// The layers of a chart (part stitches, back stitches, knots, beads): per-thread tallies,
// geometry, and the chart's threads, legend and symbols once layers hold threads of their own.
#include <cmath>
#include <limits>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "core/palette/ColorIndex.h"
#include "core/project/ChartProject.h"
#include "core/stitch/LayerTally.h"
#include "core/stitch/StitchGeometry.h"

namespace kanvo {
namespace {

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

} // namespace
} // namespace kanvo
