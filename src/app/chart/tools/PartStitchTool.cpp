#include "app/chart/tools/PartStitchTool.h"

#include "app/chart/ChartEditController.h"
#include "app/chart/StitchToolPanel.h"
#include "app/chart/tools/ChartToolHost.h"
#include "core/edit/ChartEditor.h"

namespace kanvo {

void PartStitchTool::press(QPointF canvasPoint)
{
    if (host_.panel().currentThread() == 0)
        return;
    stroke_ = host_.newStroke();
    place(canvasPoint);
}

void PartStitchTool::drag(QPointF canvasPoint)
{
    if (stroke_ != 0)
        place(canvasPoint);
}

void PartStitchTool::release(QPointF canvasPoint)
{
    drag(canvasPoint);
    cancel();
}

void PartStitchTool::cancel()
{
    stroke_ = 0;
    lastCell_.reset();
    lastCorners_ = 0;
}

void PartStitchTool::place(QPointF canvasPoint)
{
    const std::optional<CellPos> cell = host_.cellAt(canvasPoint);
    const std::optional<StitchPoint> at = host_.chartPoint(canvasPoint);
    if (!cell || !at)
        return;
    std::uint8_t corners = kHalfSlash;
    QString text = kanvo::ChartEditController::tr("半针 %1");
    switch (host_.panel().partChoice()) {
    case StitchToolPanel::PartChoice::Slash:
        break;
    case StitchToolPanel::PartChoice::Backslash:
        corners = kHalfBackslash;
        break;
    case StitchToolPanel::PartChoice::Quarter:
        corners = LayerFinder::cornerAt(*at);
        text = kanvo::ChartEditController::tr("四分之一针 %1");
        break;
    }
    if (cell == lastCell_ && corners == lastCorners_)
        return;
    lastCell_ = cell;
    lastCorners_ = corners;
    const int thread = host_.panel().currentThread();
    host_.push(host_.editor().addPartStitch(PartStitch{cell->x, cell->y, corners, thread}),
        text.arg(host_.panel().threadText(thread)), stroke_);
}

} // namespace kanvo
