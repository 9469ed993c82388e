#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/palette/ColorIndex.h"
#include "core/palette/SymbolSet.h"

namespace kanvo {
namespace {

const ThreadTable& table() { return loadedThreadTable(); }

int indexOfNumber(int number)
{
    for (int i = 1; i <= 452; ++i)
        if (table().dmc(i).cindex == number)
            return i;
    return 0;
}

// Stitch colour of a thread by number, as stored (0x00BBGGRR).
ColorValue colorOfNumber(int number) { return table().colorOf(indexOfNumber(number)); }

ChartModel modelOf(int gw, int gh, std::string brand = "DMC")
{
    ChartModel m;
    m.gw = gw;
    m.gh = gh;
    m.whichType = std::move(brand);
    return m;
}

TEST(ColorIndex, OneColourChart)
{
    StitchMatrix s;
    s.fill(colorOfNumber(310));
    ChartModel m = modelOf(7, 5);
    ASSERT_EQ(generateChartModel(s, m, {0, 5}, table()), ColorIndexError::None);
    EXPECT_TRUE(m.chartReady);
    EXPECT_EQ(m.colorCount, 1);
    EXPECT_EQ(m.maxColor, 1);
    ASSERT_EQ(m.threadList.size(), 1u);
    EXPECT_EQ(m.threadList[0], (ThreadEntry{0, 34, "310     ", 35}));
    EXPECT_EQ(m.symbolOf(34), "a");
}

// A grid larger than the picture: the padding to the right and below is not stitched, counted,
// listed or given a symbol, whatever colour the matrix holds there.
TEST(ColorIndex, PaddingOutsideThePictureStaysEmpty)
{
    StitchMatrix s;
    s.fill(colorOfNumber(5200)); // white padding, as the grid sampling leaves it
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            s.set(x, y, colorOfNumber(310));
    s.set(2, 1, colorOfNumber(5200)); // white inside the picture is a stitch
    s.setPictureSize(3, 2);
    ChartModel m = modelOf(5, 4);
    m.colorIndex.assign(321 * 321, 7); // left over from an earlier chart
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    const int t310 = indexOfNumber(310);
    const int t5200 = indexOfNumber(5200);
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 4; ++y) {
            const int expected = x >= 3 || y >= 2 ? ChartModel::kNoStitch : (x == 2 && y == 1 ? t5200 : t310);
            EXPECT_EQ(m.threadAt(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(m.stitchCount(), 6);
    EXPECT_EQ(m.colorList, (std::vector<int>{t310, t5200}));
    ASSERT_EQ(m.threadList.size(), 2u);
    EXPECT_EQ(m.threadList[0].count, 5);
    EXPECT_EQ(m.threadList[1].count, 1);
    EXPECT_EQ(m.symbolOf(ChartModel::kNoStitch), "");

    // Padding that is the only white: white leaves the chart.
    s.set(2, 1, colorOfNumber(310));
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    EXPECT_EQ(m.colorList, (std::vector<int>{t310}));
    EXPECT_EQ(m.maxColor, 1);
    EXPECT_EQ(m.threadList[0].count, 6);
}

// Cloth cells (transparent pixels) are like padding inside the picture: whatever colour the
// matrix holds there, they are not stitched, counted, listed, or taken into the merge.
TEST(ColorIndex, ClothCellsStayEmptyAndChooseNothing)
{
    // 4 x 3 of 310; (1, 0) is 3865; (0, 0) is cloth holding 666, the first colour in reading
    // order, and (2, 2) cloth holding 310.
    StitchMatrix s;
    s.fill(colorOfNumber(310));
    s.set(0, 0, colorOfNumber(666));
    s.set(1, 0, colorOfNumber(3865));
    s.setCloth(0, 0, true);
    s.setCloth(2, 2, true);
    ASSERT_TRUE(s.hasCloth());
    const int t310 = indexOfNumber(310);
    const int t3865 = indexOfNumber(3865);

    // No merge: 3865 is first, then 310 with 12 - 2 cloth - 1 = 9 stitches.
    ChartModel m = modelOf(4, 3);
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    EXPECT_EQ(m.colorList, (std::vector<int>{t3865, t310}));
    ASSERT_EQ(m.threadList.size(), 2u);
    EXPECT_EQ(m.threadList[0].count, 1);
    EXPECT_EQ(m.threadList[1].count, 9);
    EXPECT_EQ(m.threadAt(0, 0), ChartModel::kNoStitch);
    EXPECT_EQ(m.threadAt(2, 2), ChartModel::kNoStitch);
    EXPECT_EQ(m.threadAt(1, 0), t3865);
    EXPECT_EQ(m.threadAt(3, 2), t310);
    EXPECT_EQ(m.stitchCount(), 10);
    EXPECT_EQ(m.symbolOf(indexOfNumber(666)), "");

    // A merge of everything into the first thread met: 3865, not the cloth's 666.
    ASSERT_EQ(generateChartModel(s, m, {3 * 255 * 255, 0}, table()), ColorIndexError::None);
    EXPECT_EQ(m.colorList, (std::vector<int>{t3865}));
    ASSERT_EQ(m.threadList.size(), 1u);
    EXPECT_EQ(m.threadList[0].count, 10);
    EXPECT_EQ(m.threadAt(0, 0), ChartModel::kNoStitch);

    // Clearing the matrix clears the cloth; a chart of cloth only has no stitch at all.
    s.fill(colorOfNumber(310));
    EXPECT_FALSE(s.hasCloth());
    EXPECT_FALSE(s.isCloth(0, 0));
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 3; ++y)
            s.setCloth(x, y, true);
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    EXPECT_TRUE(m.colorList.empty());
    EXPECT_TRUE(m.threadList.empty());
    EXPECT_EQ(m.stitchCount(), 0);
}

TEST(ColorIndex, FirstLegendEntryShowsItsThreadColourNotTheStitchColour)
{
    StitchMatrix s;
    s.fill(makeColor(3, 2, 1)); // near black, not a thread colour
    ChartModel m = modelOf(4, 4);
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    ASSERT_EQ(m.threadList.size(), 1u);
    EXPECT_EQ(m.threadList[0].index, 34);
    EXPECT_EQ(m.threadList[0].color, 0u);
}

TEST(ColorIndex, ThreeThreadsInOrderOfFirstAppearance)
{
    // Row 0: 666 666 3865, row 1: 310 666 310. Reading rows from the top: 666, 3865, 310.
    StitchMatrix s;
    const ColorValue red = colorOfNumber(666), white = colorOfNumber(3865), black = colorOfNumber(310);
    s.set(0, 0, red);
    s.set(1, 0, red);
    s.set(2, 0, white);
    s.set(0, 1, black);
    s.set(1, 1, red);
    s.set(2, 1, black);
    ChartModel m = modelOf(3, 2);
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    const std::vector<int> expected{indexOfNumber(666), indexOfNumber(3865), 34};
    EXPECT_EQ(m.colorList, expected);
    ASSERT_EQ(m.threadList.size(), 3u);
    EXPECT_EQ(m.threadList[0].count, 3);
    EXPECT_EQ(m.threadList[1].count, 1);
    EXPECT_EQ(m.threadList[2].count, 2);
    EXPECT_EQ(m.threadList[1].name, "3865    ");
    EXPECT_EQ(m.threadList[1].color, makeColor(0xFC, 0xFB, 0xF8));
    EXPECT_EQ(m.symbolOf(indexOfNumber(666)), "a");
    EXPECT_EQ(m.symbolOf(indexOfNumber(3865)), "b");
    EXPECT_EQ(m.symbolOf(34), "c");
    EXPECT_EQ(m.symbolOf(1), ""); // not in the chart
    EXPECT_EQ(m.threadAt(2, 1), 34);
    EXPECT_EQ(m.threadAt(2, 0), indexOfNumber(3865));
}

TEST(ColorIndex, SharedTableColourGoesToTheFirstThread)
{
    StitchMatrix s;
    s.fill(0x3A969B); // 731 and 732 share 9B963A
    ChartModel m = modelOf(2, 2);
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    EXPECT_EQ(m.colorList, std::vector<int>{indexOfNumber(731)});
}

TEST(ColorIndex, ColourHalfwayBetweenTwoThreadsGoesToTheLowerIndex)
{
    // (5, 0, 0) is 25 from both (0, 0, 0) and (10, 0, 0); every other thread is far away.
    for (const bool blackFirst : {true, false}) {
        ThreadTable t;
        for (int i = 1; i <= 452; ++i)
            ASSERT_TRUE(t.set(i, ThreadColor{static_cast<std::int32_t>(makeColor(200, 200, 200)), 1000 + i}));
        const auto black = ThreadColor{0, 1};
        const auto red = ThreadColor{static_cast<std::int32_t>(makeColor(10, 0, 0)), 2};
        ASSERT_TRUE(t.set(5, blackFirst ? black : red));
        ASSERT_TRUE(t.set(9, blackFirst ? red : black));
        StitchMatrix s;
        s.fill(makeColor(5, 0, 0));
        ChartModel m = modelOf(1, 1);
        ASSERT_EQ(generateChartModel(s, m, {0, 0}, t), ColorIndexError::None);
        EXPECT_EQ(m.colorList, std::vector<int>{5});
    }
}

TEST(ColorIndex, MergedEntryIsNeverARepresentative)
{
    // 1 -- 2 within tolerance, 2 -- 3 within tolerance, 1 -- 3 not: 3 keeps its thread.
    ThreadTable t;
    ASSERT_TRUE(t.set(1, ThreadColor{static_cast<std::int32_t>(makeColor(0, 0, 0)), 1}));
    ASSERT_TRUE(t.set(2, ThreadColor{static_cast<std::int32_t>(makeColor(10, 0, 0)), 2}));
    ASSERT_TRUE(t.set(3, ThreadColor{static_cast<std::int32_t>(makeColor(20, 0, 0)), 3}));
    std::vector<int> list{1, 2, 3};
    mergeNearThreads(list, 100, t);
    EXPECT_EQ(list, (std::vector<int>{1, 1, 3}));
    list = {3, 1, 2};
    mergeNearThreads(list, 100, t); // 3 takes 2; 1 is left, 2 was already taken
    EXPECT_EQ(list, (std::vector<int>{3, 1, 3}));
    list = {1, 2, 3};
    mergeNearThreads(list, 99, t);
    EXPECT_EQ(list, (std::vector<int>{1, 2, 3}));
    list = {1, 2, 3, 2};
    mergeNearThreads(list, 0, t); // only identical colours
    EXPECT_EQ(list, (std::vector<int>{1, 2, 3, 2}));
}

TEST(ColorIndex, ToleranceZeroMergesOnlyIdenticalTableColours)
{
    const int a = indexOfNumber(781), b = indexOfNumber(782), c = indexOfNumber(783);
    std::vector<int> list{b, a, c, b, a};
    mergeNearThreads(list, 0, table());
    EXPECT_EQ(list, (std::vector<int>{b, b, c, b, b}));
}

TEST(ColorIndex, LargeToleranceMergesEverythingIntoTheFirstThread)
{
    StitchMatrix s;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 10; ++y)
            s.set(x, y, makeColor(x * 12, y * 25, 255 - x * 12));
    ChartModel m = modelOf(20, 10);
    ASSERT_EQ(generateChartModel(s, m, {195075, 0}, table()), ColorIndexError::None);
    EXPECT_EQ(m.colorCount, 1);
    ASSERT_EQ(m.threadList.size(), 1u);
    EXPECT_EQ(m.threadList[0].count, 200);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 10; ++y)
            ASSERT_EQ(m.threadAt(x, y), m.colorList[0]);
}

TEST(ColorIndex, RareThreadsLeaveTheLegendButKeepTheirStitchesAndSymbols)
{
    // 310 (black) on 12 stitches, then 666 on 4, then 3865 on 5.
    StitchMatrix s;
    s.fill(colorOfNumber(310));
    for (int x = 0; x < 4; ++x)
        s.set(x, 1, colorOfNumber(666));
    for (int x = 0; x < 5; ++x)
        s.set(x, 2, colorOfNumber(3865));
    ChartModel m = modelOf(7, 3); // 21 stitches: 12 black
    ASSERT_EQ(generateChartModel(s, m, {0, 5}, table()), ColorIndexError::None);
    EXPECT_EQ(m.colorCount, 3);
    EXPECT_EQ(m.maxColor, 2);
    ASSERT_EQ(m.threadList.size(), 2u);
    EXPECT_EQ(m.threadList[0].index, 34);
    EXPECT_EQ(m.threadList[0].count, 12);
    EXPECT_EQ(m.threadList[1].index, indexOfNumber(3865));
    EXPECT_EQ(m.threadList[1].count, 5);
    EXPECT_EQ(m.threadAt(3, 1), indexOfNumber(666));
    EXPECT_EQ(m.symbolOf(indexOfNumber(666)), "b");
    EXPECT_EQ(m.symbolOf(indexOfNumber(3865)), "c");

    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    EXPECT_EQ(m.maxColor, m.colorCount);
    ASSERT_EQ(generateChartModel(s, m, {0, 13}, table()), ColorIndexError::None);
    EXPECT_EQ(m.maxColor, 0);
    EXPECT_TRUE(m.threadList.empty());
}

// A chart whose first n stitches (row by row, width 25) are n distinct colours.
StitchMatrix distinctColours(int n)
{
    StitchMatrix s;
    for (int i = 0; i < n; ++i)
        s.set(i % 25, i / 25, makeColor(i % 256, i / 256, 77));
    return s;
}

TEST(ColorIndex, FiveHundredColoursAreAccepted)
{
    const StitchMatrix s = distinctColours(500);
    ChartModel m = modelOf(25, 20);
    ASSERT_EQ(makeColorIndex(s, m, 0, table()), ColorIndexError::None);
    EXPECT_GT(m.colorCount, 0);
}

TEST(ColorIndex, FiveHundredAndFirstColourIsRefused)
{
    StitchMatrix s = distinctColours(500);
    s.set(0, 20, makeColor(1, 2, 3));
    ChartModel m = modelOf(25, 21);
    m.chartReady = true;
    const ColorIndexError e = generateChartModel(s, m, {0, 5}, table());
    EXPECT_EQ(e, ColorIndexError::TooManyColors);
    EXPECT_EQ(errorText(e), "    绣图颜色太多，请先点 效果预览 进行减色后再生成。。。 ");
    EXPECT_EQ(errorCaption(e), "Quillex inc.");
    EXPECT_FALSE(m.chartReady);
}

TEST(ColorIndex, ThreadsPastTheSymbolsHaveNone)
{
    // 300 distinct thread colours (skipping the second of each shared colour) on one chart.
    StitchMatrix s;
    std::vector<int> threads;
    std::vector<ColorValue> used;
    for (int i = 1; i <= 452 && threads.size() < 300; ++i) {
        const ColorValue c = table().colorOf(i);
        if (std::find(used.begin(), used.end(), c) != used.end())
            continue;
        used.push_back(c);
        threads.push_back(i);
    }
    for (std::size_t k = 0; k < threads.size(); ++k)
        s.set(static_cast<int>(k % 20), static_cast<int>(k / 20), used[k]);
    ChartModel m = modelOf(20, 15);
    ASSERT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::None);
    ASSERT_EQ(m.colorCount, 300);
    const auto symbols = loadxiuChr();
    EXPECT_EQ(m.symbolOf(threads[0]), "a");
    EXPECT_EQ(m.symbolOf(threads[73]), "&");
    EXPECT_EQ(m.symbolOf(threads[76]), "人");
    EXPECT_EQ(m.symbolOf(threads[121]), m.symbolOf(threads[77])); // 了
    EXPECT_EQ(m.symbolOf(threads[240]), "廿");
    EXPECT_EQ(m.symbolOf(threads[241]), "");
    EXPECT_EQ(m.symbolOf(threads[299]), "");
    EXPECT_EQ(m.chrIndex[static_cast<std::size_t>(threads[299])], 300);
}

TEST(ColorIndex, OtherBrandsStopAfterCollectingColours)
{
    StitchMatrix s;
    s.set(0, 0, 5);
    s.set(1, 0, 9);
    s.set(0, 1, 9);
    s.set(1, 1, 7);
    ChartModel m = modelOf(2, 2, "CC");
    EXPECT_EQ(generateChartModel(s, m, {0, 0}, table()), ColorIndexError::UnsupportedBrand);
    EXPECT_EQ(m.colorList, (std::vector<int>{5, 9, 7}));
    EXPECT_EQ(m.threadAt(0, 0), 1);
    EXPECT_EQ(m.threadAt(1, 0), 2);
    EXPECT_EQ(m.threadAt(0, 1), 2);
    EXPECT_EQ(m.threadAt(1, 1), 3);
    EXPECT_EQ(m.maxColor, 0);
    EXPECT_EQ(m.colorCount, 0);
    EXPECT_TRUE(m.threadList.empty());
    EXPECT_FALSE(m.chartReady);
    EXPECT_EQ(m.symbolOf(1), "");
}

TEST(ColorIndex, EmptyBrandBecomesDmc)
{
    StitchMatrix s;
    ChartModel m = modelOf(3, 3, "");
    EXPECT_EQ(generateChartModel(s, m, {0, 5}, table()), ColorIndexError::None);
    EXPECT_EQ(m.whichType, "DMC");
}

class InvalidSizes : public ::testing::TestWithParam<std::pair<int, int>> {};
TEST_P(InvalidSizes, AreRefused)
{
    StitchMatrix s;
    ChartModel m = modelOf(GetParam().first, GetParam().second);
    EXPECT_EQ(generateChartModel(s, m, {0, 5}, table()), ColorIndexError::InvalidSize);
    EXPECT_FALSE(m.chartReady);
}
INSTANTIATE_TEST_SUITE_P(Sizes, InvalidSizes,
    ::testing::Values(std::pair{0, 5}, std::pair{5, 0}, std::pair{321, 5}, std::pair{5, 321},
        std::pair{-1, -1}));

TEST(ColorIndex, StopLeavesTheModelIncomplete)
{
    StitchMatrix s;
    for (int x = 0; x < 50; ++x)
        for (int y = 0; y < 40; ++y)
            s.set(x, y, makeColor((x / 5) * 20, (y / 4) * 20, 0)); // 100 colours
    for (int stopAfter : {1, 10, 50, 51, 60, 100, 101}) {
        int calls = 0;
        ColorIndexHooks hooks;
        hooks.stopRequested = [&] { return ++calls >= stopAfter; };
        ChartModel m = modelOf(50, 40);
        m.chartReady = true;
        EXPECT_EQ(generateChartModel(s, m, {0, 5}, table(), hooks), ColorIndexError::Stopped)
            << stopAfter;
        EXPECT_FALSE(m.chartReady);
    }
}

TEST(ColorIndex, ProgressCoversEveryPassAndEndsComplete)
{
    StitchMatrix s;
    ChartModel m = modelOf(30, 12);
    std::vector<std::pair<int, int>> reports;
    std::vector<ColorIndexStage> stages;
    ColorIndexHooks hooks;
    hooks.progress = [&](int done, int total) { reports.emplace_back(done, total); };
    hooks.stage = [&](ColorIndexStage stage) { stages.push_back(stage); };
    ASSERT_EQ(generateChartModel(s, m, {0, 5}, table(), hooks), ColorIndexError::None);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().first, 0);
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_LE(reports[i].first, reports[i].second);
        // Each pass starts at 0 and advances one line at a time.
        if (reports[i].first != 0 && reports[i].first != reports[i - 1].first) {
            EXPECT_EQ(reports[i].first, reports[i - 1].first + 1) << i;
        }
    }
    EXPECT_EQ(reports.back().first, reports.back().second);
    EXPECT_EQ(stages.front(), ColorIndexStage::Indexing);
    EXPECT_EQ(stages.back(), ColorIndexStage::Counting);
    EXPECT_EQ(stageText(ColorIndexStage::Indexing), "正在创建颜色索引......");
    EXPECT_EQ(stageText(ColorIndexStage::Counting), "正在计算颜色数目等信息......");
}

TEST(ColorIndex, SortColorIndexOnItsOwnListsByFirstStitch)
{
    // A colour index set by hand (as the editor leaves it): threads 9, 4, 9 / 7, 4, 4.
    ChartModel m = modelOf(3, 2);
    m.colorIndex.assign(321 * 321, 0);
    auto set = [&](int x, int y, int t) { m.colorIndex[static_cast<std::size_t>(x * 321 + y)] = t; };
    set(0, 0, 9);
    set(1, 0, 4);
    set(2, 0, 9);
    set(0, 1, 7);
    set(1, 1, 4);
    set(2, 1, 4);
    ASSERT_EQ(sortColorIndex(m, 2, table()), ColorIndexError::None);
    ASSERT_EQ(m.threadList.size(), 2u);
    EXPECT_EQ(m.threadList[0].index, 9);
    EXPECT_EQ(m.threadList[0].count, 2);
    EXPECT_EQ(m.threadList[1].index, 4);
    EXPECT_EQ(m.threadList[1].count, 3);
    EXPECT_EQ(m.threadList[1].name, "153     "); // entry 4 is thread 153
    EXPECT_EQ(m.maxColor, 2);
}

TEST(ColorIndex, ThreadNameIsAnEightCharacterField)
{
    EXPECT_EQ(threadName(310), "310     ");
    EXPECT_EQ(threadName(5200), "5200    ");
    EXPECT_EQ(threadName(0), "0       ");
}

} // namespace
} // namespace kanvo
