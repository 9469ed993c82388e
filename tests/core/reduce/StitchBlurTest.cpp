#include <algorithm>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "core/reduce/StitchBlur.h"

namespace kanvo {
namespace {

// The blur as written down: every stitch the weighted mean of the 7 x 7 stitches around it, with
// weights exp(-(dx^2 + dy^2) / 2) normalised, reading the nearest edge stitch beyond an edge.
std::vector<LinearRgb> plainBlur(const std::vector<LinearRgb>& in, int width, int height)
{
    double total = 0;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            total += std::exp(-0.5 * (dx * dx + dy * dy));
    std::vector<LinearRgb> out(in.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double r = 0, g = 0, b = 0;
            for (int dy = -3; dy <= 3; ++dy)
                for (int dx = -3; dx <= 3; ++dx) {
                    const double w = std::exp(-0.5 * (dx * dx + dy * dy)) / total;
                    const LinearRgb& c = in[static_cast<std::size_t>(
                        std::clamp(y + dy, 0, height - 1) * width + std::clamp(x + dx, 0, width - 1))];
                    r += w * c.red;
                    g += w * c.green;
                    b += w * c.blue;
                }
            out[static_cast<std::size_t>(y * width + x)] = {static_cast<float>(r), static_cast<float>(g),
                static_cast<float>(b)};
        }
    return out;
}

class StitchBlurTest : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(StitchBlurTest, MatchesThePlainBlurUpToTheEdges)
{
    const auto [width, height] = GetParam();
    std::mt19937 random(static_cast<unsigned>(width * 100 + height));
    std::uniform_real_distribution<float> channel(0.0f, 1.0f);
    std::vector<LinearRgb> picture(static_cast<std::size_t>(width * height));
    for (LinearRgb& c : picture)
        c = {channel(random), channel(random), channel(random)};
    const std::vector<LinearRgb> expected = plainBlur(picture, width, height);
    const std::vector<LinearRgb> blurred = StitchBlur::blurred(picture, width, height);
    ASSERT_EQ(blurred.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(blurred[i].red, expected[i].red, 1e-5) << i;
        EXPECT_NEAR(blurred[i].green, expected[i].green, 1e-5) << i;
        EXPECT_NEAR(blurred[i].blue, expected[i].blue, 1e-5) << i;
    }
}

// Grids narrower than the blur, as wide as it, and wider.
INSTANTIATE_TEST_SUITE_P(Sizes, StitchBlurTest,
    testing::Values(std::pair{1, 1}, std::pair{2, 5}, std::pair{7, 3}, std::pair{12, 9}, std::pair{20, 1}));

} // namespace
} // namespace kanvo
