#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/image/ClsDIB.h"
#include "core/palette/ColorIndex.h"
#include "core/reduce/ReductionMethod.h"
#include "core/reduce/ReductionPipeline.h"
#include "core/workspace/RunState.h"

namespace kanvo {
namespace {

namespace fs = std::filesystem;

// A 32-bit blue, green, red, x picture standing in for the zoomed picture surface.
struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;

    TestPicture(int w, int h) : width(w), height(h), bytes(static_cast<std::size_t>(w) * h * 4, 0)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                set(x, y, patternAt(x, y));
    }
    // Every pixel differs from its neighbours, so a sampling offset by one shows.
    static ColorValue patternAt(int x, int y)
    {
        return makeColor((x * 7 + y * 3) % 256, (x * 13 + 40) % 256, (y * 11 + x) % 256);
    }
    [[nodiscard]] ColorValue at(int x, int y) const
    {
        const std::uint8_t* p = &bytes[(static_cast<std::size_t>(y) * width + x) * 4];
        return makeColor(p[2], p[1], p[0]);
    }
    void set(int x, int y, ColorValue c)
    {
        std::uint8_t* p = &bytes[(static_cast<std::size_t>(y) * width + x) * 4];
        p[0] = static_cast<std::uint8_t>(blueOf(c));
        p[1] = static_cast<std::uint8_t>(greenOf(c));
        p[2] = static_cast<std::uint8_t>(redOf(c));
        p[3] = 0xFF;
    }
    [[nodiscard]] PixelSurface view()
    {
        PixelSurface s;
        s.bytes = bytes;
        s.width = width;
        s.height = height;
        s.stride = static_cast<std::ptrdiff_t>(width) * 4;
        return s;
    }
};

std::vector<std::uint8_t> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

bool isLevel(int v) { return v % 51 == 0; }

const std::set<int> kEighths{0, 36, 73, 109, 146, 182, 219, 255};

// Every test runs in a fresh working folder: the scratch and effect files go to the current
// folder.
class ReductionPipelineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "kanvo-reduce-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        previous_ = fs::current_path();
        fs::current_path(folder_);
        state.picW = 40;
        state.picH = 30;
        state.moveX1 = 0;
        state.moveY1 = 0;
        state.ifScale = 1;
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        std::error_code ec;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(folder_, ec);
    }

    ReductionPipeline::Hooks hooks()
    {
        ReductionPipeline::Hooks h;
        h.surface = [this] { return picture.view(); };
        h.setStatus = [this](std::string_view text) { statuses.emplace_back(text); };
        h.report = [this](ReduceError e, const std::string& detail) {
            errors.push_back(e);
            details.push_back(detail);
        };
        h.effectSaved = [this](const std::string& path) { saved.push_back(path); };
        h.setBusy = [this](bool on) { busyDepth += on ? 1 : -1; ++busyCalls; };
        h.redrawGrid = [this] { ++redraws; };
        return h;
    }

    void expectOutsideGridWhite(int w, int h) const
    {
        for (int x = 0; x < StitchMatrix::kSize; ++x)
            for (int y = 0; y < StitchMatrix::kSize; ++y)
                if (x >= w || y >= h) {
                    ASSERT_EQ(state.stitchMatrix.at(x, y), 0xFFFFFFu) << x << "," << y;
                }
    }

    fs::path folder_;
    fs::path previous_;
    RunState state;
    TestPicture picture{120, 100};
    std::vector<std::string> statuses;
    std::vector<ReduceError> errors;
    std::vector<std::string> details;
    std::vector<std::string> saved;
    int busyDepth = 0;
    int busyCalls = 0;
    int redraws = 0;
};

TEST_F(ReductionPipelineTest, DefaultMethodGivesWebLevelsAndIsStable)
{
    state.stitchMatrix.fill(0x123456);
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    std::set<ColorValue> colours;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            const ColorValue c = state.stitchMatrix.at(x, y);
            ASSERT_TRUE(isLevel(redOf(c)) && isLevel(greenOf(c)) && isLevel(blueOf(c))) << x << "," << y;
            // The reduced colours were painted back into the picture.
            ASSERT_EQ(picture.at(x, y), c);
            colours.insert(c);
        }
    EXPECT_GT(colours.size(), 10u); // a gradient keeps many colours
    expectOutsideGridWhite(40, 30);
    EXPECT_TRUE(state.previewReady);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(statuses, (std::vector<std::string>{"开始处理...", "减色处理完毕"}));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(busyDepth, 0);
    EXPECT_GT(busyCalls, 0);
    EXPECT_EQ(state.imageBuffer1.ColorBit(), 24);
    EXPECT_EQ(state.imageBuffer2.ColorBit(), 8);
    EXPECT_TRUE(fs::exists("tmppicv.bmp"));
    // Beyond the grid window the picture is as it was.
    EXPECT_EQ(picture.at(40, 0), TestPicture::patternAt(40, 0));
    EXPECT_EQ(picture.at(0, 30), TestPicture::patternAt(0, 30));

    const StitchMatrix first = state.stitchMatrix;
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_TRUE(state.stitchMatrix == first);
}

TEST_F(ReductionPipelineTest, ScratchFileHoldsTheSampledGrid)
{
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    ClsDIB scratch;
    ASSERT_TRUE(scratch.LoadBitMap("tmppicv.bmp"));
    ASSERT_EQ(scratch.Width(), 40);
    ASSERT_EQ(scratch.Height(), 30);
    EXPECT_EQ(scratch.pixel24(0, 0), TestPicture::patternAt(0, 0));
    EXPECT_EQ(scratch.pixel24(39, 29), TestPicture::patternAt(39, 29));
    const auto bytes = readFile("tmppicv.bmp");
    EXPECT_EQ(u16(bytes, 28), 24);
}

TEST_F(ReductionPipelineTest, OneBitGivesBlackAndWhite)
{
    state.ColorBit = 1;
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    int black = 0;
    int white = 0;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            const ColorValue c = state.stitchMatrix.at(x, y);
            ASSERT_TRUE(c == 0 || c == 0xFFFFFF) << std::hex << c;
            (c == 0 ? black : white) += 1;
        }
    EXPECT_GT(black, 0);
    EXPECT_GT(white, 0);
    EXPECT_EQ(state.imageBuffer2.ColorBit(), 1);
}

struct MethodDepth {
    int colorBit;
    int depth;
};

class MethodTable : public ReductionPipelineTest, public ::testing::WithParamInterface<MethodDepth> {};

TEST_P(MethodTable, ConverterDepthAndGreys)
{
    state.ColorBit = GetParam().colorBit;
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_EQ(state.imageBuffer2.ColorBit(), GetParam().depth);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            const ColorValue c = state.stitchMatrix.at(x, y);
            const int r = redOf(c);
            const int g = greenOf(c);
            const int b = blueOf(c);
            const bool grey = r == g && g == b;
            bool ok = true;
            if (state.ColorBit == 2) // four greys 0, 85, 170, 255
                ok = grey && r % 85 == 0;
            else if (state.ColorBit == 4) // sixteen greys 17 apart
                ok = grey && r % 17 == 0;
            else if (state.ColorBit == 3) // each channel full or off
                ok = (r == 0 || r == 255) && (g == 0 || g == 255) && (b == 0 || b == 255);
            else if (state.ColorBit == 8) // red on 4 levels, green and blue on 8
                ok = r % 85 == 0 && kEighths.count(g) == 1 && kEighths.count(b) == 1;
            else if (state.ColorBit == 1)
                ok = c == 0 || c == 0xFFFFFF;
            else
                ok = isLevel(r) && isLevel(g) && isLevel(b);
            ASSERT_TRUE(ok) << state.ColorBit << ": " << r << "," << g << "," << b;
        }
}

INSTANTIATE_TEST_SUITE_P(Codes, MethodTable,
    ::testing::Values(MethodDepth{16, 8}, MethodDepth{3, 4}, MethodDepth{4, 4}, MethodDepth{2, 4},
        MethodDepth{8, 8}, MethodDepth{1, 1}));

// The "精选绣线" method within its thread budget: whatever the settings, every stitch is a table
// colour that the chart's colour index maps to its own thread, and the chart (rare threads
// included) has at most the budget of threads.
class ThreadBudget : public ReductionPipelineTest, public ::testing::WithParamInterface<ThreadReductionSettings> {};

TEST_P(ThreadBudget, OnlyTableColoursAndAtMostTheBudget)
{
    const ThreadTable& table = loadedThreadTable();
    std::set<ColorValue> tableColours;
    for (int t = 1; t <= ThreadTable::kThreads; ++t)
        tableColours.insert(table.colorOf(t));

    state.ColorBit = ReductionMethod::kThreadPalette;
    state.threadReduction = GetParam();
    state.moveX1 = 50; // the written-back picture lands at the offset, as for every method
    state.moveY1 = 40;
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(state.imageBuffer2.ColorBit(), 24);
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            const ColorValue c = state.stitchMatrix.at(x, y);
            ASSERT_EQ(tableColours.count(c), 1u) << std::hex << c << " at " << std::dec << x << "," << y;
            ASSERT_EQ(picture.at(x + 50, y + 40), c);
        }

    ChartModel model;
    model.gw = 40;
    model.gh = 30;
    ASSERT_EQ(generateChartModel(state.stitchMatrix, model, ColorIndexSettings{0, 0}, table), ColorIndexError::None);
    EXPECT_LE(model.colorCount, GetParam().threads);
    EXPECT_LE(static_cast<int>(model.threadList.size()), GetParam().threads);
    EXPECT_GE(model.colorCount, 2); // a picture this colourful uses more than one thread
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y)
            ASSERT_EQ(table.colorOf(model.threadAt(x, y)), state.stitchMatrix.at(x, y)) << x << "," << y;

    // The saved effect is the same reduction, in 24 bits.
    const auto saved = pipeline.saveEffect();
    EXPECT_TRUE(saved.written);
    EXPECT_EQ(saved.depth, 24);
}

INSTANTIATE_TEST_SUITE_P(Settings, ThreadBudget,
    ::testing::Values(ThreadReductionSettings{2, 0, 0}, ThreadReductionSettings{5, 100, 0},
        ThreadReductionSettings{12, 50, 2}, ThreadReductionSettings{40, 100, 50},
        ThreadReductionSettings{120, 0, 3}));

TEST_F(ReductionPipelineTest, OffsetsSampleAndWriteBackThere)
{
    state.moveX1 = 10;
    state.moveY1 = 20;
    state.ColorBit = 0;
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_EQ(state.stitchMatrix.at(0, 0), TestPicture::patternAt(10, 20));
    EXPECT_EQ(state.stitchMatrix.at(39, 29), TestPicture::patternAt(49, 49));

    state.ColorBit = 16;
    ASSERT_TRUE(pipeline.superReduce());
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y)
            ASSERT_EQ(picture.at(x + 10, y + 20), state.stitchMatrix.at(x, y));
    EXPECT_EQ(picture.at(9, 20), TestPicture::patternAt(9, 20));
    EXPECT_EQ(picture.at(10, 19), TestPicture::patternAt(10, 19));
    EXPECT_EQ(picture.at(50, 20), TestPicture::patternAt(50, 20));
    EXPECT_EQ(picture.at(10, 50), TestPicture::patternAt(10, 50));
    // Sampled at the offset: the reduced colour of stitch (0, 0) is near pixel (10, 20).
    const ColorValue orig = TestPicture::patternAt(10, 20);
    const ColorValue got = state.stitchMatrix.at(0, 0);
    EXPECT_LE(std::abs(redOf(orig) - redOf(got)), 51);
    EXPECT_LE(std::abs(greenOf(orig) - greenOf(got)), 51);
    EXPECT_LE(std::abs(blueOf(orig) - blueOf(got)), 51);
}

TEST_F(ReductionPipelineTest, WholePictureModeIgnoresOffsets)
{
    state.moveX1 = 10;
    state.moveY1 = 20;
    state.ifScale = 0;
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.effectPreview());
    EXPECT_EQ(state.stitchMatrix.at(0, 0), TestPicture::patternAt(0, 0));
    EXPECT_EQ(state.stitchMatrix.at(5, 7), TestPicture::patternAt(5, 7));
}

TEST_F(ReductionPipelineTest, GridBeyondThePictureReadsWhite)
{
    state.moveX1 = 100; // 20 columns inside the 120-pixel picture, 20 beyond
    state.moveY1 = 90;  // 10 rows inside
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.effectPreview());
    EXPECT_EQ(state.stitchMatrix.at(19, 9), TestPicture::patternAt(119, 99));
    EXPECT_EQ(state.stitchMatrix.at(20, 0), 0xFFFFFFu);
    EXPECT_EQ(state.stitchMatrix.at(0, 10), 0xFFFFFFu);
    ASSERT_TRUE(pipeline.superReduce()); // painting back clips at the picture's edge
    EXPECT_EQ(picture.at(100, 90), state.stitchMatrix.at(0, 0));
}

// A surface with an alpha byte: pixels under half opaque are cloth, sampled as white cells
// without a stitch, before and after a reduction, which leaves the surface's alpha alone.
TEST_F(ReductionPipelineTest, TransparentPixelsBecomeClothCells)
{
    // Alpha 0 and 127 in the grid's left column, 128 at (1, 0); all others opaque.
    const auto alphaOf = [](int x, int y) { return x == 0 ? (y % 2 == 0 ? 0 : 127) : (x == 1 && y == 0 ? 128 : 255); };
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.bytes[(static_cast<std::size_t>(y) * picture.width + x) * 4 + 3]
                = static_cast<std::uint8_t>(alphaOf(x, y));
    PixelSurface surface = picture.view();
    surface.alphaByte = 3;
    ReductionPipeline::Hooks h = hooks();
    h.surface = [&surface] { return surface; };
    state.ColorBit = ReductionMethod::kThreadPalette;
    state.threadReduction.threads = 4;
    ReductionPipeline pipeline(state, h);
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(pass == 0 ? pipeline.effectPreview() : pipeline.superReduce());
        int cloth = 0;
        for (int x = 0; x < 40; ++x)
            for (int y = 0; y < 30; ++y) {
                ASSERT_EQ(state.stitchMatrix.isCloth(x, y), alphaOf(x, y) < 128) << x << "," << y;
                if (state.stitchMatrix.isCloth(x, y)) {
                    ++cloth;
                    EXPECT_EQ(state.stitchMatrix.at(x, y), 0xFFFFFFu);
                }
            }
        EXPECT_EQ(cloth, 30);
        EXPECT_NE(state.stitchMatrix.at(1, 0), 0xFFFFFFu); // half opaque is a stitch
        EXPECT_EQ(picture.bytes[3], 0); // the alpha outlives the painting back
    }
    // The stitched cells' threads were chosen without the cloth's white.
    ChartModel model;
    model.gw = 40;
    model.gh = 30;
    ASSERT_EQ(generateChartModel(state.stitchMatrix, model, {0, 0}, loadedThreadTable()), ColorIndexError::None);
    EXPECT_EQ(model.stitchCount(), 40 * 30 - 30);
}

TEST_F(ReductionPipelineTest, CellsOutsideTheGridAreWhite)
{
    state.stitchMatrix.fill(0x010203);
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.effectPreview());
    expectOutsideGridWhite(40, 30);
    state.stitchMatrix.fill(0x010203);
    state.picW = 16;
    state.picH = 20;
    ASSERT_TRUE(pipeline.superReduce());
    expectOutsideGridWhite(16, 20);
}

TEST_F(ReductionPipelineTest, NoReductionLeavesBuffersAndScratchAlone)
{
    // Leftovers of an earlier run.
    ASSERT_TRUE(state.imageBuffer1.Create(3, 2, 24, true));
    state.imageBuffer1.setPixel24(1, 1, 0x0000FF);
    ASSERT_TRUE(state.imageBuffer2.Create(5, 5, 8, true));
    const ClsDIB before1 = state.imageBuffer1;
    const ClsDIB before2 = state.imageBuffer2;
    {
        std::ofstream out("tmppicv.bmp", std::ios::binary);
        out << "old scratch";
    }
    state.ColorBit = 0;
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_EQ(state.stitchMatrix.at(3, 4), TestPicture::patternAt(3, 4));
    EXPECT_EQ(state.stitchMatrix.at(39, 29), TestPicture::patternAt(39, 29));
    EXPECT_TRUE(state.previewReady);
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(state.imageBuffer1.encodeBmp(), before1.encodeBmp());
    EXPECT_EQ(state.imageBuffer2.encodeBmp(), before2.encodeBmp());
    const auto scratch = readFile("tmppicv.bmp");
    EXPECT_EQ(std::string(scratch.begin(), scratch.end()), "old scratch");
    // Nothing was reduced, but the status line ends as after a reduction.
    EXPECT_EQ(statuses, (std::vector<std::string>{"减色处理完毕"}));
    EXPECT_EQ(picture.at(0, 0), TestPicture::patternAt(0, 0));
}

TEST_F(ReductionPipelineTest, UnknownMethodCodeStillPreviews)
{
    state.ColorBit = 7;
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_TRUE(state.imageBuffer2.empty());
    EXPECT_EQ(state.stitchMatrix.at(2, 2), TestPicture::patternAt(2, 2));
    EXPECT_EQ(redraws, 1);
}

TEST_F(ReductionPipelineTest, UnwritableScratchStopsWithAMessage)
{
    // A folder path that is a plain file cannot take files, whoever runs the test.
    { std::ofstream("blocker") << "x"; }
    ASSERT_TRUE(state.imageBuffer1.Create(4, 4, 24, true));
    const ClsDIB before = state.imageBuffer1;
    ReductionPipeline pipeline(state, hooks(), "blocker");
    EXPECT_FALSE(pipeline.superReduce());
    ASSERT_EQ(errors, (std::vector<ReduceError>{ReduceError::ScratchNotWritten}));
    EXPECT_NE(details[0].find("tmppicv.bmp"), std::string::npos);
    EXPECT_EQ(state.imageBuffer1.encodeBmp(), before.encodeBmp());
    EXPECT_EQ(picture.at(0, 0), TestPicture::patternAt(0, 0));
    EXPECT_EQ(redraws, 0);
    EXPECT_EQ(busyDepth, 0);
    EXPECT_FALSE(pipeline.running());
    EXPECT_FALSE(errorText(ReduceError::ScratchNotWritten).empty());
}

TEST_F(ReductionPipelineTest, StaleScratchIsNeverReadBack)
{
    // A directory in the scratch file's place: the write fails, and no older picture is used.
    fs::create_directory("tmppicv.bmp");
    ReductionPipeline pipeline(state, hooks());
    EXPECT_FALSE(pipeline.superReduce());
    EXPECT_EQ(errors, (std::vector<ReduceError>{ReduceError::ScratchNotWritten}));
    EXPECT_TRUE(state.imageBuffer1.empty());
}

TEST_F(ReductionPipelineTest, SecondRunDuringPumpIsRefused)
{
    auto h = hooks();
    ReductionPipeline* self = nullptr;
    int nested = 0;
    h.pumpEvents = [&] {
        if (nested++ == 0) {
            EXPECT_FALSE(self->superReduce());
            EXPECT_EQ(self->saveEffect().error, ReduceError::Busy);
        }
    };
    ReductionPipeline pipeline(state, h);
    self = &pipeline;
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_EQ(errors, (std::vector<ReduceError>{ReduceError::Busy, ReduceError::Busy}));
    EXPECT_EQ(state.saveCount, 0);
    EXPECT_FALSE(pipeline.running());
}

TEST_F(ReductionPipelineTest, SurfaceIsFetchedAgainAfterEvents)
{
    // Another handler replaces the picture while events run; the result goes to the new one.
    TestPicture replacement(120, 100);
    bool swapped = false;
    auto h = hooks();
    h.surface = [&] { return swapped ? replacement.view() : picture.view(); };
    h.pumpEvents = [&] { swapped = true; };
    ReductionPipeline pipeline(state, h);
    ASSERT_TRUE(pipeline.superReduce());
    EXPECT_EQ(picture.at(5, 5), TestPicture::patternAt(5, 5));
    EXPECT_EQ(replacement.at(5, 5), state.stitchMatrix.at(5, 5));
}

struct NameCase {
    int count;
    const char* name;
};

class EffectFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(EffectFileName, AtLeastThreeDigits)
{
    EXPECT_EQ(ReductionPipeline::effectFileName(GetParam().count), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Table, EffectFileName,
    ::testing::Values(NameCase{1, "xiaoguo001.bmp"}, NameCase{42, "xiaoguo042.bmp"},
        NameCase{999, "xiaoguo999.bmp"}, NameCase{1000, "xiaoguo1000.bmp"}, NameCase{1234, "xiaoguo1234.bmp"}));

TEST_F(ReductionPipelineTest, SavedEffectAtDefaultMethod)
{
    ReductionPipeline pipeline(state, hooks());
    ASSERT_TRUE(pipeline.superReduce());
    const StitchMatrix reduced = state.stitchMatrix;
    statuses.clear();

    const auto outcome = pipeline.saveEffect();
    ASSERT_TRUE(outcome.written);
    EXPECT_EQ(outcome.fileName, "xiaoguo001.bmp");
    EXPECT_EQ(outcome.depth, 8);
    EXPECT_EQ(fs::path(outcome.path), fs::absolute("xiaoguo001.bmp").lexically_normal());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(statuses.back(), "绣图效果图保存到" + outcome.path);
    // Saving after a reduction keeps the reduced colours.
    EXPECT_TRUE(state.stitchMatrix == reduced);

    const auto b = readFile("xiaoguo001.bmp");
    ASSERT_GE(b.size(), 1078u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 10), 1078u);
    EXPECT_EQ(u32(b, 18), 40u);
    EXPECT_EQ(u32(b, 22), 30u);
    EXPECT_EQ(u16(b, 28), 8);
    EXPECT_EQ(u32(b, 2), b.size());
    // Entry 36 b + 6 g + r is red 51 r, green 51 g, blue 51 b, stored blue, green, red, 0.
    for (int i = 0; i < 216; ++i) {
        const std::size_t e = 54 + 4 * static_cast<std::size_t>(i);
        ASSERT_EQ(b[e], 51 * (i / 36));
        ASSERT_EQ(b[e + 1], 51 * ((i / 6) % 6));
        ASSERT_EQ(b[e + 2], 51 * (i % 6));
        ASSERT_EQ(b[e + 3], 0);
    }
    // Top-left stitch: last memory row, first byte, stride 40.
    const std::uint8_t index = b[1078 + 29 * 40];
    const ColorValue c = state.stitchMatrix.at(0, 0);
    EXPECT_EQ(index, 36 * (blueOf(c) / 51) + 6 * (greenOf(c) / 51) + redOf(c) / 51);

    EXPECT_EQ(pipeline.saveEffect().fileName, "xiaoguo002.bmp");
    EXPECT_TRUE(fs::exists("xiaoguo002.bmp"));
    state.saveCount = 999;
    EXPECT_EQ(pipeline.saveEffect().fileName, "xiaoguo1000.bmp");
    EXPECT_TRUE(fs::exists("xiaoguo1000.bmp"));
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(busyDepth, 0);
}

TEST_F(ReductionPipelineTest, SavedEffectOneBit)
{
    state.ColorBit = 1;
    ReductionPipeline pipeline(state, hooks());
    const auto outcome = pipeline.saveEffect();
    ASSERT_TRUE(outcome.written);
    EXPECT_EQ(outcome.depth, 1);
    const auto b = readFile("xiaoguo001.bmp");
    ASSERT_GE(b.size(), 62u);
    EXPECT_EQ(u32(b, 10), 62u);
    EXPECT_EQ(u16(b, 28), 1);
    EXPECT_EQ(u32(b, 54), 0x00000000u); // entry 0 black
    EXPECT_EQ(u32(b, 58), 0x00FFFFFFu); // entry 1 white
    EXPECT_EQ(b.size(), 62u + 8 * 30);  // 40 pixels take 5 bytes, padded to 8
    // Saving neither paints back nor previews.
    EXPECT_EQ(picture.at(0, 0), TestPicture::patternAt(0, 0));
    EXPECT_EQ(redraws, 0);
    EXPECT_EQ(state.stitchMatrix.at(1, 1), TestPicture::patternAt(1, 1));
}

TEST_F(ReductionPipelineTest, SavedEffectWithoutReductionIsTheFullColourPicture)
{
    state.ColorBit = 0;
    state.moveX1 = 10;
    state.moveY1 = 20;
    ReductionPipeline pipeline(state, hooks());
    const auto outcome = pipeline.saveEffect();
    ASSERT_TRUE(outcome.written);
    EXPECT_EQ(outcome.depth, 24);
    const auto b = readFile("xiaoguo001.bmp");
    ASSERT_GT(b.size(), 54u);
    EXPECT_EQ(u32(b, 10), 54u);
    EXPECT_EQ(u16(b, 28), 24);
    EXPECT_EQ(b.size(), 54u + 120 * 30);
    ClsDIB back;
    ASSERT_TRUE(back.LoadBitMap("xiaoguo001.bmp"));
    EXPECT_EQ(back.pixel24(0, 0), TestPicture::patternAt(10, 20));
    EXPECT_EQ(back.pixel24(39, 29), TestPicture::patternAt(49, 49));
}

TEST_F(ReductionPipelineTest, FailedSaveIsReportedNotAnnounced)
{
    fs::create_directory("xiaoguo001.bmp");
    ReductionPipeline pipeline(state, hooks());
    const auto outcome = pipeline.saveEffect();
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.error, ReduceError::EffectNotWritten);
    EXPECT_TRUE(saved.empty());
    ASSERT_EQ(errors, (std::vector<ReduceError>{ReduceError::EffectNotWritten}));
    EXPECT_NE(details[0].find("xiaoguo001.bmp"), std::string::npos);
    EXPECT_EQ(state.saveCount, 1);
    for (const auto& s : statuses)
        EXPECT_EQ(s.find("绣图效果图保存到"), std::string::npos);
    // The counter moves on, so the next save gets the next name.
    EXPECT_TRUE(pipeline.saveEffect().written);
    EXPECT_TRUE(fs::exists("xiaoguo002.bmp"));
}

TEST_F(ReductionPipelineTest, UnwritableFolderOnSave)
{
    { std::ofstream("blocker") << "x"; }
    ReductionPipeline pipeline(state, hooks(), "blocker");
    const auto outcome = pipeline.saveEffect();
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.error, ReduceError::ScratchNotWritten);
    EXPECT_TRUE(saved.empty());
    EXPECT_EQ(state.saveCount, 1);
    EXPECT_EQ(busyDepth, 0);
}

TEST(PaintOnto, PalettedImageIsClippedAtEveryEdge)
{
    ClsDIB image;
    ASSERT_TRUE(image.Create(3, 2, 4, true));
    ASSERT_TRUE(image.SetColorTable(1, 0x0000FF));
    ASSERT_TRUE(image.SetColorTable(2, 0x00FF00));
    // Top row: 1 2 1, bottom row: 2 2 0.
    auto top = image.rowFromTop(0);
    top[0] = 0x12;
    top[1] = 0x10;
    auto bottom = image.rowFromTop(1);
    bottom[0] = 0x22;
    bottom[1] = 0x00;
    TestPicture target(4, 3);
    PixelSurface view = target.view();
    ReductionPipeline::paintOnto(image, view, -1, 2); // only the top row's right two pixels land
    EXPECT_EQ(target.at(0, 2), 0x00FF00u);
    EXPECT_EQ(target.at(1, 2), 0x0000FFu);
    EXPECT_EQ(target.at(2, 2), TestPicture::patternAt(2, 2));
    EXPECT_EQ(target.at(0, 1), TestPicture::patternAt(0, 1));
    ReductionPipeline::paintOnto(image, view, 3, 0);
    EXPECT_EQ(target.at(3, 0), 0x0000FFu);
    EXPECT_EQ(target.at(3, 1), 0x00FF00u);
    ReductionPipeline::paintOnto(image, view, 10, 10); // wholly outside: nothing happens
}

} // namespace
} // namespace kanvo
