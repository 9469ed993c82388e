#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "core/colour/Ciede2000.h"
#include "core/colour/LocalCiede2000.h"

namespace kanvo {
namespace {

struct Centre {
    const char* name;
    LinearRgb colour;
};

class LocalCiede2000Test : public testing::TestWithParam<Centre> {};

// Near its centre the form agrees with the formula itself: the reference is Ciede2000 between
// the shifted colour and the centre, for small shifts in every direction.
TEST_P(LocalCiede2000Test, AgreesWithTheFormulaForSmallDifferences)
{
    const LinearRgb c = GetParam().colour;
    const LocalCiede2000 form(c);
    std::mt19937 random(7);
    std::normal_distribution<float> shift(0.0f, 1.0f);
    const Lab centre = ColourSpace::labOf(c);
    int compared = 0;
    for (int k = 0; k < 200; ++k) {
        // Steps of a few hundredths of the centre's light, at least a small absolute step.
        const float scale = 0.01f * std::max({c.red, c.green, c.blue, 0.05f});
        const LinearRgb d{scale * shift(random), scale * shift(random), scale * shift(random)};
        const LinearRgb moved{c.red + d.red, c.green + d.green, c.blue + d.blue};
        if (moved.red < 0 || moved.green < 0 || moved.blue < 0)
            continue;
        const double exact = Ciede2000::difference(ColourSpace::labOf(moved), centre);
        if (exact < 0.05)
            continue;
        ++compared;
        EXPECT_NEAR(form.difference(d.red, d.green, d.blue), exact, 0.08 * exact + 0.02) << "step " << k;
    }
    EXPECT_GT(compared, 100);
}

INSTANTIATE_TEST_SUITE_P(Centres, LocalCiede2000Test,
    testing::Values(Centre{"black", {0.0f, 0.0f, 0.0f}}, Centre{"dark_grey", {0.02f, 0.02f, 0.02f}},
        Centre{"mid_grey", {0.2f, 0.2f, 0.2f}}, Centre{"white", {0.95f, 0.95f, 0.95f}},
        Centre{"red", {0.7f, 0.05f, 0.04f}}, Centre{"skin", {0.6f, 0.35f, 0.25f}},
        Centre{"blue", {0.03f, 0.05f, 0.6f}}, Centre{"dull_green", {0.1f, 0.25f, 0.08f}},
        Centre{"violet", {0.25f, 0.05f, 0.5f}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kanvo
