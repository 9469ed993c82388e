#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/edit/EditPreparation.h"
#include "core/image/ClsDIB.h"
#include "core/palette/ThreadTable.h"
#include "core/workspace/RunState.h"

using namespace kanvo;
namespace fs = std::filesystem;

namespace {

// Plain nearest thread over the table, the reference for the preparation's matching.
int bruteNearest(const ThreadTable& table, ColorValue c)
{
    int best = 1;
    int bestDistance = colorDistance(c, table.colorOf(1));
    for (int t = 2; t <= ThreadTable::kThreads; ++t) {
        const int d = colorDistance(c, table.colorOf(t));
        if (d < bestDistance) {
            best = t;
            bestDistance = d;
        }
    }
    return best;
}

class EditPreparationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("kanvo-edit-" + std::to_string(std::random_device{}()));
        fs::create_directories(folder);
        state.picW = 20;
        state.picH = 16;
        state.stitchMatrix.fill(0xFFFFFF);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    EditPreparation::Outcome run()
    {
        EditPreparation::Hooks hooks;
        hooks.setStatus = [this](std::string_view text) { statuses.emplace_back(text); };
        hooks.report = [this](EditPrepError e) { reports.push_back(e); };
        hooks.pumpEvents = [this] { ++pumps; };
        hooks.setBusy = [this](bool busy) { busyDepth += busy ? 1 : -1; };
        EditPreparation prep(state, loadedThreadTable(), hooks, folder);
        return prep.prepare();
    }

    // The scratch picture as the colour reduction leaves it: the fitted grid's stitches.
    void writeScratch()
    {
        ClsDIB dib;
        ASSERT_TRUE(dib.Create(state.gridWidth(), state.picH, 24, true));
        for (int y = 0; y < state.picH; ++y)
            for (int x = 0; x < state.gridWidth(); ++x)
                dib.setPixel24(x, y, state.stitchMatrix.at(x, y));
        ASSERT_TRUE(dib.SaveBMP((folder / "tmppicv.bmp").string()));
    }

    void writeFile(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path colorFile() const { return folder / "tmpcolorv.bmp"; }

    fs::path folder;
    RunState state;
    std::vector<std::string> statuses;
    std::vector<EditPrepError> reports;
    int pumps = 0;
    int busyDepth = 0;
};

struct MethodCase {
    int colorBit;
    bool writesColorFile;
    int fileDepth; // bits per pixel of the written file
};

class EditPreparationMethods : public EditPreparationTest, public ::testing::WithParamInterface<MethodCase> {};

TEST_P(EditPreparationMethods, ColourFileFollowsTheMethod)
{
    const MethodCase c = GetParam();
    state.ColorBit = c.colorBit;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 16; ++y)
            state.stitchMatrix.set(x, y, makeColor(12 * x, 15 * y, 100));
    writeScratch();
    writeFile(colorFile(), "an old scratch picture");

    const auto outcome = run();
    EXPECT_TRUE(outcome.ready);
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(busyDepth, 0);
    EXPECT_EQ(outcome.colorFileWritten, c.writesColorFile);
    ASSERT_EQ(fs::exists(colorFile()), c.writesColorFile);
    if (c.writesColorFile) {
        std::ifstream in(colorFile(), std::ios::binary);
        std::vector<char> header(30);
        in.read(header.data(), 30);
        EXPECT_EQ(header[0], 'B');
        EXPECT_EQ(static_cast<unsigned char>(header[18]), 20); // width
        EXPECT_EQ(static_cast<unsigned char>(header[22]), 16); // height
        EXPECT_EQ(static_cast<unsigned char>(header[28]), c.fileDepth);
    }
    // The working copy holds the scratch picture.
    EXPECT_EQ(state.imageBuffer1.Width(), 20);
    EXPECT_EQ(state.imageBuffer1.pixel24(3, 2), makeColor(36, 30, 100));
}

INSTANTIATE_TEST_SUITE_P(Methods, EditPreparationMethods,
    ::testing::Values(MethodCase{0, false, 0}, MethodCase{7, false, 0}, MethodCase{-1, false, 0},
        MethodCase{16, true, 8}, MethodCase{3, true, 4}, MethodCase{1, true, 1}, MethodCase{8, true, 8}),
    [](const auto& info) { return "ColorBit" + std::to_string(info.index); });

TEST_F(EditPreparationTest, NoReductionMethodNeedsNoScratchPictureAndRemovesAnOldColourFile)
{
    state.ColorBit = 0;
    writeFile(colorFile(), "old");
    const auto outcome = run();
    EXPECT_TRUE(outcome.ready);
    EXPECT_TRUE(reports.empty());
    EXPECT_FALSE(fs::exists(colorFile()));
    EXPECT_EQ(outcome.model.colorList.size(), 1u); // all white
}

TEST_F(EditPreparationTest, MissingScratchPictureAsksForAReductionFirst)
{
    state.ColorBit = 16;
    writeFile(colorFile(), "old");
    const auto outcome = run();
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.ready);
    EXPECT_EQ(outcome.error, EditPrepError::NoScratchPicture);
    EXPECT_EQ(reports, std::vector<EditPrepError>{EditPrepError::NoScratchPicture});
    EXPECT_EQ(errorText(EditPrepError::NoScratchPicture), "   编辑绣图颜色前请先点击效果预览键    ");
    EXPECT_EQ(busyDepth, 0);
    EXPECT_TRUE(fs::exists(colorFile())); // nothing was touched
    EXPECT_EQ(statuses, std::vector<std::string>{"开始处理..."});
}

TEST_F(EditPreparationTest, UnreadableScratchPictureIsReportedAndTheRunGoesOn)
{
    state.ColorBit = 16;
    writeFile(folder / "tmppicv.bmp", "not a bitmap at all");
    writeFile(colorFile(), "old");
    const auto outcome = run();
    EXPECT_EQ(reports, std::vector<EditPrepError>{EditPrepError::BitmapUnreadable});
    EXPECT_EQ(errorText(EditPrepError::BitmapUnreadable), "不能识别的位图！");
    EXPECT_EQ(errorCaption(EditPrepError::BitmapUnreadable), "错误！");
    EXPECT_TRUE(outcome.ready);
    // No earlier working copy: nothing to convert, so no colour file, and the old one is gone.
    EXPECT_FALSE(fs::exists(colorFile()));
    EXPECT_EQ(busyDepth, 0);
}

TEST_F(EditPreparationTest, UnreadableScratchPictureConvertsTheEarlierWorkingCopy)
{
    state.ColorBit = 16;
    ASSERT_TRUE(state.imageBuffer1.Create(5, 4, 24, true));
    writeFile(folder / "tmppicv.bmp", "garbage");
    const auto outcome = run();
    EXPECT_TRUE(outcome.ready);
    EXPECT_TRUE(outcome.colorFileWritten);
    EXPECT_EQ(state.imageBuffer2.Width(), 5);
}

class EditPreparationColourCount : public EditPreparationTest, public ::testing::WithParamInterface<int> {};

TEST_P(EditPreparationColourCount, FiveHundredColoursPrepareFiveHundredAndOneStop)
{
    const int n = GetParam();
    state.ColorBit = 0;
    state.picW = 30;
    state.picH = 20; // 600 stitches
    int made = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            // Distinct greys and reds first, then the first colour again.
            const int k = made < n ? made : 0;
            state.stitchMatrix.set(x, y, makeColor(k % 256, k / 256, 77));
            ++made;
        }
    const auto outcome = run();
    EXPECT_EQ(busyDepth, 0);
    if (n <= 500) {
        EXPECT_TRUE(outcome.ready);
        EXPECT_TRUE(reports.empty());
        EXPECT_EQ(outcome.model.distinctColors, n);
        EXPECT_EQ(outcome.model.maxColor, static_cast<int>(outcome.model.colorList.size()));
    } else {
        EXPECT_FALSE(outcome.ready);
        EXPECT_EQ(reports, std::vector<EditPrepError>{EditPrepError::TooManyColors});
        EXPECT_EQ(errorText(EditPrepError::TooManyColors), "    绣图颜色太多，请减色后再生成。。。 ");
        EXPECT_EQ(errorCaption(EditPrepError::TooManyColors), "Quillex inc.");
    }
}

INSTANTIATE_TEST_SUITE_P(Counts, EditPreparationColourCount, ::testing::Values(499, 500, 501));

TEST_F(EditPreparationTest, TwoColoursWithOneNearestThreadGiveOneEntry)
{
    const ThreadTable& table = loadedThreadTable();
    // A thread whose table colour and a colour one red step away both match it.
    int thread = 0;
    ColorValue near = 0;
    for (int t = 1; t <= ThreadTable::kThreads && thread == 0; ++t) {
        const ColorValue c = table.colorOf(t);
        const ColorValue other = makeColor(redOf(c) < 255 ? redOf(c) + 1 : redOf(c) - 1, greenOf(c), blueOf(c));
        if (bruteNearest(table, c) == t && bruteNearest(table, other) == t) {
            thread = t;
            near = other;
        }
    }
    ASSERT_NE(thread, 0);
    state.ColorBit = 0;
    state.picW = 16;
    state.picH = 16;
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y)
            state.stitchMatrix.set(x, y, (x + y) % 2 ? table.colorOf(thread) : near);
    const auto outcome = run();
    ASSERT_TRUE(outcome.ready);
    EXPECT_EQ(outcome.model.distinctColors, 2);
    EXPECT_EQ(outcome.model.maxColor, 1);
    EXPECT_EQ(outcome.model.colorList, std::vector<int>{thread});
    EXPECT_EQ(outcome.model.threadAt(0, 0), thread);
    EXPECT_EQ(outcome.model.threadAt(1, 0), thread);
}

TEST_F(EditPreparationTest, ThreadsInOrderOfFirstAppearanceRowByRow)
{
    const ThreadTable& table = loadedThreadTable();
    // Three colours equal to table colours of threads that are the first of their colour.
    std::vector<int> threads;
    for (int t = 1; t <= ThreadTable::kThreads && threads.size() < 3; t += 37)
        if (bruteNearest(table, table.colorOf(t)) == t)
            threads.push_back(t);
    ASSERT_EQ(threads.size(), 3u);
    state.ColorBit = 0;
    state.picW = 16;
    state.picH = 16;
    state.stitchMatrix.fill(table.colorOf(threads[0]));
    state.stitchMatrix.set(0, 1, table.colorOf(threads[1])); // first in column order
    state.stitchMatrix.set(5, 0, table.colorOf(threads[2])); // first in row order
    state.stitchMatrix.set(16, 0, 0x010203);                 // beyond the grid: not counted
    const auto outcome = run();
    ASSERT_TRUE(outcome.ready);
    EXPECT_EQ(outcome.model.colorList, (std::vector<int>{threads[0], threads[2], threads[1]}));
    EXPECT_EQ(outcome.model.width, 16);
    EXPECT_EQ(outcome.model.height, 16);
    EXPECT_EQ(outcome.model.threadAt(0, 1), threads[1]);
    EXPECT_EQ(outcome.model.threadAt(5, 0), threads[2]);
    EXPECT_EQ(outcome.model.threadAt(15, 15), threads[0]);
    // The chart window's model is left as the last generation made it.
    EXPECT_TRUE(state.chart.colorList.empty());
    EXPECT_EQ(state.chart.maxColor, 0);
}

TEST_F(EditPreparationTest, ASecondPreparationFromThePumpIsRefused)
{
    state.ColorBit = 0;
    EditPreparation* self = nullptr;
    bool nestedStarted = true;
    int calls = 0;
    EditPreparation::Hooks hooks;
    hooks.pumpEvents = [&] {
        if (calls++ == 0)
            nestedStarted = self->prepare().started;
    };
    EditPreparation prep(state, loadedThreadTable(), hooks, folder);
    self = &prep;
    const auto outcome = prep.prepare();
    EXPECT_TRUE(outcome.ready);
    EXPECT_FALSE(nestedStarted);
    EXPECT_FALSE(prep.running());
}

} // namespace
