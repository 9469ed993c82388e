#include <algorithm>
#include <cmath>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "core/colour/Ciede2000.h"
#include "core/reduce/ThreadPaletteReducer.h"

namespace kanvo {
namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<ColorValue> pixels;
};

Picture noise(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    Picture p{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        p.pixels.push_back(random() & 0xFFFFFFu);
    return p;
}

// Red across, green down, blue along the diagonal: every stitch a different colour.
Picture gradient(int width, int height)
{
    Picture p{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p.pixels.push_back(makeColor(255 * x / (width - 1), 255 * y / (height - 1), 255 * (x + y) / (width + height - 2)));
    return p;
}

// Colours within a few levels of one base colour: no edges, no highlights, just small steps.
Picture lowContrast(int width, int height, unsigned seed)
{
    std::mt19937 random(seed);
    Picture p{width, height, {}};
    for (int i = 0; i < width * height; ++i)
        p.pixels.push_back(makeColor(150 + static_cast<int>(random() % 16), 110 + static_cast<int>(random() % 16),
            90 + static_cast<int>(random() % 16)));
    return p;
}

std::set<ColorValue> tableColours(const ThreadTable& table)
{
    std::set<ColorValue> colours;
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        colours.insert(table.colorOf(t));
    return colours;
}

std::vector<ColorValue> reduce(const Picture& p, int threads, int dither, int cleanup)
{
    ThreadReductionSettings s;
    s.threads = threads;
    s.dither = dither;
    s.cleanup = cleanup;
    return ThreadPaletteReducer::reduce(p.pixels, p.width, p.height, s, loadedThreadTable());
}

// Same-colour 4-connected regions by a plain flood fill: for each, its size and whether any
// stitch next to it has another colour.
struct Region {
    int size = 0;
    bool hasNeighbour = false;
};

std::vector<Region> regionsOf(const std::vector<ColorValue>& chart, int width, int height)
{
    std::vector<int> label(chart.size(), -1);
    std::vector<Region> regions;
    for (int start = 0; start < width * height; ++start) {
        if (label[start] >= 0)
            continue;
        const int id = static_cast<int>(regions.size());
        regions.push_back({});
        std::vector<int> stack = {start};
        label[start] = id;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++regions[id].size;
            const int x = i % width, y = i / width;
            const int next[4][2] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[0] >= width || n[1] < 0 || n[1] >= height)
                    continue;
                const int j = n[1] * width + n[0];
                if (chart[j] != chart[i])
                    regions[id].hasNeighbour = true;
                else if (label[j] < 0) {
                    label[j] = id;
                    stack.push_back(j);
                }
            }
        }
    }
    return regions;
}

struct BudgetCase {
    const char* name;
    Picture picture;
    int threads;
    int dither;
    int cleanup;
};

class ThreadBudgetTest : public testing::TestWithParam<BudgetCase> {};

TEST_P(ThreadBudgetTest, ChartUsesAtMostTheBudgetOfExactTableColours)
{
    const BudgetCase& c = GetParam();
    const std::vector<ColorValue> chart = reduce(c.picture, c.threads, c.dither, c.cleanup);
    ASSERT_EQ(chart.size(), c.picture.pixels.size());
    const std::set<ColorValue> table = tableColours(loadedThreadTable());
    const std::set<ColorValue> used(chart.begin(), chart.end());
    // The chart's colour index maps each colour to one thread, so colours count threads.
    EXPECT_LE(static_cast<int>(used.size()), std::clamp(c.threads, 2, 120));
    for (ColorValue colour : used)
        EXPECT_TRUE(table.count(colour)) << std::hex << colour;
}

INSTANTIATE_TEST_SUITE_P(Pictures, ThreadBudgetTest,
    testing::Values(BudgetCase{"noise_2", noise(40, 30, 1), 2, 50, 2},
        BudgetCase{"noise_12_plain", noise(40, 30, 2), 12, 0, 0},
        BudgetCase{"noise_40_full", noise(64, 48, 3), 40, 100, 4},
        BudgetCase{"noise_120", noise(80, 80, 4), 120, 50, 2},
        BudgetCase{"noise_over_max", noise(60, 60, 5), 500, 30, 1},
        BudgetCase{"noise_under_min", noise(20, 20, 6), -3, 50, 2},
        BudgetCase{"gradient_3", gradient(50, 40), 3, 100, 0},
        BudgetCase{"gradient_24", gradient(90, 70), 24, 50, 2},
        BudgetCase{"gradient_60_cleanup_max", gradient(70, 70), 60, 100, 50},
        BudgetCase{"one_stitch", noise(1, 1, 7), 2, 100, 3},
        BudgetCase{"one_row", gradient(200, 2), 5, 70, 2},
        BudgetCase{"noise_12_defaults", noise(90, 70, 8), 12, ThreadReductionSettings{}.dither, ThreadReductionSettings{}.cleanup},
        BudgetCase{"gradient_40_defaults", gradient(150, 150), 40, ThreadReductionSettings{}.dither,
            ThreadReductionSettings{}.cleanup}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ThreadPaletteReducerTest, PictureOfFewTableColoursComesBackUnchanged)
{
    const ThreadTable& table = loadedThreadTable();
    std::mt19937 random(11);
    for (int colours : {1, 2, 7, 24, 40}) {
        // Neighbouring entries of the card included: they are the easiest to confuse.
        std::vector<ColorValue> chosen;
        for (int k = 0; k < colours; ++k)
            chosen.push_back(table.colorOf(1 + (k * 37 + (k % 3)) % ThreadTable::kThreads));
        Picture p{33, 21, {}};
        for (int i = 0; i < p.width * p.height; ++i)
            p.pixels.push_back(chosen[random() % chosen.size()]);
        for (int budget : {std::max(colours, 2), 40})
            EXPECT_EQ(reduce(p, budget, 0, 0), p.pixels) << colours << " colours, budget " << budget;
    }
}

// Cloth: a frame and a hole of black, more of it than of the two table colours stitched. With a
// budget of two, the stitches keep exactly their two threads whatever the diffusion and clean-up,
// and the cloth comes out white; were the cloth counted, its black would take a thread.
class ClothTest : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ClothTest, ClothChoosesNothingAndStaysWhite)
{
    const auto [dither, cleanup] = GetParam();
    const ThreadTable& table = loadedThreadTable();
    const ColorValue a = table.colorOf(20);
    const ColorValue b = table.colorOf(200);
    Picture p{30, 20, {}};
    std::vector<std::uint8_t> cloth;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const bool isCloth = x < 5 || x >= 25 || y < 4 || y >= 16 || (x >= 12 && x < 18 && y >= 8 && y < 12);
            cloth.push_back(isCloth ? 1 : 0);
            p.pixels.push_back(isCloth ? 0x000000u : (x < 15 ? a : b));
        }
    ThreadReductionSettings s;
    s.threads = 2;
    s.dither = dither;
    s.cleanup = cleanup;
    const std::vector<ColorValue> chart = ThreadPaletteReducer::reduce(p.pixels, p.width, p.height, s, table, cloth);
    ASSERT_EQ(chart.size(), p.pixels.size());
    for (std::size_t i = 0; i < chart.size(); ++i)
        EXPECT_EQ(chart[i], cloth[i] ? 0xFFFFFFu : p.pixels[i]) << i % 30 << "," << i / 30;

    // Cloth only: nothing to choose, all white.
    const std::vector<std::uint8_t> all(p.pixels.size(), 1);
    EXPECT_EQ(ThreadPaletteReducer::reduce(p.pixels, p.width, p.height, s, table, all),
        std::vector<ColorValue>(p.pixels.size(), 0xFFFFFFu));
}

INSTANTIATE_TEST_SUITE_P(Settings, ClothTest,
    testing::Values(std::pair{0, 0}, std::pair{100, 0}, std::pair{90, 6}, std::pair{100, 50}));

TEST(ThreadPaletteReducerTest, CleanupOnlyShrinksConfetti)
{
    // A merge only grows the region that takes the stitches, so no level may leave more
    // stitches in small regions than the diffusion made; the highest level must leave fewer.
    const auto smallStitches = [](const std::vector<ColorValue>& chart, int width, int height) {
        int count = 0;
        for (const Region& r : regionsOf(chart, width, height))
            count += r.size <= 2 ? r.size : 0;
        return count;
    };
    for (unsigned seed : {1u, 2u}) {
        const Picture p = lowContrast(48, 40, seed);
        const int before = smallStitches(reduce(p, 12, 100, 0), p.width, p.height);
        ASSERT_GT(before, 0);
        for (int cleanup : {1, ThreadReductionSettings{}.cleanup, ThreadReductionSettings::kMaxCleanup}) {
            const int after = smallStitches(reduce(p, 12, 100, cleanup), p.width, p.height);
            EXPECT_LE(after, before) << "cleanup " << cleanup << ", seed " << seed;
            if (cleanup == ThreadReductionSettings::kMaxCleanup) {
                EXPECT_LT(after, before) << "seed " << seed;
            }
        }
    }
}

TEST(ThreadPaletteReducerTest, CleanupKeepsHighlightsAndStrongDotsButRemovesFaintOnes)
{
    // A mid-tone thread as background: far from black and from white.
    const ThreadTable& table = loadedThreadTable();
    ColorValue background = 0;
    for (int t = 1; t <= ThreadTable::kThreads && background == 0; ++t) {
        const ColorValue c = table.colorOf(t);
        if (redOf(c) >= 100 && redOf(c) <= 150 && greenOf(c) >= 100 && greenOf(c) <= 150 && blueOf(c) >= 100
            && blueOf(c) <= 150)
            background = c;
    }
    ASSERT_NE(background, 0u);
    Picture p{12, 12, std::vector<ColorValue>(144, background)};
    const ColorValue white = makeColor(255, 255, 255);
    const ColorValue black = makeColor(0, 0, 0);
    // The faint dots: the other thread nearest to the background by CIEDE2000.
    ColorValue faint = 0;
    const auto from = [&](ColorValue c) { return Ciede2000::difference(ColourSpace::labOf(c), ColourSpace::labOf(background)); };
    for (int t = 1; t <= ThreadTable::kThreads; ++t) {
        const ColorValue c = table.colorOf(t);
        if (c != background && (faint == 0 || from(c) < from(faint)))
            faint = c;
    }
    p.pixels[2 * 12 + 2] = white; // a highlight
    p.pixels[9 * 12 + 9] = black; // a strong dark dot
    const int faintDots[] = {2 * 12 + 9, 9 * 12 + 2, 6 * 12 + 6};
    for (int i : faintDots)
        p.pixels[static_cast<std::size_t>(i)] = faint;
    // Four colours within a budget of four: each has its own thread before the clean-up.
    const std::vector<ColorValue> plain = reduce(p, 4, 0, 0);
    ASSERT_NE(plain[6 * 12 + 6], plain[0]);
    const std::vector<ColorValue> chart = reduce(p, 4, 0, ThreadReductionSettings::kMaxCleanup);
    EXPECT_EQ(chart[2 * 12 + 2], plain[2 * 12 + 2]) << "the highlight was merged away";
    EXPECT_EQ(chart[9 * 12 + 9], plain[9 * 12 + 9]) << "the dark dot was merged away";
    for (int i : faintDots)
        EXPECT_EQ(chart[static_cast<std::size_t>(i)], chart[0]) << "faint dot " << i << " stayed";
}

TEST(ThreadPaletteReducerTest, DiffusionKeepsTheToneOfAGreyRampThatTwoThreadsCannotDraw)
{
    // A ramp from black to white drawn in two threads: without diffusion the chart is two flat
    // halves; with full diffusion each band of columns keeps the ramp's mean luminance.
    Picture p{64, 32, {}};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.pixels.push_back(makeColor(x * 4, x * 4, x * 4));
    const auto luminance = [](ColorValue c) {
        const auto linear = [](int v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(redOf(c)) + 0.7152 * linear(greenOf(c)) + 0.0722 * linear(blueOf(c));
    };
    const auto bandMean = [&](const std::vector<ColorValue>& chart, int band) {
        double sum = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = band * 8; x < band * 8 + 8; ++x)
                sum += luminance(chart[static_cast<std::size_t>(y * p.width + x)]);
        return sum / (8 * p.height);
    };
    const std::vector<ColorValue> flat = reduce(p, 2, 0, 0);
    const std::set<ColorValue> threads(flat.begin(), flat.end());
    ASSERT_EQ(threads.size(), 2u);
    const double dark = luminance(*threads.begin()) < luminance(*threads.rbegin()) ? luminance(*threads.begin())
                                                                                    : luminance(*threads.rbegin());
    const double light = std::max(luminance(*threads.begin()), luminance(*threads.rbegin()));
    const std::vector<ColorValue> dithered = reduce(p, 2, 100, 0);
    ASSERT_EQ(std::set<ColorValue>(dithered.begin(), dithered.end()), threads);
    // Only bands whose tone lies between the two threads can be matched by mixing them.
    int between = 0;
    double worstFlat = 0, worstDithered = 0;
    for (int band = 0; band < 8; ++band) {
        const double tone = bandMean(p.pixels, band);
        if (tone < dark + 0.03 || tone > light - 0.03)
            continue;
        ++between;
        worstFlat = std::max(worstFlat, std::abs(bandMean(flat, band) - tone));
        worstDithered = std::max(worstDithered, std::abs(bandMean(dithered, band) - tone));
    }
    ASSERT_GE(between, 3);
    EXPECT_LT(worstDithered, 0.04);
    EXPECT_GT(worstFlat, 0.08);
}

TEST(ThreadPaletteReducerTest, SamePictureAndSettingsGiveTheSameChart)
{
    const Picture photo = noise(70, 50, 21);
    const Picture ramp = gradient(120, 90);
    for (const Picture* p : {&photo, &ramp}) {
        const std::vector<ColorValue> first = reduce(*p, 24, 60, 2);
        const ThreadTable copy = loadedThreadTable();
        ThreadReductionSettings s;
        s.threads = 24;
        s.dither = 60;
        s.cleanup = 2;
        EXPECT_EQ(ThreadPaletteReducer::reduce(p->pixels, p->width, p->height, s, copy), first);
        EXPECT_EQ(reduce(*p, 24, 60, 2), first);
    }
}

} // namespace
} // namespace kanvo
