#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "core/palette/ThreadTable.h"
#include "core/pattern/PatternLayout.h"
#include "core/pattern/PatternPaging.h"
#include "core/pattern/SkeinEstimate.h"
#include "tests/core/chart/ChartTestSupport.h"

namespace kanvo {
namespace {

// --- paging ---

struct SplitCase {
    int length, perPage, overlap;
    std::vector<CellSpan> spans;
};

TEST(PatternPagingTest, SplitsIntoRunsThatRepeatTheOverlap)
{
    const SplitCase cases[] = {
        {0, 60, 2, {}},
        {1, 60, 2, {{0, 1}}},
        {60, 60, 2, {{0, 60}}},
        {61, 60, 2, {{0, 60}, {58, 61}}},
        {117, 61, 2, {{0, 61}, {59, 117}}},
        {320, 63, 2, {{0, 63}, {61, 124}, {122, 185}, {183, 246}, {244, 307}, {305, 320}}},
        {240, 86, 0, {{0, 86}, {86, 172}, {172, 240}}},
        // An overlap as large as the page would never advance: it is held to perPage - 1.
        {5, 2, 7, {{0, 2}, {1, 3}, {2, 4}, {3, 5}}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.length << " cells, " << c.perPage << " a page, overlap " << c.overlap);
        EXPECT_EQ(PatternPaging::split(c.length, c.perPage, c.overlap), c.spans);
    }
}

// Every chart from 1 x 1 to 320 x 320: the page count follows the closed form
// 1 + ceil((n - perPage) / (perPage - overlap)), every page but the first repeats exactly the
// overlap, and every stitch belongs to exactly one page outside its overlap.
TEST(PatternPagingTest, EveryStitchOfEveryChartSizeIsOnAPage)
{
    struct Fit {
        int columns, rows, overlap;
    };
    for (const Fit fit : {Fit{63, 86, 2}, Fit{70, 101, 0}, Fit{59, 80, 5}}) {
        const auto expectedCount = [&](int n, int perPage) {
            return n <= perPage ? 1 : 1 + (n - perPage + (perPage - fit.overlap) - 1) / (perPage - fit.overlap);
        };
        for (int gw = 1; gw <= 320; gw += (gw < 140 ? 1 : 7)) {
            for (const int gh : {1, 2, 85, 86, 87, 170, 240, 320}) {
                const PatternPaging paging = PatternPaging::build(gw, gh, fit.columns, fit.rows, fit.overlap);
                ASSERT_EQ(paging.pagesAcross, expectedCount(gw, fit.columns)) << gw;
                ASSERT_EQ(paging.pagesDown, expectedCount(gh, fit.rows)) << gh;
                ASSERT_EQ(paging.pages.size(), static_cast<std::size_t>(paging.pagesAcross * paging.pagesDown));
                std::vector<int> owners(static_cast<std::size_t>(gw * gh), 0);
                for (std::size_t i = 0; i < paging.pages.size(); ++i) {
                    const PatternPage& p = paging.pages[i];
                    ASSERT_EQ(p.number, static_cast<int>(i) + 1);
                    ASSERT_EQ(p.pageColumn, static_cast<int>(i) % paging.pagesAcross);
                    ASSERT_EQ(p.pageRow, static_cast<int>(i) / paging.pagesAcross);
                    ASSERT_LE(p.columns.size(), fit.columns);
                    ASSERT_LE(p.rows.size(), fit.rows);
                    ASSERT_EQ(p.overlapColumns, p.pageColumn == 0 ? 0 : std::min(fit.overlap, fit.columns - 1));
                    ASSERT_EQ(p.overlapRows, p.pageRow == 0 ? 0 : std::min(fit.overlap, fit.rows - 1));
                    for (int y = p.rows.begin + p.overlapRows; y < p.rows.end; ++y)
                        for (int x = p.columns.begin + p.overlapColumns; x < p.columns.end; ++x)
                            ++owners[static_cast<std::size_t>(y * gw + x)];
                }
                ASSERT_TRUE(std::all_of(owners.begin(), owners.end(), [](int n) { return n == 1; }))
                    << gw << " x " << gh;
                ASSERT_EQ(paging.pages.back().columns.end, gw);
                ASSERT_EQ(paging.pages.back().rows.end, gh);
            }
        }
    }
}

struct NumberCase {
    CellSpan span;
    int block;
    std::vector<int> lines;
};

class NumberedLinesTest : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberedLinesTest, NumbersEveryBlockBoundaryWithTheStitchCount)
{
    const NumberCase& c = GetParam();
    EXPECT_EQ(PatternPaging::numberedLines(c.span, c.block), c.lines);
}

INSTANTIATE_TEST_SUITE_P(Blocks, NumberedLinesTest,
    testing::Values(NumberCase{{0, 63}, 10, {10, 20, 30, 40, 50, 60}},
        NumberCase{{61, 124}, 10, {70, 80, 90, 100, 110, 120}}, NumberCase{{60, 70}, 10, {60, 70}},
        NumberCase{{0, 9}, 10, {}}, NumberCase{{318, 320}, 10, {320}},
        NumberCase{{0, 50}, 12, {12, 24, 36, 48}}, NumberCase{{46, 100}, 12, {48, 60, 72, 84, 96}},
        NumberCase{{0, 30}, 8, {8, 16, 24}}, NumberCase{{22, 41}, 8, {24, 32, 40}},
        NumberCase{{0, 3}, 1, {1, 2, 3}}, NumberCase{{0, 4}, 0, {1, 2, 3, 4}}));

TEST(PatternPagingTest, NamesThePageRange)
{
    PatternPage page;
    page.number = 3;
    page.columns = {60, 130};
    page.rows = {0, 70};
    EXPECT_EQ(PatternPaging::header(page, 8), "第 3/8 页  列 61-130  行 1-70");
}

// --- skeins, worked out by hand ---
// Per stitch (2 sqrt 2 + 2) x 25.4 / count mm; x 1.2 waste; 24 m of two-strand thread a skein.
// 14 CT: 4.828427 x 1.814286 = 8.760146 mm, 10.512175 mm with waste.
// 18 CT: 4.828427 x 1.411111 = 6.813447 mm, 8.176136 mm with waste.
TEST(SkeinEstimateTest, MatchesTheFormulaWorkedOutByHand)
{
    struct Case {
        int stitches, fabric;
        double metres;
        int skeins;
    };
    const Case cases[] = {
        {0, 14, 0.0, 0},
        {1, 14, 0.0105122, 1},
        {1000, 14, 10.5122, 1},
        {2283, 14, 23.9993, 1}, // just under one skein
        {2284, 14, 24.0098, 2}, // just over
        {5000, 14, 52.5609, 3},
        {5000, 18, 40.8807, 2},
        {102400, 14, 1076.4468, 45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stitches << " stitches on " << c.fabric << " CT");
        EXPECT_NEAR(SkeinEstimate::metres(c.stitches, c.fabric), c.metres, 1e-3);
        EXPECT_EQ(SkeinEstimate::skeins(c.stitches, c.fabric), c.skeins);
    }
}

// --- the layout ---

constexpr ColorValue kRed = makeColor(200, 0, 0);
constexpr ColorValue kNavy = makeColor(10, 10, 60);
constexpr ColorValue kCream = makeColor(250, 240, 200);

ThreadTable threeThreads()
{
    ThreadTable table;
    table.set(1, ThreadColor{static_cast<std::int32_t>(kRed), 321});
    table.set(2, ThreadColor{static_cast<std::int32_t>(kNavy), 939});
    table.set(3, ThreadColor{static_cast<std::int32_t>(kCream), 746});
    return table;
}

// 5 x 4 chart: thread 2 ("b") first in symbol order though it first appears at (1, 0); the
// cell (2, 1) and the whole last row have no stitch; thread 3 is used once.
//   1 2 2 1 1
//   2 2 . 3 2
//   1 1 1 1 1
//   . . . . .
ChartModel smallChart()
{
    const int rows[4][5] = {{1, 2, 2, 1, 1}, {2, 2, 0, 3, 2}, {1, 1, 1, 1, 1}, {0, 0, 0, 0, 0}};
    ChartModel model = test::makeModel(5, 4, 3, [&](int x, int y) { return rows[y][x]; });
    model.chrIndex[1] = 2; // thread 1 is "b", thread 2 "a", thread 3 "c"
    model.chrIndex[2] = 1;
    model.xiutuTitle = "小图";
    return model;
}

TEST(PatternLayoutTest, KeyListsEveryUsedThreadInSymbolOrderWithoutEmptyCells)
{
    ChartModel model = smallChart();
    model.threadList.resize(1); // a rare-thread threshold left threads out of the legend
    const PatternLayout layout = PatternLayout::build(model, threeThreads(), PatternOptions{});
    const std::vector<KeyRow> expected = {
        {2, "a", kNavy, 939, 5, 1},
        {1, "b", kRed, 321, 8, 1},
        {3, "c", kCream, 746, 1, 1},
    };
    EXPECT_EQ(layout.key(), expected);
    EXPECT_EQ(layout.stitchCount(), 14);
    EXPECT_EQ(layout.keyPages(), 1);
    ASSERT_EQ(layout.paging().pages.size(), 1u);
    EXPECT_EQ(layout.pages().size(), 3u); // cover, key, one chart page
}

TEST(PatternLayoutTest, ChartPageHasOneCentredSymbolPerStitchAndNoOtherTextInTheGrid)
{
    for (const PatternStyle style : {PatternStyle::Tint, PatternStyle::FullColour}) {
        PatternOptions options;
        options.style = style;
        const PatternLayout layout = PatternLayout::build(smallChart(), threeThreads(), options);
        const PatternGeometry& g = layout.geometry();
        const DrawList& page = layout.pages()[static_cast<std::size_t>(layout.firstChartPage())];
        const char* expected[4] = {"baabb", "aa ca", "bbbbb", "     "};
        int symbols = 0;
        for (const TextOp& t : test::textsOf(page)) {
            const float col = (t.x - g.gridLeft) / g.cell;
            const float row = (t.y - g.gridTop) / g.cell;
            if (col < 0 || row < 0 || col > 5 || row > 4)
                continue; // outside the grid: header, numbers, notes
            ++symbols;
            ASSERT_EQ(t.anchor, TextAnchor::Centre) << t.text;
            const int x = static_cast<int>(col);
            const int y = static_cast<int>(row);
            EXPECT_NEAR(col, x + 0.5f, 1e-4) << t.text;
            EXPECT_NEAR(row, y + 0.5f, 1e-4) << t.text;
            EXPECT_EQ(t.text, std::string(1, expected[y][x])) << x << "," << y;
            // Black on the light tints and on full cream; white on full navy and full red.
            const bool white = style == PatternStyle::FullColour && t.text != "c";
            EXPECT_EQ(t.color, white ? makeColor(255, 255, 255) : makeColor(0, 0, 0)) << t.text;
        }
        EXPECT_EQ(symbols, 14);
        // Nothing is filled where there is no stitch (a single page has no overlap): every box in
        // the grid covers stitched cells only.
        for (const DrawOp& op : page.ops()) {
            const auto* r = std::get_if<FillRectOp>(&op);
            if (r == nullptr || r->y < g.gridTop || r->y >= g.gridTop + 4 * g.cell)
                continue;
            const int row = static_cast<int>(std::lround((r->y - g.gridTop) / g.cell));
            const int first = static_cast<int>(std::lround((r->x - g.gridLeft) / g.cell));
            const int end = first + static_cast<int>(std::lround(r->w / g.cell));
            for (int col = first; col < end; ++col)
                EXPECT_NE(expected[row][col], ' ') << col << "," << row;
        }
    }
}

TEST(PatternLayoutTest, NumbersStandOnTheThickLinesOfBlocksOtherThanTen)
{
    // 30 x 20 stitches in blocks of 12 x 8 on one page: thick lines and numbers after columns
    // 12 and 24 and after rows 8 and 16.
    PatternOptions options;
    options.cellMm = 3.0f;
    options.blockW = 12;
    options.blockH = 8;
    const PatternLayout layout
        = PatternLayout::build(test::makeModel(30, 20, 1, [](int, int) { return 1; }), threeThreads(), options);
    ASSERT_EQ(layout.paging().pages.size(), 1u);
    const PatternGeometry& g = layout.geometry();
    const DrawList& page = layout.pages()[static_cast<std::size_t>(layout.firstChartPage())];
    std::vector<std::string> columns;
    std::vector<std::string> rows;
    for (const TextOp& t : test::textsOf(page)) {
        const float col = (t.x - g.gridLeft) / g.cell;
        const float row = (t.y - g.gridTop) / g.cell;
        if (row < 0 && row > -3 && col >= 0 && col <= 30) {
            EXPECT_NEAR(col, std::stof(t.text), 1e-3) << t.text;
            columns.push_back(t.text);
        } else if (col < 0 && col > -3 && row >= 0 && row <= 20) {
            EXPECT_NEAR(row, std::stof(t.text), 1e-3) << t.text;
            rows.push_back(t.text);
        }
    }
    EXPECT_EQ(columns, (std::vector<std::string>{"12", "24"}));
    EXPECT_EQ(rows, (std::vector<std::string>{"8", "16"}));
    // The lines under the numbers are thick ones: wider than the thin line after column 1.
    auto widthAt = [&](float x1, float y1, float x2, float y2) {
        for (const DrawOp& op : page.ops())
            if (const auto* l = std::get_if<LineOp>(&op);
                l && std::abs(l->x1 - x1) < 1e-3f && std::abs(l->y1 - y1) < 1e-3f
                && std::abs(l->x2 - x2) < 1e-3f && std::abs(l->y2 - y2) < 1e-3f)
                return l->width;
        return 0.0f;
    };
    const float right = g.gridLeft + 30 * g.cell;
    const float bottom = g.gridTop + 20 * g.cell;
    const float thin = widthAt(g.gridLeft + g.cell, g.gridTop, g.gridLeft + g.cell, bottom);
    ASSERT_GT(thin, 0.0f);
    for (const int n : {12, 24})
        EXPECT_GT(widthAt(g.gridLeft + n * g.cell, g.gridTop, g.gridLeft + n * g.cell, bottom), thin) << n;
    for (const int n : {8, 16})
        EXPECT_GT(widthAt(g.gridLeft, g.gridTop + n * g.cell, right, g.gridTop + n * g.cell), thin) << n;
    EXPECT_EQ(widthAt(g.gridLeft + 10 * g.cell, g.gridTop, g.gridLeft + 10 * g.cell, bottom), thin);
}

TEST(PatternLayoutTest, GridsFitThePaperAndTheAutomaticCellStaysBetween2_5And3mm)
{
    for (const PaperSize paper : {PaperSize::A4, PaperSize::Letter}) {
        for (const float cell : {0.0f, 1.5f, 2.8f, 10.0f}) {
            PatternOptions options;
            options.paper = paper;
            options.cellMm = cell;
            const PatternGeometry g = PatternLayout::geometryFor(117, 240, options);
            const auto [width, height] = PatternLayout::paperSize(paper);
            if (cell == 0.0f) {
                EXPECT_GE(g.cell, 2.5f);
                EXPECT_LE(g.cell, 3.0f);
            } else {
                EXPECT_FLOAT_EQ(g.cell, cell);
            }
            EXPECT_GE(g.gridLeft, 10.0f);
            EXPECT_LE(g.gridLeft + g.cell * static_cast<float>(g.columnsPerPage), width - 10.0f);
            EXPECT_GE(g.gridTop, 25.0f);
            EXPECT_LE(g.gridTop + g.cell * static_cast<float>(g.rowsPerPage), height - 15.0f);
        }
    }
    // 2.5 mm cells on A4 hold at least 70 x 90 stitches a page.
    PatternOptions small;
    small.cellMm = 2.5f;
    const PatternGeometry g = PatternLayout::geometryFor(320, 320, small);
    EXPECT_GE(g.columnsPerPage, 70);
    EXPECT_GE(g.rowsPerPage, 90);
}

TEST(PatternLayoutTest, OverlapIsTintedAndExplainedAndCentreIsMarked)
{
    // 30 x 30 stitches of one thread, put on 2 x 2 pages by 10 mm cells.
    ChartModel model = test::makeModel(30, 30, 1, [](int, int) { return 1; });
    PatternOptions options;
    options.cellMm = 10.0f;
    const PatternLayout layout = PatternLayout::build(model, threeThreads(), options);
    const PatternGeometry& g = layout.geometry();
    ASSERT_GT(layout.paging().pagesAcross, 1);
    const PatternPage& second = layout.paging().pages[1];
    EXPECT_EQ(second.overlapColumns, 2);
    const DrawList& page = layout.pages()[static_cast<std::size_t>(layout.firstChartPage() + 1)];
    std::set<ColorValue> overlapFills, ownFills;
    const float gridBottom = g.gridTop + g.cell * static_cast<float>(second.rows.size());
    for (const DrawOp& op : page.ops())
        if (const auto* r = std::get_if<FillRectOp>(&op); r && r->y >= g.gridTop && r->y < gridBottom) {
            const int col = static_cast<int>((r->x - g.gridLeft) / g.cell + 0.5f);
            (col < 2 ? overlapFills : ownFills).insert(r->color);
        }
    ASSERT_EQ(overlapFills.size(), 1u);
    ASSERT_EQ(ownFills.size(), 1u);
    EXPECT_NE(*overlapFills.begin(), *ownFills.begin());
    bool explained = false;
    for (const TextOp& t : test::textsOf(page))
        explained = explained || t.text.find("重复前页的最后 2 列") != std::string::npos;
    EXPECT_TRUE(explained);

    // The centre line (column 15 of 30) lies on exactly the pages that show it, each marked top and bottom.
    for (const PatternPage& p : layout.paging().pages) {
        const DrawList& list = layout.pages()[static_cast<std::size_t>(layout.firstChartPage() + p.number - 1)];
        int marks = 0;
        for (const DrawOp& op : list.ops())
            marks += std::holds_alternative<PolygonOp>(op) ? 1 : 0;
        const int expected = (p.columns.begin <= 15 && 15 <= p.columns.end ? 2 : 0)
            + (p.rows.begin <= 15 && 15 <= p.rows.end ? 2 : 0);
        EXPECT_EQ(marks, expected) << "page " << p.number;
    }
}

} // namespace
} // namespace kanvo
