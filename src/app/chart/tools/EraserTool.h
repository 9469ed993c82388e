#pragma once

#include "app/chart/tools/StrokeTool.h"

namespace kanvo {

// 橡皮: a press on a shown knot, bead, back stitch or part stitch (LayerFinder::find) removes it,
// and the drag goes on removing the elements it passes over; a press elsewhere empties cells as
// StrokeTool does. Either way the stroke is one step of the history.
class EraserTool : public StrokeTool {
public:
    explicit EraserTool(ChartToolHost& host) : StrokeTool(host, true) {}

    void press(QPointF canvasPoint) override;
    void drag(QPointF canvasPoint) override;
    void release(QPointF canvasPoint) override;
    void cancel() override;

private:
    // Removes the element under the pointer; false when there is none.
    bool removeAt(QPointF canvasPoint);

    bool onLayers_ = false; // the stroke removes layer elements, not cells
};

} // namespace kanvo
