#include "app/chart/tools/PickerTool.h"

#include "app/chart/StitchToolPanel.h"
#include "app/chart/tools/ChartToolHost.h"
#include "core/chart/ChartLayout.h"
#include "core/edit/ChartEditor.h"

namespace kanvo {

void PickerTool::press(QPointF canvasPoint)
{
    const ChartEditor& editor = host_.editor();
    const StitchLayers& layers = editor.chart().layers;
    if (const std::optional<StitchPoint> at = host_.chartPoint(canvasPoint)) {
        if (const std::optional<LayerHit> hit
            = LayerFinder::find(layers, *at, [this](StitchLayerKind kind) { return host_.layerShown(kind); })) {
            host_.panel().setCurrentThread(LayerFinder::threadOf(layers, *hit));
            return;
        }
    }
    if (const std::optional<CellPos> cell = host_.cellAt(canvasPoint)) {
        if (editor.threadAt(*cell) != ChartModel::kNoStitch)
            host_.panel().setCurrentThread(editor.threadAt(*cell));
        return;
    }
    const ChartLayout* layout = host_.chartLayout();
    if (layout == nullptr)
        return;
    const std::vector<ThreadEntry>& legend = editor.chart().threadList;
    if (const std::optional<int> entry = layout->legendEntryAt(canvasPoint.x(), canvasPoint.y());
        entry && *entry <= static_cast<int>(legend.size()))
        host_.panel().setCurrentThread(legend[static_cast<std::size_t>(*entry - 1)].index);
}

} // namespace kanvo
