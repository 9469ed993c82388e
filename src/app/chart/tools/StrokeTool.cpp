#include "app/chart/tools/StrokeTool.h"

#include "app/chart/ChartEditController.h"
#include "app/chart/StitchToolPanel.h"
#include "app/chart/tools/ChartToolHost.h"
#include "core/edit/ChartEditor.h"

namespace kanvo {

StrokeTool::StrokeTool(ChartToolHost& host, bool erasing) : host_(host), erasing_(erasing) {}

int StrokeTool::thread() const
{
    return erasing_ ? ChartModel::kNoStitch : host_.panel().currentThread();
}

QString StrokeTool::strokeText() const
{
    if (erasing_)
        return kanvo::ChartEditController::tr("橡皮");
    return kanvo::ChartEditController::tr("画笔 %1").arg(host_.panel().threadText(thread()));
}

void StrokeTool::press(QPointF canvasPoint)
{
    const std::optional<CellPos> cell = host_.cellAt(canvasPoint);
    if (!cell || (!erasing_ && thread() == 0))
        return;
    stroke_ = host_.newStroke();
    last_ = cell;
    host_.push(host_.editor().stroke(*cell, *cell, thread()), strokeText(), stroke_);
}

void StrokeTool::drag(QPointF canvasPoint)
{
    const std::optional<CellPos> cell = host_.cellAt(canvasPoint);
    if (stroke_ == 0 || !last_ || !cell || *cell == *last_)
        return;
    host_.push(host_.editor().stroke(*last_, *cell, thread()), strokeText(), stroke_);
    last_ = cell;
}

void StrokeTool::release(QPointF canvasPoint)
{
    drag(canvasPoint);
    cancel();
}

void StrokeTool::cancel()
{
    stroke_ = 0;
    last_.reset();
}

} // namespace kanvo
