#include <climits>
#include <gtest/gtest.h>

#include "core/image/ClsDIB.h"

namespace kanvo {
namespace {

struct StrideCase {
    int width;
    int bitCount;
    int stride;
};

class StrideTest : public ::testing::TestWithParam<StrideCase> {};

TEST_P(StrideTest, MatchesTheRowPaddingRule)
{
    const StrideCase c = GetParam();
    ASSERT_EQ(ClsDIB::strideFor(c.width, c.bitCount), c.stride);
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(c.width, 3, c.bitCount, true));
    EXPECT_EQ(dib.stride(), c.stride);
    EXPECT_EQ(dib.DataSize(), static_cast<std::size_t>(c.stride) * 3);
    std::span<std::uint8_t> view;
    EXPECT_EQ(dib.MapArray(view), c.stride);
    EXPECT_EQ(view.size(), dib.DataSize());
}

INSTANTIATE_TEST_SUITE_P(Depths, StrideTest,
    ::testing::Values(StrideCase{1, 1, 4}, StrideCase{5, 1, 4}, StrideCase{32, 1, 4}, StrideCase{33, 1, 8},
        StrideCase{3, 4, 4}, StrideCase{8, 4, 4}, StrideCase{9, 4, 8}, StrideCase{1, 8, 4}, StrideCase{4, 8, 4},
        StrideCase{5, 8, 8}, StrideCase{1, 16, 4}, StrideCase{2, 16, 4}, StrideCase{3, 16, 8},
        StrideCase{1, 24, 4}, StrideCase{2, 24, 8}, StrideCase{4, 24, 12}, StrideCase{5, 24, 16},
        StrideCase{1, 32, 4}, StrideCase{3, 32, 12}));

TEST(StrideTest, RefusesBadDepthsNegativeWidthsAndOverflow)
{
    for (int bits : {0, 2, 3, 7, 12, 15, 64}) {
        EXPECT_FALSE(ClsDIB::strideFor(10, bits).has_value()) << bits;
    }
    EXPECT_FALSE(ClsDIB::strideFor(-1, 24).has_value());
    EXPECT_FALSE(ClsDIB::strideFor(INT_MAX, 32).has_value());
    EXPECT_FALSE(ClsDIB::strideFor(INT_MAX / 2, 24).has_value());
    EXPECT_EQ(ClsDIB::strideFor(0, 24), 0);
}

TEST(ClsDIBTest, EmptyBufferReportsZeroes)
{
    ClsDIB dib;
    EXPECT_TRUE(dib.empty());
    EXPECT_EQ(dib.hDC(), 0);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_EQ(dib.Height(), 0);
    EXPECT_EQ(dib.ColorBit(), 0);
    EXPECT_EQ(dib.DataSize(), 0u);
    std::span<std::uint8_t> view;
    EXPECT_EQ(dib.MapArray(view), 0);
    EXPECT_TRUE(view.empty());
    dib.Cls();  // nothing to clear, must not fail
    dib.Free(); // nothing to free
    EXPECT_TRUE(dib.empty());
}

TEST(ClsDIBTest, CreateRefusesOtherDepthsAndLeavesTheBufferEmpty)
{
    for (int bits : {2, 12, 0, 7, 64}) {
        ClsDIB dib;
        ASSERT_TRUE(dib.Create(4, 4, 24, true));
        EXPECT_FALSE(dib.Create(4, 4, bits, true)) << bits;
        EXPECT_EQ(dib.hDC(), 0);
        EXPECT_EQ(dib.DataSize(), 0u);
        EXPECT_EQ(dib.lastError(), DibError::BadBitCount);
    }
}

TEST(ClsDIBTest, CreateRefusesSizesThatOverflow)
{
    ClsDIB dib;
    EXPECT_FALSE(dib.Create(INT_MAX, 1, 32, false));
    EXPECT_EQ(dib.lastError(), DibError::Overflow);
    EXPECT_FALSE(dib.Create(65536, 65536, 24, false)); // 196608 * 65536 bytes > INT_MAX
    EXPECT_EQ(dib.lastError(), DibError::Overflow);
    EXPECT_EQ(dib.hDC(), 0);
    EXPECT_FALSE(dib.Create(0, 5, 24, false));
    EXPECT_FALSE(dib.Create(5, -1, 24, false));
}

TEST(ClsDIBTest, CreateReleasesTheOldBitmapAndGivesANewHandle)
{
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(5, 2, 24, true));
    const int first = dib.hDC();
    EXPECT_NE(first, 0);
    EXPECT_EQ(dib.DataSize(), 32u);
    ASSERT_TRUE(dib.Create(3, 3, 8, true));
    EXPECT_NE(dib.hDC(), 0);
    EXPECT_NE(dib.hDC(), first);
    EXPECT_EQ(dib.Width(), 3);
    EXPECT_EQ(dib.ColorBit(), 8);
    EXPECT_EQ(dib.DataSize(), 12u);
    dib.Free();
    EXPECT_EQ(dib.hDC(), 0);
    EXPECT_EQ(dib.Width(), 0);
    EXPECT_EQ(dib.Height(), 0);
    EXPECT_EQ(dib.ColorBit(), 0);
    EXPECT_EQ(dib.DataSize(), 0u);
}

TEST(ClsDIBTest, ClsZeroesEveryByteIncludingPads)
{
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(5, 3, 24, false));
    std::span<std::uint8_t> view;
    dib.MapArray(view);
    std::fill(view.begin(), view.end(), std::uint8_t{0xAB});
    dib.Cls();
    for (std::uint8_t b : view) {
        ASSERT_EQ(b, 0);
    }
}

TEST(ClsDIBTest, ColourTableHoldsBgrValuesOfTheDepth)
{
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 4, true));
    EXPECT_EQ(dib.colorTableSize(), 16);
    EXPECT_EQ(dib.GetColorTable(3), 0u); // new entries are zero
    EXPECT_TRUE(dib.SetColorTable(3, 0x00332211u));
    EXPECT_EQ(dib.GetColorTable(3), 0x00332211u);
    EXPECT_TRUE(dib.SetColorTable(15, 0xFF010203u)); // the top byte is not a colour
    EXPECT_EQ(dib.GetColorTable(15), 0x00010203u);
    EXPECT_FALSE(dib.SetColorTable(16, 1));
    EXPECT_FALSE(dib.SetColorTable(-1, 1));
    EXPECT_EQ(dib.GetColorTable(16), 0u);

    ClsDIB one;
    ASSERT_TRUE(one.Create(1, 1, 1, true));
    EXPECT_EQ(one.colorTableSize(), 2);
    ClsDIB eight;
    ASSERT_TRUE(eight.Create(1, 1, 8, true));
    EXPECT_EQ(eight.colorTableSize(), 256);
    ClsDIB rgb;
    ASSERT_TRUE(rgb.Create(1, 1, 24, true));
    EXPECT_EQ(rgb.colorTableSize(), 0);
    EXPECT_FALSE(rgb.SetColorTable(0, 1));
}

TEST(ClsDIBTest, MapArrayOfAFivePixel24BitBufferHasStride16AndRowZeroAtTheBottom)
{
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(5, 2, 24, true));
    std::span<std::uint8_t> view;
    EXPECT_EQ(dib.MapArray(view), 16);
    ASSERT_EQ(view.size(), 32u);
    dib.setPixel24(1, 0, makeColor(10, 20, 30)); // top row = memory row 1
    EXPECT_EQ(view[16 + 3], 30);                 // blue first
    EXPECT_EQ(view[16 + 4], 20);
    EXPECT_EQ(view[16 + 5], 10);
    EXPECT_EQ(dib.pixel24(1, 0), makeColor(10, 20, 30));
    EXPECT_EQ(dib.rowFromTop(0).data(), view.data() + 16);
    EXPECT_EQ(dib.rowFromTop(1).data(), view.data());
    EXPECT_TRUE(dib.rowFromTop(2).empty());
    EXPECT_EQ(dib.pixel24(5, 0), 0u);
}

TEST(ClsDIBTest, CopyIsDeepAndMoveEmptiesTheSource)
{
    ClsDIB a;
    ASSERT_TRUE(a.Create(3, 2, 8, true));
    ASSERT_TRUE(a.SetColorTable(1, 0x123456));
    std::span<std::uint8_t> va;
    a.MapArray(va);
    va[0] = 7;
    ClsDIB b = a;
    EXPECT_NE(b.hDC(), a.hDC());
    std::span<std::uint8_t> vb;
    b.MapArray(vb);
    EXPECT_NE(vb.data(), va.data());
    EXPECT_EQ(vb[0], 7);
    EXPECT_EQ(b.GetColorTable(1), 0x123456u);
    vb[0] = 9;
    ASSERT_TRUE(b.SetColorTable(1, 0));
    EXPECT_EQ(va[0], 7);
    EXPECT_EQ(a.GetColorTable(1), 0x123456u);

    const int handle = a.hDC();
    ClsDIB c = std::move(a);
    EXPECT_EQ(c.hDC(), handle);
    EXPECT_TRUE(a.empty()); // NOLINT(bugprone-use-after-move): moved-from state is specified
    EXPECT_EQ(a.DataSize(), 0u);
}

// 4 x 3 picture whose pixel (x, y) is colour (x, y, 100).
ClsDIB gradient(int w, int h)
{
    ClsDIB dib;
    EXPECT_TRUE(dib.Create(w, h, 24, true));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            dib.setPixel24(x, y, makeColor(x, y, 100));
        }
    }
    return dib;
}

TEST(BlitTest, GethDCWithZeroSizesCopiesTheWholeTarget)
{
    const ClsDIB src = gradient(4, 3);
    ClsDIB dst;
    ASSERT_TRUE(dst.Create(4, 3, 24, true));
    ASSERT_TRUE(dst.GethDC(src, 0, 0, 0, 0, 0, 0));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.pixel24(x, y), makeColor(x, y, 100));
        }
    }
}

TEST(BlitTest, RectanglesAreClippedToBothBuffers)
{
    const ClsDIB src = gradient(4, 3);
    ClsDIB dst;
    ASSERT_TRUE(dst.Create(3, 3, 24, true));
    // Target origin (1, 1), source origin (2, 0): only source columns 2..3 exist, target
    // columns 1..2 and rows 1..2.
    ASSERT_TRUE(dst.GethDC(src, 1, 1, 5, 5, 2, 0));
    EXPECT_EQ(dst.pixel24(0, 0), 0u);
    EXPECT_EQ(dst.pixel24(1, 0), 0u);
    EXPECT_EQ(dst.pixel24(1, 1), makeColor(2, 0, 100));
    EXPECT_EQ(dst.pixel24(2, 1), makeColor(3, 0, 100));
    EXPECT_EQ(dst.pixel24(2, 2), makeColor(3, 1, 100));
    EXPECT_EQ(dst.pixel24(0, 2), 0u);
    // Negative target origin.
    ASSERT_TRUE(dst.GethDC(src, -1, -1, 0, 0, 0, 0));
    EXPECT_EQ(dst.pixel24(0, 0), makeColor(1, 1, 100));
    // A width and height of 0 mean the target's 3 x 3, so the copy covers target columns and
    // rows -1..1 only: column 2 and row 2 keep the first copy's pixels.
    EXPECT_EQ(dst.pixel24(1, 1), makeColor(2, 2, 100));
    EXPECT_EQ(dst.pixel24(2, 1), makeColor(3, 0, 100));
    EXPECT_EQ(dst.pixel24(2, 2), makeColor(3, 1, 100));
}

TEST(BlitTest, StretchingPicksTheNearestPixel)
{
    const ClsDIB src = gradient(2, 2);
    ClsDIB dst;
    ASSERT_TRUE(dst.Create(4, 4, 24, true));
    // 2x2 onto 4x4: every source pixel becomes a 2x2 block.
    ASSERT_TRUE(dst.GethDCEx(src, 0, 0, 0, 0, 0, 0, 2, 2));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(dst.pixel24(x, y), makeColor(x / 2, y / 2, 100)) << x << "," << y;
        }
    }
    // And back down: 4x4 onto 2x2 takes the pixel under each centre (source 1 and 3).
    const ClsDIB big = gradient(4, 4);
    ClsDIB small;
    ASSERT_TRUE(small.Create(2, 2, 24, true));
    ASSERT_TRUE(big.PuthDCEx(small, 0, 0, 2, 2, 0, 0, 0, 0));
    EXPECT_EQ(small.pixel24(0, 0), makeColor(1, 1, 100));
    EXPECT_EQ(small.pixel24(1, 1), makeColor(3, 3, 100));
}

TEST(BlitTest, PuthDCCopiesFromItsOwnOrigin)
{
    const ClsDIB src = gradient(4, 3);
    ClsDIB out;
    ASSERT_TRUE(out.Create(4, 3, 24, true));
    ASSERT_TRUE(src.PuthDC(out, 0, 0, 2, 1, 2, 2));
    EXPECT_EQ(out.pixel24(0, 0), makeColor(2, 2, 100));
    EXPECT_EQ(out.pixel24(1, 0), makeColor(3, 2, 100));
    EXPECT_EQ(out.pixel24(2, 0), 0u);
    EXPECT_EQ(out.pixel24(0, 1), 0u);
}

TEST(BlitTest, MixedDepthsGoThroughColoursOnlyInto24Or32Bits)
{
    ClsDIB pal;
    ASSERT_TRUE(pal.Create(2, 1, 4, true));
    ASSERT_TRUE(pal.SetColorTable(1, makeColor(200, 100, 50)));
    std::span<std::uint8_t> view;
    pal.MapArray(view);
    view[0] = 0x01; // left pixel index 0, right pixel index 1
    ClsDIB rgb;
    ASSERT_TRUE(rgb.Create(2, 1, 24, true));
    ASSERT_TRUE(rgb.GethDC(pal, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(rgb.pixel24(0, 0), 0u);
    EXPECT_EQ(rgb.pixel24(1, 0), makeColor(200, 100, 50));

    ClsDIB rgba;
    ASSERT_TRUE(rgba.Create(2, 1, 32, true));
    ASSERT_TRUE(rgb.PuthDC(rgba, 0, 0, 0, 0, 0, 0));
    std::span<std::uint8_t> v32;
    rgba.MapArray(v32);
    EXPECT_EQ(v32[4], 50);
    EXPECT_EQ(v32[5], 100);
    EXPECT_EQ(v32[6], 200);

    ClsDIB eight;
    ASSERT_TRUE(eight.Create(2, 1, 8, true));
    EXPECT_FALSE(eight.GethDC(rgb, 0, 0, 0, 0, 0, 0));

    // Same depth copies indices, also for nibbles at odd positions.
    ClsDIB pal2;
    ASSERT_TRUE(pal2.Create(3, 1, 4, true));
    ASSERT_TRUE(pal2.GethDC(pal, 1, 0, 2, 1, 0, 0));
    std::span<std::uint8_t> v2;
    pal2.MapArray(v2);
    EXPECT_EQ(v2[0], 0x00);
    EXPECT_EQ(v2[1], 0x10);
}

TEST(BlitTest, RefusesEmptyBuffersAndNegativeSizes)
{
    const ClsDIB src = gradient(2, 2);
    ClsDIB empty;
    ClsDIB dst;
    ASSERT_TRUE(dst.Create(2, 2, 24, true));
    EXPECT_FALSE(dst.GethDC(empty, 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(src.PuthDC(empty, 0, 0, 0, 0, 0, 0));
    EXPECT_FALSE(dst.GethDCEx(src, 0, 0, -2, 2, 0, 0, 0, 0));
}

TEST(BlitTest, CopyWithinOneBufferReadsThePixelsAsTheyWere)
{
    ClsDIB dib = gradient(4, 1);
    ASSERT_TRUE(dib.GethDC(dib, 1, 0, 3, 1, 0, 0));
    EXPECT_EQ(dib.pixel24(0, 0), makeColor(0, 0, 100));
    EXPECT_EQ(dib.pixel24(1, 0), makeColor(0, 0, 100));
    EXPECT_EQ(dib.pixel24(2, 0), makeColor(1, 0, 100));
    EXPECT_EQ(dib.pixel24(3, 0), makeColor(2, 0, 100));
}

} // namespace
} // namespace kanvo
