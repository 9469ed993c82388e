#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/palette/ThreadTable.h"
#include "core/pattern/PatternLayout.h"
#include "core/pattern/SkeinEstimate.h"
#include "core/stitch/StitchTotals.h"
#include "tests/core/chart/ChartTestSupport.h"

namespace kanvo {
namespace {

constexpr ColorValue kRed = makeColor(200, 0, 0);
constexpr ColorValue kNavy = makeColor(10, 10, 60);
constexpr ColorValue kCream = makeColor(250, 240, 200);
constexpr ColorValue kGreen = makeColor(0, 120, 0);

ThreadTable fourThreads()
{
    ThreadTable table;
    table.set(1, ThreadColor{static_cast<std::int32_t>(kRed), 321});
    table.set(2, ThreadColor{static_cast<std::int32_t>(kNavy), 939});
    table.set(3, ThreadColor{static_cast<std::int32_t>(kCream), 746});
    table.set(4, ThreadColor{static_cast<std::int32_t>(kGreen), 700});
    return table;
}

// 6 x 5 chart: full stitches of thread 1 in the top row (6) and thread 3 at (0, 4); a half and
// a three-quarter stitch of thread 1 (2.5 halves), a lone quarter of thread 4 (0.5, a thread of
// no full stitch and no symbol), back stitches of thread 2 (5 + 5 = 10 cells: one along the top
// edge, one the 3-4-5 diagonal), two knots of thread 3 and a bead of thread 1.
ChartModel layeredChart()
{
    ChartModel model = test::makeModel(6, 5, 3, [](int x, int y) { return y == 0 ? 1 : (x == 0 && y == 4 ? 3 : 0); });
    model.layers.parts = {PartStitch{1, 2, kHalfSlash, 1}, PartStitch{2, 2, kHalfBackslash | kTopRight, 1},
        PartStitch{3, 3, kBottomLeft, 4}};
    model.layers.backs = {BackStitch{{0, 0}, {5, 0}, 2}, BackStitch{{0, 0}, {3, 4}, 2}};
    model.layers.ornaments = {Ornament{{1.5, 1.5}, OrnamentKind::Knot, 3}, Ornament{{2, 3}, OrnamentKind::Knot, 3},
        Ornament{{4.5, 4.5}, OrnamentKind::Bead, 1}};
    return model;
}

std::vector<std::string> textsOf(const DrawList& list)
{
    std::vector<std::string> out;
    for (const TextOp& t : test::textsOf(list))
        out.push_back(t.text);
    return out;
}

bool contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<StrokeOp> strokesOf(const DrawList& list, ColorValue color)
{
    std::vector<StrokeOp> out;
    for (const DrawOp& op : list.ops())
        if (const auto* s = std::get_if<StrokeOp>(&op); s && s->color == color)
            out.push_back(*s);
    return out;
}

TEST(StitchTotalsTest, AddsUpEachThreadsLayers)
{
    const std::vector<ThreadLayerTotals> totals = layerTotals(layeredChart().layers);
    ASSERT_EQ(totals.size(), 4u);
    EXPECT_EQ(totals[0], (ThreadLayerTotals{1, 5, 0.0, 0, 0, 1})); // 2 + 3 corners, one bead
    EXPECT_EQ(totals[0].halves(), 2.5);
    EXPECT_EQ(totals[1], (ThreadLayerTotals{2, 0, 10.0, 2, 0, 0}));
    EXPECT_EQ(totals[2], (ThreadLayerTotals{3, 0, 0.0, 0, 2, 0}));
    EXPECT_EQ(totals[3], (ThreadLayerTotals{4, 1, 0.0, 0, 0, 0}));
    EXPECT_EQ(backStitchLength(BackStitch{{1, 1}, {2, 1.5}, 1}), std::sqrt(1.25));
}

// Back stitch thread: the line on the front and as much at the back, x 1.2, two strands.
// 14 CT: 2 x 25.4 / 14 x 1.2 = 4.354286 mm a cell side; 24 m is 5511.8 cell sides.
TEST(SkeinEstimateTest, BackStitchesAndHalvesWorkedOutByHand)
{
    EXPECT_NEAR(SkeinEstimate::backStitchMetres(10, 14), 0.0435429, 1e-6);
    EXPECT_NEAR(SkeinEstimate::backStitchMetres(5511, 14), 23.99647, 1e-4);
    EXPECT_EQ(SkeinEstimate::skeinsFor(SkeinEstimate::backStitchMetres(5511, 14)), 1);
    EXPECT_EQ(SkeinEstimate::skeinsFor(SkeinEstimate::backStitchMetres(5512, 14)), 2);
    EXPECT_NEAR(SkeinEstimate::backStitchMetres(10, 28), 0.0217714, 1e-6);
    EXPECT_EQ(SkeinEstimate::skeinsFor(0.0), 0);
    // 2283 crosses are 23.9993 m (one skein); one half stitch more, 24.0046 m, needs a second.
    EXPECT_EQ(SkeinEstimate::skeins(2283.0, 14), 1);
    EXPECT_NEAR(SkeinEstimate::metres(2283.5, 14), 24.00456, 1e-4);
    EXPECT_EQ(SkeinEstimate::skeins(2283.5, 14), 2);
    EXPECT_EQ(SkeinEstimate::skeins(0.25, 14), 1);
}

TEST(PatternLayerTest, KeyCountsHalvesBackStitchesKnotsAndBeads)
{
    const PatternLayout layout = PatternLayout::build(layeredChart(), fourThreads(), PatternOptions{});
    const std::vector<KeyRow> key = {
        {1, "a", kRed, 321, 6, 1, 2.5},
        {3, "c", kCream, 746, 1, 1, 0.0},
        {4, "", kGreen, 700, 0, 1, 0.5},
    };
    EXPECT_EQ(layout.key(), key);
    // 10 cell sides on 14 CT: 10 x 2.54 / 14 = 1.8142857 cm.
    ASSERT_EQ(layout.backKey().size(), 1u);
    EXPECT_EQ(layout.backKey()[0].thread, 2);
    EXPECT_EQ(layout.backKey()[0].number, 939);
    EXPECT_NEAR(layout.backKey()[0].lengthCm, 1.8142857, 1e-6);
    EXPECT_EQ(layout.backKey()[0].skeins, 1);
    const std::vector<OrnamentKeyRow> ornaments = {
        {3, OrnamentKind::Knot, kCream, 746, 2},
        {1, OrnamentKind::Bead, kRed, 321, 1},
    };
    EXPECT_EQ(layout.ornamentKey(), ornaments);

    const std::vector<std::string> texts = textsOf(layout.pages()[1]);
    for (const char* text : {"回针", "长度", "1.8 cm", "DMC 939", "2.5", "0.5", "半针", "法式结和珠子", "法式结", "珠子"})
        EXPECT_TRUE(contains(texts, text)) << text;
}

TEST(PatternLayerTest, KeySampleIsTheLineOfTheChartPages)
{
    PatternOptions options;
    options.cellMm = 6.0f;
    const PatternLayout layout = PatternLayout::build(layeredChart(), fourThreads(), options);
    const std::vector<StrokeOp> sample = strokesOf(layout.pages()[1], kNavy);
    const std::vector<StrokeOp> onPage = strokesOf(layout.pages()[static_cast<std::size_t>(layout.firstChartPage())], kNavy);
    ASSERT_EQ(sample.size(), 1u);
    ASSERT_EQ(onPage.size(), 2u);
    EXPECT_FLOAT_EQ(sample[0].width, 1.0f); // 6 mm / 6
    EXPECT_EQ(onPage[0].width, sample[0].width);
    // (0, 0) to (5, 0) and (0, 0) to (3, 4) from the grid's corner, 6 mm a cell.
    const float x = layout.geometry().gridLeft;
    const float y = layout.geometry().gridTop;
    EXPECT_EQ(onPage[0].points, (std::vector<float>{x, y, x + 30.0f, y}));
    EXPECT_EQ(onPage[1].points, (std::vector<float>{x, y, x + 18.0f, y + 24.0f}));
}

// A back stitch across the whole width of a chart of several pages shows on each page only up
// to that page's edges.
TEST(PatternLayerTest, BackStitchesAreCutAtThePageEdges)
{
    ChartModel model = test::makeModel(150, 20, 1, [](int, int) { return 1; });
    model.layers.backs = {BackStitch{{0, 2}, {150, 2}, 1}};
    PatternOptions options;
    options.cellMm = 3.0f;
    options.overlap = 0;
    const PatternLayout layout = PatternLayout::build(model, fourThreads(), options);
    ASSERT_GE(layout.paging().pages.size(), 2u);
    const float left = layout.geometry().gridLeft;
    const float top = layout.geometry().gridTop;
    for (std::size_t p = 0; p < layout.paging().pages.size(); ++p) {
        const PatternPage& page = layout.paging().pages[p];
        const std::vector<StrokeOp> strokes
            = strokesOf(layout.pages()[static_cast<std::size_t>(layout.firstChartPage()) + p], kRed);
        ASSERT_EQ(strokes.size(), 1u) << p;
        const std::vector<float> expected{left, top + 6.0f, left + 3.0f * static_cast<float>(page.columns.size()), top + 6.0f};
        ASSERT_EQ(strokes[0].points.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(strokes[0].points[i], expected[i], 1e-3f) << p;
    }
}

template <typename Op>
std::vector<Op> opsOf(const DrawList& list)
{
    std::vector<Op> out;
    for (const DrawOp& op : list.ops())
        if (const auto* o = std::get_if<Op>(&op))
            out.push_back(*o);
    return out;
}

// The second page of a chart two pages wide repeats the first page's last two columns in its
// grey strip. Whatever lies there is greyed as the crosses are: 60 % of grey (140, 140, 140)
// over the colour it would have. Tint style: red (200, 0, 0) fills as (233, 153, 153) and
// greys to (177, 145, 145); green (0, 120, 0) greys to (84, 132, 84), the edges (60, 60, 60) to
// (108, 108, 108), navy (10, 10, 60) to (88, 88, 108), cream (250, 240, 200) to
// (184, 180, 164) and its bead's highlight (254, 253, 246) to (186, 185, 182).
TEST(PatternLayerTest, TheOverlapStripGreysTheLayersAsItGreysTheCrosses)
{
    ChartModel model = test::makeModel(150, 20, 4, [](int, int y) { return y == 0 ? 1 : 0; });
    PatternOptions options;
    options.cellMm = 3.0f;
    PatternLayout probe = PatternLayout::build(model, fourThreads(), options);
    ASSERT_GE(probe.paging().pages.size(), 2u);
    const PatternPage page = probe.paging().pages[1];
    ASSERT_EQ(page.overlapColumns, 2);
    ASSERT_EQ(page.overlapRows, 0);
    const int b = page.columns.begin; // the strip: columns b and b + 1
    const double s = b;
    model.layers.parts = {PartStitch{b, 2, kHalfSlash, 1}, PartStitch{b + 2, 2, kHalfSlash, 1}};
    model.layers.backs = {BackStitch{{s + 1, 6}, {s + 4, 6}, 2}, BackStitch{{s, 8}, {s + 1, 8}, 3}};
    model.layers.ornaments = {Ornament{{s + 1, 3}, OrnamentKind::Knot, 4}, Ornament{{s + 2, 3}, OrnamentKind::Knot, 4},
        Ornament{{s + 0.5, 4.5}, OrnamentKind::Bead, 3}};
    const PatternLayout layout = PatternLayout::build(model, fourThreads(), options);
    const DrawList& list = layout.pages()[static_cast<std::size_t>(layout.firstChartPage()) + 1];
    const float left = layout.geometry().gridLeft;
    const float top = layout.geometry().gridTop;
    const float c = 3.0f;
    const ColorValue greyRed = makeColor(177, 145, 145);
    const ColorValue greyEdge = makeColor(108, 108, 108);

    // The crosses of row 0: the strip's two in one grey box, the page's own in the tint.
    const std::vector<FillRectOp> boxes = opsOf<FillRectOp>(list);
    const auto box = std::find_if(boxes.begin(), boxes.end(), [&](const FillRectOp& r) { return r.x == left && r.y == top; });
    ASSERT_NE(box, boxes.end());
    EXPECT_EQ(box->color, greyRed);
    EXPECT_FLOAT_EQ(box->w, 2 * c);

    std::vector<std::pair<float, ColorValue>> halves; // left edge of each half stitch's band, colour
    for (const PolygonOp& p : opsOf<PolygonOp>(list))
        if (p.color == greyRed || p.color == makeColor(233, 153, 153))
            halves.emplace_back(*std::min_element(p.points.begin(), p.points.end() - 1), p.color);
    ASSERT_EQ(halves.size(), 2u);
    EXPECT_NEAR(halves[0].first, left, 1e-3f);
    EXPECT_EQ(halves[0].second, greyRed);
    EXPECT_NEAR(halves[1].first, left + 2 * c, 1e-3f);
    EXPECT_EQ(halves[1].second, makeColor(233, 153, 153));

    // Cream's edge, navy cut at the blue line (grey before it, navy after), cream's line.
    const std::vector<StrokeOp> strokes = opsOf<StrokeOp>(list);
    ASSERT_EQ(strokes.size(), 4u);
    const std::vector<std::pair<ColorValue, std::vector<float>>> expected = {
        {greyEdge, {left, top + 8 * c, left + c, top + 8 * c}},
        {makeColor(88, 88, 108), {left + c, top + 6 * c, left + 2 * c, top + 6 * c}},
        {kNavy, {left + 2 * c, top + 6 * c, left + 4 * c, top + 6 * c}},
        {makeColor(184, 180, 164), {left, top + 8 * c, left + c, top + 8 * c}},
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(strokes[i].color, expected[i].first) << i;
        ASSERT_EQ(strokes[i].points.size(), 4u);
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(strokes[i].points[k], expected[i].second[k], 1e-3f) << i;
    }

    // The knot in the strip grey, the one on the blue line in colour, the bead and its
    // highlight grey.
    const std::vector<CircleOp> circles = opsOf<CircleOp>(list);
    ASSERT_EQ(circles.size(), 4u);
    EXPECT_EQ(circles[0].color, makeColor(84, 132, 84));
    EXPECT_EQ(circles[0].edge, greyEdge);
    EXPECT_NEAR(circles[0].cx, left + c, 1e-3f);
    EXPECT_EQ(circles[1].color, kGreen);
    EXPECT_EQ(circles[1].edge, makeColor(60, 60, 60));
    EXPECT_EQ(circles[2].color, makeColor(184, 180, 164));
    EXPECT_EQ(circles[2].edge, greyEdge);
    EXPECT_EQ(circles[3].color, makeColor(186, 185, 182));

    // The first page, without a strip, shows the same knot in colour.
    const std::vector<CircleOp> first = opsOf<CircleOp>(layout.pages()[static_cast<std::size_t>(layout.firstChartPage())]);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first[0].color, kGreen);
    EXPECT_EQ(first[0].edge, makeColor(60, 60, 60));
}

TEST(PatternLayerTest, ChartWithoutLayersKeepsItsKey)
{
    ChartModel model = layeredChart();
    model.layers = {};
    const PatternLayout layout = PatternLayout::build(model, fourThreads(), PatternOptions{});
    EXPECT_TRUE(layout.backKey().empty());
    EXPECT_TRUE(layout.ornamentKey().empty());
    const std::vector<std::string> texts = textsOf(layout.pages()[1]);
    EXPECT_FALSE(contains(texts, "半针"));
    EXPECT_FALSE(contains(texts, "回针"));
}

} // namespace
} // namespace kanvo
