#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/colour/Ciede2000.h"
#include "core/reduce/BlurredError.h"

namespace kanvo {
namespace {

constexpr int kWidth = 14;
constexpr int kHeight = 11;

// The plain definition: each stitch the mean of the stitches within 3 (edges repeated), weighted
// by exp(-d^2 / 2) along each axis.
std::vector<LinearRgb> plainBlur(const std::vector<LinearRgb>& colours)
{
    std::vector<LinearRgb> out(colours.size());
    double sum = 0;
    for (int d = -3; d <= 3; ++d)
        sum += std::exp(-0.5 * d * d);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            double r = 0, g = 0, b = 0;
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx) {
                    const double w = std::exp(-0.5 * dx * dx) * std::exp(-0.5 * dy * dy) / (sum * sum);
                    const LinearRgb& c = colours[static_cast<std::size_t>(
                        std::clamp(y + dy, 0, kHeight - 1) * kWidth + std::clamp(x + dx, 0, kWidth - 1))];
                    r += w * c.red;
                    g += w * c.green;
                    b += w * c.blue;
                }
            out[static_cast<std::size_t>(y * kWidth + x)] = {
                static_cast<float>(r), static_cast<float>(g), static_cast<float>(b)};
        }
    return out;
}

// CIEDE2000 between the blurred picture and the blurred chart, summed over every stitch.
double plainError(const std::vector<ColorValue>& picture, const std::vector<LinearRgb>& chart)
{
    std::vector<LinearRgb> linearPicture;
    for (ColorValue c : picture)
        linearPicture.push_back(ColourSpace::linearOf(c));
    const std::vector<LinearRgb> seenPicture = plainBlur(linearPicture);
    const std::vector<LinearRgb> seenChart = plainBlur(chart);
    double total = 0;
    for (std::size_t i = 0; i < chart.size(); ++i)
        total += Ciede2000::difference(ColourSpace::labOf(seenPicture[i]), ColourSpace::labOf(seenChart[i]));
    return total;
}

// A picture of smooth colour with some noise, and its chart in threads of a grid of sRGB levels:
// the nearest of them to each stitch, so that chart and picture are near as a reduction makes
// them.
struct Scene {
    static constexpr int kLevels[] = {20, 75, 130, 185, 240};
    std::vector<ColorValue> picture;
    std::vector<LinearRgb> chart;
    std::vector<std::array<int, 3>> levels; // each stitch's thread, as indices into kLevels

    Scene()
    {
        std::uint32_t seed = 12345;
        const auto noise = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return static_cast<int>(seed >> 28) - 8;
        };
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const std::array<int, 3> c{std::clamp(40 + 14 * x + noise(), 0, 255),
                    std::clamp(50 + 16 * y + noise(), 0, 255), std::clamp(200 - 9 * x - 6 * y + noise(), 0, 255)};
                picture.push_back(makeColor(c[0], c[1], c[2]));
                std::array<int, 3> nearest{};
                for (std::size_t k = 0; k < 3; ++k)
                    nearest[k] = static_cast<int>(std::min_element(std::begin(kLevels), std::end(kLevels),
                        [&](int u, int v) { return std::abs(u - c[k]) < std::abs(v - c[k]); }) - std::begin(kLevels));
                levels.push_back(nearest);
                chart.push_back(thread(nearest));
            }
    }

    [[nodiscard]] static LinearRgb thread(const std::array<int, 3>& level)
    {
        return ColourSpace::linearOf(makeColor(kLevels[level[0]], kLevels[level[1]], kLevels[level[2]]));
    }

    // The thread one level up or down from stitch i's in channel `channel`.
    [[nodiscard]] LinearRgb beside(std::size_t i, int channel) const
    {
        std::array<int, 3> level = levels[i];
        int& l = level[static_cast<std::size_t>(channel)];
        l = l + 1 < 5 ? l + 1 : l - 1;
        return thread(level);
    }
};

LinearRgb minus(const LinearRgb& a, const LinearRgb& b)
{
    return {a.red - b.red, a.green - b.green, a.blue - b.blue};
}

struct ChangeCase {
    const char* name;
    int x, y;        // the first stitch
    int dx, dy;      // the second, relative to the first; (0, 0) for a single stitch
    bool swap;       // the two trade colours; otherwise both take the colour below
    int channel;     // the colour taken: the thread one level off in this channel
};

class BlurredErrorTest : public testing::TestWithParam<ChangeCase> {};

// The cost the blurred error tells for a change against the whole blurred error worked out
// plainly before and after it, and again after an earlier change elsewhere was made.
TEST_P(BlurredErrorTest, CostIsTheRiseOfThePlainBlurredError)
{
    const ChangeCase& c = GetParam();
    Scene scene;
    BlurredError blurred(scene.picture, scene.chart, kWidth, kHeight);

    // An earlier change, far enough not to be inside the window, but inside the blur's reach of it.
    const std::size_t earlier =
        static_cast<std::size_t>(std::min(kHeight - 1, c.y + 4) * kWidth + std::max(0, c.x - 4));
    const LinearRgb earlierColour = scene.beside(earlier, 1);
    BlurredError::Change first{{earlier, 0}, {1.0f, 0.0f}, 1};
    blurred.apply(first, minus(earlierColour, scene.chart[earlier]));
    scene.chart[earlier] = earlierColour;

    const std::size_t p = static_cast<std::size_t>(c.y * kWidth + c.x);
    const bool pair = c.dx != 0 || c.dy != 0;
    const std::size_t q = static_cast<std::size_t>((c.y + c.dy) * kWidth + c.x + c.dx);
    BlurredError::Change change{{p, q}, {1.0f, c.swap ? -1.0f : 1.0f}, pair ? 2 : 1};
    if (pair) {
        // The second stitch first takes the first's colour (a region), or another (a swap).
        const LinearRgb second = c.swap ? scene.beside(p, c.channel) : scene.chart[p];
        blurred.apply({{q, 0}, {1.0f, 0.0f}, 1}, minus(second, scene.chart[q]));
        scene.chart[q] = second;
    }
    std::vector<LinearRgb> after = scene.chart;
    LinearRgb colour{};
    if (c.swap) {
        colour = minus(scene.chart[q], scene.chart[p]);
        std::swap(after[p], after[q]);
    } else {
        const LinearRgb to = scene.beside(p, c.channel);
        colour = minus(to, scene.chart[p]);
        after[p] = to;
        if (pair)
            after[q] = to;
    }
    const double expected = plainError(scene.picture, after) - plainError(scene.picture, scene.chart);
    blurred.weigh(change);
    const double cost = blurred.cost(colour);
    // The window leaves out the blur's far tail, and the form is CIEDE2000's first-order
    // expansion around the blurred picture, rough where the blurred chart is several units off
    // it as here: within about a quarter of the change's own size.
    EXPECT_NEAR(cost, expected, 0.3 * std::abs(expected) + 0.3) << "expected " << expected;

    // Made, the change's reverse costs the opposite.
    blurred.apply(change, colour);
    blurred.weigh(change);
    EXPECT_NEAR(blurred.cost({-colour.red, -colour.green, -colour.blue}), -cost, 1e-3 * std::abs(cost) + 1e-3);
}

INSTANTIATE_TEST_SUITE_P(Changes, BlurredErrorTest,
    testing::Values(ChangeCase{"inside", 7, 5, 0, 0, false, 0}, ChangeCase{"corner", 0, 0, 0, 0, false, 1},
        ChangeCase{"right_edge", kWidth - 1, 4, 0, 0, false, 2},
        ChangeCase{"bottom_edge", 6, kHeight - 1, 0, 0, false, 1},
        ChangeCase{"pair_across", 6, 3, 1, 0, false, 2}, ChangeCase{"pair_down_at_edge", 0, 6, 0, 1, false, 0},
        ChangeCase{"swap_across", 8, 6, 1, 0, true, 1}, ChangeCase{"swap_down", 5, 2, 0, 1, true, 2},
        ChangeCase{"swap_at_corner", kWidth - 2, kHeight - 1, 1, 0, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kanvo
