#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "core/chart/ChartBitmapFile.h"

namespace kanvo {
namespace {

namespace fs = std::filesystem;

class ChartBitmapFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("kanvo-chartbmp-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    [[nodiscard]] fs::path file(const char* name) const { return folder_ / name; }

    static std::vector<std::uint8_t> read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at)
    {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
    }

    fs::path folder_;
};

TEST_F(ChartBitmapFileTest, SmallCanvasByteForByte)
{
    // 3 x 2 canvas, top row red, green, blue; bottom row white, black, #123456. Rows are 16
    // bytes apart in memory: the word after each row is not part of the picture.
    const std::vector<std::uint32_t> canvas{0xffff0000, 0xff00ff00, 0xff0000ff, 0xdeadbeef,
                                            0xffffffff, 0xff000000, 0xff123456, 0xdeadbeef};
    const CanvasPixels pixels{reinterpret_cast<const std::uint8_t*>(canvas.data()), 3, 2, 16};
    std::string error;
    ASSERT_TRUE(saveChartBitmap(pixels, file("small.bmp").string(), &error)) << error;

    // Rows of 9 bytes padded to 12, bottom row first; D = max(round(3 x 2834 / 570) = 15,
    // round(2 x 2125.5 / 570) = 7) = 15.
    const std::vector<std::uint8_t> expected{
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, // file header
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 24, 0, 0, 0, // size, depth
        15, 0, 0, 0, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, // resolution, colour counts
        0xff, 0xff, 0xff, 0, 0, 0, 0x56, 0x34, 0x12, 0, 0, 0, // white, black, #123456
        0, 0, 0xff, 0, 0xff, 0, 0xff, 0, 0, 0, 0, 0, // red, green, blue
    };
    EXPECT_EQ(read(file("small.bmp")), expected);
}

TEST_F(ChartBitmapFileTest, ChartSizedCanvasKeepsEveryRowInPlace)
{
    // A canvas of a 230-stitch chart (2383 pixels wide): many write batches. Each row has its
    // own colour, red = row mod 256, green = row / 256, so a misplaced row shows.
    const int width = 2383;
    const int height = 1500;
    std::vector<std::uint32_t> canvas(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            canvas[static_cast<std::size_t>(y) * width + x] = 0xff000000u | (y % 256) << 16 | (y / 256) << 8 | (x % 256);
    const CanvasPixels pixels{reinterpret_cast<const std::uint8_t*>(canvas.data()), width, height, width * 4};
    ASSERT_TRUE(saveChartBitmap(pixels, file("chart.bmp").string()));

    const std::vector<std::uint8_t> b = read(file("chart.bmp"));
    const std::size_t rowBytes = 7152; // 3 x 2383 = 7149, padded to a multiple of 4
    ASSERT_EQ(b.size(), 54 + rowBytes * height);
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 34), rowBytes * height);
    // D = max(round(2383 x 2834 / 570) = 11848, round(1500 x 2125.5 / 570) = 5593)
    EXPECT_EQ(le32(b, 38), 11848u);
    EXPECT_EQ(le32(b, 42), 11848u);
    for (const int y : {0, 1, 35, 36, 37, 700, height - 1}) {
        const std::size_t row = 54 + rowBytes * static_cast<std::size_t>(height - 1 - y);
        for (const int x : {0, 1, 1000, width - 1}) {
            const std::size_t at = row + 3 * static_cast<std::size_t>(x);
            EXPECT_EQ(b[at], x % 256) << "blue at " << x << "," << y;
            EXPECT_EQ(b[at + 1], y / 256) << "green at " << x << "," << y;
            EXPECT_EQ(b[at + 2], y % 256) << "red at " << x << "," << y;
        }
        EXPECT_EQ(b[row + 7149], 0);
        EXPECT_EQ(b[row + 7151], 0);
    }
}

TEST_F(ChartBitmapFileTest, EmptyCanvasWritesNothing)
{
    const fs::path path = file("old.bmp");
    std::ofstream(path, std::ios::binary) << "old chart";
    std::string error;
    EXPECT_FALSE(saveChartBitmap(CanvasPixels{}, path.string(), &error));
    EXPECT_EQ(error, "the chart canvas is empty");
    const std::vector<std::uint8_t> kept = read(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "old chart");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

} // namespace
} // namespace kanvo
