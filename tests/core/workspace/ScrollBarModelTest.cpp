#include <vector>

#include <gtest/gtest.h>

#include "core/workspace/ScrollBarModel.h"

namespace kanvo {
namespace {

struct RecordingBar : ::testing::Test {
    ScrollBarModel bar{16, 230, 132};
    std::vector<int> changes;
    void SetUp() override
    {
        bar.onChange = [this](int v) { changes.push_back(v); };
    }
};

TEST_F(RecordingBar, ChangedValueRunsHandlerOnceBeforeReturning)
{
    EXPECT_TRUE(bar.setValue(117));
    EXPECT_EQ(changes, std::vector<int>{117});
    EXPECT_EQ(bar.value(), 117);
}

TEST_F(RecordingBar, SameValueDoesNothing)
{
    EXPECT_TRUE(bar.setValue(132));
    EXPECT_TRUE(changes.empty());
}

TEST_F(RecordingBar, ValueOutsideRangeIsRefused)
{
    EXPECT_FALSE(bar.setValue(15));
    EXPECT_FALSE(bar.setValue(231));
    EXPECT_EQ(bar.value(), 132);
    EXPECT_TRUE(changes.empty());
    EXPECT_TRUE(bar.setValue(16));
    EXPECT_TRUE(bar.setValue(230));
    EXPECT_EQ(changes, (std::vector<int>{16, 230}));
}

TEST_F(RecordingBar, StepsBelowOneAreRefused)
{
    EXPECT_FALSE(bar.setSmallStep(0));
    EXPECT_FALSE(bar.setLargeStep(-3));
    EXPECT_EQ(bar.smallStep(), 1);
    EXPECT_EQ(bar.largeStep(), 10);
    EXPECT_TRUE(bar.setLargeStep(61));
    EXPECT_EQ(bar.largeStep(), 61);
}

TEST_F(RecordingBar, NarrowedRangeMovesValueAndCountsAsChange)
{
    EXPECT_TRUE(bar.setMaximum(100));
    EXPECT_EQ(bar.value(), 100);
    EXPECT_EQ(changes, std::vector<int>{100});
    EXPECT_FALSE(bar.setMinimum(101));
    EXPECT_TRUE(bar.setMinimum(50));
    EXPECT_EQ(changes.size(), 1u);
}

TEST_F(RecordingBar, UpdateHookSeesNewValueBeforeHandler)
{
    int seenByUpdate = -1;
    int seenByHandler = -1;
    bar.onUpdate = [&] { seenByUpdate = bar.value(); };
    bar.onChange = [&](int) { seenByHandler = seenByUpdate; };
    EXPECT_TRUE(bar.setValue(40));
    EXPECT_EQ(seenByHandler, 40);
}

} // namespace
} // namespace kanvo
