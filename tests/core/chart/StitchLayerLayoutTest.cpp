#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/chart/ChartLayout.h"
#include "core/chart/PrintLayout.h"
#include "core/chart/StitchLayerLayout.h"
#include "tests/core/chart/ChartTestSupport.h"

namespace kanvo {
namespace {

using test::FixedMetrics;
using test::makeModel;

// Title lines 20 and 12 pixels high: the grid's top edge lies at 69, its left edge at 40, and a
// cell is 10 pixels.
const FixedMetrics kMetrics(10.0f, 20.0f, 12.0f);
constexpr float kTop = 69.0f;
constexpr ColorValue kDark = makeColor(20, 30, 120);    // thread 1
constexpr ColorValue kLight = makeColor(250, 250, 240); // thread 2
constexpr ColorValue kRed = makeColor(200, 0, 0);       // thread 3

std::vector<ColorValue> colors()
{
    std::vector<ColorValue> c(452, makeColor(90, 90, 90));
    c[0] = kDark;
    c[1] = kLight;
    c[2] = kRed;
    return c;
}

ChartModel layeredChart()
{
    ChartModel m = makeModel(12, 10, 3, [](int x, int) { return x < 6 ? 1 : 3; });
    m.layers.backs.push_back(BackStitch{{1, 1}, {2, 1.5}, 1});
    m.layers.backs.push_back(BackStitch{{4, 4}, {4, 5}, 2});
    m.layers.parts.push_back(PartStitch{2, 3, kHalfSlash, 3});
    m.layers.parts.push_back(PartStitch{0, 0, kTopLeft, 2});
    m.layers.ornaments.push_back(Ornament{{3.5, 2.5}, OrnamentKind::Knot, 1});
    m.layers.ornaments.push_back(Ornament{{8, 8}, OrnamentKind::Bead, 3});
    return m;
}

ChartOptions mode(ChartMode m)
{
    ChartOptions o;
    o.mode = m;
    return o;
}

template <typename Op>
std::vector<Op> opsOf(const DrawList& list, DrawStage stage)
{
    std::vector<Op> out;
    for (const DrawSection& s : list.sections())
        if (s.stage == stage)
            for (std::size_t i = s.begin; i < s.end; ++i)
                if (const auto* op = std::get_if<Op>(&list.ops()[i]))
                    out.push_back(*op);
    return out;
}

TEST(StitchLayerLayoutTest, BackStitchLandsOnTheGridAtASixthOfACell)
{
    const ChartLayout layout = ChartLayout::build(layeredChart(), colors(), mode(ChartMode::BlocksAndSymbols), kMetrics);
    const auto strokes = opsOf<StrokeOp>(layout.drawList(), DrawStage::BackStitches);
    // The light thread's edge first (10/6 * 1.6 = 2.667 wide), then both threads in their colours.
    ASSERT_EQ(strokes.size(), 3u);
    EXPECT_EQ(strokes[0].color, StitchLayerLayout::kEdge);
    EXPECT_EQ(strokes[0].points, (std::vector<float>{80, kTop + 40, 80, kTop + 50}));
    EXPECT_NEAR(strokes[0].width, 2.6667f, 1e-3f);
    EXPECT_GT(strokes[0].minDeviceWidth, 2.0f);
    // (1, 1) to (2, 1.5): x = 40 + 10, 40 + 20; y = 69 + 10, 69 + 15.
    EXPECT_EQ(strokes[1].points, (std::vector<float>{50, 79, 60, 84}));
    EXPECT_EQ(strokes[1].color, kDark);
    EXPECT_NEAR(strokes[1].width, 10.0f / 6.0f, 1e-5f);
    EXPECT_EQ(strokes[1].minDeviceWidth, 2.0f);
    EXPECT_EQ(strokes[2].color, kLight);
}

TEST(StitchLayerLayoutTest, HalfAndQuarterFillTheirPartsAndKnotsAreHalfACell)
{
    const ChartLayout layout = ChartLayout::build(layeredChart(), colors(), mode(ChartMode::BlocksAndSymbols), kMetrics);
    const auto polygons = opsOf<PolygonOp>(layout.drawList(), DrawStage::PartStitches);
    ASSERT_EQ(polygons.size(), 2u);
    // "/" in cell (2, 3), corner (60, 99): the band from the bottom-left to the top-right corner.
    EXPECT_EQ(polygons[0].points, (std::vector<float>{60, 109, 60, 104, 65, 99, 70, 99, 70, 104, 65, 109}));
    EXPECT_EQ(polygons[0].color, kRed);
    // The top-left quarter of cell (0, 0), drawn after the halves.
    EXPECT_EQ(polygons[1].points, (std::vector<float>{40, 69, 45, 69, 45, 74, 40, 74}));

    const auto symbols = opsOf<TextOp>(layout.drawList(), DrawStage::PartSymbols);
    ASSERT_EQ(symbols.size(), 2u);
    EXPECT_EQ(symbols[0].text, "c"); // thread 3's symbol in the middle of the half stitch
    EXPECT_EQ(symbols[0].x, 65.0f);
    EXPECT_EQ(symbols[0].y, 104.0f);
    EXPECT_EQ(symbols[0].anchor, TextAnchor::Centre);
    EXPECT_EQ(symbols[0].color, makeColor(255, 255, 255)); // white on dark red
    EXPECT_EQ(symbols[1].x, 42.5f);
    EXPECT_EQ(symbols[1].y, 71.5f);
    EXPECT_EQ(symbols[1].color, makeColor(0, 0, 0));

    const auto circles = opsOf<CircleOp>(layout.drawList(), DrawStage::Ornaments);
    ASSERT_EQ(circles.size(), 3u); // the knot, the bead and its highlight
    EXPECT_EQ(circles[0].cx, 75.0f);
    EXPECT_EQ(circles[0].cy, 94.0f);
    EXPECT_EQ(circles[0].r, 2.5f);
    EXPECT_EQ(circles[0].color, kDark);
    EXPECT_EQ(circles[0].edge, StitchLayerLayout::kEdge);
    EXPECT_GT(circles[0].edgeWidth, 0.0f);
    EXPECT_EQ(circles[1].cx, 120.0f);
    EXPECT_EQ(circles[1].r, 3.0f);
    EXPECT_LT(circles[2].r, circles[1].r);
    EXPECT_LT(circles[2].cx, 120.0f); // the highlight up and to the left
}

TEST(StitchLayerLayoutTest, LayersComeInTheFixedOrder)
{
    const ChartLayout layout = ChartLayout::build(layeredChart(), colors(), mode(ChartMode::BlocksAndSymbols), kMetrics);
    std::vector<DrawStage> order;
    for (const DrawSection& s : layout.drawList().sections())
        if (order.empty() || order.back() != s.stage)
            order.push_back(s.stage);
    const std::vector<DrawStage> expected = {DrawStage::Title, DrawStage::GridLines, DrawStage::Blocks,
        DrawStage::PartStitches, DrawStage::RowNumbers, DrawStage::ColumnLetters, DrawStage::ColumnNumbers,
        DrawStage::BlockLines, DrawStage::Legend, DrawStage::LegendEntries, DrawStage::Notes, DrawStage::Symbols,
        DrawStage::PartSymbols, DrawStage::BackStitches, DrawStage::Ornaments};
    EXPECT_EQ(order, expected);
}

TEST(StitchLayerLayoutTest, SwitchesLeaveOutTheirLayers)
{
    const ChartOptions options = mode(ChartMode::BlocksAndSymbols);
    const ChartModel model = layeredChart();
    const ChartLayout frame = ChartLayout::buildFrame(model, colors(), options, kMetrics);
    const DrawList cells = frame.cells(model, colors(), options, CellRange{0, 0, 12, 10}, LayerVisibility{false, true, false});
    EXPECT_TRUE(opsOf<PolygonOp>(cells, DrawStage::PartStitches).empty());
    EXPECT_TRUE(opsOf<TextOp>(cells, DrawStage::PartSymbols).empty());
    EXPECT_TRUE(opsOf<CircleOp>(cells, DrawStage::Ornaments).empty());
    EXPECT_EQ(opsOf<StrokeOp>(cells, DrawStage::BackStitches).size(), 3u);
    const DrawList none = frame.cells(model, colors(), options, CellRange{0, 0, 12, 10}, LayerVisibility{true, false, true});
    EXPECT_TRUE(opsOf<StrokeOp>(none, DrawStage::BackStitches).empty());
    EXPECT_EQ(opsOf<PolygonOp>(none, DrawStage::PartStitches).size(), 2u);
}

TEST(StitchLayerLayoutTest, WithoutBlocksPartStitchesRunAsTheirDiagonals)
{
    ChartModel model = layeredChart();
    model.layers.parts = {PartStitch{0, 0, kHalfBackslash, 1}};
    const ChartLayout layout = ChartLayout::build(model, colors(), mode(ChartMode::SymbolsOnly), kMetrics);
    const auto strokes = opsOf<StrokeOp>(layout.drawList(), DrawStage::PartStitches);
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].points, (std::vector<float>{40, 69, 45, 74}));
    EXPECT_EQ(strokes[1].points, (std::vector<float>{50, 79, 45, 74}));
    EXPECT_EQ(strokes[0].width, 1.25f);
    EXPECT_TRUE(opsOf<PolygonOp>(layout.drawList(), DrawStage::PartStitches).empty());
}

// The view paints the frame and the layers of the cells in view; for the whole chart that must
// be what build() lays out.
TEST(StitchLayerLayoutTest, CellsOfTheWholeChartCarryTheLayers)
{
    const ChartModel model = layeredChart();
    const ChartOptions options = mode(ChartMode::BlocksAndSymbols);
    const std::vector<ColorValue> c = colors();
    const ChartLayout whole = ChartLayout::build(model, c, options, kMetrics);
    const ChartLayout frame = ChartLayout::buildFrame(model, c, options, kMetrics);
    const DrawList cells = frame.cells(model, c, options, CellRange{0, 0, 12, 10});
    EXPECT_EQ(cells.fonts(), frame.drawList().fonts());
    for (const DrawStage stage : {DrawStage::PartStitches, DrawStage::BackStitches, DrawStage::Ornaments}) {
        EXPECT_EQ(opsOf<PolygonOp>(cells, stage), opsOf<PolygonOp>(whole.drawList(), stage));
        EXPECT_EQ(opsOf<StrokeOp>(cells, stage), opsOf<StrokeOp>(whole.drawList(), stage));
        EXPECT_EQ(opsOf<CircleOp>(cells, stage), opsOf<CircleOp>(whole.drawList(), stage));
    }
    // Columns 6..11 hold only the bead; the back stitches end at column 4.
    const DrawList right = frame.cells(model, c, options, CellRange{6, 0, 12, 10});
    EXPECT_TRUE(opsOf<StrokeOp>(right, DrawStage::BackStitches).empty());
    EXPECT_EQ(opsOf<CircleOp>(right, DrawStage::Ornaments).size(), 2u);
}

TEST(StitchLayerLayoutTest, ClippedBackStitchEndsAtTheAreaEdge)
{
    ChartModel model = makeModel(10, 10, 1, [](int, int) { return 1; });
    model.layers.backs.push_back(BackStitch{{0, 0.5}, {4, 2.5}, 1});
    model.layers.backs.push_back(BackStitch{{5, 0}, {6, 1}, 1}); // wholly outside
    DrawList list;
    // Columns 1..3 at 2 units a cell from (0, 0): the line crosses x = 1 at y = 1 and x = 3 at y = 2.
    StitchLayerLayout::addBackStitches(list, model, colors(), LayerPlacement{0, 0, 2, 0}, LayerArea{1, 0, 3, 10}, true);
    const auto strokes = opsOf<StrokeOp>(list, DrawStage::BackStitches);
    ASSERT_EQ(strokes.size(), 1u);
    EXPECT_EQ(strokes[0].points, (std::vector<float>{2, 2, 6, 4}));
}

// The printed page places the layers on its own grid: cell c millimetres from (gridLeft, gridTop),
// back stitches c / 6 wide with no least device width, knots c / 4 in radius.
TEST(StitchLayerLayoutTest, PrintedPageCarriesTheLayersOnItsGrid)
{
    const ChartModel model = layeredChart();
    const StitchMatrix stitches;
    const std::vector<ColorValue> c = colors();
    const auto page = PrintLayout::build(model, stitches, mode(ChartMode::SymbolsOnly), 200, 285, kMetrics, nullptr, c);
    ASSERT_TRUE(page.has_value());
    const PrintGeometry& g = page->geometry();
    const auto strokes = opsOf<StrokeOp>(page->drawList(), DrawStage::BackStitches);
    ASSERT_EQ(strokes.size(), 3u);
    const std::vector<float> expected{g.gridLeft + g.cell, g.gridTop + g.cell, g.gridLeft + 2 * g.cell, g.gridTop + 1.5f * g.cell};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(strokes[1].points[i], expected[i], 1e-4f);
    EXPECT_NEAR(strokes[1].width, g.cell / 6.0f, 1e-5f);
    EXPECT_EQ(strokes[1].minDeviceWidth, 0.0f);
    const auto circles = opsOf<CircleOp>(page->drawList(), DrawStage::Ornaments);
    ASSERT_FALSE(circles.empty());
    EXPECT_NEAR(circles[0].r, g.cell / 4.0f, 1e-5f);
    // Without blocks the part stitches run as lines, and their symbols print all the same.
    EXPECT_FALSE(opsOf<StrokeOp>(page->drawList(), DrawStage::PartStitches).empty());
    EXPECT_EQ(opsOf<TextOp>(page->drawList(), DrawStage::PartSymbols).size(), 2u);
    // A page laid out without thread colours draws none of them.
    const auto bare = PrintLayout::build(model, stitches, mode(ChartMode::SymbolsOnly), 200, 285, kMetrics);
    EXPECT_TRUE(opsOf<StrokeOp>(bare->drawList(), DrawStage::BackStitches).empty());
}

struct PartCase {
    std::uint8_t corners;
    std::vector<std::vector<float>> polygons;
    StitchPoint symbol;
};

class PartShapeTest : public ::testing::TestWithParam<PartCase> {};

TEST_P(PartShapeTest, PolygonsAndSymbolPlace)
{
    EXPECT_EQ(StitchLayerLayout::partPolygons(GetParam().corners), GetParam().polygons);
    EXPECT_EQ(StitchLayerLayout::partSymbolCentre(GetParam().corners), GetParam().symbol);
}

const std::vector<float> kSlash = {0, 1, 0, 0.5f, 0.5f, 0, 1, 0, 1, 0.5f, 0.5f, 1};
const std::vector<float> kBackslash = {0, 0, 0.5f, 0, 1, 0.5f, 1, 1, 0.5f, 1, 0, 0.5f};

INSTANTIATE_TEST_SUITE_P(Parts, PartShapeTest,
    ::testing::Values(PartCase{kHalfSlash, {kSlash}, {0.5, 0.5}}, PartCase{kHalfBackslash, {kBackslash}, {0.5, 0.5}},
        PartCase{kBottomRight, {{0.5f, 0.5f, 1, 0.5f, 1, 1, 0.5f, 1}}, {0.75, 0.75}},
        PartCase{kTopRight, {{0.5f, 0, 1, 0, 1, 0.5f, 0.5f, 0.5f}}, {0.75, 0.25}},
        // three-quarter: "/" and the top-left corner, the symbol in that corner
        PartCase{static_cast<std::uint8_t>(kHalfSlash | kTopLeft), {kSlash, {0, 0, 0.5f, 0, 0.5f, 0.5f, 0, 0.5f}},
            {0.25, 0.25}}));

TEST(StitchLayerLayoutTest, LightThreadsAreThoseNearWhite)
{
    EXPECT_TRUE(StitchLayerLayout::isLight(makeColor(255, 255, 255)));
    EXPECT_TRUE(StitchLayerLayout::isLight(makeColor(255, 255, 0))); // 0.299 * 255 + 0.587 * 255 = 225.9
    EXPECT_FALSE(StitchLayerLayout::isLight(makeColor(255, 0, 0)));  // 76.2
    EXPECT_FALSE(StitchLayerLayout::isLight(makeColor(199, 199, 199))); // 199, just below 200
}

} // namespace
} // namespace kanvo
