#include <gtest/gtest.h>

#include "core/chart/SymbolInk.h"

namespace kanvo {
namespace {

struct InkCase {
    ColorValue block;
    bool white;
};

class SymbolInkTest : public ::testing::TestWithParam<InkCase> {};

// Relative luminance L by hand (sRGB channels linearised); white wins when
// 1.05 / (L + 0.05) > (L + 0.05) / 0.05, that is below L = 0.1791.
TEST_P(SymbolInkTest, WhiteOnlyOnDarkBlocks)
{
    EXPECT_EQ(wantsWhiteSymbol(GetParam().block), GetParam().white) << std::hex << GetParam().block;
}

INSTANTIATE_TEST_SUITE_P(Table, SymbolInkTest,
    ::testing::Values(InkCase{makeColor(0, 0, 0), true},         // L 0
        InkCase{makeColor(255, 255, 255), false},                   // L 1
        InkCase{makeColor(255, 0, 0), false},                       // L 0.2126: black 5.25 : white 4.00
        InkCase{makeColor(0, 0, 255), true},                        // L 0.0722: white 8.59 : black 2.44
        InkCase{makeColor(0, 255, 0), false},                       // L 0.7152
        InkCase{makeColor(117, 117, 117), true},                    // L 0.1779, just below the turn
        InkCase{makeColor(118, 118, 118), false}));                 // L 0.1812, just above it

} // namespace
} // namespace kanvo
