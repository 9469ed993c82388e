#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QTransform>
#include <QWidget>

#include "app/chart/ChartPainter.h"
#include "core/chart/ChartLayout.h"

class QScrollBar;

namespace kanvo {

// The chart window's viewport (Picture1): shows the chart at a zoom, scrolled by the window's two
// scroll bars, whose values are view pixels from the content's top-left corner.
//
// While a chart is being drawn the view shows the window's canvas image. Once a chart is shown
// (showChart) it paints the chart itself: the frame layout (title, grid, rulers, legend) and,
// laid out anew on every paint, only the cells that are in view, so a change of the model costs
// one repaint of the visible cells whatever the chart's size.
//
// Input: the wheel scrolls (Shift+wheel sideways), Ctrl+wheel and +/- zoom around the pointer,
// a middle-drag or a left drag with Space held pans; the left button otherwise reaches the
// window as canvasPressed / canvasDragged / canvasReleased in canvas pixels, and a right click
// or Esc as canvasCancelled.
class ChartCanvasView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kMaxZoom = 4.0; // 40 pixels a cell
    static constexpr double kZoomStep = 1.25;

    // canvas must outlive the view; call update() after painting on it. The view reads the
    // window's own image rather than keeping a copy, which would make every later paint on the
    // image copy it whole first.
    explicit ChartCanvasView(const QImage& canvas, QWidget* parent = nullptr);

    // The bars that scroll the view; the view sets their ranges and page steps.
    void setScrollBars(QScrollBar* horizontal, QScrollBar* vertical);

    // Paints model inside frame (ChartLayout::buildFrame of the same model and options).
    // model must outlive the view or the next showChart()/showCanvas(); its cells may change
    // between paints as long as its size stays.
    void showChart(const ChartModel& model, std::shared_ptr<const ChartLayout> frame, const ChartOptions& options);
    // Which stitch layers the chart shows (the window's switches; all by default).
    void setLayerVisibility(const LayerVisibility& shown);
    [[nodiscard]] const LayerVisibility& layerVisibility() const { return shown_; }
    // Shows the canvas image (a chart being drawn, or nothing).
    void showCanvas();
    [[nodiscard]] bool showsChart() const { return frame_ != nullptr; }
    // The layout of the chart shown (without its cells), null while the canvas is shown.
    [[nodiscard]] const ChartLayout* layout() const { return frame_.get(); }

    // View pixels per canvas pixel, between minZoom() and kMaxZoom.
    [[nodiscard]] double zoom() const { return zoom_; }
    // The zoom at which the whole content fits the view, or 1 when it fits at 1.
    [[nodiscard]] double minZoom() const;
    // Sets the zoom keeping the canvas point under anchor (view pixels) where it is.
    void setZoom(double zoom, QPointF anchor);
    void zoomIn();
    void zoomOut();
    // "适合窗口": the whole content in view.
    void fitToWindow();
    void scrollToTopLeft();

    // The content's size in canvas pixels.
    [[nodiscard]] QSize contentSize() const;
    [[nodiscard]] QPoint offset() const { return {offsetX_, offsetY_}; }
    void setOffset(int x, int y);
    [[nodiscard]] QTransform canvasToView() const;
    [[nodiscard]] QPointF toCanvas(QPointF viewPoint) const;

    // Painted last, over the chart, with the painter in view pixels: selections and previews.
    std::function<void(QPainter& painter, const QTransform& canvasToView)> drawOverlay;

signals:
    void canvasPressed(QPointF canvasPoint, Qt::KeyboardModifiers modifiers);
    void canvasDragged(QPointF canvasPoint);
    void canvasReleased(QPointF canvasPoint);
    void canvasCancelled();
    // The pointer moved over the view (any button or none) / left it.
    void pointerMoved(QPointF canvasPoint);
    void pointerLeft();
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The zoom at which the whole content just fits the view.
    [[nodiscard]] double fitZoom() const;
    void paintChart(QPainter& painter, const QRect& dirty);
    void paintCanvas(QPainter& painter);
    // The bars' ranges: the content's extent, and while zoomed in beyond the smallest zoom also
    // `keep`, so that a zoom may hold the cell under the pointer past the content's edges.
    void updateScrollRanges(std::optional<QPoint> keep = std::nullopt);
    // Names the cell under the pointer again after what lies under it changed without a move.
    void reportPointer();
    void scrollBy(int dx, int dy);
    [[nodiscard]] QPointF pointerOrCentre() const;

    const QImage& canvas_;
    const ChartModel* model_ = nullptr;
    std::shared_ptr<const ChartLayout> frame_;
    ChartOptions options_;
    LayerVisibility shown_;
    std::vector<ColorValue> threadColors_;
    ChartPainter painter_{1.0f}; // at the current zoom; its glyph cache lives as long as the zoom
    // The cells last laid out for painting and their range: repaints that change neither (an
    // overlay, an exposed window) paint them again without laying them out anew.
    std::optional<DrawList> cells_;
    CellRange cellsRange_;

    QScrollBar* horizontal_ = nullptr;
    QScrollBar* vertical_ = nullptr;
    double zoom_ = 1.0;
    int offsetX_ = 0;
    int offsetY_ = 0;

    std::optional<QPointF> pointer_; // the pointer over the view, in view pixels

    bool spaceHeld_ = false;
    bool panning_ = false;
    bool leftDown_ = false;
    QPoint panFrom_;
};

} // namespace kanvo
