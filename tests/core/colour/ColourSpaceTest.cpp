#include <gtest/gtest.h>

#include "core/colour/ColourSpace.h"

namespace kanvo {
namespace {

struct KnownColour {
    ColorValue color;
    Lab lab;
};

// CIELAB (D65) of the sRGB primaries, secondaries and greys as colour references tabulate them.
const KnownColour kKnown[] = {
    {makeColor(255, 255, 255), {100.0, 0.0, 0.0}},
    {makeColor(0, 0, 0), {0.0, 0.0, 0.0}},
    {makeColor(255, 0, 0), {53.2408, 80.0925, 67.2032}},
    {makeColor(0, 255, 0), {87.7347, -86.1827, 83.1793}},
    {makeColor(0, 0, 255), {32.2970, 79.1875, -107.8602}},
    {makeColor(255, 255, 0), {97.1393, -21.5537, 94.4780}},
    {makeColor(128, 128, 128), {53.5851, 0.0, 0.0}},
};

class ColourSpaceKnownTest : public testing::TestWithParam<KnownColour> {};

TEST_P(ColourSpaceKnownTest, LabMatchesTheTabulatedValue)
{
    const Lab lab = ColourSpace::labOf(GetParam().color);
    EXPECT_NEAR(lab.L, GetParam().lab.L, 0.01);
    EXPECT_NEAR(lab.a, GetParam().lab.a, 0.02);
    EXPECT_NEAR(lab.b, GetParam().lab.b, 0.02);
}

INSTANTIATE_TEST_SUITE_P(Primaries, ColourSpaceKnownTest, testing::ValuesIn(kKnown));

TEST(ColourSpaceTest, LinearLightOfChannelsFollowsTheSrgbCurve)
{
    EXPECT_FLOAT_EQ(ColourSpace::linearOfChannel(0), 0.0f);
    EXPECT_FLOAT_EQ(ColourSpace::linearOfChannel(255), 1.0f);
    EXPECT_NEAR(ColourSpace::linearOfChannel(10), 10.0 / 255.0 / 12.92, 1e-7); // the straight foot
    EXPECT_NEAR(ColourSpace::linearOfChannel(128), 0.2158605, 1e-6);
    EXPECT_EQ(ColourSpace::channelOfLinear(0.2158605f), 128);
    EXPECT_EQ(ColourSpace::channelOfLinear(-0.5f), 0);
    EXPECT_EQ(ColourSpace::channelOfLinear(1.5f), 255);
}

TEST(ColourSpaceTest, EveryChannelValueSurvivesTheRoundTrips)
{
    for (int v = 0; v < 256; ++v) {
        const ColorValue c = makeColor(v, 255 - v, (v * 7) % 256);
        ASSERT_EQ(ColourSpace::colorOf(ColourSpace::linearOf(c)), c) << v;
        ASSERT_EQ(ColourSpace::colorOf(ColourSpace::linearOf(ColourSpace::labOf(c))), c) << v;
    }
}

} // namespace
} // namespace kanvo
