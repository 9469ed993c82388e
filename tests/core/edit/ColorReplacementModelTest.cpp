#include <gtest/gtest.h>

#include "core/edit/ColorReplacementModel.h"
#include "core/palette/ThreadTable.h"

using namespace kanvo;

namespace {

constexpr int kW = 4;
constexpr int kH = 3;
constexpr int A = 5;
constexpr int B = 17;
constexpr int C = 40;

// Threads of the 4 x 3 grid, row by row, and the stitch colours before editing (colours of the
// reduced picture, not the threads' table colours).
constexpr int kThreads[kH][kW] = {
    {A, A, B, C},
    {B, C, A, A},
    {C, B, B, A},
};

ColorValue originalColor(int x, int y) { return makeColor(10 * x, 20 * y, 7); }

class ColorReplacementModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                stitches.set(x, y, originalColor(x, y));
        stitches.set(kW, 0, 0x123456); // beyond the grid: never edited, never written back
        colors.width = kW;
        colors.height = kH;
        colors.colorList = {A, B, C};
        colors.maxColor = 3;
        colors.colorIndex.assign(321 * 321, 0);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                colors.colorIndex[static_cast<std::size_t>(x) * 321 + y] = kThreads[y][x];
    }

    const ThreadTable& table = loadedThreadTable();
    StitchMatrix stitches;
    EditColorModel colors;
};

TEST_F(ColorReplacementModelTest, OpensWithTheListAndNothingRecorded)
{
    ColorReplacementModel model(stitches, colors, table);
    EXPECT_EQ(model.colorList(), (std::vector<int>{A, B, C}));
    EXPECT_EQ(model.colorTotal(), 3);
    EXPECT_EQ(model.replaceCount(), 0);
    EXPECT_FALSE(model.canUndo());
    EXPECT_EQ(model.sourceThread(), -1);
    EXPECT_EQ(model.targetThread(), -1);
    EXPECT_EQ(model.statusText(), "颜色总数：3  替换0 处");
    EXPECT_EQ(model.editMatrix().at(2, 1), originalColor(2, 1));
    EXPECT_EQ(model.editMatrix().at(kW, 0), 0u);
}

TEST_F(ColorReplacementModelTest, ReplaceTurnsOnlyTheSourceThreadIntoTheTargetColour)
{
    ColorReplacementModel model(stitches, colors, table);
    ASSERT_TRUE(model.pickSource(A));
    ASSERT_TRUE(model.pickTarget(B));
    ASSERT_TRUE(model.replace());
    EXPECT_EQ(model.colorList(), (std::vector<int>{B, C}));
    EXPECT_EQ(model.replaceCount(), 1);
    EXPECT_TRUE(model.canUndo());
    EXPECT_EQ(model.statusText(), "颜色总数：2  替换1 处");
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (kThreads[y][x] == A) {
                EXPECT_EQ(model.editMatrix().at(x, y), table.colorOf(B)) << x << "," << y;
                EXPECT_EQ(model.threadAt(x, y), B);
            } else {
                EXPECT_EQ(model.editMatrix().at(x, y), originalColor(x, y)) << x << "," << y;
                EXPECT_EQ(model.threadAt(x, y), kThreads[y][x]);
            }
        }
    // The replaced thread can no longer be picked.
    EXPECT_FALSE(model.pickSource(A));
    EXPECT_EQ(model.sourceThread(), A); // the sample keeps its last pick
    EXPECT_FALSE(model.replace());      // ... which matches no entry any more
    EXPECT_EQ(model.replaceCount(), 1);
}

TEST_F(ColorReplacementModelTest, UndosGiveBackExactlyTheStitchesEachReplacementChanged)
{
    ColorReplacementModel model(stitches, colors, table);
    ASSERT_TRUE(model.replaceColor(A, B));
    ASSERT_TRUE(model.replaceColor(B, C));
    EXPECT_EQ(model.colorList(), (std::vector<int>{C}));
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const ColorValue expected = kThreads[y][x] == C ? originalColor(x, y) : table.colorOf(C);
            EXPECT_EQ(model.editMatrix().at(x, y), expected) << x << "," << y;
        }

    ASSERT_TRUE(model.undoReplace());
    // Stitches that were C from the start stay C; the rest are B as after the first replacement.
    EXPECT_EQ(model.colorList(), (std::vector<int>{C, B}));
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int thread = kThreads[y][x];
            EXPECT_EQ(model.threadAt(x, y), thread == C ? C : B) << x << "," << y;
            const ColorValue expected = thread == A ? table.colorOf(B) : originalColor(x, y);
            EXPECT_EQ(model.editMatrix().at(x, y), expected) << x << "," << y;
        }

    ASSERT_TRUE(model.undoReplace());
    EXPECT_EQ(model.colorList(), (std::vector<int>{C, B, A})); // restored thread comes last
    EXPECT_EQ(model.replaceCount(), 0);
    EXPECT_FALSE(model.canUndo());
    EXPECT_EQ(model.statusText(), "颜色总数：3  替换0 处");
    // Back to the chart as it was opened, stitch for stitch.
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            EXPECT_EQ(model.editMatrix().at(x, y), originalColor(x, y)) << x << "," << y;
            EXPECT_EQ(model.threadAt(x, y), kThreads[y][x]) << x << "," << y;
        }
    EXPECT_FALSE(model.undoReplace());
}

TEST_F(ColorReplacementModelTest, SourceEqualToTargetRecordsNothing)
{
    ColorReplacementModel model(stitches, colors, table);
    ASSERT_TRUE(model.pickSource(B));
    ASSERT_TRUE(model.pickTarget(B));
    EXPECT_FALSE(model.replace());
    EXPECT_FALSE(model.replaceColor(B, B));
    EXPECT_EQ(model.replaceCount(), 0);
    EXPECT_EQ(model.colorTotal(), 3);
    EXPECT_EQ(model.editMatrix(), ColorReplacementModel(stitches, colors, table).editMatrix());
}

TEST_F(ColorReplacementModelTest, ReplaceNeedsBothSamples)
{
    ColorReplacementModel model(stitches, colors, table);
    EXPECT_FALSE(model.replace());
    ASSERT_TRUE(model.pickSource(A));
    EXPECT_FALSE(model.replace());
    EXPECT_FALSE(model.pickTarget(99)); // not in the list: the sample stays empty
    EXPECT_EQ(model.targetThread(), -1);
    EXPECT_FALSE(model.replace());
    EXPECT_EQ(model.replaceCount(), 0);
}

TEST_F(ColorReplacementModelTest, OneEntryListStaysAtOne)
{
    colors.colorList = {A};
    colors.maxColor = 1;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            colors.colorIndex[static_cast<std::size_t>(x) * 321 + y] = A;
    ColorReplacementModel model(stitches, colors, table);
    ASSERT_TRUE(model.replaceColor(A, B));
    EXPECT_EQ(model.colorTotal(), 1);
    EXPECT_EQ(model.colorList(), (std::vector<int>{B}));
    EXPECT_EQ(model.statusText(), "颜色总数：1  替换1 处");
    EXPECT_EQ(model.editMatrix().at(3, 2), table.colorOf(B));
    ASSERT_TRUE(model.undoReplace());
    EXPECT_EQ(model.colorList(), (std::vector<int>{B, A}));
    EXPECT_EQ(model.editMatrix().at(3, 2), originalColor(3, 2));
    EXPECT_EQ(model.threadAt(3, 2), A);
}

TEST_F(ColorReplacementModelTest, The202ndReplacementIsIgnored)
{
    // Threads 1..203, one stitch each in a 203-column row; thread i is replaced by i + 1.
    EditColorModel many;
    many.width = 203;
    many.height = 1;
    many.colorIndex.assign(321 * 321, 0);
    for (int t = 1; t <= 203; ++t) {
        many.colorList.push_back(t);
        many.colorIndex[static_cast<std::size_t>(t - 1) * 321] = t;
        stitches.set(t - 1, 0, makeColor(t, 0, 0));
    }
    many.maxColor = 203;
    ColorReplacementModel model(stitches, many, table);
    for (int t = 1; t <= 201; ++t)
        ASSERT_TRUE(model.replaceColor(t, t + 1)) << t;
    EXPECT_EQ(model.replaceCount(), 201);
    EXPECT_FALSE(model.replaceColor(202, 203));
    EXPECT_EQ(model.replaceCount(), 201);
    EXPECT_EQ(model.colorList(), (std::vector<int>{202, 203}));
    EXPECT_EQ(model.threadAt(201, 0), 202);
    EXPECT_EQ(model.editMatrix().at(201, 0), makeColor(202, 0, 0));
    // Undo makes room for one more.
    ASSERT_TRUE(model.undoReplace());
    EXPECT_TRUE(model.replaceColor(202, 203));
    EXPECT_EQ(model.replaceCount(), 201);
}

TEST_F(ColorReplacementModelTest, WriteBackCopiesExactlyTheEditedCells)
{
    ColorReplacementModel model(stitches, colors, table);
    ASSERT_TRUE(model.replaceColor(C, A));
    StitchMatrix target;
    target.fill(0xABCDEF);
    const StitchMatrix before = stitches;
    ASSERT_TRUE(model.writeBack(target));
    for (int x = 0; x < StitchMatrix::kSize; ++x)
        for (int y = 0; y < StitchMatrix::kSize; ++y) {
            ColorValue expected = 0xABCDEF;
            if (x < kW && y < kH)
                expected = kThreads[y][x] == C ? table.colorOf(A) : originalColor(x, y);
            ASSERT_EQ(target.at(x, y), expected) << x << "," << y;
        }
    EXPECT_EQ(stitches, before); // the source of the copy is not touched by editing
}

TEST_F(ColorReplacementModelTest, OperationsStartedFromThePumpAreRefused)
{
    ColorReplacementModel model(stitches, colors, table);
    int pumps = 0;
    bool nestedReplace = true;
    bool nestedUndo = true;
    bool nestedWrite = true;
    StitchMatrix target;
    model.setPump([&] {
        if (pumps++ == 0) {
            nestedReplace = model.replaceColor(B, C);
            nestedUndo = model.undoReplace();
            nestedWrite = model.writeBack(target);
        }
    });
    ASSERT_TRUE(model.replaceColor(A, B));
    EXPECT_GT(pumps, 0);
    EXPECT_FALSE(nestedReplace);
    EXPECT_FALSE(nestedUndo);
    EXPECT_FALSE(nestedWrite);
    EXPECT_EQ(model.record(), (std::vector<ColorReplacementModel::Replacement>{{A, B}}));
    EXPECT_FALSE(model.busy());
}

} // namespace
