#include "core/workspace/WorkspaceModel.h"

#include <algorithm>
#include <cstdio>

#include "core/common/Rounding.h"
#include "core/common/Translation.h"

namespace kanvo {

namespace {

// Plain decimal with up to 15 significant digits: whole numbers without a fraction, the
// transient fractional width as e.g. 166.666666666667.
std::string plainNumber(double v)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", v);
    return buffer;
}

} // namespace

WorkspaceModel::WorkspaceModel(RunState& state, WorkspaceView& view) : state_(state), view_(view)
{
    wChange.onChange = [this](int v) { widthChanged(v); };
    hChange.onChange = [this](int v) { heightChanged(v); };
    zoom.onChange = [this](int v) { zoomChanged(v); };
    wMatrix.onChange = [this](int v) {
        canvas_.left = -v;
        view_.canvasMoved();
    };
    Hmatrix.onChange = [this](int v) {
        canvas_.top = -v;
        view_.canvasMoved();
    };
}

void WorkspaceModel::initialize()
{
    state_.picmaxW = 230;
    state_.picmaxH = 250;
    state_.ColorBit = 16;
    state_.blockW = 10;
    state_.blockH = 10;
    state_.picW = 117;
    state_.picH = 132;
    // Both bars hold 132 at design time, so only the width handler runs here.
    (void)hChange.setValue(132);
    (void)wChange.setValue(117);
    (void)wMatrix.setMaximum(6 * roundHalfEvenInt(state_.picmaxW));
    (void)Hmatrix.setMaximum(6 * state_.picmaxH);
    state_.xyRate = 1.0f;
    state_.ifScale = 1;
}

bool WorkspaceModel::loadSourcePicture()
{
    state_.ifScale = 1;
    const std::optional<PictureSize> size = view_.decodeSourcePicture();
    if (!size || size->width <= 0 || size->height <= 0)
        return false;
    picture_ = size;

    surface_.width = size->width;
    surface_.height = size->height;
    view_.showNaturalPicture();

    (void)wChange.setMaximum(roundHalfEvenInt(state_.picmaxW));
    (void)hChange.setMaximum(state_.picmaxH);

    // Values are held inside the bars' ranges so a picture under 16 pixels high (or one so tall
    // that its proportional width is under 16) still fits, at the smallest grid.
    const int height = size->height > state_.picmaxH ? state_.picmaxH : size->height;
    (void)hChange.setValue(std::clamp(height, hChange.minimum(), hChange.maximum()));

    state_.xyRate = static_cast<float>(size->height) / static_cast<float>(size->width);

    const double widthAtMaxHeight = state_.picmaxH / static_cast<double>(state_.xyRate);
    const int width = widthAtMaxHeight < state_.picmaxW ? roundHalfEvenInt(widthAtMaxHeight)
                                                       : roundHalfEvenInt(state_.picmaxW);
    (void)wChange.setValue(std::clamp(width, wChange.minimum(), wChange.maximum()));

    (void)wChange.setMinimum(16);
    (void)hChange.setMinimum(16);

    surface_.left = 0;
    surface_.top = 0;
    view_.surfaceMoved();
    state_.moveX1 = 0;
    state_.moveY1 = 0;

    (void)zoom.setMinimum(32);
    // A picture narrower than the zoom minimum zooms from the minimum only; every step is at
    // least 1 (the small one 2) so that narrow pictures still load.
    const int zoomMax = std::max(roundHalfEvenInt(size->width), zoom.minimum());
    (void)zoom.setMaximum(zoomMax);
    (void)zoom.setLargeStep(std::max(1, roundHalfEvenInt((zoomMax - 32) / 6.0)));
    (void)zoom.setSmallStep(std::max(2, roundHalfEvenInt((zoomMax - 32) / 32.0)));
    return true;
}

void WorkspaceModel::partMode()
{
    state_.moveX1 = 0;
    state_.moveY1 = 0;
    state_.ifScale = 1;
    if (zoom.value() + 15 < zoom.maximum())
        (void)zoom.setValue(zoom.value() + 15);
    setModeButtons(false, true);
}

bool WorkspaceModel::wholeMode()
{
    state_.moveX1 = 0;
    state_.moveY1 = 0;
    state_.ifScale = 0;
    if (!zoom.setValue(roundHalfEvenInt(gridWindow_.width)))
        return false;
    setModeButtons(true, false);
    return true;
}

void WorkspaceModel::restore()
{
    partMode();
    if (!picture_)
        return;
    surface_.width = picture_->width;
    surface_.height = picture_->height;
    view_.showNaturalPicture();
    view_.surfaceMoved();
}

void WorkspaceModel::zoomIn()
{
    if (zoom.value() + 5 < zoom.maximum())
        (void)zoom.setValue(zoom.value() + 5);
}

void WorkspaceModel::zoomOut()
{
    if (zoom.minimum() < zoom.value() - 5)
        (void)zoom.setValue(zoom.value() - 5);
}

void WorkspaceModel::startDrag(double x, double y)
{
    dragStartX_ = x;
    dragStartY_ = y;
}

WorkspaceModel::HalfDrag WorkspaceModel::finishDrag(double x, double y)
{
    dragEndX_ = x;
    dragEndY_ = roundHalfEvenInt(y);
    return {(dragStartX_ - dragEndX_) / 2, (dragStartY_ - dragEndY_) / 2};
}

void WorkspaceModel::surfacePress(double x, double y) { startDrag(x, y); }

void WorkspaceModel::surfaceRelease(double x, double y)
{
    const HalfDrag drag = finishDrag(x, y);
    state_.moveX1 = std::max(0, roundHalfEvenInt(state_.moveX1 + drag.x));
    state_.moveY1 = std::max(0, roundHalfEvenInt(state_.moveY1 + drag.y));
    if (state_.ifScale == 1 && drag.movesSideways()) {
        surface_.left = -state_.moveX1;
        surface_.top = -state_.moveY1;
        view_.surfaceMoved();
    }
}

void WorkspaceModel::drawMatrixS()
{
    canvas_.height = state_.picH * kCellSize;
    canvas_.width = roundHalfEvenInt(state_.picW) * kCellSize;
    canvas_.left = 0;
    canvas_.top = 0;
    gridPanX_ = 0;
    gridPanY_ = 0;
    view_.redrawGrid();
    view_.canvasMoved();
}

void WorkspaceModel::showMatrixS()
{
    canvas_.left = -gridPanX_;
    canvas_.top = -gridPanY_;
    view_.canvasMoved();
}

void WorkspaceModel::canvasPress(double x, double y) { startDrag(x, y); }

void WorkspaceModel::canvasRelease(double x, double y)
{
    const HalfDrag drag = finishDrag(x, y);
    gridPanX_ = std::max(0, roundHalfEvenInt(gridPanX_ + drag.x));
    gridPanY_ = std::max(0, roundHalfEvenInt(gridPanY_ + drag.y));
    if (drag.movesSideways())
        showMatrixS();
}

std::string WorkspaceModel::clothLineFor(double picW, int picH)
{
    const int cw = roundHalfEvenInt(picW / kStitchesPerCm);
    const int ch = roundHalfEvenInt(picH / kStitchesPerCm);
    return withArgs(translate("WorkspaceModel", "绣布：宽高%1x%2(约%3x%4厘米)"),
        {plainNumber(picW), std::to_string(picH), std::to_string(cw), std::to_string(ch)});
}

int WorkspaceModel::gridWindowPixelWidth() const
{
    return roundHalfEvenInt(gridWindow_.width);
}

int WorkspaceModel::gridWindowPixelHeight() const
{
    return roundHalfEvenInt(gridWindow_.height);
}

void WorkspaceModel::setSurfaceSize(int width, int height)
{
    surface_.width = width;
    surface_.height = height;
    view_.surfaceMoved();
}

void WorkspaceModel::widthChanged(int value)
{
    state_.picW = value;
    updateClothLine();
    placeGridWindowWidth();
}

void WorkspaceModel::heightChanged(int value)
{
    state_.picH = value;
    updateClothLine();
    placeGridWindowHeight();
}

void WorkspaceModel::zoomChanged(int value)
{
    if (state_.ifScale == 1) {
        surface_.width = value;
        surface_.height = roundHalfEvenInt(value * static_cast<double>(state_.xyRate));
        surface_.left = 0;
        surface_.top = 0;
        view_.stretchPicture(roundHalfEvenInt(surface_.width), roundHalfEvenInt(surface_.height));
        view_.surfaceMoved();
        return;
    }

    const double rate = state_.xyRate;
    state_.picW = value;
    state_.picH = roundHalfEvenInt(state_.picW * rate);
    if (state_.picH > state_.picmaxH) {
        state_.picH = state_.picmaxH;
        state_.picW = state_.picmaxH / rate; // kept unrounded
    }
    if (state_.picW > state_.picmaxW) {
        state_.picW = state_.picmaxW;
        state_.picH = roundHalfEvenInt(state_.picW * rate);
    }
    gridWindow_.top = (state_.picmaxH - state_.picH) / 2.0 + kTopMargin;
    gridWindow_.left = (state_.picmaxW - state_.picW) / 2.0 + kLeftMargin;
    gridWindow_.height = state_.picH;
    gridWindow_.width = state_.picW;
    view_.gridWindowChanged();

    // A value outside a bar's range is skipped: the grid window keeps the size set above.
    (void)wChange.setValue(roundHalfEvenInt(state_.picW));
    (void)hChange.setValue(state_.picH);

    surface_.left = 0;
    surface_.top = 0;
    surface_.width = gridWindow_.width;
    surface_.height = gridWindow_.height;
    updateClothLine();
    view_.stretchPicture(gridWindowPixelWidth(), gridWindowPixelHeight());
    view_.surfaceMoved();
}

void WorkspaceModel::updateClothLine()
{
    clothLine_ = clothLineFor(state_.picW, state_.picH);
    view_.clothLineChanged();
}

void WorkspaceModel::placeGridWindowWidth()
{
    gridWindow_.width = state_.picW;
    gridWindow_.left = (state_.picmaxW - state_.picW) / 2.0 + kLeftMargin;
    view_.gridWindowChanged();
}

void WorkspaceModel::placeGridWindowHeight()
{
    gridWindow_.top = (state_.picmaxH - state_.picH) / 2.0 + kTopMargin;
    gridWindow_.height = state_.picH;
    view_.gridWindowChanged();
}

void WorkspaceModel::setModeButtons(bool partEnabled, bool wholeEnabled)
{
    partEnabled_ = partEnabled;
    wholeEnabled_ = wholeEnabled;
    view_.modeButtonsChanged();
}

} // namespace kanvo
