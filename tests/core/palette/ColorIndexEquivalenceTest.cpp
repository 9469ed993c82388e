// The fast colour index against the literal transcription of the original loops, on random and
// adversarial charts.

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LiteralColorIndex.h"
#include "core/palette/ColorIndex.h"

namespace kanvo {
namespace {

const ThreadTable& table() { return loadedThreadTable(); }

struct Chart {
    StitchMatrix stitches;
    int gw = 0;
    int gh = 0;
};

enum class Kind {
    RandomFew,        // a handful of random colours in runs
    RandomMany,       // up to 500 random colours scattered
    ThreadColours,    // exact table colours, shared colours included
    Midpoints,        // colours halfway between threads (nearest-thread ties)
    ManyRare,         // 500 colours, most on fewer than 5 stitches
    Gradient,         // smooth gradient: many neighbouring threads, merging chains
};

Chart makeChart(Kind kind, int gw, int gh, unsigned seed)
{
    std::mt19937 rng(seed);
    Chart c;
    c.gw = gw;
    c.gh = gh;
    std::vector<ColorValue> palette;
    switch (kind) {
    case Kind::RandomFew:
        for (int i = 0; i < 6; ++i)
            palette.push_back(rng() & 0xFFFFFFu);
        break;
    case Kind::RandomMany:
    case Kind::ManyRare:
        while (palette.size() < 500) {
            const ColorValue col = rng() & 0xFFFFFFu;
            if (std::find(palette.begin(), palette.end(), col) == palette.end())
                palette.push_back(col);
        }
        break;
    case Kind::ThreadColours:
        for (int i = 1; i <= 452; ++i)
            palette.push_back(table().colorOf(i));
        break;
    case Kind::Midpoints:
        for (int k = 0; k < 400; ++k) {
            const ColorValue a = table().colorOf(1 + static_cast<int>(rng() % 452));
            const ColorValue b = table().colorOf(1 + static_cast<int>(rng() % 452));
            palette.push_back(makeColor((redOf(a) + redOf(b)) / 2, (greenOf(a) + greenOf(b)) / 2,
                (blueOf(a) + blueOf(b)) / 2));
        }
        break;
    case Kind::Gradient:
        break;
    }
    for (int y = 0; y < gh; ++y) {
        for (int x = 0; x < gw; ++x) {
            ColorValue col = 0;
            if (kind == Kind::Gradient) {
                col = makeColor(x * 255 / std::max(1, gw - 1), y * 255 / std::max(1, gh - 1), (x + y) % 256);
            } else if (kind == Kind::RandomFew) {
                col = palette[static_cast<std::size_t>(((x / 3) + (y / 2) * 7 + static_cast<int>(rng() % 2)) % 6)];
            } else if (kind == Kind::ManyRare) {
                // The first colours cover most of the chart; the others are sprinkled once or twice.
                col = (rng() % 4 != 0) ? palette[rng() % 8] : palette[8 + rng() % 492];
            } else {
                col = palette[rng() % palette.size()];
            }
            c.stitches.set(x, y, col);
        }
    }
    // Cells outside the chart must not count.
    for (int y = 0; y < StitchMatrix::kSize; ++y)
        for (int x = gw; x < StitchMatrix::kSize && x < gw + 2; ++x)
            c.stitches.set(x, y, 0x123456);
    return c;
}

void expectSameModel(const Chart& c, const ChartModel& fast, const literal::LiteralModel& ref)
{
    ASSERT_EQ(fast.colorCount, ref.colorCount);
    ASSERT_EQ(fast.maxColor, ref.maxColor);
    ASSERT_EQ(static_cast<int>(fast.colorList.size()), fast.colorCount);
    for (int i = 1; i <= ref.colorCount; ++i)
        ASSERT_EQ(fast.colorList[static_cast<std::size_t>(i - 1)], ref.colorList[static_cast<std::size_t>(i)]) << i;
    for (int x = 0; x < c.gw; ++x)
        for (int y = 0; y < c.gh; ++y)
            ASSERT_EQ(fast.threadAt(x, y), ref.threadAt(x, y)) << x << "," << y;
    ASSERT_EQ(static_cast<int>(fast.threadList.size()), ref.maxColor);
    for (int n = 1; n <= ref.maxColor; ++n) {
        ThreadEntry expected = ref.threadList[static_cast<std::size_t>(n)];
        const ThreadEntry& got = fast.threadList[static_cast<std::size_t>(n - 1)];
        // The original gives the entry made at the first stitch that stitch's own colour; the
        // fast code gives it its thread's colour like every other entry.
        if (n == 1 && expected.index == ref.threadAt(0, 0)) {
            EXPECT_EQ(expected.color, c.stitches.at(0, 0));
            expected.color = table().colorOf(expected.index);
        }
        ASSERT_EQ(got, expected) << "legend entry " << n;
    }
    for (int i = 1; i <= ref.colorCount; ++i) {
        const int t = ref.colorList[static_cast<std::size_t>(i)];
        ASSERT_EQ(fast.chrIndex[static_cast<std::size_t>(t)], ref.chrIndex[static_cast<std::size_t>(t)]);
    }
}

struct Case {
    Kind kind;
    int gw;
    int gh;
    int mergeTol;
    int threshold;
};

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    static const char* kinds[] = {"RandomFew", "RandomMany", "ThreadColours", "Midpoints", "ManyRare", "Gradient"};
    const Case& c = info.param;
    return std::string(kinds[static_cast<int>(c.kind)]) + "_" + std::to_string(c.gw) + "x" + std::to_string(c.gh)
        + "_tol" + std::to_string(c.mergeTol) + "_T" + std::to_string(c.threshold);
}

class Equivalence : public ::testing::TestWithParam<Case> {};

TEST_P(Equivalence, FastMatchesLiteral)
{
    const Case p = GetParam();
    for (unsigned seed = 1; seed <= 3; ++seed) {
        SCOPED_TRACE(seed);
        const Chart c = makeChart(p.kind, p.gw, p.gh, seed);
        literal::LiteralModel ref;
        ref.whichType = "DMC";
        const bool refOk = literal::generate(c.stitches, c.gw, c.gh, p.mergeTol, p.threshold, table(), ref);
        ChartModel fast;
        fast.gw = c.gw;
        fast.gh = c.gh;
        fast.whichType = "DMC";
        const ColorIndexError e = generateChartModel(c.stitches, fast, {p.mergeTol, p.threshold}, table());
        if (!refOk) {
            EXPECT_EQ(e, ColorIndexError::TooManyColors);
            EXPECT_FALSE(fast.chartReady);
            continue;
        }
        ASSERT_EQ(e, ColorIndexError::None);
        EXPECT_TRUE(fast.chartReady);
        expectSameModel(c, fast, ref);
        // makeColorIndex + sortColorIndex + assignSymbols one by one give the same model.
        ChartModel steps;
        steps.gw = c.gw;
        steps.gh = c.gh;
        steps.whichType = "DMC";
        ASSERT_EQ(makeColorIndex(c.stitches, steps, p.mergeTol, table()), ColorIndexError::None);
        ASSERT_EQ(sortColorIndex(steps, p.threshold, table()), ColorIndexError::None);
        assignSymbols(steps);
        expectSameModel(c, steps, ref);
    }
}

std::vector<Case> cases()
{
    std::vector<Case> out;
    const std::vector<std::pair<int, int>> sizes{{1, 1}, {1, 37}, {41, 1}, {23, 17}, {60, 45}};
    const Kind kinds[] = {Kind::RandomFew, Kind::RandomMany, Kind::ThreadColours, Kind::Midpoints,
        Kind::ManyRare, Kind::Gradient};
    for (const Kind k : kinds)
        for (const auto& [w, h] : sizes)
            for (const int tol : {0, 400, 5980})
                for (const int t : {0, 5})
                    out.push_back(Case{k, w, h, tol, t});
    // Larger charts and extreme tolerances.
    for (const Kind k : kinds) {
        out.push_back(Case{k, 160, 90, 0, 5});
        out.push_back(Case{k, 100, 100, 20, 0});
        out.push_back(Case{k, 90, 70, 1000000, 5});
        out.push_back(Case{k, 50, 50, 2000, 10});
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(Charts, Equivalence, ::testing::ValuesIn(cases()), caseName);

TEST(EquivalenceFullSize, FullChartWithFiveHundredColours)
{
    const Chart c = makeChart(Kind::RandomMany, 320, 320, 11);
    literal::LiteralModel ref;
    ref.whichType = "DMC";
    ASSERT_TRUE(literal::generate(c.stitches, 320, 320, 0, 5, table(), ref));
    ChartModel fast;
    fast.gw = 320;
    fast.gh = 320;
    ASSERT_EQ(generateChartModel(c.stitches, fast, {0, 5}, table()), ColorIndexError::None);
    expectSameModel(c, fast, ref);
}

TEST(EquivalenceFullSize, ColourLimitAgrees)
{
    // 25 x 20 distinct colours are accepted by both; one more row of new colours is refused.
    for (const int gh : {20, 21}) {
        Chart c;
        c.gw = 25;
        c.gh = gh;
        for (int i = 0; i < 25 * gh; ++i)
            c.stitches.set(i % 25, i / 25, makeColor(i % 256, i / 256, 9));
        literal::LiteralModel ref;
        ref.whichType = "DMC";
        const bool refOk = literal::generate(c.stitches, c.gw, c.gh, 0, 5, table(), ref);
        ChartModel fast;
        fast.gw = c.gw;
        fast.gh = c.gh;
        const ColorIndexError e = generateChartModel(c.stitches, fast, {0, 5}, table());
        EXPECT_EQ(refOk, gh == 20);
        EXPECT_EQ(e, gh == 20 ? ColorIndexError::None : ColorIndexError::TooManyColors);
        if (refOk)
            expectSameModel(c, fast, ref);
    }
}

TEST(EquivalenceMerge, RandomListsAndTolerances)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + static_cast<int>(rng() % 500);
        std::vector<int> list(static_cast<std::size_t>(count));
        // Draw from a narrow range of threads now and then, so that chains and repeats occur.
        const int span = (round % 3 == 0) ? 12 : 452;
        const int base = 1 + static_cast<int>(rng() % static_cast<unsigned>(453 - span));
        for (int& t : list)
            t = base + static_cast<int>(rng() % static_cast<unsigned>(span));
        const int tolerances[] = {0, 1, 50, 400, 2000, 5980, 20000, 195075};
        const int tol = tolerances[round % 8];
        std::vector<int> ref(501, 0);
        std::copy(list.begin(), list.end(), ref.begin() + 1);
        literal::mergeNearThreads(ref, count, tol, table());
        mergeNearThreads(list, tol, table());
        ASSERT_TRUE(std::equal(list.begin(), list.end(), ref.begin() + 1)) << round;
    }
}

TEST(EquivalenceMerge, RepeatedThreadsMergeLikeTheirFirstOccurrence)
{
    // The fast colour index merges each thread once, where the original merges it once per
    // colour: entries holding the same thread must end alike, with what merging the list of
    // distinct threads (in order of first occurrence) gives them.
    std::mt19937 rng(2024);
    for (int round = 0; round < 400; ++round) {
        const int count = 2 + static_cast<int>(rng() % 499);
        const int span = (round % 2 == 0) ? 8 + static_cast<int>(rng() % 40) : 452;
        const int base = 1 + static_cast<int>(rng() % static_cast<unsigned>(453 - span));
        std::vector<int> list(501, 0);
        for (int i = 1; i <= count; ++i)
            list[static_cast<std::size_t>(i)] = base + static_cast<int>(rng() % static_cast<unsigned>(span));
        std::vector<int> distinct(501, 0);
        int k = 0;
        for (int i = 1; i <= count; ++i) {
            const int t = list[static_cast<std::size_t>(i)];
            if (std::find(distinct.begin() + 1, distinct.begin() + 1 + k, t) == distinct.begin() + 1 + k)
                distinct[static_cast<std::size_t>(++k)] = t;
        }
        const std::vector<int> before = list;
        const std::vector<int> distinctBefore = distinct;
        const int tolerances[] = {0, 30, 400, 2000, 5980, 30000};
        const int tol = tolerances[round % 6];
        literal::mergeNearThreads(list, count, tol, table());
        literal::mergeNearThreads(distinct, k, tol, table());
        for (int i = 1; i <= count; ++i) {
            const auto at = std::find(distinctBefore.begin() + 1, distinctBefore.begin() + 1 + k,
                before[static_cast<std::size_t>(i)]);
            ASSERT_EQ(list[static_cast<std::size_t>(i)], distinct[static_cast<std::size_t>(at - distinctBefore.begin())])
                << "round " << round << " entry " << i;
        }
    }
}

} // namespace
} // namespace kanvo
