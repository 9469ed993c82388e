#include <gtest/gtest.h>

#include <vector>

#include "core/edit/ZoomViewRenderer.h"

using namespace kanvo;

namespace {

constexpr std::uint32_t rgb32(int r, int g, int b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }
constexpr std::uint32_t kLine = rgb32(200, 200, 200);

TEST(ZoomViewRenderer, BlocksOfFourWithLightGreyLines)
{
    StitchMatrix m;
    m.set(10, 20, makeColor(255, 0, 0));
    m.set(11, 20, makeColor(0, 255, 0));
    m.set(10, 21, makeColor(0, 0, 255));
    m.set(11, 21, makeColor(1, 2, 3));
    const int w = 10;
    const int h = 9;
    const std::size_t stride = 12;
    std::vector<std::uint32_t> px(stride * h, 0xDEADBEEF);
    ASSERT_TRUE(ZoomViewRenderer::render(m, 10, 20, w, h, px, stride));
    auto at = [&](int x, int y) { return px[static_cast<std::size_t>(y) * stride + x]; };
    for (int i = 0; i < w; ++i) {
        EXPECT_EQ(at(i, 0), kLine);
        EXPECT_EQ(at(i, 4), kLine);
        EXPECT_EQ(at(i, 8), kLine);
    }
    for (int j = 0; j < h; ++j) {
        EXPECT_EQ(at(0, j), kLine);
        EXPECT_EQ(at(4, j), kLine);
        EXPECT_EQ(at(8, j), kLine);
    }
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) {
            EXPECT_EQ(at(i, j), rgb32(255, 0, 0));
            EXPECT_EQ(at(4 + i, j), rgb32(0, 255, 0));
            EXPECT_EQ(at(i, 4 + j), rgb32(0, 0, 255));
            EXPECT_EQ(at(4 + i, 4 + j), rgb32(1, 2, 3));
        }
    EXPECT_EQ(at(9, 1), rgb32(0, 0, 0)); // stitch (12, 20), never set: black
    EXPECT_EQ(px[stride - 1], 0xDEADBEEFu); // padding untouched
}

TEST(ZoomViewRenderer, StitchesBeyondTheMatrixAreWhite)
{
    StitchMatrix m;
    m.fill(makeColor(9, 9, 9));
    std::vector<std::uint32_t> px(16 * 8);
    ASSERT_TRUE(ZoomViewRenderer::render(m, 319, 0, 16, 8, px, 16));
    EXPECT_EQ(px[16 + 1], rgb32(9, 9, 9));     // stitch 319
    EXPECT_EQ(px[16 + 5], rgb32(9, 9, 9));     // stitch 320
    EXPECT_EQ(px[16 + 9], rgb32(255, 255, 255)); // stitch 321 does not exist
}

TEST(ZoomViewRenderer, RefusesASmallBuffer)
{
    StitchMatrix m;
    std::vector<std::uint32_t> px(10, 7);
    EXPECT_FALSE(ZoomViewRenderer::render(m, 0, 0, 4, 3, px, 4));
    EXPECT_FALSE(ZoomViewRenderer::render(m, 0, 0, 5, 1, px, 4));
    EXPECT_FALSE(ZoomViewRenderer::render(m, 0, 0, -1, 1, px, 4));
    EXPECT_EQ(px[0], 7u);
    EXPECT_TRUE(ZoomViewRenderer::render(m, 0, 0, 0, 0, {}, 0));
}

} // namespace
