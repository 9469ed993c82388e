#include <gtest/gtest.h>

#include "core/sources/CaptureRectangle.h"

using kanvo::CaptureRectangle;

namespace {

TEST(CaptureRectangleTest, BeforeAnyMovementTheCornerIsAboveAndLeftOfTheScreen)
{
    const CaptureRectangle r(117, 132);
    EXPECT_EQ(r.topLeft().x, -117);
    EXPECT_EQ(r.topLeft().y, -132);
}

struct MoveCase {
    double x;
    double y;
    int lastY;
    int left;
    int top;
};

class CaptureRectangleMoveTest : public ::testing::TestWithParam<MoveCase> {};

TEST_P(CaptureRectangleMoveTest, BottomRightCornerFollowsThePointer)
{
    const MoveCase& c = GetParam();
    CaptureRectangle r(117, 132);
    r.pointerMoved(c.x, c.y);
    EXPECT_DOUBLE_EQ(r.lastX(), c.x);
    EXPECT_EQ(r.lastY(), c.lastY);
    EXPECT_EQ(r.topLeft().x, c.left);
    EXPECT_EQ(r.topLeft().y, c.top);
}

// Halves go to the even neighbour: 200.5 -> 200, 201.5 -> 202.
INSTANTIATE_TEST_SUITE_P(Moves, CaptureRectangleMoveTest,
                         ::testing::Values(MoveCase{400, 300, 300, 283, 168},
                                           MoveCase{400.5, 200.5, 200, 283, 68},
                                           MoveCase{401.5, 201.5, 202, 285, 70},
                                           MoveCase{10, 20, 20, -107, -112},
                                           MoveCase{117, 132, 132, 0, 0}));

TEST(CaptureRectangleTest, SizeIsAtLeastOnePixel)
{
    const CaptureRectangle r(0, -3);
    EXPECT_EQ(r.width(), 1);
    EXPECT_EQ(r.height(), 1);
}

} // namespace
