#include "app/chart/tools/KnotTool.h"

#include "app/chart/ChartEditController.h"
#include "app/chart/StitchToolPanel.h"
#include "app/chart/tools/ChartToolHost.h"
#include "core/edit/ChartEditor.h"

namespace kanvo {

void KnotTool::press(QPointF canvasPoint)
{
    const int thread = host_.panel().currentThread();
    const std::optional<CellPos> cell = host_.cellAt(canvasPoint);
    const std::optional<StitchPoint> at = host_.chartPoint(canvasPoint);
    if (thread == 0 || !cell || !at)
        return;
    const ChartModel& chart = host_.editor().chart();
    host_.push(host_.editor().addKnot(LayerFinder::snap(*at, chart.gw, chart.gh), thread),
        kanvo::ChartEditController::tr("法式结 %1").arg(host_.panel().threadText(thread)));
}

} // namespace kanvo
