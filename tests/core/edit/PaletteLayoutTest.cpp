#include <gtest/gtest.h>

#include "core/edit/PaletteLayout.h"

using namespace kanvo;

namespace {

struct SizeCase {
    int entries;
    int rows;
    int height;
    int scrollMax;
};

class PaletteSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PaletteSizes, RowsHeightAndScrollRange)
{
    const SizeCase c = GetParam();
    EXPECT_EQ(PaletteLayout::rows(c.entries), c.rows);
    EXPECT_EQ(PaletteLayout::stripHeight(c.entries), c.height);
    EXPECT_EQ(PaletteLayout::scrollMaximum(c.entries), c.scrollMax);
}

INSTANTIATE_TEST_SUITE_P(Entries, PaletteSizes,
    ::testing::Values(SizeCase{0, 0, 10, 0}, SizeCase{1, 1, 24, 14}, SizeCase{10, 1, 24, 14},
        SizeCase{11, 2, 38, 28}, SizeCase{216, 22, 318, 308}, SizeCase{500, 50, 710, 700}));

TEST(PaletteLayout, SwatchesSitInsideTheirCells)
{
    EXPECT_EQ(PaletteLayout::swatch(1), (PaletteLayout::Rect{1, 1, 15, 11}));
    EXPECT_EQ(PaletteLayout::swatch(2), (PaletteLayout::Rect{19, 1, 15, 11}));
    EXPECT_EQ(PaletteLayout::swatch(10), (PaletteLayout::Rect{163, 1, 15, 11}));
    EXPECT_EQ(PaletteLayout::swatch(11), (PaletteLayout::Rect{1, 15, 15, 11}));
    EXPECT_EQ(PaletteLayout::swatch(23), (PaletteLayout::Rect{37, 29, 15, 11}));
}

struct HitCase {
    int x;
    int y;
    int entries;
    int expected;
};

class PaletteHits : public ::testing::TestWithParam<HitCase> {};

TEST_P(PaletteHits, EntryUnderThePointer)
{
    const HitCase c = GetParam();
    EXPECT_EQ(PaletteLayout::entryAt(c.x, c.y, c.entries), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Points, PaletteHits,
    ::testing::Values(HitCase{0, 0, 5, 1}, HitCase{8, 6, 5, 1}, HitCase{17, 13, 5, 1}, HitCase{18, 0, 5, 2},
        HitCase{80, 5, 5, 5}, HitCase{90, 5, 5, 0}, HitCase{179, 13, 10, 10}, HitCase{180, 5, 10, 0},
        HitCase{190, 5, 20, 0}, HitCase{5, 14, 10, 0}, HitCase{5, 14, 11, 11}, HitCase{40, 30, 23, 23},
        HitCase{-1, 3, 5, 0}, HitCase{3, -1, 5, 0}, HitCase{0, 0, 0, 0}));

} // namespace
