#include "app/chart/ChartCanvasView.h"

#include <algorithm>
#include <cmath>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>

#include "app/chart/ScreenChart.h"
#include "core/palette/ColorIndex.h"

namespace kanvo {

namespace {

// View pixels scrolled by one notch of the wheel.
constexpr int kWheelStep = 60;

// Where the first section of list at stage or later begins (its end when there is none).
std::size_t firstOpFrom(const DrawList& list, DrawStage stage)
{
    for (const DrawSection& section : list.sections())
        if (section.stage >= stage)
            return section.begin;
    return list.ops().size();
}

} // namespace

ChartCanvasView::ChartCanvasView(const QImage& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas)
{
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    // The keys work wherever the focus is in the window; a text box still takes its own "-".
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence(QKeySequence::ZoomIn)})
        connect(new QShortcut(key, this, nullptr, nullptr, Qt::WindowShortcut), &QShortcut::activated, this,
            &ChartCanvasView::zoomIn);
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Minus), QKeySequence(QKeySequence::ZoomOut)})
        connect(new QShortcut(key, this, nullptr, nullptr, Qt::WindowShortcut), &QShortcut::activated, this,
            &ChartCanvasView::zoomOut);
}

void ChartCanvasView::setScrollBars(QScrollBar* horizontal, QScrollBar* vertical)
{
    horizontal_ = horizontal;
    vertical_ = vertical;
    connect(horizontal_, &QScrollBar::valueChanged, this, [this](int x) { setOffset(x, offsetY_); });
    connect(vertical_, &QScrollBar::valueChanged, this, [this](int y) { setOffset(offsetX_, y); });
    updateScrollRanges();
}

void ChartCanvasView::showChart(const ChartModel& model, std::shared_ptr<const ChartLayout> frame,
    const ChartOptions& options)
{
    cells_.reset();
    model_ = &model;
    frame_ = std::move(frame);
    options_ = options;
    threadColors_ = ScreenChart::threadColors(loadedThreadTable());
    // Also sets the scroll ranges for the new content; an edited chart stays where it was.
    setZoom(std::max(zoom_, minZoom()), QPointF());
    reportPointer();
}

void ChartCanvasView::setLayerVisibility(const LayerVisibility& shown)
{
    if (shown == shown_)
        return;
    shown_ = shown;
    cells_.reset();
    update();
}

void ChartCanvasView::showCanvas()
{
    cells_.reset();
    model_ = nullptr;
    frame_.reset();
    updateScrollRanges();
    update();
}

QSize ChartCanvasView::contentSize() const
{
    if (frame_)
        return {frame_->geometry().canvasWidth, frame_->geometry().canvasHeight};
    return canvas_.size();
}

double ChartCanvasView::fitZoom() const
{
    const QSize content = contentSize();
    if (content.isEmpty() || width() <= 0 || height() <= 0)
        return 1.0;
    return std::min(static_cast<double>(width()) / content.width(), static_cast<double>(height()) / content.height());
}

double ChartCanvasView::minZoom() const { return std::min(fitZoom(), 1.0); }

void ChartCanvasView::setZoom(double zoom, QPointF anchor)
{
    zoom = std::clamp(zoom, minZoom(), kMaxZoom);
    const QPointF canvasPoint = toCanvas(anchor);
    const bool changed = zoom != zoom_;
    if (changed) {
        zoom_ = zoom;
        painter_ = ChartPainter(static_cast<float>(zoom_));
    }
    const QPoint kept(static_cast<int>(std::lround(canvasPoint.x() * zoom_ - anchor.x())),
        static_cast<int>(std::lround(canvasPoint.y() * zoom_ - anchor.y())));
    updateScrollRanges(kept);
    setOffset(kept.x(), kept.y());
    update();
    if (changed)
        emit zoomChanged(zoom_);
}

void ChartCanvasView::zoomIn() { setZoom(zoom_ * kZoomStep, pointerOrCentre()); }
void ChartCanvasView::zoomOut() { setZoom(zoom_ / kZoomStep, pointerOrCentre()); }

void ChartCanvasView::fitToWindow()
{
    setZoom(fitZoom(), QPointF());
    scrollToTopLeft();
}

void ChartCanvasView::scrollToTopLeft() { setOffset(0, 0); }

QPointF ChartCanvasView::pointerOrCentre() const
{
    const QPoint pointer = mapFromGlobal(QCursor::pos());
    return rect().contains(pointer) ? QPointF(pointer) : QPointF(rect().center());
}

void ChartCanvasView::updateScrollRanges(std::optional<QPoint> keep)
{
    const QSize content = contentSize();
    int minX = 0;
    int minY = 0;
    int maxX = std::max(0, static_cast<int>(std::ceil(content.width() * zoom_)) - width());
    int maxY = std::max(0, static_cast<int>(std::ceil(content.height() * zoom_)) - height());
    // At the smallest zoom the whole chart is in view from its top-left; zoomed in, a zoom around
    // the pointer keeps the cell under it even where that shows room beside the chart.
    if (keep && zoom_ > minZoom()) {
        minX = std::min(minX, keep->x());
        minY = std::min(minY, keep->y());
        maxX = std::max(maxX, keep->x());
        maxY = std::max(maxY, keep->y());
    }
    if (horizontal_ && vertical_) {
        horizontal_->setRange(minX, maxX);
        horizontal_->setPageStep(std::max(1, width()));
        vertical_->setRange(minY, maxY);
        vertical_->setPageStep(std::max(1, height()));
    }
    setOffset(std::clamp(offsetX_, minX, maxX), std::clamp(offsetY_, minY, maxY));
}

void ChartCanvasView::reportPointer()
{
    if (pointer_)
        emit pointerMoved(toCanvas(*pointer_));
}

void ChartCanvasView::setOffset(int x, int y)
{
    if (horizontal_ && vertical_) {
        // The bars clamp to their ranges and call back here with the values they keep.
        x = std::clamp(x, horizontal_->minimum(), horizontal_->maximum());
        y = std::clamp(y, vertical_->minimum(), vertical_->maximum());
    }
    if (x != offsetX_ || y != offsetY_) {
        offsetX_ = x;
        offsetY_ = y;
        update();
    }
    if (horizontal_ && vertical_) {
        horizontal_->setValue(x);
        vertical_->setValue(y);
    }
}

void ChartCanvasView::scrollBy(int dx, int dy) { setOffset(offsetX_ + dx, offsetY_ + dy); }

QTransform ChartCanvasView::canvasToView() const
{
    return QTransform(zoom_, 0, 0, zoom_, -offsetX_, -offsetY_);
}

QPointF ChartCanvasView::toCanvas(QPointF viewPoint) const
{
    return {(viewPoint.x() + offsetX_) / zoom_, (viewPoint.y() + offsetY_) / zoom_};
}

void ChartCanvasView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (frame_)
        paintChart(painter, event->rect());
    else if (!canvas_.isNull())
        paintCanvas(painter);
    if (drawOverlay) {
        painter.resetTransform();
        drawOverlay(painter, canvasToView());
    }
}

void ChartCanvasView::paintChart(QPainter& painter, const QRect& dirty)
{
    const QSize content = contentSize();
    painter.setClipRect(dirty);
    painter.translate(-offsetX_, -offsetY_);
    painter.fillRect(QRectF(0, 0, content.width() * zoom_, content.height() * zoom_), Qt::white);

    const QRectF seen = QRectF(toCanvas(dirty.topLeft()), toCanvas(dirty.bottomRight() + QPoint(1, 1)));
    const CellRange range = frame_->cellsIn(static_cast<float>(seen.left()), static_cast<float>(seen.top()),
        static_cast<float>(seen.right()), static_cast<float>(seen.bottom()));
    if (!cells_ || range != cellsRange_) {
        cells_ = frame_->cells(*model_, threadColors_, options_, range, shown_);
        cellsRange_ = range;
    }
    const DrawList& cells = *cells_;
    // The frame and the cells in the order build() lays them out: blocks and part stitches under
    // the block lines and rulers, symbols, back stitches, knots and beads over everything.
    const DrawList& frame = frame_->drawList();
    const std::size_t frameSplit = firstOpFrom(frame, DrawStage::RowNumbers);
    const std::size_t cellsSplit = firstOpFrom(cells, DrawStage::Symbols);
    painter_.paint(painter, frame, 0, frameSplit);
    painter_.paint(painter, cells, 0, cellsSplit);
    painter_.paint(painter, frame, frameSplit, frame.ops().size());
    painter_.paint(painter, cells, cellsSplit, cells.ops().size());
}

void ChartCanvasView::paintCanvas(QPainter& painter)
{
    const QRectF target(-offsetX_, -offsetY_, canvas_.width() * zoom_, canvas_.height() * zoom_);
    const QRectF seen = target.intersected(QRectF(rect()));
    if (seen.isEmpty())
        return;
    const QRectF source((seen.left() - target.left()) / zoom_, (seen.top() - target.top()) / zoom_,
        seen.width() / zoom_, seen.height() / zoom_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, zoom_ < 1.0);
    painter.drawImage(seen, canvas_, source);
}

void ChartCanvasView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (zoom_ < minZoom())
        setZoom(minZoom(), QPointF());
    updateScrollRanges();
}

void ChartCanvasView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int notches = delta.y() != 0 ? delta.y() : delta.x();
    if (event->modifiers() & Qt::ControlModifier) {
        setZoom(zoom_ * std::pow(kZoomStep, notches / 120.0), event->position());
    } else if ((event->modifiers() & Qt::ShiftModifier) || delta.y() == 0) {
        scrollBy(-notches * kWheelStep / 120, 0);
    } else {
        scrollBy(0, -notches * kWheelStep / 120);
    }
    pointer_ = event->position();
    reportPointer();
    event->accept();
}

void ChartCanvasView::mousePressEvent(QMouseEvent* event)
{
    pointer_ = event->position();
    const bool pan = event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_);
    if (pan) {
        panning_ = true;
        panFrom_ = event->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
    } else if (event->button() == Qt::LeftButton && !panning_) {
        leftDown_ = true;
        emit canvasPressed(toCanvas(event->position()), event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        emit canvasCancelled();
    }
    event->accept();
}

void ChartCanvasView::mouseMoveEvent(QMouseEvent* event)
{
    pointer_ = event->position();
    const QPointF canvasPoint = toCanvas(event->position());
    if (panning_) {
        const QPoint now = event->position().toPoint();
        scrollBy(panFrom_.x() - now.x(), panFrom_.y() - now.y());
        panFrom_ = now;
    } else if (leftDown_) {
        emit canvasDragged(canvasPoint);
    }
    emit pointerMoved(canvasPoint);
}

void ChartCanvasView::mouseReleaseEvent(QMouseEvent* event)
{
    if (panning_ && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        panning_ = false;
        setCursor(spaceHeld_ ? Qt::OpenHandCursor : Qt::ArrowCursor);
    } else if (leftDown_ && event->button() == Qt::LeftButton) {
        leftDown_ = false;
        emit canvasReleased(toCanvas(event->position()));
    }
}

void ChartCanvasView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            spaceHeld_ = true;
            if (!panning_)
                setCursor(Qt::OpenHandCursor);
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit canvasCancelled();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ChartCanvasView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceHeld_ = false;
        if (!panning_)
            setCursor(Qt::ArrowCursor);
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void ChartCanvasView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    pointer_.reset();
    emit pointerLeft();
}

} // namespace kanvo
