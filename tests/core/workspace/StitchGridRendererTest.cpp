#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "core/workspace/StitchGridRenderer.h"

namespace kanvo {
namespace {

constexpr std::uint32_t kLine = 0xFF202020u; // RGB(32,32,32) as 0xFFRRGGBB

// The drawing as a sequence of filled squares and full-length lines, one cell after another.
std::vector<std::uint32_t> reference(const StitchMatrix& m, int cols, int rows, int cell)
{
    const int w = cols * cell;
    const int h = rows * cell;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h, 0xFFFFFFFFu);
    auto put = [&](int x, int y, std::uint32_t c) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            px[static_cast<std::size_t>(y) * w + x] = c;
    };
    for (int Y = 0; Y < h; Y += cell) {
        for (int X = 0; X < w; X += cell) {
            const ColorValue c = m.at(X / cell, Y / cell);
            const std::uint32_t rgb = 0xFF000000u | (std::uint32_t(redOf(c)) << 16)
                | (std::uint32_t(greenOf(c)) << 8) | std::uint32_t(blueOf(c));
            for (int y = Y; y < Y + cell; ++y)
                for (int x = X; x < X + cell; ++x)
                    put(x, y, rgb);
            for (int x = 0; x < w; ++x)
                put(x, Y, kLine);
            for (int y = 0; y < h; ++y)
                put(X, y, kLine);
        }
    }
    return px;
}

TEST(StitchGridRenderer, SixteenBySixteenHasLinesAtMultiplesOfFour)
{
    StitchMatrix m;
    m.fill(makeColor(200, 100, 50));
    std::vector<std::uint32_t> px(64 * 64, 0);
    ASSERT_TRUE(StitchGridRenderer::render(m, 16, 16, px, 64));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool onLine = x % 4 == 0 || y % 4 == 0;
            ASSERT_EQ(px[y * 64 + x], onLine ? kLine : 0xFFC86432u) << x << "," << y;
        }
    }
}

TEST(StitchGridRenderer, CellsTakeTheirOwnColumnFirstColour)
{
    StitchMatrix m;
    m.set(2, 0, makeColor(255, 0, 0));   // column 2, row 0
    m.set(0, 2, makeColor(0, 0, 255));   // column 0, row 2
    std::vector<std::uint32_t> px(12 * 12, 0);
    ASSERT_TRUE(StitchGridRenderer::render(m, 3, 3, px, 12));
    EXPECT_EQ(px[1 * 12 + 9], 0xFFFF0000u);
    EXPECT_EQ(px[9 * 12 + 1], 0xFF0000FFu);
    EXPECT_EQ(px[5 * 12 + 5], 0xFF000000u);
}

TEST(StitchGridRenderer, MatchesCellByCellDrawing)
{
    std::mt19937 random(7);
    StitchMatrix m;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y)
            m.set(x, y, random() & 0xFFFFFFu);
    for (int cell : {2, 4, 5}) {
        const int w = 37 * cell;
        const int h = 23 * cell;
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h, 0xFFFFFFFFu);
        ASSERT_TRUE(StitchGridRenderer::render(m, 37, 23, px, w, cell));
        EXPECT_EQ(px, reference(m, 37, 23, cell)) << "cell " << cell;
    }
}

TEST(StitchGridRenderer, PaddingBeyondRowIsLeftAlone)
{
    StitchMatrix m;
    std::vector<std::uint32_t> px(10 * 8, 0x12345678u);
    ASSERT_TRUE(StitchGridRenderer::render(m, 2, 2, px, 10));
    for (int y = 0; y < 8; ++y) {
        EXPECT_EQ(px[y * 10 + 8], 0x12345678u);
        EXPECT_EQ(px[y * 10 + 9], 0x12345678u);
    }
}

TEST(StitchGridRenderer, RefusesTooSmallBufferOrBadArguments)
{
    StitchMatrix m;
    std::vector<std::uint32_t> px(63 * 64, 7);
    EXPECT_FALSE(StitchGridRenderer::render(m, 16, 16, px, 63));
    EXPECT_FALSE(StitchGridRenderer::render(m, 16, 16, std::span(px).first(64 * 63), 64));
    EXPECT_FALSE(StitchGridRenderer::render(m, 4, 4, px, 64, 1));
    EXPECT_FALSE(StitchGridRenderer::render(m, -1, 4, px, 64));
    EXPECT_EQ(px[0], 7u);
}

} // namespace
} // namespace kanvo
