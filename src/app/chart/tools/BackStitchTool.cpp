#include "app/chart/tools/BackStitchTool.h"

#include <QPainter>

#include "app/chart/ChartEditController.h"
#include "app/chart/StitchToolPanel.h"
#include "app/chart/tools/ChartToolHost.h"
#include "core/chart/ChartLayout.h"
#include "core/edit/ChartEditor.h"

namespace kanvo {

std::optional<StitchPoint> BackStitchTool::latticePoint(QPointF canvasPoint) const
{
    const std::optional<StitchPoint> at = host_.chartPoint(canvasPoint);
    if (!at)
        return std::nullopt;
    const ChartModel& chart = host_.editor().chart();
    if (at->x < -0.5 || at->y < -0.5 || at->x > chart.gw + 0.5 || at->y > chart.gh + 0.5)
        return std::nullopt;
    return LayerFinder::snap(*at, chart.gw, chart.gh);
}

void BackStitchTool::add(StitchPoint from, StitchPoint to, int stroke)
{
    const int thread = host_.panel().currentThread();
    host_.push(host_.editor().addBackStitch(BackStitch{from, to, thread}),
        kanvo::ChartEditController::tr("回针 %1").arg(host_.panel().threadText(thread)), stroke);
}

void BackStitchTool::press(QPointF canvasPoint)
{
    if (host_.panel().currentThread() == 0)
        return;
    pressedAt_ = latticePoint(canvasPoint);
    pointer_ = pressedAt_;
    host_.repaintCanvas();
}

void BackStitchTool::drag(QPointF canvasPoint)
{
    if (!pressedAt_)
        return;
    if (const std::optional<StitchPoint> at = latticePoint(canvasPoint); at && at != pointer_) {
        pointer_ = at;
        host_.repaintCanvas();
    }
}

void BackStitchTool::release(QPointF canvasPoint)
{
    drag(canvasPoint);
    if (!pressedAt_ || !pointer_)
        return;
    const StitchPoint end = *pointer_;
    if (chainEnd_) {
        if (end != *chainEnd_)
            add(*chainEnd_, end, chainStroke_);
        chainEnd_ = end;
    } else if (end == *pressedAt_) {
        chainEnd_ = end;
        chainStroke_ = host_.newStroke();
    } else {
        add(*pressedAt_, end, host_.newStroke());
    }
    pressedAt_.reset();
    host_.repaintCanvas();
}

void BackStitchTool::hover(QPointF canvasPoint)
{
    if (!chainEnd_ || pressedAt_)
        return;
    if (const std::optional<StitchPoint> at = latticePoint(canvasPoint); at && at != pointer_) {
        pointer_ = at;
        host_.repaintCanvas();
    }
}

void BackStitchTool::cancel()
{
    pressedAt_.reset();
    chainEnd_.reset();
    pointer_.reset();
    chainStroke_ = 0;
}

void BackStitchTool::drawOverlay(QPainter& painter) const
{
    const std::optional<StitchPoint> from = chainEnd_ ? chainEnd_ : pressedAt_;
    const ChartLayout* layout = host_.chartLayout();
    if (!from || !pointer_ || layout == nullptr)
        return;
    constexpr double kCell = ChartGeometry::kCell;
    const auto canvas = [&](StitchPoint p) {
        return QPointF(ChartGeometry::kGridLeft + kCell * p.x, layout->geometry().gridTop + kCell * p.y);
    };
    const ColorValue colour = loadedThreadTable().colorOf(host_.panel().currentThread());
    // The stitch as it will be drawn, a sixth of a cell wide, over a dark edge that shows on
    // any colour, with its ends marked.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40, 200), kCell / 6 + 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(canvas(*from), canvas(*pointer_));
    painter.setPen(QPen(QColor(redOf(colour), greenOf(colour), blueOf(colour)), kCell / 6, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(canvas(*from), canvas(*pointer_));
    painter.setPen(QPen(QColor(0, 90, 220), 1));
    painter.setBrush(Qt::NoBrush);
    for (const StitchPoint end : {*from, *pointer_})
        painter.drawEllipse(canvas(end), kCell / 4, kCell / 4);
}

} // namespace kanvo
