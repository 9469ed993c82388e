#include <array>
#include <gtest/gtest.h>

#include "core/image/ClsDIB.h"
#include "core/image/DitherTable.h"

namespace kanvo {
namespace {

// Rows of the threshold table as printed in the design notes, to check the header against.
TEST(DitherTableTest, IsThePermutationWithItsKnownRows)
{
    std::array<bool, 256> seen{};
    for (std::uint8_t v : kDitherTable) {
        EXPECT_FALSE(seen[v]) << int(v);
        seen[v] = true;
    }
    const std::array<int, 16> row0 = {0, 235, 59, 219, 15, 231, 55, 215, 2, 232, 56, 217, 12, 229, 52, 213};
    const std::array<int, 16> row15 = {171, 107, 155, 91, 167, 103, 151, 87, 168, 104, 153, 89, 165, 101, 149, 85};
    for (int c = 0; c < 16; ++c) {
        EXPECT_EQ(kDitherTable[static_cast<std::size_t>(c)], row0[static_cast<std::size_t>(c)]);
        EXPECT_EQ(kDitherTable[static_cast<std::size_t>(240 + c)], row15[static_cast<std::size_t>(c)]);
    }
    EXPECT_EQ(kDitherTable[16 * 6 + 7], 255);
    EXPECT_EQ(kDitherTable[16 * 1], 128);
    EXPECT_EQ(kBitMask[0], 128);
    EXPECT_EQ(kBitMask[7], 1);
}

ClsDIB flat(int w, int h, ColorValue color)
{
    ClsDIB dib;
    EXPECT_TRUE(dib.Create(w, h, 24, true));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            dib.setPixel24(x, y, color);
        }
    }
    return dib;
}

// Palette index of pixel (x, yFromTop) of an 8-bit buffer.
int index8(const ClsDIB& dib, int x, int y) { return dib.rowFromTop(y)[static_cast<std::size_t>(x)]; }
int index4(const ClsDIB& dib, int x, int y)
{
    const std::uint8_t b = dib.rowFromTop(y)[static_cast<std::size_t>(x / 2)];
    return (x % 2) ? (b & 15) : (b >> 4);
}
int bit1(const ClsDIB& dib, int x, int y) { return (dib.rowFromTop(y)[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1; }
int T(int x, int r) { return kDitherTable[static_cast<std::size_t>(16 * (r % 16) + x % 16)]; }

TEST(DitherConverterTest, NonTwentyFourBitSourceLeavesTheTargetUntouched)
{
    ClsDIB src;
    ASSERT_TRUE(src.Create(4, 4, 8, true));
    for (int method = 0; method < 10; ++method) {
        ClsDIB target;
        ASSERT_TRUE(target.Create(2, 3, 32, true));
        std::span<std::uint8_t> view;
        target.MapArray(view);
        view[5] = 99;
        const int handle = target.hDC();
        bool ok = true;
        switch (method) {
        case 0: ok = target.ddGet1Bit(src); break;
        case 1: ok = target.ddGet2Bit(src); break;
        case 2: ok = target.ddGet3Bit(src, true); break;
        case 3: ok = target.ddGet4Bit(src); break;
        case 4: ok = target.ddGet216C(src, true); break;
        case 5: ok = target.ddGet8Bit(src, true); break;
        case 6: ok = target.ddGet16Bit(src, true); break;
        case 7: ok = target.ddGet216C(ClsDIB(), false); break;
        case 8: ok = target.ddGet16Bit(target, false); break; // 32-bit source: itself
        default: ok = target.ddGet3Bit(target, false); break;
        }
        EXPECT_FALSE(ok) << method;
        EXPECT_EQ(target.hDC(), handle) << method;
        EXPECT_EQ(target.ColorBit(), 32) << method;
        EXPECT_EQ(target.Width(), 2) << method;
        std::span<std::uint8_t> after;
        target.MapArray(after);
        EXPECT_EQ(after[5], 99) << method;
    }
}

TEST(DitherConverterTest, PalettesOfEveryConverter)
{
    const ClsDIB src = flat(2, 2, 0);
    ClsDIB out;
    ASSERT_TRUE(out.ddGet1Bit(src));
    EXPECT_EQ(out.ColorBit(), 1);
    EXPECT_EQ(out.GetColorTable(0), 0x000000u);
    EXPECT_EQ(out.GetColorTable(1), 0xFFFFFFu);

    ASSERT_TRUE(out.ddGet2Bit(src));
    EXPECT_EQ(out.ColorBit(), 4);
    EXPECT_EQ(out.GetColorTable(1), 0x555555u);
    EXPECT_EQ(out.GetColorTable(3), 0xFFFFFFu);
    EXPECT_EQ(out.GetColorTable(4), 0u);

    ASSERT_TRUE(out.ddGet3Bit(src, true));
    EXPECT_EQ(out.GetColorTable(1), 0x0000FFu); // bit 0: red
    EXPECT_EQ(out.GetColorTable(2), 0x00FF00u); // bit 1: green
    EXPECT_EQ(out.GetColorTable(4), 0xFF0000u); // bit 2: blue
    EXPECT_EQ(out.GetColorTable(6), 0xFFFF00u);
    EXPECT_EQ(out.GetColorTable(8), 0u);

    ASSERT_TRUE(out.ddGet4Bit(src));
    EXPECT_EQ(out.GetColorTable(1), 0x111111u);
    EXPECT_EQ(out.GetColorTable(15), 0xFFFFFFu);

    ASSERT_TRUE(out.ddGet216C(src, true));
    EXPECT_EQ(out.ColorBit(), 8);
    EXPECT_EQ(out.GetColorTable(215), 0xFFFFFFu);
    EXPECT_EQ(out.GetColorTable(36 * 1 + 6 * 2 + 3), makeColor(153, 102, 51));
    EXPECT_EQ(out.GetColorTable(216), 0u);

    ASSERT_TRUE(out.ddGet8Bit(src, true));
    EXPECT_EQ(out.GetColorTable(255), 0xFFFFFFu);
    EXPECT_EQ(out.GetColorTable(32 * 3 + 4 * 5 + 2), makeColor(170, 182, 109));
    EXPECT_EQ(out.GetColorTable(32 * 1 + 4 * 2 + 1), makeColor(85, 73, 36));

    ASSERT_TRUE(out.ddGet16Bit(src, true));
    EXPECT_EQ(out.ColorBit(), 24);
    EXPECT_EQ(out.colorTableSize(), 0);
}

TEST(DitherConverterTest, WhiteAndBlackAreFixedAtEveryPosition)
{
    const ClsDIB white = flat(16, 16, 0xFFFFFF);
    const ClsDIB black = flat(16, 16, 0);
    for (bool rotate : {false, true}) {
        ClsDIB a;
        ClsDIB b;
        ASSERT_TRUE(a.ddGet216C(white, rotate));
        ASSERT_TRUE(b.ddGet216C(black, rotate));
        ClsDIB c;
        ClsDIB d;
        ASSERT_TRUE(c.ddGet8Bit(white, rotate));
        ASSERT_TRUE(d.ddGet8Bit(black, rotate));
        ClsDIB e;
        ClsDIB f;
        ASSERT_TRUE(e.ddGet3Bit(white, rotate));
        ASSERT_TRUE(f.ddGet3Bit(black, rotate));
        ClsDIB g;
        ASSERT_TRUE(g.ddGet16Bit(white, rotate));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                EXPECT_EQ(index8(a, x, y), 215);
                EXPECT_EQ(index8(b, x, y), 0);
                EXPECT_EQ(index8(c, x, y), 255);
                EXPECT_EQ(index8(d, x, y), 0);
                EXPECT_EQ(index4(e, x, y), 7);
                EXPECT_EQ(index4(f, x, y), 0);
                EXPECT_EQ(g.pixel24(x, y), 0xFFFFFFu);
            }
        }
    }
    ClsDIB g2;
    ClsDIB g4;
    ASSERT_TRUE(g2.ddGet2Bit(white));
    ASSERT_TRUE(g4.ddGet4Bit(white));
    EXPECT_EQ(index4(g2, 5, 5), 3);
    EXPECT_EQ(index4(g4, 5, 5), 15);
}

TEST(DitherConverterTest, Web216LevelsOf51kAreExactEverywhere)
{
    for (int kb = 0; kb < 6; ++kb) {
        const int kg = (kb + 2) % 6;
        const int kr = (kb + 4) % 6;
        const ClsDIB src = flat(16, 16, makeColor(51 * kr, 51 * kg, 51 * kb));
        for (bool rotate : {false, true}) {
            ClsDIB out;
            ASSERT_TRUE(out.ddGet216C(src, rotate));
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    ASSERT_EQ(index8(out, x, y), 36 * kb + 6 * kg + kr) << x << "," << y;
                }
            }
        }
    }
}

TEST(DitherConverterTest, Web216FlatGrey128FollowsTheTable)
{
    // (128 - 102) * 256 / 51 = 130.5: level 3 where the threshold is below, else 2.
    const ClsDIB src = flat(16, 16, makeColor(128, 128, 128));
    ClsDIB out;
    ASSERT_TRUE(out.ddGet216C(src, false));
    int threes = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int level = T(x, y) < 130.5 ? 3 : 2;
            threes += level == 3;
            ASSERT_EQ(index8(out, x, y), 43 * level) << x << "," << y;
        }
    }
    EXPECT_EQ(threes, 131); // thresholds 0..130
}

TEST(DitherConverterTest, PatternIsAnchoredAtTheTopLeft)
{
    // Grey 1 turns white only where the threshold is 0: natural position 0, i.e. columns and rows
    // (from the top) that are multiples of 16, whatever the height.
    const ClsDIB src = flat(20, 19, makeColor(1, 1, 1));
    ClsDIB out;
    ASSERT_TRUE(out.ddGet1Bit(src));
    for (int y = 0; y < 19; ++y) {
        for (int x = 0; x < 20; ++x) {
            EXPECT_EQ(bit1(out, x, y), (x % 16 == 0 && y % 16 == 0) ? 1 : 0) << x << "," << y;
        }
    }
}

TEST(DitherConverterTest, OneBitPacksNinePixelsIntoTwoBytes)
{
    ClsDIB src = flat(9, 2, 0xFFFFFF);
    src.setPixel24(1, 0, 0);
    ClsDIB out;
    ASSERT_TRUE(out.ddGet1Bit(src));
    ASSERT_EQ(out.stride(), 4);
    const auto top = out.rowFromTop(0);
    EXPECT_EQ(top[0], 0xBF); // pixel 1 black; T(0..7, row 0) are all below 255
    EXPECT_EQ(top[1], 0x80); // pixel 8 in the top bit, the rest 0
    EXPECT_EQ(top[2], 0);    // pads untouched
    EXPECT_EQ(top[3], 0);
    // grey 255 is white except where the table holds 255 (column 7 of row 6).
    const ClsDIB white = flat(16, 16, 0xFFFFFF);
    ASSERT_TRUE(out.ddGet1Bit(white));
    int blacks = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            blacks += bit1(out, x, y) == 0;
        }
    }
    EXPECT_EQ(blacks, 1);
    EXPECT_EQ(bit1(out, 7, 6), 0);
}

TEST(DitherConverterTest, TwoAndFourBitPackThreePixelsIntoTwoBytes)
{
    ClsDIB src;
    ASSERT_TRUE(src.Create(3, 1, 24, true));
    src.setPixel24(0, 0, 0);
    src.setPixel24(1, 0, 0xFFFFFF);
    src.setPixel24(2, 0, makeColor(170, 170, 170)); // level 2 with no fraction: stays 2
    ClsDIB out;
    ASSERT_TRUE(out.ddGet2Bit(src));
    auto row = out.rowFromTop(0);
    EXPECT_EQ(row[0], 0x03);
    EXPECT_EQ(row[1], 0x20);
    EXPECT_EQ(row[2], 0);
    src.setPixel24(2, 0, makeColor(34, 34, 34)); // 16-grey level 2
    ASSERT_TRUE(out.ddGet4Bit(src));
    row = out.rowFromTop(0);
    EXPECT_EQ(row[0], 0x0F);
    EXPECT_EQ(row[1], 0x20);
    EXPECT_EQ(row[2], 0);
}

TEST(DitherConverterTest, TwoBitGrey128RisesWhereTheFractionBeatsTheThreshold)
{
    // level 128 div 85 = 1, fraction (128 - 85) * 256 / 85 = 129.5: level 2 where T <= 129.
    const ClsDIB src = flat(16, 16, makeColor(128, 128, 128));
    ClsDIB out;
    ASSERT_TRUE(out.ddGet2Bit(src));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(index4(out, x, y), T(x, y) <= 129 ? 2 : 1) << x << "," << y;
        }
    }
}

TEST(DitherConverterTest, ThreeBitRotationUsesTurnedPositions)
{
    // At column 1 of the top row: natural T[1] = 235, blue T[16*1+15] = 116, red T[16*14] = 43.
    // 128 * 256 div 255 = 128 beats 116 and 43 but not 235.
    const ClsDIB src = flat(2, 1, makeColor(128, 128, 128));
    ClsDIB out;
    ASSERT_TRUE(out.ddGet3Bit(src, true));
    EXPECT_EQ(index4(out, 1, 0), 4 + 1);
    ASSERT_TRUE(out.ddGet3Bit(src, false));
    EXPECT_EQ(index4(out, 1, 0), 0);
    EXPECT_EQ(index4(out, 0, 0), 7); // threshold 0
}

TEST(DitherConverterTest, EightBitBlueStepInSinglePrecision)
{
    // Blue 73 = 2 steps of 255/7 plus a fraction of 1.004: level 3 only where the blue threshold
    // is 0 or 1, at table positions 0 and 136. Unrotated those are (0, 0) and (8, 8); rotated
    // (blue position 16c + 15 - d) they are column 0 of row 15 and column 8 of row 7.
    const ClsDIB src = flat(16, 16, makeColor(0, 0, 73));
    for (bool rotate : {false, true}) {
        ClsDIB out;
        ASSERT_TRUE(out.ddGet8Bit(src, rotate));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool up = rotate ? ((x == 0 && y == 15) || (x == 8 && y == 7))
                                      : ((x == 0 && y == 0) || (x == 8 && y == 8));
                ASSERT_EQ(index8(out, x, y), up ? 96 : 64) << rotate << " " << x << "," << y;
            }
        }
    }
    // Red 85k is level k at every position.
    for (int k = 0; k < 4; ++k) {
        ClsDIB out;
        ASSERT_TRUE(out.ddGet8Bit(flat(16, 16, makeColor(85 * k, 0, 0)), true));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                ASSERT_EQ(index8(out, x, y), k);
            }
        }
    }
}

TEST(DitherConverterTest, SixteenBitRoundsToChannelLevels)
{
    // blue 100: 12 steps of 255/31 (98.71) plus a fraction of 40.2: level 13 (output 107) where
    // T <= 40, else 99. green 4: fraction 253.0 of the first 255/63 step: 4 where T <= 252.
    // red 8: fraction 249.0 of the first 255/31 step: 8 where T <= 248, else 0.
    const ClsDIB src = flat(16, 16, makeColor(8, 4, 100));
    ClsDIB out;
    ASSERT_TRUE(out.ddGet16Bit(src, false));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int t = T(x, y);
            const ColorValue expected = makeColor(t <= 248 ? 8 : 0, t <= 252 ? 4 : 0, t <= 40 ? 107 : 99);
            ASSERT_EQ(out.pixel24(x, y), expected) << x << "," << y << " T=" << t;
        }
    }
}

TEST(DitherConverterTest, ConvertingABufferIntoItself)
{
    ClsDIB dib = flat(5, 3, 0xFFFFFF);
    ASSERT_TRUE(dib.ddGet216C(dib, true));
    EXPECT_EQ(dib.ColorBit(), 8);
    EXPECT_EQ(dib.Width(), 5);
    EXPECT_EQ(index8(dib, 4, 2), 215);
}

} // namespace
} // namespace kanvo
