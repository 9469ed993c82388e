#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "core/workspace/WorkspaceModel.h"

namespace kanvo {
namespace {

// A view that "decodes" a picture of a chosen size and records what it is asked to draw.
class FakeView : public WorkspaceView {
public:
    std::optional<PictureSize> picture;
    std::vector<std::pair<int, int>> stretches;
    int naturalCopies = 0;
    int gridRedraws = 0;

    std::optional<PictureSize> decodeSourcePicture() override { return picture; }
    void showNaturalPicture() override { ++naturalCopies; }
    void stretchPicture(int width, int height) override { stretches.emplace_back(width, height); }
    void redrawGrid() override { ++gridRedraws; }
};

// The main window's start: model part of the load step, then "全图" and "局部".
struct Workspace : ::testing::Test {
    RunState state;
    FakeView view;
    WorkspaceModel model{state, view};

    void SetUp() override
    {
        model.initialize();
        ASSERT_TRUE(model.wholeMode());
        model.partMode();
    }
    void load(int width, int height)
    {
        view.picture = PictureSize{width, height};
        ASSERT_TRUE(model.loadSourcePicture());
    }
};

TEST_F(Workspace, StartsInPartModeWithTheStartUpGrid)
{
    // "全图" set zoom 117 (grid 117 x 117), "局部" then zoomed to 132.
    EXPECT_EQ(state.picW, 117);
    EXPECT_EQ(state.picH, 117);
    EXPECT_EQ(model.zoom.value(), 132);
    EXPECT_EQ(state.ifScale, 1);
    EXPECT_FALSE(model.partButtonEnabled());
    EXPECT_TRUE(model.wholeButtonEnabled());
    EXPECT_EQ(model.wMatrix.maximum(), 1380);
    EXPECT_EQ(model.Hmatrix.maximum(), 1500);
    EXPECT_DOUBLE_EQ(model.gridWindow().left, 60.5);
    EXPECT_DOUBLE_EQ(model.gridWindow().top, 74.5);
    EXPECT_EQ(model.surface().width, 132);
    EXPECT_EQ(model.surface().height, 132);
}

struct LoadCase {
    int width, height;
    int picW, picH, zoomMax, largeStep, smallStep;
    int surfaceW, surfaceH; // natural size, or stretched when the zoom value had to move
};

class LoadPicture : public Workspace, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(LoadPicture, FitsGridAndZoomBar)
{
    const LoadCase c = GetParam();
    state.moveX1 = 9;
    state.moveY1 = 4;
    load(c.width, c.height);
    EXPECT_EQ(state.picW, c.picW);
    EXPECT_EQ(state.picH, c.picH);
    EXPECT_EQ(model.wChange.value(), c.picW);
    EXPECT_EQ(model.hChange.value(), c.picH);
    EXPECT_EQ(model.zoom.minimum(), 32);
    EXPECT_EQ(model.zoom.maximum(), c.zoomMax);
    EXPECT_EQ(model.zoom.largeStep(), c.largeStep);
    EXPECT_EQ(model.zoom.smallStep(), c.smallStep);
    EXPECT_EQ(model.wChange.minimum(), 16);
    EXPECT_EQ(model.hChange.minimum(), 16);
    EXPECT_EQ(state.moveX1, 0);
    EXPECT_EQ(state.moveY1, 0);
    EXPECT_EQ(view.naturalCopies, 1);
    EXPECT_EQ(model.surface().width, c.surfaceW);
    EXPECT_EQ(model.surface().height, c.surfaceH);
    EXPECT_FLOAT_EQ(state.xyRate, float(c.height) / float(c.width));
}

// Steps: large = nearest((max - 32) / 6), small = nearest((max - 32) / 32), at least 2.
INSTANTIATE_TEST_SUITE_P(Pictures, LoadPicture, ::testing::Values(
    // tall: height capped at 250, width from the largest height 250 / 2 = 125; 368/32 = 11.5 -> 12
    LoadCase{400, 800, 125, 250, 400, 61, 12, 400, 800},
    // 4:3 wider than 230:250 gets the full width 230 at height 250
    LoadCase{800, 600, 230, 250, 800, 128, 24, 800, 600},
    // small and wide: natural height 80, full width; 68/32 = 2.125 -> 2; zoom 132 drops to 100
    LoadCase{100, 80, 230, 80, 100, 11, 2, 100, 80},
    // 301/32 = 9.4 -> 9; 301/6 = 50.17 -> 50
    LoadCase{333, 200, 230, 200, 333, 50, 9, 333, 200},
    // narrower than 49: large step would round to 0, now at least 1; 8/32 -> 2
    LoadCase{40, 300, 33, 250, 40, 1, 2, 40, 300},
    // under 16 high: height held at 16; narrower than the zoom minimum: zoom range 32..32, and
    // the zoom value moving to 32 stretches the surface to 32 x 16
    LoadCase{20, 10, 230, 16, 32, 1, 2, 32, 16},
    // so tall that the proportional width (6.25) is under 16: width held at 16; surface 32 x 1280
    LoadCase{10, 400, 16, 250, 32, 1, 2, 32, 1280}));

TEST_F(Workspace, UndecodableFileChangesOnlyTheMode)
{
    ASSERT_TRUE(model.wholeMode() || true);
    state.ifScale = 0;
    view.picture.reset();
    EXPECT_FALSE(model.loadSourcePicture());
    EXPECT_EQ(state.ifScale, 1);
    EXPECT_EQ(model.zoom.maximum(), 255);
    EXPECT_EQ(view.naturalCopies, 0);
}

TEST_F(Workspace, WholeModeFitsGridToZoomValue)
{
    load(800, 600);
    ASSERT_TRUE(model.wholeMode());
    // zoom = grid width 230: picH = nearest(172.5) = 172 (half to even)
    EXPECT_EQ(state.picW, 230);
    EXPECT_EQ(state.picH, 172);
    EXPECT_FALSE(model.wholeButtonEnabled());
    EXPECT_TRUE(model.partButtonEnabled());

    ASSERT_TRUE(model.zoom.setValue(200));
    EXPECT_EQ(state.picW, 200);
    EXPECT_EQ(state.picH, 150);
    EXPECT_EQ(model.wChange.value(), 200);
    EXPECT_EQ(model.hChange.value(), 150);
    EXPECT_DOUBLE_EQ(model.gridWindow().left, 19);  // (230 - 200) / 2 + 4
    EXPECT_DOUBLE_EQ(model.gridWindow().top, 58);   // (250 - 150) / 2 + 8
    EXPECT_EQ(model.surface().width, 200);
    EXPECT_EQ(model.surface().height, 150);
    EXPECT_EQ(view.stretches.back(), std::make_pair(200, 150));
    EXPECT_EQ(model.clothLine(), "绣布：宽高200x150(约60x45厘米)");

    // 400 x 0.75 = 300 > 250: width 333.3 > 230, so 230 x nearest(172.5) = 172
    ASSERT_TRUE(model.zoom.setValue(400));
    EXPECT_EQ(state.picW, 230);
    EXPECT_EQ(state.picH, 172);
    EXPECT_EQ(model.wChange.value(), 230);
    EXPECT_EQ(model.hChange.value(), 172);
}

TEST_F(Workspace, WholeModeKeepsUnroundedWidthWhenHeightIsCapped)
{
    load(200, 300); // xyRate 1.5: height 250, width nearest(166.67) = 167
    ASSERT_TRUE(model.wholeMode()); // zoom 167: nearest(250.5) = 250 fits, 167 x 250
    EXPECT_EQ(state.picW, 167);
    ASSERT_TRUE(model.zoom.setValue(168)); // 252 > 250: picW = 166.67, bar already 167
    EXPECT_EQ(state.picH, 250);
    EXPECT_EQ(model.wChange.value(), 167);
    EXPECT_NEAR(state.picW, 250.0 / 1.5, 1e-9); // the width handler did not run
    EXPECT_NEAR(model.gridWindow().width, 250.0 / 1.5, 1e-9);
    EXPECT_EQ(model.gridWindowPixelWidth(), 167);
    EXPECT_EQ(model.clothLine(), "绣布：宽高166.666666666667x250(约50x75厘米)");

    ASSERT_TRUE(model.zoom.setValue(100)); // 100 x 150
    EXPECT_EQ(model.wChange.value(), 100);
    ASSERT_TRUE(model.zoom.setValue(190)); // 285 > 250: 166.67, bar moves to 167
    EXPECT_EQ(state.picW, 167);            // so the width handler made it whole again
    EXPECT_EQ(state.picH, 250);
}

TEST_F(Workspace, WholeModeHeightBelowBarMinimumIsSkipped)
{
    load(1000, 300);
    ASSERT_TRUE(model.wholeMode()); // 230 x nearest(69.0) = 69
    ASSERT_EQ(model.hChange.value(), 69);
    ASSERT_TRUE(model.zoom.setValue(32)); // nearest(9.6) = 10 < 16
    EXPECT_EQ(state.picH, 10);
    EXPECT_EQ(model.hChange.value(), 69);
    EXPECT_DOUBLE_EQ(model.gridWindow().width, 32);
    EXPECT_DOUBLE_EQ(model.gridWindow().height, 10);
    EXPECT_EQ(model.gridWindowPixelHeight(), 10);
}

TEST_F(Workspace, WholeModeFailsWhenGridIsWiderThanZoomMaximum)
{
    load(100, 80); // grid 230 wide, zoom maximum 100
    state.moveX1 = 5;
    EXPECT_FALSE(model.wholeMode());
    EXPECT_EQ(state.ifScale, 0);
    EXPECT_EQ(state.moveX1, 0);
    EXPECT_FALSE(model.partButtonEnabled()); // buttons untouched
    EXPECT_TRUE(model.wholeButtonEnabled());
    EXPECT_EQ(state.picW, 230);
}

TEST_F(Workspace, PartModeNearZoomMaximumSwapsButtonsWithoutRedraw)
{
    load(800, 600);
    ASSERT_TRUE(model.wholeMode());
    ASSERT_TRUE(model.zoom.setValue(790));
    const auto drawn = view.stretches.size();
    model.partMode();
    EXPECT_EQ(model.zoom.value(), 790);
    EXPECT_EQ(view.stretches.size(), drawn);
    EXPECT_EQ(state.ifScale, 1);
    EXPECT_FALSE(model.partButtonEnabled());
    EXPECT_TRUE(model.wholeButtonEnabled());
}

TEST_F(Workspace, PartModeZoomStretchesSurfaceKeepingOffsets)
{
    load(800, 600);
    state.moveX1 = 12;
    ASSERT_TRUE(model.zoom.setValue(401));
    EXPECT_EQ(model.surface().width, 401);
    EXPECT_EQ(model.surface().height, 301); // 300.75
    EXPECT_EQ(view.stretches.back(), std::make_pair(401, 301));
    EXPECT_EQ(state.moveX1, 12);
    EXPECT_EQ(state.picW, 230); // the grid does not follow the zoom in part mode
}

struct ZoomStepCase {
    int start;
    bool in;
    int expected;
};

class ZoomSteps : public Workspace, public ::testing::WithParamInterface<ZoomStepCase> {};

TEST_P(ZoomSteps, MoveByFiveOnlyWhenClearOfTheLimit)
{
    load(800, 600); // zoom 32..800
    const ZoomStepCase c = GetParam();
    ASSERT_TRUE(model.zoom.setValue(c.start));
    c.in ? model.zoomIn() : model.zoomOut();
    EXPECT_EQ(model.zoom.value(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Limits, ZoomSteps, ::testing::Values(
    ZoomStepCase{795, true, 795}, ZoomStepCase{794, true, 799}, ZoomStepCase{400, true, 405},
    ZoomStepCase{37, false, 37}, ZoomStepCase{38, false, 33}, ZoomStepCase{400, false, 395}));

TEST_F(Workspace, RestoreReturnsToNaturalSizeInPartMode)
{
    load(800, 600);
    ASSERT_TRUE(model.wholeMode());
    model.restore();
    EXPECT_EQ(state.ifScale, 1);
    EXPECT_EQ(view.naturalCopies, 2);
    EXPECT_EQ(model.surface().width, 800);
    EXPECT_EQ(model.surface().height, 600);
}

TEST_F(Workspace, ClothLineFollowsBothBars)
{
    ASSERT_TRUE(model.wChange.setValue(230));
    ASSERT_TRUE(model.hChange.setValue(250));
    EXPECT_EQ(model.clothLine(), "绣布：宽高230x250(约69x75厘米)");
    ASSERT_TRUE(model.wChange.setValue(16));
    ASSERT_TRUE(model.hChange.setValue(16));
    EXPECT_EQ(model.clothLine(), "绣布：宽高16x16(约5x5厘米)");
    EXPECT_DOUBLE_EQ(model.gridWindow().left, 111); // (230 - 16) / 2 + 4
    EXPECT_DOUBLE_EQ(model.gridWindow().top, 125);  // (250 - 16) / 2 + 8
    EXPECT_EQ(WorkspaceModel::clothLineFor(117, 132), "绣布：宽高117x132(约35x40厘米)");
}

struct DragCase {
    int mode; // ifScale
    double x0, y0, x1, y1;
    int moveX1, moveY1;
    bool moves;
};

class SurfaceDrag : public Workspace, public ::testing::WithParamInterface<DragCase> {};

TEST_P(SurfaceDrag, MovesByHalfThePointerDistance)
{
    load(800, 600);
    const DragCase c = GetParam();
    state.ifScale = c.mode;
    model.surfacePress(c.x0, c.y0);
    model.surfaceRelease(c.x1, c.y1);
    EXPECT_EQ(state.moveX1, c.moveX1);
    EXPECT_EQ(state.moveY1, c.moveY1);
    if (c.moves) {
        EXPECT_DOUBLE_EQ(model.surface().left, -c.moveX1);
        EXPECT_DOUBLE_EQ(model.surface().top, -c.moveY1);
    } else {
        EXPECT_DOUBLE_EQ(model.surface().left, 0);
        EXPECT_DOUBLE_EQ(model.surface().top, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Drags, SurfaceDrag, ::testing::Values(
    DragCase{1, 100, 100, 80, 60, 10, 20, true},   // pointer left and up: picture follows
    DragCase{1, 50, 50, 50, 60, 0, 0, false},      // 10 straight down: -5 clamped, no move
    DragCase{1, 50, 50, 70, 50, 0, 0, true},       // to the right from 0: clamped at 0
    DragCase{1, 10, 0, 7, 0, 2, 0, true},          // dx 3: 1.5 -> 2, moves
    DragCase{1, 10, 0, 8, 0, 1, 0, false},         // dx 2: 1 is not > 1
    DragCase{1, 10, 0, 5, 0, 2, 0, true},          // dx 5: 2.5 -> 2 (half to even)
    DragCase{1, 10, 0, 3, 0, 4, 0, true},          // dx 7: 3.5 -> 4
    DragCase{0, 100, 100, 80, 80, 10, 10, false})); // whole mode: offsets change, picture stays

TEST_F(Workspace, VerticalOffsetShowsWithNextSidewaysDrag)
{
    load(800, 600);
    model.surfacePress(0, 0);
    model.surfaceRelease(0, -20);
    EXPECT_EQ(state.moveY1, 10);
    EXPECT_DOUBLE_EQ(model.surface().top, 0);
    model.surfacePress(30, 0);
    model.surfaceRelease(20, 0);
    EXPECT_DOUBLE_EQ(model.surface().left, -5);
    EXPECT_DOUBLE_EQ(model.surface().top, -10);
}

TEST_F(Workspace, GridRedrawSizesCanvasAndClearsPan)
{
    ASSERT_TRUE(model.wChange.setValue(16));
    ASSERT_TRUE(model.hChange.setValue(16));
    model.canvasPress(60, 0);
    model.canvasRelease(40, 0);
    ASSERT_EQ(model.gridPanX(), 10);
    model.drawMatrixS();
    EXPECT_EQ(view.gridRedraws, 1);
    EXPECT_DOUBLE_EQ(model.canvas().width, 64);
    EXPECT_DOUBLE_EQ(model.canvas().height, 64);
    EXPECT_DOUBLE_EQ(model.canvas().left, 0);
    EXPECT_EQ(model.gridPanX(), 0);
    EXPECT_EQ(model.gridPanY(), 0);
}

TEST_F(Workspace, CanvasDragPansByHalfAndNeverBelowZero)
{
    model.drawMatrixS();
    model.canvasPress(10, 10);
    model.canvasRelease(30, 10); // dragged right: dx = -20
    EXPECT_EQ(model.gridPanX(), 0);
    EXPECT_DOUBLE_EQ(model.canvas().left, 0);
    model.canvasPress(30, 40);
    model.canvasRelease(10, 20); // dragged left and up 20
    EXPECT_EQ(model.gridPanX(), 10);
    EXPECT_EQ(model.gridPanY(), 10);
    EXPECT_DOUBLE_EQ(model.canvas().left, -10);
    EXPECT_DOUBLE_EQ(model.canvas().top, -10);
}

TEST_F(Workspace, GridBarsPlaceCanvasWithoutTouchingPan)
{
    model.drawMatrixS();
    ASSERT_TRUE(model.wMatrix.setValue(100));
    ASSERT_TRUE(model.Hmatrix.setValue(1500));
    EXPECT_DOUBLE_EQ(model.canvas().left, -100);
    EXPECT_DOUBLE_EQ(model.canvas().top, -1500);
    EXPECT_EQ(model.gridPanX(), 0);
    model.drawMatrixS(); // bars keep their position, canvas goes home
    EXPECT_EQ(model.wMatrix.value(), 100);
    EXPECT_DOUBLE_EQ(model.canvas().left, 0);
}

} // namespace
} // namespace kanvo
