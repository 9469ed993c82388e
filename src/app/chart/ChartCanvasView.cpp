#include "app/chart/ChartCanvasView.h"

#include <QPainter>

namespace kanvo {

ChartCanvasView::ChartCanvasView(const QImage& canvas, QWidget* parent) : QWidget(parent), canvas_(canvas)
{
    setObjectName(QStringLiteral("Picture1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartCanvasView::setOffset(int x, int y)
{
    if (x == offsetX_ && y == offsetY_)
        return;
    offsetX_ = x;
    offsetY_ = y;
    update();
}

void ChartCanvasView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!canvas_.isNull())
        painter.drawImage(QPoint(-offsetX_, -offsetY_), canvas_);
}

} // namespace kanvo
