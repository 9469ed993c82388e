#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

#include "TestSupport.h"
#include "core/image/ClsDIB.h"

namespace kanvo {
namespace {

using test::BmpBuilder;

std::vector<std::uint8_t> topDown24()
{
    // 2 x 2, 24 bits, negative height: the first row in the file is the top row.
    BmpBuilder b = BmpBuilder::withInfoHeader(2, -2, 24, 0, 54);
    for (int v : {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}) {
        b.u8(v);
    }
    return b.bytes;
}

ClsDIB load(const std::vector<std::uint8_t>& bytes)
{
    ClsDIB dib;
    EXPECT_TRUE(dib.loadFromMemory(bytes)) << errorText(dib.lastError());
    EXPECT_EQ(dib.ColorBit(), 24);
    return dib;
}

TEST(BmpReadTest, TopDownRowsEndUpBottomUp)
{
    const ClsDIB dib = load(topDown24());
    ASSERT_EQ(dib.Width(), 2);
    ASSERT_EQ(dib.Height(), 2);
    EXPECT_EQ(dib.pixel24(0, 0), makeColor(3, 2, 1));
    EXPECT_EQ(dib.pixel24(1, 0), makeColor(6, 5, 4));
    EXPECT_EQ(dib.pixel24(0, 1), makeColor(9, 8, 7));
    EXPECT_EQ(dib.pixel24(1, 1), makeColor(12, 11, 10));
    std::span<const std::uint8_t> view;
    dib.MapArray(view);
    EXPECT_EQ(view[0], 7); // memory row 0 is the bottom row
}

TEST(BmpReadTest, Os2CoreHeaderWithThreeBytePalette)
{
    BmpBuilder b;
    b.u8('B');
    b.u8('M');
    b.u32(0);
    b.u32(0);
    b.u32(14 + 12 + 6);
    b.u32(12);
    b.u16(3);
    b.u16(2);
    b.u16(1);
    b.u16(1);
    for (int v : {0, 0, 255, 0, 255, 0}) { // entry 0 red, entry 1 green (blue, green, red)
        b.u8(v);
    }
    for (int v : {0xA0, 0, 0, 0, 0x40, 0, 0, 0}) { // bottom row 1 0 1, top row 0 1 0
        b.u8(v);
    }
    const ClsDIB dib = load(b.bytes);
    const ColorValue red = makeColor(255, 0, 0);
    const ColorValue green = makeColor(0, 255, 0);
    EXPECT_EQ(dib.pixel24(0, 0), red);
    EXPECT_EQ(dib.pixel24(1, 0), green);
    EXPECT_EQ(dib.pixel24(2, 0), red);
    EXPECT_EQ(dib.pixel24(0, 1), green);
    EXPECT_EQ(dib.pixel24(1, 1), red);
    EXPECT_EQ(dib.pixel24(2, 1), green);
}

TEST(BmpReadTest, SixteenBitFieldsAreWidenedByRepeatingTheirBits)
{
    BmpBuilder b = BmpBuilder::withInfoHeader(4, 1, 16, 3, 66);
    b.u32(0xF800);
    b.u32(0x07E0);
    b.u32(0x001F);
    b.u16(0xF800);
    b.u16(0x07E0);
    b.u16(0x0841); // red 00001, green 000010, blue 00001: all 00001000 = 8
    b.u16(0x7BEF); // red 01111 -> 01111011, green 011111 -> 01111101, blue 01111
    const ClsDIB dib = load(b.bytes);
    EXPECT_EQ(dib.pixel24(0, 0), makeColor(255, 0, 0));
    EXPECT_EQ(dib.pixel24(1, 0), makeColor(0, 255, 0));
    EXPECT_EQ(dib.pixel24(2, 0), makeColor(8, 8, 8));
    EXPECT_EQ(dib.pixel24(3, 0), makeColor(0x7B, 0x7D, 0x7B));
}

TEST(BmpReadTest, SixteenBitWithoutMasksIs555)
{
    BmpBuilder b = BmpBuilder::withInfoHeader(1, 1, 16, 0, 54);
    b.u16(0x7C00 | 0x001F); // red and blue full
    b.u16(0);
    EXPECT_EQ(load(b.bytes).pixel24(0, 0), makeColor(255, 0, 255));
}

TEST(BmpReadTest, V5HeaderCarriesTheMasks)
{
    BmpBuilder b;
    b.u8('B');
    b.u8('M');
    b.u32(0);
    b.u32(0);
    b.u32(14 + 124);
    b.u32(124);
    b.u32(1);
    b.u32(1);
    b.u16(1);
    b.u16(32);
    b.u32(3);
    for (int i = 0; i < 5; ++i) {
        b.u32(0);
    }
    b.u32(0x0000FF00); // red
    b.u32(0x00FF0000); // green
    b.u32(0xFF000000); // blue
    b.u32(0x000000FF); // alpha, dropped
    while (b.bytes.size() < 14 + 124) {
        b.u8(0);
    }
    for (int v : {0x11, 0x22, 0x33, 0x44}) {
        b.u8(v);
    }
    EXPECT_EQ(load(b.bytes).pixel24(0, 0), makeColor(0x22, 0x33, 0x44));
}

BmpBuilder rle8Picture(const std::vector<int>& data)
{
    BmpBuilder b = BmpBuilder::withInfoHeader(4, 2, 8, 1, 54 + 16, 4);
    for (int v : {0, 0, 0, 0, 30, 20, 10, 0, 60, 50, 40, 0, 90, 80, 70, 0}) {
        b.u8(v);
    }
    for (int v : data) {
        b.u8(v);
    }
    return b;
}

TEST(BmpReadTest, Rle8RunsAndAbsoluteRuns)
{
    const ClsDIB dib = load(rle8Picture({3, 1, 1, 2, 0, 0, 0, 3, 3, 2, 1, 0, 1, 3, 0, 1}).bytes);
    const ColorValue c1 = makeColor(10, 20, 30);
    const ColorValue c2 = makeColor(40, 50, 60);
    const ColorValue c3 = makeColor(70, 80, 90);
    // Bottom row (first in the data): 1 1 1 2; top row: 3 2 1 3.
    EXPECT_EQ(dib.pixel24(0, 1), c1);
    EXPECT_EQ(dib.pixel24(2, 1), c1);
    EXPECT_EQ(dib.pixel24(3, 1), c2);
    EXPECT_EQ(dib.pixel24(0, 0), c3);
    EXPECT_EQ(dib.pixel24(1, 0), c2);
    EXPECT_EQ(dib.pixel24(2, 0), c1);
    EXPECT_EQ(dib.pixel24(3, 0), c3);
}

TEST(BmpReadTest, Rle4WithDeltaLeavesSkippedPixelsAtIndexZero)
{
    BmpBuilder b = BmpBuilder::withInfoHeader(5, 1, 4, 2, 54 + 64);
    for (int i = 0; i < 16; ++i) {
        b.u8(i); // blue = index
        b.u8(0);
        b.u8(100);
        b.u8(0);
    }
    for (int v : {2, 0x12, 0, 2, 1, 0, 2, 0x33, 0, 1}) {
        b.u8(v);
    }
    const ClsDIB dib = load(b.bytes);
    EXPECT_EQ(dib.pixel24(0, 0), makeColor(100, 0, 1));
    EXPECT_EQ(dib.pixel24(1, 0), makeColor(100, 0, 2));
    EXPECT_EQ(dib.pixel24(2, 0), makeColor(100, 0, 0));
    EXPECT_EQ(dib.pixel24(3, 0), makeColor(100, 0, 3));
    EXPECT_EQ(dib.pixel24(4, 0), makeColor(100, 0, 3));
}

TEST(BmpReadTest, IndexBeyondThePaletteIsBlack)
{
    BmpBuilder b = BmpBuilder::withInfoHeader(1, 1, 8, 0, 54 + 4, 1);
    for (int v : {9, 9, 9, 0, 200, 0, 0, 0}) {
        b.u8(v);
    }
    EXPECT_EQ(load(b.bytes).pixel24(0, 0), 0u);
}

// A failed load must leave the buffer exactly as it was.
void expectRefusedAndUntouched(const std::vector<std::uint8_t>& bytes, const std::string& what)
{
    ClsDIB dib;
    ASSERT_TRUE(dib.Create(3, 1, 8, true));
    ASSERT_TRUE(dib.SetColorTable(2, 0x010203));
    std::span<std::uint8_t> view;
    dib.MapArray(view);
    view[1] = 42;
    const int handle = dib.hDC();
    EXPECT_FALSE(dib.loadFromMemory(bytes)) << what;
    EXPECT_NE(dib.lastError(), DibError::None) << what;
    EXPECT_EQ(dib.hDC(), handle) << what;
    EXPECT_EQ(dib.ColorBit(), 8) << what;
    EXPECT_EQ(dib.Width(), 3) << what;
    EXPECT_EQ(dib.GetColorTable(2), 0x010203u) << what;
    std::span<std::uint8_t> after;
    dib.MapArray(after);
    EXPECT_EQ(after[1], 42) << what;
}

TEST(HostileBmpTest, EveryTruncationIsRefused)
{
    const std::vector<std::vector<std::uint8_t>> files = {topDown24(),
        rle8Picture({3, 1, 1, 2, 0, 0, 0, 3, 3, 2, 1, 0, 1, 3, 0, 1}).bytes};
    for (const auto& file : files) {
        for (std::size_t n = 0; n < file.size(); ++n) {
            expectRefusedAndUntouched(std::vector<std::uint8_t>(file.begin(), file.begin() + static_cast<long>(n)),
                "cut at " + std::to_string(n));
        }
    }
}

TEST(HostileBmpTest, LyingOffsetsAreRefused)
{
    auto beyond = topDown24();
    beyond[10] = 0xFF;
    beyond[11] = 0xFF;
    beyond[12] = 0xFF;
    expectRefusedAndUntouched(beyond, "offset past the end");
    auto inside = topDown24();
    inside[10] = 20;
    expectRefusedAndUntouched(inside, "offset inside the header");
    auto late = topDown24();
    late[10] = 56; // the pixels then run 2 bytes past the end
    expectRefusedAndUntouched(late, "offset leaves too few pixel bytes");
}

TEST(HostileBmpTest, GiantDimensionsAreRefusedWithoutAllocating)
{
    struct Case {
        std::int32_t w;
        std::int32_t h;
    };
    for (const Case c : {Case{60000, 60000}, Case{32769, 1}, Case{1, 32769}, Case{30000, 30000},
             Case{1, INT32_MIN}, Case{INT32_MIN, 1}, Case{-5, 5}, Case{0, 5}, Case{5, 0}}) {
        BmpBuilder b = BmpBuilder::withInfoHeader(c.w, c.h, 24, 0, 54);
        for (int i = 0; i < 64; ++i) {
            b.u8(0);
        }
        const auto start = std::chrono::steady_clock::now();
        expectRefusedAndUntouched(b.bytes, std::to_string(c.w) + "x" + std::to_string(c.h));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
    BmpBuilder huge = BmpBuilder::withInfoHeader(60000, 60000, 24, 0, 54);
    ClsDIB dib;
    EXPECT_FALSE(dib.loadFromMemory(huge.bytes));
    EXPECT_EQ(dib.lastError(), DibError::TooLarge);
}

TEST(HostileBmpTest, BadBitCountsAreRefused)
{
    for (int bits : {0, 2, 7, 64, 3, 65535}) {
        BmpBuilder b = BmpBuilder::withInfoHeader(2, 2, bits, 0, 54 + 1024);
        b.bytes.resize(54 + 1024 + 256, 0);
        expectRefusedAndUntouched(b.bytes, "bit count " + std::to_string(bits));
        ClsDIB dib;
        EXPECT_FALSE(dib.loadFromMemory(b.bytes));
        EXPECT_EQ(dib.lastError(), DibError::BadBitCount);
    }
}

TEST(HostileBmpTest, InconsistentHeadersAreRefused)
{
    auto planes = topDown24();
    planes[26] = 0;
    expectRefusedAndUntouched(planes, "planes 0");
    auto headerSize = topDown24();
    headerSize[14] = 41;
    expectRefusedAndUntouched(headerSize, "header size 41");
    auto rleOn24 = topDown24();
    rleOn24[30] = 1;
    expectRefusedAndUntouched(rleOn24, "RLE8 on 24 bits");
    auto jpeg = topDown24();
    jpeg[30] = 4;
    expectRefusedAndUntouched(jpeg, "JPEG inside");
    expectRefusedAndUntouched({'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "not a BMP");
    // Bit fields that are not one run of bits.
    BmpBuilder b = BmpBuilder::withInfoHeader(1, 1, 16, 3, 66);
    b.u32(0xF00F);
    b.u32(0x07E0);
    b.u32(0x001F);
    b.u32(0);
    expectRefusedAndUntouched(b.bytes, "scattered mask");
    // Run-length data on a top-down picture.
    BmpBuilder td = rle8Picture({4, 1, 0, 0, 4, 1, 0, 1});
    td.set32(22, static_cast<std::uint32_t>(-2));
    expectRefusedAndUntouched(td.bytes, "RLE top-down");
}

TEST(HostileBmpTest, RunLengthDataThatLeavesThePictureIsRefused)
{
    expectRefusedAndUntouched(rle8Picture({5, 1, 0, 1}).bytes, "run past the row end");
    expectRefusedAndUntouched(rle8Picture({2, 1, 3, 1, 0, 1}).bytes, "second run past the row end");
    expectRefusedAndUntouched(rle8Picture({0, 5, 1, 1, 1, 1, 1, 0, 0, 1}).bytes, "absolute run past the row end");
    expectRefusedAndUntouched(rle8Picture({0, 2, 0, 3, 0, 1}).bytes, "delta below the picture");
    expectRefusedAndUntouched(rle8Picture({0, 2, 5, 0, 0, 1}).bytes, "delta past the row end");
    expectRefusedAndUntouched(rle8Picture({0, 0, 0, 0, 0, 0, 4, 1, 0, 1}).bytes, "rows below the picture");
    expectRefusedAndUntouched(rle8Picture({4, 1, 0, 0, 4, 1}).bytes, "no end of bitmap");
}

TEST(HostileBmpTest, FlippedBytesNeverCrash)
{
    // lodepng's check: every byte of valid files set to 0, 255 and with its top bit flipped.
    const std::vector<std::vector<std::uint8_t>> files = {topDown24(),
        rle8Picture({3, 1, 1, 2, 0, 0, 0, 3, 3, 2, 1, 0, 1, 3, 0, 1}).bytes};
    for (const auto& file : files) {
        for (std::size_t i = 0; i < file.size(); ++i) {
            for (int mode = 0; mode < 3; ++mode) {
                auto bytes = file;
                bytes[i] = mode == 0 ? 0 : mode == 1 ? 255 : static_cast<std::uint8_t>(bytes[i] ^ 0x80);
                ClsDIB dib;
                if (dib.loadFromMemory(bytes)) {
                    EXPECT_EQ(dib.ColorBit(), 24);
                    EXPECT_EQ(dib.DataSize(), static_cast<std::size_t>(dib.stride()) * dib.Height());
                }
            }
        }
    }
}

TEST(BmpReadTest, MissingFileIsAnOpenFailure)
{
    ClsDIB dib;
    EXPECT_FALSE(dib.LoadBitMap("/nonexistent/kanvo/none.bmp"));
    EXPECT_EQ(dib.lastError(), DibError::OpenFailed);
    EXPECT_TRUE(dib.empty());
}

// tests/data/bmp holds hostile files, each named after what it catches (and any input the fuzzer
// ever crashed on): every one must be refused.
TEST(BmpReadTest, RegressionFilesAreRefusedWithoutCrashing)
{
    const std::filesystem::path folder = std::filesystem::path(KANVO_TEST_DATA_DIR) / "bmp";
    if (!std::filesystem::exists(folder)) {
        GTEST_SKIP() << "no regression files";
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".bmp") {
            continue;
        }
        ClsDIB dib;
        EXPECT_FALSE(dib.LoadBitMap(entry.path().string())) << entry.path();
        EXPECT_TRUE(dib.empty()) << entry.path();
    }
}

// The public BMP suite: the good files must decode to the pixels an independent decoder sees.
std::vector<std::string> suiteFiles(const std::string& sub)
{
    std::vector<std::string> files;
    const std::filesystem::path folder = std::filesystem::path(KANVO_TEST_DATA_DIR) / "bmpsuite" / sub;
    if (std::filesystem::exists(folder)) {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.path().extension() == ".bmp") {
                files.push_back(entry.path().filename().string());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

class GoodSuiteFileTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoodSuiteFileTest, DecodesLikeTheReference)
{
    const std::string file = std::string(KANVO_TEST_DATA_DIR) + "/bmpsuite/g/" + GetParam();
    ClsDIB dib;
    ASSERT_TRUE(dib.LoadBitMap(file)) << errorText(dib.lastError());
    ASSERT_EQ(dib.ColorBit(), 24);
    test::TempDir dir;
    const auto ref = test::decodeWithReference(file, dir, true);
    ASSERT_TRUE(ref.has_value());
    ASSERT_EQ(dib.Width(), ref->width);
    ASSERT_EQ(dib.Height(), ref->height);
    int mismatches = 0;
    for (int y = 0; y < ref->height; ++y) {
        for (int x = 0; x < ref->width; ++x) {
            const ColorValue ours = dib.pixel24(x, y);
            const ColorValue theirs = ref->at(x, y);
            if (ours != theirs && mismatches++ < 5) {
                ADD_FAILURE() << GetParam() << " at " << x << "," << y << ": ours " << std::hex << ours << " reference "
                              << theirs;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

INSTANTIATE_TEST_SUITE_P(BmpSuite, GoodSuiteFileTest, ::testing::ValuesIn(suiteFiles("g")),
    [](const auto& info) {
        std::string name = info.param.substr(0, info.param.size() - 4);
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

TEST(BmpSuiteTest, QuestionableAndBadFilesNeverCrash)
{
    for (const std::string sub : {"q", "b"}) {
        for (const std::string& name : suiteFiles(sub)) {
            ClsDIB dib;
            const auto start = std::chrono::steady_clock::now();
            if (dib.LoadBitMap(std::string(KANVO_TEST_DATA_DIR) + "/bmpsuite/" + sub + "/" + name)) {
                EXPECT_EQ(dib.ColorBit(), 24) << name;
            }
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << name;
        }
    }
}

TEST(BmpSuiteTest, PlainlyBadFilesAreRefused)
{
    const std::set<std::string> refused = {"badbitcount.bmp", "badheadersize.bmp",
        "badplanes.bmp", "badwidth.bmp", "reallybig.bmp", "shortfile.bmp", "rletopdown.bmp", "badrle.bmp",
        "badrle4.bmp"};
    const auto files = suiteFiles("b");
    ASSERT_FALSE(files.empty()) << "tests/data/bmpsuite is missing";
    for (const std::string& name : refused) {
        ClsDIB dib;
        EXPECT_FALSE(dib.LoadBitMap(std::string(KANVO_TEST_DATA_DIR) + "/bmpsuite/b/" + name)) << name;
    }
}

} // namespace
} // namespace kanvo
