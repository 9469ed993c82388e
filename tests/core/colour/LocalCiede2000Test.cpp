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
    const Lab centre = ColourSpace::labOf(c);
    const LocalCiede2000 form(centre);
    std::mt19937 random(7);
    std::normal_distribution<float> shift(0.0f, 1.0f);
    int compared = 0;
    for (int k = 0; k < 200; ++k) {
        // Steps of a few thousandths of the centre's light: differences of about one unit.
        const float scale = 0.003f * std::max({c.red, c.green, c.blue, 0.01f});
        const LinearRgb d{scale * shift(random), scale * shift(random), scale * shift(random)};
        const LinearRgb moved{c.red + d.red, c.green + d.green, c.blue + d.blue};
        if (moved.red < 0 || moved.green < 0 || moved.blue < 0)
            continue;
        const Lab lab = ColourSpace::labOf(moved);
        const double exact = Ciede2000::difference(lab, centre);
        if (exact < 0.05)
            continue;
        ++compared;
        const double local = form.difference(static_cast<float>(lab.L - centre.L), static_cast<float>(lab.a - centre.a),
            static_cast<float>(lab.b - centre.b));
        EXPECT_NEAR(local, exact, 0.05 * exact + 0.02) << "step " << k;
    }
    EXPECT_GT(compared, 100);
}

INSTANTIATE_TEST_SUITE_P(Centres, LocalCiede2000Test,
    testing::Values(Centre{"near_black", {0.004f, 0.004f, 0.004f}}, Centre{"dark_grey", {0.02f, 0.02f, 0.02f}},
        Centre{"mid_grey", {0.2f, 0.2f, 0.2f}}, Centre{"white", {0.95f, 0.95f, 0.95f}},
        Centre{"red", {0.7f, 0.05f, 0.04f}}, Centre{"skin", {0.6f, 0.35f, 0.25f}},
        Centre{"blue", {0.03f, 0.05f, 0.6f}}, Centre{"dull_green", {0.1f, 0.25f, 0.08f}},
        Centre{"violet", {0.25f, 0.05f, 0.5f}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace kanvo
