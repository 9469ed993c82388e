#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/chart/ChartLayout.h"
#include "core/chart/ChartTexts.h"
#include "tests/core/chart/ChartTestSupport.h"

namespace kanvo {
namespace {

using test::countTexts;
using test::FixedMetrics;
using test::makeModel;
using test::textsAt;

// Title lines 20 and 12 pixels high: subtitle at 11 + 20 + 8 = 39, grid at 39 + 12 + 12 + 6 = 69.
const FixedMetrics kMetrics(10.0f, 20.0f, 12.0f);
// The same lines with texts of no width: the canvas is as wide as the grid and legend need.
const FixedMetrics kNarrowTexts(0.0f, 20.0f, 12.0f);
constexpr int kGridTop = 69;

std::vector<ColorValue> tableColors()
{
    std::vector<ColorValue> colors;
    for (int t = 1; t <= 452; ++t)
        colors.push_back(makeColor(t % 256, (t * 7) % 256, 200));
    return colors;
}

ChartLayout layoutOf(const ChartModel& model, ChartOptions options = {}, const TextMetrics& metrics = kMetrics)
{
    static const std::vector<ColorValue> colors = tableColors();
    return ChartLayout::build(model, colors, options, metrics);
}

ChartOptions withMode(ChartMode mode)
{
    ChartOptions o;
    o.mode = mode;
    return o;
}

// Paints the list's boxes into a plain pixel array, later boxes over earlier ones (texts ignored).
class Raster {
public:
    explicit Raster(const ChartLayout& layout)
        : width_(layout.geometry().canvasWidth), pixels_(static_cast<std::size_t>(width_) * layout.geometry().canvasHeight,
                                                     makeColor(255, 255, 255))
    {
        const int height = layout.geometry().canvasHeight;
        for (const DrawOp& op : layout.drawList().ops()) {
            const auto* r = std::get_if<FillRectOp>(&op);
            if (!r)
                continue;
            for (int y = static_cast<int>(r->y); y < static_cast<int>(r->y + r->h); ++y)
                for (int x = static_cast<int>(r->x); x < static_cast<int>(r->x + r->w); ++x)
                    if (x >= 0 && x < width_ && y >= 0 && y < height)
                        pixels_[static_cast<std::size_t>(y) * width_ + x] = r->color;
        }
    }
    [[nodiscard]] ColorValue at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

private:
    int width_;
    std::vector<ColorValue> pixels_;
};

constexpr ColorValue kWhite = makeColor(255, 255, 255);
constexpr ColorValue kThin = makeColor(166, 166, 166);
constexpr ColorValue kThick = makeColor(66, 66, 66);

TEST(ChartLayoutTest, CanvasAndLegendGeometryOfA20By15Chart)
{
    // P = 200 div 38 - 1 = 4, three entries a band, 3 threads: one band, R = 3.
    const ChartModel model = makeModel(20, 15, 3, [](int x, int) { return x % 3 + 1; });
    const ChartGeometry g = layoutOf(model, {}, kNarrowTexts).geometry();
    EXPECT_EQ(g.canvasWidth, 283);
    EXPECT_EQ(g.canvasHeight, 150 + 42 + 260);
    EXPECT_EQ(g.subtitleY, 39);
    EXPECT_EQ(g.gridTop, kGridTop);
    EXPECT_EQ(g.legendTop, kGridTop + 150 + 58);
    EXPECT_EQ(g.legendBottom, kGridTop + 150 + 58 + 14 * 5);
    EXPECT_EQ(g.legend.columnsPerBand, 4);
    EXPECT_EQ(g.legend.rows, 3);
    // A title of no width: 283 / 2 = 141.5, rounded to even.
    EXPECT_EQ(g.titleX, 142);
}

// No text runs past the canvas's right edge, 10 pixels kept: a narrow chart's canvas grows.
TEST(ChartLayoutTest, NarrowChartsWidenForTheirTexts)
{
    // 20 x 15 stitches (300 in all): the first note is 46 characters of 10 pixels from x = 42,
    // so 42 + 460 + 10 = 512 (the second, 24 characters from x = 63, ends at 303).
    ChartModel model = makeModel(20, 15, 3, [](int, int) { return 1; });
    ChartGeometry g = layoutOf(model).geometry();
    EXPECT_EQ(g.canvasWidth, 512);
    // "我的绣图" centred on it: (512 - 40) / 2 = 236.
    EXPECT_EQ(g.titleX, 236);

    // A title of 60 characters needs 10 + 600 + 10 and is centred with 10 pixels each side.
    model.xiutuTitle = std::string(60, 'T');
    g = layoutOf(model).geometry();
    EXPECT_EQ(g.canvasWidth, 620);
    EXPECT_EQ(g.titleX, 10);

    // 50 x 15 stitches are wide enough for the notes (583 >= 42 + 460 + 10): the grid's width stands.
    EXPECT_EQ(layoutOf(makeModel(50, 15, 3, [](int, int) { return 1; })).geometry().canvasWidth, 583);
    // 43 x 30: the grid needs 10 x 43 + 83 = 513, the note of 1290 stitches (47 characters)
    // 42 + 470 + 10 = 522.
    EXPECT_EQ(layoutOf(makeModel(43, 30, 3, [](int, int) { return 1; })).geometry().canvasWidth, 522);

    // A chart one stitch wide keeps its footer on the canvas: x = 10 rather than 10 + 40 - 120.
    const ChartLayout one = layoutOf(makeModel(1, 5, 3, [](int, int) { return 2; }));
    EXPECT_EQ(textsAt(one.drawList(), 10, one.geometry().legendBottom + 48),
        std::vector<std::string>{"Quillex inc.Printed"});
}

TEST(ChartLayoutTest, TitleAndSubtitleTexts)
{
    ChartModel model = makeModel(20, 15, 3, [](int, int) { return 1; });
    const DrawList list = layoutOf(model).drawList();
    EXPECT_EQ(textsAt(list, 236, 11), std::vector<std::string>{"我的绣图"});
    EXPECT_EQ(textsAt(list, 40, 39), std::vector<std::string>{"绣线:DMC  颜色数：3   宽x高：20x15"});

    model.xiutuTitle = "Rose";
    model.whichType = "Anchor";
    const DrawList named = layoutOf(model).drawList();
    EXPECT_EQ(countTexts(named, "Rose"), 1);
    EXPECT_EQ(countTexts(named, "绣线:Anchor  颜色数：3   宽x高：20x15"), 1);
}

TEST(ChartLayoutTest, ThickLinesOnlyAtBlockBoundaries)
{
    const ChartModel model = makeModel(20, 15, 3, [](int, int) { return 1; });
    const auto thick = test::rectsOf(layoutOf(model).drawList(), kThick);
    ASSERT_EQ(thick.size(), 2u);
    // row boundary 10 at y = 169 from x = 40 to 240, two pixels: rows 168 and 169
    EXPECT_EQ(thick[0], (FillRectOp{40, 168, 201, 2, kThick}));
    // column boundary 10 at x = 140 from y = 69 to 219
    EXPECT_EQ(thick[1], (FillRectOp{139, 69, 2, 151, kThick}));
}

TEST(ChartLayoutTest, ChartNoHigherThanABlockHasOnlyVerticalThickLines)
{
    for (int gh : {10, 4}) {
        const ChartModel model = makeModel(25, gh, 2, [](int, int) { return 1; });
        const auto thick = test::rectsOf(layoutOf(model).drawList(), kThick);
        ASSERT_EQ(thick.size(), 2u) << gh;
        for (const FillRectOp& r : thick)
            EXPECT_EQ(r.w, 2) << "vertical lines only, gh " << gh;
        EXPECT_EQ(thick[0].x, 139);
        EXPECT_EQ(thick[1].x, 239);
    }
    // and the other way round: a chart no wider than a block has horizontal lines only
    const ChartModel narrow = makeModel(12, 30, 2, [](int, int) { return 1; });
    ChartOptions wide;
    wide.blockW = 12;
    for (const FillRectOp& r : test::rectsOf(layoutOf(narrow, wide).drawList(), kThick))
        EXPECT_EQ(r.h, 2);
}

TEST(ChartLayoutTest, RowNumbersRestartAfterEachBlock)
{
    const ChartModel model = makeModel(20, 15, 3, [](int, int) { return 1; });
    const DrawList list = layoutOf(model).drawList();
    const char* expected[] = {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "01", "02", "03", "04", "05"};
    for (int y = 0; y < 15; ++y)
        EXPECT_EQ(textsAt(list, 22, static_cast<float>(kGridTop - 1 + 10 * y)), std::vector<std::string>{expected[y]})
            << "row " << y;
}

TEST(ChartLayoutTest, ColumnLetterAUnderColumnTen)
{
    const ChartModel model = makeModel(20, 15, 3, [](int, int) { return 1; });
    const DrawList list = layoutOf(model).drawList();
    std::vector<TextOp> red;
    for (const TextOp& t : test::textsOf(list))
        if (t.color == makeColor(255, 11, 11))
            red.push_back(t);
    ASSERT_EQ(red.size(), 1u);
    EXPECT_EQ(red[0].text, "A");
    EXPECT_EQ(red[0].x, 135);
    EXPECT_EQ(red[0].y, kGridTop + 150 + 42);
}

struct ColumnDigitsCase {
    int gw;
    int column; // 1-based
    const char* digits;
};

class ColumnDigitsTest : public ::testing::TestWithParam<ColumnDigitsCase> {};

TEST_P(ColumnDigitsTest, ThreeDigitsOneUnderTheOther)
{
    const auto& p = GetParam();
    const ChartModel model = makeModel(p.gw, 12, 2, [](int, int) { return 1; });
    const DrawList list = layoutOf(model).drawList();
    const float x = static_cast<float>(40 + 10 * (p.column - 1) + 2);
    const int base = kGridTop + 120;
    for (int d = 0; d < 3; ++d)
        EXPECT_EQ(textsAt(list, x, static_cast<float>(base + 2 + 10 * d)), std::vector<std::string>{std::string(1, p.digits[d])})
            << "digit " << d;
}

INSTANTIATE_TEST_SUITE_P(Columns, ColumnDigitsTest,
    ::testing::Values(ColumnDigitsCase{20, 7, "007"}, ColumnDigitsCase{20, 1, "001"}, ColumnDigitsCase{120, 100, "100"},
        ColumnDigitsCase{320, 320, "320"}));

TEST(ChartLayoutTest, LettersGoOnPastZ)
{
    // 320 columns in blocks of 10: boundaries at 10, 20, ... 310, 31 letters.
    const ChartModel model = makeModel(320, 12, 2, [](int, int) { return 1; });
    const DrawList list = layoutOf(model).drawList();
    const float y = static_cast<float>(kGridTop + 120 + 42);
    EXPECT_EQ(textsAt(list, 40 + 10 * 260 - 5, y), std::vector<std::string>{"Z"});
    EXPECT_EQ(textsAt(list, 40 + 10 * 270 - 5, y), std::vector<std::string>{"["});
    EXPECT_EQ(textsAt(list, 40 + 10 * 280 - 5, y), std::vector<std::string>{"\\"});
    EXPECT_EQ(textsAt(list, 40 + 10 * 310 - 5, y), std::vector<std::string>{"_"});
}

TEST(ChartLayoutTest, LettersBeyondTildeAreNeverControlCharacters)
{
    EXPECT_EQ(chart_texts::columnLetter(61), "~");
    EXPECT_EQ(chart_texts::columnLetter(62), "¡");
    for (int n = 0; n < 319; ++n) {
        const std::string s = chart_texts::columnLetter(n);
        ASSERT_FALSE(s.empty());
        const auto lead = static_cast<unsigned char>(s[0]);
        EXPECT_TRUE((lead >= 0x21 && lead < 0x7F) || lead >= 0xC2) << n;
    }
}

struct ModeCase {
    ChartMode mode;
    bool blocks;
    bool symbols;
};

class ChartModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ChartModeTest, BlocksAndSymbolsFollowTheMode)
{
    const auto& p = GetParam();
    const ChartModel model = makeModel(20, 15, 3, [](int x, int y) { return (x + y) % 3 + 1; });
    const ChartLayout layout = layoutOf(model, withMode(p.mode));
    int blocks = 0;
    int symbols = 0;
    for (const DrawSection& s : layout.drawList().sections()) {
        if (s.stage == DrawStage::Blocks)
            blocks += static_cast<int>(s.end - s.begin);
        if (s.stage == DrawStage::Symbols)
            symbols += static_cast<int>(s.end - s.begin);
    }
    EXPECT_EQ(blocks, p.blocks ? 300 : 0);
    EXPECT_EQ(symbols, p.symbols ? 300 : 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ChartModeTest,
    ::testing::Values(ModeCase{ChartMode::BlocksAndSymbols, true, true}, ModeCase{ChartMode::SymbolsOnly, false, true},
        ModeCase{ChartMode::BlocksOnly, true, false}));

TEST(ChartLayoutTest, ModeCaptions)
{
    EXPECT_EQ(chartModeFromText("生成绣图色块"), ChartMode::BlocksAndSymbols);
    EXPECT_EQ(chartModeFromText("无色块绣图"), ChartMode::SymbolsOnly);
    EXPECT_EQ(chartModeFromText("仅生成色块"), ChartMode::BlocksOnly);
    EXPECT_EQ(chartModeFromText("色块"), std::nullopt);
}

TEST(ChartLayoutTest, PixelsOfBlocksAndLines)
{
    // thread 1 in the left half, thread 2 in the right half
    const ChartModel model = makeModel(20, 15, 2, [](int x, int) { return x < 10 ? 1 : 2; });
    const ChartLayout layout = layoutOf(model, withMode(ChartMode::BlocksAndSymbols));
    const Raster r(layout);
    const ColorValue c1 = makeColor(1, 7, 200);
    const ColorValue c2 = makeColor(2, 14, 200);
    // cell (0, 0): box from (41, 70) to (49, 78), thin lines on its left and top
    EXPECT_EQ(r.at(41, 70), c1);
    EXPECT_EQ(r.at(49, 78), c1);
    EXPECT_EQ(r.at(40, 75), kThin);
    EXPECT_EQ(r.at(45, 69), kThin);
    EXPECT_EQ(r.at(50, 75), kThin);
    // the thin horizontal lines start 28 pixels left of the grid, the vertical ones end 40 below
    EXPECT_EQ(r.at(12, 69), kThin);
    EXPECT_EQ(r.at(11, 69), kWhite);
    EXPECT_EQ(r.at(50, kGridTop + 150 + 40), kThin);
    EXPECT_EQ(r.at(50, kGridTop + 150 + 41), kWhite);
    // the right-hand border stops at the grid's bottom
    EXPECT_EQ(r.at(240, kGridTop + 150), kThin);
    EXPECT_EQ(r.at(240, kGridTop + 151), kWhite);
    // the thick line at column 10 covers x = 139 and 140, over the last column of cell 9's box
    EXPECT_EQ(r.at(138, 75), c1);
    EXPECT_EQ(r.at(139, 75), kThick);
    EXPECT_EQ(r.at(140, 75), kThick);
    EXPECT_EQ(r.at(141, 75), c2);
    // ... and it stops at the grid while the thin line there runs on below
    EXPECT_EQ(r.at(140, kGridTop + 150), kThick);
    EXPECT_EQ(r.at(140, kGridTop + 151), kThin);
    // the outer border stays thin
    EXPECT_EQ(r.at(240, 75), kThin);
    EXPECT_EQ(r.at(45, kGridTop + 150), kThin);
    EXPECT_EQ(r.at(45, 168), kThick);
}

TEST(ChartLayoutTest, SymbolsInCellsAndTheDroppedF)
{
    // symbols by thread: a b c d e f; thread 6 draws "f"
    const ChartModel model = makeModel(12, 12, 6, [](int x, int) { return x % 6 + 1; });
    const DrawList list = layoutOf(model).drawList();
    EXPECT_EQ(textsAt(list, 40 + 2, kGridTop - 2), std::vector<std::string>{"a"});
    EXPECT_EQ(textsAt(list, 40 + 10 * 4 + 2, kGridTop + 10 * 3 - 2), std::vector<std::string>{"e"});
    EXPECT_EQ(textsAt(list, 40 + 10 * 5 + 2, kGridTop + 10 * 3 - 1), std::vector<std::string>{"f"});
    EXPECT_TRUE(textsAt(list, 40 + 10 * 5 + 2, kGridTop + 10 * 3 - 2).empty());
}

TEST(ChartLayoutTest, ThreadsWithoutSymbolOrOutsideTheTableDrawNothing)
{
    ChartModel model = makeModel(12, 12, 3, [](int x, int) { return x == 0 ? 3 : 1; });
    model.chrIndex[3] = 242; // beyond the symbol set
    model.colorIndex[0] = 999; // stitch (0, 0): a thread the table does not have
    const ChartLayout layout = layoutOf(model, withMode(ChartMode::BlocksAndSymbols));
    EXPECT_TRUE(textsAt(layout.drawList(), 42, kGridTop - 2).empty());
    EXPECT_TRUE(textsAt(layout.drawList(), 42, kGridTop + 8).empty());
    EXPECT_EQ(Raster(layout).at(45, 74), kWhite);
}

TEST(ChartLayoutTest, LegendOf40WideWithTwentyThreads)
{
    // P = 400 div 38 - 1 = 9: 8 entries a band, 3 bands, 9 rows.
    const ChartModel model = makeModel(40, 20, 20, [](int, int) { return 1; });
    const ChartLayout layout = layoutOf(model);
    const ChartGeometry& g = layout.geometry();
    EXPECT_EQ(g.legend.columnsPerBand, 9);
    EXPECT_EQ(g.legend.entriesPerBand, 8);
    EXPECT_EQ(g.legend.bands, 3);
    EXPECT_EQ(g.legend.rows, 9);
    EXPECT_EQ(g.canvasHeight, 200 + 14 * 9 + 260);
    const int lt = kGridTop + 200 + 58;
    EXPECT_EQ(g.legendTop, lt);
    EXPECT_EQ(g.legendBottom, lt + 14 * 11);
    const DrawList& list = layout.drawList();

    // entry 8 ends band 0 in column 8; entry 9 opens band 1 in column 1; entry 20 is column 4 of band 2
    EXPECT_EQ(textsAt(list, 40 + 38 * 8 + 4, lt + 1), std::vector<std::string>{"h"});
    EXPECT_EQ(textsAt(list, 40 + 38 + 4, lt + 42 + 1), std::vector<std::string>{"k"});
    EXPECT_EQ(textsAt(list, 40 + 38 + 4, lt + 42 + 15), std::vector<std::string>{"9       "});
    EXPECT_EQ(textsAt(list, 40 + 38 + 4, lt + 42 + 29), std::vector<std::string>{" 90"});
    EXPECT_EQ(textsAt(list, 40 + 38 * 4 + 4, lt + 84 + 29), std::vector<std::string>{" 200"});
    // cells after the last entry stay empty
    for (int c = 5; c <= 8; ++c)
        EXPECT_TRUE(textsAt(list, static_cast<float>(40 + 38 * c + 4), lt + 84 + 1).empty()) << c;

    // labels of every band
    EXPECT_EQ(countTexts(list, "符号"), 3);
    EXPECT_EQ(textsAt(list, 44, lt + 84 + 28 + 1), std::vector<std::string>{"数量"});

    // swatch of entry 9: 23 x 11 at (x0 + 13, y0 + 1)
    const auto swatches = test::rectsOf(list, static_cast<ColorValue>(9 * 0x010203));
    ASSERT_EQ(swatches.size(), 1u);
    EXPECT_EQ(swatches[0], (FillRectOp{78 + 13, static_cast<float>(lt + 42 + 1), 23, 11, 9 * 0x010203}));

    // ruling: 10 horizontal and 10 vertical grey lines of the table
    const Raster r(layout);
    EXPECT_EQ(r.at(40 + 38 * 9, lt + 14 * 9), kThin);
    EXPECT_EQ(r.at(40 + 38 * 9 + 1, lt + 14 * 9), kWhite);
    EXPECT_EQ(r.at(40 + 38 * 9, lt + 14 * 9 + 1), kWhite);
}

TEST(ChartLayoutTest, BandsOf82At320Columns)
{
    for (const auto& [threads, bands] : {std::pair{82, 1}, std::pair{83, 2}, std::pair{164, 2}}) {
        const ChartModel model = makeModel(320, 10, threads, [](int, int) { return 1; });
        const LegendGeometry g = layoutOf(model).geometry().legend;
        EXPECT_EQ(g.columnsPerBand, 83);
        EXPECT_EQ(g.entriesPerBand, 82);
        EXPECT_EQ(g.bands, bands) << threads;
    }
}

TEST(ChartLayoutTest, NarrowChartsGetOneEntryPerBand)
{
    for (int gw : {1, 3, 7, 11}) {
        const ChartModel model = makeModel(gw, 5, 3, [](int, int) { return 2; });
        const ChartLayout layout = layoutOf(model, {}, kNarrowTexts);
        const ChartGeometry& g = layout.geometry();
        EXPECT_EQ(g.legend.entriesPerBand, 1) << gw;
        EXPECT_EQ(g.legend.bands, 3) << gw;
        EXPECT_GE(g.canvasWidth, 40 + 76) << "the legend table fits, gw " << gw;
        EXPECT_GE(g.canvasWidth, 10 * gw + 83);
        EXPECT_EQ(g.canvasHeight, 50 + 14 * 9 + 260);
    }
    // 12 stitches: P = 120 div 38 - 1 = 2 by the ordinary rule, the canvas keeps its width
    const ChartModel twelve = makeModel(12, 5, 3, [](int, int) { return 2; });
    EXPECT_EQ(layoutOf(twelve, {}, kNarrowTexts).geometry().canvasWidth, 203);
}

TEST(ChartLayoutTest, NotesCarryTheTotalAndTheFooter)
{
    ChartModel model = makeModel(100, 80, 3, [](int, int) { return 1; });
    model.maxColor = 2; // a rare thread left out of the table does not change the total
    model.threadList.resize(2);
    const ChartLayout layout = layoutOf(model);
    const int lb = layout.geometry().legendBottom;
    const DrawList& list = layout.drawList();
    EXPECT_EQ(textsAt(list, 42, lb + 18),
        std::vector<std::string>{"注:全部线量总和为8000，线量不是某种长度单位，而是针数，具体长度可根据绣布CT数进行估计."});
    EXPECT_EQ(textsAt(list, 63, lb + 36), std::vector<std::string>{"图中的符号代表了绣线颜色，这样就可以方便的绣图。"});
    EXPECT_EQ(textsAt(list, 1000 + 40 - 120, lb + 48), std::vector<std::string>{"Quillex inc.Printed"});
}

TEST(ChartLayoutTest, LegendSymbolsMatchTheGridWhenARareThreadIsLeftOut)
{
    // threads 1, 2, 3 carry a, b, c in the grid; thread 2 is rare and left out of the table
    ChartModel model = makeModel(20, 12, 3, [](int x, int) { return x % 3 + 1; });
    model.threadList.erase(model.threadList.begin() + 1);
    model.maxColor = 2;
    const ChartLayout layout = layoutOf(model);
    const int lt = layout.geometry().legendTop;
    EXPECT_EQ(textsAt(layout.drawList(), 40 + 38 * 2 + 4, lt + 1), std::vector<std::string>{"c"});
}

struct SwatchCase {
    ColorValue color;
    int colorBit;
    ColorValue expected;
};

class SwatchTest : public ::testing::TestWithParam<SwatchCase> {};

TEST_P(SwatchTest, GreyForColorBitTwoAndFour)
{
    ThreadEntry e;
    e.color = GetParam().color;
    EXPECT_EQ(ChartLayout::swatchColor(e, GetParam().colorBit), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Swatches, SwatchTest,
    ::testing::Values(SwatchCase{makeColor(30, 60, 90), 16, makeColor(30, 60, 90)},
        SwatchCase{makeColor(30, 60, 90), 2, makeColor(60, 60, 60)},
        SwatchCase{makeColor(30, 60, 90), 4, makeColor(60, 60, 60)},
        SwatchCase{makeColor(10, 11, 11), 2, makeColor(11, 11, 11)}, // 32 / 3 = 10.67
        SwatchCase{makeColor(0, 0, 0), 2, makeColor(0, 0, 0)},
        SwatchCase{makeColor(10, 255, 255), 4, makeColor(10, 255, 255)},
        SwatchCase{makeColor(10, 255, 254), 4, makeColor(173, 173, 173)}));

TEST(ChartLayoutTest, DrawingOrderKeepsSymbolsLast)
{
    const ChartModel model = makeModel(20, 15, 3, [](int, int) { return 1; });
    const ChartLayout layout = layoutOf(model, withMode(ChartMode::BlocksAndSymbols));
    std::vector<DrawStage> order;
    for (const DrawSection& s : layout.drawList().sections())
        if (order.empty() || order.back() != s.stage)
            order.push_back(s.stage);
    const std::vector<DrawStage> expected = {DrawStage::Title, DrawStage::GridLines, DrawStage::Blocks,
        DrawStage::RowNumbers, DrawStage::ColumnLetters, DrawStage::ColumnNumbers, DrawStage::BlockLines,
        DrawStage::Legend, DrawStage::LegendEntries, DrawStage::Notes, DrawStage::Symbols};
    EXPECT_EQ(order, expected);
    // one symbol section per row, covering consecutive operations
    int rows = 0;
    for (const DrawSection& s : layout.drawList().sections()) {
        if (s.stage == DrawStage::Symbols) {
            EXPECT_EQ(s.row, rows++);
        }
    }
    EXPECT_EQ(rows, 15);
    EXPECT_EQ(layout.drawList().sections().back().end, layout.drawList().ops().size());
}

TEST(ChartLayoutTest, EmptyModelDrawsAFrameWithoutCrashing)
{
    ChartModel model;
    const ChartLayout layout = layoutOf(model);
    EXPECT_EQ(layout.geometry().canvasHeight, 260);
    EXPECT_EQ(layout.geometry().legend.bands, 0);
}

// A view paints the frame and the cells it shows; together, for every cell, they must be the
// chart build() lays out, operation for operation and in the same order.
TEST(ChartLayoutTest, FrameAndAllCellsAreTheWholeChart)
{
    const ChartModel model = makeModel(23, 17, 5, [](int x, int y) { return 1 + (x * 3 + y) % 5; });
    static const std::vector<ColorValue> colors = tableColors();
    for (ChartMode mode : {ChartMode::BlocksAndSymbols, ChartMode::SymbolsOnly, ChartMode::BlocksOnly}) {
        const ChartLayout whole = layoutOf(model, withMode(mode));
        const ChartLayout frame = ChartLayout::buildFrame(model, colors, withMode(mode), kMetrics);
        const DrawList cells = frame.cells(model, colors, withMode(mode), CellRange{0, 0, 23, 17});
        EXPECT_EQ(frame.geometry().canvasHeight, whole.geometry().canvasHeight);
        EXPECT_EQ(cells.fonts(), frame.drawList().fonts());

        // Blocks lie between the grid lines and the rulers; symbols come last.
        std::vector<DrawOp> merged;
        const auto append = [&](const DrawList& list, bool (*wanted)(DrawStage)) {
            for (const DrawSection& s : list.sections())
                if (wanted(s.stage))
                    merged.insert(merged.end(), list.ops().begin() + static_cast<std::ptrdiff_t>(s.begin),
                        list.ops().begin() + static_cast<std::ptrdiff_t>(s.end));
        };
        append(frame.drawList(), [](DrawStage s) { return s <= DrawStage::GridLines; });
        append(cells, [](DrawStage s) { return s == DrawStage::Blocks; });
        append(frame.drawList(), [](DrawStage s) { return s > DrawStage::GridLines; });
        append(cells, [](DrawStage s) { return s == DrawStage::Symbols; });
        EXPECT_TRUE(merged == whole.drawList().ops()) << chartModeText(mode);
    }
}

TEST(ChartLayoutTest, CellsOfAWindowHoldOnlyThoseCells)
{
    const ChartModel model = makeModel(23, 17, 5, [](int x, int y) { return 1 + (x * 3 + y) % 5; });
    static const std::vector<ColorValue> colors = tableColors();
    const ChartOptions options = withMode(ChartMode::BlocksAndSymbols);
    const ChartLayout frame = ChartLayout::buildFrame(model, colors, options, kMetrics);
    // Columns 3..6 of rows 2..4: twelve blocks and twelve symbols. A range reaching past the
    // chart's corner is cut there: 3 x 2 cells.
    const DrawList cells = frame.cells(model, colors, options, CellRange{3, 2, 7, 5});
    EXPECT_EQ(cells.ops().size(), 24u);
    const auto* first = std::get_if<FillRectOp>(&cells.ops().front());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->x, 40 + 30 + 1);
    EXPECT_EQ(first->y, kGridTop + 20 + 1);
    EXPECT_EQ(test::textsOf(cells).front().text, "b"); // thread 1 + (3 * 3 + 2) % 5 = 2, the second symbol
    EXPECT_EQ(frame.cells(model, colors, options, CellRange{20, 15, 40, 40}).ops().size(), 2u * 3 * 2);
}

struct CellsInCase {
    float left, top, right, bottom;
    CellRange expected;
};

class CellsInTest : public testing::TestWithParam<CellsInCase> {};

TEST_P(CellsInTest, CellsReachingIntoARectangle)
{
    const ChartModel model = makeModel(23, 17, 5, [](int, int) { return 1; });
    const CellsInCase& c = GetParam();
    EXPECT_EQ(layoutOf(model).cellsIn(c.left, c.top, c.right, c.bottom), c.expected);
}

// The grid starts at (40, 69); every range has one cell more on each side, for the symbols'
// line boxes, and stops at the chart's 23 x 17 cells.
INSTANTIATE_TEST_SUITE_P(ChartLayoutTest, CellsInTest,
    testing::Values(CellsInCase{40, 69, 140, 169, {0, 0, 11, 11}},
        CellsInCase{95, 100, 125, 121, {4, 2, 10, 7}},
        CellsInCase{0, 0, 2000, 2000, {0, 0, 23, 17}},
        CellsInCase{0, 0, 10, 10, {0, 0, 0, 0}},         // the title block: no cell
        CellsInCase{40, 300, 400, 400, {0, 17, 23, 17}}) // the legend: no row
);

} // namespace
} // namespace kanvo

namespace kanvo {
namespace {

struct HitCase {
    double x;
    double y;
    std::optional<CellPos> cell;
    std::optional<int> entry;
};

class ChartHitTest : public ::testing::TestWithParam<HitCase> {};

// A 40 x 20 chart with 20 threads: grid from (40, 69) to (440, 269); legend from y = 327 with
// 8 entries a band in columns 1..8, 38 wide, three rows of 14 a band.
TEST_P(ChartHitTest, CanvasPointsToCellsAndLegendEntries)
{
    const ChartModel model = test::makeModel(40, 20, 20, [](int, int) { return 1; });
    const ChartLayout layout = ChartLayout::build(model, std::vector<ColorValue>(452, 0), {}, FixedMetrics(10.0f, 20.0f, 12.0f));
    const HitCase& c = GetParam();
    EXPECT_EQ(layout.cellAt(c.x, c.y), c.cell);
    EXPECT_EQ(layout.legendEntryAt(c.x, c.y), c.entry);
}

INSTANTIATE_TEST_SUITE_P(Points, ChartHitTest,
    ::testing::Values(HitCase{40, 69, CellPos{0, 0}, std::nullopt}, // the top-left line belongs to cell (0, 0)
        HitCase{49.9, 78.9, CellPos{0, 0}, std::nullopt}, HitCase{50, 69, CellPos{1, 0}, std::nullopt},
        HitCase{439.5, 268.5, CellPos{39, 19}, std::nullopt},
        HitCase{39.9, 70, std::nullopt, std::nullopt},  // row-number margin
        HitCase{440, 100, std::nullopt, std::nullopt},  // right of the grid
        HitCase{100, 269, std::nullopt, std::nullopt},  // the column numbers below
        HitCase{60, 330, std::nullopt, std::nullopt},   // the row labels of band 0
        HitCase{78, 327, std::nullopt, 1},              // entry 1: symbol row
        HitCase{90, 327 + 14 + 5, std::nullopt, 1},     // entry 1: its count row
        HitCase{40 + 38 * 8 + 37, 327 + 41, std::nullopt, 8}, HitCase{78 + 2, 327 + 42, std::nullopt, 9},
        HitCase{40 + 38 * 4 + 1, 327 + 84 + 30, std::nullopt, 20},
        HitCase{40 + 38 * 5 + 1, 327 + 84 + 2, std::nullopt, std::nullopt}, // after the last entry
        HitCase{40 + 38 * 9 + 1, 330, std::nullopt, std::nullopt},          // right of the table
        HitCase{100, 327 + 14 * 9, std::nullopt, std::nullopt}));            // below the table

} // namespace
} // namespace kanvo
