#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/sources/BlockCopy.h"

using kanvo::BlockCopy;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;
constexpr std::uint32_t kUntouched = 0x12345678u;

// A source whose every pixel says where it came from.
std::uint32_t sourcePixel(int x, int y)
{
    return 0xFF000000u | static_cast<std::uint32_t>(y) << 12 | static_cast<std::uint32_t>(x);
}

struct Buffer {
    int width;
    int height;
    std::size_t stride;
    std::vector<std::uint32_t> words;

    Buffer(int w, int h, std::size_t s, std::uint32_t value)
        : width(w), height(h), stride(s), words(s * static_cast<std::size_t>(h), value)
    {
    }
    std::uint32_t at(int x, int y) const { return words[static_cast<std::size_t>(y) * stride + x]; }
    BlockCopy::Pixels pixels() { return {words, width, height, stride}; }
    BlockCopy::ConstPixels constPixels() const { return {words, width, height, stride}; }
};

Buffer makeSource(int w, int h, std::size_t stride)
{
    Buffer b(w, h, stride, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.words[static_cast<std::size_t>(y) * stride + x] = sourcePixel(x, y);
    return b;
}

struct CopyCase {
    const char* what;
    int fromX, fromY, width, height, toX, toY;
};

class BlockCopyTest : public ::testing::TestWithParam<CopyCase> {};

// Every destination pixel is compared with the plain rule: inside the block it is the source
// pixel it came from, or white where that lies outside the source; outside the block untouched.
TEST_P(BlockCopyTest, MatchesThePixelByPixelRule)
{
    const CopyCase& c = GetParam();
    const Buffer from = makeSource(40, 30, 44);
    Buffer to(25, 20, 27, kUntouched);
    ASSERT_TRUE(BlockCopy::copy(from.constPixels(), c.fromX, c.fromY, c.width, c.height, to.pixels(), c.toX,
                                c.toY, kWhite));
    for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
            const int bx = x - c.toX;
            const int by = y - c.toY;
            std::uint32_t expected = kUntouched;
            if (bx >= 0 && by >= 0 && bx < c.width && by < c.height) {
                const int sx = c.fromX + bx;
                const int sy = c.fromY + by;
                expected = (sx >= 0 && sy >= 0 && sx < 40 && sy < 30) ? sourcePixel(sx, sy) : kWhite;
            }
            ASSERT_EQ(to.at(x, y), expected) << c.what << " at " << x << "," << y;
        }
        // The padding words past the width are never written.
        for (std::size_t p = static_cast<std::size_t>(to.width); p < to.stride; ++p)
            ASSERT_EQ(to.words[static_cast<std::size_t>(y) * to.stride + p], kUntouched) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockCopyTest,
    ::testing::Values(CopyCase{"inside", 5, 4, 10, 8, 3, 2}, CopyCase{"at origin", 0, 0, 25, 20, 0, 0},
                      CopyCase{"source corner negative", -6, -3, 12, 9, 2, 1},
                      CopyCase{"source past right and bottom", 33, 25, 12, 9, 0, 0},
                      CopyCase{"entirely off the source", -50, -50, 10, 10, 4, 4},
                      CopyCase{"entirely past the source", 41, 31, 10, 10, 4, 4},
                      CopyCase{"clipped by the destination", 2, 2, 30, 30, 10, 12},
                      CopyCase{"destination corner negative", 10, 10, 12, 12, -5, -4},
                      CopyCase{"wider than both", -3, 0, 60, 5, -2, 3},
                      CopyCase{"empty", 0, 0, 0, 0, 1, 1},
                      CopyCase{"completely outside the destination", 0, 0, 5, 5, 30, 30}));

TEST(BlockCopyGuardTest, RefusesBuffersSmallerThanTheirSize)
{
    const Buffer from = makeSource(10, 10, 10);
    Buffer to(10, 10, 10, kUntouched);
    BlockCopy::Pixels shortTarget = to.pixels();
    shortTarget.words = shortTarget.words.first(50);
    EXPECT_FALSE(BlockCopy::copy(from.constPixels(), 0, 0, 5, 5, shortTarget, 0, 0, kWhite));
    BlockCopy::ConstPixels narrowStride = from.constPixels();
    narrowStride.stride = 5;
    EXPECT_FALSE(BlockCopy::copy(narrowStride, 0, 0, 5, 5, to.pixels(), 0, 0, kWhite));
    EXPECT_FALSE(BlockCopy::copy(from.constPixels(), 0, 0, -1, 5, to.pixels(), 0, 0, kWhite));
    for (std::uint32_t w : to.words)
        ASSERT_EQ(w, kUntouched);
}

} // namespace
