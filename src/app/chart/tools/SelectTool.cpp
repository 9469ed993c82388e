#include "app/chart/tools/SelectTool.h"

#include "app/chart/tools/ChartToolHost.h"

namespace kanvo {

void SelectTool::press(QPointF canvasPoint)
{
    anchor_ = host_.cellAt(canvasPoint);
    host_.setSelection(anchor_ ? std::optional<CellRect>(CellRect::spanning(*anchor_, *anchor_)) : std::nullopt);
}

void SelectTool::drag(QPointF canvasPoint)
{
    if (const std::optional<CellPos> cell = host_.cellAt(canvasPoint); cell && anchor_)
        host_.setSelection(CellRect::spanning(*anchor_, *cell));
}

void SelectTool::release(QPointF canvasPoint)
{
    drag(canvasPoint);
    anchor_.reset();
}

} // namespace kanvo
