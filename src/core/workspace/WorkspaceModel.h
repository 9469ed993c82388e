#pragma once

#include <optional>
#include <string>

#include "core/common/Translation.h"
#include "core/workspace/RunState.h"
#include "core/workspace/ScrollBarModel.h"
#include "core/workspace/WorkspaceView.h"

namespace kanvo {

// Left/top edge and size of a window in pixels of its parent. Real numbers: the grid window may
// sit on a half pixel, and in whole-picture mode its width may briefly be fractional; the view
// rounds (nearest, halves to even) when it places widgets.
struct WindowRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// The picture workspace of the main window without any widget: the grid-size, zoom and stitch
// grid scroll bars, the picture-fitting rules, part-of-picture and whole-picture modes, dragging,
// the cloth size line and the grid display's geometry and panning.
//
// The model writes the run state's picW, picH, xyRate, ifScale, moveX1 and moveY1 and tells its
// view what to redraw. It holds references to both; they must outlive it. Every real-to-integer
// conversion rounds to the nearest integer with halves to even.
class WorkspaceModel {
public:
    static constexpr int kLeftMargin = 4; // picture area edge to the largest grid window
    static constexpr int kTopMargin = 8;
    static constexpr int kCellSize = 4; // grid display pixels per stitch
    static constexpr double kStitchesPerCm = 3.33;

    WorkspaceModel(RunState& state, WorkspaceView& view);
    WorkspaceModel(const WorkspaceModel&) = delete;
    WorkspaceModel& operator=(const WorkspaceModel&) = delete;

    // Grid width, grid height, zoom (part mode: zoomed surface width; whole mode: grid width).
    ScrollBarModel wChange{16, 230, 132, 1, 10};
    ScrollBarModel hChange{16, 250, 132, 1, 10};
    ScrollBarModel zoom{16, 255, 16, 1, 10};
    // Scroll offsets of the grid display canvas, pixels.
    ScrollBarModel wMatrix{0, 100, 0, 1, 10};
    ScrollBarModel Hmatrix{0, 100, 0, 1, 10};

    // The main window's load step, model part: maxima, method, block size, the start-up grid of
    // 117 x 132, the stitch grid bars' maxima, xyRate 1 and part mode. Then the window runs
    // wholeMode() and partMode() and the initial picture step.
    void initialize();

    // Loads RunState::sourceFile through the view and fits the grid to the picture. Returns false
    // when the file cannot be decoded (after ifScale = 1, nothing else changed).
    // A picture too small for the bars (under 16 pixels high, or so narrow that the zoom steps
    // would round to 0) is still fitted: each bar value is held inside its bar's range, the zoom
    // maximum is at least the zoom minimum, and every step is at least 1 (the small one 2).
    [[nodiscard]] bool loadSourcePicture();

    // "局部" (Command1) and "全图" (Command11). wholeMode returns false, having set ifScale = 0
    // and cleared the offsets only, when the zoom bar cannot take the grid window's width.
    void partMode();
    [[nodiscard]] bool wholeMode();
    // "还原" (Command12): part mode, then the picture at natural size again.
    void restore();
    // "放大" (Label5) / "缩小" (Label6): zoom by 5 unless that comes within 5 of the limit.
    void zoomIn();
    void zoomOut();

    // Pointer on the zoomed surface, pixels of the surface. Release moves the picture by half
    // the pointer's distance (part mode only, and only after a sideways drag of more than 2).
    void surfacePress(double x, double y);
    void surfaceRelease(double x, double y);

    // Grid display: redraw from the stitch matrix (resets size, position and pan) and pan.
    void drawMatrixS();
    void showMatrixS();
    void canvasPress(double x, double y);
    void canvasRelease(double x, double y);

    // "绣布：宽高<w>x<h>(约<cw>x<ch>厘米)" for a grid of picW x picH stitches (UTF-8).
    [[nodiscard]] static std::string clothLineFor(double picW, int picH);

    [[nodiscard]] const RunState& state() const { return state_; }
    [[nodiscard]] const WindowRect& gridWindow() const { return gridWindow_; }
    // Grid window size in whole pixels (the size the effect preview samples).
    [[nodiscard]] int gridWindowPixelWidth() const;
    [[nodiscard]] int gridWindowPixelHeight() const;
    [[nodiscard]] const WindowRect& surface() const { return surface_; }
    [[nodiscard]] const WindowRect& canvas() const { return canvas_; }
    [[nodiscard]] const std::string& clothLine() const { return clothLine_; }
    [[nodiscard]] bool partButtonEnabled() const { return partEnabled_; }
    [[nodiscard]] bool wholeButtonEnabled() const { return wholeEnabled_; }
    [[nodiscard]] std::optional<PictureSize> pictureSize() const { return picture_; }
    [[nodiscard]] int gridPanX() const { return gridPanX_; }
    [[nodiscard]] int gridPanY() const { return gridPanY_; }

    // For callers that paint the surface themselves (screen capture): records its new size.
    void setSurfaceSize(int width, int height);

private:
    void widthChanged(int value);
    void heightChanged(int value);
    void zoomChanged(int value);
    void updateClothLine();
    void placeGridWindowWidth();
    void placeGridWindowHeight();
    void setModeButtons(bool partEnabled, bool wholeEnabled);

    // Half the pointer's travel between the last press and a release; the picture and the grid
    // display both move by half the distance, and only a sideways half-travel over one pixel
    // moves them on screen.
    struct HalfDrag {
        double x = 0;
        double y = 0;
        [[nodiscard]] bool movesSideways() const { return x > 1 || x < -1; }
    };
    void startDrag(double x, double y);
    [[nodiscard]] HalfDrag finishDrag(double x, double y);

    RunState& state_;
    WorkspaceView& view_;

    // Design-time geometry: a 132 x 132 grid window centred on the largest one.
    WindowRect gridWindow_{53, 67, 132, 132};
    WindowRect surface_{0, 0, 132, 132};
    WindowRect canvas_{0, 0, 0, 0};
    std::string clothLine_ = translate("WorkspaceModel", "绣布：宽高156x221 ");
    bool partEnabled_ = true;
    bool wholeEnabled_ = true;
    std::optional<PictureSize> picture_;

    double dragStartX_ = 0;
    double dragStartY_ = 0;
    double dragEndX_ = 0;
    int dragEndY_ = 0;
    int gridPanX_ = 0;
    int gridPanY_ = 0;
};

} // namespace kanvo
