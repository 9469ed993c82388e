#include <algorithm>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "core/colour/Ciede2000.h"
#include "core/reduce/CalmDiffusion.h"
#include "core/reduce/ConfettiCleanup.h"
#include "core/reduce/ThreadPaletteReducer.h"

namespace kanvo {
namespace {

constexpr int kDefaultLevel = ThreadReductionSettings{}.cleanup;

// The thread whose table colour is nearest to `target` by plain RGB distance.
int threadNear(ColorValue target)
{
    const ThreadTable& table = loadedThreadTable();
    int best = 1;
    for (int t = 2; t <= ThreadTable::kThreads; ++t)
        if (colorDistance(table.colorOf(t), target) < colorDistance(table.colorOf(best), target))
            best = t;
    return best;
}

// The other thread nearest to `thread` by CIEDE2000: the faintest stray it can have.
int faintestBeside(int thread)
{
    const ThreadTable& table = loadedThreadTable();
    const Lab own = ColourSpace::labOf(table.colorOf(thread));
    int best = 0;
    double bestDifference = 1e9;
    for (int t = 1; t <= ThreadTable::kThreads; ++t) {
        const double d = Ciede2000::difference(own, ColourSpace::labOf(table.colorOf(t)));
        if (table.colorOf(t) != table.colorOf(thread) && d < bestDifference) {
            bestDifference = d;
            best = t;
        }
    }
    return best;
}

// The palette of the given threads, and the slot of each, as the clean-up sees them.
struct Threads {
    explicit Threads(std::vector<int> wanted) : ids(std::move(wanted)), palette(loadedThreadTable(), ids) {}
    [[nodiscard]] int slot(int thread) const
    {
        const auto all = palette.threads();
        return static_cast<int>(std::find(all.begin(), all.end(), thread) - all.begin());
    }
    [[nodiscard]] ColorValue colour(int thread) const { return loadedThreadTable().colorOf(thread); }
    std::vector<int> ids;
    ThreadMatcher palette;
};

// A chart of width x height stitches in one thread, and the picture it was made from.
struct Scene {
    int width = 0;
    int height = 0;
    std::vector<ColorValue> picture;
    std::vector<int> slots;

    Scene(int w, int h, const Threads& threads, int thread)
        : width(w), height(h), picture(static_cast<std::size_t>(w * h), threads.colour(thread)),
          slots(static_cast<std::size_t>(w * h), threads.slot(thread))
    {
    }
    // Stitch (x, y) in `thread`; in the picture too when `pictured`.
    void put(int x, int y, const Threads& threads, int thread, bool pictured)
    {
        const std::size_t i = static_cast<std::size_t>(y * width + x);
        slots[i] = threads.slot(thread);
        if (pictured)
            picture[i] = threads.colour(thread);
    }
    void clean(const Threads& threads, int level)
    {
        ConfettiCleanup::run(slots, picture, width, height, threads.palette, level);
    }
};

struct StrayCase {
    const char* name;
    bool pictured;   // the stray colour is in the picture too, not only in the chart
    int stitches;    // 1, or 2 side by side
    int level;
};

class StrayStitchTest : public testing::TestWithParam<StrayCase> {};

TEST_P(StrayStitchTest, FlatAreaLosesIt)
{
    const StrayCase& c = GetParam();
    // A mid beige and the thread nearest to it that is not the same: a faint stray, which costs
    // about its own difference to the background seen from a distance.
    const int background = threadNear(makeColor(200, 170, 130));
    const int stray = faintestBeside(background);
    const ThreadTable& table = loadedThreadTable();
    ASSERT_LT(Ciede2000::difference(ColourSpace::labOf(table.colorOf(background)), ColourSpace::labOf(table.colorOf(stray))),
        kDefaultLevel * ConfettiCleanup::kCostPerLevel);
    const Threads threads({background, stray});
    Scene scene(16, 12, threads, background);
    for (int k = 0; k < c.stitches; ++k)
        scene.put(7 + k, 5, threads, stray, c.pictured);
    scene.clean(threads, c.level);
    EXPECT_EQ(std::count(scene.slots.begin(), scene.slots.end(), threads.slot(background)), 16 * 12);
}

INSTANTIATE_TEST_SUITE_P(Cases, StrayStitchTest,
    testing::Values(StrayCase{"chart_only_lowest_level", false, 1, 1},
        StrayCase{"pictured_faint_dot", true, 1, kDefaultLevel},
        StrayCase{"pictured_faint_pair", true, 2, kDefaultLevel},
        StrayCase{"chart_only_pair", false, 2, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConfettiCleanupTest, LevelZeroChangesNothing)
{
    const Threads threads({threadNear(makeColor(200, 170, 130)), threadNear(makeColor(60, 40, 30))});
    Scene scene(10, 10, threads, threads.ids[0]);
    scene.put(4, 4, threads, threads.ids[1], false);
    const std::vector<int> before = scene.slots;
    scene.clean(threads, 0);
    EXPECT_EQ(scene.slots, before);
}

// The thread of the table with this number on the colour card.
int threadNumbered(int number)
{
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        if (loadedThreadTable().dmc(t).cindex == number)
            return t;
    return 0;
}

struct MergeCase {
    const char* name;
    int background; // DMC numbers
    int stray;
    int stitches; // 1, or 2 side by side
    int level;
    bool merged;
};

class MergeRuleTest : public testing::TestWithParam<MergeCase> {};

// A stray of one or two stitches in a flat area, in the picture as in the chart, so that its
// merge costs the blurred error it brings: worked out with a plain reference (Gaussian of sigma
// 1 over the stitches within one of the stray, CIEDE2000 between the blurred picture and the
// flat chart after the merge). The allowance is level x 0.5 for each stitch merged.
TEST_P(MergeRuleTest, MergesWithinTheAllowanceUnlessAHighlight)
{
    const MergeCase& c = GetParam();
    const int background = threadNumbered(c.background);
    const int stray = threadNumbered(c.stray);
    ASSERT_TRUE(background != 0 && stray != 0);
    const Threads threads({background, stray});
    Scene scene(15, 15, threads, background);
    for (int k = 0; k < c.stitches; ++k)
        scene.put(7 + k, 7, threads, stray, true);
    scene.clean(threads, c.level);
    EXPECT_EQ(std::count(scene.slots.begin(), scene.slots.end(), threads.slot(background)),
        c.merged ? 15 * 15 : 15 * 15 - c.stitches);
}

INSTANTIATE_TEST_SUITE_P(Cases, MergeRuleTest,
    testing::Values(
        // 422 on 3782 (CIEDE2000 12.5, darker): a single stitch costs 10.23, a pair 21.59.
        MergeCase{"single_over_level_19", 3782, 422, 1, 19, false},  // allows 9.5
        MergeCase{"single_within_level_22", 3782, 422, 1, 22, true}, // allows 11.0
        MergeCase{"pair_over_level_20", 3782, 422, 2, 20, false},    // allows 2 x 10.0
        MergeCase{"pair_within_level_23", 3782, 422, 2, 23, true},   // allows 2 x 11.5
        // Lighter strays within CIEDE2000 20 of the area, so no strong contrast, and costing less
        // than the top level allows (25): 772 on 3364 is 26.1 lighter in CIELAB L, a highlight
        // (cost 19.74); 677 on 371 only 23.3 lighter, not one (cost 18.95).
        MergeCase{"highlight_stays", 3364, 772, 1, ThreadReductionSettings::kMaxCleanup, false},
        MergeCase{"lighter_below_a_highlight_goes", 371, 677, 1, ThreadReductionSettings::kMaxCleanup, true}),
    [](const auto& info) { return std::string(info.param.name); });

class DetailTest : public testing::TestWithParam<int> {};

// Detail the picture holds: one light stitch in a dark area, and lines one stitch thin that
// touch no stitch of their own thread (diagonals), light on dark and dark on light.
TEST_P(DetailTest, HighlightsAndThinStrongLinesSurvive)
{
    const int level = GetParam();
    const int dark = threadNear(makeColor(45, 35, 35));
    const int light = threadNear(makeColor(245, 240, 225));
    const int mid = threadNear(makeColor(140, 130, 120));
    const Threads threads({dark, light, mid});
    Scene scene(24, 20, threads, dark);
    scene.put(4, 4, threads, light, true); // the highlight
    for (int k = 0; k < 8; ++k)
        scene.put(10 + k, 2 + k, threads, light, true);
    for (int y = 12; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
            scene.put(x, y, threads, light, true);
    for (int k = 0; k < 6; ++k)
        scene.put(6 + k, 13 + k, threads, dark, true);
    const std::vector<int> before = scene.slots;
    scene.clean(threads, level);
    for (int y = 0; y < scene.height; ++y)
        for (int x = 0; x < scene.width; ++x)
            EXPECT_EQ(scene.slots[static_cast<std::size_t>(y * scene.width + x)],
                before[static_cast<std::size_t>(y * scene.width + x)])
                << "stitch " << x << ", " << y << " at level " << level;
}

INSTANTIATE_TEST_SUITE_P(Levels, DetailTest,
    testing::Values(1, kDefaultLevel, ThreadReductionSettings::kMaxCleanup));

// Linear light of an sRGB channel, by the sRGB formula.
double linear(int channel)
{
    const double s = channel / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

TEST(ConfettiCleanupTest, DitheredGradientKeepsItsMix)
{
    // A ramp between two grey threads, mixed in linear light: column x holds the share
    // x / (width - 1) of the light thread. Diffusion draws it as a mix of the two; the clean-up
    // must keep each band's share, since a flat band would be far off seen from a distance.
    const int dark = threadNear(makeColor(70, 70, 70));
    const int light = threadNear(makeColor(190, 190, 190));
    const Threads threads({dark, light});
    const ColorValue d = threads.colour(dark), l = threads.colour(light);
    const int width = 64, height = 32;
    std::vector<ColorValue> picture;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double share = x / static_cast<double>(width - 1);
            const auto mix = [&](int from, int to) {
                const double v = (1 - share) * linear(from) + share * linear(to);
                const double s = v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
                return static_cast<int>(std::lround(s * 255));
            };
            picture.push_back(makeColor(mix(redOf(d), redOf(l)), mix(greenOf(d), greenOf(l)), mix(blueOf(d), blueOf(l))));
        }
    std::vector<int> slots = CalmDiffusion::run(picture, width, height, threads.palette, 1.0);
    ConfettiCleanup::run(slots, picture, width, height, threads.palette, kDefaultLevel);
    const int lightSlot = threads.slot(light);
    for (int band = 1; band < 7; ++band) {
        int lightStitches = 0;
        for (int y = 0; y < height; ++y)
            for (int x = band * 8; x < band * 8 + 8; ++x)
                lightStitches += slots[static_cast<std::size_t>(y * width + x)] == lightSlot ? 1 : 0;
        const double wanted = (band * 8 + 3.5) / (width - 1);
        EXPECT_NEAR(lightStitches / (8.0 * height), wanted, 0.06) << "band " << band;
    }
}

// Stitches with no neighbour of their own thread left, right, above or below.
int loneStitches(const std::vector<int>& slots, int width, int height)
{
    int lone = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int own = slots[static_cast<std::size_t>(y * width + x)];
            const auto same = [&](int nx, int ny) {
                return nx >= 0 && nx < width && ny >= 0 && ny < height
                    && slots[static_cast<std::size_t>(ny * width + nx)] == own;
            };
            lone += same(x - 1, y) || same(x + 1, y) || same(x, y - 1) || same(x, y + 1) ? 0 : 1;
        }
    return lone;
}

TEST(ConfettiCleanupTest, EvenMixJoinsItsStitchesAndKeepsTheMix)
{
    // A flat area of the colour halfway, in linear light, between two greys, charted as a
    // checkerboard of the two: every stitch is lone, and taking a neighbour's thread loses the mix
    // seen from a distance. Trading threads with neighbours keeps the mix and joins the stitches.
    const int dark = threadNear(makeColor(90, 90, 90));
    const int light = threadNear(makeColor(150, 150, 150));
    const Threads threads({dark, light});
    const ColorValue d = threads.colour(dark), l = threads.colour(light);
    const auto half = [](int from, int to) {
        const double v = 0.5 * (linear(from) + linear(to));
        return static_cast<int>(std::lround(255 * (v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055)));
    };
    const int width = 24, height = 20;
    Scene scene(width, height, threads, dark);
    std::fill(scene.picture.begin(), scene.picture.end(),
        makeColor(half(redOf(d), redOf(l)), half(greenOf(d), greenOf(l)), half(blueOf(d), blueOf(l))));
    for (int y = 0; y < height; ++y)
        for (int x = (y + 1) % 2; x < width; x += 2)
            scene.put(x, y, threads, light, false);
    ASSERT_EQ(loneStitches(scene.slots, width, height), width * height);

    scene.clean(threads, kDefaultLevel);
    EXPECT_LT(loneStitches(scene.slots, width, height), width * height / 4);
    const auto lightStitches = std::count(scene.slots.begin(), scene.slots.end(), threads.slot(light));
    EXPECT_NEAR(static_cast<double>(lightStitches) / (width * height), 0.5, 0.03);
}

TEST(ConfettiCleanupTest, StitchesJuttingOutOfAnAreaTakeTheThreadThePictureHolds)
{
    // Two dark stitches jut out of a dark area into a light one where the picture is light: no
    // confetti, so no merge or swap touches them, but taking the light thread of their
    // neighbours lowers the blurred error and leaves no stitch alone: the chart becomes the
    // picture.
    const int dark = threadNear(makeColor(45, 35, 35));
    const int light = threadNear(makeColor(245, 240, 225));
    const Threads threads({dark, light});
    Scene scene(16, 12, threads, light);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 8; ++x)
            scene.put(x, y, threads, dark, true);
    const std::vector<int> expected = scene.slots;
    scene.put(8, 5, threads, dark, false);
    scene.put(8, 6, threads, dark, false);
    scene.clean(threads, 1);
    for (int y = 0; y < scene.height; ++y)
        for (int x = 0; x < scene.width; ++x)
            EXPECT_EQ(scene.slots[static_cast<std::size_t>(y * 16 + x)], expected[static_cast<std::size_t>(y * 16 + x)])
                << "stitch " << x << ", " << y;
}

} // namespace
} // namespace kanvo
