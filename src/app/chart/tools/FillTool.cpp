#include "app/chart/tools/FillTool.h"

#include "app/chart/ChartEditController.h"
#include "app/chart/StitchToolPanel.h"
#include "app/chart/tools/ChartToolHost.h"
#include "core/edit/ChartEditor.h"

namespace kanvo {

void FillTool::press(QPointF canvasPoint)
{
    const int thread = host_.panel().currentThread();
    if (const std::optional<CellPos> cell = host_.cellAt(canvasPoint); cell && thread != 0)
        host_.push(host_.editor().fill(*cell, thread), kanvo::ChartEditController::tr("填充 %1").arg(host_.panel().threadText(thread)));
}

} // namespace kanvo
