#include <filesystem>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/image/ClsDIB.h"

namespace kanvo {
namespace {

using test::le16;
using test::le32;

struct HeaderCase {
    int bitCount;
    int width;
    int height;
    std::uint32_t offset;   // pixel-data offset
    std::uint32_t dataSize; // stride * height, worked out by hand
};

class SavedHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(SavedHeaderTest, WritesTheFileAndInfoHeaderFields)
{
    const HeaderCase c = GetParam();
    test::TempDir dir;
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(c.width, c.height, c.bitCount, true));
    const std::string file = dir.file("out.bmp");
    ASSERT_TRUE(dib.SaveBMP(file));
    const auto bytes = test::readBytes(file);
    ASSERT_EQ(bytes.size(), c.offset + c.dataSize);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(le32(bytes, 2), c.offset + c.dataSize);
    EXPECT_EQ(le32(bytes, 6), 0u);
    EXPECT_EQ(le32(bytes, 10), c.offset);
    EXPECT_EQ(le32(bytes, 14), 40u);
    EXPECT_EQ(le32(bytes, 18), static_cast<std::uint32_t>(c.width));
    EXPECT_EQ(le32(bytes, 22), static_cast<std::uint32_t>(c.height));
    EXPECT_EQ(le16(bytes, 26), 1);
    EXPECT_EQ(le16(bytes, 28), c.bitCount);
    EXPECT_EQ(le32(bytes, 30), 0u);
    EXPECT_EQ(le32(bytes, 34), c.dataSize);
    for (std::size_t at = 38; at < 54; at += 4) {
        EXPECT_EQ(le32(bytes, at), 0u) << at;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, SavedHeaderTest,
    ::testing::Values(HeaderCase{1, 9, 2, 62, 8}, HeaderCase{4, 3, 2, 118, 8}, HeaderCase{8, 5, 2, 1078, 16},
        HeaderCase{24, 3, 2, 54, 24}, HeaderCase{16, 3, 1, 54, 8}, HeaderCase{32, 2, 2, 54, 16}));

TEST(SaveBmpTest, ColourTableAndPixelsAreWrittenAsHeld)
{
    test::TempDir dir;
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 4, true));
    ASSERT_TRUE(dib.SetColorTable(0, makeColor(1, 2, 3)));
    ASSERT_TRUE(dib.SetColorTable(15, makeColor(250, 251, 252)));
    std::span<std::uint8_t> view;
    dib.MapArray(view);
    for (std::size_t i = 0; i < view.size(); ++i) {
        view[i] = static_cast<std::uint8_t>(0x10 + i); // pads included: saved "as held"
    }
    const std::string file = dir.file("pal.bmp");
    ASSERT_TRUE(dib.SaveBMP(file));
    const auto bytes = test::readBytes(file);
    ASSERT_EQ(bytes.size(), 118u + 8u);
    // entry 0 = blue, green, red, 0
    EXPECT_EQ(bytes[54], 3);
    EXPECT_EQ(bytes[55], 2);
    EXPECT_EQ(bytes[56], 1);
    EXPECT_EQ(bytes[57], 0);
    EXPECT_EQ(bytes[54 + 60], 252);
    EXPECT_EQ(bytes[54 + 61], 251);
    EXPECT_EQ(bytes[54 + 62], 250);
    EXPECT_EQ(bytes[54 + 63], 0);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(bytes[118 + i], 0x10 + i);
    }
}

TEST(SaveBmpTest, SavingOverALongerFileLeavesNoTrailingBytes)
{
    test::TempDir dir;
    const std::string file = dir.file("old.bmp");
    test::writeBytes(file, std::vector<std::uint8_t>(10000, 0xEE));
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(3, 2, 24, true));
    ASSERT_TRUE(dib.SaveBMP(file));
    EXPECT_EQ(std::filesystem::file_size(file), 78u);
}

TEST(SaveBmpTest, EmptyBufferTouchesNoFile)
{
    test::TempDir dir;
    const std::string existing = dir.file("keep.bmp");
    test::writeBytes(existing, {1, 2, 3});
    ClsDIB empty;
    EXPECT_FALSE(empty.SaveBMP(existing));
    EXPECT_EQ(empty.lastError(), DibError::Empty);
    EXPECT_EQ(test::readBytes(existing), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(empty.SaveBMP(dir.file("new.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("new.bmp")));
}

TEST(SaveBmpTest, FailureKeepsTheTargetAndLeavesNoTemporaryFile)
{
    test::TempDir dir;
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(2, 2, 24, true));
    // A folder where the file should go: the rename over it fails.
    const std::string folder = dir.file("taken");
    std::filesystem::create_directories(folder + "/inner");
    EXPECT_FALSE(dib.SaveBMP(folder));
    EXPECT_EQ(dib.lastError(), DibError::WriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/inner"));
    // A folder that does not exist.
    EXPECT_FALSE(dib.SaveBMP(dir.file("missing/out.bmp")));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1); // only "taken"
}

// Writes and reads back every depth over odd sizes: a 24-bit result with the palette's colours.
class RoundTripTest : public ::testing::TestWithParam<int> {};

TEST_P(RoundTripTest, LoadGivesBackTheSavedColours)
{
    const int bits = GetParam();
    test::TempDir dir;
    for (int w = 1; w <= 9; ++w) {
        for (int h = 1; h <= 3; ++h) {
            ClsDIB dib;
            ASSERT_TRUE(dib.Create(w, h, bits, true));
            const int entries = dib.colorTableSize();
            for (int i = 0; i < entries; ++i) {
                ASSERT_TRUE(dib.SetColorTable(i, makeColor(i * 7 % 256, 255 - i, i / 2)));
            }
            std::span<std::uint8_t> view;
            const int stride = dib.MapArray(view);
            const int rowBytes = (w * bits + 7) / 8;
            for (int row = 0; row < h; ++row) {
                for (int b = 0; b < rowBytes; ++b) {
                    view[static_cast<std::size_t>(row * stride + b)] = static_cast<std::uint8_t>(37 * row + 11 * b + w);
                }
            }
            const std::string file = dir.file("rt.bmp");
            ASSERT_TRUE(dib.SaveBMP(file));
            ClsDIB back;
            ASSERT_TRUE(back.LoadBitMap(file)) << errorText(back.lastError());
            ASSERT_EQ(back.Width(), w);
            ASSERT_EQ(back.Height(), h);
            ASSERT_EQ(back.ColorBit(), 24);
            for (int y = 0; y < h; ++y) {
                const auto row = dib.rowFromTop(y);
                for (int x = 0; x < w; ++x) {
                    ColorValue expected = 0;
                    if (bits == 24) {
                        expected = makeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                    } else if (bits == 32) {
                        expected = makeColor(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
                    } else if (bits == 8) {
                        expected = dib.GetColorTable(row[x]);
                    } else if (bits == 4) {
                        expected = dib.GetColorTable((x % 2) ? (row[x / 2] & 15) : (row[x / 2] >> 4));
                    } else {
                        expected = dib.GetColorTable((row[x / 8] >> (7 - x % 8)) & 1);
                    }
                    ASSERT_EQ(back.pixel24(x, y), expected) << bits << "bit " << w << "x" << h << " at " << x << "," << y;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, RoundTripTest, ::testing::Values(1, 4, 8, 24, 32));

// An independent decoder reads every depth we write with the same pixels and palette.
class ReferenceReadsOurFilesTest : public ::testing::TestWithParam<int> {};

TEST_P(ReferenceReadsOurFilesTest, SamePixelsAndPalette)
{
    const int bits = GetParam();
    test::TempDir dir;
    const int w = 13;
    const int h = 5;
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(w, h, bits, true));
    for (int i = 0; i < dib.colorTableSize(); ++i) {
        ASSERT_TRUE(dib.SetColorTable(i, makeColor((i * 53) % 256, (i * 97 + 13) % 256, (255 - i * 31 % 256))));
    }
    std::span<std::uint8_t> view;
    const int stride = dib.MapArray(view);
    const int rowBytes = (w * bits + 7) / 8;
    for (int row = 0; row < h; ++row) {
        for (int b = 0; b < rowBytes; ++b) {
            std::uint8_t v = static_cast<std::uint8_t>(29 * row + 71 * b + 3);
            if (bits == 16 && b % 2 == 1) {
                v &= 0x7F; // 5-5-5: the top bit is unused
            }
            view[static_cast<std::size_t>(row * stride + b)] = v;
        }
    }
    const std::string file = dir.file("ours.bmp");
    ASSERT_TRUE(dib.SaveBMP(file));
    const auto ref = test::decodeWithReference(file, dir);
    ASSERT_TRUE(ref.has_value()) << "no independent decoder read " << file;
    ASSERT_EQ(ref->width, w);
    ASSERT_EQ(ref->height, h);
    if (ref->mode == "P") {
        ASSERT_GE(ref->palette.size(), static_cast<std::size_t>(dib.colorTableSize()));
        for (int i = 0; i < dib.colorTableSize(); ++i) {
            EXPECT_EQ(ref->palette[static_cast<std::size_t>(i)], dib.GetColorTable(i)) << i;
        }
    }
    for (int y = 0; y < h; ++y) {
        const auto row = dib.rowFromTop(y);
        for (int x = 0; x < w; ++x) {
            const ColorValue got = ref->at(x, y);
            switch (bits) {
            case 1: EXPECT_EQ(got, dib.GetColorTable((row[x / 8] >> (7 - x % 8)) & 1)); break;
            case 4: EXPECT_EQ(got, dib.GetColorTable((x % 2) ? (row[x / 2] & 15) : (row[x / 2] >> 4))); break;
            case 8: EXPECT_EQ(got, dib.GetColorTable(row[x])); break;
            case 16: {
                // Decoders widen 5-bit channels differently; their top five bits must agree.
                const int v = row[2 * x] | (row[2 * x + 1] << 8);
                EXPECT_EQ(redOf(got) >> 3, (v >> 10) & 31);
                EXPECT_EQ(greenOf(got) >> 3, (v >> 5) & 31);
                EXPECT_EQ(blueOf(got) >> 3, v & 31);
                break;
            }
            case 24: EXPECT_EQ(got, makeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x])); break;
            default: EXPECT_EQ(got, makeColor(row[4 * x + 2], row[4 * x + 1], row[4 * x])); break;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, ReferenceReadsOurFilesTest, ::testing::Values(1, 4, 8, 16, 24, 32));

} // namespace
} // namespace kanvo
