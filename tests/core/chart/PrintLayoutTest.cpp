#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "core/chart/PrintLayout.h"
#include "tests/core/chart/ChartTestSupport.h"

namespace kanvo {
namespace {

using test::countTexts;
using test::FixedMetrics;
using test::makeModel;

// Title 6 mm, other lines 4 mm high, 3 mm per character.
const FixedMetrics kMetrics(3.0f, 6.0f, 4.0f);

ChartModel chart(int gw, int gh, int threads)
{
    return makeModel(gw, gh, threads, [threads](int x, int y) { return (x + y) % threads + 1; });
}

std::optional<PrintLayout> layoutOf(const ChartModel& model, float w, float h, ChartMode mode = ChartMode::BlocksAndSymbols,
    PrintLayoutError* error = nullptr)
{
    static StitchMatrix stitches;
    ChartOptions options;
    options.mode = mode;
    return PrintLayout::build(model, stitches, options, w, h, kMetrics, error);
}

TEST(PrintLayoutTest, EightyByEightyOnA200By285Page)
{
    const auto layout = layoutOf(chart(80, 80, 12), 200.0f, 285.0f);
    ASSERT_TRUE(layout);
    const PrintGeometry& g = layout->geometry();
    // 80 columns: P = 800 div 38 - 1 = 20, 19 threads a band, S = 1, L = 42 + 260
    EXPECT_EQ(g.screenBands, 1);
    EXPECT_EQ(g.allowance, 302);
    // 1102 / 883 = 1.248 < 285 / 200: the width decides
    EXPECT_FALSE(g.heightDecides);
    EXPECT_NEAR(g.cell, 2000.0 / 883.0 - 0.01, 1e-5);
    EXPECT_NEAR(g.cell, 2.255, 1e-3);
    EXPECT_NEAR(g.gridLeft, 8 * 2.2550057, 1e-4);
    EXPECT_NEAR(g.titleTop, 11 * 2.2550057 / 5, 1e-4);
    EXPECT_NEAR(g.gridRight, 88 * 2.2550057, 1e-3);
    EXPECT_NEAR(g.gridRight, 198.4, 0.05);
    // round(80 c) = round(180.4) = 180, 180 div 8 = 22, K = 21
    EXPECT_EQ(g.columnsPerBand, 21);
    EXPECT_EQ(g.entriesPerBand, 20);
    EXPECT_EQ(g.bands, 1);
    EXPECT_EQ(g.rows, 3);
    EXPECT_NEAR(g.tableRight, 8 * 2.2550057 + 168, 1e-3);
    EXPECT_NEAR(g.tableRight, 186.0, 0.1);

    // title block: subtitle at T + 6 + 3 = 13.961; round(13.961 + 4 + 4 + 2) = 24; Y0 = 24 + 0.6 c
    EXPECT_NEAR(g.subtitleY, 13.961, 1e-3);
    EXPECT_NEAR(g.gridTop, 24 + 0.6 * 2.2550057, 1e-4);
    // grid bottom 25.353 + 180.400 = 205.753; LT = round(215.753) + 1.6 c = 219.608; LB = round(234.608)
    EXPECT_NEAR(g.gridBottom, 205.753, 1e-3);
    EXPECT_NEAR(g.tableTop, 216 + 1.6 * 2.2550057, 1e-4);
    EXPECT_FLOAT_EQ(g.tableBottom, 235.0f);
    // "我的绣图": 12 mm wide, centred on 200 mm
    EXPECT_FLOAT_EQ(g.titleX, 94.0f);
}

TEST(PrintLayoutTest, TallChartLetsTheHeightDecide)
{
    // 40 x 200: P = 9, 8 threads a band, 5 threads: S = 1, L = 302; 2302 / 483 > 1.425
    const auto layout = layoutOf(chart(40, 200, 5), 200.0f, 285.0f);
    ASSERT_TRUE(layout);
    const PrintGeometry& g = layout->geometry();
    EXPECT_TRUE(g.heightDecides);
    EXPECT_NEAR(g.cell, 2850.0 / 2302.0 - 0.01, 1e-5);
    // round(40 x 1.22805) = 49, 49 div 8 = 6, K = 5: 4 threads a band, 2 bands
    EXPECT_EQ(g.columnsPerBand, 5);
    EXPECT_EQ(g.bands, 2);
}

TEST(PrintLayoutTest, EqualRatiosTakeTheWidthRule)
{
    // 1102 / 883 against round(1102.4) / 883
    const auto layout = layoutOf(chart(80, 80, 12), 883.0f, 1102.4f);
    ASSERT_TRUE(layout);
    EXPECT_FALSE(layout->geometry().heightDecides);
    EXPECT_NEAR(layout->geometry().cell, 9.99, 1e-4); // the height rule would give 9.9936
    // a hair taller chart (one more stitch row) goes to the height rule
    const auto taller = layoutOf(chart(80, 81, 12), 883.0f, 1102.4f);
    ASSERT_TRUE(taller);
    EXPECT_TRUE(taller->geometry().heightDecides);
}

TEST(PrintLayoutTest, FullLastBandAddsNoEmptyBand)
{
    // K - 1 = 20 threads a band, 40 threads: two full bands (S = 3, L = 386 keeps the width rule)
    const auto layout = layoutOf(chart(80, 80, 40), 200.0f, 285.0f);
    ASSERT_TRUE(layout);
    const PrintGeometry& g = layout->geometry();
    EXPECT_EQ(g.allowance, 386);
    EXPECT_NEAR(g.cell, 2000.0 / 883.0 - 0.01, 1e-5);
    EXPECT_EQ(g.bands, 2);
    EXPECT_EQ(g.rows, 6);
    EXPECT_EQ(countTexts(layout->drawList(), "符号"), 2);
    // 7 horizontal and 22 vertical table lines
    int tableLines = 0;
    const auto& sections = layout->drawList().sections();
    for (const DrawSection& s : sections)
        if (s.stage == DrawStage::Legend)
            for (std::size_t i = s.begin; i < s.end; ++i)
                tableLines += std::holds_alternative<LineOp>(layout->drawList().ops()[i]) ? 1 : 0;
    EXPECT_EQ(tableLines, 7 + 22);
}

TEST(PrintLayoutTest, EntriesRulersAndFooterPositions)
{
    const auto layout = layoutOf(chart(80, 80, 12), 200.0f, 285.0f);
    ASSERT_TRUE(layout);
    const PrintGeometry& g = layout->geometry();
    const DrawList& list = layout->drawList();
    const float c = g.cell;
    const float x0 = g.gridLeft;
    auto textAt = [&](float x, float y) -> std::string {
        for (const TextOp& t : test::textsOf(list))
            if (std::fabs(t.x - x) < 1e-3f && std::fabs(t.y - y) < 1e-3f)
                return t.text;
        return "<none>";
    };
    // entry 12 in column 12 of band 0
    EXPECT_EQ(textAt(x0 + 8 * 12 + 4, g.tableTop + 1), "p");
    EXPECT_EQ(textAt(x0 + 8 * 12 + 4, g.tableTop + 4), "12      ");
    EXPECT_EQ(textAt(x0 + 8 * 12 + 4, g.tableTop + 7), " 120");
    EXPECT_EQ(textAt(x0 + 4, g.tableTop + 4), "线号");
    // row 11 reads "01" again, at X0 - 3.6
    EXPECT_EQ(textAt(x0 - 3.6f, g.gridTop + 10 * c - 1), "01");
    EXPECT_EQ(textAt(x0 - 3.6f, g.gridTop + 9 * c - 1), "10");
    // column 7 digits, letters at block boundaries
    EXPECT_EQ(textAt(x0 + 6 * c + 0.5f, g.gridBottom + 0.5f), "0");
    EXPECT_EQ(textAt(x0 + 6 * c + 0.5f, g.gridBottom + 5.5f), "7");
    EXPECT_EQ(textAt(x0 + 70 * c - 1, g.gridBottom + 8.4f), "G");
    // symbols in every cell at (X0 + c x + 0.01, Y0 + c y); stitch (1, 2) has thread 4, "d"
    EXPECT_EQ(textAt(x0 + c + 0.01f, g.gridTop + 2 * c), "d");
    // notes and maker line
    EXPECT_EQ(textAt(x0 + 2, 235 + 18), "注:全部线量总和为6400，线量不是某种长度单位，而是针数，具体长度可根据绣布CT数进行估计.");
    EXPECT_EQ(textAt(x0 + 23, 235 + 36), "图中的符号代表了绣线颜色，这样就可以方便的绣图。");
    EXPECT_EQ(textAt(g.gridRight - 120, 235 + 48), "Quillex inc.Printed");
}

TEST(PrintLayoutTest, LinesAndBlocks)
{
    const auto layout = layoutOf(chart(80, 80, 12), 200.0f, 285.0f);
    ASSERT_TRUE(layout);
    const PrintGeometry& g = layout->geometry();
    const auto thick = test::linesOf(layout->drawList(), makeColor(66, 66, 66));
    // 7 row and 7 column boundaries, 2 dots wide
    ASSERT_EQ(thick.size(), 14u);
    for (const LineOp& l : thick) {
        EXPECT_EQ(l.width, 2.0f);
        EXPECT_TRUE(l.deviceWidth);
    }
    EXPECT_NEAR(thick[0].y1, g.gridTop + 10 * g.cell, 1e-3);
    EXPECT_NEAR(thick[0].x1, g.gridLeft, 1e-4);
    const auto thin = test::linesOf(layout->drawList(), makeColor(166, 166, 166));
    // 80 rows + 80 columns + 2 closing lines + 4 + 22 table lines
    EXPECT_EQ(thin.size(), 80u + 80u + 2u + 4u + 22u);
    // the guide lines start at 0.3 X0; the vertical ones run on 40 mm below the grid
    EXPECT_NEAR(thin[0].x1, 0.3f * g.gridLeft, 1e-4);
    EXPECT_NEAR(thin[80].y1, g.gridTop, 1e-4);
    EXPECT_NEAR(thin[80].y2, g.gridTop + 80 * g.cell + 40.0f, 1e-3);

    int blocks = 0;
    for (const DrawOp& op : layout->drawList().ops())
        if (const auto* r = std::get_if<FillRectOp>(&op)) {
            ++blocks;
            EXPECT_NEAR(r->w, g.cell - 0.02f, 1e-5);
        }
    EXPECT_EQ(blocks, 6400);
}

TEST(PrintLayoutTest, BlockColoursComeFromTheStitchMatrix)
{
    StitchMatrix stitches;
    stitches.set(3, 4, makeColor(9, 8, 7));
    ChartOptions options;
    options.mode = ChartMode::BlocksOnly;
    const auto layout = PrintLayout::build(chart(20, 20, 3), stitches, options, 200, 285, kMetrics);
    ASSERT_TRUE(layout);
    const auto rects = test::rectsOf(layout->drawList(), makeColor(9, 8, 7));
    ASSERT_EQ(rects.size(), 1u);
    const PrintGeometry& g = layout->geometry();
    EXPECT_NEAR(rects[0].x, g.gridLeft + 3 * g.cell + 0.01f, 1e-4);
    EXPECT_NEAR(rects[0].y, g.gridTop + 4 * g.cell + 0.01f, 1e-4);
}

struct PrintModeCase {
    ChartMode mode;
    int blocks;
};

class PrintModeTest : public ::testing::TestWithParam<PrintModeCase> {};

TEST_P(PrintModeTest, SymbolsWhateverTheModeBlocksUnlessSymbolsOnly)
{
    const auto layout = layoutOf(chart(20, 15, 3), 200.0f, 285.0f, GetParam().mode);
    ASSERT_TRUE(layout);
    int blocks = 0;
    int symbols = 0;
    for (const DrawSection& s : layout->drawList().sections()) {
        blocks += s.stage == DrawStage::Blocks ? static_cast<int>(s.end - s.begin) : 0;
        symbols += s.stage == DrawStage::Symbols ? static_cast<int>(s.end - s.begin) : 0;
    }
    EXPECT_EQ(blocks, GetParam().blocks);
    EXPECT_EQ(symbols, 300);
}

INSTANTIATE_TEST_SUITE_P(Modes, PrintModeTest,
    ::testing::Values(PrintModeCase{ChartMode::BlocksAndSymbols, 300}, PrintModeCase{ChartMode::SymbolsOnly, 0},
        PrintModeCase{ChartMode::BlocksOnly, 300}));

struct FailureCase {
    int gw;
    int gh;
    float w;
    float h;
    PrintLayoutError error;
};

class PrintFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PrintFailureTest, NarrowChartsAndEmptyPagesFailCleanly)
{
    const auto& p = GetParam();
    PrintLayoutError error = PrintLayoutError::None;
    EXPECT_FALSE(layoutOf(chart(p.gw, p.gh, 3), p.w, p.h, ChartMode::BlocksAndSymbols, &error));
    EXPECT_EQ(error, p.error);
    EXPECT_FALSE(printLayoutErrorText(error).empty());
}

INSTANTIATE_TEST_SUITE_P(Failures, PrintFailureTest,
    ::testing::Values(
        // 110 div 38 - 1 = 1: the screen legend holds no thread per band
        FailureCase{11, 20, 200, 285, PrintLayoutError::ChartTooNarrowForFit},
        FailureCase{1, 1, 200, 285, PrintLayoutError::ChartTooNarrowForFit},
        FailureCase{0, 0, 200, 285, PrintLayoutError::ChartTooNarrowForFit},
        // 12 x 300: S = 3, c = 2850 / 3386 - 0.01 = 0.8317, round(12 c) = 10, K = 0
        FailureCase{12, 300, 200, 285, PrintLayoutError::TableTooNarrow},
        FailureCase{80, 80, 0, 285, PrintLayoutError::NoPage},
        FailureCase{80, 80, 200, -1, PrintLayoutError::NoPage}));

TEST(PrintLayoutTest, TwelveColumnsFitWhenThePageAllows)
{
    // 12 x 12: S = 3, L = 386; 506 / 203 > 1.425, c = 2850 / 506 - 0.01 = 5.6224; round(67.47) = 67, K = 7
    PrintLayoutError error = PrintLayoutError::NoPage;
    const auto layout = layoutOf(chart(12, 12, 3), 200.0f, 285.0f, ChartMode::BlocksAndSymbols, &error);
    ASSERT_TRUE(layout);
    EXPECT_EQ(error, PrintLayoutError::None);
    EXPECT_EQ(layout->geometry().columnsPerBand, 7);
}

} // namespace
} // namespace kanvo
