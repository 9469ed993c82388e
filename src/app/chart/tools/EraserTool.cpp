#include "app/chart/tools/EraserTool.h"

#include "app/chart/tools/ChartToolHost.h"
#include "core/edit/ChartEditor.h"

namespace kanvo {

bool EraserTool::removeAt(QPointF canvasPoint)
{
    const std::optional<StitchPoint> at = host_.chartPoint(canvasPoint);
    if (!at)
        return false;
    const std::optional<LayerHit> hit = LayerFinder::find(host_.editor().chart().layers, *at,
        [this](StitchLayerKind kind) { return host_.layerShown(kind); });
    if (!hit)
        return false;
    host_.push(host_.editor().removeElement(*hit), strokeText(), stroke_);
    return true;
}

void EraserTool::press(QPointF canvasPoint)
{
    stroke_ = host_.newStroke();
    onLayers_ = removeAt(canvasPoint);
    if (!onLayers_)
        StrokeTool::press(canvasPoint);
}

void EraserTool::drag(QPointF canvasPoint)
{
    if (onLayers_)
        (void)removeAt(canvasPoint);
    else
        StrokeTool::drag(canvasPoint);
}

void EraserTool::release(QPointF canvasPoint)
{
    // A click on stacked elements removes the top one only.
    if (!onLayers_)
        StrokeTool::release(canvasPoint);
    cancel();
}

void EraserTool::cancel()
{
    onLayers_ = false;
    StrokeTool::cancel();
}

} // namespace kanvo
