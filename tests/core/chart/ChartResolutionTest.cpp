#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/chart/ChartResolution.h"

namespace kanvo {
namespace {

struct ResolutionCase {
    int width;
    int height;
    std::int32_t d;
};

class ChartResolutionTest : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(ChartResolutionTest, LargerOfTheTwoRules)
{
    EXPECT_EQ(chartResolution(GetParam().width, GetParam().height), GetParam().d);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ChartResolutionTest,
    ::testing::Values(ResolutionCase{570, 760, 2834},   // both rules give 2834
        ResolutionCase{1083, 1200, 5385},               // 5384.6 against 4474.74
        ResolutionCase{283, 2000, 7458},                // the height decides: 7457.89
        ResolutionCase{0, 190, 708},                    // 708.5 exactly, halves to even
        ResolutionCase{0, 570, 2126},                   // 2125.5 exactly
        ResolutionCase{0, 0, 0}, ResolutionCase{-5, -5, 0}));

std::vector<std::uint8_t> smallBmp()
{
    // 14-byte file header + 40-byte info header + one 4-byte row
    std::vector<std::uint8_t> bmp(58, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[2] = 58;
    bmp[10] = 54;
    bmp[14] = 40;
    for (std::size_t i = 18; i < bmp.size(); ++i)
        if (i < 38 || i >= 46)
            bmp[i] = static_cast<std::uint8_t>(i);
    return bmp;
}

TEST(PatchBmpResolutionTest, WritesBothFieldsLittleEndianAndNothingElse)
{
    const std::vector<std::uint8_t> before = smallBmp();
    std::vector<std::uint8_t> bmp = before;
    ASSERT_TRUE(patchBmpResolution(bmp, 5385)); // 0x00001509
    for (std::size_t i = 0; i < bmp.size(); ++i) {
        if (i == 38 || i == 42)
            EXPECT_EQ(bmp[i], 0x09) << i;
        else if (i == 39 || i == 43)
            EXPECT_EQ(bmp[i], 0x15) << i;
        else if ((i > 39 && i < 42) || (i > 43 && i < 46))
            EXPECT_EQ(bmp[i], 0) << i;
        else
            EXPECT_EQ(bmp[i], before[i]) << i;
    }
}

TEST(PatchBmpResolutionTest, RefusesWhatIsNotABmp)
{
    std::vector<std::uint8_t> shortBuffer(45, 0);
    shortBuffer[0] = 'B';
    shortBuffer[1] = 'M';
    EXPECT_FALSE(patchBmpResolution(shortBuffer, 1));
    std::vector<std::uint8_t> png = smallBmp();
    png[0] = 0x89;
    const auto unchanged = png;
    EXPECT_FALSE(patchBmpResolution(png, 1));
    EXPECT_EQ(png, unchanged);
    std::vector<std::uint8_t> coreHeader = smallBmp();
    coreHeader[14] = 12; // an OS/2 header has no resolution fields
    EXPECT_FALSE(patchBmpResolution(coreHeader, 1));
}

TEST(PatchBmpResolutionTest, PatchesAFileInPlace)
{
    const auto dir = std::filesystem::temp_directory_path() / ("kanvo-chart-res-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / "chart.bmp";
    {
        const auto bmp = smallBmp();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    }
    ASSERT_TRUE(patchBmpFileResolution(path, 2834));
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::uint8_t> expected = smallBmp();
    ASSERT_TRUE(patchBmpResolution(expected, 2834));
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.size(), 58u);
    EXPECT_FALSE(patchBmpFileResolution(dir / "missing.bmp", 2834));
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace kanvo
